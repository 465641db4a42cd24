#include "barcode_control/pixdoc_exports.h"

namespace barlynx {
namespace {

// The ordinals the control binds by; they are fixed by the library's callers.
constexpr int32_t kGetTiffPages = 33;
constexpr int32_t kSetZoneHeight = 218;
constexpr int32_t kGetImageInfoExtended = 220;
constexpr int32_t kSeekBarCode = 260;
constexpr int32_t kSeekBarCodeInsertData = 278;
constexpr int32_t kStartColorEdit = 323;
constexpr int32_t kColorEditEnd = 329;
constexpr int32_t kColorEditMergeImage = 343;
constexpr int32_t kColorEditSeekBarCode = 459;
constexpr int32_t kSeekBarCodeAdaptive = 655;
constexpr int32_t kStartImageWindow = 1;
constexpr int32_t kSetImagePage = 3;
constexpr int32_t kSetDisplayImageArea = 7;
constexpr int32_t kPaintImage = 11;
constexpr int32_t kGetImageWindowHandle = 43;

template <typename... Arguments>
int32_t Missing(Arguments...) {
    return kExportMissing;
}

class Binder {
public:
    explicit Binder(void* (*by_ordinal)(int32_t)) : by_ordinal_(by_ordinal) {}

    template <typename Function>
    void Optional(Function& slot, int32_t ordinal) {
        slot = reinterpret_cast<Function>(by_ordinal_(ordinal));
    }

    template <typename... Arguments>
    void Search(int32_t (*&slot)(Arguments...), int32_t ordinal, const char* name,
                std::vector<std::string>& missing) {
        Optional(slot, ordinal);
        if (slot) return;
        slot = &Missing<Arguments...>;
        missing.push_back("ordinal " + std::to_string(ordinal) + " (" + name + ")");
    }

private:
    void* (*by_ordinal_)(int32_t);
};

}  // namespace

BoundExports BindByOrdinal(void* (*by_ordinal)(int32_t ordinal)) {
    BoundExports b{};
    PixdocExports& e = b.exports;
    Binder bind(by_ordinal);
    bind.Search(e.get_image_info_extended, kGetImageInfoExtended, "PXGetImageInfoExtended",
                b.missing_bilevel);
    bind.Search(e.seek_bar_code_insert_data, kSeekBarCodeInsertData, "PXinSeekBarCodeInsertData",
                b.missing_bilevel);
    bind.Search(e.set_zone_height, kSetZoneHeight, "BarcodeMultipleSetZoneHeight",
                b.missing_bilevel);
    bind.Search(e.seek_bar_code, kSeekBarCode, "PXinSeekBarCode", b.missing_bilevel);
    bind.Search(e.start_color_edit, kStartColorEdit, "PX_StartColorEdit", b.missing_colour);
    bind.Search(e.color_edit_merge_image, kColorEditMergeImage, "PX_ColorEditMergeImageEx",
                b.missing_colour);
    bind.Search(e.color_edit_seek_bar_code, kColorEditSeekBarCode, "PX_ColorEditSeekBarCode",
                b.missing_colour);
    bind.Search(e.color_edit_end, kColorEditEnd, "PX_ColorEditEnd", b.missing_colour);
    bind.Optional(e.seek_bar_code_adaptive, kSeekBarCodeAdaptive);
    bind.Optional(e.window.start_image_window, kStartImageWindow);
    bind.Optional(e.window.set_image_page, kSetImagePage);
    bind.Optional(e.window.set_display_image_area, kSetDisplayImageArea);
    bind.Optional(e.window.paint_image, kPaintImage);
    bind.Optional(e.window.get_tiff_pages, kGetTiffPages);
    bind.Optional(e.window.get_image_window_handle, kGetImageWindowHandle);
    return b;
}

}  // namespace barlynx
