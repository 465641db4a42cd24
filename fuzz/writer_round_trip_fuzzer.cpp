// Fuzz target for the compression writer: arbitrary bitmaps coded in every coding and fill
// order into memory, then decoded by the line face; every row must come back exactly, and the
// writer must never store past the bound it was given.
//
// Input: byte 0 selects the coding, bytes 1-2 the width (1..2048), byte 3 the fill order, K, the
// minimum line length and whether the page is first coded halfway and restarted; the rest are
// the rows.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/line_face.h"
#include "imaging/decode/bilevel/row_to_changes.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace {

using namespace pixdoc::bilevel;

constexpr int32_t kCodings[] = {0, 1, 2, 4, 5, 6, 7};
constexpr int kHeaderBytes = 4;
constexpr int kMaxWidth = 2048;
constexpr int kMaxRows = 256;
constexpr size_t kGuard = 64;
constexpr uint8_t kGuardByte = 0xA5;

int32_t DecoderCode(int32_t coding) {
    return coding == 6 ? kGroup4 : coding;
}

void Code(CompressionRecord& r, const std::vector<uint8_t>& rows, int row_bytes, int height) {
    for (int y = 0; y < height; ++y) {
        // Each row in its own block, so that reading past it is caught.
        std::vector<uint8_t> row(rows.begin() + y * row_bytes, rows.begin() + (y + 1) * row_bytes);
        const int32_t pending = CompressLine(&r, row.data());
        if (pending < 0 || pending >= 4096) std::abort();
    }
}

// Decodes the coded page and compares every row's change list with the row's own.
void CheckDecodes(const uint8_t* data, size_t size, int32_t coding, int fill_order, int width,
                  const std::vector<uint8_t>& rows, int row_bytes, int height) {
    const std::string name =
        "MD:" + std::to_string(reinterpret_cast<uintptr_t>(data)) + "," + std::to_string(size);
    ImageHeader h{};
    h.handle = pixdoc::files::FileOpen(name.c_str());
    if (h.handle < 0) std::abort();
    h.width = width;
    h.height = height;
    h.compression = DecoderCode(coding);
    h.fill_order = fill_order;
    h.horizontal_scale = h.vertical_scale = 2048;
    h.output_width = (width + 7) / 8 * 8;
    h.output_height = height;
    h.decode_flags = kFlagSetUpNeeded;
    if (LineFaceSetUp(h, 0) != 0) std::abort();
    std::vector<int16_t> expected(ChangeListEntries(width));
    for (int y = 0; y < height; ++y) {
        if (LineFaceNextLine(h) != kLineGood) std::abort();
        const int count = RowToChanges(&rows[size_t(y) * row_bytes], width, expected.data());
        for (int i = 0; i <= count; ++i)
            if (h.current_line[i] != expected[i]) std::abort();
    }
    BilevelRelease(h);
    pixdoc::files::FileClose(h.handle);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeaderBytes + 1) return 0;
    const int32_t coding = kCodings[data[0] % std::size(kCodings)];
    const int width = 1 + (data[1] | (data[2] << 8)) % kMaxWidth;
    const uint8_t flags = data[3];
    const int row_bytes = (width + 7) / 8;
    const size_t body = size - kHeaderBytes;
    const int height = int(std::min<size_t>(kMaxRows, (body + row_bytes - 1) / row_bytes));
    std::vector<uint8_t> rows(size_t(height) * row_bytes, 0);
    std::memcpy(rows.data(), data + kHeaderBytes, std::min(body, rows.size()));

    const size_t capacity = size_t(width + 256) * (height + 1) + 64;
    std::vector<uint8_t> out(capacity + kGuard, kGuardByte);
    CompressionRecord r{};
    std::snprintf(r.target_name, sizeof r.target_name, "MEMORYDIRECT,%zu", capacity);
    r.coding = coding;
    r.width = width;
    r.start = reinterpret_cast<intptr_t>(out.data());
    r.bit_reversal = flags & 1;
    r.k = (flags >> 1) & 7;
    r.min_line_bits = (flags >> 4) * 100;
    if (CompressionStart(&r) != 0) std::abort();
    if (flags & 8) {  // half the page first, then the whole page over the same place
        Code(r, rows, row_bytes, height / 2);
        if (CompressionReStart(&r) != 0) std::abort();
    }
    Code(r, rows, row_bytes, height);
    if (CompressEnd(&r) != 0) std::abort();
    if (r.start - reinterpret_cast<intptr_t>(out.data()) != r.bytes_delivered) std::abort();
    for (size_t i = capacity; i < out.size(); ++i)
        if (out[i] != kGuardByte) std::abort();
    CheckDecodes(out.data(), size_t(r.bytes_delivered), coding, r.bit_reversal ? 1 : 0, width, rows,
                 row_bytes, height);
    return 0;
}
