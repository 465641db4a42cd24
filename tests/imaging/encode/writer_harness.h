// Test helpers for the compression writer: a page coded into memory through the exports, the
// coded bytes as a bit string, and the page decoded back by the library's own decoder.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "pixdoc32.h"
#include "tests/imaging/decode/bilevel_pages.h"

namespace pixdoc::encode::testing {

using bilevel::testing::Bitmap;

struct WriterSettings {
    int32_t coding = 1;
    int32_t bit_reversal = 0;
    int32_t k = 0;
    int32_t min_line_bits = 0;
};

inline CompressionRecord MemoryRecord(int width, const WriterSettings& s, uint8_t* out,
                                      size_t capacity) {
    CompressionRecord r{};
    std::snprintf(r.target_name, sizeof r.target_name, "MEMORYDIRECT,%zu", capacity);
    r.coding = s.coding;
    r.width = width;
    r.start = reinterpret_cast<intptr_t>(out);
    r.bit_reversal = s.bit_reversal;
    r.k = s.k;
    r.min_line_bits = s.min_line_bits;
    return r;
}

// Bytes that every coding of a page fits in.
inline size_t Room(const Bitmap& page) {
    return size_t(page.width + 256) * size_t(page.height + 1) + 64;
}

// Codes `page` into memory; the bytes delivered. Empty with a failure recorded when any call
// misbehaves.
inline std::vector<uint8_t> Encode(const Bitmap& page, const WriterSettings& s) {
    std::vector<uint8_t> out(Room(page));
    CompressionRecord r = MemoryRecord(page.width, s, out.data(), out.size());
    EXPECT_EQ(CompressionStart(&r), 0);
    for (int y = 0; y < page.height; ++y) {
        // Each row in a block of its own size, so that a read past it is caught by ASan.
        std::vector<uint8_t> row(page.bytes.begin() + size_t(y) * page.RowBytes(),
                                 page.bytes.begin() + size_t(y + 1) * page.RowBytes());
        const int32_t pending = CompressLine(&r, row.data());
        EXPECT_TRUE(pending >= 0 && pending < 4096) << "row " << y << ": " << pending;
    }
    EXPECT_EQ(CompressEnd(&r), 0);
    EXPECT_EQ(r.start - reinterpret_cast<intptr_t>(out.data()), r.bytes_delivered);
    out.resize(size_t(r.bytes_delivered));
    return out;
}

// The decoder's compression code for what a writer coding produces.
inline int32_t DecoderCode(int32_t coding) {
    return coding == 6 ? 1 : coding;
}

inline Bitmap Decode(const std::vector<uint8_t>& data, int width, int height, int32_t coding,
                     int fill_order) {
    bilevel::testing::MemoryPage page(data, width, height, DecoderCode(coding), fill_order);
    return bilevel::testing::DecodeAll(page.header()).output;
}

// The decoder paints whole bytes: compare within the page's width.
inline Bitmap Cropped(const Bitmap& b, int width) {
    Bitmap out(width, b.height);
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < width; ++x)
            if (b.Get(x, y)) out.Set(x, y);
    return out;
}

// The coded bytes as '0' and '1', first bit first.
inline std::string Bits(const std::vector<uint8_t>& data) {
    std::string bits;
    for (uint8_t b : data)
        for (int i = 7; i >= 0; --i)
            bits += (b >> i) & 1 ? '1' : '0';
    return bits;
}

inline std::string Repeat(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += s;
    return out;
}

}  // namespace pixdoc::encode::testing
