#include "tools/escaped_text.h"

#include <cstdio>

namespace pixdoc::tools {

std::string EscapedText(std::string_view text) {
    std::string out;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c >= 0x7f || c == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace pixdoc::tools
