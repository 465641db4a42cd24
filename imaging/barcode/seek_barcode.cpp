#include "imaging/barcode/seek_barcode.h"

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/line_scan.h"
#include "imaging/barcode/result_filter.h"
#include "imaging/barcode/scan_paths.h"
#include "imaging/barcode/search_area.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace pixdoc::barcode {
namespace {

// Compression codes from here on are colour pages.
constexpr int32_t kFirstColourCompression = 512;

FrameArguments FrameOf(const SeekArguments& a) {
    FrameArguments f;
    f.mask = a.mask;
    f.threshold = a.threshold;
    f.threshold2 = a.threshold2;
    f.span = a.span;
    f.min_length = a.min_length;
    f.max_results = a.max_results;
    return f;
}

}  // namespace

int32_t SeekBarCode(const SeekArguments& args) {
    return SeekBarCodeWith(args, LibrarySeekOptions());
}

int32_t SeekBarCodeWith(const SeekArguments& args, const SeekOptions& options) {
    BarcodeModuleState& state = BarcodeState();
    state.status.valid = false;

    ImageHeader header{};
    if (OpenImageHeader(0, args.file_name, args.page, &header) != 0) return kSeekNoHeader;
    if (header.compression >= kFirstColourCompression) return kSeekNotBilevel;

    const FrameArguments frame = FrameOf(args);
    const FilterSettings filter_settings = FrameFilterSettings(frame, options);
    ResultFilter filter(args.result, args.result_size, filter_settings);

    if (args.mask == 0) return kSeekEmptyMask;
    const StepSettings step =
        FrameStepSettings(frame, header.x_resolution, state.working_resolution, options);

    files::OpenedFile file(args.file_name);
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

    // Only rows read as stored give up their marks.
    const bool keep_marks = options.leave_invert_flag || args.direction != 0;
    EndFoundSearch(args.result, filter.length(), keep_marks, state.status);
    return kSeekFound;
}

}  // namespace pixdoc::barcode
