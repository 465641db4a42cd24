// The acquisition loop when things go wrong: a device error mid-batch, the program killed during
// a batch, an identification or work area that cannot be used, a page that cannot be saved; and
// the scanner values carried from one acquisition to the next, and a source that reports its
// pages inverted. Every earlier page must survive.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "acquisition/scan_report.h"
#include "acquisition/scanner/page_pix.h"
#include "tests/acquisition/loop_fixture.h"
#include "tests/acquisition/scanner/page_test_support.h"

namespace scantora {
namespace {

using testing::LoopTest;
using testing::TiffHeights;
namespace fs = std::filesystem;

using Heights = std::vector<int>;

constexpr int kFirst = 0;
constexpr int kThird = 2;

std::size_t FileCount(const fs::path& dir) {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

TEST_F(LoopTest, ADeviceErrorStopsTheBatchAndKeepsEverySavedPage) {
    FeedPlain(1, 2);
    testing::WriteFile(feeder_ / "003.tif", "not an image\n");
    ++feeder_files_;
    FeedPlain(4, 1);
    const ScanResult broken = Start();
    EXPECT_EQ(broken.end, ScanEnd::kDeviceError);
    EXPECT_EQ(broken.status, ToCode(ImagingStatus::kUnreadableInput));
    EXPECT_NE(broken.detail.find("003.tif"), std::string::npos) << broken.detail;
    EXPECT_EQ(operator_.Messages(), (std::vector<std::string>{"Errore TWAIN: 102"}));
    EXPECT_FALSE(broken.end_of_batch_asked);
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{401, 402}));

    // The next start finds the document and, answered "Accoda", goes on after its pages.
    fs::remove(feeder_ / "003.tif");
    operator_.QueueChoices({kFirst, kThird});
    operator_.QueueYesNo({false});
    EXPECT_EQ(Start().end, ScanEnd::kFinished);
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{401, 402, 404}));
    EXPECT_EQ(operator_.unanswered(), 0);
}

// Kills its own process, as kill -9 would, once the page of `kill_at` is saved.
class KillingObserver : public AcquisitionObserver {
public:
    explicit KillingObserver(int kill_at) : kill_at_(kill_at) {}
    void PageSaved(const PageSavedEvent& event) override {
        if (event.batch_images == kill_at_) raise(SIGKILL);
    }

private:
    int kill_at_;
};

TEST_F(LoopTest, KilledDuringABatchEverySavedPageStaysAndTheNextStartGoesOn) {
    const fs::path work_dir = dir_.path() / "wd";
    fs::create_directories(work_dir);
    job_.disco_work = work_dir.string();
    FeedPlain(1, 5);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KillingObserver killing(3);
        Loop().SetObserver(&killing);
        Loop().Start();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(WTERMSIG(status), SIGKILL);
    // The pages were in the work file, readable, when the program died.
    EXPECT_EQ(TiffHeights(work_dir / "0001.tif"), (Heights{401, 402, 403}));
    EXPECT_FALSE(fs::exists(Work("B001/0001.tif")));

    // The next start puts them into their document first and asks about it. The page being
    // handled when the program died was saved but not yet taken from the feeder: it comes again.
    operator_.QueueChoices({kFirst, kThird});
    operator_.QueueYesNo({false});
    EXPECT_EQ(Start().end, ScanEnd::kFinished);
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (Heights{401, 402, 403, 403, 404, 405}));
    EXPECT_TRUE(fs::is_empty(work_dir));
    EXPECT_NE(operator_.events().front().text.find(" 3 "), std::string::npos);
}

TEST_F(LoopTest, AnInvalidIdentificationStopsBeforeAnythingIsScanned) {
    job_.levels[1].obbligatorio = "1";
    presets_ = {"001", ""};
    FeedPlain(1, 2);
    const ScanResult result = Start();
    EXPECT_EQ(result.end, ScanEnd::kNotStarted);
    EXPECT_EQ(operator_.Messages(), (std::vector<std::string>{texts_.Text(61446)}));
    EXPECT_EQ(FileCount(feeder_), 2u);
    EXPECT_FALSE(fs::exists(Work("B001")));
    EXPECT_FALSE(fs::exists(dir_.path() / "setup" / "Resocon.txt"));
}

