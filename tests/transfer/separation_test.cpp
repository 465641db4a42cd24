// Separation with a scripted barcode reader: the job's records, when separation is active,
// matching in record order, the page each read asks for, removal and its failures, the duplex
// rule, and the step a matched separator makes.
#include "transfer/separation.h"

#include <gtest/gtest.h>

#include <map>

#include "app/text_lookup.h"
#include "operator/scripted_operator.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::ScratchDir;
using testing::WriteFile;

class SeparationTest : public ::testing::Test {
protected:
    SeparationTest() {
        job_.barcode = "1";
        job_.nlivelli = "3";
        job_.separators[0] = {"2", "SEP-A", "+", "0"};
    }

    // Reads answer from `texts_` by file name; every read is noted as "file@page".
    SeparatorPageReader Reader() {
        return [this](const std::string& file, int16_t page) {
            reads_.push_back(std::filesystem::path(file).filename().string() + "@" +
                             std::to_string(page));
            const auto found = texts_.find(std::filesystem::path(file).filename().string());
            return found == texts_.end() ? BarcodeRead{} : found->second;
        };
    }

    std::string Page(const std::string& name, const std::string& text = "") {
        const std::string path = (dir_ / name).string();
        WriteFile(path, "page");
        if (!text.empty()) texts_[name] = {text, 0};
        return path;
    }

    SeparatorCheck Saved(Separation& s, const std::string& file, bool duplex = false,
                         bool back = false) {
        return s.PageSaved({file, 1, {duplex, back}});
    }

    ScratchDir dir_;
    JobRecord job_;
    ScriptedOperator operator_;
    std::map<std::string, BarcodeRead> texts_;
    std::vector<std::string> reads_;
};

TEST_F(SeparationTest, RecordsAndWhetherSeparationIsActive) {
    job_.separators[1] = {"x", "SEP-B", "-", "2"};
    job_.separators[2] = {"", "", "", ""};
    const SeparatorRecords records = SeparatorRecordsOf(job_);
    EXPECT_EQ(records[0].level, 2);
    EXPECT_EQ(records[0].operation, "+");
    EXPECT_FALSE(records[0].keep_page);
    EXPECT_EQ(records[1].level, 0);
    EXPECT_TRUE(records[1].keep_page);
    EXPECT_TRUE(SeparationActive(job_));

    job_.barcode = "0";
    EXPECT_FALSE(SeparationActive(job_)) << "BARCODE 0";
    job_.barcode = "1";
    job_.separators[0].val = "";
    EXPECT_FALSE(SeparationActive(job_)) << "the only record with a level has no value";
    job_.separators[2] = {"3", "X", "+", ""};
    EXPECT_TRUE(SeparationActive(job_));
}

TEST_F(SeparationTest, MatchingFramesTheValueAndTakesTheFirstRecord) {
    job_.separators[1] = {"3", "ABC", "+", "1"};
    job_.separators[2] = {"0", "ORDER", "+", "1"};
    const SeparatorRecords records = SeparatorRecordsOf(job_);
    EXPECT_EQ(MatchSeparator(records, "*ABCD*<1,2,3,1,4>"), 0) << "ABC is not ABCD";
    EXPECT_EQ(MatchSeparator(records, "*ABC*<1,2,3,1,4>"), 2);
    EXPECT_EQ(MatchSeparator(records, "*ABC*<1,2,3,1,4>*SEP-A*<1,2,9,1,4>"), 1)
        << "both records match: the lower-numbered one acts";
    EXPECT_EQ(MatchSeparator(records, "*ORDER*<1,2,3,1,4>"), 0) << "level 0 takes no part";
    EXPECT_EQ(MatchSeparator(records, "SEP-A"), 0) << "values must be framed by asterisks";
}

TEST_F(SeparationTest, AMatchedPageIsRemovedUnlessKept) {
    job_.separators[1] = {"2", "SEP-B", "-", "1"};
    Separation s(job_, operator_, Reader());
    ASSERT_TRUE(s.StartScanning());
    const std::string plain = Page("0001.tif", "*DOC-1*<1,2,3,1,4>");
    const std::string removed = Page("0002.tif", "*SEP-A*<1,2,3,1,4>");
    const std::string kept = Page("0003.tif", "*SEP-B*<1,2,3,1,4>");
    EXPECT_EQ(Saved(s, plain).matched, 0);
    EXPECT_EQ(Saved(s, removed).matched, 1);
    EXPECT_EQ(Saved(s, kept).matched, 2);
    EXPECT_TRUE(std::filesystem::exists(plain));
    EXPECT_FALSE(std::filesystem::exists(removed));
    EXPECT_TRUE(std::filesystem::exists(kept));
    EXPECT_EQ(reads_, (std::vector<std::string>{"0001.tif@1", "0002.tif@1", "0003.tif@1"}));
    EXPECT_TRUE(operator_.events().empty());
}

TEST_F(SeparationTest, MultiPageDocumentsReadThePageJustWritten) {
    job_.multitiff = "Y";
    Separation s(job_, operator_, Reader());
    s.StartScanning();
    const std::string doc = Page("doc.tif", "*DOC-1*<1,2,3,1,4>");
    EXPECT_EQ(s.PageSaved({doc, 7, {}}).pages_in_file, 7);
    EXPECT_EQ(reads_, std::vector<std::string>{"doc.tif@7"});
}

TEST_F(SeparationTest, AReaderErrorMeansNoSeparator) {
    Separation s(job_, operator_, Reader());
    s.StartScanning();
    const std::string page = Page("0001.tif");
    texts_["0001.tif"] = {"*SEP-A*<1,2,3,1,4>", 15007};
    EXPECT_EQ(Saved(s, page).matched, 0);
    EXPECT_TRUE(std::filesystem::exists(page));
}

