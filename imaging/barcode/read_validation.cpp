#include "imaging/barcode/read_validation.h"

#include <algorithm>
#include <vector>

#include "imaging/barcode/symbol_scale.h"

namespace pixdoc::barcode {
namespace {

// Both ends of one symbol measure alike.
constexpr double kMaxEndRatio = 1.5;
// Blur and ink spread widen an element beyond the widest its scale allows by this much.
constexpr double kWidestSlack = 1.5;
constexpr int kWidestSlackPixels = 2;

// The entry of the bar the read starts at: the last bar start at or left of its start column.
int StartEntry(const LineList& line, int start_column) {
    int found = -1;
    for (int i = kChangeListLead; i + 1 < line.count; i += 2) {
        if (line.list[i] > start_column) break;
        found = i;
    }
    return found;
}

// The entry of the end of the read's last bar: the first bar end at or right of its end column
// (the last black column, or the change after it, as each symbology reports).
int EndEntry(const LineList& line, int from, int end_column) {
    for (int i = from + 1; i < line.count; i += 2)
        if (line.list[i] >= end_column) return i;
    return -1;
}

}  // namespace

bool ValidRead(const LineList& line, const StepRead& read) {
    const auto symbology = static_cast<Symbology>(read.symbology);
    const int first = StartEntry(line, read.candidate.start_column);
    if (first < 0) return false;
    const int last = EndEntry(line, first, read.candidate.end_column);
    if (last < 0 || last - first < MinimumSymbolElements(symbology)) return false;

    std::vector<int> widths(static_cast<size_t>(last - first));
    for (int i = first; i < last; ++i) {
        widths[i - first] = line.list[i + 1] - line.list[i];
        if (widths[i - first] < 1) return false;
    }
    SymbolScale front, back;
    if (!EstimateScale(symbology, widths, front)) return false;
    std::reverse(widths.begin(), widths.end());
    if (!EstimateScale(symbology, widths, back)) return false;
    const double larger = std::max(front.module, back.module);
    const double smaller = std::min(front.module, back.module);
    if (larger > smaller * kMaxEndRatio) return false;

    const double widest = std::max(front.widest, back.widest) * kWidestSlack + kWidestSlackPixels;
    if (*std::max_element(widths.begin(), widths.end()) > widest) return false;

    const double quiet = kQuietModules * (front.module + back.module) / 2;
    const int before = line.list[first] - line.list[first - 1];
    const int after_start = last + 1 < line.count ? line.list[last + 1] : line.right_edge;
    const int after = after_start - line.list[last];
    return before >= quiet && after >= quiet;
}

}  // namespace pixdoc::barcode
