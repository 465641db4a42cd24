// WinZoomPoints and ViewableArea: the area fitting shared by the colour merge and the image window.
#include "imaging/window/zoom.h"

#include <gtest/gtest.h>

namespace {

ImageHeader View(int32_t width, int32_t height, int32_t xres, int32_t yres, int32_t out_w,
                 int32_t out_h) {
    ImageHeader h{};
    h.width = width;
    h.height = height;
    h.x_resolution = xres;
    h.y_resolution = yres;
    h.output_width = out_w;
    h.output_height = out_h;
    return h;
}

TEST(WinZoomPoints, EqualResolutionsGiveOneUniformScale) {
    ImageHeader h = View(1000, 500, 200, 200, 500, 500);
    pixdoc::WinZoomPoints(h, 0, 0, 1000, 500);
    EXPECT_EQ(h.horizontal_scale, 1024);
    EXPECT_EQ(h.vertical_scale, 1024);      // the smaller fit wins
    EXPECT_EQ(h.output_x_resolution, 100);  // none given: 100
    EXPECT_EQ(h.visible_source_width, 1000);
    EXPECT_EQ(h.visible_source_height, 500);
}

TEST(WinZoomPoints, UnequalResolutionsKeepPhysicalProportions) {
    // 200 x 100 dpi: a pixel is twice as high as wide, so rows get twice the scale.
    ImageHeader h = View(1000, 500, 200, 100, 500, 500);
    pixdoc::WinZoomPoints(h, 0, 0, 1000, 500);
    EXPECT_EQ(h.horizontal_scale, 1024);
    EXPECT_EQ(h.vertical_scale, 2048);
    // Resolutions outside 5..8192 count as 100 for both.
    ImageHeader odd = View(1000, 500, 3, 300, 500, 500);
    pixdoc::WinZoomPoints(odd, 0, 0, 1000, 500);
    EXPECT_EQ(odd.x_resolution, 100);
    EXPECT_EQ(odd.y_resolution, 100);
    EXPECT_EQ(odd.vertical_scale, 1024);
}

TEST(WinZoomPoints, SmallAreasTurnedOutputsAndLimits) {
    ImageHeader small = View(1000, 500, 200, 200, 500, 500);
    small.first_column = 7;
    pixdoc::WinZoomPoints(small, 10, 10, 26, 300);  // 16 wide: too narrow
    EXPECT_EQ(small.horizontal_scale, 2048);
    EXPECT_EQ(small.vertical_scale, 2048);
    EXPECT_EQ(small.first_column, 7);  // nothing else changes

    // A quarter turn exchanges the output sizes: 1000 along the page's rows.
    ImageHeader turned = View(1000, 500, 200, 200, 500, 1000);
    turned.orientation = 1;
    pixdoc::WinZoomPoints(turned, 0, 0, 1000, 500);
    EXPECT_EQ(turned.horizontal_scale, 2048);
    EXPECT_EQ(turned.vertical_scale, 2048);

    ImageHeader huge = View(1000, 500, 200, 200, 5000, 5000);
    pixdoc::WinZoomPoints(huge, 100, 50, 120, 70);  // 20 x 20 into 5000 x 5000
    EXPECT_EQ(huge.horizontal_scale, 32000);
    EXPECT_EQ(huge.vertical_scale, 32000);
    EXPECT_EQ(huge.first_column, 100);
    EXPECT_EQ(huge.first_row, 50);
}

TEST(ViewableArea, KeepsTheViewOnThePage) {
    ImageHeader h = View(1000, 500, 200, 200, 500, 250);
    h.horizontal_scale = h.vertical_scale = 2048;
    h.first_column = 800;  // 500 visible columns would run past the edge
    h.first_row = 600;     // beyond the page
    EXPECT_EQ(pixdoc::ViewableArea(h), 250);
    EXPECT_EQ(h.first_column, 500);
    EXPECT_EQ(h.first_row, 0);
    EXPECT_EQ(h.visible_source_width, 500);
}

}  // namespace
