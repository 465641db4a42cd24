// The colour decoders' error table: the fixed message of every colour error code and the
// exports that report the library-wide code (imaging/decode/colour_error_code.h).
#pragma once

#include <cstdint>

#include "imaging/decode/colour_error_code.h"

namespace pixdoc {

// The fixed English text for a code; codes without a text give the "does not match" text.
const char* ColourErrorText(int32_t code);

}  // namespace pixdoc
