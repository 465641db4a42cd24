// The per-page work of a scan on an A4 300 dpi bilevel page of 11-point text lines:
// appending it as Group 4 to a multi-page document (flushed to the disk before and after the
// link), and the same after a deskew of a page lying 1.5 degrees off, against Leptonica
// appending the same page to its own document with pixWriteTiff, in the same run. Documents
// are started again every 20 pages. Times are wall-clock (the flushes wait for the disk);
// after the run the medians of wall-clock and CPU time (the machine may be shared) are
// printed with their ratios to Leptonica's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "acquisition/scanner/page_pix.h"
#include "bench/ratio_reporter.h"

namespace {

using namespace scantora;

constexpr int kPagesPerDocument = 20;
constexpr int kSkewHundredths = 150;
constexpr int kRepetitions = 7;
constexpr int kDpi = 300;

const Page& ThePage() {
    static const Page page = [] {
        const std::string path = bench::MadePage("bilevel_pages", "text_a4_300_g4_11pt.tif",
                                                 "make_bilevel_page.sh", "11");
        Page loaded;
        if (LoadPage(path, 1, 0, loaded) != ImagingStatus::kOk)
            std::fprintf(stderr, "cannot load %s\n", path.c_str());
        // The page file carries no resolution; the scanner's goes into the document.
        PIX* pix = PageAccess::Pix(loaded);
        if (pix) pixSetResolution(pix, kDpi, kDpi);
        return loaded;
    }();
    return page;
}

const Page& TheSkewedPage() {
    static const Page page = [] {
        Page skewed = ThePage().Clone();
        skewed.Rotate(kSkewHundredths, false, 0xFFFFFF);
        return skewed;
    }();
    return page;
}

// A document that starts afresh every kPagesPerDocument pages, outside the timing.
class Document {
public:
    explicit Document(const char* name)
        : path_(std::string(BENCH_BINARY_DIR) + "/scanner_bench_" + name + ".tif") {
        std::filesystem::remove(path_);
    }
    ~Document() { std::filesystem::remove(path_); }
    void Turn(benchmark::State& state) {
        if (++pages_ < kPagesPerDocument) return;
        state.PauseTiming();
        std::filesystem::remove(path_);
        pages_ = 0;
        state.ResumeTiming();
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int pages_ = 0;
};

void LeptonicaAppend(benchmark::State& state) {
    Document document("leptonica");
    PIX* pix = PageAccess::Pix(ThePage());
    for (auto _ : state) {
        if (pixWriteTiff(document.path().c_str(), pix, IFF_TIFF_G4, "a") != 0)
            state.SkipWithError("pixWriteTiff failed");
        document.Turn(state);
    }
}

void ScantoraAppend(benchmark::State& state) {
    Document document("append");
    Page page = ThePage().Clone();
    for (auto _ : state) {
        if (page.Save(document.path(), kFormatTiff, 1, kTiffQuality, kSaveAppend) !=
            ImagingStatus::kOk)
            state.SkipWithError("save failed");
        document.Turn(state);
    }
}

void ScantoraDeskewAppend(benchmark::State& state) {
    Document document("deskew");
    double angle = 0;
    for (auto _ : state) {
        Page page = TheSkewedPage().Clone();
        angle = page.Deskew();
        if (page.Save(document.path(), kFormatTiff, 1, kTiffQuality, kSaveAppend) !=
            ImagingStatus::kOk)
            state.SkipWithError("save failed");
        document.Turn(state);
    }
    state.counters["angle"] = angle;
}

BENCHMARK(LeptonicaAppend)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(kRepetitions);
BENCHMARK(ScantoraAppend)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(kRepetitions);
BENCHMARK(ScantoraDeskewAppend)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(kRepetitions);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunWithRatios(
        argc, argv,
        {{"ScantoraAppend", "LeptonicaAppend"}, {"ScantoraDeskewAppend", "LeptonicaAppend"}});
}
