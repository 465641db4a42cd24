// Painting change lists into bitmap rows (first pixel in the most significant bit, 1 black).
#pragma once

#include <cstdint>

namespace pixdoc::bilevel {

// Sets pixels [from, to) of a row; the caller keeps 0 <= from <= to <= row width.
void SetRun(uint8_t* row, int from, int to);

// How a source line maps into an output row.
struct RowMapping {
    const int32_t* column_map;  // output column of every source column 0..width
    int first_column;           // source columns before this are cut away
    int end_column;             // first source column past the visible ones
    int row_width;              // output row width in pixels
    bool keep_thin_runs;        // a black run that maps to nothing stays one pixel
    bool one_to_one;            // no scaling and no cutting: paint positions as they are
};

// ORs the black runs of a change list (ended by copies of the source width) into `row`.
// Bound: every run painted lies within [0, row_width).
void PaintLine(const int16_t* changes, int source_width, const RowMapping& m, uint8_t* row);

}  // namespace pixdoc::bilevel
