// Reading A4 150 dpi colour TIFF pages (RGB uncompressed, grey PackBits) with pixdoc32's colour
// reader (rows through the line callback) and with libtiff (TIFFReadScanline), in the same run,
// plus pixdoc32's whole-page colour merge into an edit buffer of half the size. The pages are
// made on first use by make_colour_pages.sh. After the run the CPU times are printed as ratios
// to libtiff's.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "imaging/decode/colour/colour_state.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace {

std::string PagePath(const char* name) {
    return bench::MadePage("colour_pages", name, "make_colour_pages.sh");
}

int Consume(void* user, int32_t, int32_t first_row, int32_t columns, int32_t end_row,
            const uint8_t* rows) {
    *static_cast<int64_t*>(user) += rows[0] + (end_row - first_row) * columns;
    return 0;
}

void Pixdoc(benchmark::State& state, const char* name) {
    const std::string path = PagePath(name);
    int64_t sum = 0;
    pixdoc::ColourPalette palette;
    for (auto _ : state) {
        const int32_t file = pixdoc::files::FileOpen(path.c_str());
        pixdoc::ColourDecoderState s;
        pixdoc::SetColourSourceFile(s, file);
        s.palette = &palette;
        if (pixdoc::RecogniseColourContainer(s) != 0) state.SkipWithError("not recognised");
        s.output_mode = s.bits_per_pixel == 24 ? pixdoc::ColourOutputMode::kRgb
                                               : pixdoc::ColourOutputMode::kGrey;
        s.line_callback = &Consume;
        s.callback_user = &sum;
        if (pixdoc::DecodeColourImage(s) != 0) state.SkipWithError("decode failed");
        pixdoc::files::FileClose(file);
    }
    benchmark::DoNotOptimize(sum);
}

void Libtiff(benchmark::State& state, const char* name) {
    const std::string path = PagePath(name);
    int64_t sum = 0;
    for (auto _ : state) {
        TIFF* tif = TIFFOpen(path.c_str(), "r");
        if (!tif) {
            state.SkipWithError("libtiff cannot open the page");
            break;
        }
        uint32_t height = 0;
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
        std::vector<uint8_t> row(size_t(TIFFScanlineSize(tif)));
        for (uint32_t y = 0; y < height; ++y) {
            TIFFReadScanline(tif, row.data(), y);
            sum += row[0];
        }
        TIFFClose(tif);
    }
    benchmark::DoNotOptimize(sum);
}

void PixdocMerge(benchmark::State& state, const char* name) {
    const std::string path = PagePath(name);
    for (auto _ : state) {
        PX_StartColorEdit(620, 877, 255, 255, 255);
        if (PX_ColorEditMergeImageEx(path.c_str(), 1, -1, -1, -1, -1, -1, -1, -1, -1) != 0)
            state.SkipWithError("merge failed");
        PX_ColorEditEnd(0);
    }
}

BENCHMARK_CAPTURE(Pixdoc, rgb, "a4_150_rgb.tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Libtiff, rgb, "a4_150_rgb.tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pixdoc, grey_packbits, "a4_150_grey_packbits.tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Libtiff, grey_packbits, "a4_150_grey_packbits.tif")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PixdocMerge, rgb_half, "a4_150_rgb.tif")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(
        argc, argv,
        {{"Pixdoc/rgb", "Libtiff/rgb"}, {"Pixdoc/grey_packbits", "Libtiff/grey_packbits"}});
}
