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

// The element-by-element rule, kept as an independent reference for the table-driven counting
// and correction: each element counted against the boundaries, then the sum corrected element by
// element and boundary by boundary.
class ReferenceCounter {
public:
    ReferenceCounter(int threshold, int modules) : modules_(modules) {
        for (int k = 1; k <= kBoundaryCount; ++k)
            boundaries_[k - 1] = k * threshold / modules;
    }

    int Boundary(int k) const { return boundaries_[k - 1]; }
    bool IsQuietZone(int width) const { return width > Boundary(kBoundaryCount); }

    int Count(int width) const {
        for (int m = 1; m <= kMaxModulesPerElement; ++m)
            if (width < Boundary(m + 1)) return m;
        return 0;
    }

    // The counts as hexadecimal digits (first element on top), or -1.
    int32_t Character(const int* widths, int count, bool first_is_space) const {
        int modules[6] = {};
        int sum = 0;
        for (int i = 0; i < count; ++i) {
            modules[i] = Count(widths[i]);
            sum += modules[i];
        }
        const auto is_space = [&](int i) { return (i % 2 == 0) == first_is_space; };
        for (int i = 0; i < count; ++i)
            for (int k = 2; k <= 4; ++k)
                if (sum < modules_ && is_space(i) && widths[i] == Boundary(k) - 1) {
                    ++modules[i];
                    ++sum;
                }
        for (int i = 0; i < count; ++i)
            for (int k = 2; k <= 4; ++k)
                if (sum > modules_ && !is_space(i) && widths[i] == Boundary(k)) {
                    --modules[i];
                    --sum;
                }
        if (sum != modules_) return -1;
        int32_t pattern = 0;
        for (int i = 0; i < count; ++i)
            pattern = (pattern << 4) | modules[i];
        return pattern;
    }

private:
    int modules_;
    std::array<int, kBoundaryCount> boundaries_{};
};

ModuleWidths Prepared(int threshold, int modules) {
    ModuleWidths widths(threshold, modules);
    widths.PrepareEntries();
    return widths;
}

TEST(ModuleWidths, BoundariesAreTruncatedMultiplesOfOneModule) {
    const ModuleWidths code128 = Prepared(33, 11);  // 3 pixels per module
    EXPECT_EQ(code128.Boundary(1), 3);
    EXPECT_EQ(code128.widest(), 15);
    EXPECT_EQ(code128.Count(5), 1);
    EXPECT_EQ(code128.Count(6), 2);
    EXPECT_EQ(code128.Count(14), 4);
    EXPECT_EQ(code128.Count(15), 0);  // exactly B_5: an element, but no module count

    const ModuleWidths ean = Prepared(21, 7);
    EXPECT_EQ(ean.Count(5), 1);
    EXPECT_EQ(ean.Count(6), 2);

    const ModuleWidths code93 = Prepared(30, 9);  // 3.33 pixels per module
    EXPECT_EQ(code93.Boundary(2), 6);
    EXPECT_EQ(code93.Boundary(4), 13);

    // Widths beyond the look-up table are counted by the boundaries: 100, 200, ..., 500.
    const ModuleWidths wide = Prepared(700, 7);
    EXPECT_EQ(wide.Count(199), 1);
    EXPECT_EQ(wide.Count(200), 2);
    EXPECT_EQ(wide.Count(499), 4);
    EXPECT_EQ(wide.Count(500), 0);
    EXPECT_EQ(wide.Entry(199), ModuleWidths::kSpaceWidens);
    EXPECT_EQ(wide.Entry(300), 2 | ModuleWidths::kBarNarrows);
}

int Index(int32_t pattern, int digits) {
    return ModulePatternIndex(pattern, digits);
}

TEST(ModuleWidths, InkSpreadCorrectionTouchesOnlyElementsOnABoundary) {
    const ModuleWidths widths = Prepared(33, 11);  // boundaries 3, 6, 9, 12, 15
    const auto character = [&](const int* w) { return widths.CharacterIndex<6, false>(w); };
    // 2-1-2-2-2-2 with its 2-module spaces one pixel thin: counted 2-1-2-1-2-1, and each space
    // of 5 = B_2 - 1 pixels counts one module more.
    const int thin_spaces[] = {6, 2, 6, 5, 6, 5};
    EXPECT_EQ(character(thin_spaces), Index(0x212222, 6));
    // Corrections stop as soon as the sum is right: the last space stays at one module.
    const int three_thin[] = {6, 5, 6, 5, 6, 5};
    EXPECT_EQ(character(three_thin), Index(0x222221, 6));
    // A sum that is right needs no correction, even with a bar on a boundary.
    const int on_boundary[] = {9, 3, 6, 6, 3, 6};
    EXPECT_EQ(character(on_boundary), Index(0x312212, 6));
    // One module too many: the first bar exactly B_3 wide counts one module less.
    const int one_too_many[] = {9, 3, 9, 6, 3, 6};
    EXPECT_EQ(character(one_too_many), Index(0x213212, 6));
    // Nothing on a boundary: the character stays invalid.
    const int hopeless[] = {4, 4, 4, 4, 4, 4};
    EXPECT_EQ(character(hopeless), -1);
}

