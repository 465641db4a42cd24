// The image window's arithmetic: zooming, the four-orientation coordinate mapping, moving the
// view, the scroll bars and the scroll actions.
#include <gtest/gtest.h>

#include "imaging/window/coordinates.h"
#include "imaging/window/scroll_bars.h"
#include "imaging/window/zoom.h"
#include "tests/imaging/window/window_pages.h"
#include "tests/imaging/window/window_test_host.h"

namespace pixdoc {
namespace {

ImageHeader Page(int32_t width, int32_t height, int32_t out_w, int32_t out_h,
                 int32_t orientation = 0) {
    ImageHeader v{};
    v.width = width;
    v.height = height;
    v.x_resolution = v.y_resolution = 200;
    v.output_width = out_w;
    v.output_height = out_h;
    v.orientation = orientation;
    return v;
}

TEST(WinZoom, KeepsTheCentreAndHoldsTheScales) {
    ImageHeader v = Page(1000, 1000, 500, 500);
    WinFullImage(v);
    ASSERT_EQ(v.horizontal_scale, 1024);
    WinZoom(v, 4 * 2048);
    EXPECT_EQ(v.horizontal_scale, 4096);
    EXPECT_EQ(v.visible_source_width, 250);
    EXPECT_EQ(v.first_column, 375);  // the centre stays at column 500
    EXPECT_EQ(v.first_row, 375);
    WinZoom(v, 1024);  // out again by half: the visible area grows by 250 around the centre
    EXPECT_EQ(v.horizontal_scale, 2048);
    EXPECT_EQ(v.first_column, 250);
    // Factors are rounded to the nearest scale and held within 16 .. 32000.
    WinZoom(v, 3000);
    EXPECT_EQ(v.horizontal_scale, 3000);
    WinZoom(v, 2048 * 100);
    EXPECT_EQ(v.horizontal_scale, 32000);
    EXPECT_EQ(v.vertical_scale, 32000);
    WinZoom(v, 1);
    EXPECT_EQ(v.horizontal_scale, 16);
    EXPECT_EQ(v.vertical_scale, 16);
    EXPECT_EQ(v.first_column, 0);  // the whole page is visible
    EXPECT_EQ(v.visible_source_width, 1000);
}

TEST(WinZoom, TheExportZoomsTheCurrentWindowAndRepaints) {
    using window_testing::Fixture;
    using window_testing::StateOf;
    window_testing::TestHost host(0, 800, 600);
    const PixdocWindow w = host.StartChild();
    EXPECT_EQ(PX_ZoomImage(4096), 1);  // nothing loaded
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    const int32_t fitted = StateOf(w).view.vertical_scale;
    ASSERT_EQ(PX_ZoomImage(4096), 0);
    EXPECT_EQ(StateOf(w).view.vertical_scale, fitted * 2);
    EXPECT_EQ(StateOf(w).view.first_row, (1169 - StateOf(w).view.visible_source_height) / 2);
    EXPECT_EQ(host.windows[w].invalidations, 1);
}

TEST(Coordinates, WindowOriginAtEveryOrientation) {
    // W 400, H 304, s 1024, t 2048, first column 50, first row 20.
    ImageHeader v = Page(10000, 10000, 400, 304);
    v.horizontal_scale = 1024, v.vertical_scale = 2048;
    v.first_column = 50, v.first_row = 20;
    const WindowPoint expected[4] = {
        {50, 20},                  // (0 + c, 0 + r)
        {0 * 2 + 50, 400 + 20},    // (y * 2048 / s + c, (W - x) * 2048 / t + r)
        {400 * 2 + 50, 304 + 20},  // ((W - x) * 2048 / s + c, (H - y) * 2048 / t + r)
        {304 * 2 + 50, 0 + 20},    // ((H - y) * 2048 / s + c, x * 2048 / t + r)
    };
    for (int o = 0; o < 4; ++o) {
        v.orientation = o;
        EXPECT_EQ(WindowToImage(v, 0, 0), expected[o]) << "orientation " << o;
    }
    // Held within the page.
    ImageHeader small = v;
    small.width = 600, small.height = 300;
    small.orientation = 2;
    EXPECT_EQ(WindowToImage(small, 0, 0), (WindowPoint{600, 300}));
    EXPECT_EQ(WindowToImage(small, 1000, 1000), (WindowPoint{0, 0}));
}

TEST(Coordinates, ImageToWindowRoundsAndTurns) {
    ImageHeader v = Page(10000, 10000, 400, 304);
    v.horizontal_scale = 3072, v.vertical_scale = 1024;  // 1.5 across, 0.5 down
    v.first_column = 100, v.first_row = 200;
    // u = 111: (11 * 3072 + 1024) / 2048 = 17; v = 233: (33 * 1024 + 1024) / 2048 = 17.
    const WindowPoint expected[4] = {
        {17, 17}, {400 - 17, 17}, {400 - 17, 304 - 17}, {17, 304 - 17}};
    for (int o = 0; o < 4; ++o) {
        v.orientation = o;
        EXPECT_EQ(ImageToWindow(v, 111, 233), expected[o]) << "orientation " << o;
    }
    // One to one, the two mappings undo each other inside the window.
    v.horizontal_scale = v.vertical_scale = 2048;
    for (int o = 0; o < 4; ++o) {
        v.orientation = o;
        for (const WindowPoint p :
             {WindowPoint{0, 0}, WindowPoint{17, 250}, WindowPoint{399, 303}}) {
            const WindowPoint page = WindowToImage(v, p.x, p.y);
            EXPECT_EQ(ImageToWindow(v, page.x, page.y), p) << "orientation " << o;
        }
    }
}

TEST(WinMoveImage, MovesByWindowPixelsAndStaysOnThePage) {
    ImageHeader v = Page(2000, 3000, 400, 304);
    v.horizontal_scale = v.vertical_scale = 4096;
    v.first_column = 500, v.first_row = 600;
    ViewableArea(v);
    WinMoveImage(v, 40, 30);  // 20 and 15 page pixels
    EXPECT_EQ(v.first_column, 520);
    EXPECT_EQ(v.first_row, 615);
    WinMoveImage(v, -100000, 100000);
    EXPECT_EQ(v.first_column, 0);
    EXPECT_EQ(v.first_row, 3000 - 152);  // the last rows fill the window
    // Half a turn: moving down the window moves up the page.
    v.orientation = 2;
    v.first_row = 1000;
    WinMoveImage(v, 0, 30);
    EXPECT_EQ(v.first_row, 985);
}

TEST(ScrollBars, RangesAndPositionsFollowTheOrientation) {
    ImageHeader v = Page(1000, 2000, 0, 0);
    v.visible_source_width = 400, v.visible_source_height = 500;
    v.first_column = 100, v.first_row = 300;
    // {horizontal maximum, position}, {vertical maximum, position}
    const int32_t expected[4][4] = {{600, 100, 1500, 300},
                                    {1500, 1200, 600, 100},
                                    {600, 500, 1500, 1200},
                                    {1500, 300, 600, 500}};
    for (int o = 0; o < 4; ++o) {
        v.orientation = o;
        const ScrollBarLayout bars = LayOutScrollBars(v);
        EXPECT_EQ(bars[PIXDOC_BAR_HORIZONTAL].maximum, expected[o][0]) << o;
        EXPECT_EQ(bars[PIXDOC_BAR_HORIZONTAL].position, expected[o][1]) << o;
        EXPECT_EQ(bars[PIXDOC_BAR_VERTICAL].maximum, expected[o][2]) << o;
        EXPECT_EQ(bars[PIXDOC_BAR_VERTICAL].position, expected[o][3]) << o;
        EXPECT_TRUE(bars[PIXDOC_BAR_HORIZONTAL].shown && bars[PIXDOC_BAR_VERTICAL].shown);
    }
    // A bar whose whole extent is visible is hidden.
    v.orientation = 1;
    v.visible_source_width = 1000;
    v.first_column = 0;
    EXPECT_FALSE(LayOutScrollBars(v)[PIXDOC_BAR_VERTICAL].shown);
    EXPECT_TRUE(LayOutScrollBars(v)[PIXDOC_BAR_HORIZONTAL].shown);
}

TEST(ScrollBars, PagesOf65536PixelsUseHalvedValuesOnBothBars) {
    ImageHeader v = Page(1000, 70000, 0, 0);
    v.visible_source_width = 400, v.visible_source_height = 500;
    v.first_column = 101, v.first_row = 3001;
    const ScrollBarLayout bars = LayOutScrollBars(v);
    EXPECT_EQ(bars[PIXDOC_BAR_HORIZONTAL].maximum, 300);
    EXPECT_EQ(bars[PIXDOC_BAR_HORIZONTAL].position, 50);
    EXPECT_EQ(bars[PIXDOC_BAR_VERTICAL].maximum, (70000 - 500) / 2);
    EXPECT_EQ(bars[PIXDOC_BAR_VERTICAL].position, 1500);
    EXPECT_EQ(bars[PIXDOC_BAR_VERTICAL].page, 250);
    // A dragged position is doubled back.
    v.output_width = 400, v.output_height = 496;
    v.horizontal_scale = v.vertical_scale = 2048;
    MoveToBoxPosition(v, PIXDOC_BAR_VERTICAL, 1500);
    EXPECT_EQ(v.first_row, 3000);
}

TEST(ScrollBars, BoxPositionsPutTheViewWhereTheBarsSay) {
    for (int o = 0; o < 4; ++o) {
        ImageHeader v = Page(1000, 2000, 400, 304, o);
        v.horizontal_scale = v.vertical_scale = 2048;
        ViewableArea(v);
        for (int32_t bar : {PIXDOC_BAR_HORIZONTAL, PIXDOC_BAR_VERTICAL}) {
            for (int32_t position : {0, 77, 300}) {
                MoveToBoxPosition(v, bar, position);
                EXPECT_EQ(LayOutScrollBars(v)[bar].position, position)
                    << "orientation " << o << " bar " << bar;
            }
        }
    }
}

TEST(ScrollMove, StepsFromTheOutputSizeUnlessTheWindowHasItsOwn) {
    ImageHeader v = Page(1000, 2000, 400, 304);
    v.horizontal_scale = v.vertical_scale = 2048;
    const ScrollSteps none{};
    EXPECT_EQ(ScrollMove(v, none, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_LINE_FORWARD), 30);
    EXPECT_EQ(ScrollMove(v, none, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_PAGE_BACK), -152);
    EXPECT_EQ(ScrollMove(v, none, PIXDOC_BAR_HORIZONTAL, PIXDOC_SCROLL_LINE_BACK), -40);
    EXPECT_EQ(ScrollMove(v, none, PIXDOC_BAR_HORIZONTAL, PIXDOC_SCROLL_PAGE_FORWARD), 200);
    EXPECT_EQ(ScrollMove(v, ScrollSteps{7, 70}, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_LINE_BACK), -7);
    EXPECT_EQ(ScrollMove(v, ScrollSteps{7, 70}, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_PAGE_FORWARD),
              70);
    EXPECT_EQ(ScrollMove(v, none, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_TO_START), -16000);
    EXPECT_EQ(ScrollMove(v, none, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_BOX_RELEASED), 0);
}

TEST(ScrollEvents, ScrollActionsMoveTheViewAndAskForARepaint) {
    using window_testing::Fixture;
    using window_testing::StateOf;
    window_testing::TestHost host(16, 800, 600);
    const PixdocWindow w = host.StartChild();
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    ASSERT_EQ(PX_SetDisplayImageArea(0, 0, 20, 20), 0);  // far in: the scale is held at 32000
    ASSERT_EQ(host.Paint(w), 0);
    const ImageHeader& v = StateOf(w).view;
    ASSERT_EQ(v.vertical_scale, 32000);
    const int invalidations = host.windows[w].invalidations;
    // A line down: a tenth of the output height in window pixels.
    ASSERT_EQ(PX_WindowScrolled(w, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_LINE_FORWARD, 0), 0);
    EXPECT_EQ(v.first_row, v.output_height / 10 * 2048 / 32000);
    EXPECT_EQ(host.windows[w].invalidations, invalidations + 1);
    // The ends are reached at any zoom.
    ASSERT_EQ(PX_WindowScrolled(w, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_TO_END, 0), 0);
    EXPECT_EQ(v.first_row, 1169 - v.visible_source_height);
    ASSERT_EQ(PX_WindowScrolled(w, PIXDOC_BAR_HORIZONTAL, PIXDOC_SCROLL_TO_END, 0), 0);
    EXPECT_EQ(v.first_column, 827 - v.visible_source_width);
    ASSERT_EQ(PX_WindowScrolled(w, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_TO_START, 0), 0);
    EXPECT_EQ(v.first_row, 0);
    // The box: a released box moves the view, a dragged one only with thumb tracking.
    ASSERT_EQ(PX_WindowScrolled(w, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_BOX_RELEASED, 500), 0);
    EXPECT_EQ(v.first_row, 500);
    ASSERT_EQ(PX_WindowScrolled(w, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_BOX_DRAGGED, 600), 0);
    EXPECT_EQ(v.first_row, 500);
    StateOf(w).track_thumb = 1;
    ASSERT_EQ(PX_WindowScrolled(w, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_BOX_DRAGGED, 600), 0);
    EXPECT_EQ(v.first_row, 600);
    // The bars follow after the repaint.
    ASSERT_EQ(host.Paint(w), 0);
    EXPECT_EQ(host.windows[w].bars[PIXDOC_BAR_VERTICAL].position, 600);
    EXPECT_EQ(host.windows[w].bars[PIXDOC_BAR_VERTICAL].maximum, 1169 - v.visible_source_height);
    EXPECT_EQ(PX_WindowScrolled(999, PIXDOC_BAR_VERTICAL, PIXDOC_SCROLL_LINE_FORWARD, 0), 1);
}

}  // namespace
}  // namespace pixdoc
