// The fixture pages of the image window tests and their reference decodes (pixdoc-decode's
// PBM and PPM files), with access to a window's state.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/window/window_registry.h"
#include "tests/imaging/decode/bilevel_pages.h"

namespace pixdoc::window_testing {

inline std::string Fixture(const std::string& name) {
    return std::string(TEST_FIXTURE_DIR) + "/window/" + name;
}

inline WindowState& StateOf(PixdocWindow w) {
    return *Windows().slots[SlotOf(w)];
}

// Reads the header of a binary PBM or PPM file; false when it is not one.
inline bool ReadNetpbmHeader(std::ifstream& in, char kind, int& width, int& height) {
    std::string magic;
    in >> magic >> width >> height;
    if (kind == '6') {
        int maximum = 0;
        in >> maximum;
    }
    in.get();
    return bool(in) && magic == std::string("P") + kind;
}

inline bilevel::testing::Bitmap ReadPbm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    int width = 0, height = 0;
    if (!ReadNetpbmHeader(in, '4', width, height)) {
        ADD_FAILURE() << "not a PBM file: " << path;
        return {};
    }
    bilevel::testing::Bitmap b(width, height);
    in.read(reinterpret_cast<char*>(b.bytes.data()), std::streamsize(b.bytes.size()));
    return b;
}

// Pixels 0xFFRRGGBB of a binary PPM file.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

inline Picture ReadPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Picture p;
    if (!ReadNetpbmHeader(in, '6', p.width, p.height)) {
        ADD_FAILURE() << "not a PPM file: " << path;
        return p;
    }
    std::vector<uint8_t> rgb(size_t(p.width) * p.height * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
    p.pixels.resize(size_t(p.width) * p.height);
    for (size_t i = 0; i < p.pixels.size(); ++i)
        p.pixels[i] = 0xFF000000u | uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 |
                      rgb[3 * i + 2];
    return p;
}

}  // namespace pixdoc::window_testing
