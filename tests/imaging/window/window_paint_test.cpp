// Painted windows against references made from pixdoc-decode's output of the same pages,
// scaled, cut and turned the slow way: bilevel and colour pages at several zooms and in all
// four orientations, negative pages, and a colour page that cannot be decoded.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imaging/window/zoom.h"
#include "tests/imaging/decode/reference_scaling.h"
#include "tests/imaging/window/window_pages.h"
#include "tests/imaging/window/window_test_host.h"

namespace pixdoc::window_testing {
namespace {

using bilevel::testing::Bitmap;

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

// The upright output (rows and columns of the page) of a view, and where it lands.
struct Upright {
    int width, height;  // output row width and row count
};

Upright UprightOf(const ImageHeader& v) {
    const bool turned = v.orientation == 1 || v.orientation == 3;
    return turned ? Upright{v.output_height, v.output_width}
                  : Upright{v.output_width, v.output_height};
}

// Turns upright pixels as the window shows them: a quarter clockwise for orientation 1.
std::vector<uint32_t> TurnPixels(const std::vector<uint32_t>& up, Upright u, int orientation) {
    const int w = (orientation % 2) ? u.height : u.width;
    const int h = (orientation % 2) ? u.width : u.height;
    std::vector<uint32_t> out(size_t(w) * h);
    for (int y = 0; y < u.height; ++y)
        for (int x = 0; x < u.width; ++x) {
            int tx = x, ty = y;
            if (orientation == 1) tx = w - 1 - y, ty = x;
            if (orientation == 2) tx = w - 1 - x, ty = h - 1 - y;
            if (orientation == 3) tx = y, ty = h - 1 - x;
            out[size_t(ty) * w + tx] = up[size_t(y) * u.width + x];
        }
    return out;
}

// The client: the turned output at its top-left corner, background around it.
std::vector<uint32_t> Client(const std::vector<uint32_t>& output, int out_w, int out_h,
                             int client_w, int client_h) {
    std::vector<uint32_t> client(size_t(client_w) * client_h, kWhite);
    for (int y = 0; y < out_h; ++y)
        std::copy_n(output.begin() + size_t(y) * out_w, out_w,
                    client.begin() + size_t(y) * client_w);
    return client;
}

// A bilevel view from the 1:1 page as it looks (pixdoc-decode's PBM): the band decoder's
// scaling of the stored bits (a negative page stores the page inverted), the page part only (the
// columns and rows the visible lines fill), shown as it looks again.
std::vector<uint32_t> ExpectedBilevel(const Bitmap& looks, const WindowState& w, int options) {
    const ImageHeader& v = w.view;
    const Upright u = UprightOf(v);
    const bilevel::testing::View view{u.width,          u.height,       v.horizontal_scale,
                                      v.vertical_scale, v.first_column, v.first_row,
                                      options};
    Bitmap page = looks;
    if (w.negative)
        for (uint8_t& byte : page.bytes)
            byte = uint8_t(~byte);
    int rows = 0;
    const Bitmap scaled = bilevel::testing::Reference(page, view, &rows);
    const int visible = std::min(page.width - v.first_column, u.width * 2048 / v.horizontal_scale);
    const int columns =
        std::min(u.width, int((1024 + int64_t(visible) * v.horizontal_scale) / 2048));
    std::vector<uint32_t> up(size_t(u.width) * u.height, kWhite);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            up[size_t(y) * u.width + x] = (scaled.Get(x, y) != (w.negative != 0)) ? kBlack : kWhite;
    return Client(TurnPixels(up, u, v.orientation), v.output_width, v.output_height, w.client_width,
                  w.client_height);
}

// A colour view from the 1:1 page: output pixel x shows the page pixel whose centre it covers,
// first + (2048 x + 1023) / scale, while that lies in the visible part.
std::vector<uint32_t> ExpectedColour(const Picture& page, const WindowState& w) {
    const ImageHeader& v = w.view;
    const Upright u = UprightOf(v);
    std::vector<uint32_t> up(size_t(u.width) * u.height, kWhite);
    for (int y = 0; y < u.height; ++y) {
        const int sy = v.first_row + int((2048 * int64_t(y) + 1023) / v.vertical_scale);
        if (sy >= v.first_row + v.visible_source_height) break;
        for (int x = 0; x < u.width; ++x) {
            const int sx = v.first_column + int((2048 * int64_t(x) + 1023) / v.horizontal_scale);
            if (sx >= v.first_column + v.visible_source_width) break;
            up[size_t(y) * u.width + x] = page.At(sx, sy);
        }
    }
    return Client(TurnPixels(up, u, v.orientation), v.output_width, v.output_height, w.client_width,
                  w.client_height);
}

// The options the window decodes with when the caller chose none: rows ORed and thin runs kept
// while reducing.
int OptionsFor(const WindowState& w) {
    if (w.options_chosen) return w.options;
    const bool reduced = w.view.horizontal_scale < 2048 || w.view.vertical_scale < 2048;
    return reduced && !w.negative ? 3 : 0;
}

// Compares what the host was shown with the expected client, naming the first difference.
void ExpectShown(const HostWindow& shown, const std::vector<uint32_t>& expected,
                 const std::string& what) {
    ASSERT_EQ(shown.pixels.size(), expected.size()) << what;
    size_t differences = 0, first = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        if (shown.pixels[i] != expected[i] && differences++ == 0) first = i;
    EXPECT_EQ(differences, 0u) << what << ": first at (" << first % shown.pixels_width << ", "
                               << first / shown.pixels_width << ") shown " << std::hex
                               << shown.pixels[first] << " expected " << expected[first];
}

// The views every page is painted at: fitted whole, a part enlarged, a small part far in and a
// part reduced, scrolled away from the corner.
struct Area {
    int left, top, right, bottom;
};
const Area kPageAreas[] = {
    {-1, -1, -1, -1}, {100, 200, 400, 450}, {600, 1000, 650, 1040}, {30, 50, 827, 1169}};
const Area kPictureAreas[] = {
    {-1, -1, -1, -1}, {20, 30, 120, 100}, {150, 100, 180, 125}, {10, 10, 301, 203}};

void ShowAreaOf(const Area& a, const ImageHeader& v) {
    if (a.left < 0)
        PX_SetDisplayImageArea(0, 0, v.width, v.height);
    else
        PX_SetDisplayImageArea(a.left, a.top, std::min(a.right, v.width),
                               std::min(a.bottom, v.height));
}

TEST(ImageWindowPainting, BilevelPagesAtEveryOrientationMatchTheReference) {
    const Bitmap page = ReadPbm(Fixture("page_g4.pbm"));
    const char* files[4] = {"page_g4.tif", "page_o6.tif", "page_o3.tif", "page_o8.tif"};
    // A client that is no multiple of 16 x 8: the rest beyond the output is background.
    TestHost host(0, 603, 459);
    const PixdocWindow w = host.StartChild();
    for (int o = 0; o < 4; ++o) {
        ASSERT_EQ(PX_SetImagePage(Fixture(files[o]).c_str()), 0);
        ASSERT_EQ(StateOf(w).view.orientation, o);
        for (const Area& a : kPageAreas) {
            ShowAreaOf(a, StateOf(w).view);
            ASSERT_EQ(host.Paint(w), 0);
            const WindowState& s = StateOf(w);
            ExpectShown(host.windows[w], ExpectedBilevel(page, s, OptionsFor(s)),
                        std::string(files[o]) + " scales " +
                            std::to_string(s.view.horizontal_scale) + "/" +
                            std::to_string(s.view.vertical_scale));
        }
    }
}

TEST(ImageWindowPainting, TheCallersOptionsDecideHowReducedPagesLook) {
    const Bitmap page = ReadPbm(Fixture("page_g4.pbm"));
    TestHost host(0, 400, 300);
    const PixdocWindow w = host.StartChild();
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    std::vector<uint32_t> shown[4];
    for (int mode = 0; mode < 4; ++mode) {
        ASSERT_EQ(PX_SetImageScaling(mode), 0);
        ASSERT_EQ(host.Paint(w), 0);
        ExpectShown(host.windows[w], ExpectedBilevel(page, StateOf(w), mode),
                    "options " + std::to_string(mode));
        shown[mode] = host.windows[w].pixels;
    }
    EXPECT_NE(shown[0], shown[3]);
    // Handed back to the window: a reduced page keeps its strokes.
    ASSERT_EQ(PX_SetImageScaling(4), 0);
    ASSERT_EQ(host.Paint(w), 0);
    EXPECT_EQ(host.windows[w].pixels, shown[3]);
}

TEST(ImageWindowPainting, ANegativePageIsShownInvertedInsideThePageOnly) {
    const Bitmap negative = ReadPbm(Fixture("page_negative.pbm"));
    // Fitted, the page leaves background at the right; enlarged, it fills the window.
    TestHost host(0, 640, 480);
    const PixdocWindow w = host.StartChild();
    std::vector<uint32_t> plain[2];
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    ASSERT_EQ(PX_SetImageScaling(0), 0);
    for (int i = 0; i < 2; ++i) {
        ShowAreaOf(kPageAreas[i], StateOf(w).view);
        ASSERT_EQ(host.Paint(w), 0);
        plain[i] = host.windows[w].pixels;
    }
    // The window's own options for a negative page: plain sampling, as chosen above.
    ASSERT_EQ(PX_SetImageScaling(4), 0);
    ASSERT_EQ(PX_SetImagePage(Fixture("page_negative.tif").c_str()), 0);
    ASSERT_EQ(StateOf(w).negative, 1);
    for (int i = 0; i < 2; ++i) {
        ShowAreaOf(kPageAreas[i], StateOf(w).view);
        ASSERT_EQ(host.Paint(w), 0);
        const WindowState& s = StateOf(w);
        ExpectShown(host.windows[w], ExpectedBilevel(negative, s, OptionsFor(s)), "negative");
        // Its set bits are white: it looks like the same page stored the usual way.
        ExpectShown(host.windows[w], plain[i], "negative as the plain page");
    }
    EXPECT_EQ(host.windows[w].pixels[639], kWhite);
    // Chosen options act on the stored bits: on a negative page they keep white strokes.
    ASSERT_EQ(PX_SetImageScaling(3), 0);
    ShowAreaOf(kPageAreas[0], StateOf(w).view);
    ASSERT_EQ(host.Paint(w), 0);
    ExpectShown(host.windows[w], ExpectedBilevel(negative, StateOf(w), 3), "negative, options 3");
}

TEST(ImageWindowPainting, AStripTableStaysWithItsWindow) {
    TestHost host(0, 640, 480);
    const PixdocWindow w = host.StartChild();
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    ShowAreaOf(kPageAreas[3], StateOf(w).view);
    ASSERT_EQ(host.Paint(w), 0);
    const std::vector<uint32_t> single = host.windows[w].pixels;
    ASSERT_EQ(PX_SetImagePage(Fixture("page_strips.tif").c_str()), 0);
    ASSERT_EQ(StateOf(w).view.compression, 257);
    // Other header reads of multi-strip pages meanwhile free the tables the library keeps.
    for (int i = 0; i < 2; ++i) {
        ImageHeader other{};
        ASSERT_EQ(OpenImageHeader(0, Fixture("page_strips.tif").c_str(), 1, &other), 0);
    }
    ShowAreaOf(kPageAreas[3], StateOf(w).view);
    ASSERT_EQ(host.Paint(w), 0);
    EXPECT_EQ(host.windows[w].pixels, single);
}

TEST(ImageWindowPainting, ColourPagesAtEveryOrientationMatchTheReference) {
    const char* pages[][2] = {{"colour.jpg", "colour_jpg.ppm"},
                              {"grey.jpg", "grey_jpg.ppm"},
                              {"colour.gif", "colour_gif.ppm"},
                              {"colour.tif", "colour_tif.ppm"}};
    TestHost host(0, 419, 333);
    const PixdocWindow w = host.StartChild();
    for (const auto& [file, reference] : pages) {
        const Picture picture = ReadPpm(Fixture(reference));
        ASSERT_EQ(PX_SetImagePage(Fixture(file).c_str()), 0) << file;
        ASSERT_GE(StateOf(w).view.compression, 1024);
        ASSERT_EQ(StateOf(w).colour.StripCount(), (203 + 15) / 16);
        for (int o = 0; o < 4; ++o) {
            // Colour containers carry no orientation of their own; the view is turned here.
            StateOf(w).view.orientation = o;
            for (const Area& a : kPictureAreas) {
                ShowAreaOf(a, StateOf(w).view);
                ASSERT_EQ(host.Paint(w), 0);
                EXPECT_TRUE(host.windows[w].texts.empty());
                ExpectShown(host.windows[w], ExpectedColour(picture, StateOf(w)),
                            std::string(file) + " orientation " + std::to_string(o) + " scales " +
                                std::to_string(StateOf(w).view.horizontal_scale));
            }
        }
    }
    // The next page frees the strips.
    ASSERT_EQ(PX_SetImagePage(Fixture("page_g4.tif").c_str()), 0);
    EXPECT_TRUE(StateOf(w).colour.Empty());
}

TEST(ImageWindowPainting, AColourPageThatCannotBeDecodedShowsItsErrorText) {
    TestHost host(0, 320, 240);
    const PixdocWindow w = host.StartChild();
    ASSERT_EQ(PX_SetImagePage(Fixture("broken.gif").c_str()), 0);
    EXPECT_TRUE(StateOf(w).colour.Empty());
    ASSERT_EQ(host.Paint(w), 0);
    ASSERT_EQ(host.windows[w].texts.size(), 1u);
    EXPECT_EQ(host.windows[w].texts[0], "GIF Code was not valid.  File appears corrupt.");
    EXPECT_EQ(host.windows[w].pixels, std::vector<uint32_t>(320 * 240, kWhite));
    // A good page after it shows no text.
    ASSERT_EQ(PX_SetImagePage(Fixture("colour.gif").c_str()), 0);
    ASSERT_EQ(host.Paint(w), 0);
    EXPECT_TRUE(host.windows[w].texts.empty());
}

}  // namespace
}  // namespace pixdoc::window_testing
