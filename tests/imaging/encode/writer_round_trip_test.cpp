// Round trips: pages of every kind coded by the writer in every coding and fill order come back
// from the library's decoder exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/imaging/encode/writer_harness.h"

namespace pixdoc::encode {
namespace {

using bilevel::testing::Bitmap;
using testing::WriterSettings;

constexpr int32_t kCodings[] = {0, 1, 2, 4, 5, 6, 7};

void ExpectRoundTrips(const Bitmap& page) {
    for (int32_t coding : kCodings)
        for (int reversal = 0; reversal < 2; ++reversal) {
            SCOPED_TRACE("coding " + std::to_string(coding) + " fill order " +
                         std::to_string(reversal + 1));
            const std::vector<uint8_t> data =
                testing::Encode(page, WriterSettings{coding, reversal, 3});
            const Bitmap back = testing::Cropped(
                testing::Decode(data, page.width, page.height, coding, reversal), page.width);
            ASSERT_TRUE(back == page);
        }
}

// Random dots: rows of single pixels and short runs, where coding 6 goes uncompressed.
Bitmap Noise(int width, int height, unsigned seed) {
    Bitmap b(width, height);
    std::mt19937 rng(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (rng() & 1) b.Set(x, y);
    return b;
}

// Row i: white i, black 2600 - i, white 100: every run length from 0 to 2600 of both colours.
Bitmap EveryRunLength() {
    constexpr int kLongest = 2600;
    Bitmap b(kLongest + 100, kLongest + 1);
    for (int y = 0; y <= kLongest; ++y)
        for (int x = y; x < kLongest; ++x)
            b.Set(x, y);
    return b;
}

// Text-like blobs whose rows often start and end black.
Bitmap BlackEdges(int width, int height, unsigned seed) {
    Bitmap b = bilevel::testing::RandomPage(width, height, seed);
    for (int y = 0; y < height; y += 3) {
        b.Set(0, y);
        b.Set(width - 1, y);
    }
    return b;
}

// Each row the one above with every colour change moved by up to four pixels either way, and
// now and then a run added or taken away: vertical modes of every offset, left of b1 onto the
// change before it and right onto b2, between passes and horizontal modes.
Bitmap DriftingRows(int width, int height, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<int> edges;
    for (int x = 2; x + 1 < width; x += 2 + int(rng() % 9))
        edges.push_back(x);
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y) {
        for (int& e : edges)
            e = std::clamp(e + int(rng() % 9) - 4, 0, width);
        if (rng() % 4 == 0) {
            const int at = int(rng() % unsigned(width));
            edges.insert(edges.end(), {at, std::min(at + 1 + int(rng() % 3), width)});
        }
        if (rng() % 4 == 0 && edges.size() > 2) edges.erase(edges.begin() + rng() % edges.size());
        std::sort(edges.begin(), edges.end());
        // A pixel is black when an odd number of changes lie at or left of it.
        size_t k = 0;
        for (int x = 0; x < width; ++x) {
            while (k < edges.size() && edges[k] <= x)
                ++k;
            if (k & 1) b.Set(x, y);
        }
    }
    return b;
}

TEST(WriterRoundTrip, RowsDriftingFromTheRowAbove) {
    for (unsigned seed = 1; seed <= 4; ++seed)
        ExpectRoundTrips(DriftingRows(97 + 400 * int(seed), 120, seed));
}

TEST(WriterRoundTrip, TextLikePagesAtFaxAndWideWidths) {
    ExpectRoundTrips(bilevel::testing::RandomPage(1728, 300, 21));
    ExpectRoundTrips(bilevel::testing::RandomPage(2600, 200, 22));
}

TEST(WriterRoundTrip, HalftoneLikeNoise) {
    ExpectRoundTrips(Noise(1728, 40, 23));
    ExpectRoundTrips(Noise(2600, 20, 24));
}

TEST(WriterRoundTrip, EveryRunLengthFrom0To2600) {
    ExpectRoundTrips(EveryRunLength());
}

TEST(WriterRoundTrip, RowsStartingBlackAndOddWidths) {
    for (int width : {1, 13, 1727, 2599})
        ExpectRoundTrips(BlackEdges(width, 60, unsigned(width)));
    Bitmap black(40, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 40; ++x)
            black.Set(x, y);
    ExpectRoundTrips(black);
    ExpectRoundTrips(Bitmap(1728, 5));
}

}  // namespace
}  // namespace pixdoc::encode
