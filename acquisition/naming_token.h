// The token syntax of the composition rules (COMPOSNOME_n), read in one place for the naming of
// pages at scan time and for the transfer's document paths and discovery patterns.
//
// A rule is literal text with tokens that run from a "$" to the next "%". The first of "#", "-"
// and "F" that a token holds decides its kind:
//   "#"  $n#*%  the whole value of level n      $n#k%  its k-th character (from 1)
//        $F#*%  the whole side name             $F#k%  its first k characters
//   "-"  $-k%   a cut of k characters (k is read after the "-")
//   "F"  $F*%   the whole side name             $Fk%   its first k characters (read after "F")
// The side name is NOMEFRONTE, or NOMERETRO for the back of a duplex sheet; the "F" spellings
// mean the same as the "$F#" ones. Numbers are read as their leading decimal digits, after
// blanks and one sign; a negative number counts as 0. A part starting with "*" means all of the
// text. A token of none of these kinds means nothing. A "$" without a closing "%" ends the rule;
// the text before it still counts. A "%" outside a token is literal text.
#pragma once

#include <string_view>
#include <vector>

namespace scantora {

enum class RulePieceKind {
    kText,      // literal text
    kLevel,     // a level's value, whole or one character
    kSideName,  // the side name, whole or its first characters
    kCut,       // a cut of characters
    kNothing,   // a token without meaning
};

struct RulePiece {
    RulePieceKind kind = RulePieceKind::kText;
    std::string_view text;  // the literal text, or the token as written from "$" to "%"
    long level = 0;         // kLevel: the level number as written; only 1..9 name a level
    bool whole = false;     // kLevel, kSideName: "*", all of the text
    long count = 0;         // the position (kLevel), the characters taken (kSideName) or cut
};

// The pieces of `rule` in order; literal text between two tokens is one piece.
std::vector<RulePiece> ScanRule(std::string_view rule);

// True when `rule` holds, as a token, one of the side-name spellings that keep front and back of
// a duplex sheet on the same code: "$F#1%", "$F#2%", "$F#3%" or "$F#*%".
bool HasDuplexSideToken(std::string_view rule);

}  // namespace scantora
