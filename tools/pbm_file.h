// Portable bitmaps (PBM) as the tools read and write them: rows of (width + 7) / 8 bytes,
// first pixel in the top bit, 1 black.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pixdoc::tools {

struct PbmImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rows;
    size_t RowBytes() const { return (size_t(width) + 7) / 8; }
};

// Reads a binary (P4) or plain (P1) bitmap of at most `max_width` columns; false with a reason
// for anything else, including data that ends before the last row.
bool ReadPbm(const char* path, int32_t max_width, PbmImage& image, std::string& error);

// Writes a binary (P4) bitmap; false when the file cannot be written whole.
bool WritePbm(const char* path, const PbmImage& image);

}  // namespace pixdoc::tools
