#include "acquisition/naming_token.h"

#include <algorithm>
#include <array>

#include "acquisition/naming_text.h"

namespace scantora {

namespace {

constexpr char kTokenStart = '$';
constexpr char kTokenEnd = '%';
constexpr std::string_view kSideLevel = "F";

// A token that takes all of a text ("*") or an amount of it (`amount` read as a number).
RulePiece Taking(RulePieceKind kind, std::string_view amount, long level = 0) {
    RulePiece piece;
    piece.kind = kind;
    piece.level = level;
    piece.whole = amount.starts_with('*');
    piece.count = piece.whole ? 0 : CountOf(amount);
    return piece;
}

// `body` runs from after the "$" up to, not including, the "%".
RulePiece ReadToken(std::string_view body) {
    if (const auto hash = body.find('#'); hash != std::string_view::npos) {
        const std::string_view level = body.substr(0, hash);
        const auto kind = level == kSideLevel ? RulePieceKind::kSideName : RulePieceKind::kLevel;
        return Taking(kind, body.substr(hash + 1), CountOf(level));
    }
    RulePiece piece;
    if (const auto minus = body.find('-'); minus != std::string_view::npos) {
        piece.kind = RulePieceKind::kCut;
        piece.count = CountOf(body.substr(minus + 1));
        return piece;
    }
    if (const auto f = body.find('F'); f != std::string_view::npos) {
        return Taking(RulePieceKind::kSideName, body.substr(f + 1));
    }
    piece.kind = RulePieceKind::kNothing;
    return piece;
}

}  // namespace

std::vector<RulePiece> ScanRule(std::string_view rule) {
    std::vector<RulePiece> pieces;
    const auto add_text = [&pieces](std::string_view text) {
        if (!text.empty()) pieces.push_back({RulePieceKind::kText, text});
    };
    std::size_t position = 0;
    while (position < rule.size()) {
        const auto dollar = rule.find(kTokenStart, position);
        if (dollar == std::string_view::npos) {
            add_text(rule.substr(position));
            break;
        }
        add_text(rule.substr(position, dollar - position));
        const auto percent = rule.find(kTokenEnd, dollar + 1);
        if (percent == std::string_view::npos) break;
        RulePiece token = ReadToken(rule.substr(dollar + 1, percent - dollar - 1));
        token.text = rule.substr(dollar, percent - dollar + 1);
        pieces.push_back(token);
        position = percent + 1;
    }
    return pieces;
}

bool HasDuplexSideToken(std::string_view rule) {
    constexpr std::array<std::string_view, 4> kHoldingTokens = {"$F#1%", "$F#2%", "$F#3%", "$F#*%"};
    const auto pieces = ScanRule(rule);
    return std::any_of(pieces.begin(), pieces.end(), [&](const RulePiece& piece) {
        return piece.kind == RulePieceKind::kSideName &&
               std::find(kHoldingTokens.begin(), kHoldingTokens.end(), piece.text) !=
                   kHoldingTokens.end();
    });
}

}  // namespace scantora
