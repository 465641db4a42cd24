// Builds change lists in the search frame's form from element widths, for decoder and frame
// tests: two leading zeros, bar pairs, four sentinels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode::testing {

struct BarLine {
    std::vector<int16_t> list;  // count entries, then the sentinels
    int count = 0;
    int right_edge = 0;

    // The decoders' view from entry `entry` (2 = the first bar).
    LineView View(int entry = 2) const { return {list.data() + entry, right_edge}; }
};

// `elements` alternate bar, space, bar, ... and must start and end with a bar; the first bar
// starts at column `lead`, and the line's right edge lies `trail` pixels after the last bar.
BarLine LineFromElements(const std::vector<int>& elements, int lead = 40, int trail = 40);

// Several groups of elements on one line, each starting `lead` pixels after the previous one.
BarLine LineFromGroups(const std::vector<std::vector<int>>& groups, int lead, int trail);

// Code 39 element widths for `text` (start/stop asterisks included by the caller), with the
// given narrow and wide widths and inter-character gap.
std::vector<int> Code39Elements(std::string_view text, int narrow, int wide, int gap);

// What `decode` reads on `line` at `threshold` with a fresh context, or "<none>"; the candidate
// goes to `out` if given.
std::string ReadWith(DecodeFn decode, const BarLine& line, int threshold, bool merge = false,
                     Candidate* out = nullptr, const DecoderOptions& options = {});

// The same elements in reverse order: the symbol as met scanning from its right end.
std::vector<int> Reversed(std::vector<int> elements);

// Ink spread: every bar (the even elements) one pixel thicker, every space one thinner.
std::vector<int> InkSpread(std::vector<int> elements);

}  // namespace pixdoc::barcode::testing
