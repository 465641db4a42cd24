// The component's entry points: the class factory keyed by class identifier or ProgID, and the
// binding of the imaging library's exports by ordinal when this library is loaded.
#include <algorithm>
#include <cctype>
#include <string>

#include "barcode_control/barlynx.h"
#include "barcode_control/barlynx_ctrl.h"
#include "barcode_control/pixdoc_exports.h"
#include "pixdoc32.h"

namespace barlynx {
namespace {

// Why the control cannot be created (a bilevel export is missing), or what it cannot do.
std::string LoadError(const BoundExports& bound) {
    const bool creatable = bound.missing_bilevel.empty();
    const std::vector<std::string>& missing =
        creatable ? bound.missing_colour : bound.missing_bilevel;
    if (missing.empty()) return {};
    std::string text = "the imaging library lacks";
    for (const std::string& export_name : missing)
        text += " " + export_name;
    return text + (creatable ? ": colour pages cannot be searched" : "");
}

// Bound once, as this library is loaded.
const BoundExports kBound = BindByOrdinal(&PX_GetExportByOrdinal);
const std::string kLoadError = LoadError(kBound);

bool SameText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

bool IsThisClass(std::string_view id) {
    const std::string_view bare_class_id = kClassId.substr(1, kClassId.size() - 2);
    return SameText(id, kProgId) || SameText(id, kClassId) || SameText(id, bare_class_id);
}

}  // namespace
}  // namespace barlynx

extern "C" barlynx::IBarlynx* BarlynxCreateInstance(const char* class_id) {
    using namespace barlynx;
    if (!class_id || !IsThisClass(class_id) || !kBound.missing_bilevel.empty()) return nullptr;
    return new CBarlynxCtrl(kBound.exports);
}

extern "C" const char* BarlynxLoadError() {
    return barlynx::kLoadError.c_str();
}
