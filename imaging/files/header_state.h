// Library-wide state of the header module: the negative flag of the last header read, the page
// cursor cache, the strip table kept from the last TIFF walk and the page count cache. One
// instance, reached through HeaderState(); the library serves one caller thread at a time.
#pragma once

#include <cstdint>
#include <string>

#include "pixdoc32.h"

namespace pixdoc::files {

// Makes reading pages 1, 2, 3 ... of one TIFF file cost one directory read each.
struct PageCursorCache {
    std::string name;             // last file name opened by OpenImageHeader
    int64_t size = -1;            // that file's size at the previous call
    int32_t page = 0;             // last page whose directory was walked to; 0: none
    uint32_t next_directory = 0;  // offset of the directory that follows it
    // The file access layer's count of special-name opens when the name was last trusted.
    uint64_t special_name_opens = 0;
};

// Remembers the page count of the last file counted by GetTiffPages.
struct PageCountCache {
    std::string name;
    int64_t size = -1;  // -1: nothing remembered
    int32_t count = 0;
    // Where the last counted TIFF directory's zero link to a next one lies; -1: none.
    int64_t chain_end = -1;
};

struct HeaderModuleState {
    int32_t negative = 0;
    PageCursorCache cursor;
    PixdocStripTable* leftover_strip_table = nullptr;
    PageCountCache page_count;
};

HeaderModuleState& HeaderState();
// Frees the kept strip table and clears every cache (tests).
void ResetHeaderState();
// The page cursor cache, which first forgets its file name (and with it its page) when a
// special name was opened since it last looked. Every use of the cache goes through here.
PageCursorCache& PageCursor();

// Hands the strip table kept from the last TIFF walk to the caller (an image window keeps its
// page's table until its next page); null when none is kept.
PixdocStripTable* TakeKeptStripTable();

// Strip tables: the arrays hold count + kStripTableSlack entries.
inline constexpr int32_t kStripTableSlack = 5;
PixdocStripTable* NewStripTable(int32_t strip_count);
void FreeStripTable(PixdocStripTable* table);

}  // namespace pixdoc::files
