// Groups the elements of a walk into six-element symbol characters measured in modules, for the
// decoders without gaps between characters (Code 128, Code 93). An element wider than B_5 is a
// quiet zone or noise: it drops the group in progress, and counting starts again after it.
//
// The walk follows the change list exactly as ElementStream does (same ends, same single-pixel
// merging), but keeps only what these decoders use: each character as the look-up index of its
// module pattern (ModulePatternIndex, corrected for ink spread as ModuleCounter::Character does),
// the column where its first element begins and the column where its sixth element ends.
#pragma once

#include <cstdint>

#include "imaging/barcode/decoder.h"
#include "imaging/barcode/module_counter.h"

namespace pixdoc::barcode {

inline constexpr int kModuleCharacterElements = 6;

// The corrected look-up index of a character. `index` holds the six counts minus 1 (two bits
// each, first element on top), `marks` the six entries' correction bits (bits 2-3 of Entry, two
// bits each, first element on top), `sum` the six counts minus 1 added up. The sum is made right
// the way ModuleCounter::Character makes it: below the target, spaces (second, fourth, sixth
// element) one pixel below a boundary count one module more, in that order, until it is right;
// above it, bars (first, third, fifth) on a boundary count one less. -1 when it cannot be made
// right.
inline int CorrectedIndex(unsigned index, unsigned marks, int sum, int modules) {
    constexpr int kDigits = kModuleCharacterElements;
    sum += kDigits;
    if (sum == modules) return static_cast<int>(index);
    // Three spaces or three bars can move the sum by three modules at most.
    constexpr int kMostCorrected = kDigits / 2;
    if (sum < modules) {
        int missing = modules - sum;
        if (missing > kMostCorrected) return -1;
        for (int i = 1; i < kDigits && missing > 0; i += 2) {
            const unsigned shift = 2u * static_cast<unsigned>(kDigits - 1 - i);
            if ((marks >> shift) & 1u) {
                index += 1u << shift;
                --missing;
            }
        }
        return missing == 0 ? static_cast<int>(index) : -1;
    }
    int extra = sum - modules;
    if (extra > kMostCorrected) return -1;
    for (int i = 0; i < kDigits && extra > 0; i += 2) {
        const unsigned shift = 2u * static_cast<unsigned>(kDigits - 1 - i);
        if ((marks >> (shift + 1)) & 1u) {
            index -= 1u << shift;
            --extra;
        }
    }
    return extra == 0 ? static_cast<int>(index) : -1;
}

// A complete character met by the walk.
struct ModuleCharacter {
    int index;  // corrected pattern index, or -1 for a character that cannot match
    int from;   // where the first element begins (the walk's near side)
    int to;     // where the sixth element ends (the walk's far side)
};

// Walks the elements from `at` in direction `Step` (+1: rightward while positions stay below
// `limit`; -1: leftward while they stay at or above it), with single-pixel merging when `Merge`.
// Calls sink.Reset() for each quiet zone and sink.Character(c) for each complete character; a
// Character call that returns false ends the walk, and then the walk returns true. Returns
// false when the walk reaches its end.
template <int Step, bool Merge, typename Sink>
bool WalkModuleCharacters(const int16_t* at, int limit, const ModuleWidths& widths, Sink& sink) {
    const auto inside = [limit](int position) {
        return Step > 0 ? position < limit : position >= limit;
    };
    const auto distance = [](int a, int b) { return a < b ? b - a : a - b; };
    const int widest = widths.widest();
    const int modules = widths.modules_per_character();
    int count = 0;
    unsigned index = 0;
    unsigned marks = 0;
    int sum = 0;
    bool counted = true;  // false once an element exactly B_5 wide joined the character
    int character_from = at[0];
    for (;;) {
        const int next = at[Step];
        if (!inside(next)) return false;
        const int from = at[0];
        int to = next;
        // An element followed by a one-pixel element absorbs it and the element after it.
        if (Merge && inside(at[2 * Step]) && distance(next, at[2 * Step]) == 1) {
            to = at[3 * Step];
            at += 3 * Step;
        } else {
            at += Step;
        }
        const int w = distance(from, to);
        if (w >= widest) [[unlikely]] {
            if (w > widest) {
                count = 0;
                index = 0;
                marks = 0;
                sum = 0;
                counted = true;
                character_from = to;
                sink.Reset();
                continue;
            }
            counted = false;
        }
        const unsigned e = widths.Entry(w);
        index = (index << 2) | (e & ModuleWidths::kCountBits);
        marks = (marks << 2) | (e >> 2);
        sum += static_cast<int>(e & ModuleWidths::kCountBits);
        if (++count < kModuleCharacterElements) continue;

        const int found = counted ? CorrectedIndex(index, marks, sum, modules) : -1;
        if (!sink.Character(ModuleCharacter{found, character_from, to})) return true;
        count = 0;
        index = 0;
        marks = 0;
        sum = 0;
        counted = true;
        character_from = to;
    }
}

// The same walks for a whole line: forward from the bar start, or backward from the first change
// at or right of `from_column` down to `lower_limit` (at least 1), as ElementStream walks them.
template <typename Sink>
bool WalkModuleCharactersForward(const LineView& line, bool merge, const ModuleWidths& widths,
                                 Sink& sink) {
    return merge ? WalkModuleCharacters<1, true>(line.changes, line.right_edge, widths, sink)
                 : WalkModuleCharacters<1, false>(line.changes, line.right_edge, widths, sink);
}

template <typename Sink>
bool WalkModuleCharactersBackward(const LineView& line, int from_column, int lower_limit,
                                  bool merge, const ModuleWidths& widths, Sink& sink) {
    const int16_t* p = line.changes;
    while (*p < from_column && *p < line.right_edge)
        ++p;
    const int limit = lower_limit < 1 ? 1 : lower_limit;
    return merge ? WalkModuleCharacters<-1, true>(p, limit, widths, sink)
                 : WalkModuleCharacters<-1, false>(p, limit, widths, sink);
}

}  // namespace pixdoc::barcode
