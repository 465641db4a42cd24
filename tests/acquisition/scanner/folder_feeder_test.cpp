// The feeder folder as a scanner source, through the imaging control.
#include <gtest/gtest.h>

#include "acquisition/scanner/control_source_list.h"
#include "acquisition/scanner/sane_device.h"
#include "operator/scripted_operator.h"
#include "tests/acquisition/scanner/page_test_support.h"
#include "tests/support/no_sane_devices.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::Fixture;
using testing::Loaded;
using testing::ReadTiffPages;
using testing::RowsOf;
using testing::ScratchDir;

namespace fs = std::filesystem;

using NoDevices = testing::NoSaneDevices;

class FolderFeederTest : public ::testing::Test {
protected:
    FolderFeederTest() : feeder_(dir_ / "in"), output_(dir_ / "doc.tif") {
        fs::create_directory(feeder_);
        control_ = MakeImagingControl({std::make_shared<NoDevices>(), {feeder_}});
        EXPECT_TRUE(control_->SelectSource("folder:" + feeder_.string()));
    }

    void Feed(const std::string& fixture, const std::string& as) {
        fs::copy_file(Fixture(fixture), feeder_ / as);
    }

    // A handler that appends every page to the output document and notes it.
    PageHandler Saving(PageAction action = PageAction::kContinue) {
        return [this, action](Page& page) {
            handled_.push_back(RowsOf(page));
            EXPECT_EQ(page.Save(output_, kFormatTiff, 0, kTiffQuality, kSaveAppend),
                      ImagingStatus::kOk);
            return action;
        };
    }

    bool Waiting(const std::string& name) const { return fs::exists(feeder_ / name); }
    bool Done(const std::string& name) const { return fs::exists(feeder_ / "done" / name); }

    ScratchDir dir_;
    fs::path feeder_;
    fs::path output_;
    std::unique_ptr<ImagingControl> control_;
    std::vector<testing::Rows> handled_;
};

TEST_F(FolderFeederTest, FeedsImageFilesInNameOrderAndMovesEachToDone) {
    Feed("page3.pbm", "c.pbm");
    Feed("page1.pbm", "a.pbm");
    Feed("grey.jpg", "b.JPG");
    Feed("notes.txt", "notes.txt");
    Feed("page2.pbm", ".hidden.pbm");
    ASSERT_EQ(control_->Acquire(Saving()), ImagingStatus::kOk);
    ASSERT_EQ(handled_.size(), 3u);
    EXPECT_EQ(handled_[0], RowsOf(Loaded(Fixture("page1.pbm"))));
    EXPECT_EQ(handled_[2], RowsOf(Loaded(Fixture("page3.pbm"))));
    EXPECT_TRUE(Done("a.pbm") && Done("b.JPG") && Done("c.pbm"));
    EXPECT_TRUE(Waiting("notes.txt") && Waiting(".hidden.pbm"));
    EXPECT_EQ(ReadTiffPages(output_).size(), 3u);
    // Nothing left: an empty feeder from the start is reported.
    EXPECT_EQ(control_->Acquire(Saving()), ImagingStatus::kNoDocuments);
}

TEST_F(FolderFeederTest, MultiPageFilesGiveTheirPagesInOrderAndMoveAfterTheLast) {
    Feed("three_g4.tif", "a.tif");
    Feed("page1.pbm", "b.pbm");
    const auto reference = ReadTiffPages(Fixture("three_g4.tif"));
    int seen = 0;
    ASSERT_EQ(control_->Acquire([&](Page& page) {
        ++seen;
        // Until its last page has been saved, the file stays where it was fed from.
        EXPECT_EQ(Waiting("a.tif"), seen <= 3) << seen;
        EXPECT_FALSE(Done("a.tif") && seen <= 3);
        if (seen <= 3) {
            EXPECT_EQ(RowsOf(page), reference[seen - 1].rows);
        }
        EXPECT_EQ(page.Save(output_, kFormatTiff, 0, kTiffQuality, kSaveAppend),
                  ImagingStatus::kOk);
        return PageAction::kContinue;
    }),
              ImagingStatus::kOk);
    EXPECT_EQ(seen, 4);
    EXPECT_TRUE(Done("a.tif") && Done("b.pbm"));
    EXPECT_EQ(control_->ReadScannerValues().resolution, std::nullopt);  // a PBM has none
}

