// The pixdoc32 exports the control calls, bound by ordinal through the library's ordinal table
// when the control's library is loaded. A table is a plain value so that tests can hand the
// control one whose steps fail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "barcode_control/barlynx.h"
#include "pixdoc32.h"

namespace barlynx {

struct PixdocExports {
    // The search: every call of GetAllBarCode needs these.
    decltype(&PXGetImageInfoExtended) get_image_info_extended;       // 220
    decltype(&PXinSeekBarCodeInsertData) seek_bar_code_insert_data;  // 278
    decltype(&BarcodeMultipleSetZoneHeight) set_zone_height;         // 218
    decltype(&PXinSeekBarCode) seek_bar_code;                        // 260
    decltype(&PX_StartColorEdit) start_color_edit;                   // 323
    decltype(&PX_ColorEditMergeImageEx) color_edit_merge_image;      // 343
    decltype(&PX_ColorEditSeekBarCode) color_edit_seek_bar_code;     // 459
    decltype(&PX_ColorEditEnd) color_edit_end;                       // 329
    // Optional: null in a library without the adaptive search, which then searches as always.
    decltype(&PXinSeekBarCodeAdaptive) seek_bar_code_adaptive;  // 655
    // The correction dialog's page window.
    PageWindowExports window;
};

// The result of a search step whose export the loaded library lacks: the step fails with it.
inline constexpr int32_t kExportMissing = -1;

struct BoundExports {
    PixdocExports exports;
    // The search exports the library lacks, as "ordinal N (Name)": those of the bilevel path
    // (header, options, bilevel search) and those only the colour path calls.
    std::vector<std::string> missing_bilevel;
    std::vector<std::string> missing_colour;
};

// Binds every export through `by_ordinal` (PX_GetExportByOrdinal). A search export the library
// lacks is bound to a function that answers kExportMissing; a window export stays null.
BoundExports BindByOrdinal(void* (*by_ordinal)(int32_t ordinal));

}  // namespace barlynx
