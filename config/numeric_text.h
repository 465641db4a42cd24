// Numbers kept as text: the job record holds every value as text and converts it where used.
#pragma once

#include <string_view>

namespace scantora {

// The decimal value of the leading digits of `text`, after optional leading blanks and one
// optional sign: "12abc" gives 12, "abc" and "" give 0. Values beyond the range of long are
// clamped to it rather than overflowing.
long LeadingNumber(std::string_view text);

}  // namespace scantora
