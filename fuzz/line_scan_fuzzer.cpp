// Fuzzes the per-line scan (every decoder of the registry through the threshold sweep and the
// result filter, and in the adaptive mode through the thresholds measured at each bar start, the
// validation of reads and the one-read-per-symbol filter) with arbitrary change lists, thresholds
// and options, and checks that no decoder's shortcuts (quick rejection, memos) change its answer on
// the list.
//
// Input: a 16-byte head, then little-endian 16-bit positions.
//   0-1 mask, 2 first threshold, 3 second threshold (Code 128/93), 4 second (UPC/EAN),
//   5 span (low 3 bits), 6 flags (bit 0 no single bits, bit 1 insert data, bit 2 Code 128
//   without check character), 7 zone height, 8 minimum length (low 4 bits), 9 max results,
//   10-11 right edge, 12-13 result buffer size (low 10 bits), 14 Codabar minimum, 15 flags
//   (bit 0 the adaptive mode).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/barcode/line_scan.h"
#include "imaging/barcode/registry.h"
#include "imaging/barcode/result_filter.h"
#include "tests/imaging/barcode/shortcut_check.h"

namespace {

constexpr size_t kHead = 16;
constexpr size_t kMaxPositions = 8192;
constexpr int kBufferLimit = 1024;
// Bar starts checked for shortcuts: the first few, where the step begins on a line.
constexpr int kCheckedBarStarts = 4;

int16_t Read16(const uint8_t* p) {
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pixdoc::barcode;
    if (size < kHead) return 0;
    DecoderOptions options;
    options.code128_no_checksum = (data[6] >> 2) & 1;
    options.codabar_min_size = static_cast<int8_t>(data[14]);

    StepSettings step;
    step.mask = static_cast<uint16_t>(data[0] | (data[1] << 8));
    step.thresholds.first = static_cast<int8_t>(data[2]);
    step.thresholds.code128_93 = static_cast<int8_t>(data[3]);
    step.thresholds.upc_ean = static_cast<int8_t>(data[4]);
    step.thresholds.span = data[5] & 7;
    step.no_single_bits = data[6] & 1;
    step.adaptive = data[15] & 1;

    FilterSettings filter_settings;
    filter_settings.insert_data = (data[6] >> 1) & 1;
    filter_settings.zone_height = data[7];
    filter_settings.min_length = data[8] & 15;
    filter_settings.max_results = 1 + data[9] % 128;
    const int right_edge = Read16(data + 10);
    const int buffer_size = (data[12] | (data[13] << 8)) % kBufferLimit;

    // The frame's form: two zeros, the positions, four copies of the right edge.
    size_t positions = (size - kHead) / 2;
    if (positions > kMaxPositions) positions = kMaxPositions;
    std::vector<int16_t> list(kChangeListLead + positions + kChangeListSentinels);
    for (size_t i = 0; i < positions; ++i)
        list[kChangeListLead + i] = Read16(data + kHead + 2 * i);
    const int count = static_cast<int>(kChangeListLead + positions);
    for (int i = 0; i < kChangeListSentinels; ++i)
        list[count + i] = static_cast<int16_t>(right_edge);

    // The result buffer is a heap block of exactly its size: ASan sees any overflow.
    std::vector<char> buffer(buffer_size > 0 ? buffer_size : 1);
    ResultFilter filter(buffer.data(), buffer_size, filter_settings);
    BarcodeStatus status;
    DecodeContext context{options};
    LineScanner scanner(step, context, filter, status, filter_settings.max_results);
    // Three lines: the second sees the duplicate list of the first (and, adaptive, confirms its
    // reads), the third repeats them.
    for (int line = 1; line <= 3; ++line)
        scanner.ScanLine(list.data(), count, right_edge, line * kAdaptiveLineStep);
    if (buffer_size > 0 && std::memchr(buffer.data(), 0, buffer_size) == nullptr) __builtin_trap();

    // Every decoder of the mask at every threshold of the sweep, as the step calls them.
    for (int k = 0; k < kCheckedBarStarts; ++k) {
        const int at = kChangeListLead + 2 * k;
        if (at >= count) break;
        const LineView line{list.data() + at, right_edge};
        DecodeContext with(options);
        for (int n = 0; n <= 2 * step.thresholds.span; ++n) {
            for (const SymbologyEntry& s : SymbologyRegistry()) {
                if (!(step.mask & s.bit)) continue;
                const int threshold = step.thresholds.For(s.threshold_group) + SweepOffset(n);
                const std::string why = testing::ShortcutDisagreement(s, line, threshold, with);
                if (why.empty()) continue;
                std::fprintf(stderr, "bar start %d: %s\n", at, why.c_str());
                __builtin_trap();
            }
        }
    }
    return 0;
}
