// The check that a decoder's shortcuts (its quick rejection, and the memos that let one failed
// walk answer for a later symbology) never change a read: the decoder run as the per-line step
// runs it, and again walking the whole line without them, must give the same answer, text and
// columns. Shared by the decoder tests and the line-scan fuzz target.
#pragma once

#include <string>

#include "imaging/barcode/decoder.h"
#include "imaging/barcode/registry.h"

namespace pixdoc::barcode::testing {

// Decodes `line` with symbology `s` at `threshold`, without and then with single-pixel merging,
// once through `with` (a search's context, kept from call to call so that its memos act) and
// once through a context like it with the shortcuts off. Returns "" when every answer agrees,
// else what differed.
std::string ShortcutDisagreement(const SymbologyEntry& s, const LineView& line, int threshold,
                                 DecodeContext& with);

}  // namespace pixdoc::barcode::testing
