// Compares, on one corpus and in one run, the barcode search as the reader control calls it
// (every symbology, thresholds by default, span 4, minimum length 4, 32 results, zone height
// 100, grey threshold 128), the same search in the adaptive mode, and ZXing-cpp reading the
// linear formats (DataBar aside) with tryHarder. Reports per symbology the symbols
// read, false reads and reads per symbol found, and each reader's time.
//   barcode_corpus_compare PAGES.TXT      (bench/make_barcode_corpus.sh writes it)
// Times: from the page file to the reads, decoding included: pixdoc32 reads the file itself
// (colour pages merged into the colour edit buffer), ZXing-cpp is given the page as libtiff,
// libjpeg-turbo or a plain BMP reader decode it (GIF pages: the colour edit buffer's merge).
// Quarter-turned pages are searched in direction 1, and ZXing-cpp tries rotations on them only.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <jpeglib.h>
#include <tiffio.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/colour/colour_edit.h"
#include "pixdoc32.h"

namespace {

constexpr int16_t kAllSymbologies = 2047;
constexpr int32_t kNothingFound = 32;
constexpr int32_t kNotBilevel = 3;
constexpr int32_t kWholePage = -1;
constexpr int32_t kWhite = 255;
constexpr int32_t kGreyThreshold = 128;
constexpr int kResultSize = 32767;

struct Page {
    std::string name, file, symbology;
    int direction = 0;
    std::vector<std::string> labels;
};

struct GreyImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

std::vector<Page> ReadManifest(const char* path) {
    std::vector<Page> pages;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        auto f = Split(line, '|');
        if (f.size() < 4) continue;
        Page p{f[0], f[1], f[3]};
        p.direction = std::stoi(f[2]);
        if (f.size() > 4)
            for (auto& l : Split(f[4], ';'))
                if (!l.empty()) p.labels.push_back(l);
        pages.push_back(std::move(p));
    }
    return pages;
}

bool EndsWith(const std::string& text, const char* end) {
    const size_t n = std::strlen(end);
    return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

bool DecodeTiff(const std::string& path, GreyImage& image) {
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif) return false;
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    std::vector<uint32_t> rgba(static_cast<size_t>(w) * h);
    const bool ok = TIFFReadRGBAImageOriented(tif, w, h, rgba.data(), ORIENTATION_TOPLEFT, 0);
    TIFFClose(tif);
    image.width = static_cast<int>(w);
    image.height = static_cast<int>(h);
    image.pixels.resize(rgba.size());
    for (size_t i = 0; i < rgba.size(); ++i)
        image.pixels[i] = static_cast<uint8_t>(
            (TIFFGetR(rgba[i]) * 77 + TIFFGetG(rgba[i]) * 150 + TIFFGetB(rgba[i]) * 29) >> 8);
    return ok;
}

bool DecodeJpeg(const std::string& path, GreyImage& image) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&info);
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            image.pixels.data() + static_cast<size_t>(info.output_scanline) * image.width;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return true;
}

// Uncompressed 24-bit BMP, rows bottom up, as the corpus writes them.
bool DecodeBmp(const std::string& path, GreyImage& image) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), {});
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(data[at] | data[at + 1] << 8 | data[at + 2] << 16 |
                                     data[at + 3] << 24);
    };
    if (data.size() < 54 || data[0] != 'B' || data[1] != 'M' || data[28] != 24) return false;
    const uint32_t offset = u32(10);
    image.width = static_cast<int>(u32(18));
    image.height = static_cast<int>(u32(22));
    const size_t stride = (static_cast<size_t>(image.width) * 3 + 3) & ~size_t{3};
    if (offset + stride * image.height > data.size()) return false;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = data.data() + offset + stride * (image.height - 1 - y);
        for (int x = 0; x < image.width; ++x)
            image.pixels[static_cast<size_t>(y) * image.width + x] = static_cast<uint8_t>(
                (row[3 * x + 2] * 77 + row[3 * x + 1] * 150 + row[3 * x] * 29) >> 8);
    }
    return true;
}

