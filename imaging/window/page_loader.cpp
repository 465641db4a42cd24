#include "imaging/window/page_loader.h"

#include <cstdio>

#include "imaging/files/header_state.h"
#include "imaging/window/window_host.h"
#include "imaging/window/zoom.h"

namespace pixdoc {
namespace {

constexpr char kNoImageTitle[] = "NO IMAGE";

// A fresh view record for a new page keeps what belongs to the window: its output size and
// output resolutions.
ImageHeader FreshView(const ImageHeader& old) {
    ImageHeader v{};
    v.output_width = old.output_width;
    v.output_height = old.output_height;
    v.output_x_resolution = old.output_x_resolution;
    v.output_y_resolution = old.output_y_resolution;
    return v;
}

// The strip table of a multi-strip page stays with the window until its next page, whatever
// other header reads happen meanwhile.
void AdoptStripTable(WindowState& w) {
    if (w.view.compression < PX_CODE_MULTI_STRIP || w.view.compression >= PX_CODE_BMP) return;
    PixdocStripTable* kept = files::TakeKeptStripTable();
    if (kept && reinterpret_cast<intptr_t>(kept) == w.view.data_offset)
        w.strip_table.reset(kept);
    else
        files::FreeStripTable(kept);
}

void HideScrollBars(WindowState& w) {
    for (int32_t bar : {PIXDOC_BAR_HORIZONTAL, PIXDOC_BAR_VERTICAL}) {
        w.bars[bar] = ScrollBarSetting{};
        host::SetScrollBar(w.own, bar, false, 0, 0, 0);
    }
}

}  // namespace

int32_t LoadPage(WindowState& w, const char* name, int32_t page) {
    ReleasePage(w);
    const bool named = name && name[0] != '\0' && page >= 1;
    w.file_name = named ? name : "";
    w.page = named ? page : 0;
    w.full_redraw = true;
    w.view = FreshView(w.view);

    int32_t result = kPageNotOpened;
    if (named && OpenImageHeader(0, name, page, &w.view) == 0) {
        AdoptStripTable(w);
        w.negative = w.honour_negative ? files::HeaderState().negative : 0;
        if (w.view.compression >= PX_CODE_BMP)
            w.colour_error = w.colour.Decode(name, page, w.view);
        w.loaded = true;
        WinFullImage(w.view);
        HideScrollBars(w);
        result = kPageShown;
    } else {
        w.file_name.clear();
        w.page = 0;
        w.view = FreshView(w.view);
    }
    if (w.kind == WindowKind::kTopLevel) host::SetTitle(w.own, WindowTitle(w));
    return result;
}

std::string WindowTitle(const WindowState& w) {
    if (w.file_name.empty()) return kNoImageTitle;
    char pages[48];
    std::snprintf(pages, sizeof pages, "    [%d of %d]", w.page, GetTiffPages(w.file_name.c_str()));
    return w.file_name + pages;
}

}  // namespace pixdoc
