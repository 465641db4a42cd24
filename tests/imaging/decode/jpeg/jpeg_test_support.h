// Helpers of the JPEG decoder tests: fixture files, a sink that collects the delivered rows,
// PNM references and their comparison.
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/colour/colour_error.h"
#include "imaging/decode/jpeg/jpeg_decoder.h"

namespace jpeg_test {

using Bytes = std::vector<uint8_t>;

inline std::string Fixture(const std::string& name) {
    return std::string(TEST_FIXTURE_DIR) + "/jpeg/" + name;
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), {});
}

struct Image {
    int width = 0, height = 0, channels = 0;
    Bytes pixels;
};

// Collects rows into a whole picture and checks that each delivery continues the last.
class CollectingSink : public pixdoc::jpeg::RowSink {
public:
    CollectingSink(int width, int height, int channels, int refuse_after = -1)
        : refuse_after_(refuse_after) {
        image.width = width;
        image.height = height;
        image.channels = channels;
        image.pixels.assign(static_cast<size_t>(width) * height * channels, 0);
    }
    int DeliverRows(int first_column, int first_row, int columns, int row_after_last,
                    const uint8_t* rows) override {
        ++calls;
        if (first_column != 0 || columns != image.width || first_row < 0 ||
            row_after_last > image.height || first_row >= row_after_last ||
            (next_row >= 0 && first_row != next_row))
            contract_broken = true;
        if (!contract_broken) {
            size_t row_bytes = static_cast<size_t>(columns) * image.channels;
            std::copy(rows, rows + row_bytes * (row_after_last - first_row),
                      image.pixels.begin() + static_cast<long>(row_bytes * first_row));
        }
        if (first_rows.empty()) first_rows.push_back(first_row);
        next_row = row_after_last;
        return refuse_after_ >= 0 && calls > refuse_after_ ? 1 : 0;
    }
    Image image;
    int calls = 0;
    int next_row = -1;
    bool contract_broken = false;
    std::vector<int> first_rows;

private:
    int refuse_after_;
};

struct Decoded {
    int result = 0;
    int error = 0;
    pixdoc::jpeg::HeaderInfo header;
    Image image;
    bool contract_broken = false;
};

inline Decoded Decode(const Bytes& data, pixdoc::jpeg::DecodeOptions options = {}) {
    Decoded d;
    pixdoc::jpeg::MemoryByteSource source(data.data(), data.size());
    pixdoc::SetColourError(0);
    d.result = pixdoc::jpeg::ReadJpegHeader(source, {}, d.header, &d.error);
    if (d.result < 0) return d;
    int channels =
        d.header.components == 3 && options.output_mode == pixdoc::ColourOutputMode::kRgb ? 3 : 1;
    CollectingSink sink(d.header.width, d.header.height, channels);
    pixdoc::SetColourError(0);
    d.result = pixdoc::jpeg::DecodeJpeg(source, sink, options, &d.error);
    d.image = sink.image;
    d.contract_broken = sink.contract_broken;
    return d;
}

// Binary PGM (P5) or PPM (P6) with maxval 255.
inline Image ReadPnm(const std::string& path) {
    Image img;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> img.width >> img.height >> maxval;
    in.get();
    img.channels = magic == "P6" ? 3 : 1;
    img.pixels.resize(static_cast<size_t>(img.width) * img.height * img.channels);
    in.read(reinterpret_cast<char*>(img.pixels.data()), static_cast<long>(img.pixels.size()));
    return img;
}

struct Difference {
    int max = 0;
    double psnr = 0;  // infinity when equal
};

inline Difference Compare(const Image& a, const Image& b) {
    Difference d;
    double squares = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
        int diff = std::abs(int{a.pixels[i]} - int{b.pixels[i]});
        d.max = std::max(d.max, diff);
        squares += double(diff) * diff;
    }
    double mse = squares / double(std::max<size_t>(1, a.pixels.size()));
    d.psnr = mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
    return d;
}

}  // namespace jpeg_test
