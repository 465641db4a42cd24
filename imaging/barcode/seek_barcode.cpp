#include "imaging/barcode/seek_barcode.h"

#include <algorithm>

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/line_scan.h"
#include "imaging/barcode/result_filter.h"
#include "imaging/barcode/scan_paths.h"
#include "imaging/barcode/search_area.h"
#include "imaging/barcode/thresholds.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace pixdoc::barcode {
namespace {

// Compression codes from here on are colour pages.
constexpr int32_t kFirstColourCompression = 512;
constexpr int kInsertDataOn = 1;

class OpenFile {
public:
    explicit OpenFile(const char* name) : handle_(files::FileOpen(name)) {}
    ~OpenFile() {
        if (ok()) files::FileClose(handle_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    bool ok() const { return handle_ != files::kInvalidHandle; }
    int32_t handle() const { return handle_; }

private:
    int32_t handle_;
};

// Clears bit 7 of every byte; true if any byte had it.
bool ClearReadBackwardsMarks(char* text, int length) {
    bool any = false;
    for (int i = 0; i < length; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c & kReadBackwardsMark) {
            any = true;
            text[i] = static_cast<char>(c & ~kReadBackwardsMark);
        }
    }
    return any;
}

}  // namespace

SeekOptions LibrarySeekOptions() {
    const BarcodeOptions& o = BarcodeState().options;
    SeekOptions options;
    options.insert_data = o.insert_data;
    options.zone_height = o.zone_height;
    options.no_single_bits = o.no_single_bits != 0;
    options.leave_invert_flag = o.leave_invert_flag != 0;
    options.decoder.codabar_min_size = o.codabar_min_size;
    options.decoder.code128_no_checksum = o.code128_no_checksum != 0;
    return options;
}

int32_t SeekBarCode(const SeekArguments& args) {
    return SeekBarCodeWith(args, LibrarySeekOptions());
}

int32_t SeekBarCodeWith(const SeekArguments& args, const SeekOptions& options) {
    BarcodeModuleState& state = BarcodeState();
    state.status.valid = false;

    ImageHeader header{};
    if (OpenImageHeader(0, args.file_name, args.page, &header) != 0) return kSeekNoHeader;
    if (header.compression >= kFirstColourCompression) return kSeekNotBilevel;

    const int span = std::max(args.span, 0);
    FilterSettings filter_settings;
    filter_settings.min_length = std::max(args.min_length, 0);
    filter_settings.max_results = std::clamp(args.max_results, 1, kMaxResults);
    filter_settings.zone_height = options.zone_height;
    filter_settings.insert_data = options.insert_data == kInsertDataOn;
    ResultFilter filter(args.result, args.result_size, filter_settings);

    if (args.mask == 0) return kSeekEmptyMask;
    StepSettings step;
    step.mask = args.mask;
    step.no_single_bits = options.no_single_bits;
    step.thresholds.first = FirstThreshold(args.threshold, header.x_resolution);
    step.thresholds.span = span;
    SetSecondThresholds(args.threshold2, state.working_resolution, step.thresholds);

    OpenFile file(args.file_name);
    if (!file.ok()) return kSeekNoHeader;
    header.handle = file.handle();

    const SearchArea area =
        RoundArea(args.x1, args.y1, args.x2, args.y2, header.width, header.height);
    DecodeContext context{options.decoder};
    LineScanner scanner(step, context, filter, state.status, filter_settings.max_results);
    PathResult ran = args.direction == 0
                         ? ScanPageRows(header, area, scanner)
                         : ScanPageBitmap(header, area, args.direction == 1, scanner);
    if (ran == PathResult::kNoDecoder) return kSeekNoDecoder;
    if (filter.empty()) return kSeekNothingFound;

    const bool keep_marks = options.leave_invert_flag || args.direction != 0;
    state.status.reversed = !keep_marks && ClearReadBackwardsMarks(args.result, filter.length());
    state.status.valid = true;
    return kSeekFound;
}

}  // namespace pixdoc::barcode
