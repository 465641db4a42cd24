#include "tools/pbm_file.h"

#include <cctype>
#include <climits>
#include <fstream>
#include <iterator>

namespace pixdoc::tools {
namespace {

constexpr int32_t kMaxHeight = INT32_MAX / 2;

// Skips whitespace and comments ("#" to the end of the line) between header fields.
void SkipSeparators(std::istream& in) {
    for (int c = in.peek(); c != EOF; c = in.peek()) {
        if (c == '#') {
            std::string comment;
            std::getline(in, comment);
        } else if (std::isspace(c)) {
            in.get();
        } else {
            return;
        }
    }
}

bool ReadNumber(std::istream& in, int64_t limit, int32_t& value) {
    SkipSeparators(in);
    int64_t v = 0;
    int digits = 0;
    for (int c = in.peek(); c != EOF && std::isdigit(c) && v <= limit; c = in.peek(), ++digits)
        v = v * 10 + (in.get() - '0');
    if (digits == 0 || v < 1 || v > limit) return false;
    value = int32_t(v);
    return true;
}

bool ReadPlainRows(std::istream& in, PbmImage& image) {
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            SkipSeparators(in);
            const int c = in.get();
            if (c != '0' && c != '1') return false;
            if (c == '1')
                image.rows[size_t(y) * image.RowBytes() + x / 8] |= uint8_t(0x80 >> (x % 8));
        }
    return true;
}

}  // namespace

bool ReadPbm(const char* path, int32_t max_width, PbmImage& image, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open";
        return false;
    }
    char magic[2] = {};
    in.read(magic, 2);
    const bool binary = magic[0] == 'P' && magic[1] == '4';
    const bool plain = magic[0] == 'P' && magic[1] == '1';
    if (!binary && !plain) {
        error = "not a PBM file (P1 or P4)";
        return false;
    }
    if (!ReadNumber(in, max_width, image.width) || !ReadNumber(in, kMaxHeight, image.height)) {
        error = "width must be 1 to " + std::to_string(max_width) + ", height at least 1";
        return false;
    }
    // The data must be there before memory is taken for it: a P4 row takes its bytes, a P1
    // pixel at least one character.
    const std::streamoff here = in.tellg();
    in.seekg(0, std::ios::end);
    const std::streamoff left = in.tellg() - here;
    in.seekg(here);
    const double needed =
        plain ? double(image.width) * image.height : double(image.RowBytes()) * image.height;
    if (needed > double(left)) {
        error = "the image data ends early";
        return false;
    }
    image.rows.assign(image.RowBytes() * size_t(image.height), 0);
    if (plain) {
        if (!ReadPlainRows(in, image)) error = "the image data ends early or is not 0 and 1";
        return error.empty();
    }
    if (!std::isspace(in.get())) {
        error = "no separator after the header";
        return false;
    }
    in.read(reinterpret_cast<char*>(image.rows.data()), std::streamsize(image.rows.size()));
    if (size_t(in.gcount()) != image.rows.size()) {
        error = "the image data ends early";
        return false;
    }
    return true;
}

bool WritePbm(const char* path, const PbmImage& image) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << "P4\n" << image.width << ' ' << image.height << '\n';
    out.write(reinterpret_cast<const char*>(image.rows.data()), std::streamsize(image.rows.size()));
    return bool(out.flush());
}

}  // namespace pixdoc::tools
