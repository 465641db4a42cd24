#include "transfer/composition.h"

#include <algorithm>

#include "acquisition/naming_text.h"

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

// The part after "#" or "F": "*" for all of a text, else the number of characters or position.
bool IsWhole(std::string_view part) {
    return part.starts_with('*');
}

void ApplyLevelToken(Walk& walk, std::string_view token, std::size_t hash) {
    const std::string_view level_text = token.substr(1, hash - 1);
    const std::string_view part = token.substr(hash + 1);
    if (level_text == "F") {
        const std::size_t side =
            IsWhole(part) ? walk.job.front_name.size() : static_cast<std::size_t>(CountOf(part));
        const std::size_t count = std::min(side, walk.job.front_name.size());
        for (std::size_t i = 0; i < count; ++i)
            walk.Put(kSidePlaceholder);
        return;
    }
    const long level = CountOf(level_text);
    if (level < 1 || level > static_cast<long>(std::min(walk.composed_level, kLevelSlots))) return;
    const std::string& value = walk.table.Get(static_cast<std::size_t>(level - 1));
    const auto tag = static_cast<std::uint8_t>(level);
    if (IsWhole(part)) {
        for (std::size_t i = 0; i < value.size(); ++i) {
            walk.Put(value[i], tag, static_cast<std::uint8_t>(i));
        }
        return;
    }
    const long position = CountOf(part);
    if (position >= 1 && static_cast<std::size_t>(position) <= value.size()) {
        const auto index = static_cast<std::size_t>(position - 1);
        walk.Put(value[index], tag, static_cast<std::uint8_t>(index));
    }
}

void ApplyCutToken(Walk& walk, std::string_view token, std::size_t minus) {
    const auto count = static_cast<std::size_t>(CountOf(token.substr(minus + 1)));
    if (walk.path.size() >= count) walk.path.resize(walk.path.size() - count);
}

void ApplyFrontToken(Walk& walk, std::string_view token, std::size_t f) {
    const std::string_view part = token.substr(f + 1);
    const std::string_view name = walk.job.front_name;
    if (IsWhole(part)) return walk.PutText(name);
    walk.PutText(name.substr(0, static_cast<std::size_t>(CountOf(part))));
}

// `token` runs from its "$" up to, not including, its "%".
void ApplyToken(Walk& walk, std::string_view token) {
    if (const auto hash = token.find('#'); hash != std::string_view::npos) {
        return ApplyLevelToken(walk, token, hash);
    }
    if (const auto minus = token.find('-'); minus != std::string_view::npos) {
        return ApplyCutToken(walk, token, minus);
    }
    if (const auto f = token.find('F'); f != std::string_view::npos) {
        return ApplyFrontToken(walk, token, f);
    }
}

}  // namespace

void ComposeRule(ComposedText& path, std::string_view rule, const LevelValueTable& table,
                 const CompositionJob& job, std::size_t composed_level) {
    Walk walk{path, {}, table, job, composed_level};
    std::size_t position = 0;
    while (position < rule.size()) {
        const auto dollar = rule.find('$', position);
        if (dollar == std::string_view::npos) {
            walk.PutText(rule.substr(position));
            break;
        }
        walk.PutText(rule.substr(position, dollar - position));
        // A "%" ahead of the "$" is plain text: the token ends at the first "%" after its "$".
        const auto percent = rule.find('%', dollar + 1);
        if (percent == std::string_view::npos) break;
        ApplyToken(walk, rule.substr(dollar, percent - dollar));
        position = percent + 1;
    }
    const std::size_t room = kMaxPathText - std::min(path.size(), kMaxPathText);
    const std::size_t taken = std::min(room, walk.working.size());
    path.insert(path.end(), walk.working.begin(), walk.working.begin() + taken);
}

}  // namespace scantora
