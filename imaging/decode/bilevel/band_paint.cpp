#include "imaging/decode/bilevel/band_paint.h"

#include <algorithm>
#include <cstring>

namespace pixdoc::bilevel {

void SetRun(uint8_t* row, int from, int to) {
    if (from >= to) return;
    const int first_byte = from >> 3;
    const int last_byte = (to - 1) >> 3;
    const uint8_t head = uint8_t(0xFF >> (from & 7));
    const uint8_t tail = uint8_t(0xFF << (7 - ((to - 1) & 7)));
    if (first_byte == last_byte) {
        row[first_byte] |= uint8_t(head & tail);
        return;
    }
    row[first_byte] |= head;
    if (last_byte - first_byte > 1)
        std::memset(row + first_byte + 1, 0xFF, size_t(last_byte - first_byte - 1));
    row[last_byte] |= tail;
}

void PaintLine(const int16_t* changes, int source_width, const RowMapping& m, uint8_t* row) {
    // Bound: entries are ascending and end with copies of the source width, so the scan stops
    // at the first pair whose start reaches the width.
    for (int i = 0;; i += 2) {
        int start = changes[i];
        if (start >= source_width) return;
        int end = std::min<int>(changes[i + 1], source_width);
        if (m.one_to_one) {
            SetRun(row, start, std::min(end, m.row_width));
            continue;
        }
        if (start >= m.end_column) return;
        start = std::max(start, m.first_column);
        end = std::min(end, m.end_column);
        if (end <= start) continue;
        const int from = m.column_map[start];
        int to = m.column_map[end];
        if (to == from && m.keep_thin_runs) to = from + 1;
        SetRun(row, from, std::min(to, m.row_width));
    }
}

}  // namespace pixdoc::bilevel
