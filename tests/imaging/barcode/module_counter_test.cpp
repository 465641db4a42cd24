#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "imaging/barcode/element_stream.h"
#include "imaging/barcode/module_characters.h"
#include "imaging/barcode/module_counter.h"
#include "imaging/barcode/module_pattern_index.h"

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

// Collects the characters of a walk, and everything the walk reports in order.
struct CharacterLog {
    std::vector<int> indexes;
    std::vector<std::array<int, 3>> events;  // {index, from, to}; a reset is {-2, 0, 0}
    int resets = 0;
    void Reset() {
        ++resets;
        events.push_back({-2, 0, 0});
    }
    bool Character(const ModuleCharacter& c) {
        indexes.push_back(c.index);
        events.push_back({c.index, c.from, c.to});
        return true;
    }
};

// The walk's table-driven counting and correction must classify every character exactly as
// ModuleCounter::Character does, elements on and one pixel off each boundary included.
TEST(ModuleCharacters, WalkClassifiesCharactersAsTheCounterDoes) {
    std::mt19937 rng(7);
    for (const int modules : {9, 11}) {
        for (int threshold = modules; threshold <= 70; ++threshold) {
            const ModuleCounter counter(threshold, modules);
            const ModuleWidths widths(threshold, modules);
            const int widest = counter.Boundary(kBoundaryCount);
            // Widths near the boundaries, where counting and correction are decided.
            std::vector<int> near;
            for (int k = 1; k <= kBoundaryCount; ++k)
                for (int d = -1; d <= 1; ++d)
                    if (counter.Boundary(k) + d >= 1) near.push_back(counter.Boundary(k) + d);
            for (int line_number = 0; line_number < 4; ++line_number) {
                // 100 characters of at most 6 * 38 pixels stay inside 16-bit columns.
                std::vector<int16_t> list = {0, 0};
                std::vector<int> elements;
                int x = 10;
                for (int i = 0; i < 6 * 100; ++i) {
                    const int w = std::min(near[rng() % near.size()], widest);  // no quiet zone
                    elements.push_back(w);
                    list.push_back(static_cast<int16_t>(x));
                    x += w;
                }
                list.push_back(static_cast<int16_t>(x));
                for (int i = 0; i < 4; ++i)
                    list.push_back(static_cast<int16_t>(x + 1));
                CharacterLog log;
                WalkModuleCharactersForward(LineView{list.data() + 2, x + 1}, false, widths, log);
                ASSERT_EQ(log.resets, 0);
                ASSERT_EQ(log.indexes.size(), elements.size() / 6);
                for (size_t c = 0; c < log.indexes.size(); ++c) {
                    const int32_t pattern = counter.Character(&elements[6 * c], 6, false);
                    EXPECT_EQ(log.indexes[c], ModulePatternIndex(pattern, 6))
                        << "threshold " << threshold << " modules " << modules;
                }
            }
        }
    }
}

// The walk as the decoders first wrote it: ElementStream's elements, six at a time from each
// quiet zone, classified by ModuleCounter::Character.
CharacterLog ReferenceWalk(const LineView& line, bool merge, int threshold, int modules) {
    const ModuleCounter counter(threshold, modules);
    CharacterLog log;
    ElementStream stream(line, merge);
    Element e;
    int widths[6];
    int count = 0;
    int from = 0;
    while (stream.Next(e)) {
        if (counter.IsQuietZone(e.width)) {
            count = 0;
            log.Reset();
            continue;
        }
        if (count == 0) from = e.start;
        widths[count++] = e.width;
        if (count < 6) continue;
        count = 0;
        log.Character(ModuleCharacter{ModulePatternIndex(counter.Character(widths, 6, false), 6),
                                      from, e.end});
    }
    return log;
}

// Forward walks over lines of every kind (narrow and wide elements, one-pixel elements, entries
// out of order, lines shorter and longer than a block) deliver the same resets, characters and
// columns as the element-by-element walk, with and without merging.
TEST(ModuleCharacters, ForwardWalkMatchesTheElementWalk) {
    std::mt19937 rng(11);
    for (int n = 0; n < 3000; ++n) {
        const int modules = n % 2 == 0 ? 11 : 9;
        // Now and then a threshold whose widest element no longer fits the blocks' bytes.
        const int threshold = modules + static_cast<int>(rng() % 40) + (n % 10 == 0 ? 250 : 0);
        std::vector<int16_t> list = {0, 0};
        int x = static_cast<int>(rng() % 20);
        const int elements = static_cast<int>(rng() % 120);
        for (int i = 0; i < elements; ++i) {
            list.push_back(static_cast<int16_t>(x));
            const int kind = static_cast<int>(rng() % 16);
            int w = 1 + static_cast<int>(rng() % (threshold / 2 + 2));
            if (kind == 0) w = 1;
            if (kind == 1) w = -static_cast<int>(rng() % 6);  // out of order
            x += w;
        }
        const int edge = x + static_cast<int>(rng() % 3);
        for (int i = 0; i < 4; ++i)
            list.push_back(static_cast<int16_t>(edge));
        const LineView line{list.data() + 2, edge};
        const ModuleWidths widths(threshold, modules);
        for (const bool merge : {false, true}) {
            CharacterLog walked;
            WalkModuleCharactersForward(line, merge, widths, walked);
            const CharacterLog reference = ReferenceWalk(line, merge, threshold, modules);
            ASSERT_EQ(walked.events, reference.events) << "line " << n << " merge " << merge;
        }
    }
}

}  // namespace
}  // namespace pixdoc::barcode
