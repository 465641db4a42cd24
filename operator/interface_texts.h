// The interface texts as the logic sees them: looked up by identifier (operator/text_ids.h). The
// language table in app/ implements it; the logic below app/ never needs to know where a text
// comes from.
#pragma once

#include <string>
#include <string_view>

namespace scantora {

class InterfaceTexts {
public:
    virtual ~InterfaceTexts() = default;
    // The text `id` in the operator's language; empty when there is none.
    virtual std::string Text(int id) const = 0;
};

// Fills "%1" in `text` with `argument` (the one placeholder the texts use).
std::string FillPlaceholder(std::string_view text, std::string_view argument);

}  // namespace scantora
