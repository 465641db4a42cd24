#include "imaging/colour/colour_edit.h"

#include <limits>
#include <new>

#include "imaging/barcode/barcode_state.h"

namespace pixdoc {
namespace {

// Buffers larger than this cannot be addressed by 32-bit callers.
constexpr int64_t kMaxBufferBytes = std::numeric_limits<int32_t>::max();

enum StartResult : int32_t { kStarted = 0, kAlreadyStarted = 1, kNoMemory = 2 };
enum EndResult : int32_t { kEnded = 0, kNoBuffer = 1 };

}  // namespace

ColourEditState& ColourEdit() {
    static ColourEditState state;
    return state;
}

void ResetColourEdit() {
    ColourEditState& edit = ColourEdit();
    edit.active = false;
    edit.width = edit.height = 0;
    std::vector<uint8_t>().swap(edit.pixels);
    edit.memory_mode = edit.memory_centre = edit.square_scale = false;
    edit.merge_header = ImageHeader{};
    ResetColourState(edit.decoder);
    edit.writer = MergeWriterState{};
}

}  // namespace pixdoc

using pixdoc::ColourEdit;
using pixdoc::ColourEditState;

PIXDOC_API int32_t PX_StartColorEdit(int32_t width, int32_t height, int32_t red, int32_t green,
                                     int32_t blue) {
    ColourEditState& edit = ColourEdit();
    if (edit.active) return pixdoc::kAlreadyStarted;
    const int64_t pixel_bytes = static_cast<int64_t>(width) * std::max(height, 0) * 3;
    if (width < 0 || pixel_bytes + pixdoc::kEditSpareBytes > pixdoc::kMaxBufferBytes)
        return pixdoc::kNoMemory;
    try {
        edit.pixels.assign(static_cast<size_t>(pixel_bytes + pixdoc::kEditSpareBytes), 0);
    } catch (const std::bad_alloc&) {
        return pixdoc::kNoMemory;
    }
    edit.active = true;
    edit.width = width;
    edit.height = height;
    edit.memory_mode = edit.memory_centre = edit.square_scale = false;
    pixdoc::barcode::SetWorkingResolution(pixdoc::kEditWorkingResolution);
    const uint8_t colour[3] = {static_cast<uint8_t>(red), static_cast<uint8_t>(green),
                               static_cast<uint8_t>(blue)};
    for (int64_t i = 0; i < pixel_bytes; i += 3)
        for (int k = 0; k < 3; ++k)
            edit.pixels[static_cast<size_t>(i + k)] = colour[k];
    return pixdoc::kStarted;
}

PIXDOC_API int32_t PX_ColorEditEnd(int32_t reserved) {
    if (!ColourEdit().active) return pixdoc::kNoBuffer;
    pixdoc::ResetColourEdit();
    return pixdoc::kEnded;
}

PIXDOC_API int32_t PX_ColorEditGetWidth(int32_t reserved) {
    return ColourEdit().active ? ColourEdit().width : 0;
}

PIXDOC_API int32_t PX_ColorEditGetHeight(int32_t reserved) {
    return ColourEdit().active ? ColourEdit().height : 0;
}
