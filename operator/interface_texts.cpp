#include "operator/interface_texts.h"

namespace scantora {

std::string FillPlaceholder(std::string_view text, std::string_view argument) {
    constexpr std::string_view kPlaceholder = "%1";
    std::string result;
    std::size_t start = 0;
    for (auto at = text.find(kPlaceholder); at != std::string_view::npos;
         at = text.find(kPlaceholder, start)) {
        result.append(text.substr(start, at - start)).append(argument);
        start = at + kPlaceholder.size();
    }
    result.append(text.substr(start));
    return result;
}

}  // namespace scantora
