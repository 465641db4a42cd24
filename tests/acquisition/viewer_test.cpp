#include "acquisition/viewer.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "acquisition/batch_file_list.h"
#include "app/text_lookup.h"
#include "operator/scripted_operator.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;
using testing::WriteFile;

// A window of 800 x 600 pixels over files whose page counts and sizes the test sets.
class FakeDisplay : public ViewerDisplay {
public:
    std::optional<ViewedPage> Inspect(const fs::path& file, int page) override {
        const auto it = pages.find(file);
        if (it == pages.end() || page < 1) return std::nullopt;
        return ViewedPage{it->second, page_size};
    }
    bool LoadPage(const fs::path& file, int page) override {
        if (refuse_loads) return false;
        loads.push_back({file, page});
        return true;
    }
    void ShowArea(const PageArea& area) override {
        shown.push_back(area);
        visible = area;
    }
    PixelSize WindowSize() const override { return window; }
    PageArea VisibleArea() const override { return visible; }
    void Clear() override { ++clears; }

    std::map<fs::path, int> pages;
    PixelSize page_size{2400, 3200};
    PixelSize window{800, 600};
    bool refuse_loads = false;
    std::vector<std::pair<fs::path, int>> loads;
    std::vector<PageArea> shown;
    PageArea visible;
    int clears = 0;
};

class ViewerTest : public ::testing::Test {
protected:
    fs::path ImageFile(const std::string& name, int pages) {
        const fs::path path = dir_ / name;
        WriteFile(path, "page data");
        display_.pages[path] = pages;
        return path;
    }

    ScratchDir dir_;
    FakeDisplay display_;
    ScriptedOperator op_;
    Viewer viewer_{display_, op_};
};

TEST_F(ViewerTest, ShowsPageOneOfAFileAndKeepsTheViewWhenAnotherCannotBeShown) {
    const fs::path scan = ImageFile("scan.tif", 3);
    ASSERT_TRUE(viewer_.ShowFile(scan));
    EXPECT_EQ(viewer_.file(), scan);
    EXPECT_EQ(viewer_.page(), 1);
    EXPECT_EQ(viewer_.pages(), 3);

    EXPECT_FALSE(viewer_.ShowFile(dir_ / "missing.tif"));
    const fs::path text = dir_ / "notes.txt";
    WriteFile(text, "not an image");
    EXPECT_FALSE(viewer_.ShowFile(text));
    display_.refuse_loads = true;
    EXPECT_FALSE(viewer_.ShowFile(ImageFile("other.tif", 1)));

    EXPECT_EQ(viewer_.file(), scan);
    EXPECT_EQ(display_.loads.size(), 1u);
    EXPECT_TRUE(op_.events().empty());
}

TEST_F(ViewerTest, PageNavigationStaysInsideTheFileAndLoadsOnlyAChangedPage) {
    const fs::path scan = ImageFile("scan.tif", 3);
    viewer_.Navigate(PageStep::kNext);  // no view file yet
    EXPECT_TRUE(display_.loads.empty());

    ASSERT_TRUE(viewer_.ShowFile(scan));
    viewer_.Navigate(PageStep::kPrevious);
    viewer_.Navigate(PageStep::kFirst);
    EXPECT_EQ(display_.loads.size(), 1u);

    viewer_.Navigate(PageStep::kLast);
    EXPECT_EQ(viewer_.page(), 3);
    EXPECT_EQ(display_.loads.back(), std::make_pair(scan, 3));
    viewer_.Navigate(PageStep::kNext);
    EXPECT_EQ(display_.loads.size(), 2u);

    viewer_.Navigate(PageStep::kPrevious);
    EXPECT_EQ(viewer_.page(), 2);
    viewer_.Navigate(PageStep::kFirst);
    EXPECT_EQ(viewer_.page(), 1);
    EXPECT_EQ(display_.loads.size(), 4u);
}

TEST_F(ViewerTest, NavigationFollowsAFileThatLostPagesOrIsGone) {
    const fs::path scan = ImageFile("scan.tif", 5);
    ASSERT_TRUE(viewer_.ShowFile(scan));
    viewer_.Navigate(PageStep::kLast);
    display_.pages[scan] = 2;  // pages deleted meanwhile
    viewer_.Navigate(PageStep::kNext);
    EXPECT_EQ(viewer_.page(), 2);
    EXPECT_EQ(viewer_.pages(), 2);

    fs::remove(scan);
    const std::size_t loads = display_.loads.size();
    viewer_.Navigate(PageStep::kFirst);
    EXPECT_EQ(display_.loads.size(), loads);
    ASSERT_EQ(op_.Messages().size(), 1u);
    EXPECT_EQ(op_.Messages()[0], "File [" + scan.string() + "] non esistente");
}

