#include "imaging/barcode/thresholds.h"

#include <gtest/gtest.h>

#include <vector>

namespace pixdoc::barcode {
namespace {

TEST(Thresholds, FirstByXResolution) {
    EXPECT_EQ(FirstThreshold(0, 200), 4);
    EXPECT_EQ(FirstThreshold(1, 240), 5);
    EXPECT_EQ(FirstThreshold(-4, 300), 7);
    EXPECT_EQ(FirstThreshold(0, 400), 9);
    EXPECT_EQ(FirstThreshold(0, 301), 4) << "exact resolutions only";
    EXPECT_EQ(FirstThreshold(2, 300), 2);
}

TEST(Thresholds, SecondByWorkingResolution) {
    struct Row {
        int dpi, code128_93, upc_ean;
    };
    const std::vector<Row> rows = {{0, 30, 18},   {200, 30, 18}, {201, 36, 18}, {239, 36, 18},
                                   {240, 36, 22}, {241, 45, 22}, {299, 45, 22}, {300, 45, 27},
                                   {301, 60, 27}, {399, 60, 27}, {400, 60, 36}, {1200, 60, 36}};
    for (const Row& r : rows) {
        SearchThresholds t;
        SetSecondThresholds(0, r.dpi, t);
        EXPECT_EQ(t.code128_93, r.code128_93) << r.dpi;
        EXPECT_EQ(t.upc_ean, r.upc_ean) << r.dpi;
    }
    SearchThresholds given;
    SetSecondThresholds(1, 400, given);
    EXPECT_EQ(given.code128_93, 1);
    EXPECT_EQ(given.upc_ean, 1);
}

TEST(Thresholds, SweepOrder) {
    std::vector<int> offsets;
    for (int k = 0; k <= 6; ++k)
        offsets.push_back(SweepOffset(k));
    EXPECT_EQ(offsets, (std::vector<int>{0, 1, -1, 2, -2, 3, -3}));
}

}  // namespace
}  // namespace pixdoc::barcode
