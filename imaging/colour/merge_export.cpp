// PX_ColorEditMergeImageEx: the steps every merge shares, then the colour or the bilevel path.
#include "imaging/colour/colour_merge.h"
#include "pixdoc32.h"

namespace pixdoc {
namespace {

// Compression codes from this one on are colour containers.

bool WholeBufferRequested(const EditRect& r) {
    return r.left == -1 || r.top == -1 || r.right < 1 || r.bottom < 1;
}

bool DestinationValid(const EditRect& r, int32_t width, int32_t height) {
    return r.left >= 0 && r.left <= width && r.left < r.right && r.right <= width && r.top >= 0 &&
           r.top <= height && r.top < r.bottom && r.bottom <= height;
}

}  // namespace
}  // namespace pixdoc

PIXDOC_API int32_t PX_ColorEditMergeImageEx(const char* name, int32_t page, int32_t source_left,
                                            int32_t source_top, int32_t source_right,
                                            int32_t source_bottom, int32_t destination_left,
                                            int32_t destination_top, int32_t destination_right,
                                            int32_t destination_bottom) {
    using namespace pixdoc;
    ColourEditState& edit = ColourEdit();
    if (!edit.active) return kMergeNoBuffer;
    EditRect destination{destination_left, destination_top, destination_right, destination_bottom};
    if (WholeBufferRequested(destination)) destination = EditRect{0, 0, edit.width, edit.height};
    if (!DestinationValid(destination, edit.width, edit.height)) return kMergeBadRectangle;
    edit.merge_header = ImageHeader{};
    if (OpenImageHeader(0, name, page, &edit.merge_header) != 0) return kMergeNotRecognised;
    const EditRect source{source_left, source_top, source_right, source_bottom};
    if (edit.merge_header.compression >= PX_CODE_BMP)
        return MergeColourPage(edit, name, page, source, destination);
    return MergeBilevelPage(edit, name, source, destination);
}
