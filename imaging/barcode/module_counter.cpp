#include "imaging/barcode/module_counter.h"

#include <algorithm>

namespace pixdoc::barcode {

namespace {

constexpr int kFirstCorrectingBoundary = 2;
constexpr int kLastCorrectingBoundary = 4;

}  // namespace

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
