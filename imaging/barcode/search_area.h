// The stretch of a page a search covers: the caller's rectangle rounded as the search needs it.
#pragma once

namespace pixdoc::barcode {

struct SearchArea {
    int x = 0;  // origin column
    int y = 0;  // origin row
    int width = 0;
    int height = 0;
};

inline constexpr int kAreaGranule = 16;
inline constexpr int kRowOriginGranule = 8;

int RoundUp(int value, int granule);

// If x1 >= x2 or y1 >= y2 the whole page, else the rectangle; width and height rounded up to
// multiples of 16 either way.
SearchArea RoundArea(int x1, int y1, int x2, int y2, int page_width, int page_height);

// The fast path's stretch: origin column down to a multiple of 8; a width (height) reaching
// past the page becomes the rest of the page rounded up to 16.
SearchArea FitToRows(SearchArea area, int page_width, int page_height);

// After the line decoder is set up: the width cut to the page exactly.
int CutWidthToPage(const SearchArea& area, int page_width);

}  // namespace pixdoc::barcode
