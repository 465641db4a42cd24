#include "app/menu_table.h"

namespace scantora {
namespace {

using C = MenuCommand;

constexpr MenuEntry kMenu[] = {
    {100, "<<File>>", C::kSubMenu, 0},
    {101, "<<Open File>>", C::kOpenFile, 100},
    {102, "<<Send Files>>", C::kSendFiles, 100},
    {103, "<<Exit>>", C::kExit, 100},
    {200, "<<Edit>>", C::kSubMenu, 0},
    {201, "<<Applic Setup>>", C::kJobSetup, 200},
    {202, "<<Applic Select>>", C::kJobSelect, 200},
    {300, "<<View>>", C::kSubMenu, 0},
    {301, "<<Fit To Win>>", C::kFitToWindow, 300},
    {302, "<<Fit To Side>>", C::kFitToWidth, 300},
    {303, "<<Zoom 25%>>", C::kZoom25, 300},
    {304, "<<Zoom 50%>>", C::kZoom50, 300},
    {305, "<<Zoom 100%>>", C::kZoom100, 300},
    {306, "<<Zoom 200%>>", C::kZoom200, 300},
    {400, "<<Scanner>>", C::kSubMenu, 0},
    {401, "<<Scanner Select>>", C::kScannerSelect, 400},
    {402, "<<Scanner Setup>>", C::kScannerSetup, 400},
    {403, "<<Scanner +>>", C::kSubMenu, 400},
    {404, "<<Rotate>>", C::kSubMenu, 403},
    {405, "<<Rotate 0>>", C::kRotate0, 404},
    {406, "<<Rotate 90>>", C::kRotate90, 404},
    {407, "<<Rotate 180>>", C::kRotate180, 404},
    {408, "<<Rotate 270>>", C::kRotate270, 404},
    {409, "<<Front / Back>>", C::kFrontBack, 403},
    {410, "<<Deskew>>", C::kDeskew, 403},
    {411, "<<Negative>>", C::kNegative, 403},
    {500, "?", C::kAbout, 0},
};

}  // namespace

std::span<const MenuEntry> MenuEntries() {
    return kMenu;
}

std::string MenuText(const TextLookup& texts, int id) {
    std::string text = texts.TableText(id);
    if (!text.empty()) return text;
    for (const auto& entry : kMenu)
        if (entry.id == id) return std::string(entry.default_text);
    return {};
}

}  // namespace scantora
