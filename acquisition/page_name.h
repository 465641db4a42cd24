// Scan-time composition of one level's part of a page path from its pattern (COMPOSNOME_n), over
// the tokens as naming_token.h reads them:
//   $F#*% $F*%  the whole side name             $F#k% $Fk%  its first k characters
//   $L#*%       the whole code of level L       $L#k%       the k-th character (from 1) of it
//   $-k%        removes the last k characters of the path built so far (when it has k)
// L counts levels from 1 and may name only the level being composed or a shallower one. Other
// tokens, out-of-range references and k of 0 yield nothing.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace scantora {

struct PageNameContext {
    std::span<const std::string> codes;  // code display of each level, level 1 first
    std::size_t composed_level = 1;      // the level being composed, counted from 1
    std::string_view side_name;          // NOMEFRONTE, or NOMERETRO for a duplex back page
};

// Appends the name part built from `pattern` to `path`.
void AppendLevelName(std::string& path, std::string_view pattern, const PageNameContext& context);

// True when `pattern` holds one of the side-name tokens that keep front and back of a duplex
// sheet on the same code: "$F#1%", "$F#2%", "$F#3%" or "$F#*%".
bool HasDuplexSideToken(std::string_view pattern);

}  // namespace scantora
