// Test helpers: bit strings, a line decoder over coded bytes, bitmaps, pages held in memory and
// read through "MD:" handles, and the output of Decompress assembled into one bitmap with
// RotateCoordinates.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/line_codings.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace pixdoc::bilevel::testing {

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bytes;  // rows of RowBytes(), first pixel in the top bit, 1 black
    Bitmap() = default;
    Bitmap(int w, int h) : width(w), height(h), bytes(size_t(RowBytes()) * h, 0) {}
    int RowBytes() const { return (width + 7) / 8; }
    bool Get(int x, int y) const {
        return (bytes[size_t(y) * RowBytes() + x / 8] >> (7 - x % 8)) & 1;
    }
    void Set(int x, int y) { bytes[size_t(y) * RowBytes() + x / 8] |= uint8_t(0x80 >> (x % 8)); }
    bool operator==(const Bitmap& o) const = default;
};

// A string of '0' and '1' packed into bytes, first bit in the top bit, with `slack` zero bytes
// after the last.
inline std::vector<uint8_t> Pack(const std::string& bits, size_t slack = 0) {
    std::vector<uint8_t> out((bits.size() + 7) / 8 + slack, 0);
    for (size_t i = 0; i < bits.size(); ++i)
        if (bits[i] == '1') out[i / 8] |= uint8_t(0x80 >> (i % 8));
    return out;
}

inline std::vector<int> Changes(const int16_t* list, int width) {
    std::vector<int> out;
    for (int i = 0; list[i] < width; ++i)
        out.push_back(list[i]);
    return out;
}

// Decodes lines of one width from coded bytes (or a bit string), keeping the last two lines.
struct Decoder {
    Decoder(const std::string& bits, int w) : Decoder(Pack(bits), w) {}
    Decoder(std::vector<uint8_t> bytes, int w) : data(std::move(bytes)), width(w) {
        input.data = data.data();
        input.size = int32_t(data.size());
        input.limit = input.size;
        reference.assign(ChangeListEntries(width), 0);
        current.assign(ChangeListEntries(width), 0);
        ResetToEmptyLine(reference.data(), width);
        ResetToEmptyLine(current.data(), width);
        scratch.assign((width + 7) / 8, 0);
    }
    int32_t Line(int32_t code, int line = 0) {
        std::swap(reference, current);
        return DecodeLine(code, reference.data(), current.data(), width, line, input,
                          scratch.data());
    }
    std::vector<int> Now() const { return Changes(current.data(), width); }
    // The changes of the next line when it is good, else {-1, the line result}.
    std::vector<int> GoodLine(int32_t code, int line = 0) {
        const int32_t result = Line(code, line);
        return result == kLineGood ? Now() : std::vector<int>{-1, result};
    }
    std::vector<uint8_t> data;
    int width;
    LineInput input;
    std::vector<int16_t> reference, current;
    std::vector<uint8_t> scratch;
};

// Text-like blobs: random rectangles and thin strokes, including one-pixel runs.
inline Bitmap RandomPage(int w, int h, unsigned seed) {
    Bitmap b(w, h);
    std::mt19937 rng(seed);
    for (int k = 0; k < w * h / 400; ++k) {
        const int x = int(rng() % w), y = int(rng() % h);
        const int rw = 1 + int(rng() % 12), rh = 1 + int(rng() % 6);
        for (int yy = y; yy < std::min(h, y + rh); ++yy)
            for (int xx = x; xx < std::min(w, x + rw); ++xx)
                b.Set(xx, yy);
    }
    return b;
}

// A page held in memory and opened through the file access layer.
class MemoryPage {
public:
    MemoryPage(std::vector<uint8_t> data, int width, int height, int32_t code, int fill_order = 0)
        : data_(std::move(data)) {
        header_.width = width;
        header_.height = height;
        header_.compression = code;
        header_.fill_order = fill_order;
        header_.horizontal_scale = header_.vertical_scale = 2048;
        header_.output_width = (width + 7) / 8 * 8;
        header_.output_height = height;
        header_.decode_flags = 1;
        const std::string name = "MD:" + std::to_string(reinterpret_cast<uintptr_t>(data_.data())) +
                                 "," + std::to_string(data_.size());
        header_.handle = files::FileOpen(name.c_str());
    }
    ~MemoryPage() { files::FileClose(header_.handle); }
    MemoryPage(const MemoryPage&) = delete;
    MemoryPage& operator=(const MemoryPage&) = delete;
    ImageHeader& header() { return header_; }

private:
    std::vector<uint8_t> data_;
    ImageHeader header_{};
};

inline MemoryPage RawPage(const Bitmap& b) {
    return MemoryPage(b.bytes, b.width, b.height, 3);
}

struct DecodeResult {
    int32_t last = 0;  // 16 when all bands came, 8 for a failed set-up
    int bands = 0;
    Bitmap output;
};

// Calls Decompress until 16 or 8 and places every band in the turned output.
inline DecodeResult DecodeAll(ImageHeader& h) {
    DecodeResult r;
    // The output size is known once set-up ran (the height may be rounded).
    for (int guard = 0; guard < 100000; ++guard) {
        r.last = Decompress(&h);
        if (r.last != 4) break;
        if (r.bands++ == 0) r.output = Bitmap(h.output_width, h.output_height);
        int32_t x, y, w, hh;
        RotateCoordinates(&h, &x, &y, &w, &hh);
        const int band_row_bytes = (w + 7) / 8;
        for (int yy = 0; yy < hh; ++yy)
            for (int xx = 0; xx < w; ++xx) {
                const bool black =
                    (h.band_buffer[size_t(yy) * band_row_bytes + xx / 8] >> (7 - xx % 8)) & 1;
                if (black && x + xx >= 0 && x + xx < r.output.width && y + yy >= 0 &&
                    y + yy < r.output.height)
                    r.output.Set(x + xx, y + yy);
            }
    }
    return r;
}

}  // namespace pixdoc::bilevel::testing
