#include <gtest/gtest.h>

#include "imaging/barcode/module_counter.h"

namespace pixdoc::barcode {
namespace {

TEST(ModuleCounter, BoundariesAreTruncatedMultiplesOfOneModule) {
    const ModuleCounter code128(33, 11);  // 3 pixels per module
    EXPECT_EQ(code128.Boundary(1), 3);
    EXPECT_EQ(code128.Boundary(5), 15);
    EXPECT_EQ(code128.Count(5), 1);
    EXPECT_EQ(code128.Count(6), 2);
    EXPECT_EQ(code128.Count(14), 4);
    EXPECT_EQ(code128.Count(15), 0);  // exactly B_5: an element, but no module count
    EXPECT_FALSE(code128.IsQuietZone(15));
    EXPECT_TRUE(code128.IsQuietZone(16));

    const ModuleCounter ean(21, 7);
    EXPECT_EQ(ean.Count(5), 1);
    EXPECT_EQ(ean.Count(6), 2);

    const ModuleCounter code93(30, 9);  // 3.33 pixels per module
    EXPECT_EQ(code93.Boundary(2), 6);
    EXPECT_EQ(code93.Boundary(4), 13);
}

TEST(ModuleCounter, InkSpreadCorrectionTouchesOnlyElementsOnABoundary) {
    const ModuleCounter counter(33, 11);  // boundaries 3, 6, 9, 12, 15
    // 2-1-2-2-2-2 with its 2-module spaces one pixel thin: counted 2-1-2-1-2-1, and each space
    // of 5 = B_2 - 1 pixels counts one module more.
    const int thin_spaces[] = {6, 2, 6, 5, 6, 5};
    EXPECT_EQ(counter.Character(thin_spaces, 6, false), 0x212222);
    // Corrections stop as soon as the sum is right: the last space stays at one module.
    const int three_thin[] = {6, 5, 6, 5, 6, 5};
    EXPECT_EQ(counter.Character(three_thin, 6, false), 0x222221);
    // A sum that is right needs no correction, even with a bar on a boundary.
    const int on_boundary[] = {9, 3, 6, 6, 3, 6};
    EXPECT_EQ(counter.Character(on_boundary, 6, false), 0x312212);
    // One module too many: the first bar exactly B_3 wide counts one module less.
    const int one_too_many[] = {9, 3, 9, 6, 3, 6};
    EXPECT_EQ(counter.Character(one_too_many, 6, false), 0x213212);
    // Nothing on a boundary: the character stays invalid.
    const int hopeless[] = {4, 4, 4, 4, 4, 4};
    EXPECT_EQ(counter.Character(hopeless, 6, false), -1);
}

TEST(ModuleCounter, WhichElementsAreSpacesDecidesTheCorrection) {
    const ModuleCounter counter(21, 7);                    // EAN digits at 3 pixels per module
    const int digit[] = {5, 6, 3, 6};                      // 1-2-1-2 = 6 modules
    EXPECT_EQ(counter.Character(digit, 4, true), 0x2212);  // left half: the 5 is a space
    EXPECT_EQ(counter.Character(digit, 4, false), -1);     // right half: it is a bar
}

}  // namespace
}  // namespace pixdoc::barcode
