// The per-page work of the acquisition loop on an A4 300 dpi bilevel page of 11-point text with a
// Code 39 label, without deskew: the loop's own page handling (append as Group 4 to the
// document, separator search through a hidden Barlynx control with the demo job's mask and
// separators, scan report), fed by a source that hands the loop the same page for every
// iteration, against libtiff appending the same page as Group 4 to its own document, reading it
// back and ZXing-cpp searching it for Code 39, in the same run. Documents change every 20 pages
// as the job's MAXDOC_NUM says. After the run the medians of wall-clock and CPU time are printed
// per page with their ratios to the peer's. Counter: found = labels read / labels on the page.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "acquisition/acquisition_loop.h"
#include "acquisition/identification_model.h"
#include "acquisition/scanner/page_pix.h"
#include "app/text_lookup.h"
#include "bench/ratio_reporter.h"
#include "config/job_config_reader.h"
#include "config/utilita.h"
#include "operator/scripted_operator.h"
#include "transfer/barlynx_factory.h"
#include "transfer/separation.h"

namespace {

using namespace scantora;

constexpr int kDpi = 300;
constexpr int kRepetitions = 7;
constexpr const char* kPagesPerDocument = "20";
constexpr const char* kLabel = "INV4711";
constexpr int kEndScanning = 2;  // the third button of the end-of-document choice

const std::string kBenchDir = std::string(BENCH_BINARY_DIR) + "/loop_page";

const Page& ThePage() {
    static const Page page = [] {
        const std::string path =
            bench::MadePage("loop_pages", "loop_a4_300_g4.tif", "make_loop_page.sh");
        Page loaded;
        if (LoadPage(path, 1, 0, loaded) != ImagingStatus::kOk)
            std::fprintf(stderr, "cannot load %s\n", path.c_str());
        // The page file carries no resolution; the scanner's goes into the document.
        if (PIX* pix = PageAccess::Pix(loaded)) pixSetResolution(pix, kDpi, kDpi);
        return loaded;
    }();
    return page;
}

// A source that gives the loop one page per benchmark iteration within one acquisition, so
// that the timing covers the loop's handling of a page and nothing of a start.
class IterationFeeder final : public ImagingControl {
public:
    explicit IterationFeeder(benchmark::State& state) : state_(state) {}

    void RefreshSources() override {}
    int SourceCount() override { return 1; }
    std::string SourceName(int index) override { return index == 0 ? "bench" : ""; }
    bool SelectSource(std::string_view) override { return true; }
    std::string SelectedSource() const override { return "bench"; }
    void SetScannerValues(const ScannerValues&) override {}
    ScannerValues ReadScannerValues() override {
        ScannerValues values;
        values.resolution = kDpi;
        return values;
    }
    ImagingStatus ApplyScannerValues() override { return ImagingStatus::kOk; }
    ScannerLimits ReadScannerLimits() override { return {}; }
    void SetPagesToAcquire(int) override {}
    int DuplexCapability() override { return kNoDuplex; }
    void SetDuplex(bool) override {}
    void SetDialogMode(DialogMode) override {}
    void SetOptionsDialog(ScanOptionsDialog*) override {}
    ImagingStatus Acquire(const PageHandler& on_page) override {
        Page page = ThePage().Clone();
        for (auto _ : state_)
            if (on_page(page) == PageAction::kStop) state_.SkipWithError("the loop stopped");
        return ImagingStatus::kOk;
    }
    void RequestStop() override {}
    void CloseSource() override {}
    std::string LastErrorText() const override { return {}; }

private:
    benchmark::State& state_;
};

// The demo job, scanning into the benchmark's folder.
JobRecord DemoJob(Operator& op, const InterfaceTexts& texts) {
    Utilita utilita;
    const std::filesystem::path setup = std::string(SCANTORA_SOURCE_DIR) + "/demo/setup";
    if (ReadJobConfig(utilita, setup, "P_G32001", {}, op, texts) != JobReadResult::kOk)
        std::fprintf(stderr, "cannot read the demo job\n");
    utilita.job.disco_scarico = kBenchDir + "/work/";
    utilita.job.maxdoc_num = kPagesPerDocument;
    return utilita.job;
}

void LoopPage(benchmark::State& state) {
    std::filesystem::remove_all(kBenchDir);
    std::filesystem::create_directories(kBenchDir + "/work");
    const TextLookup texts;
    ScriptedOperator op;
    const JobRecord job = DemoJob(op, texts);
    const ScannerSettings scanner;  // no inversion, deskew or rotation
    IdentificationModel identification(job, texts, op);
    const std::vector<std::string> codes = {"0001", "A00001"};
    identification.Initialise("", codes);
    Separation separation(job, op, BarlynxSeparatorReader(job, op));
    IterationFeeder feeder(state);
    AcquisitionOptions options;
    options.setup_dir = kBenchDir;
    AcquisitionLoop loop({job, scanner, texts, op, feeder, identification, &separation}, options);
    op.QueueChoices({kEndScanning});
    op.QueueYesNo({false});
    const ScanResult result = loop.Start();
    if (result.images != static_cast<int>(state.iterations()))
        state.SkipWithError("the loop did not save every page");
    if (!op.Messages().empty()) state.SkipWithError(op.Messages().front().c_str());
    // What the separator search of the last page found, read again outside the timing.
    const BarcodeRead read =
        BarlynxSeparatorReader(job, op)(loop.document_file(), static_cast<int16_t>(1));
    state.counters["found"] = read.text.find(std::string("*") + kLabel + "*") != std::string::npos;
}

// The peer: libtiff appends the page to a document and reads it back; ZXing-cpp reads Code 39.
class PeerDocument {
public:
    PeerDocument() : path_(kBenchDir + "/peer.tif") {
        std::filesystem::create_directories(kBenchDir);
        std::filesystem::remove(path_);
        const Page& page = ThePage();
        width_ = page.Width();
        height_ = page.Height();
        rows_.resize(static_cast<size_t>(page.BytesPerRow()) * height_);
        for (int y = 0; y < height_; ++y)
            page.ReadRow(y, {rows_.data() + static_cast<size_t>(y) * page.BytesPerRow(),
                             static_cast<size_t>(page.BytesPerRow())});
    }
    ~PeerDocument() { std::filesystem::remove(path_); }