TEST_F(LoopTest, AWorkAreaThatCannotBeWrittenStopsBeforeAnythingIsScanned) {
    testing::WriteFile(dir_.path() / "taken", "a file where the work area should be");
    job_.disco_scarico = (dir_.path() / "taken").string() + "/";
    FeedPlain(1, 2);
    EXPECT_EQ(Start().end, ScanEnd::kNotStarted);
    ASSERT_EQ(operator_.Messages().size(), 1u);
    EXPECT_NE(operator_.Messages()[0].find("non e' scrivibile"), std::string::npos);
    EXPECT_EQ(FileCount(feeder_), 2u);
}

TEST_F(LoopTest, AWorkDirectoryThatCannotBeWrittenStopsBeforeAnythingIsScanned) {
    testing::WriteFile(dir_.path() / "wd", "a file, not a directory");
    job_.disco_work = (dir_.path() / "wd").string();
    FeedPlain(1, 1);
    EXPECT_EQ(Start().end, ScanEnd::kNotStarted);
    EXPECT_EQ(operator_.Messages().size(), 1u);
    EXPECT_EQ(FileCount(feeder_), 1u);
}

TEST_F(LoopTest, APageThatCannotBeSavedStopsTheBatchAndStaysInTheFeeder) {
    fs::create_directories(Work("B001/0001.tif"));  // a directory where the document should go
    FeedPlain(1, 2);
    operator_.QueueChoices({kFirst});
    const ScanResult result = Start();
    EXPECT_EQ(result.end, ScanEnd::kSaveError);
    EXPECT_NE(result.status, 0);
    ASSERT_EQ(operator_.Messages().size(), 1u);
    EXPECT_TRUE(operator_.Messages()[0].starts_with("Errore "));
    EXPECT_FALSE(result.end_of_batch_asked);
    EXPECT_EQ(FileCount(feeder_), 2u);
}

// The imaging control over the feeder, with what the loop asks of it recorded and a scanner
// that reports a brightness outside -1000..1000.
class RecordingControl : public ImagingControl {
public:
    explicit RecordingControl(std::unique_ptr<ImagingControl> inner) : inner_(std::move(inner)) {}

    void RefreshSources() override { inner_->RefreshSources(); }
    int SourceCount() override { return inner_->SourceCount(); }
    std::string SourceName(int index) override { return inner_->SourceName(index); }
    bool SelectSource(std::string_view name) override { return inner_->SelectSource(name); }
    std::string SelectedSource() const override { return inner_->SelectedSource(); }
    void SetScannerValues(const ScannerValues& values) override {
        sent.push_back(values);
        inner_->SetScannerValues(values);
    }
    ScannerValues ReadScannerValues() override { return reported; }
    ImagingStatus ApplyScannerValues() override { return inner_->ApplyScannerValues(); }
    ScannerLimits ReadScannerLimits() override { return inner_->ReadScannerLimits(); }
    void SetPagesToAcquire(int pages) override {
        page_counts.push_back(pages);
        inner_->SetPagesToAcquire(pages);
    }
    int DuplexCapability() override { return inner_->DuplexCapability(); }
    void SetDuplex(bool on) override { inner_->SetDuplex(on); }
    void SetDialogMode(DialogMode mode) override {
        modes.push_back(mode);
        inner_->SetDialogMode(mode);
    }
    void SetOptionsDialog(ScanOptionsDialog* dialog) override { inner_->SetOptionsDialog(dialog); }
    ImagingStatus Acquire(const PageHandler& on_page) override {
        if (!report_inverted) return inner_->Acquire(on_page);
        return inner_->Acquire([&on_page](Page& page) {
            PageAccess::SetPhotometric(page, kPhotometricInverted);
            return on_page(page);
        });
    }
    void RequestStop() override { inner_->RequestStop(); }
    void CloseSource() override { inner_->CloseSource(); }
    std::string LastErrorText() const override { return inner_->LastErrorText(); }

    std::vector<ScannerValues> sent;
    std::vector<int> page_counts;
    std::vector<DialogMode> modes;
    ScannerValues reported;
    bool report_inverted = false;  // every page comes marked as inverted

private:
    std::unique_ptr<ImagingControl> inner_;
};

