// Decoding an A4 300 dpi Group 4 text page with pixdoc32's bilevel decoder (to change lists
// through the line face, and to a 1:1 bitmap through Decompress) and with libtiff
// (TIFFReadEncodedStrip of the same strip), in the same run. The page is made on first use by
// make_bilevel_page.sh. After the run the CPU times (the machine may be shared) are printed as
// ratios to libtiff's.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "imaging/decode/bilevel/line_face.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace {

struct Page {
    std::string path;
    std::vector<uint8_t> strip;  // the coded strip
    uint32_t width = 0, height = 0;
};

const Page& ThePage() {
    static const Page page = [] {
        Page p;
        const std::string dir = std::string(BENCH_BINARY_DIR) + "/bilevel_pages";
        p.path = dir + "/text_a4_300_g4.tif";
        if (!std::filesystem::exists(p.path)) {
            const std::string command =
                std::string(BENCH_SOURCE_DIR) + "/make_bilevel_page.sh " + dir;
            if (std::system(command.c_str()) != 0) std::fprintf(stderr, "page generation failed\n");
        }
        TIFF* tif = TIFFOpen(p.path.c_str(), "r");
        if (!tif) return p;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &p.width);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &p.height);
        p.strip.resize(size_t(TIFFRawStripSize(tif, 0)));
        TIFFReadRawStrip(tif, 0, p.strip.data(), tmsize_t(p.strip.size()));
        TIFFClose(tif);
        return p;
    }();
    return page;
}

// A header over the strip held in memory.
ImageHeader MemoryHeader(const Page& p) {
    ImageHeader h{};
    const std::string name = "MD:" + std::to_string(reinterpret_cast<uintptr_t>(p.strip.data())) +
                             "," + std::to_string(p.strip.size());
    h.handle = pixdoc::files::FileOpen(name.c_str());
    h.width = int32_t(p.width);
    h.height = int32_t(p.height);
    h.compression = 1;
    h.horizontal_scale = h.vertical_scale = 2048;
    h.output_width = int32_t((p.width + 7) / 8 * 8);
    h.output_height = int32_t(p.height);
    h.decode_flags = 1;
    return h;
}

void PixdocChangeLists(benchmark::State& state) {
    const Page& p = ThePage();
    int64_t changes = 0;
    for (auto _ : state) {
        ImageHeader h = MemoryHeader(p);
        if (pixdoc::bilevel::LineFaceSetUp(h, 0) != 0) state.SkipWithError("set-up failed");
        while (pixdoc::bilevel::LineFaceNextLine(h) == pixdoc::bilevel::kLineGood)
            changes += h.current_line[0];
        pixdoc::bilevel::BilevelRelease(h);
        pixdoc::files::FileClose(h.handle);
    }
    benchmark::DoNotOptimize(changes);
}

void PixdocBitmap(benchmark::State& state) {
    const Page& p = ThePage();
    const size_t row_bytes = (p.width + 7) / 8;
    std::vector<uint8_t> bitmap(row_bytes * p.height);
    for (auto _ : state) {
        ImageHeader h = MemoryHeader(p);
        while (Decompress(&h) == 4) {
            const size_t top = size_t(h.rows_delivered - h.band_rows);
            std::memcpy(&bitmap[top * row_bytes], h.band_buffer, size_t(h.band_rows) * row_bytes);
        }
        pixdoc::files::FileClose(h.handle);
    }
    benchmark::DoNotOptimize(bitmap.data());
}

void LibtiffStrip(benchmark::State& state) {
    const Page& p = ThePage();
    TIFF* tif = TIFFOpen(p.path.c_str(), "r");
    if (!tif) {
        state.SkipWithError("cannot open the page");
        return;
    }
    std::vector<uint8_t> bitmap(size_t(TIFFStripSize(tif)));
    for (auto _ : state)
        TIFFReadEncodedStrip(tif, 0, bitmap.data(), tmsize_t(bitmap.size()));
    benchmark::DoNotOptimize(bitmap.data());
    TIFFClose(tif);
}

BENCHMARK(LibtiffStrip)->Unit(benchmark::kMillisecond);
BENCHMARK(PixdocChangeLists)->Unit(benchmark::kMillisecond);
BENCHMARK(PixdocBitmap)->Unit(benchmark::kMillisecond);

// Console output plus the ratios of every benchmark's time to libtiff's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                times_[r.benchmark_name()] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto base = times_.find("LibtiffStrip");
        if (base == times_.end() || base->second <= 0) return;
        for (const auto& [name, t] : times_)
            if (name != base->first)
                std::printf("ratio %s / LibtiffStrip: %.3f\n", name.c_str(), t / base->second);
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