// No peer GIF decoder is installed: the colour edit buffer's merge decodes it.
bool DecodeWithPixdoc(const std::string& path, GreyImage& image) {
    int32_t width = 0, height = 0;
    if (PXGetImageInfoExtended(path.c_str(), 1, &width, &height, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr) != 0)
        return false;
    if (PX_StartColorEdit(width, height, kWhite, kWhite, kWhite) != 0) return false;
    const bool ok =
        PX_ColorEditMergeImageEx(path.c_str(), 1, kWholePage, kWholePage, kWholePage, kWholePage,
                                 kWholePage, kWholePage, kWholePage, kWholePage) == 0;
    const std::vector<uint8_t> rgb = pixdoc::ColourEdit().pixels;
    PX_ColorEditEnd(0);
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<uint8_t>(
            (rgb[3 * i] * 77 + rgb[3 * i + 1] * 150 + rgb[3 * i + 2] * 29) >> 8);
    return ok;
}

// The page as ZXing-cpp is given it: libtiff, libjpeg-turbo or a plain BMP reader.
bool DecodePage(const Page& page, GreyImage& image) {
    if (EndsWith(page.file, ".tif")) return DecodeTiff(page.file, image);
    if (EndsWith(page.file, ".jpg")) return DecodeJpeg(page.file, image);
    if (EndsWith(page.file, ".bmp")) return DecodeBmp(page.file, image);
    return DecodeWithPixdoc(page.file, image);
}

// The data of each read in a result text: the text between the first two asterisks of each
// piece ended by ">". Read-backwards marks are dropped.
std::vector<std::string> ResultReads(std::string text) {
    for (char& c : text)
        c = static_cast<char>(c & 0x7f);
    std::vector<std::string> reads;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('>', from);
        if (end == std::string::npos) end = text.size();
        std::string piece = text.substr(from, end - from);
        size_t a = piece.find('*');
        size_t b = a == std::string::npos ? a : piece.find('*', a + 1);
        if (b != std::string::npos) reads.push_back(piece.substr(a + 1, b - a - 1));
        from = end + 1;
    }
    return reads;
}

std::vector<std::string> SearchPixdoc(const Page& page) {
    std::vector<char> result(kResultSize);
    const auto direction = static_cast<int16_t>(page.direction);
    int32_t r = PXinSeekBarCode(page.file.c_str(), 1, 0, 0, 0, 0, direction, kAllSymbologies, 0, 0,
                                4, 4, 32, result.data(), static_cast<int16_t>(kResultSize));
    if (r == kNotBilevel) {
        int32_t width = 0, height = 0;
        r = PXGetImageInfoExtended(page.file.c_str(), 1, &width, &height, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr);
        if (r == 0 && PX_StartColorEdit(width, height, kWhite, kWhite, kWhite) == 0) {
            r = PX_ColorEditMergeImageEx(page.file.c_str(), 1, kWholePage, kWholePage, kWholePage,
                                         kWholePage, kWholePage, kWholePage, kWholePage,
                                         kWholePage);
            if (r == 0)
                r = PX_ColorEditSeekBarCode(0, 0, width, height, direction, kAllSymbologies, 0, 0,
                                            4, 4, 32, result.data(), kResultSize, kGreyThreshold);
            PX_ColorEditEnd(0);
        }
    }
    if (r != 0) {
        if (r != kNothingFound)
            std::fprintf(stderr, "%s: search failed (%d)\n", page.name.c_str(), r);
        return {};
    }
    return ResultReads(result.data());
}

