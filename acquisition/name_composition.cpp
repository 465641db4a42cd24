#include "acquisition/name_composition.h"

#include <algorithm>

#include "acquisition/naming_text.h"
#include "acquisition/naming_token.h"
#include "config/text_encoding.h"

namespace scantora {

namespace {

constexpr std::size_t kAll = static_cast<std::size_t>(-1);

// Calls `put` with every character of `text` (at most `limit`) and its position.
template <typename Put>
void ForEachChar(std::string_view text, std::size_t limit, Put put) {
    std::size_t index = 0;
    for (std::size_t at = 0; at < text.size() && index < limit; ++index) {
        const std::size_t size = CharSizeAt(text, at);
        put(text.substr(at, size), index);
        at += size;
    }
}

NameChar CharOf(std::string_view character, std::size_t level = 0, std::size_t index = 0) {
    NameChar c;
    std::copy(character.begin(), character.end(), c.bytes.begin());
    c.size = static_cast<std::uint8_t>(character.size());
    c.level = static_cast<std::uint8_t>(level);
    c.index = static_cast<std::uint8_t>(index);
    return c;
}

class Composition {
public:
    Composition(ComposedName& path, const NameSources& sources, std::size_t composed_level)
        : path_(path), sources_(sources), composed_level_(composed_level) {}

    void Apply(const RulePiece& piece) {
        switch (piece.kind) {
            case RulePieceKind::kText:
                return PutText(piece.text, kAll);
            case RulePieceKind::kLevel:
                return PutLevel(piece);
            case RulePieceKind::kSideName:
                return PutText(sources_.side_name, Amount(piece));
            case RulePieceKind::kCut:
                return Cut(static_cast<std::size_t>(piece.count));
            case RulePieceKind::kNothing:
                return;
        }
    }

    // Appends the rule's text to the path; false when anything was dropped on the way.
    bool Finish() {
        const std::size_t room = kMaxPathText - std::min(path_.size(), kMaxPathText);
        const std::size_t taken = std::min(room, working_.size());
        path_.insert(path_.end(), working_.begin(), working_.begin() + taken);
        return fits_ && taken == working_.size();
    }

private:
    static std::size_t Amount(const RulePiece& piece) {
        return piece.whole ? kAll : static_cast<std::size_t>(piece.count);
    }

    void Put(const NameChar& c) {
        if (working_.size() < kMaxComposedText) {
            working_.push_back(c);
        } else {
            fits_ = false;
        }
    }

    void PutText(std::string_view text, std::size_t limit) {
        ForEachChar(ToUtf8(text), limit,
                    [this](std::string_view c, std::size_t) { Put(CharOf(c)); });
    }

    void PutLevel(const RulePiece& piece) {
        const std::size_t deepest =
            std::min({composed_level_, kMaxNamedLevels, sources_.values.size()});
        if (piece.level < 1 || static_cast<std::size_t>(piece.level) > deepest) return;
        const auto level = static_cast<std::size_t>(piece.level);
        const std::string value = ToUtf8(sources_.values[level - 1]);
        const auto position = static_cast<std::size_t>(piece.count);
        ForEachChar(value, kMaxLevelValue, [&](std::string_view c, std::size_t index) {
            if (piece.whole || index + 1 == position) Put(CharOf(c, level, index));
        });
    }

    void Cut(std::size_t count) {
        if (path_.size() >= count) path_.resize(path_.size() - count);
    }

    ComposedName& path_;
    const NameSources& sources_;
    std::size_t composed_level_;
    ComposedName working_;
    bool fits_ = true;
};

}  // namespace

ComposedName ComposedOf(std::string_view text) {
    ComposedName name;
    ForEachChar(ToUtf8(text), kAll,
                [&name](std::string_view c, std::size_t) { name.push_back(CharOf(c)); });
    return name;
}

std::string TextOf(const ComposedName& name) {
    std::string text;
    text.reserve(name.size());
    for (const NameChar& c : name)
        text += c.text();
    return text;
}

bool AppendComposition(ComposedName& path, std::string_view rule, const NameSources& sources,
                       std::size_t composed_level) {
    Composition composition(path, sources, composed_level);
    for (const RulePiece& piece : ScanRule(rule))
        composition.Apply(piece);
    return composition.Finish();
}

}  // namespace scantora
