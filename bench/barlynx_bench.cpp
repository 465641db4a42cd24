// GetAllBarCode of the Barlynx control as the program calls it (Degree 0, ExclusionHeight 100,
// every symbology, no export files) on an A4 300 dpi Group 4 page and an A4 200 dpi colour JPEG
// page, against the same work done by the peers in the same run: libtiff or libjpeg-turbo
// decoding the page and ZXing-cpp reading its linear formats along the rows. Both sides start
// from the file. Run with --benchmark_repetitions for the median. Pages: make_barlynx_pages.sh.
// Counters: found = labels found / labels on the page.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "barcode_control/barlynx.h"

namespace {

const std::string& PagesFolder() {
    static const std::string folder = [] {
        const std::string dir = std::string(BENCH_BINARY_DIR) + "/barlynx_pages";
        if (!std::filesystem::exists(dir + "/a4-200-colour.jpg")) {
            const std::string command =
                std::string(BENCH_SOURCE_DIR) + "/make_barlynx_pages.sh " + dir + " >/dev/null";
            if (std::system(command.c_str()) != 0) std::abort();
        }
        return dir;
    }();
    return folder;
}

std::vector<std::string> Labels() {
    std::vector<std::string> labels;
    std::ifstream in(PagesFolder() + "/labels.txt");
    for (std::string label; std::getline(in, label);)
        labels.push_back(label);
    return labels;
}

double Found(const std::string& text) {
    const std::vector<std::string> labels = Labels();
    int found = 0;
    for (const std::string& label : labels)
        if (text.find(label) != std::string::npos) ++found;
    return labels.empty() ? 0.0 : static_cast<double>(found) / static_cast<double>(labels.size());
}

void GetAllBarCode(benchmark::State& state, const char* page, bool colour) {
    barlynx::IBarlynx* control = BarlynxCreateInstance("BARLYNX.BarlynxCtrl.1");
    if (!control || (colour && *BarlynxLoadError())) {
        state.SkipWithError(BarlynxLoadError());
        if (control) control->Release();
        return;
    }
    control->SetProperty(barlynx::DispId::kExclusionHeight, int32_t{100});
    control->SetProperty(barlynx::DispId::kDegree, int16_t{0});
    const std::string file = PagesFolder() + "/" + page;
    std::string text;
    int32_t error = 0;
    for (auto _ : state) {
        text = control->GetAllBarCode(file, 2047, std::nullopt, std::nullopt, "", error, 1);
        benchmark::DoNotOptimize(text);
    }
    control->Release();
    if (error != 0) state.SkipWithError("GetAllBarCode failed");
    state.counters["found"] = Found(text);
}

struct Grey {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

Grey DecodeTiff(const std::string& file) {
    Grey grey;
    TIFF* tif = TIFFOpen(file.c_str(), "r");
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    std::vector<uint8_t> row(TIFFScanlineSize(tif));
    grey.width = static_cast<int>(w);
    grey.height = static_cast<int>(h);
    grey.pixels.resize(static_cast<size_t>(w) * h);
    for (uint32_t y = 0; y < h; ++y) {
        TIFFReadScanline(tif, row.data(), y);
        for (uint32_t x = 0; x < w; ++x)  // min-is-white: a set bit is black
            grey.pixels[y * w + x] = (row[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
    }
    TIFFClose(tif);
    return grey;
}

Grey DecodeJpeg(const std::string& file) {
    Grey grey;
    std::FILE* in = std::fopen(file.c_str(), "rb");
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, in);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&cinfo);
    grey.width = static_cast<int>(cinfo.output_width);
    grey.height = static_cast<int>(cinfo.output_height);
    grey.pixels.resize(static_cast<size_t>(grey.width) * grey.height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = grey.pixels.data() + static_cast<size_t>(cinfo.output_scanline) * grey.width;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(in);
    return grey;
}

void PeerRead(benchmark::State& state, const char* page, Grey (*decode)(const std::string&)) {
    const std::string file = PagesFolder() + "/" + page;
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::LinearCodes);
    hints.setTryHarder(true);
    hints.setTryRotate(false);
    std::string texts;
    for (auto _ : state) {
        const Grey grey = decode(file);
        const ZXing::ImageView view(grey.pixels.data(), grey.width, grey.height,
                                    ZXing::ImageFormat::Lum);
        const auto results = ZXing::ReadBarcodes(view, hints);
        texts.clear();
        for (const auto& r : results)
            texts += r.text() + "\n";
        benchmark::DoNotOptimize(texts);
    }
    state.counters["found"] = Found(texts);
}

void BM_GetAllBarCode_G4_300(benchmark::State& state) {
    GetAllBarCode(state, "a4-300-g4.tif", false);
}
void BM_LibtiffZXing_G4_300(benchmark::State& state) {
    PeerRead(state, "a4-300-g4.tif", DecodeTiff);
}
void BM_GetAllBarCode_ColourJpeg_200(benchmark::State& state) {
    GetAllBarCode(state, "a4-200-colour.jpg", true);
}
void BM_LibjpegZXing_ColourJpeg_200(benchmark::State& state) {
    PeerRead(state, "a4-200-colour.jpg", DecodeJpeg);
}

BENCHMARK(BM_GetAllBarCode_G4_300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibtiffZXing_G4_300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetAllBarCode_ColourJpeg_200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibjpegZXing_ColourJpeg_200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
