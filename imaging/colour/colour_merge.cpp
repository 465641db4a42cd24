// The colour path of a merge: the page is decoded by its container reader and scaled into the
// destination rectangle by the merge writer.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "imaging/colour/colour_merge.h"
#include "imaging/colour/merge_writer.h"
#include "imaging/decode/colour/colour_page.h"
#include "imaging/io/file_access.h"
#include "imaging/window/zoom.h"

namespace pixdoc {
namespace {

// Source rectangles narrower or lower than this give way to the whole page.
constexpr int32_t kMinSourceSide = 32;

// The work block of a colour merge: the palette the readers fill.
constexpr size_t kWorkBlockSize = 1200;
struct WorkBlock {
    ColourPalette palette;
    uint8_t spare[kWorkBlockSize - sizeof(ColourPalette)];
};

EditRect ChooseSource(const EditRect& requested, int32_t width, int32_t height) {
    const EditRect whole{0, 0, width, height};
    EditRect r = requested;
    if (r.left < 0 || r.top < 0 || r.right < 0 || r.bottom < 0) return whole;
    if (r.left >= width || r.top >= height) return whole;
    r.right = std::min(r.right, width);
    r.bottom = std::min(r.bottom, height);
    if (r.Width() < kMinSourceSide || r.Height() < kMinSourceSide) return whole;
    return r;
}

}  // namespace

int32_t MergeColourPage(ColourEditState& edit, const char* name, int32_t page,
                        const EditRect& requested_source, const EditRect& destination) {
    const files::OpenedFile file(name);
    if (!file.ok()) return kMergeNotRecognised;
    ColourDecoderState& s = edit.decoder;
    std::unique_ptr<WorkBlock> work(new (std::nothrow) WorkBlock);
    if (!work) return kMergeNoMemory;
    std::memset(work.get(), 0, sizeof(WorkBlock));
    ColourPalette& palette = work->palette;
    if (OpenColourPage(s, file.handle(), page, edit.merge_header.data_offset, palette) != 0) {
        s.palette = nullptr;
        return kMergeHeaderUnreadable;
    }

    ImageHeader& h = edit.merge_header;
    h = ImageHeader{};
    h.width = s.width;
    h.height = s.height;
    h.output_width = destination.Width();
    h.output_height = destination.Height();
    const EditRect source = ChooseSource(requested_source, s.width, s.height);
    WinZoomPoints(h, source.left, source.top, source.right, source.bottom);
    MergeWriterState& w = edit.writer;
    w = MergeWriterState{};
    w.destination = destination;
    w.origin_column = source.left;
    w.origin_row = source.top;
    w.horizontal_scale = h.horizontal_scale;
    w.vertical_scale = h.vertical_scale;
    w.file_order = DeliversInFileOrder(s);
    w.palette = &palette;
    w.rgb = s.output_mode == ColourOutputMode::kRgb;
    StartMergeWriter(edit);

    s.line_callback = &MergeWriterRows;
    s.callback_user = &edit;
    const int result = DecodeColourImage(s);
    s.palette = nullptr;
    w.palette = nullptr;
    return result == 0 ? kMerged : kMergeDecodeFailed;
}

}  // namespace pixdoc
