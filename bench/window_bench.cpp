// Repainting the image window: an A4 300 dpi Group 4 text page fitted into a 1000 x 1400 view,
// and the page's bottom-right corner at four times that zoom (the worst corner: every line above
// it is decoded to reach it), stored minimum-is-white as scanners store it, so that the reduced
// view ORs its rows together; the painting is shown to a host that keeps nothing. The peer, in
// the same run, is libtiff producing the same view: TIFFReadRGBAImage of the page sampled at the
// same scales for the fitted view, and the page's scanlines down to the corner's last row
// sampled the same way for the corner. The page is made on first use by make_window_page.sh.
// Medians of several repetitions; after the run the CPU times (the machine may be shared) are
// printed as ratios to the peer's.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "pixdoc32.h"
#include "pixdoc32_window_host.h"

namespace {

constexpr int32_t kViewWidth = 1000;
constexpr int32_t kViewHeight = 1400;
constexpr int32_t kCornerZoom = 4;
constexpr int kRepetitions = 9;

const std::string& PagePath() {
    static const std::string path =
        bench::MadePage("bilevel_pages", "text_a4_300_g4_white.tif", "make_window_page.sh");
    return path;
}

// A host with one window of the view's size that throws the pixels away.
struct NullHost {
    NullHost() {
        PixdocWindowHost h{};
        h.create_window = [](void*, PixdocWindow, int32_t, int32_t, int32_t, int32_t, int32_t,
                             int32_t, const char*) -> PixdocWindow { return 1; };
        h.client_size = [](void*, PixdocWindow, int32_t* w, int32_t* hh) {
            *w = kViewWidth;
            *hh = kViewHeight;
        };
        h.show_pixels = [](void*, PixdocWindow, const uint32_t* p, int32_t, int32_t, int32_t) {
            benchmark::DoNotOptimize(p);
        };
        PX_SetWindowHost(&h);
        PX_StartImageWindow(0, 1, 0, 0, 0, 0);
    }
};

// The view: scales and first column and row, as the window chose them.
struct View {
    int32_t scale = 2048, first_column = 0, first_row = 0, columns = 0, rows = 0;
};

// Loads the page into the window and shows the fitted view or the zoomed corner.
View ShowPage(bool corner) {
    static NullHost host;
    PX_SetImagePage(PagePath().c_str());
    ImageHeader h{};
    OpenImageHeader(0, PagePath().c_str(), 1, &h);
    View v;
    v.scale = std::min(kViewWidth * 2048 / h.width, kViewHeight * 2048 / h.height);
    if (corner) {
        v.scale *= kCornerZoom;
        v.columns = kViewWidth * 2048 / v.scale;
        v.rows = kViewHeight * 2048 / v.scale;
        v.first_column = h.width - v.columns;
        v.first_row = h.height - v.rows;
        PX_SetDisplayImageArea(v.first_column, v.first_row, h.width, h.height);
    } else {
        v.columns = h.width;
        v.rows = h.height;
    }
    return v;
}

void PixdocRepaint(benchmark::State& state, bool corner) {
    ShowPage(corner);
    const PixdocWindow w = PX_GetImageWindowHandle();
    for (auto _ : state)
        if (PX_WindowPaint(w) != 0) state.SkipWithError("repaint failed");
}

// Samples rows of 1-bit pixels (min-is-white, 1 black) into the view the window shows.
class Sampler {
public:
    explicit Sampler(const View& v) : v_(v), pixels_(size_t(kViewWidth) * kViewHeight) {
        for (int32_t x = 0; x < kViewWidth; ++x) {
            const int64_t c = v.first_column + (int64_t(x) * 2048 + 1023) / v.scale;
            if (c < v.first_column + v.columns) source_.push_back(int32_t(c));
        }
    }
    // The view rows that show page row `row`.
    void Row(int32_t row, const uint8_t* bits) {
        for (int32_t y = NextY(); y < kViewHeight && SourceRow(y) == row; y = ++next_y_) {
            uint32_t* out = &pixels_[size_t(y) * kViewWidth];
            for (size_t x = 0; x < source_.size(); ++x)
                out[x] = (bits[source_[x] >> 3] >> (7 - (source_[x] & 7))) & 1 ? 0xFF000000u
                                                                               : 0xFFFFFFFFu;
        }
    }
    void Restart() { next_y_ = 0; }
    int32_t LastRow() const { return v_.first_row + v_.rows - 1; }
    const uint32_t* Pixels() const { return pixels_.data(); }

private:
    int32_t SourceRow(int32_t y) const {
        return v_.first_row + int32_t((int64_t(y) * 2048 + 1023) / v_.scale);
    }
    int32_t NextY() const { return next_y_; }
    View v_;
    std::vector<uint32_t> pixels_;
    std::vector<int32_t> source_;
    int32_t next_y_ = 0;
};

void LibtiffRgbaFitted(benchmark::State& state) {
    const View v = ShowPage(false);
    TIFF* tif = TIFFOpen(PagePath().c_str(), "r");
    if (!tif) return state.SkipWithError("cannot open the page");
    uint32_t width = 0, height = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    std::vector<uint32_t> rgba(size_t(width) * height);
    std::vector<uint32_t> view(size_t(kViewWidth) * kViewHeight);
    std::vector<int32_t> source_x;
    for (int32_t x = 0; x < kViewWidth; ++x) {
        const int64_t c = (int64_t(x) * 2048 + 1023) / v.scale;
        if (c < int64_t(width)) source_x.push_back(int32_t(c));
    }
    for (auto _ : state) {
        TIFFReadRGBAImageOriented(tif, width, height, rgba.data(), ORIENTATION_TOPLEFT, 0);
        for (int32_t y = 0; y < kViewHeight; ++y) {
            const int64_t r = (int64_t(y) * 2048 + 1023) / v.scale;
            if (r >= int64_t(height)) break;
            const uint32_t* in = &rgba[size_t(r) * width];
            uint32_t* out = &view[size_t(y) * kViewWidth];
            for (size_t x = 0; x < source_x.size(); ++x)
                out[x] = in[source_x[x]];
        }
        benchmark::DoNotOptimize(view.data());
    }
    TIFFClose(tif);
}

void LibtiffScanlinesCorner(benchmark::State& state) {
    const View v = ShowPage(true);
    TIFF* tif = TIFFOpen(PagePath().c_str(), "r");
    if (!tif) return state.SkipWithError("cannot open the page");
    std::vector<uint8_t> line(size_t(TIFFScanlineSize(tif)));
    Sampler sampler(v);
    for (auto _ : state) {
        sampler.Restart();
        // Group 4 lines depend on the line above: every line down to the corner is decoded.
        for (int32_t row = 0; row <= sampler.LastRow(); ++row) {
            TIFFReadScanline(tif, line.data(), uint32_t(row), 0);
            if (row >= v.first_row) sampler.Row(row, line.data());
        }
        benchmark::DoNotOptimize(sampler.Pixels());
    }
    TIFFClose(tif);
}

BENCHMARK(LibtiffRgbaFitted)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(PixdocRepaint, Fitted, false)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(LibtiffScanlinesCorner)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(PixdocRepaint, ZoomedCorner, true)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(argc, argv,
                                {{"PixdocRepaint/Fitted", "LibtiffRgbaFitted"},
                                 {"PixdocRepaint/ZoomedCorner", "LibtiffScanlinesCorner"}});
}
