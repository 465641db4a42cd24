#include "imaging/barcode/module_counter.h"

#include <algorithm>

namespace pixdoc::barcode {

namespace {

constexpr int kMaxCharacterElements = 6;
constexpr int kFirstCorrectingBoundary = 2;
constexpr int kLastCorrectingBoundary = 4;

}  // namespace

ModuleCounter::ModuleCounter(int threshold, int modules_per_character)
    : modules_per_character_(modules_per_character) {
    for (int k = 1; k <= kBoundaryCount; ++k) {
        boundaries_[k - 1] = k * threshold / modules_per_character;
    }
    // Wider elements than B_5 are quiet zones, counted (rarely) by the boundaries.
    const int widest = std::min(Boundary(kBoundaryCount), kCountedWidths - 1);
    for (int w = 0; w <= widest; ++w)
        counts_[w] = static_cast<uint8_t>(CountByBoundaries(w));
    counted_ = widest < 0 ? 0u : static_cast<unsigned>(widest) + 1;
}

int ModuleCounter::CountByBoundaries(int width) const {
    for (int m = 1; m <= kMaxModulesPerElement; ++m) {
        if (width < Boundary(m + 1)) return m;
    }
    return 0;
}

int32_t ModuleCounter::Character(const int* widths, int count, bool first_is_space) const {
    if (count > kMaxCharacterElements) return -1;
    int modules[kMaxCharacterElements] = {};
    int sum = 0;
    for (int i = 0; i < count; ++i) {
        modules[i] = Count(widths[i]);
        sum += modules[i];
    }
    const auto is_space = [&](int i) { return (i % 2 == 0) == first_is_space; };
    // Ink spread thins spaces and thickens bars; each element is corrected at most once.
    for (int i = 0; i < count && sum < modules_per_character_; ++i) {
        if (!is_space(i)) continue;
        for (int k = kFirstCorrectingBoundary; k <= kLastCorrectingBoundary; ++k) {
            if (sum < modules_per_character_ && widths[i] == Boundary(k) - 1) {
                ++modules[i];
                ++sum;
            }
        }
    }
    for (int i = 0; i < count && sum > modules_per_character_; ++i) {
        if (is_space(i)) continue;
        for (int k = kFirstCorrectingBoundary; k <= kLastCorrectingBoundary; ++k) {
            if (sum > modules_per_character_ && widths[i] == Boundary(k)) {
                --modules[i];
                --sum;
            }
        }
    }
    if (sum != modules_per_character_) return -1;
    int32_t pattern = 0;
    for (int i = 0; i < count; ++i)
        pattern = (pattern << 4) | modules[i];
    return pattern;
}

ModuleWidths::ModuleWidths(int threshold, int modules_per_character)
    : modules_(modules_per_character) {
    for (int k = 1; k <= kBoundaryCount; ++k)
        boundaries_[k - 1] = k * threshold / modules_per_character;
    widest_ = boundaries_[kBoundaryCount - 1];
}

void ModuleWidths::BuildEntries() const {
    entries_ready_ = true;
    // Filled up to B_5 (an element exactly B_5 wide is looked up, but never counted).
    const int last = std::min(widest_, kTableWidths - 1);
    int w = 0;
    for (int m = 1; m <= kMaxModulesPerElement; ++m) {
        for (const int end = std::min(boundaries_[m], last + 1); w < end; ++w)
            table_[w] = static_cast<uint8_t>(m - 1);
    }
    for (; w <= last; ++w)
        table_[w] = 0;
    for (int k = kFirstCorrectingBoundary; k <= kLastCorrectingBoundary; ++k) {
        const int b = boundaries_[k - 1];
        if (b >= 1 && b - 1 <= last) table_[b - 1] |= kSpaceWidens;
        if (b <= last) table_[b] |= kBarNarrows;
    }
}

unsigned ModuleWidths::EntryByBoundaries(int width) const {
    unsigned entry = 0;
    for (int m = 1; m <= kMaxModulesPerElement; ++m) {
        if (width < boundaries_[m]) {
            entry = static_cast<unsigned>(m - 1);
            break;
        }
    }
    for (int k = kFirstCorrectingBoundary; k <= kLastCorrectingBoundary; ++k) {
        if (width == boundaries_[k - 1] - 1) entry |= kSpaceWidens;
        if (width == boundaries_[k - 1]) entry |= kBarNarrows;
    }
    return entry;
}

}  // namespace pixdoc::barcode
