// The acquisition loop's documents: both document kinds, the existing-file answers, duplex, the
// automatic change at MAXDOC_NUM, the work directory, the stop command, separator sheets and
// SANE's test device, each checked on the files it leaves.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/acquisition/loop_fixture.h"
#include "transfer/barlynx_factory.h"
#include "transfer/separation.h"

namespace scantora {
namespace {

using testing::LoopTest;
using testing::TiffHeights;
namespace fs = std::filesystem;

using Heights = std::vector<int>;

// Buttons by index.
constexpr int kFirst = 0;
constexpr int kSecond = 1;
constexpr int kThird = 2;

std::vector<std::string> Listing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ChoiceTexts(const ScriptedOperator& op) {
    std::vector<std::string> texts;
    for (const OperatorEvent& event : op.events())
        if (event.kind == OperatorEvent::Kind::kChoice) texts.push_back(event.text);
    return texts;
}

// A scan that ends at the end-of-document choice with "Fine Acquisizione" and keeps the batch.
void EndAtTheFeedersEnd(ScriptedOperator& op) {
    op.QueueChoices({kThird});
    op.QueueYesNo({false});
}

TEST_F(LoopTest, AnExistingDocumentIsAppendedToWithAnswerOne) {
    FeedPlain(1, 3);
    EndAtTheFeedersEnd(operator_);
    ASSERT_EQ(Start().end, ScanEnd::kFinished);
    FeedPlain(4, 2);
    operator_.QueueChoices({kFirst, kThird});
    operator_.QueueYesNo({false});
    const ScanResult result = Start();
    EXPECT_EQ(result.end, ScanEnd::kFinished);
    EXPECT_EQ(result.images, 2);
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{401, 402, 403, 404, 405}));
    // The counter starts from the pages in the file.
    EXPECT_EQ(observer_.counter, "Num. Img. nel Bacth: 5  ");
    EXPECT_EQ(observer_.pages.back().page, 5);
    const auto texts = ChoiceTexts(operator_);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1].substr(0, texts[1].find('\n')),
              texts_.Text(61511) + "." + texts_.Text(61513) + " 3 " + texts_.Text(61512) + ". ");
    EXPECT_NE(texts[1].find("Scatola                       \t001 \n"), std::string::npos);
    EXPECT_NE(texts[2].find(texts_.Text(61516) + ": \t5 . \n"), std::string::npos);
    EXPECT_EQ(operator_.unanswered(), 0);
}

TEST_F(LoopTest, AnExistingDocumentIsReplacedWithAnswerTwoAndKeptWithAnswerThree) {
    FeedPlain(1, 2);
    EndAtTheFeedersEnd(operator_);
    Start();
    FeedPlain(3, 1);
    operator_.QueueChoices({kSecond, kThird});
    operator_.QueueYesNo({false});
    EXPECT_EQ(Start().end, ScanEnd::kFinished);
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{403}));

    FeedPlain(4, 1);
    operator_.QueueChoices({kThird});
    const ScanResult cancelled = Start();
    EXPECT_EQ(cancelled.end, ScanEnd::kCancelled);
    EXPECT_EQ(cancelled.images, 0);
    EXPECT_FALSE(cancelled.end_of_batch_asked);
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{403}));
    EXPECT_EQ(Listing(feeder_).front(), "004.pbm");
    EXPECT_EQ(operator_.unanswered(), 0);
}

TEST_F(LoopTest, OneFilePerPageAdvancesThePageCode) {
    OneFilePerPage();
    FeedPlain(1, 3);
    operator_.QueueYesNo({false});
    const ScanResult result = Start();
    EXPECT_EQ(result.end, ScanEnd::kFeederEmpty);
    EXPECT_EQ(Listing(Work("B001/D0001")),
              (std::vector<std::string>{"001.tif", "002.tif", "003.tif"}));
    EXPECT_EQ(TiffHeights(Work("B001/D0001/003.tif")), (Heights{403}));
    EXPECT_EQ(observer_.counter, "Num. Img. nel Bacth: 3  ");
    // No error for the feeder found empty once it had given pages.
    EXPECT_TRUE(operator_.Messages().empty());
    EXPECT_TRUE(result.end_of_batch_asked);
    // The report names the last page, with the entry the page was filed under.
    EXPECT_EQ(Report().substr(0, 44),
              "003.tif" + std::string(13, ' ') + "001     0001    003     ");
}

