// The numeric advance of a level code and the trimming of an operator's entry.
#pragma once

#include <string>
#include <string_view>

namespace scantora {

// Steps of the numeric advance: OPFINESCANDOC "+" is +1, "-" is -1, anything else 0.
int StepOfOperation(std::string_view operation);

// Adds `step` to the run of digits that ends `code` and zero-pads the result so that the whole
// code is `width` characters long (UTF-8 characters; a width beyond kMaxLevelValue pads to
// kMaxLevelValue). A code without a trailing number, or whose number would go below 0, comes
// back unchanged. A prefix as long as the width or longer gets no padding. Any number of digits
// is handled (the arithmetic works on the digit text).
std::string AdvanceCode(std::string_view code, long width, int step);

// The operator's entry as the entry check sees it: its first 90 characters, without leading
// and trailing blanks.
inline constexpr std::size_t kEntryCheckWindow = 90;
std::string TrimEntry(std::string_view entry);

}  // namespace scantora
