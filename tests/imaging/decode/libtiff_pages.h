// Reference pages for the tests that hold the library and its tools against libtiff: a TIFF page
// as libtiff decodes it, PBM files as the tools read and write them, and a tool run with its
// exit status and stderr.
#pragma once

#include <tiffio.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "tests/imaging/decode/bilevel_pages.h"

namespace pixdoc::bilevel::testing {

inline void ClearPadding(Bitmap& b) {
    if (b.width % 8 == 0) return;
    const uint8_t keep = uint8_t(0xFF << (8 - b.width % 8));
    for (int y = 0; y < b.height; ++y)
        b.bytes[size_t(y) * b.RowBytes() + b.RowBytes() - 1] &= keep;
}

enum class Bits { kAsStored, kAsTheyLook };

// libtiff's decode of directory `page` (0-based): the stored bits, or the picture with 1 black
// (a minimum-is-black page inverted).
inline bool LibtiffPage(const std::string& path, int page, Bitmap& out,
                        Bits bits = Bits::kAsTheyLook) {
    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif) return false;
    bool ok = TIFFSetDirectory(tif, uint16_t(page)) == 1;
    uint32_t w = 0, h = 0;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    ok = ok && TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) &&
         TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    if (ok) {
        out = Bitmap(int(w), int(h));
        for (uint32_t y = 0; ok && y < h; ++y)
            ok = TIFFReadScanline(tif, &out.bytes[y * size_t(out.RowBytes())], y) == 1;
    }
    TIFFClose(tif);
    if (bits == Bits::kAsTheyLook && photometric == PHOTOMETRIC_MINISBLACK)
        for (uint8_t& b : out.bytes)
            b = uint8_t(~b);
    ClearPadding(out);
    return ok;
}

inline int LibtiffPageCount(const std::string& path) {
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif) return 0;
    const int n = TIFFNumberOfDirectories(tif);
    TIFFClose(tif);
    return n;
}

inline bool ReadPbm(const std::string& path, Bitmap& out) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0;
    in >> magic >> width >> height;
    in.get();
    if (magic != "P4" || !in) return false;
    out = Bitmap(width, height);
    in.read(reinterpret_cast<char*>(out.bytes.data()), std::streamsize(out.bytes.size()));
    ClearPadding(out);
    return bool(in);
}

inline bool WritePbm(const std::string& path, const Bitmap& b) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "P4\n" << b.width << ' ' << b.height << '\n';
    out.write(reinterpret_cast<const char*>(b.bytes.data()), std::streamsize(b.bytes.size()));
    return bool(out.flush());
}

inline std::string FirstDifference(const Bitmap& a, const Bitmap& b) {
    if (a.width != b.width || a.height != b.height)
        return std::to_string(a.width) + "x" + std::to_string(a.height) + " against " +
               std::to_string(b.width) + "x" + std::to_string(b.height);
    for (size_t i = 0; i < a.bytes.size(); ++i)
        if (a.bytes[i] != b.bytes[i])
            return "row " + std::to_string(i / a.RowBytes()) + " byte " +
                   std::to_string(i % a.RowBytes());
    return "";
}

// Runs one of the built tools (build/tools/<tool>) with `arguments`; the exit status (-1 when it
// did not exit normally) and what it wrote to stderr.
inline std::pair<int, std::string> RunTool(const std::string& tool, const std::string& arguments) {
    // One file per process: ctest runs the tests that call tools side by side.
    const std::string err =
        std::string(TEST_BINARY_DIR) + "/" + tool + "_stderr_" + std::to_string(getpid()) + ".txt";
    const std::string cmd =
        std::string(TEST_BINARY_DIR) + "/tools/" + tool + " " + arguments + " 2>'" + err + "'";
    const int status = std::system(cmd.c_str());
    std::ifstream in(err);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    std::remove(err.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

}  // namespace pixdoc::bilevel::testing
