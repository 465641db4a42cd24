// The menu bar as data: every entry with its text identifier, default text, command and the
// entry it belongs to. The main window builds its menus from this table.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "app/text_lookup.h"

namespace scantora {

enum class MenuCommand {
    kSubMenu,  // opens the entries whose parent it is
    kOpenFile,
    kSendFiles,
    kExit,
    kJobSetup,
    kJobSelect,
    kFitToWindow,
    kFitToWidth,
    kZoom25,
    kZoom50,
    kZoom100,
    kZoom200,
    kScannerSelect,
    kScannerSetup,
    kRotate0,
    kRotate90,
    kRotate180,
    kRotate270,
    kFrontBack,
    kDeskew,
    kNegative,
    kAbout,
};

struct MenuEntry {
    int id;  // text identifier
    std::string_view default_text;
    MenuCommand command;
    int parent;  // identifier of the sub-menu holding it, 0 on the menu bar
};

// The entries in menu order: File, job menu, View, Scanner, "?".
std::span<const MenuEntry> MenuEntries();

// The text of menu entry `id`: the language table's text, else the entry's default text
// (the built-in interface texts are not used for menus).
std::string MenuText(const TextLookup& texts, int id);

}  // namespace scantora
