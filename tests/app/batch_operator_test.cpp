// The batch mode's operator: each question answered by the command line's choice.
#include "app/batch_operator.h"

#include <gtest/gtest.h>

#include <sstream>

#include "acquisition/job_scanner_values.h"
#include "app/text_lookup.h"
#include "operator/choice_labels.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

class BatchOperatorTest : public ::testing::Test {
protected:
    int Choose(ChoiceUse use, bool multi_page) {
        BatchOperator op(options_, texts_, multi_page, out_);
        return op.ChooseOne("question", ChoiceButtons(use, multi_page, texts_));
    }

    BatchOptions options_;
    TextLookup texts_;
    std::ostringstream out_;
};

TEST_F(BatchOperatorTest, ChoicesAreAnsweredByTheirOptions) {
    EXPECT_EQ(Choose(ChoiceUse::kFileExists, true), 0);     // append
    EXPECT_EQ(Choose(ChoiceUse::kEndOfDocument, true), 1);  // next
    options_.on_existing = ExistingFileAnswer::kCancel;
    options_.on_end_of_document = EndOfDocumentAnswer::kStop;
    EXPECT_EQ(Choose(ChoiceUse::kFileExists, true), 2);
    EXPECT_EQ(Choose(ChoiceUse::kEndOfDocument, true), 2);
    options_.on_existing = ExistingFileAnswer::kReplace;
    EXPECT_EQ(Choose(ChoiceUse::kFileExists, false), 1);  // "Si"
    // One file per page has no second end-of-document button: "next" goes on.
    options_.on_end_of_document = EndOfDocumentAnswer::kNext;
    EXPECT_EQ(Choose(ChoiceUse::kEndOfDocument, false), 0);
    EXPECT_NE(out_.str().find("[choice] question\n  -> 2) " + texts_.Text(text_id::kYes)),
              std::string::npos)
        << out_.str();
}

TEST_F(BatchOperatorTest, EndOfBatchByItsOptionOtherQuestionsByTheirDefault) {
    BatchOperator op(options_, texts_, true, out_);
    EXPECT_FALSE(op.AskYesNo(texts_.Text(text_id::kEndOfBatch), true));
    options_.end_of_batch = EndOfBatchAnswer::kTransfer;
    EXPECT_TRUE(op.AskYesNo(texts_.Text(text_id::kEndOfBatch), false));
    EXPECT_FALSE(op.AskYesNo("Noname frontend-tester", false));
    EXPECT_TRUE(op.AskYesNo("Exit ?", true));
    op.Stop("Errore TWAIN: 9");
    EXPECT_NE(out_.str().find("-> no\n"), std::string::npos);
    EXPECT_NE(out_.str().find("[stop] Errore TWAIN: 9\n"), std::string::npos);
}

TEST(JobScannerValues, TheJobsResolutionTypeAndRealFrame) {
    ScannerSettings settings;
    settings.tipo = 1;
    settings.risoluzione = 300;
    settings.left = 10;
    settings.top = 20;
    settings.right = 210;
    settings.bottom = 297;
    ScannerValues values = JobScannerValues(settings);
    EXPECT_EQ(values.resolution, 300);
    EXPECT_EQ(values.mode, ColourMode::kGrey);
    EXPECT_EQ(values.frame_left, 10);
    EXPECT_EQ(values.frame_width, 200);
    EXPECT_EQ(values.frame_height, 277);
    EXPECT_FALSE(values.brightness);
    settings = {};
    settings.risoluzione = kScannerValueNotSet;
    settings.tipo = 7;
    settings.left = settings.top = settings.right = settings.bottom = -1;
    values = JobScannerValues(settings);
    EXPECT_EQ(values, ScannerValues{});
}

}  // namespace
}  // namespace scantora
