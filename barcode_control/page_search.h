// The search half of GetAllBarCode: the page header, then the bilevel path (the page searched
// in its file) or the colour path (the page merged into the colour edit buffer and searched
// there), in one or two directions.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "barcode_control/pixdoc_exports.h"

namespace barlynx {

struct SearchSettings {
    int32_t exclusion_height = 0;  // zone height of the duplicate filter
    int16_t degree = 0;            // 0, 1: one search in that direction; 2: both; others as 0
    int32_t bw_threshold = 128;    // grey threshold of colour pages
    bool adaptive = false;         // the library's adaptive search, where the library has it
};

struct PageSearchResult {
    int32_t error = 0;  // 0, or the failing step's result plus its offset
    std::string raw;    // the first search's text followed by the second's; empty on error
};

// Searches page `page` of `file_name`. A failing step is shown through `show_message`. The
// colour edit buffer, once started, is ended on every way out.
PageSearchResult SearchPage(const PixdocExports& exports, const SearchSettings& settings,
                            const std::string& file_name, int16_t page, int16_t bar_code_type,
                            const std::function<void(std::string_view)>& show_message);

}  // namespace barlynx
