#include "acquisition/page_name.h"

#include <array>

#include "acquisition/naming_text.h"

namespace scantora {

namespace {

// "*" or the leading number of `part`: how much of a text a token takes.
struct Amount {
    bool whole = false;
    long count = 0;
};

Amount AmountOf(std::string_view part) {
    if (part.starts_with('*')) return {true, 0};
    return {false, CountOf(part)};
}

constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void AppendSideName(std::string& path, std::string_view body, std::string_view side_name) {
    if (body.starts_with('#')) body.remove_prefix(1);
    const Amount amount = AmountOf(body);
    if (amount.whole) {
        path += side_name;
        return;
    }
    path += side_name.substr(0, static_cast<std::size_t>(amount.count));
}

void AppendLevelCode(std::string& path, std::string_view body, const PageNameContext& context) {
    const auto hash = body.find('#');
    if (hash == std::string_view::npos) return;
    const long level = CountOf(body);
    if (level < 1 || static_cast<std::size_t>(level) > context.composed_level ||
        static_cast<std::size_t>(level) > context.codes.size()) {
        return;
    }
    const std::string& code = context.codes[static_cast<std::size_t>(level - 1)];
    const Amount amount = AmountOf(body.substr(hash + 1));
    if (amount.whole) {
        path += code;
        return;
    }
    if (amount.count >= 1 && static_cast<std::size_t>(amount.count) <= code.size()) {
        path += code[static_cast<std::size_t>(amount.count - 1)];
    }
}

void CutPath(std::string& path, std::string_view count_text) {
    const auto count = static_cast<std::size_t>(CountOf(count_text));
    if (path.size() >= count) path.resize(path.size() - count);
}

// Applies one token; `body` is the text between "$" and "%".
void ApplyToken(std::string& path, std::string_view body, const PageNameContext& context) {
    if (body.starts_with('-')) return CutPath(path, body.substr(1));
    if (body.starts_with('F')) return AppendSideName(path, body.substr(1), context.side_name);
    AppendLevelCode(path, body, context);
}

}  // namespace

void AppendLevelName(std::string& path, std::string_view pattern, const PageNameContext& context) {
    std::size_t position = 0;
    while (position < pattern.size()) {
        const auto dollar = pattern.find('$', position);
        if (dollar == std::string_view::npos) {
            path += pattern.substr(position);
            return;
        }
        path += pattern.substr(position, dollar - position);
        const auto percent = pattern.find('%', dollar + 1);
        if (percent == std::string_view::npos) return;
        ApplyToken(path, pattern.substr(dollar + 1, percent - dollar - 1), context);
        position = percent + 1;
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