TEST_F(LoopTest, ScannerValuesReadBackAreSentAgainAndShown) {
    UseFeeder();
    auto recording = std::make_unique<RecordingControl>(std::move(control_));
    RecordingControl& control = *recording;
    control_ = std::move(recording);
    control.reported.resolution = 300;
    control.reported.brightness = 1500;
    control.reported.contrast = -20;
    job_.showtwain = "1";
    options_.show_messages = true;
    options_.job_values.resolution = 200;
    FeedPlain(1, 1);
    operator_.QueueChoices({kThird});
    operator_.QueueYesNo({false});
    Start();
    FeedPlain(2, 1);
    operator_.QueueChoices({kFirst, kThird});
    operator_.QueueYesNo({false});
    Start();
    ASSERT_EQ(control.sent.size(), 2u);
    EXPECT_EQ(control.sent[0].resolution, 200);
    EXPECT_FALSE(control.sent[0].brightness);
    EXPECT_EQ(control.sent[1].resolution, 300);
    EXPECT_EQ(control.sent[1].brightness, 2000);
    EXPECT_EQ(control.sent[1].contrast, -20);
    // SHOWTWAIN 1: the dialog at the first scan of the run only.
    EXPECT_EQ(control.modes, (std::vector<DialogMode>{DialogMode::kShown, DialogMode::kHidden}));
    EXPECT_EQ(control.page_counts, (std::vector<int>{kAllPages, kAllPages}));
    const std::vector<std::string> messages = operator_.Messages();
    const std::vector<std::string> expected = {
        "Settata la risoluzione a:200", "DPI=300",
        "Letto Contrasto:-20",          "Letto Intensita:1500",
        "Settata la risoluzione a:300", "Settata la intensita:2000",
        "Settata la Contrasto a:-20"};
    EXPECT_EQ(messages, expected);
}

// A source that reports its pages inverted: the first page of each acquisition is turned
// back, the pages after it are saved as they come.
TEST_F(LoopTest, AFirstPageReportedInvertedIsSavedInvertedBack) {
    UseFeeder();
    auto recording = std::make_unique<RecordingControl>(std::move(control_));
    recording->report_inverted = true;
    control_ = std::move(recording);
    FeedPlain(1, 2);
    operator_.QueueChoices({kThird});
    operator_.QueueYesNo({false});
    Start();
    const auto pages = testing::ReadTiffPages(Work("B001/0001.tif"));
    ASSERT_EQ(pages.size(), 2u);
    // The fed pages are white but for a band of stripes between rows 100 and 300.
    const auto row_is = [](const testing::TiffPage& page, int y, std::uint8_t value) {
        return std::all_of(page.rows[y].begin(), page.rows[y].end(),
                           [value](std::uint8_t b) { return b == value; });
    };
    EXPECT_TRUE(row_is(pages[0], 0, 0xFF));
    EXPECT_TRUE(row_is(pages[0], 140, 0x0F));
    EXPECT_TRUE(row_is(pages[1], 0, 0x00));
    EXPECT_TRUE(row_is(pages[1], 140, 0xF0));
}

TEST(ScanReport, OneLineOfFixedFields) {
    const std::vector<std::string> codes = {"A", "BB", "CCC", "DDDD"};
    const std::string line = ScanReportLine("/work/B001/0001.tif", codes);
    EXPECT_EQ(line, "0001.tif            A       BB      CCC     DDDD    " + std::string(39, ' '));
    EXPECT_EQ(line.size(), 91u);
    // Nine levels would pass 91 bytes: the line is cut; entries longer than 8 are cut too.
    const std::vector<std::string> nine(9, "123456789");
    EXPECT_EQ(ScanReportLine("x.tif", nine), FixedField("x.tif", 20) + std::string("12345678") +
                                                 "12345678" + "12345678" + "12345678" + "12345678" +
                                                 "12345678" + "12345678" + "12345678" + "1234567");
    // A character is never split: one that would straddle the edge becomes a blank.
    EXPECT_EQ(FixedField("abcdefg\xC3\xA8", 8), "abcdefg ");
    EXPECT_EQ(FixedField("\xC3\xA8", 3), "\xC3\xA8 ");
}

TEST(ScanReport, RewrittenWholeWithCrLf) {
    testing::ScratchDir dir;
    ASSERT_TRUE(WriteScanReport(dir.path(), "first"));
    ASSERT_TRUE(WriteScanReport(dir.path(), "second"));
    EXPECT_EQ(testing::ReadFile(dir.path() / "Resocon.txt"), "second\r\n");
    EXPECT_FALSE(WriteScanReport(dir.path() / "missing", "x"));
}

}  // namespace
}  // namespace scantora
