// Merges of arbitrary bytes, as an "MD:" memory image, into a small colour edit buffer with
// source and destination rectangles taken from the input.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "imaging/colour/colour_edit.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace {

constexpr int32_t kBufferWidth = 80;
constexpr int32_t kBufferHeight = 60;
constexpr size_t kParameterBytes = 8;

int32_t Coordinate(uint8_t b, int32_t span) {
    return b == 0xFF ? -1 : static_cast<int32_t>(b) * (span + 8) / 254;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kParameterBytes + 8) return 0;
    pixdoc::ResetColourEdit();
    pixdoc::files::ResetFileAccess();
    if (PX_StartColorEdit(kBufferWidth, kBufferHeight, 1, 2, 3) != 0) return 0;
    const uint8_t* p = data;
    const uint8_t* image = data + kParameterBytes;
    const size_t image_size = size - kParameterBytes;
    const std::string name = "MD:" + std::to_string(reinterpret_cast<uintptr_t>(image)) + "," +
                             std::to_string(image_size);
    PX_ColorEditMergeImageEx(name.c_str(), 1, Coordinate(p[0], 400), Coordinate(p[1], 400),
                             Coordinate(p[2], 400), Coordinate(p[3], 400),
                             Coordinate(p[4], kBufferWidth), Coordinate(p[5], kBufferHeight),
                             Coordinate(p[6], kBufferWidth), Coordinate(p[7], kBufferHeight));
    PX_ColorEditEnd(0);
    pixdoc::files::ResetFileAccess();
    return 0;
}
