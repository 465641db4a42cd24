// Element widths of real zint symbols, read from the module rows that the fixture script
// make_symbology_fixtures.sh writes (zint --dump), for the symbology decoder tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode::testing {

// The modules of symbol `name` (true = bar), without the white padding after the last bar.
std::vector<bool> SymbolModules(const std::string& name);

// Bar, space, ..., bar widths of the modules at `scale` pixels per module.
std::vector<int> ElementsFromModules(const std::vector<bool>& modules, int scale);

// Both in one: the elements of symbol `name` at `scale` pixels per module.
std::vector<int> SymbolElements(const std::string& name, int scale);

// The read-backwards form of a decoder's text: bit 7 set on its first byte.
std::string MarkedBackwards(std::string text);

// One decoder read of a zint symbol, as a test parameter: symbol `name` read with `decode` must
// give `text` ("<none>" for no read); `label` names the case.
struct ZintRead {
    const char* name;
    DecodeFn decode;
    const char* label;
    const char* text;
};

// Test names and failure messages show the case's label.
inline void PrintTo(const ZintRead& read, std::ostream* out) {
    *out << read.label;
}

}  // namespace pixdoc::barcode::testing
