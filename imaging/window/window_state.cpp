#include "imaging/window/window_state.h"

#include "imaging/files/header_state.h"

namespace pixdoc {

void StripTableDeleter::operator()(PixdocStripTable* table) const {
    files::FreeStripTable(table);
}

void ReleasePage(WindowState& w) {
    w.strip_table.reset();
    w.colour.Clear();
    w.colour_error = 0;
    w.loaded = false;
}

}  // namespace pixdoc
