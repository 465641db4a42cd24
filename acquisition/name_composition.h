// The composition of one level's part of a path from its rule (COMPOSNOME_n): the one evaluator
// of the tokens (naming_token.h) behind the page paths of scanning and the transfer's document
// paths and discovery patterns, so that both sides give the same text for every rule.
//
// Texts are taken as UTF-8; one that is not (a Latin-1 code from an older file) is converted as
// the configuration files are (ToUtf8), so a composed path is always UTF-8. What each token gives,
// counted in characters (a character is never split):
//   $n#*%        the first kMaxLevelValue characters of level n's value
//   $n#k%        the k-th of them (nothing when k is 0 or beyond the value)
//   $F#*% $F*%   the whole side name            $F#k% $Fk%  its first k characters
//   $-k%         cuts the last k characters off the path the rule received, wherever the token
//                stands in the rule: never off the rule's own text. Nothing happens when that
//                path is shorter than k.
// n may name the level being composed or a shallower one, at most level 9; other numbers, and
// tokens without meaning, give nothing. The rule's own text holds at most kMaxComposedText
// characters and the path at most kMaxPathText; what would go beyond is dropped.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scantora {

// The most characters one rule composes (the working text of one composition).
inline constexpr std::size_t kMaxComposedText = 299;
// The most levels a rule may name.
inline constexpr std::size_t kMaxNamedLevels = 9;

// One character of a composed path and where it came from: `level` 1..9 with the `index` of the
// character in that level's value, or level 0 for the root, literal text and side names.
struct NameChar {
    std::array<char, 4> bytes{};
    std::uint8_t size = 0;
    std::uint8_t level = 0;
    std::uint8_t index = 0;

    std::string_view text() const { return {bytes.data(), size}; }
};
using ComposedName = std::vector<NameChar>;

// `text` (converted to UTF-8 if it is not) as composed characters of level 0.
ComposedName ComposedOf(std::string_view text);
std::string TextOf(const ComposedName& name);

// What the tokens of a rule read.
struct NameSources {
    std::span<const std::string> values;  // level values, level 1 first
    std::string_view side_name;
};

// Composes `rule` as the rule of level `composed_level` (counted from 1) and appends it to
// `path`, which its cuts may shorten first. Returns false when characters were dropped because
// the rule's text or the path would have grown beyond its bound.
bool AppendComposition(ComposedName& path, std::string_view rule, const NameSources& sources,
                       std::size_t composed_level);

}  // namespace scantora
