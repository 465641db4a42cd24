// Invert, rotate and deskew of a page.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/acquisition/scanner/page_test_support.h"

namespace scantora {
namespace {

using testing::Bit;
using testing::Fixture;
using testing::Loaded;
using testing::Rows;
using testing::RowsOf;

constexpr int kQuarter = 9000;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

TEST(PageCorrections, InvertFlipsEveryPixelAndNothingElse) {
    Page page = Loaded(Fixture("page1.pbm"));
    const Rows before = RowsOf(page);
    page.Invert();
    const Rows after = RowsOf(page);
    for (int y = 0; y < page.Height(); ++y)
        for (int x = 0; x < page.Width(); ++x)
            ASSERT_EQ(Bit(after, x, y), 1 - Bit(before, x, y)) << x << "," << y;
    page.Invert();
    EXPECT_EQ(RowsOf(page), before);
}

TEST(PageCorrections, InvertGreyIsTheComplement) {
    Page page = Loaded(Fixture("grey.pgm"));
    const Rows before = RowsOf(page);
    page.Invert();
    const Rows after = RowsOf(page);
    for (size_t y = 0; y < before.size(); ++y)
        for (size_t x = 0; x < before[y].size(); ++x)
            ASSERT_EQ(after[y][x], 255 - before[y][x]);
}

// new(x, y) for a clockwise turn by `quads` quarter turns of a W x H page.
int TurnedBit(const Rows& old, int quads, int width, int height, int x, int y) {
    switch (quads) {
        case 1:
            return Bit(old, y, height - 1 - x);
        case 2:
            return Bit(old, width - 1 - x, height - 1 - y);
        default:
            return Bit(old, width - 1 - y, x);
    }
}

TEST(PageCorrections, QuarterTurnsClockwiseAreExact) {
    const Page original = Loaded(Fixture("page1.pbm"));
    const Rows old = RowsOf(original);
    const int w = original.Width(), h = original.Height();
    for (int quads = 1; quads <= 3; ++quads) {
        Page page = original.Clone();
        ASSERT_EQ(page.Rotate(quads * kQuarter, true, kRed), ImagingStatus::kOk);
        ASSERT_EQ(page.Width(), quads == 2 ? w : h);
        ASSERT_EQ(page.Height(), quads == 2 ? h : w);
        const Rows turned = RowsOf(page);
        for (int y = 0; y < page.Height(); ++y)
            for (int x = 0; x < page.Width(); ++x)
                ASSERT_EQ(Bit(turned, x, y), TurnedBit(old, quads, w, h, x, y))
                    << quads << " quarter turns at " << x << "," << y;
    }
}

TEST(PageCorrections, TurnsWrapAroundAndAnticlockwiseIsNegative) {
    const Page original = Loaded(Fixture("page2.pbm"));
    Page full = original.Clone(), back = original.Clone(), three = original.Clone();
    ASSERT_EQ(full.Rotate(4 * kQuarter, true, kRed), ImagingStatus::kOk);
    EXPECT_EQ(RowsOf(full), RowsOf(original));
    ASSERT_EQ(back.Rotate(-kQuarter, true, kRed), ImagingStatus::kOk);
    ASSERT_EQ(three.Rotate(3 * kQuarter, true, kRed), ImagingStatus::kOk);
    EXPECT_EQ(RowsOf(back), RowsOf(three));
}

TEST(PageCorrections, QuarterTurnSwapsTheResolutions) {
    Page page = Loaded(Fixture("three_g4.tif"));
    PixPtr stretched(pixCopy(nullptr, PageAccess::Pix(page)));
    pixSetResolution(stretched.get(), 200, 100);
    PageAccess::Replace(page, std::move(stretched));
    ASSERT_EQ(page.Rotate(kQuarter, true, kWhite), ImagingStatus::kOk);
    EXPECT_EQ(page.XResolution(), 100);
    EXPECT_EQ(page.YResolution(), 200);
}

TEST(PageCorrections, ColourQuarterTurnIsExact) {
    const Page original = Loaded(Fixture("colour.png"));
    Page page = original.Clone();
    ASSERT_EQ(page.Rotate(2 * kQuarter, false, kRed), ImagingStatus::kOk);
    const Rows old = RowsOf(original), turned = RowsOf(page);
    const int w = original.Width(), h = original.Height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(turned[y][3 * x + c], old[h - 1 - y][3 * (w - 1 - x) + c]);
}

TEST(PageCorrections, AnOddAngleWithResizeGrowsThePageAndFillsTheCorners) {
    Page page = Loaded(Fixture("colour.png"));
    const int w = page.Width(), h = page.Height();
    ASSERT_EQ(page.Rotate(3000, true, kRed), ImagingStatus::kOk);
    EXPECT_GT(page.Width(), w);
    EXPECT_GT(page.Height(), h);
    const Rows turned = RowsOf(page);
    EXPECT_EQ(turned[0][0], 0xFF);  // the top-left corner lies outside the turned page
    EXPECT_EQ(turned[0][1], 0x00);
    EXPECT_EQ(turned[0][2], 0x00);

    Page same_size = Loaded(Fixture("page1.pbm"));
    ASSERT_EQ(same_size.Rotate(1000, false, kWhite), ImagingStatus::kOk);
    EXPECT_EQ(same_size.Width(), 320);
    EXPECT_EQ(same_size.Height(), 240);
}

// Black pixels of `a` and `b` that differ, over the black pixels of `a`.
double Disagreement(const Rows& a, const Rows& b) {
    long differ = 0, black = 0;
    for (size_t y = 0; y < a.size(); ++y)
        for (size_t x = 0; x < a[y].size(); ++x) {
            differ += __builtin_popcount(a[y][x] ^ b[y][x]);
            black += __builtin_popcount(a[y][x]);
        }
    return static_cast<double>(differ) / static_cast<double>(black);
}

TEST(PageCorrections, DeskewFindsAThreeDegreeTurnAndStraightensIt) {
    const Rows straight = RowsOf(Loaded(Fixture("text.pbm")));
    Page page = Loaded(Fixture("text_skew3.pbm"));
    const double skewed_off = Disagreement(straight, RowsOf(page));
    const double angle = page.Deskew();
    EXPECT_NEAR(angle, 3.0, 0.2);
    const double straightened_off = Disagreement(straight, RowsOf(page));
    EXPECT_LT(straightened_off, 0.25);
    EXPECT_LT(straightened_off, skewed_off / 4);
}

TEST(PageCorrections, DeskewOfAStraightPageLeavesIt) {
    Page page = Loaded(Fixture("text.pbm"));
    const Rows before = RowsOf(page);
    EXPECT_LT(std::fabs(page.Deskew()), 0.1);
    EXPECT_EQ(RowsOf(page), before);
}

TEST(PageCorrections, ABlankPageHasNoSkewAndAnEmptyPageNoCorrections) {
    Page blank = PageAccess::Adopt(PixPtr(pixCreate(400, 300, 1)));
    EXPECT_EQ(blank.Deskew(), 0);
    EXPECT_EQ(blank.Width(), 400);
    Page empty;
    EXPECT_EQ(empty.Deskew(), 0);
    EXPECT_EQ(empty.Rotate(kQuarter, true, kWhite), ImagingStatus::kBadArgument);
    EXPECT_EQ(empty.BitsPerPixel(), 0);
}

}  // namespace
}  // namespace scantora