TEST_F(LoopTest, OneFilePerPageAnswersForExistingFiles) {
    OneFilePerPage();
    fs::create_directories(Work("B001/D0001"));
    for (const char* name : {"001.tif", "002.tif", "003.tif"})
        testing::WriteFile(Work("B001/D0001") / name, "old");
    // "Si": the one page is scanned again, one sheet only; then asked again for the next.
    FeedPlain(1, 3);
    operator_.QueueChoices({kSecond, kThird});
    operator_.QueueYesNo({false});
    EXPECT_EQ(Start().end, ScanEnd::kCancelled);
    EXPECT_EQ(TiffHeights(Work("B001/D0001/001.tif")), (Heights{401}));
    EXPECT_EQ(testing::ReadFile(Work("B001/D0001/002.tif")), "old");
    EXPECT_EQ(Listing(feeder_).size(), 3u);  // 002.pbm, 003.pbm and done/
    const auto texts = ChoiceTexts(operator_);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_TRUE(texts[0].ends_with(texts_.Text(61503) + "?"));
    EXPECT_TRUE(texts[1].ends_with("Riacquisirlo/i???"));

    // "Tutti": every further existing file is replaced without a question.
    identification_->SetEntry(2, "002");
    identification_->RunLevelCommand(3);
    identification_->LeaveEntry(2);
    operator_.QueueChoices({kFirst});
    operator_.QueueYesNo({false});
    EXPECT_EQ(Start().end, ScanEnd::kFeederEmpty);
    EXPECT_EQ(TiffHeights(Work("B001/D0001/002.tif")), (Heights{402}));
    EXPECT_EQ(TiffHeights(Work("B001/D0001/003.tif")), (Heights{403}));
    EXPECT_EQ(ChoiceTexts(operator_).size(), 3u);
    EXPECT_EQ(operator_.unanswered(), 0);
}

TEST_F(LoopTest, DuplexSheetsShareTheirCodeAndDifferBySide) {
    OneFilePerPage();
    job_.levels[2].composnome = "$3#*%$F#3%.tif";
    scanner_.duplex = 1;
    FeedPlain(1, 4);
    operator_.QueueYesNo({false});
    Start();
    EXPECT_EQ(Listing(Work("B001/D0001")),
              (std::vector<std::string>{"001bac.tif", "001fro.tif", "002bac.tif", "002fro.tif"}));
    EXPECT_EQ(TiffHeights(Work("B001/D0001/001bac.tif")), (Heights{402}));
    EXPECT_EQ(TiffHeights(Work("B001/D0001/002fro.tif")), (Heights{403}));
}

TEST_F(LoopTest, MaxdocStartsTheNextDocumentAutomatically) {
    job_.maxdoc_num = "2";
    job_.maxdoc_op = "+";
    job_.maxdoc_nliv = "2";
    FeedPlain(1, 5);
    operator_.QueueChoices({kThird});
    operator_.QueueYesNo({false});
    Start();
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{401, 402}));
    EXPECT_EQ(TiffHeights(Work("B001/0002.tif")), (Heights{403, 404}));
    EXPECT_EQ(TiffHeights(Work("B001/0003.tif")), (Heights{405}));
    EXPECT_EQ(identification_->level(1).display, "0003");
}

TEST_F(LoopTest, MaxdocCompleteDocumentIsFollowedByTheNextStart) {
    job_.maxdoc_num = "2";
    job_.maxdoc_op = "+";
    job_.maxdoc_nliv = "2";
    FeedPlain(1, 2);
    // The document is complete: no end-of-document choice, no "Fine Batch?"; the start is
    // repeated for the next document and finds the feeder empty.
    const ScanResult result = Start();
    EXPECT_EQ(result.end, ScanEnd::kFeederEmpty);
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{401, 402}));
    EXPECT_EQ(identification_->level(1).display, "0002");
    EXPECT_TRUE(operator_.events().empty());
}

