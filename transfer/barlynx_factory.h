// Creates the Barlynx control as the program hosts it, by class identifier or ProgID. The
// component library is the file named by SCANTORA_BARLYNX when that is set, else libbarlynx.so
// beside the program, else libbarlynx.so on the loader's search path. Once loaded it stays
// loaded for the life of the process.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "barcode_control/barlynx.h"

namespace scantora {

inline constexpr const char* kBarlynxLibraryVariable = "SCANTORA_BARLYNX";
inline constexpr const char* kBarlynxLibraryName = "libbarlynx.so";

struct ReleaseBarlynx {
    void operator()(barlynx::IBarlynx* control) const { control->Release(); }
};
using BarlynxControl = std::unique_ptr<barlynx::IBarlynx, ReleaseBarlynx>;

struct CreatedBarlynx {
    BarlynxControl control;  // null on failure
    std::string error;       // why there is no control
};

CreatedBarlynx CreateBarlynxControl(std::string_view class_id = barlynx::kClassId);

}  // namespace scantora
