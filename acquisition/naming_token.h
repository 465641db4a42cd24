// The token syntax of the composition rules (COMPOSNOME_n), read in one place for the naming of
// pages at scan time and for the transfer's document paths and discovery patterns.
//
// A rule is literal text with tokens that run from a "$" to the next "%". The first of "#", "-"
// and "F" that a token holds decides its kind:
//   "#"  $n#*%  the whole value of level n      $n#k%  its k-th character (from 1)
//        $F#*%  the whole side name             $F#k%  its first k characters
//   "-"  $-k%   a cut of k characters (k is read after the "-")
//   "F"  $F*%   the whole front name            $Fk%   its first k characters (read after "F")
// Numbers are read as their leading decimal digits, after blanks and one sign; a negative number
// counts as 0. A part starting with "*" means all of the text. A token of none of these kinds
// means nothing. A "$" without a closing "%" ends the rule; the text before it still counts. A
// "%" outside a token is literal text.
#pragma once

#include <string_view>
#include <vector>

namespace scantora {

enum class RulePieceKind {
    kText,       // literal text
    kLevel,      // a level's value, whole or one character
    kSideName,   // $F#*% / $F#k%
    kFrontName,  // $F*% / $Fk%
    kCut,        // $-k%
    kNothing,    // a token without meaning
};

struct RulePiece {
    RulePieceKind kind = RulePieceKind::kText;
    std::string_view text;  // kText: the literal text
    long level = 0;         // kLevel: the level number as written; only 1..9 name a level
    bool whole = false;     // kLevel, kSideName, kFrontName: "*", all of the text
    long count = 0;         // the position (kLevel), the characters taken (side and front
                            // names) or cut (kCut)
};

// The pieces of `rule` in order; literal text between two tokens is one piece.
std::vector<RulePiece> ScanRule(std::string_view rule);

}  // namespace scantora