TEST_F(LoopTest, AWorkDirectoryHoldsTheDocumentUntilItEnds) {
    const fs::path work_dir = dir_.path() / "wd";
    fs::create_directories(work_dir);
    job_.disco_work = work_dir.string();
    FeedPlain(1, 2);
    EndAtTheFeedersEnd(operator_);
    Start();
    ASSERT_EQ(observer_.pages.size(), 2u);
    EXPECT_EQ(observer_.pages[0].file, (work_dir / "0001.tif").string());
    EXPECT_EQ(observer_.pages[0].document, Work("B001/0001.tif").string());
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{401, 402}));
    EXPECT_TRUE(fs::is_empty(work_dir));
    // Appending copies the document into the work directory first.
    FeedPlain(3, 1);
    operator_.QueueChoices({kFirst, kThird});
    operator_.QueueYesNo({false});
    Start();
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{401, 402, 403}));
    EXPECT_TRUE(fs::is_empty(work_dir));
}

// Stops from inside the page event, as a window's stop button does from its own thread.
class StoppingObserver : public testing::RecordingObserver {
public:
    void PageSaved(const PageSavedEvent& event) override {
        RecordingObserver::PageSaved(event);
        if (event.batch_images == stop_after && loop) loop->Stop();
    }
    AcquisitionLoop* loop = nullptr;
    int stop_after = 0;
};

TEST_F(LoopTest, TheStopCommandEndsScanningAfterThePageInProgress) {
    FeedPlain(1, 4);
    StoppingObserver stopping;
    stopping.loop = &Loop();
    stopping.stop_after = 2;
    Loop().SetObserver(&stopping);
    operator_.QueueYesNo({false});
    const ScanResult result = Start();
    EXPECT_EQ(result.end, ScanEnd::kStopped);
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{401, 402}));
    EXPECT_EQ(stopping.status, texts_.Text(61518));
    EXPECT_EQ(Listing(feeder_), (std::vector<std::string>{"003.pbm", "004.pbm", "done"}));
    EXPECT_EQ(Loop().state(), LoopState::kIdle);
}

// A grey page of `height` rows, a gradient that JPEG quality factors code differently.
void WriteGreyPage(const fs::path& path, int height) {
    constexpr int kWidth = 240;
    std::string pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < kWidth; ++x)
            pixels.push_back(static_cast<char>((x * 7 + y * 3) % 256));
    testing::WriteFile(
        path, "P5\n" + std::to_string(kWidth) + " " + std::to_string(height) + "\n255\n" + pixels);
}

// The same page saved directly with the quality factor `factor`.
std::string SavedWithFactor(const fs::path& page_file, int factor, const fs::path& out) {
    Page page;
    EXPECT_EQ(LoadPage(page_file, 1, 0, page), ImagingStatus::kOk);
    EXPECT_EQ(page.Save(out, kFormatJpeg, 0, factor, kSaveNew), ImagingStatus::kOk);
    return testing::ReadFile(out);
}

TEST_F(LoopTest, OneFilePerPageSavesGreyPagesAsJpegWithTheJobsQuality) {
    OneFilePerPage();
    // One page and one loop per factor.
    const std::vector<std::string> factors = {"300", "0", "40"};
    std::vector<std::string> saved;
    for (std::size_t i = 0; i < factors.size(); ++i) {
        job_.jpgcompress = factors[i];
        WriteGreyPage(feeder_ / ("g" + factors[i] + ".pgm"), 100);
        control_.reset();
        loop_.reset();
        identification_.reset();
        presets_ = {"001", "0001", "00" + std::to_string(i + 1)};
        operator_.QueueYesNo({false});
        Start();
        saved.push_back(testing::ReadFile(Work("B001/D0001/00" + std::to_string(i + 1) + ".tif")));
    }
    const std::string expected_125 =
        SavedWithFactor(feeder_ / "done" / "g300.pgm", 125, dir_.path() / "q125.jpg");
    ASSERT_TRUE(saved[0].starts_with("\xFF\xD8"));
    EXPECT_EQ(saved[0], expected_125);  // 300 is out of range
    EXPECT_EQ(saved[1], SavedWithFactor(feeder_ / "done" / "g0.pgm", 125, dir_.path() / "q.jpg"));
    EXPECT_EQ(saved[2], SavedWithFactor(feeder_ / "done" / "g40.pgm", 40, dir_.path() / "q40.jpg"));
    EXPECT_NE(saved[2], expected_125);
}