    bool Append() {
        TIFF* tif = TIFFOpen(path_.c_str(), "a");
        if (!tif) return false;
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width_);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height_);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);  // a set bit is black
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height_);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(kDpi));
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(kDpi));
        const size_t stride = rows_.size() / height_;
        bool ok = true;
        for (int y = 0; y < height_ && ok; ++y)
            ok = TIFFWriteScanline(tif, rows_.data() + y * stride, y, 0) == 1;
        TIFFClose(tif);
        if (ok) ++pages_;
        return ok;
    }

    // The last page, decoded to grey and searched; the text of the reads, one per line.
    std::string ReadLastPage() {
        TIFF* tif = TIFFOpen(path_.c_str(), "r");
        if (!tif) return {};
        std::string texts;
        if (TIFFSetDirectory(tif, static_cast<tdir_t>(pages_ - 1))) {
            std::vector<uint8_t> row(TIFFScanlineSize(tif));
            grey_.resize(static_cast<size_t>(width_) * height_);
            for (int y = 0; y < height_; ++y) {
                TIFFReadScanline(tif, row.data(), y);
                for (int x = 0; x < width_; ++x)
                    grey_[y * width_ + x] = (row[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
            }
            ZXing::DecodeHints hints;
            hints.setFormats(ZXing::BarcodeFormat::Code39);
            hints.setTryHarder(true);
            hints.setTryRotate(false);
            const ZXing::ImageView view(grey_.data(), width_, height_, ZXing::ImageFormat::Lum);
            for (const auto& result : ZXing::ReadBarcodes(view, hints))
                texts += result.text() + "\n";
        }
        TIFFClose(tif);
        return texts;
    }

    // Starts a new document every kPagesPerDocument pages, as the loop does.
    void Turn(benchmark::State& state) {
        if (pages_ < std::atoi(kPagesPerDocument)) return;
        state.PauseTiming();
        std::filesystem::remove(path_);
        pages_ = 0;
        state.ResumeTiming();
    }

private:
    std::string path_;
    int width_ = 0;
    int height_ = 0;
    int pages_ = 0;
    std::vector<uint8_t> rows_;
    std::vector<uint8_t> grey_;
};

void LibtiffZXingPage(benchmark::State& state) {
    PeerDocument document;
    std::string texts;
    for (auto _ : state) {
        if (!document.Append()) state.SkipWithError("TIFFWriteScanline failed");
        texts = document.ReadLastPage();
        benchmark::DoNotOptimize(texts);
        document.Turn(state);
    }
    state.counters["found"] = texts.find(kLabel) != std::string::npos;
}

BENCHMARK(LibtiffZXingPage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(kRepetitions);
BENCHMARK(LoopPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(kRepetitions);

}  // namespace

int main(int argc, char** argv) {
    // The separator search creates its Barlynx control from the library built beside.
    setenv(kBarlynxLibraryVariable, BARLYNX_LIBRARY, 0);
    return bench::RunWithRatios(argc, argv, {{"LoopPage", "LibtiffZXingPage"}});
}