TEST_F(FolderFeederTest, AnUnsavedPageStaysFirstInTheFeeder) {
    Feed("three_g4.tif", "a.tif");
    int calls = 0;
    ASSERT_EQ(control_->Acquire([&](Page& page) {
        if (++calls == 1) {
            EXPECT_EQ(page.Save(output_, kFormatTiff, 0, kTiffQuality, kSaveAppend),
                      ImagingStatus::kOk);
        }
        return PageAction::kContinue;  // the second page is not saved
    }),
              ImagingStatus::kOk);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(Waiting("a.tif"));
    // The next acquisition starts again at the page that was not saved.
    ASSERT_EQ(control_->Acquire(Saving()), ImagingStatus::kOk);
    const auto reference = ReadTiffPages(Fixture("three_g4.tif"));
    ASSERT_EQ(handled_.size(), 2u);
    EXPECT_EQ(handled_[0], reference[1].rows);
    EXPECT_EQ(handled_[1], reference[2].rows);
    EXPECT_TRUE(Done("a.tif"));
    EXPECT_EQ(ReadTiffPages(output_).size(), 3u);
}

TEST_F(FolderFeederTest, AStopEndsTheBatchAndTheNextGoesOnFromThere) {
    Feed("three_g4.tif", "a.tif");
    ASSERT_EQ(control_->Acquire(Saving(PageAction::kStop)), ImagingStatus::kOk);
    EXPECT_EQ(handled_.size(), 1u);
    EXPECT_TRUE(Waiting("a.tif"));
    control_->CloseSource();
    ASSERT_EQ(control_->Acquire(Saving()), ImagingStatus::kOk);
    EXPECT_EQ(handled_.size(), 3u);
    EXPECT_EQ(handled_[1], ReadTiffPages(Fixture("three_g4.tif"))[1].rows);
    EXPECT_TRUE(Done("a.tif"));
}

TEST_F(FolderFeederTest, PagesToAcquireLimitsTheBatch) {
    Feed("three_g4.tif", "a.tif");
    control_->SetPagesToAcquire(2);
    ASSERT_EQ(control_->Acquire(Saving()), ImagingStatus::kOk);
    EXPECT_EQ(handled_.size(), 2u);
    control_->SetPagesToAcquire(0);  // refused: the count stays 2
    ASSERT_EQ(control_->Acquire(Saving()), ImagingStatus::kOk);
    EXPECT_EQ(handled_.size(), 3u);
}

TEST_F(FolderFeederTest, DuplexPagesComeInSheetsAndAStopWaitsForTheBack) {
    Feed("three_g4.tif", "a.tif");
    Feed("page1.pbm", "b.pbm");
    EXPECT_EQ(control_->DuplexCapability(), kDuplex);
    control_->SetDuplex(true);
    // A stop asked on the front side still takes the back of that sheet.
    ASSERT_EQ(control_->Acquire(Saving(PageAction::kStop)), ImagingStatus::kOk);
    EXPECT_EQ(handled_.size(), 2u);
    int calls = 0;
    ASSERT_EQ(control_->Acquire([&](Page& page) {
        page.Save(output_, kFormatTiff, 0, kTiffQuality, kSaveAppend);
        if (++calls == 1) control_->RequestStop();
        return PageAction::kContinue;
    }),
              ImagingStatus::kOk);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(Done("a.tif") && Done("b.pbm"));
}

TEST_F(FolderFeederTest, AnUnreadableFileStopsTheBatchAndStays) {
    Feed("page1.pbm", "a.pbm");
    Feed("broken.tif", "b.tif");
    Feed("page2.pbm", "c.pbm");
    EXPECT_EQ(control_->Acquire(Saving()), ImagingStatus::kUnreadableInput);
    EXPECT_NE(control_->LastErrorText().find("b.tif"), std::string::npos);
    EXPECT_EQ(handled_.size(), 1u);
    EXPECT_TRUE(Done("a.pbm") && Waiting("b.tif") && Waiting("c.pbm"));
    EXPECT_EQ(ReadTiffPages(output_).size(), 1u);
    fs::remove(feeder_ / "b.tif");
    EXPECT_EQ(control_->Acquire(Saving()), ImagingStatus::kOk);
    EXPECT_TRUE(control_->LastErrorText().empty());
    EXPECT_TRUE(Done("c.pbm"));
}

