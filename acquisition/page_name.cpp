#include "acquisition/page_name.h"

#include <algorithm>
#include <array>

#include "acquisition/naming_token.h"

namespace scantora {

namespace {

void AppendSideName(std::string& path, const RulePiece& piece, std::string_view side_name) {
    if (piece.whole) {
        path += side_name;
        return;
    }
    path += side_name.substr(0, static_cast<std::size_t>(piece.count));
}

void AppendLevelCode(std::string& path, const RulePiece& piece, const PageNameContext& context) {
    if (piece.level < 1 || static_cast<std::size_t>(piece.level) > context.composed_level ||
        static_cast<std::size_t>(piece.level) > context.codes.size()) {
        return;
    }
    const std::string& code = context.codes[static_cast<std::size_t>(piece.level - 1)];
    if (piece.whole) {
        path += code;
        return;
    }
    if (piece.count >= 1 && static_cast<std::size_t>(piece.count) <= code.size()) {
        path += code[static_cast<std::size_t>(piece.count - 1)];
    }
}

void CutPath(std::string& path, long count) {
    const auto cut = static_cast<std::size_t>(count);
    if (path.size() >= cut) path.resize(path.size() - cut);
}

}  // namespace

void AppendLevelName(std::string& path, std::string_view pattern, const PageNameContext& context) {
    for (const RulePiece& piece : ScanRule(pattern)) {
        switch (piece.kind) {
            case RulePieceKind::kText:
                path += piece.text;
                break;
            case RulePieceKind::kLevel:
                AppendLevelCode(path, piece, context);
                break;
            case RulePieceKind::kSideName:
            case RulePieceKind::kFrontName:
                AppendSideName(path, piece, context.side_name);
                break;
            case RulePieceKind::kCut:
                CutPath(path, piece.count);
                break;
            case RulePieceKind::kNothing:
                break;
        }
    }
}

bool HasDuplexSideToken(std::string_view pattern) {
    constexpr std::array<std::string_view, 4> kSideTokens = {"$F#1%", "$F#2%", "$F#3%", "$F#*%"};
    for (std::string_view token : kSideTokens) {
        if (pattern.find(token) != std::string_view::npos) return true;
    }
    return false;
}

}  // namespace scantora
