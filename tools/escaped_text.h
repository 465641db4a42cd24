// How the tools print texts that may hold any byte on one line: non-printable bytes and the
// backslash as \xNN.
#pragma once

#include <string>
#include <string_view>

namespace pixdoc::tools {

std::string EscapedText(std::string_view text);

}  // namespace pixdoc::tools
