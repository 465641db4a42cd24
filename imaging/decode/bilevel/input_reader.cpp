#include "imaging/decode/bilevel/input_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "imaging/io/file_access.h"

namespace pixdoc::bilevel {
namespace {

constexpr int32_t kMarginUnit = 2048;
constexpr int32_t kMarginWidthStep = 4096;
constexpr int32_t kMinChunkMultiple = 2;

// Lookahead kept unread behind the read position before a line is decoded.
int32_t Margin(const ImageHeader& h) {
    return h.input_bytes - h.refill_chunk;
}

// Writes the EOL codes behind the buffered data: EOL for codes 0 and 1, EOL plus tag bit 1
// for the others.
void WriteGuard(ImageHeader& h) {
    const int32_t coding = h.compression & kCodingMask;
    const uint8_t second = coding == kGroup3OneD || coding == kGroup4 ? 0x01 : 0x03;
    uint8_t* p = h.input_buffer + h.bytes_in_buffer;
    for (int32_t i = 0; i < kGuardBytes; i += 2) {
        p[i] = 0x00;
        p[i + 1] = second;
    }
}

// Reads up to `count` bytes behind the buffered data; returns the number read.
int32_t ReadMore(ImageHeader& h, int32_t count) {
    count = std::min({count, h.input_bytes - h.bytes_in_buffer, h.byte_budget});
    PixdocStripTable* strips =
        IsMultiStrip(h) ? reinterpret_cast<PixdocStripTable*>(h.data_offset) : nullptr;
    if (strips) {
        count = std::min(count, strips->strip_bytes_left);
        const int32_t s = strips->current_strip;
        const int64_t at = int64_t(strips->strip_offsets[s]) + strips->strip_byte_counts[s] -
                           strips->strip_bytes_left;
        if (count > 0 && files::FileSeek(h.handle, at, files::SeekOrigin::kStart) != at) return 0;
    }
    if (count <= 0) return 0;
    const int32_t got = files::FileRead(h.handle, h.input_buffer + h.bytes_in_buffer, count);
    if (got <= 0) {
        // Nothing more will come: stop asking.
        if (strips)
            strips->strip_bytes_left = 0;
        else
            h.byte_budget = 0;
        return 0;
    }
    if (h.fill_order == 1) XchgBytes(h.input_buffer + h.bytes_in_buffer, got);
    h.bytes_in_buffer += got;
    if (h.byte_budget != INT32_MAX) h.byte_budget -= got;
    if (strips) strips->strip_bytes_left -= got;
    return got;
}

// Reads chunks until the buffer is full or the data ends.
void FillBuffer(ImageHeader& h) {
    // Bound: every pass reads at least one byte into the finite free space, or stops.
    while (h.bytes_in_buffer < h.input_bytes) {
        if (ReadMore(h, h.refill_chunk) <= 0) break;
    }
    WriteGuard(h);
}

void Empty(ImageHeader& h) {
    h.bytes_in_buffer = 0;
    h.read_position = 0;
    h.bit_accumulator = 0;
    h.bit_count = 0;
}

}  // namespace

int32_t InputCapacity(int32_t width, int32_t chunk, bool chunk_given) {
    const int32_t margin = kMarginUnit * (width / kMarginWidthStep + 1);
    if (!chunk_given) return chunk + margin;
    return chunk * std::max(kMinChunkMultiple, (chunk + margin) / chunk);
}

bool IsMultiStrip(const ImageHeader& h) {
    return (h.compression & kMultiStrip) != 0;
}

const PixdocStripTable* StripTable(const ImageHeader& h) {
    return IsMultiStrip(h) ? reinterpret_cast<const PixdocStripTable*>(h.data_offset) : nullptr;
}

uint8_t* RowScratch(const ImageHeader& h) {
    return h.input_buffer + h.input_bytes + kGuardBytes;
}

bool StartSingleStrip(ImageHeader& h) {
    Empty(h);
    if (h.data_offset < 0 || files::FileSeek(h.handle, int64_t(h.data_offset),
                                             files::SeekOrigin::kStart) != int64_t(h.data_offset))
        return false;
    FillBuffer(h);
    return h.bytes_in_buffer > 0;
}

bool StartStrip(ImageHeader& h, int32_t strip) {
    auto* strips = reinterpret_cast<PixdocStripTable*>(h.data_offset);
    Empty(h);
    if (!strips || strip < 0 || strip >= strips->strip_count) {
        WriteGuard(h);
        return false;
    }
    strips->current_strip = strip;
    strips->strip_bytes_left =
        int32_t(std::min<uint32_t>(strips->strip_byte_counts[strip], INT32_MAX));
    FillBuffer(h);
    return h.bytes_in_buffer > 0;
}

void Refill(ImageHeader& h) {
    int32_t unread = h.bytes_in_buffer - h.read_position;
    if (unread < 0) {
        // A damaged line ran into the EOL codes behind the data: go on with the data after it.
        h.read_position = h.bytes_in_buffer;
        h.bit_accumulator = 0;
        h.bit_count = 0;
        unread = 0;
    }
    if (unread >= Margin(h)) return;
    std::memmove(h.input_buffer, h.input_buffer + h.read_position, size_t(unread));
    h.bytes_in_buffer = unread;
    h.read_position = 0;
    FillBuffer(h);
}

LineInput CurrentInput(const ImageHeader& h) {
    LineInput in;
    in.data = h.input_buffer;
    in.size = h.bytes_in_buffer;
    in.limit = h.bytes_in_buffer + kGuardBytes;
    in.at.position = h.read_position;
    in.at.accumulator = uint32_t(h.bit_accumulator);
    in.at.bit_count = h.bit_count;
    return in;
}

void StoreInput(ImageHeader& h, const LineInput& in) {
    h.read_position = in.at.position;
    h.bit_accumulator = int32_t(in.at.accumulator);
    h.bit_count = in.at.bit_count;
}

}  // namespace pixdoc::bilevel