TEST_F(FolderFeederTest, ANameTakenInDoneIsNeverOverwritten) {
    fs::create_directory(feeder_ / "done");
    Feed("page3.pbm", "done/a.pbm");
    Feed("page1.pbm", "a.pbm");
    ASSERT_EQ(control_->Acquire(Saving()), ImagingStatus::kOk);
    EXPECT_EQ(RowsOf(Loaded(feeder_ / "done" / "a.pbm")), RowsOf(Loaded(Fixture("page3.pbm"))));
    EXPECT_EQ(RowsOf(Loaded(feeder_ / "done" / "a-2.pbm")), RowsOf(Loaded(Fixture("page1.pbm"))));
}

TEST_F(FolderFeederTest, AFolderThatIsGoneIsReported) {
    fs::remove_all(feeder_);
    EXPECT_EQ(control_->Acquire(Saving()), ImagingStatus::kFolderUnavailable);
    EXPECT_FALSE(control_->LastErrorText().empty());
}

TEST(FolderSources, ListedAfterTheDevicesAndSelectableByName) {
    ScratchDir dir;
    auto control = MakeImagingControl({std::make_shared<NoDevices>(), {dir.path()}});
    ASSERT_EQ(control->SourceCount(), 1);
    EXPECT_EQ(control->SourceName(0), "folder:" + dir.path().string());
    EXPECT_EQ(control->SourceName(1), "");
    EXPECT_EQ(control->SelectedSource(), "");
    EXPECT_EQ(control->Acquire({}), ImagingStatus::kNoSource);
    EXPECT_FALSE(control->SelectSource("folder:" + (dir / "missing").string()));
    fs::create_directory(dir / "copier");
    EXPECT_TRUE(control->SelectSource("folder:" + (dir / "copier").string()));
    EXPECT_EQ(control->SourceCount(), 2);
    EXPECT_EQ(control->SelectedSource(), "folder:" + (dir / "copier").string());
}

TEST(FolderSources, TheJobsSourceChoiceWalksTheControlsSources) {
    ScratchDir dir;
    fs::create_directory(dir / "first");
    fs::create_directory(dir / "second");
    auto control =
        MakeImagingControl({std::make_shared<NoDevices>(), {dir / "first", dir / "second"}});
    testing::WriteFile(dir / "job.ini", "[GENERALE]\nAPPLICAZIONE=DEMO\n");
    JobRecord job;
    ScriptedOperator op;
    op.QueueYesNo({false, true});
    ControlSourceList sources(*control);
    ASSERT_TRUE(ChooseSource(sources, false, job, dir / "job.ini", dir / "tmpLIV.all", op));
    const std::string second = "folder:" + (dir / "second").string();
    EXPECT_EQ(control->SelectedSource(), second);
    EXPECT_EQ(job.twainsource, second);
    EXPECT_NE(testing::ReadFile(dir / "job.ini").find("TWAINSOURCE=" + second), std::string::npos);
}

class ScriptedDialog : public ScanOptionsDialog {
public:
    bool Edit(std::string_view source, ScannerValues& values) override {
        ++shown;
        seen_source = source;
        return answer;
    }
    int shown = 0;
    bool answer = true;
    std::string seen_source;
};

TEST_F(FolderFeederTest, TheOptionsDialogOpensInTheModesThatShowItAndCanCancel) {
    Feed("page1.pbm", "a.pbm");
    ScriptedDialog dialog;
    control_->SetOptionsDialog(&dialog);
    dialog.answer = false;
    control_->SetDialogMode(DialogMode::kShown);
    EXPECT_EQ(control_->Acquire(Saving()), ImagingStatus::kCancelled);
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_EQ(dialog.seen_source, "folder:" + feeder_.string());
    EXPECT_TRUE(handled_.empty());
    EXPECT_TRUE(Waiting("a.pbm"));
    control_->SetDialogMode(DialogMode::kHidden);
    EXPECT_EQ(control_->Acquire(Saving()), ImagingStatus::kOk);
    EXPECT_EQ(dialog.shown, 1);
    Feed("page2.pbm", "b.pbm");
    dialog.answer = true;
    control_->SetDialogMode(DialogMode::kSetup);
    EXPECT_EQ(control_->Acquire(Saving()), ImagingStatus::kOk);
    EXPECT_EQ(dialog.shown, 2);
    EXPECT_EQ(handled_.size(), 2u);
}

}  // namespace
}  // namespace scantora