TEST_F(SeparationTest, PagesThatCannotBeRemovedStayWithAMessage) {
    Separation s(job_, operator_, Reader());
    s.StartScanning();
    texts_["gone.tif"] = {"*SEP-A*<1,2,3,1,4>", 0};
    EXPECT_EQ(Saved(s, (dir_ / "gone.tif").string()).matched, 1) << "the separator still acts";
    job_.multitiff = "Y";
    const std::string not_a_tiff = Page("doc.tif", "*SEP-A*<1,2,3,1,4>");
    EXPECT_EQ(s.PageSaved({not_a_tiff, 3, {}}).pages_in_file, 3);
    EXPECT_EQ(operator_.Messages(),
              (std::vector<std::string>{"Error Delete File: " + (dir_ / "gone.tif").string(),
                                        "Error 111 Delete Page 3 in File: " + not_a_tiff}));
}

TEST_F(SeparationTest, DuplexSeparatorsActAfterTheBackAndTakeBothSides) {
    Separation s(job_, operator_, Reader());
    s.StartScanning();
    // Front only.
    const std::string front = Page("f1.tif", "*SEP-A*<1,2,3,1,4>");
    const std::string back = Page("b1.tif");
    EXPECT_EQ(Saved(s, front, true, false).matched, 0);
    EXPECT_FALSE(std::filesystem::exists(front));
    EXPECT_EQ(Saved(s, back, true, true).matched, 1);
    EXPECT_FALSE(std::filesystem::exists(back));
    // Back only.
    const std::string front2 = Page("f2.tif");
    const std::string back2 = Page("b2.tif", "*SEP-A*<1,2,3,1,4>");
    EXPECT_EQ(Saved(s, front2, true, false).matched, 0);
    EXPECT_TRUE(std::filesystem::exists(front2));
    EXPECT_EQ(Saved(s, back2, true, true).matched, 1);
    EXPECT_FALSE(std::filesystem::exists(front2) || std::filesystem::exists(back2));
    // Neither side: both stay, and nothing is pending any more.
    const std::string front3 = Page("f3.tif");
    const std::string back3 = Page("b3.tif");
    Saved(s, front3, true, false);
    EXPECT_EQ(Saved(s, back3, true, true).matched, 0);
    EXPECT_TRUE(std::filesystem::exists(front3) && std::filesystem::exists(back3));
    EXPECT_TRUE(operator_.events().empty());
}

TEST_F(SeparationTest, ASeparatorKeptOnTheFrontStillActsAfterTheBack) {
    job_.separators[0].saveimg = "1";
    Separation s(job_, operator_, Reader());
    s.StartScanning();
    const std::string front = Page("f.tif", "*SEP-A*<1,2,3,1,4>");
    const std::string back = Page("b.tif");
    Saved(s, front, true, false);
    EXPECT_EQ(Saved(s, back, true, true).matched, 1);
    EXPECT_TRUE(std::filesystem::exists(front) && std::filesystem::exists(back));
}

TEST_F(SeparationTest, StartingAgainForgetsAPendingFront) {
    Separation s(job_, operator_, Reader());
    s.StartScanning();
    job_.separators[0].saveimg = "1";
    Saved(s, Page("f.tif", "*SEP-A*<1,2,3,1,4>"), true, false);
    s.StartScanning();
    EXPECT_EQ(Saved(s, Page("b.tif"), true, true).matched, 0);
}

class ApplyTest : public SeparationTest {
protected:
    void SetUp() override {
        job_.levels[0] = {"Scatola", "", "3", "", "", "0", "", "0"};
        job_.levels[1] = {"Documento", "", "4", "", "", "0", "", "0"};
        job_.levels[2] = {"Pagina", "", "3", "", "", "0", "", "0"};
        job_.separators[0] = {"2", "SEP-A", "+", "0"};
        job_.separators[1] = {"2", "SEP-B", "-x", "0"};
        job_.separators[2] = {"1", "SEP-C", "+", "0"};
    }

    // The codes B07, 0009, 012 after applying separator `matched`.
    std::vector<std::string> AfterApplying(int matched) {
        model_.emplace(job_, texts_lookup_, operator_);
        const std::string codes[] = {"B07", "0009", "012"};
        model_->Initialise("", codes);
        Separation s(job_, operator_, Reader());
        s.StartScanning();
        s.Apply(matched, *model_);
        return model_->Codes();
    }

    TextLookup texts_lookup_;
    std::optional<IdentificationModel> model_;
};

TEST_F(ApplyTest, StepsTheLevelWithItsWidthAndEmptiesDeeperLevels) {
    EXPECT_EQ(AfterApplying(1), (std::vector<std::string>{"B07", "0010", ""}));
    EXPECT_EQ(AfterApplying(2), (std::vector<std::string>{"B07", "0008", ""}))
        << "an operation beginning with - steps down";
}

TEST_F(ApplyTest, LevelOneBadOperationsAndDeepLevelsChangeNothing) {
    const std::vector<std::string> unchanged{"B07", "0009", "012"};
    EXPECT_EQ(AfterApplying(3), unchanged) << "level 1";
    EXPECT_EQ(AfterApplying(0), unchanged) << "no separator";
    job_.separators[0].op = "*";
    EXPECT_EQ(AfterApplying(1), unchanged) << "an operation other than + and -";
    job_.separators[0] = {"4", "SEP-A", "+", "0"};
    EXPECT_EQ(AfterApplying(1), unchanged) << "a level beyond NLIVELLI";
}

}  // namespace
}  // namespace scantora
