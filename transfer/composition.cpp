#include "transfer/composition.h"

#include <algorithm>

#include "acquisition/naming_text.h"
#include "acquisition/naming_token.h"

namespace scantora {

namespace {

constexpr char kSidePlaceholder = '?';

struct Walk {
    ComposedText& path;
    ComposedText working;
    const LevelValueTable& table;
    const CompositionJob& job;
    std::size_t composed_level;

    void Put(char ch, std::uint8_t level = 0, std::uint8_t index = 0) {
        if (working.size() < kMaxComposedText) working.push_back({ch, level, index});
    }
    void PutText(std::string_view text) {
        for (char ch : text)
            Put(ch);
    }
};

void ApplyLevelToken(Walk& walk, const RulePiece& piece) {
    const long level = piece.level;
    if (level < 1 || level > static_cast<long>(std::min(walk.composed_level, kLevelSlots))) return;
    const std::string& value = walk.table.Get(static_cast<std::size_t>(level - 1));
    const auto tag = static_cast<std::uint8_t>(level);
    if (piece.whole) {
        for (std::size_t i = 0; i < value.size(); ++i) {
            walk.Put(value[i], tag, static_cast<std::uint8_t>(i));
        }
        return;
    }
    const long position = piece.count;
    if (position >= 1 && static_cast<std::size_t>(position) <= value.size()) {
        const auto index = static_cast<std::size_t>(position - 1);
        walk.Put(value[index], tag, static_cast<std::uint8_t>(index));
    }
}

// The side-name forms stand for either side: one placeholder per character of the name.
void ApplySideToken(Walk& walk, const RulePiece& piece) {
    const std::size_t side =
        piece.whole ? walk.job.front_name.size() : static_cast<std::size_t>(piece.count);
    const std::size_t count = std::min(side, walk.job.front_name.size());
    for (std::size_t i = 0; i < count; ++i)
        walk.Put(kSidePlaceholder);
}

void ApplyCutToken(Walk& walk, const RulePiece& piece) {
    const auto count = static_cast<std::size_t>(piece.count);
    if (walk.path.size() >= count) walk.path.resize(walk.path.size() - count);
}

void ApplyFrontToken(Walk& walk, const RulePiece& piece) {
    const std::string_view name = walk.job.front_name;
    if (piece.whole) return walk.PutText(name);
    walk.PutText(name.substr(0, static_cast<std::size_t>(piece.count)));
}

void ApplyPiece(Walk& walk, const RulePiece& piece) {
    switch (piece.kind) {
        case RulePieceKind::kText:
            return walk.PutText(piece.text);
        case RulePieceKind::kLevel:
            return ApplyLevelToken(walk, piece);
        case RulePieceKind::kSideName:
            return ApplySideToken(walk, piece);
        case RulePieceKind::kFrontName:
            return ApplyFrontToken(walk, piece);
        case RulePieceKind::kCut:
            return ApplyCutToken(walk, piece);
        case RulePieceKind::kNothing:
            return;
    }
}

}  // namespace

void ComposeRule(ComposedText& path, std::string_view rule, const LevelValueTable& table,
                 const CompositionJob& job, std::size_t composed_level) {
    Walk walk{path, {}, table, job, composed_level};
    for (const RulePiece& piece : ScanRule(rule))
        ApplyPiece(walk, piece);
    const std::size_t room = kMaxPathText - std::min(path.size(), kMaxPathText);
    const std::size_t taken = std::min(room, walk.working.size());
    path.insert(path.end(), walk.working.begin(), walk.working.begin() + taken);
}

}  // namespace scantora
