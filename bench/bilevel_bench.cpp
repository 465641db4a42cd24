// An A4 300 dpi Group 4 text page, decoded with pixdoc32's bilevel decoder (to change lists
// through the line face, and to a 1:1 bitmap through Decompress) and with libtiff
// (TIFFReadEncodedStrip of the same strip), and coded back to Group 4 by pixdoc32's compression
// writer (into memory) and by libtiff's encoder (a one-strip TIFF in memory), in the same run.
// The page is made on first use by make_bilevel_page.sh. After the run the CPU times (the
// machine may be shared) are printed as ratios to libtiff's for the same work.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "bench/ratio_reporter.h"
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
        p.path = bench::MadePage("bilevel_pages", "text_a4_300_g4.tif", "make_bilevel_page.sh");
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

// The page as a bitmap (libtiff's decode), rows of (width + 7) / 8 bytes.
const std::vector<uint8_t>& PageBitmap() {
    static const std::vector<uint8_t> bitmap = [] {
        std::vector<uint8_t> rows;
        TIFF* tif = TIFFOpen(ThePage().path.c_str(), "r");
        if (!tif) return rows;
        rows.resize(size_t(TIFFStripSize(tif)));
        TIFFReadEncodedStrip(tif, 0, rows.data(), tmsize_t(rows.size()));
        TIFFClose(tif);
        return rows;
    }();
    return bitmap;
}

void PixdocGroup4Encode(benchmark::State& state) {
    const Page& p = ThePage();
    const std::vector<uint8_t>& bitmap = PageBitmap();
    const size_t row_bytes = (p.width + 7) / 8;
    std::vector<uint8_t> out(bitmap.size() + 65536);
    int64_t bytes = 0;
    for (auto _ : state) {
        CompressionRecord r{};
        std::snprintf(r.target_name, sizeof r.target_name, "MEMORYDIRECT,%zu", out.size());
        r.coding = 1;
        r.width = int32_t(p.width);
        r.start = reinterpret_cast<intptr_t>(out.data());
        if (CompressionStart(&r) != 0) state.SkipWithError("start failed");
        for (uint32_t y = 0; y < p.height; ++y)
            CompressLine(&r, &bitmap[y * row_bytes]);
        CompressEnd(&r);
        bytes = r.bytes_delivered;
    }
    state.counters["bytes"] = double(bytes);
}

// A TIFF held in a growing memory block, for libtiff's writer.
struct MemoryTiff {
    std::vector<uint8_t> data;
    toff_t position = 0;

    static tmsize_t Read(thandle_t h, void* buf, tmsize_t n) {
        auto* m = static_cast<MemoryTiff*>(h);
        const tmsize_t left = tmsize_t(m->data.size()) - tmsize_t(m->position);
        const tmsize_t take = std::max<tmsize_t>(0, std::min(n, left));
        std::memcpy(buf, m->data.data() + m->position, size_t(take));
        m->position += toff_t(take);
        return take;
    }
    static tmsize_t Write(thandle_t h, void* buf, tmsize_t n) {
        auto* m = static_cast<MemoryTiff*>(h);
        if (m->data.size() < m->position + size_t(n)) m->data.resize(m->position + size_t(n));
        std::memcpy(m->data.data() + m->position, buf, size_t(n));
        m->position += toff_t(n);
        return n;
    }
    static toff_t Seek(thandle_t h, toff_t offset, int whence) {
        auto* m = static_cast<MemoryTiff*>(h);
        const toff_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? m->position
                                                 : m->data.size();
        m->position = base + offset;
        return m->position;
    }
    static int Close(thandle_t) { return 0; }
    static toff_t Size(thandle_t h) { return static_cast<MemoryTiff*>(h)->data.size(); }
    static int Map(thandle_t, void**, toff_t*) { return 0; }
    static void Unmap(thandle_t, void*, toff_t) {}
};

void LibtiffGroup4Encode(benchmark::State& state) {
    const Page& p = ThePage();
    std::vector<uint8_t> bitmap = PageBitmap();  // libtiff may code in place
    MemoryTiff file;
    file.data.reserve(bitmap.size());
    int64_t bytes = 0;
    for (auto _ : state) {
        file.data.clear();
        file.position = 0;
        TIFF* tif = TIFFClientOpen("page", "w", &file, MemoryTiff::Read, MemoryTiff::Write,
                                   MemoryTiff::Seek, MemoryTiff::Close, MemoryTiff::Size,
                                   MemoryTiff::Map, MemoryTiff::Unmap);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, p.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, p.height);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, p.height);
        TIFFWriteEncodedStrip(tif, 0, bitmap.data(), tmsize_t(bitmap.size()));
        bytes = int64_t(TIFFRawStripSize(tif, 0));
        TIFFClose(tif);
    }
    state.counters["bytes"] = double(bytes);
}

BENCHMARK(LibtiffStrip)->Unit(benchmark::kMillisecond);
BENCHMARK(PixdocChangeLists)->Unit(benchmark::kMillisecond);
BENCHMARK(PixdocBitmap)->Unit(benchmark::kMillisecond);
BENCHMARK(LibtiffGroup4Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(PixdocGroup4Encode)->Unit(benchmark::kMillisecond);

// What each pixdoc32 benchmark is compared with.
}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(argc, argv,
                                {{"PixdocChangeLists", "LibtiffStrip"},
                                 {"PixdocBitmap", "LibtiffStrip"},
                                 {"PixdocGroup4Encode", "LibtiffGroup4Encode"}});
}
