// Fuzz target for the bilevel line face: arbitrary bytes decoded line by line in every coding,
// checking that each change list stays ascending within the width and ends with sentinels;
// the same bytes then go through Decompress with a small output rectangle.
//
// Input: byte 0 selects the coding, bytes 1-2 the width (1..4096), byte 3 the scales and
// options; the rest is the coded data.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/line_codings.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace {

using namespace pixdoc::bilevel;

constexpr int32_t kCodings[] = {kGroup3OneD, kGroup4,          kGroup3TwoD, kUncompressed,
                                kTwoDNoEol,  kModifiedHuffman, kPcx,        kPackBits};
constexpr int kHeaderBytes = 4;
constexpr int kMaxWidth = 4096;
constexpr int kMaxLines = 512;

void CheckList(const int16_t* list, int width) {
    int previous = -1;
    int i = 0;
    for (; list[i] < width; ++i) {
        if (list[i] <= previous || list[i] < 0) std::abort();
        previous = list[i];
        if (i > width + 1) std::abort();
    }
    for (int k = 0; k < kSentinels; ++k)
        if (list[i + k] != width) std::abort();
}

void DecodeLines(int32_t code, int width, const uint8_t* data, size_t size) {
    std::vector<int16_t> a(ChangeListEntries(width)), b(ChangeListEntries(width));
    std::vector<uint8_t> scratch((width + 7) / 8);
    ResetToEmptyLine(a.data(), width);
    ResetToEmptyLine(b.data(), width);
    // The data with the EOL padding the reader puts behind it.
    std::vector<uint8_t> buffer(data, data + size);
    for (int i = 0; i < 8; ++i)
        buffer.insert(buffer.end(), {0x00, 0x01});
    LineInput in;
    in.data = buffer.data();
    in.size = int32_t(size);
    in.limit = int32_t(buffer.size());
    int16_t* ref = a.data();
    int16_t* cur = b.data();
    for (int line = 0; line < kMaxLines; ++line) {
        std::swap(ref, cur);
        const int32_t r = DecodeLine(code, ref, cur, width, line, in, scratch.data());
        if (in.at.position < 0 || in.at.position > in.limit) std::abort();
        if (r == kLineEnd) break;
        CheckList(cur, width);
        if (r == kLineDamaged) ResetToEmptyLine(cur, width);
    }
}

void DecodeBands(int32_t code, int width, uint8_t shape, const uint8_t* data, size_t size) {
    const std::string name =
        "MD:" + std::to_string(reinterpret_cast<uintptr_t>(data)) + "," + std::to_string(size);
    ImageHeader h{};
    h.handle = pixdoc::files::FileOpen(name.c_str());
    if (h.handle < 0) return;
    h.width = width;
    h.height = 64;
    h.compression = code;
    h.fill_order = shape >> 7;
    h.output_width = 8 * (1 + (shape & 7));
    h.output_height = 16 + (shape & 0x18);
    h.horizontal_scale = 256 << ((shape >> 3) & 3);
    h.vertical_scale = 512 << ((shape >> 5) & 1);
    h.orientation = (shape >> 5) & 3;
    h.options = shape & 3;
    h.first_column = shape;
    h.decode_flags = 1;
    for (int calls = 0; calls < 100 && Decompress(&h) == 4; ++calls) {
    }
    // Release whatever an early stop left.
    while (Decompress(&h) == 4) {
    }
    pixdoc::files::FileClose(h.handle);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeaderBytes) return 0;
    const int32_t code = kCodings[data[0] % std::size(kCodings)];
    const int width = 1 + (data[1] | (data[2] << 8)) % kMaxWidth;
    DecodeLines(code, width, data + kHeaderBytes, size - kHeaderBytes);
    DecodeBands(code, width, data[3], data + kHeaderBytes, size - kHeaderBytes);
    return 0;
}