TEST_F(ViewerTest, ZoomStepsStopAtTheirLimits) {
    viewer_.ZoomTo(200);
    for (int i = 0; i < 200; ++i)
        viewer_.ZoomIn();
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 503);  // 500 itself may still step once

    viewer_.ZoomTo(25);
    viewer_.ZoomOut();
    viewer_.ZoomOut();
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 19);
    for (int i = 0; i < 10; ++i)
        viewer_.ZoomOut();
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 4);  // 7 was at least 5, 4 is not
    EXPECT_EQ(viewer_.mode(), DisplayMode::kZoomReduced);
}

TEST_F(ViewerTest, ZoomInAt499GoesTo502AndAt501DoesNothing) {
    const fs::path scan = ImageFile("scan.tif", 1);
    ASSERT_TRUE(viewer_.ShowFile(scan));
    viewer_.ZoomTo(499);
    viewer_.ZoomIn();
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 502);
    viewer_.ZoomTo(501);
    const std::size_t shown = display_.shown.size();
    viewer_.ZoomIn();
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 501);
    EXPECT_EQ(display_.shown.size(), shown);
}

TEST_F(ViewerTest, FixedZoomsRecordTheirModes) {
    viewer_.ZoomTo(25);
    EXPECT_EQ(viewer_.mode(), DisplayMode::kZoomReduced);
    viewer_.ZoomTo(50);
    EXPECT_EQ(viewer_.mode(), DisplayMode::kZoomReduced);
    viewer_.ZoomTo(100);
    EXPECT_EQ(viewer_.mode(), DisplayMode::kZoom100);
    viewer_.ZoomTo(200);
    EXPECT_EQ(viewer_.mode(), DisplayMode::kZoom200);
    viewer_.FitToWidth();
    EXPECT_EQ(viewer_.mode(), DisplayMode::kFitToWidth);
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 200);  // no page: the factor stays
}

TEST_F(ViewerTest, FitsShowTheWholePageOrItsWidthAndZoomInStartsFromTheFit) {
    const fs::path scan = ImageFile("scan.tif", 1);  // 2400 x 3200 in 800 x 600
    ASSERT_TRUE(viewer_.ShowFile(scan));
    EXPECT_EQ(display_.shown.back(), (PageArea{0, 0, 2400, 3200}));
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 18.75);

    viewer_.FitToWidth();
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 100.0 / 3);
    EXPECT_EQ(display_.shown.back(), (PageArea{0, 0, 2400, 1800}));

    viewer_.ZoomIn();
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 100.0 / 3 + 3);
    EXPECT_EQ(viewer_.mode(), DisplayMode::kZoomReduced);
    // The middle of the view stays where it was.
    const PageArea area = display_.shown.back();
    EXPECT_NEAR((area.left + area.right) / 2.0, 1200, 1);
    EXPECT_NEAR((area.top + area.bottom) / 2.0, 900, 1);
}

TEST_F(ViewerTest, AResizedWindowRefitsOnlyAFittedPage) {
    const fs::path scan = ImageFile("scan.tif", 1);
    ASSERT_TRUE(viewer_.ShowFile(scan));
    display_.window = {1600, 600};
    viewer_.WindowResized();
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 18.75);  // still the height that limits
    viewer_.FitToWidth();
    display_.window = {1200, 600};
    viewer_.WindowResized();
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 50);

    viewer_.ZoomTo(100);
    const std::size_t shown = display_.shown.size();
    display_.window = {400, 300};
    viewer_.WindowResized();
    EXPECT_EQ(display_.shown.size(), shown);
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 100);
}

TEST_F(ViewerTest, ANewPageKeepsAFixedZoomFromItsTopLeft) {
    const fs::path scan = ImageFile("scan.tif", 2);
    ASSERT_TRUE(viewer_.ShowFile(scan));
    viewer_.ZoomTo(100);
    viewer_.Navigate(PageStep::kNext);
    EXPECT_EQ(display_.shown.back(), (PageArea{0, 0, 800, 600}));
    EXPECT_DOUBLE_EQ(viewer_.zoom(), 100);
}

TEST(DisplayScaleTest, AreasStayInsideThePageWherePossible) {
    const PixelSize page{1000, 1000};
    const PixelSize window{400, 200};
    EXPECT_EQ(AreaAtZoom(100, page, window, 990, 10), (PageArea{600, 0, 1000, 200}));
    EXPECT_EQ(AreaAtZoom(200, page, window, 500, 500), (PageArea{400, 450, 600, 550}));
    // A page smaller than the view starts at its corner.
    EXPECT_EQ(AreaAtZoom(10, page, window, 500, 500), (PageArea{0, 0, 4000, 2000}));
    EXPECT_EQ(FitZoom(DisplayMode::kFitToWindow, {}, window), 0);
    EXPECT_EQ(AreaAtZoom(0, page, window, 0, 0), PageArea{});
}

