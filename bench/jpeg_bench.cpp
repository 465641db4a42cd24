// Decoding an A4 page at 200 dpi (colour 4:2:0 at quality 85, and grey) with pixdoc32's JPEG
// decoder and with libjpeg-turbo in the same run. libjpeg-turbo runs twice: with its defaults
// (accurate integer IDCT, smooth up-sampling) and with the same algorithms as pixdoc32 (fast
// integer IDCT, pixel-repetition up-sampling). Pages are made on first use by
// make_jpeg_pages.sh. After the run the CPU times are printed as ratios to libjpeg-turbo's
// with its defaults.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "bench/ratio_reporter.h"
#include "imaging/decode/jpeg/jpeg_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes& Page(const std::string& name) {
    static std::vector<std::pair<std::string, Bytes>> cache;
    for (auto& [n, bytes] : cache)
        if (n == name) return bytes;
    const std::string path = bench::MadePage("jpeg_pages", name, "make_jpeg_pages.sh");
    std::ifstream in(path, std::ios::binary);
    cache.emplace_back(name, Bytes((std::istreambuf_iterator<char>(in)), {}));
    return cache.back().second;
}

class PictureSink final : public pixdoc::jpeg::RowSink {
public:
    int DeliverRows(int, int first_row, int columns, int row_after_last,
                    const uint8_t* rows) override {
        size_t row_bytes = static_cast<size_t>(columns) * channels;
        size_t needed = row_bytes * static_cast<size_t>(row_after_last);
        if (pixels.size() < needed) pixels.resize(needed);
        std::copy(rows, rows + row_bytes * (row_after_last - first_row),
                  pixels.begin() + static_cast<long>(row_bytes * first_row));
        return 0;
    }
    int channels = 3;
    Bytes pixels;
};

void Pixdoc(benchmark::State& state, const char* name, bool simd) {
    const Bytes& data = Page(name);
    PictureSink sink;
    pixdoc::jpeg::DecodeOptions options;
    options.use_simd = simd;
    for (auto _ : state) {
        pixdoc::jpeg::MemoryByteSource source(data.data(), data.size());
        if (pixdoc::jpeg::DecodeJpeg(source, sink, options) != 0) state.SkipWithError("decode");
        benchmark::DoNotOptimize(sink.pixels.data());
    }
}

void Turbo(benchmark::State& state, const char* name, bool same_algorithms) {
    const Bytes& data = Page(name);
    Bytes pixels;
    for (auto _ : state) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr jerr;
        cinfo.err = jpeg_std_error(&jerr);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
        jpeg_read_header(&cinfo, TRUE);
        if (same_algorithms) {
            cinfo.dct_method = JDCT_IFAST;
            cinfo.do_fancy_upsampling = FALSE;
        }
        jpeg_start_decompress(&cinfo);
        size_t row_bytes = size_t{cinfo.output_width} * cinfo.output_components;
        pixels.resize(row_bytes * cinfo.output_height);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW rows[16];
            for (int i = 0; i < 16; ++i)
                rows[i] = pixels.data() + row_bytes * std::min<size_t>(cinfo.output_scanline + i,
                                                                       cinfo.output_height - 1);
            jpeg_read_scanlines(&cinfo, rows, 16);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels.data());
    }
}

BENCHMARK_CAPTURE(Pixdoc, colour_a4_sse2, "colour_a4.jpg", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pixdoc, colour_a4_scalar, "colour_a4.jpg", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Turbo, colour_a4_defaults, "colour_a4.jpg", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Turbo, colour_a4_fast_box, "colour_a4.jpg", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pixdoc, grey_a4_sse2, "grey_a4.jpg", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pixdoc, grey_a4_scalar, "grey_a4.jpg", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Turbo, grey_a4_defaults, "grey_a4.jpg", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Turbo, grey_a4_fast, "grey_a4.jpg", true)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(argc, argv,
                                {{"Pixdoc/colour_a4_sse2", "Turbo/colour_a4_defaults"},
                                 {"Pixdoc/grey_a4_sse2", "Turbo/grey_a4_defaults"}});
}
