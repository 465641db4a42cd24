#include "imaging/barcode/search_area.h"

namespace pixdoc::barcode {

int RoundUp(int value, int granule) {
    return (value + granule - 1) / granule * granule;
}

SearchArea RoundArea(int x1, int y1, int x2, int y2, int page_width, int page_height) {
    if (x1 >= x2 || y1 >= y2)
        return {0, 0, RoundUp(page_width, kAreaGranule), RoundUp(page_height, kAreaGranule)};
    // A corner left of or above the page starts the search at the page's edge.
    return {x1 < 0 ? 0 : x1, y1 < 0 ? 0 : y1, RoundUp(x2 - x1, kAreaGranule),
            RoundUp(y2 - y1, kAreaGranule)};
}

SearchArea FitToRows(SearchArea area, int page_width, int page_height) {
    area.x -= area.x % kRowOriginGranule;
    if (area.x + area.width > page_width) area.width = RoundUp(page_width - area.x, kAreaGranule);
    if (area.y + area.height > page_height)
        area.height = RoundUp(page_height - area.y, kAreaGranule);
    return area;
}

int CutWidthToPage(const SearchArea& area, int page_width) {
    return area.width > page_width - area.x ? page_width - area.x : area.width;
}

}  // namespace pixdoc::barcode
