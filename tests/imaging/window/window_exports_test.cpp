// The image window's exports against a recording host: the registry of 32 windows and their
// owners, loading pages, fitting areas, repaint requests, callbacks and the guard against
// switching windows or pages from within an export.
#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/window/window_registry.h"
#include "tests/imaging/window/window_pages.h"
#include "tests/imaging/window/window_test_host.h"

namespace pixdoc::window_testing {
namespace {

constexpr int32_t kNoImageResult = 2;

TEST(ImageWindowRegistry, ThirtyTwoWindowsAndTheThirtyThirdIsRefused) {
    TestHost host;
    PixdocWindow first = 0;
    for (int i = 0; i < 32; ++i) {
        ASSERT_EQ(PX_StartImageWindow(host.NewParent(1), 1, 0, 0, 0, 0), 0) << i;
        if (i == 0) first = PX_GetImageWindowHandle();
    }
    const PixdocWindow last = PX_GetImageWindowHandle();
    EXPECT_EQ(PX_StartImageWindow(host.NewParent(1), 1, 0, 0, 0, 0), 2);
    EXPECT_EQ(host.windows.size(), 32u);
    EXPECT_EQ(PX_GetImageWindowHandle(), last);
    // A window that is gone frees its slot.
    EXPECT_EQ(PX_WindowDestroyed(first), 0);
    EXPECT_EQ(PX_WindowDestroyed(first), 1);
    EXPECT_EQ(PX_StartImageWindow(host.NewParent(1), 1, 0, 0, 0, 0), 0);
}

TEST(ImageWindowRegistry, KindAndAreaChooseTheNativeWindow) {
    TestHost host(0, 640, 480);
    // A child without an area covers its parent's client area.
    const PixdocWindow cover = host.StartChild();
    EXPECT_EQ(host.windows[cover].kind, PIXDOC_WINDOW_CHILD);
    EXPECT_EQ(host.windows[cover].flags, PIXDOC_CREATE_COVER_PARENT);
    EXPECT_EQ(host.windows[cover].title, "Corvane Imaging's Image Procedure");
    EXPECT_EQ(StateOf(cover).view.output_width, 640);
    EXPECT_EQ(StateOf(cover).view.output_height, 480);
    EXPECT_EQ(StateOf(cover).kind, WindowKind::kChild);

    // A child with an area; the output size is rounded down to 16 x 8.
    ASSERT_EQ(PX_StartImageWindow(host.NewParent(1), 1, 10, 20, 301, 207), 0);
    const PixdocWindow placed = PX_GetImageWindowHandle();
    EXPECT_EQ(host.windows[placed].flags, 0);
    EXPECT_EQ(host.windows[placed].x, 10);
    EXPECT_EQ(host.windows[placed].height, 207);
    EXPECT_EQ(StateOf(placed).view.output_width, 288);
    EXPECT_EQ(StateOf(placed).view.output_height, 200);

    // Kinds below 1 make top-level windows; -1701 has no caption.
    ASSERT_EQ(PX_StartImageWindow(0, 0, 0, 0, 400, 300), 0);
    const PixdocWindow top = PX_GetImageWindowHandle();
    EXPECT_EQ(host.windows[top].kind, PIXDOC_WINDOW_TOP_LEVEL);
    EXPECT_EQ(host.windows[top].flags, 0);
    EXPECT_EQ(StateOf(top).kind, WindowKind::kTopLevel);
    ASSERT_EQ(PX_StartImageWindow(0, -1701, 0, 0, 400, 300), 0);
    EXPECT_EQ(host.windows[PX_GetImageWindowHandle()].flags, PIXDOC_CREATE_NO_CAPTION);
}

TEST(ImageWindowRegistry, AFailedCreationKeepsTheCurrentWindow) {
    TestHost host;
    const PixdocWindow w = host.StartChild();
    host.refuse_windows = true;
    EXPECT_EQ(PX_StartImageWindow(host.NewParent(1), 1, 0, 0, 0, 0), 1);
    EXPECT_EQ(PX_GetImageWindowHandle(), w);
    EXPECT_EQ(WindowCount(), 1);
}

TEST(ImageWindowRegistry, EachOwnerHasItsCurrentWindow) {
    TestHost host;
    const PixdocWindow a1 = host.StartChild(1);
    const PixdocWindow a2 = host.StartChild(1);
    const PixdocWindow b = host.StartChild(2);
    EXPECT_EQ(PX_GetImageWindowHandle(), b);
    EXPECT_EQ(PX_SetImageWindow(a1), 0);
    EXPECT_EQ(PX_GetImageWindowHandle(), a1);
    EXPECT_EQ(PX_SetImageWindow(999), 1);
    EXPECT_EQ(PX_GetImageWindowHandle(), a1);
    // Owner 1's current window goes: without a most recently used window, the owner of the
    // active window decides.
    PX_WindowDestroyed(a1);
    EXPECT_EQ(PX_GetImageWindowHandle(), 0u);
    host.active = host.NewParent(1);           // a window of owner 1 that is no image window
    EXPECT_EQ(PX_GetImageWindowHandle(), 0u);  // owner 1 has no current window left
    host.active = b;
    EXPECT_EQ(PX_GetImageWindowHandle(), b);
    host.active = 0;
    EXPECT_EQ(PX_GetImageWindowHandle(), b);  // now the most recently used
    EXPECT_EQ(PX_SetImageWindow(a2), 0);
    EXPECT_EQ(PX_GetImageWindowHandle(), a2);
}

TEST(ImageWindowExports, WithoutAWindowEveryExportRefuses) {
    TestHost host;
    EXPECT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 1);
    EXPECT_EQ(PX_SetDisplayImageArea(0, 0, 100, 100), 1);
    EXPECT_EQ(PX_PaintImage(0), 1);
    EXPECT_EQ(PX_SetImageScaling(3), 1);
    EXPECT_EQ(PX_GetImageWindowHandle(), 0u);
    EXPECT_EQ(PX_SetCallback(5, nullptr), 1);
    EXPECT_EQ(PX_ClearCallback(5), 1);
    EXPECT_EQ(PX_ReportCallbackTime(5), 0);
    EXPECT_EQ(PX_WindowPaint(12345), 1);
}

TEST(ImageWindowPages, ANonImageShowsNoImageAndLeavesNothingLoaded) {
    TestHost host;
    ASSERT_EQ(PX_StartImageWindow(0, 0, 0, 0, 640, 480), 0);
    const PixdocWindow w = PX_GetImageWindowHandle();
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    EXPECT_EQ(PX_SetImagePage(Fixture("not_image.tif").c_str()), kNoImageResult);
    EXPECT_EQ(host.windows[w].title, "NO IMAGE");
    EXPECT_FALSE(StateOf(w).loaded);
    EXPECT_TRUE(StateOf(w).file_name.empty());
    EXPECT_EQ(PX_SetDisplayImageArea(0, 0, 100, 100), 1);
    EXPECT_EQ(PX_PaintImage(0), 1);
    EXPECT_EQ(PX_SetImagePage(Fixture("no_such_file.tif").c_str()), kNoImageResult);
    EXPECT_EQ(PX_SetImageMultPage(Fixture("page_g4.tif").c_str(), 0), kNoImageResult);
    EXPECT_EQ(PX_SetImageMultPage("", 1), kNoImageResult);
    // The window paints as background.
    ASSERT_EQ(host.Paint(w), 0);
    EXPECT_EQ(host.windows[w].pixels, std::vector<uint32_t>(640 * 480, 0xFFFFFFFFu));
}

TEST(ImageWindowPages, ATopLevelTitleNamesThePageAndThePageCount) {
    TestHost host;
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(Fixture(""));
    ASSERT_EQ(PX_StartImageWindow(0, 0, 0, 0, 640, 480), 0);
    const PixdocWindow w = PX_GetImageWindowHandle();
    EXPECT_EQ(PX_SetImageMultPage("scan.tif", 3), 0);
    EXPECT_EQ(host.windows[w].title, "scan.tif    [3 of 5]");
    EXPECT_EQ(StateOf(w).view.width, 827);  // page 3 is the A4 page again
    EXPECT_EQ(PX_SetImageMultPage("scan.tif", 6), kNoImageResult);
    EXPECT_EQ(host.windows[w].title, "NO IMAGE");
    std::filesystem::current_path(here);
    // A child window keeps the title it was made with.
    const PixdocWindow child = host.StartChild();
    ASSERT_EQ(PX_SetImagePage(Fixture("scan.tif").c_str()), 0);
    EXPECT_EQ(host.windows[child].title, "Corvane Imaging's Image Procedure");
}

TEST(ImageWindowPages, APageIsFittedWholeWithoutScrollBars) {
    TestHost host(16, 800, 600);
    const PixdocWindow w = host.StartChild();
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    const ImageHeader& v = StateOf(w).view;
    // 827 x 1169 at 100 x 100 dpi into 800 x 600: the height decides.
    EXPECT_EQ(v.vertical_scale, 600 * 2048 / 1169);
    EXPECT_EQ(v.horizontal_scale, v.vertical_scale);
    EXPECT_EQ(v.visible_source_height, 1169);
    ASSERT_EQ(host.Paint(w), 0);
    EXPECT_FALSE(host.windows[w].bars[PIXDOC_BAR_HORIZONTAL].shown);
    EXPECT_FALSE(host.windows[w].bars[PIXDOC_BAR_VERTICAL].shown);
}

TEST(ImageWindowArea, AreasBelowSeventeenPixelsKeepOneToOne) {
    TestHost host;
    const PixdocWindow w = host.StartChild();
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    EXPECT_EQ(PX_SetDisplayImageArea(100, 100, 110, 400), 0);
    EXPECT_EQ(StateOf(w).view.horizontal_scale, 2048);
    EXPECT_EQ(StateOf(w).view.vertical_scale, 2048);
    EXPECT_EQ(host.windows[w].invalidations, 1);
}

TEST(ImageWindowArea, UnequalResolutionsKeepThePhysicalProportions) {
    TestHost host;
    ASSERT_EQ(PX_StartImageWindow(host.NewParent(1), 1, 0, 0, 400, 400), 0);
    const PixdocWindow w = PX_GetImageWindowHandle();
    ASSERT_EQ(PX_SetImagePage(Fixture("dpi_200x100.tif").c_str()), 0);
    ASSERT_EQ(StateOf(w).view.x_resolution, 200);
    ASSERT_EQ(StateOf(w).view.y_resolution, 100);
    EXPECT_EQ(PX_SetDisplayImageArea(100, 100, 200, 200), 0);
    EXPECT_EQ(StateOf(w).view.horizontal_scale, 4096);
    EXPECT_EQ(StateOf(w).view.vertical_scale, 8192);
    EXPECT_EQ(StateOf(w).view.first_column, 100);
    EXPECT_EQ(StateOf(w).view.first_row, 100);
}

TEST(ImageWindowArea, TheOutputAllowsForTheScrollBarsTheAreaWillNeed) {
    TestHost host(16, 800, 600);
    const PixdocWindow w = host.StartChild();
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    // A part of the page: both bars will come, so the area is fitted into 784 x 584.
    ASSERT_EQ(PX_SetDisplayImageArea(0, 0, 400, 300), 0);
    EXPECT_EQ(StateOf(w).view.horizontal_scale, 584 * 2048 / 300);
    ASSERT_EQ(host.Paint(w), 0);
    EXPECT_TRUE(host.windows[w].bars[PIXDOC_BAR_HORIZONTAL].shown);
    EXPECT_TRUE(host.windows[w].bars[PIXDOC_BAR_VERTICAL].shown);
    EXPECT_EQ(StateOf(w).view.output_width, 784);
    EXPECT_EQ(StateOf(w).view.output_height, 584);
    EXPECT_EQ(StateOf(w).view.horizontal_scale, 584 * 2048 / 300);
    // The whole page again: both bars will go, so it is fitted into 800 x 600.
    ASSERT_EQ(PX_SetDisplayImageArea(0, 0, 827, 1169), 0);
    EXPECT_EQ(StateOf(w).view.vertical_scale, 600 * 2048 / 1169);
    ASSERT_EQ(host.Paint(w), 0);
    EXPECT_FALSE(host.windows[w].bars[PIXDOC_BAR_VERTICAL].shown);
    EXPECT_EQ(StateOf(w).view.output_height, 600);
}

TEST(ImageWindowPaint, ModesChooseErasingAndAnImmediateRepaint) {
    TestHost host;
    const PixdocWindow w = host.StartChild();
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    EXPECT_EQ(PX_PaintImage(0), 0);
    EXPECT_EQ(host.windows[w].erasing_invalidations, 1);
    EXPECT_EQ(PX_PaintImage(1701), 0);
    EXPECT_EQ(host.windows[w].erasing_invalidations, 1);
    EXPECT_TRUE(host.windows[w].pixels.empty());
    EXPECT_EQ(PX_PaintImage(4321), 0);
    EXPECT_EQ(host.windows[w].invalidations, 3);
    EXPECT_EQ(host.windows[w].immediate_invalidations, 1);
    EXPECT_EQ(host.windows[w].pixels.size(), 800u * 600u);
}

TEST(ImageWindowScaling, ModesBelowFourAreTheCallersOptions) {
    TestHost host;
    const PixdocWindow w = host.StartChild();
    EXPECT_EQ(PX_SetImageScaling(6), 0);
    EXPECT_EQ(StateOf(w).options, 2);
    EXPECT_FALSE(StateOf(w).options_chosen);
    EXPECT_EQ(PX_SetImageScaling(1), 0);
    EXPECT_EQ(StateOf(w).options, 1);
    EXPECT_TRUE(StateOf(w).options_chosen);
}

int display_calls = 0;
PixdocWindow display_window = 0;
int32_t display_message = 0;
int32_t CountingDisplay(PixdocWindow w, int32_t message, intptr_t, intptr_t) {
    ++display_calls;
    display_window = w;
    display_message = message;
    return 0;
}

TEST(ImageWindowCallbacks, TheDisplayCallbackEndsEveryRepaintNoExportRuns) {
    TestHost host;
    const PixdocWindow w = host.StartChild();
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    EXPECT_EQ(PX_SetCallback(8, &CountingDisplay), 1);
    EXPECT_EQ(PX_SetCallback(-1, &CountingDisplay), 1);
    ASSERT_EQ(PX_SetCallback(5, &CountingDisplay), 0);
    display_calls = 0;
    EXPECT_EQ(PX_ReportCallbackTime(5), 0);
    ASSERT_EQ(host.Paint(w), 0);
    EXPECT_EQ(display_calls, 1);
    EXPECT_EQ(display_window, w);
    EXPECT_EQ(display_message, 15);
    EXPECT_NE(PX_ReportCallbackTime(5), 0);
    EXPECT_EQ(PX_ReportCallbackTime(4), 0);
    EXPECT_EQ(PX_ReportCallbackTime(8), 0);
    // A repaint inside an export does not call it.
    ASSERT_EQ(PX_PaintImage(4321), 0);
    EXPECT_EQ(display_calls, 1);
    ASSERT_EQ(PX_ClearCallback(5), 0);
    ASSERT_EQ(host.Paint(w), 0);
    EXPECT_EQ(display_calls, 1);
}

// Exports called from a callback that runs after the repaint work as usual.
int32_t LoadingDisplay(PixdocWindow, int32_t, intptr_t, intptr_t) {
    display_calls += PX_SetImagePage(Fixture("dpi_200x100.tif").c_str()) == 0 ? 1 : 0;
    return 0;
}

TEST(ImageWindowCallbacks, ExportsFromTheDisplayCallbackWork) {
    TestHost host;
    const PixdocWindow w = host.StartChild();
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    ASSERT_EQ(PX_SetCallback(5, &LoadingDisplay), 0);
    display_calls = 0;
    ASSERT_EQ(host.Paint(w), 0);
    EXPECT_EQ(display_calls, 1);
    EXPECT_EQ(StateOf(w).view.width, 400);
}

TEST(ImageWindowGuard, WithinAnExportWindowsAndPagesStay) {
    TestHost host;
    const PixdocWindow other = host.StartChild(1);
    const PixdocWindow w = host.StartChild(1);
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    // The host's immediate repaint runs inside PX_PaintImage; from there the window and its page
    // cannot change, while the other exports work on the window in use.
    struct Seen {
        int32_t start = -1, page = -1, choose = -1, scaling = -1;
        PixdocWindow handle = 0;
    } seen;
    host.on_show = [&](PixdocWindow shown) {
        seen.start = PX_StartImageWindow(0, 0, 0, 0, 100, 100);
        seen.page = PX_SetImagePage(Fixture("dpi_200x100.tif").c_str());
        seen.choose = PX_SetImageWindow(shown);
        seen.scaling = PX_SetImageScaling(2);
        seen.handle = PX_GetImageWindowHandle();
    };
    ASSERT_EQ(PX_SetImageWindow(other), 0);
    ASSERT_EQ(PX_SetImageWindow(w), 0);
    ASSERT_EQ(PX_PaintImage(4321), 0);
    EXPECT_EQ(seen.start, 3);
    EXPECT_EQ(seen.page, 1);
    EXPECT_EQ(seen.choose, 1);
    EXPECT_EQ(seen.scaling, 0);
    EXPECT_EQ(seen.handle, w);
    EXPECT_EQ(StateOf(w).view.width, 827);
    EXPECT_EQ(StateOf(w).options, 2);
    EXPECT_EQ(WindowCount(), 2);
    // Nothing runs any more: the same calls work.
    EXPECT_EQ(PX_SetImageWindow(other), 0);
    EXPECT_EQ(PX_GetImageWindowHandle(), other);
}

}  // namespace
}  // namespace pixdoc::window_testing
