#include "imaging/files/header_state.h"

#include <new>

#include "imaging/io/file_access.h"

namespace pixdoc::files {

HeaderModuleState& HeaderState() {
    static HeaderModuleState state;
    return state;
}

void ResetHeaderState() {
    HeaderModuleState& state = HeaderState();
    FreeStripTable(state.leftover_strip_table);
    state = HeaderModuleState{};
}

PageCursorCache& PageCursor() {
    PageCursorCache& cursor = HeaderState().cursor;
    const uint64_t opens = FileAccess().special_name_opens;
    if (cursor.special_name_opens != opens) {
        cursor.name.clear();
        cursor.page = 0;
        cursor.next_directory = 0;
        cursor.special_name_opens = opens;
    }
    return cursor;
}

PixdocStripTable* TakeKeptStripTable() {
    PixdocStripTable* table = HeaderState().leftover_strip_table;
    HeaderState().leftover_strip_table = nullptr;
    return table;
}

PixdocStripTable* NewStripTable(int32_t strip_count) {
    if (strip_count < 0) return nullptr;
    const size_t entries = static_cast<size_t>(strip_count) + kStripTableSlack;
    auto* table = new (std::nothrow) PixdocStripTable{};
    if (!table) return nullptr;
    table->strip_offsets = new (std::nothrow) uint32_t[entries]();
    table->strip_byte_counts = new (std::nothrow) uint32_t[entries]();
    if (!table->strip_offsets || !table->strip_byte_counts) {
        FreeStripTable(table);
        return nullptr;
    }
    table->strip_count = strip_count;
    return table;
}

void FreeStripTable(PixdocStripTable* table) {
    if (!table) return;
    delete[] table->strip_offsets;
    delete[] table->strip_byte_counts;
    delete table;
}

}  // namespace pixdoc::files