TEST(ModuleWidths, WhichElementsAreSpacesDecidesTheCorrection) {
    const ModuleWidths widths = Prepared(21, 7);  // EAN digits at 3 pixels per module
    const int digit[] = {5, 6, 3, 6};             // 1-2-1-2 = 6 modules
    EXPECT_EQ((widths.CharacterIndex<4, true>(digit)), Index(0x2212, 4));  // the 5 is a space
    EXPECT_EQ((widths.CharacterIndex<4, false>(digit)), -1);               // the 5 is a bar
    // An element exactly B_5 wide spoils the digit, although the bar on B_4 could make the
    // others' sum right.
    const int uncounted[] = {15, 12, 6, 3};
    EXPECT_EQ((widths.CharacterIndex<4, true>(uncounted)), -1);
}

// Widths on and one pixel off each boundary, B_5 included, none wider.
std::vector<int> WidthsNearBoundaries(const ReferenceCounter& counter) {
    std::vector<int> near;
    for (int k = 1; k <= kBoundaryCount; ++k)
        for (int d = -1; d <= 1; ++d)
            if (counter.Boundary(k) + d >= 1)
                near.push_back(std::min(counter.Boundary(k) + d, counter.Boundary(kBoundaryCount)));
    return near;
}

// The table-driven counting and correction classify every character as the element rule does,
// for EAN digits of either half and for Code 128 / Code 93 characters.
TEST(ModuleWidths, CharacterIndexFollowsTheElementRule) {
    std::mt19937 rng(5);
    for (const int modules : {7, 9, 11}) {
        for (int threshold = modules; threshold <= 200; ++threshold) {
            const ReferenceCounter counter(threshold, modules);
            const ModuleWidths widths = Prepared(threshold, modules);
            const std::vector<int> near = WidthsNearBoundaries(counter);
            for (int n = 0; n < 300; ++n) {
                int w[6];
                for (int& width : w)
                    width = near[rng() % near.size()];
                if (modules == 7) {
                    ASSERT_EQ((widths.CharacterIndex<4, true>(w)),
                              Index(counter.Character(w, 4, true), 4))
                        << "threshold " << threshold;
                    ASSERT_EQ((widths.CharacterIndex<4, false>(w)),
                              Index(counter.Character(w, 4, false), 4))
                        << "threshold " << threshold;
                } else {
                    ASSERT_EQ((widths.CharacterIndex<6, false>(w)),
                              Index(counter.Character(w, 6, false), 6))
                        << "threshold " << threshold << " modules " << modules;
                }
            }
        }
    }
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

// The walk's table-driven counting and correction must classify every character exactly as the
// element rule does, elements on and one pixel off each boundary included.
TEST(ModuleCharacters, WalkClassifiesCharactersAsTheElementRuleDoes) {
    std::mt19937 rng(7);
    for (const int modules : {9, 11}) {
        for (int threshold = modules; threshold <= 70; ++threshold) {
            const ReferenceCounter counter(threshold, modules);
            const ModuleWidths widths(threshold, modules);
            // Widths near the boundaries, where counting and correction are decided.
            const std::vector<int> near = WidthsNearBoundaries(counter);
            for (int line_number = 0; line_number < 4; ++line_number) {
                // 100 characters of at most 6 * 38 pixels stay inside 16-bit columns.
                std::vector<int16_t> list = {0, 0};
                std::vector<int> elements;
                int x = 10;
                for (int i = 0; i < 6 * 100; ++i) {
                    const int w = near[rng() % near.size()];
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
// quiet zone, classified by the element rule.
CharacterLog ReferenceWalk(const LineView& line, bool merge, int threshold, int modules) {
    const ReferenceCounter counter(threshold, modules);
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