std::vector<std::string> SearchZXing(const Page& page, const GreyImage& image, bool downscale) {
    ZXing::DecodeHints hints;
    // The linear formats without DataBar, whose results trip an assertion of ZXing-cpp 1.4
    // (zxing-cpp issue 516).
    using F = ZXing::BarcodeFormat;
    hints.setFormats(F::Codabar | F::Code39 | F::Code93 | F::Code128 | F::EAN8 | F::EAN13 | F::ITF |
                     F::UPCA | F::UPCE);
    hints.setTryHarder(true);
    hints.setTryRotate(page.direction != 0);
    hints.setTryDownscale(downscale);
    ZXing::ImageView view(image.pixels.data(), image.width, image.height, ZXing::ImageFormat::Lum);
    std::vector<std::string> reads;
    for (const auto& r : ZXing::ReadBarcodes(view, hints))
        reads.push_back(r.text());
    return reads;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Reads the page with ZXing-cpp in a child process; false when the child did not end normally.
bool ZXingInChild(const Page& page, const GreyImage& image, bool downscale,
                  std::vector<std::string>& reads, double& seconds) {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const auto start = std::chrono::steady_clock::now();
        const auto found = SearchZXing(page, image, downscale);
        std::string out = std::to_string(Seconds(start)) + "\n";
        for (std::string r : found) {
            std::replace(r.begin(), r.end(), '\n', ' ');
            out += r + "\n";
        }
        for (size_t done = 0; done < out.size();) {
            const ssize_t n = write(fds[1], out.data() + done, out.size() - done);
            if (n <= 0) _exit(1);
            done += static_cast<size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string text;
    char chunk[4096];
    for (ssize_t n; (n = read(fds[0], chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    reads = Split(text, '\n');
    seconds = std::stod(reads.at(0));
    reads.erase(reads.begin());
    return true;
}

// ZXing-cpp 1.4 as packaged keeps its assertions, and one of them fails when the same linear
// symbol is found twice in certain ways (zxing-cpp issues 516 and 740, mended in later
// releases). Each page is read in a child process; a page whose child aborts is read again
// without the downscaled passes (counted in `fallbacks`), and a page that aborts that too gives
// no read (counted in `aborted`).
std::vector<std::string> TimedZXing(const Page& page, const GreyImage& image, double& seconds,
                                    int& fallbacks, int& aborted) {
    std::vector<std::string> reads;
    if (ZXingInChild(page, image, true, reads, seconds)) return reads;
    ++fallbacks;
    if (ZXingInChild(page, image, false, reads, seconds)) return reads;
    ++aborted;
    seconds = 0;
    return {};
}

bool Matches(const std::string& read, const std::string& label) {
    if (read == label || read == "0" + label) return true;
    // Codabar start and stop characters, which some readers report and some do not.
    const std::string codabar_ends = "ABCDTNE*abcdtne";
    if (read.size() > 2 && codabar_ends.find(read.front()) != std::string::npos &&
        codabar_ends.find(read.back()) != std::string::npos)
        return read.substr(1, read.size() - 2) == label;
    return false;
}

struct Tally {
    int symbols = 0;
    int found = 0;
    int true_reads = 0;
    int false_reads = 0;
    double seconds = 0;
};

// Adds one page's reads to `tally`; false reads are listed on stderr.
void Count(const Page& page, const std::vector<std::string>& reads, const char* reader,
           Tally& tally) {
    std::set<std::string> found;
    tally.symbols += static_cast<int>(page.labels.size());
    for (const auto& read : reads) {
        bool matched = false;
        for (const auto& label : page.labels)
            if (Matches(read, label)) {
                matched = true;
                found.insert(label);
            }
        if (matched) {
            ++tally.true_reads;
        } else {
            ++tally.false_reads;
            std::fprintf(stderr, "false read (%s) %s: [%s]\n", reader, page.name.c_str(),
                         read.c_str());
        }
    }
    tally.found += static_cast<int>(found.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: barcode_corpus_compare PAGES.TXT\n", stderr);
        return 2;
    }
    const std::vector<Page> pages = ReadManifest(argv[1]);
    if (pages.empty()) {
        std::fprintf(stderr, "no pages in %s\n", argv[1]);
        return 1;
    }
    enum { kDescribed, kAdaptive, kZXing, kReaders };
    const char* names[kReaders] = {"described", "adaptive", "zxing"};
    std::map<std::string, Tally> tallies[kReaders];
    std::vector<std::string> order;
    int zxing_fallbacks = 0;
    int zxing_aborted = 0;
    double zxing_detect_seconds = 0;

    PXinSeekBarCodeInsertData(1);
    BarcodeMultipleSetZoneHeight(100);
    const bool verbose = std::getenv("COMPARE_VERBOSE") != nullptr;
    for (const Page& page : pages) {
        if (tallies[kDescribed].count(page.symbology) == 0) order.push_back(page.symbology);
        double page_seconds[kReaders] = {};
        int page_found[kReaders] = {};
        for (int reader = 0; reader < kReaders; ++reader) {
            Tally& tally = tallies[reader][page.symbology];
            page_seconds[reader] = tally.seconds;
            page_found[reader] = tally.found;
            std::vector<std::string> reads;
            if (reader == kZXing) {
                const auto start = std::chrono::steady_clock::now();
                GreyImage image;
                if (!DecodePage(page, image)) {
                    std::fprintf(stderr, "%s: cannot decode\n", page.name.c_str());
                    return 1;
                }
                const double decoding = Seconds(start);
                double seconds = 0;
                reads = TimedZXing(page, image, seconds, zxing_fallbacks, zxing_aborted);
                tally.seconds += decoding + seconds;
                zxing_detect_seconds += seconds;
            } else {
                PXinSeekBarCodeAdaptive(reader == kAdaptive ? 1 : 0);
                const auto start = std::chrono::steady_clock::now();
                reads = SearchPixdoc(page);
                tally.seconds += Seconds(start);
            }
            Count(page, reads, names[reader], tally);
            page_seconds[reader] = tally.seconds - page_seconds[reader];
            page_found[reader] = tally.found - page_found[reader];
        }
        if (verbose)
            std::fprintf(stderr, "%-50s %7.3f %7.3f %7.3f  found %d %d %d of %zu\n",
                         page.name.c_str(), page_seconds[0], page_seconds[1], page_seconds[2],
                         page_found[0], page_found[1], page_found[2], page.labels.size());
    }

    std::printf("%-9s %7s | %-26s | %-26s | %-26s\n", "", "", "described search", "adaptive mode",
                "ZXing-cpp (tryHarder)");
    std::printf("%-9s %7s | %6s %5s %6s %6s | %6s %5s %6s %6s | %6s %5s %6s %6s\n", "symbology",
                "symbols", "read", "false", "/symb", "sec", "read", "false", "/symb", "sec", "read",
                "false", "/symb", "sec");
    Tally totals[kReaders];
    for (const std::string& s : order) {
        std::printf("%-9s %7d", s.c_str(), tallies[kDescribed][s].symbols);
        for (int reader = 0; reader < kReaders; ++reader) {
            const Tally& t = tallies[reader][s];
            const double per_symbol = t.found ? static_cast<double>(t.true_reads) / t.found : 0;
            std::printf(" | %6d %5d %6.2f %6.2f", t.found, t.false_reads, per_symbol, t.seconds);
            totals[reader].symbols += t.symbols;
            totals[reader].found += t.found;
            totals[reader].true_reads += t.true_reads;
            totals[reader].false_reads += t.false_reads;
            totals[reader].seconds += t.seconds;
        }
        std::printf("\n");
    }
    std::printf("%-9s %7d", "total", totals[kDescribed].symbols);
    for (const Tally& t : totals) {
        const double per_symbol = t.found ? static_cast<double>(t.true_reads) / t.found : 0;
        std::printf(" | %6d %5d %6.2f %6.2f", t.found, t.false_reads, per_symbol, t.seconds);
    }
    std::printf("\n%zu pages; time against ZXing-cpp: described %.2f, adaptive %.2f\n",
                pages.size(), totals[kDescribed].seconds / totals[kZXing].seconds,
                totals[kAdaptive].seconds / totals[kZXing].seconds);
    std::printf("ZXing-cpp without decoding the pages: %.2f s (adaptive against it %.2f)\n",
                zxing_detect_seconds, totals[kAdaptive].seconds / zxing_detect_seconds);
    std::printf(
        "ZXing-cpp pages read again without downscaling after its assertion: %d; pages on "
        "which it failed its assertion both times (no read): %d\n",
        zxing_fallbacks, zxing_aborted);
    return 0;
}
