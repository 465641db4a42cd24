// Small edits of JPEG streams for the error tests: finding markers and changing bytes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace jpeg_test {

// Offset of the nth (0-based) marker FF <code> in the stream, or -1. Stuffed FF 00 and fill
// bytes are not markers.
inline long FindMarker(const std::vector<uint8_t>& d, int code, int nth = 0) {
    for (size_t i = 0; i + 1 < d.size(); ++i) {
        if (d[i] == 0xFF && d[i + 1] == code && nth-- == 0) return static_cast<long>(i);
    }
    return -1;
}

// The stream up to (not including) `end`, followed by `tail`.
inline std::vector<uint8_t> CutAndAppend(const std::vector<uint8_t>& d, long end,
                                         std::vector<uint8_t> tail) {
    std::vector<uint8_t> out(d.begin(), d.begin() + end);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

// A copy of the stream with bytes replaced: {offset, new value}...
inline std::vector<uint8_t> Patched(const std::vector<uint8_t>& d,
                                    std::initializer_list<std::pair<long, uint8_t>> changes) {
    std::vector<uint8_t> out(d);
    for (const auto& [at, value] : changes)
        out[static_cast<size_t>(at)] = value;
    return out;
}

inline std::vector<uint8_t> Insert(const std::vector<uint8_t>& d, long at,
                                   std::vector<uint8_t> bytes) {
    std::vector<uint8_t> out(d);
    out.insert(out.begin() + at, bytes.begin(), bytes.end());
    return out;
}

}  // namespace jpeg_test
