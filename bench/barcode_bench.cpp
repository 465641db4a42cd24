// Full-page barcode search: PXinSeekBarCode with the barcode reader control's arguments against
// ZXing-cpp reading the same page from its decoded bitmap with the linear formats. Pages: A4,
// 300 dpi, Group 4, two Code 39 labels and 25 lines of text each (bench/make_barcode_pages.sh;
// PIXDOC_BENCH_PAGES names a folder of them, else they are made in a temporary folder).
// Counters: found = labels found / labels on the page (1 when every label was found).
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "pixdoc32.h"

namespace {

struct Page {
    std::string file;
    std::vector<std::string> labels;
    int width = 0, height = 0;
    std::vector<uint8_t> grey;  // decoded by libtiff, 0 black, 255 white
};

std::string PagesFolder() {
    if (const char* given = std::getenv("PIXDOC_BENCH_PAGES")) return given;
    std::string folder = (std::filesystem::temp_directory_path() / "pixdoc-barcode-bench").string();
    if (!std::filesystem::exists(folder + "/page-3.tif")) {
        std::string command = std::string(SCANTORA_SOURCE_DIR) + "/bench/make_barcode_pages.sh " +
                              folder + " >/dev/null";
        if (std::system(command.c_str()) != 0) std::abort();
    }
    return folder;
}

bool Decode(Page& page) {
    TIFF* tif = TIFFOpen(page.file.c_str(), "r");
    if (!tif) return false;
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    std::vector<uint32_t> rgba(static_cast<size_t>(w) * h);
    bool ok = TIFFReadRGBAImageOriented(tif, w, h, rgba.data(), ORIENTATION_TOPLEFT, 0);
    TIFFClose(tif);
    page.width = static_cast<int>(w);
    page.height = static_cast<int>(h);
    page.grey.resize(rgba.size());
    for (size_t i = 0; i < rgba.size(); ++i)
        page.grey[i] = static_cast<uint8_t>(TIFFGetR(rgba[i]));
    return ok;
}

const std::vector<Page>& Pages() {
    static const std::vector<Page> pages = [] {
        std::vector<Page> out;
        std::string folder = PagesFolder();
        for (int n = 1;; ++n) {
            Page p;
            p.file = folder + "/page-" + std::to_string(n) + ".tif";
            if (!std::filesystem::exists(p.file)) break;
            std::ifstream labels(folder + "/labels-" + std::to_string(n) + ".txt");
            for (std::string l; std::getline(labels, l);)
                p.labels.push_back(l);
            if (!Decode(p)) std::abort();
            out.push_back(std::move(p));
        }
        return out;
    }();
    return pages;
}

double Found(const Page& page, const std::string& text) {
    int found = 0;
    for (const auto& label : page.labels)
        if (text.find(label) != std::string::npos) ++found;
    return static_cast<double>(found) / static_cast<double>(page.labels.size());
}

void PixdocSearch(benchmark::State& state, int16_t mask) {
    const Page& page = Pages().at(state.range(0));
    PXinSeekBarCodeInsertData(1);
    BarcodeMultipleSetZoneHeight(100);
    std::vector<char> result(32767);
    int32_t code = -1;
    for (auto _ : state) {
        code = PXinSeekBarCode(page.file.c_str(), 1, 0, 0, 0, 0, 0, mask, 0, 0, 4, 4, 32,
                               result.data(), static_cast<int16_t>(result.size()));
        benchmark::DoNotOptimize(code);
    }
    state.counters["found"] = code == 0 ? Found(page, result.data()) : 0.0;
}

// The reader control's arguments: every symbology.
void BM_PixdocSeekBarCode(benchmark::State& state) {
    PixdocSearch(state, 2047);
}
// Code 39 with and without start/stop only.
void BM_PixdocSeekBarCodeCode39(benchmark::State& state) {
    PixdocSearch(state, 1 | 512);
}

void ZXingRead(benchmark::State& state, bool try_harder, bool try_rotate,
               ZXing::BarcodeFormats formats = ZXing::BarcodeFormat::LinearCodes) {
    const Page& page = Pages().at(state.range(0));
    ZXing::DecodeHints hints;
    hints.setFormats(formats);
    hints.setTryHarder(try_harder);
    hints.setTryRotate(try_rotate);
    ZXing::ImageView view(page.grey.data(), page.width, page.height, ZXing::ImageFormat::Lum);
    std::string texts;
    for (auto _ : state) {
        auto results = ZXing::ReadBarcodes(view, hints);
        benchmark::DoNotOptimize(results);
        texts.clear();
        for (const auto& r : results)
            texts += r.text() + "\n";
    }
    state.counters["found"] = Found(page, texts);
}

// Rows only, as PXinSeekBarCode with direction 0 scans them (both reading directions).
void BM_ZXingLinear(benchmark::State& state) {
    ZXingRead(state, true, false);
}
// ZXing-cpp's defaults: also the page turned a quarter.
void BM_ZXingLinearRotate(benchmark::State& state) {
    ZXingRead(state, true, true);
}
// Code 39 only, rows only.
void BM_ZXingCode39(benchmark::State& state) {
    ZXingRead(state, true, false, ZXing::BarcodeFormat::Code39);
}
// Without tryHarder: fewer rows.
void BM_ZXingLinearFast(benchmark::State& state) {
    ZXingRead(state, false, false);
}

BENCHMARK(BM_PixdocSeekBarCode)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixdocSeekBarCodeCode39)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZXingLinear)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZXingCode39)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZXingLinearRotate)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZXingLinearFast)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// One page with a symbol of every symbology but Code 39 (upright and upside down, 3 pixels per
// module, 300 dpi, Group 4; tests/imaging/barcode/make_symbology_pages.sh): PXinSeekBarCode with
// the reader control's arguments and the whole mask against ZXing-cpp's linear formats.
// Counters: found = symbols read / symbols on the page (ZXing-cpp has no IATA 2 of 5).
const Page& SymbologyPage() {
    static const Page page = [] {
        std::string folder =
            (std::filesystem::temp_directory_path() / "pixdoc-symbology-bench").string();
        if (!std::filesystem::exists(folder + "/a4-300-3px.tif")) {
            std::string command = std::string(SCANTORA_SOURCE_DIR) +
                                  "/tests/imaging/barcode/make_symbology_pages.sh " + folder +
                                  " >/dev/null";
            if (std::system(command.c_str()) != 0) std::abort();
        }
        Page p;
        p.file = folder + "/a4-300-3px.tif";
        std::ifstream expected(folder + "/expected.txt");
        for (std::string line; std::getline(expected, line);) {
            if (line.rfind("a4-300-3px.tif\t", 0) != 0) continue;
            // file, pixels per module, symbology bit, text: the bare data, without asterisks.
            size_t at = 0;
            for (int field = 0; field < 3; ++field)
                at = line.find('\t', at) + 1;
            std::string text = line.substr(at, line.find('\t', at) - at);
            if (text.size() > 1 && text.front() == '*') text = text.substr(1, text.size() - 2);
            p.labels.push_back(text);
        }
        if (!Decode(p)) std::abort();
        return p;
    }();
    return page;
}