TEST_F(LoopTest, EveryPageIsTurnedByGradi) {
    scanner_.gradi = 90;
    FeedPlain(1, 2);
    EndAtTheFeedersEnd(operator_);
    Start();
    // Pages 400 pixels wide come out 400 rows high.
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{400, 400}));
}

class SeparatorLoopTest : public LoopTest {
protected:
    void SetUp() override {
        setenv(kBarlynxLibraryVariable, BARLYNX_LIBRARY, 1);
        job_.barcode = "1";
        job_.barcodeval = "1";
        job_.separators[0] = {"2", "SEP-A", "+", "0"};
        separation_holder_.emplace(job_, operator_, BarlynxSeparatorReader(job_, operator_));
        separation_ = &*separation_holder_;
    }
    void TearDown() override { unsetenv(kBarlynxLibraryVariable); }

    void FeedSeparator() {
        char name[16];
        std::snprintf(name, sizeof name, "%03d.pbm", ++feeder_files_);
        fs::copy_file(fs::path(TEST_FIXTURE_DIR) / "separator_sheets" / "sep-a.pbm",
                      feeder_ / name);
    }

    std::optional<Separation> separation_holder_;
};

TEST_F(SeparatorLoopTest, ASeparatorSheetStopsAndTheNextStartFilesANewDocument) {
    FeedPlain(1, 2);
    FeedSeparator();
    FeedPlain(3, 1);
    const ScanResult first = Start();
    EXPECT_EQ(first.end, ScanEnd::kSeparator);
    EXPECT_FALSE(first.end_of_batch_asked);
    EXPECT_EQ(Loop().pending_separator(), 1);
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{401, 402}));
    ASSERT_EQ(observer_.pages.size(), 3u);
    EXPECT_EQ(observer_.pages[2].separator, 1);
    EXPECT_EQ(observer_.status, texts_.Text(61518));

    EndAtTheFeedersEnd(operator_);
    EXPECT_EQ(Start().end, ScanEnd::kFinished);
    EXPECT_EQ(TiffHeights(Work("B001/0002.tif")), (Heights{403}));
    EXPECT_EQ(Report().substr(0, 20), "0002.tif            ");
    EXPECT_EQ(operator_.unanswered(), 0);
}

TEST_F(LoopTest, TheSaneTestDevicesFeederGivesTenPages) {
    UseSaneDevice();
    EndAtTheFeedersEnd(operator_);
    const ScanResult result = Start();
    EXPECT_EQ(result.end, ScanEnd::kFinished);
    EXPECT_EQ(result.images, 10);
    const Heights heights = TiffHeights(Work("B001/0001.tif"));
    ASSERT_EQ(heights.size(), 10u);
    EXPECT_EQ(heights[0], heights[9]);
}

TEST_F(LoopTest, TheSaneTestDeviceUnattendedEndsWithItsFeeder) {
    UseSaneDevice();
    options_.empty_feeder_is_end = true;
    // "next" closes the document and steps the code; the feeder run was the end of the source.
    operator_.QueueChoices({kSecond});
    operator_.QueueYesNo({false});
    const ScanResult result = Start();
    EXPECT_EQ(result.end, ScanEnd::kFeederEmpty);
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")).size(), 10u);
    EXPECT_EQ(identification_->level(1).display, "0002");
    EXPECT_FALSE(fs::exists(Work("B001/0002.tif")));
}

}  // namespace
}  // namespace scantora