class BatchFileListTest : public ::testing::Test {
protected:
    fs::path File(const std::string& name) {
        const fs::path path = dir_ / name;
        WriteFile(path, "page");
        display_.pages[path] = 1;
        return path;
    }

    ScratchDir dir_;
    FakeDisplay display_;
    ScriptedOperator op_;
    TextLookup texts_;
    Viewer viewer_{display_, op_};
    BatchFileList list_;
};

TEST_F(BatchFileListTest, ListsTheDirectorysFilesByNameWithoutHiddenOnesOrFolders) {
    File("0002fro.tif");
    File("0001fro.tif");
    File(".tmp-0003");
    fs::create_directory(dir_ / "sub");
    list_.Fill(dir_.path());
    ASSERT_EQ(list_.files().size(), 2u);
    EXPECT_EQ(list_.files()[0], dir_ / "0001fro.tif");
    EXPECT_EQ(list_.files()[1], dir_ / "0002fro.tif");

    list_.Fill(dir_ / "no-such-folder");
    EXPECT_TRUE(list_.files().empty());
    EXPECT_FALSE(list_.selected());
}

TEST_F(BatchFileListTest, DeletingTheLastFileSelectsAndShowsTheNewLastEntry) {
    File("a.tif");
    File("b.tif");
    const fs::path last = File("c.tif");
    list_.Fill(dir_.path());
    list_.Select(2);
    ASSERT_TRUE(viewer_.ShowFile(last));

    op_.QueueYesNo({true});
    DeleteBatchFile(list_, viewer_, op_, texts_);
    EXPECT_FALSE(fs::exists(last));
    ASSERT_EQ(list_.files().size(), 2u);
    EXPECT_EQ(list_.selected(), 1u);
    EXPECT_EQ(viewer_.file(), dir_ / "b.tif");
    ASSERT_EQ(op_.events().size(), 1u);
    EXPECT_EQ(op_.events()[0].text, "Sicuro di voler cancellare il File " + last.string());
}

TEST_F(BatchFileListTest, DeletingInTheMiddleSelectsTheFileThatTookItsPlace) {
    File("a.tif");
    const fs::path middle = File("b.tif");
    File("c.tif");
    list_.Fill(dir_.path());
    list_.Select(1);
    op_.QueueYesNo({true});
    DeleteBatchFile(list_, viewer_, op_, texts_);
    EXPECT_FALSE(fs::exists(middle));
    EXPECT_EQ(list_.selected(), 1u);
    EXPECT_EQ(viewer_.file(), dir_ / "c.tif");
}

TEST_F(BatchFileListTest, NoKeepsTheFileAndTheView) {
    const fs::path only = File("a.tif");
    list_.Fill(dir_.path());
    list_.Select(0);
    ASSERT_TRUE(viewer_.ShowFile(only));
    op_.QueueYesNo({false});
    DeleteBatchFile(list_, viewer_, op_, texts_);
    EXPECT_TRUE(fs::exists(only));
    EXPECT_EQ(list_.files().size(), 1u);
    EXPECT_EQ(display_.clears, 0);
}

TEST_F(BatchFileListTest, DeletingTheOnlyFileShownEmptiesTheViewer) {
    const fs::path only = File("a.tif");
    list_.Fill(dir_.path());
    list_.Select(0);
    ASSERT_TRUE(viewer_.ShowFile(only));
    op_.QueueYesNo({true});
    DeleteBatchFile(list_, viewer_, op_, texts_);
    EXPECT_TRUE(list_.files().empty());
    EXPECT_FALSE(list_.selected());
    EXPECT_EQ(display_.clears, 1);
    EXPECT_TRUE(viewer_.file().empty());
}

TEST_F(BatchFileListTest, AFileGoneMeanwhileIsNotAskedForAndTheListIsRenewed) {
    File("a.tif");
    const fs::path gone = File("b.tif");
    list_.Fill(dir_.path());
    list_.Select(1);
    fs::remove(gone);
    DeleteBatchFile(list_, viewer_, op_, texts_);
    EXPECT_EQ(op_.Count(OperatorEvent::Kind::kYesNo), 0);
    ASSERT_EQ(list_.files().size(), 1u);
    EXPECT_EQ(list_.selected(), 0u);
    EXPECT_EQ(viewer_.file(), dir_ / "a.tif");
}

}  // namespace
}  // namespace scantora
