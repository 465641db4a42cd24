#include "acquisition/code_advance.h"

#include <algorithm>

#include "acquisition/naming_text.h"
#include "config/text_encoding.h"

namespace scantora {

namespace {

constexpr bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Digits of `number` without leading zeros ("0" for zero).
std::string WithoutLeadingZeros(std::string_view number) {
    const auto first = number.find_first_not_of('0');
    return first == std::string_view::npos ? std::string("0") : std::string(number.substr(first));
}

// Decimal text of `number` + 1.
std::string Increment(std::string number) {
    for (auto it = number.rbegin(); it != number.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return number;
        }
        *it = '0';
    }
    return "1" + number;
}

// Decimal text of `number` - 1; `number` is not zero.
std::string Decrement(std::string number) {
    for (auto it = number.rbegin(); it != number.rend(); ++it) {
        if (*it != '0') {
            --*it;
            break;
        }
        *it = '9';
    }
    return WithoutLeadingZeros(number);
}

}  // namespace

int StepOfOperation(std::string_view operation) {
    if (operation.starts_with('+')) return 1;
    if (operation.starts_with('-')) return -1;
    return 0;
}

std::string AdvanceCode(std::string_view code, long width, int step) {
    const auto last_non_digit = code.find_last_not_of("0123456789");
    const std::size_t digits_start =
        last_non_digit == std::string_view::npos ? 0 : last_non_digit + 1;
    if (digits_start == code.size()) return std::string(code);

    std::string number = WithoutLeadingZeros(code.substr(digits_start));
    if (step > 0) number = Increment(number);
    if (step < 0) {
        if (number == "0") return std::string(code);
        number = Decrement(number);
    }
    const std::string_view prefix = code.substr(0, digits_start);
    const long padded = std::min(width, static_cast<long>(kMaxLevelValue));
    const long room = padded - static_cast<long>(CharCount(prefix));
    std::string advanced(prefix);
    if (room > static_cast<long>(number.size())) advanced.append(room - number.size(), '0');
    advanced += number;
    return advanced;
}

std::string TrimEntry(std::string_view entry) {
    const std::string first = TruncateChars(entry, kEntryCheckWindow);
    std::string_view window = first;
    while (!window.empty() && IsBlank(window.front()))
        window.remove_prefix(1);
    while (!window.empty() && IsBlank(window.back()))
        window.remove_suffix(1);
    return std::string(window);
}

}  // namespace scantora