// Every occurrence counts: each symbol is on the page twice (upright and upside down).
double FoundAll(const Page& page, const std::string& text) {
    std::map<std::string, int> wanted;
    for (const auto& label : page.labels)
        ++wanted[label];
    int found = 0;
    for (const auto& [label, count] : wanted) {
        int seen = 0;
        for (size_t at = text.find(label); at != std::string::npos;
             at = text.find(label, at + label.size()))
            ++seen;
        found += std::min(seen, count);
    }
    return static_cast<double>(found) / static_cast<double>(page.labels.size());
}

void BM_PixdocSeekAllSymbologies(benchmark::State& state) {
    const Page& page = SymbologyPage();
    PXinSeekBarCodeInsertData(1);
    BarcodeMultipleSetZoneHeight(100);
    std::vector<char> result(32767);
    int32_t code = -1;
    for (auto _ : state) {
        code = PXinSeekBarCode(page.file.c_str(), 1, 0, 0, 0, 0, 0, 2047, 0, 0, 4, 4, 32,
                               result.data(), static_cast<int16_t>(result.size()));
        benchmark::DoNotOptimize(code);
    }
    state.counters["found"] = code == 0 ? FoundAll(page, result.data()) : 0.0;
}

// ZXing-cpp's multi-symbol read of this whole page stops on an assertion in its result merging
// (Result::operator==, lineCount() == 1), so it reads the page in bands of 220 rows that overlap
// by 110, each holding at least one whole symbol; the bands together cover the page once more.
void BM_ZXingAllSymbologies(benchmark::State& state) {
    const Page& page = SymbologyPage();
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::LinearCodes);
    hints.setTryHarder(true);
    hints.setTryRotate(false);
    constexpr int kBand = 220;
    constexpr int kStep = 110;
    ZXing::ImageView view(page.grey.data(), page.width, page.height, ZXing::ImageFormat::Lum);
    std::string texts;
    for (auto _ : state) {
        texts.clear();
        for (int top = 0; top + kStep < page.height; top += kStep) {
            const int rows = std::min(kBand, page.height - top);
            auto results = ZXing::ReadBarcodes(view.cropped(0, top, page.width, rows), hints);
            benchmark::DoNotOptimize(results);
            for (const auto& r : results)
                if (r.position().topLeft().y < kStep || top + kStep + kStep >= page.height)
                    texts += r.text() + "\n";
        }
    }
    state.counters["found"] = FoundAll(page, texts);
}

BENCHMARK(BM_PixdocSeekAllSymbologies)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZXingAllSymbologies)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
