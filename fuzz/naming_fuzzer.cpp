// Fuzzes the naming of pages and documents with arbitrary rules, codes, side names and paths,
// and compares both sides on the same rules: the page path scanning composes must be one of the
// transfer's document paths for the same codes, and discovery must find it under those codes.
// Also COMPONI_STRINGA in its three modes, the matcher on an arbitrary path and the numeric
// advance. Any broken bound or disagreement traps.
//
// Input: lines of root, 9 rules, 9 codes, a path to match, front name, back name (missing side
// names are "fro" and "bac").
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/code_advance.h"
#include "acquisition/naming_text.h"
#include "acquisition/page_path.h"
#include "config/numeric_text.h"
#include "config/text_encoding.h"
#include "transfer/job_patterns.h"

namespace {

using namespace scantora;

constexpr std::size_t kPieces = 22;
constexpr std::size_t kFrontPiece = 20;
constexpr std::size_t kBackPiece = 21;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

std::vector<std::string> Split(std::string_view input) {
    std::vector<std::string> pieces;
    while (pieces.size() + 1 < kPieces) {
        const auto end = input.find('\n');
        if (end == std::string_view::npos) break;
        pieces.emplace_back(input.substr(0, end));
        input.remove_prefix(end + 1);
    }
    pieces.emplace_back(input);
    if (pieces.size() <= kFrontPiece) pieces.resize(kFrontPiece + 1, "fro");
    if (pieces.size() <= kBackPiece) pieces.resize(kBackPiece + 1, "bac");
    return pieces;
}

bool SameCharacters(std::string_view value, std::string_view code) {
    // Discovery reads a code's characters as the walk sees them: "?" where none shows, the file
    // name in upper case, either separator.
    std::size_t at = 0, code_at = 0;
    while (at < value.size() && code_at < code.size()) {
        const std::size_t size = CharSizeAt(value, at), code_size = CharSizeAt(code, code_at);
        const std::string_view c = value.substr(at, size), wanted = code.substr(code_at, code_size);
        const bool separators =
            size == 1 && code_size == 1 && IsSeparator(c[0]) && IsSeparator(wanted[0]);
        if (c != "?" && !separators && UpperAscii(c) != UpperAscii(wanted)) return false;
        at += size;
        code_at += code_size;
    }
    return at == value.size();
}

// Both sides on the first `levels` rules, all of whose codes are set, as wide as their levels.
void CompareSides(const JobRecord& job, const std::vector<std::string>& codes, std::size_t levels) {
    std::vector<std::string> rules;
    for (std::size_t i = 0; i < levels; ++i)
        rules.push_back(job.levels[i].composnome);
    const PagePathRules page_rules{job.disco_scarico, rules, job.nomefronte, job.nomeretro};
    LevelValueTable values;
    for (std::size_t i = 0; i < levels; ++i)
        values.Set(i, codes[i]);
    const std::vector<std::string> documents = ComposeDocumentPaths(job, values, levels);
    const DiscoveryPatterns patterns = BuildJobDiscoveryPatterns(job, levels);
    for (bool back : {false, true}) {
        const auto page = ComposePagePath(page_rules, codes, back);
        if (!page) continue;
        Require(IsValidUtf8(*page));
        Require(std::find(documents.begin(), documents.end(), *page) != documents.end());

        const std::string_view side = back ? job.nomeretro : job.nomefronte;
        const auto own =
            std::find_if(patterns.sides.begin(), patterns.sides.end(),
                         [side](const SidePatterns& s) { return s.side_name == side; });
        const SidePatterns& pattern = own != patterns.sides.end() ? *own : patterns.sides.front();
        if (pattern.madre.find('!') == std::string::npos) continue;
        const auto name = page->find_last_of('/') + 1;
        const std::string walked = DiscoveryPath(page->substr(0, name), page->substr(name));
        const auto found = MatchSidePatterns(walked, pattern, patterns.value_widths);
        Require(found.has_value());
        for (std::size_t i = 0; i < levels; ++i)
            Require(SameCharacters((*found)[i], values.Get(i)));
        Require(MatchDiscoveryPath(walked, patterns).has_value());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto pieces = Split({reinterpret_cast<const char*>(data), size});
    const std::string& root = pieces[0];
    const std::vector<std::string> rules(pieces.begin() + 1, pieces.begin() + 10);
    const std::vector<std::string> codes(pieces.begin() + 10, pieces.begin() + 19);
    const std::string& path = pieces[19];

    JobRecord job;
    job.disco_scarico = root;
    job.nomefronte = pieces[kFrontPiece];
    job.nomeretro = pieces[kBackPiece];
    std::size_t levels = 0;
    for (std::size_t i = 0; i < kLevelSlots; ++i) {
        job.levels[i].composnome = rules[i];
        job.levels[i].nmaxcar = std::to_string(CharCount(ToUtf8(codes[i])));
        if (levels == i && !codes[i].empty()) ++levels;
    }
    job.nlivelli = std::to_string(levels);
    const CompositionJob composition = CompositionJobOf(job);

    if (const auto page =
            ComposePagePath({root, rules, job.nomefronte, job.nomeretro}, codes, true)) {
        Require(CharCount(*page) <= kMaxPathText && IsAbsolutePath(*page));
        const PagePathParts parts = SplitPagePath(*page);
        Require(parts.directory.size() + parts.base_name.size() <= page->size());
    }
    if (levels > 0) CompareSides(job, codes, levels);

    LevelValueTable table;
    for (std::size_t i = 0; i < kLevelSlots; ++i)
        table.Set(i, codes[i]);
    for (std::string_view mode : {kModeFiglio, kModeMadre, kModePadre}) {
        std::string composed = root;
        for (std::size_t i = 0; i < kLevelSlots; ++i) {
            COMPONI_STRINGA(composed, rules[i], mode, table, composition, i + 1);
            Require(CharCount(composed) <= kMaxPathText);
        }
    }

    const DiscoveryPatterns patterns = BuildDiscoveryPatterns(root, rules, composition);
    for (const SidePatterns& side : patterns.sides) {
        Require(side.madre.size() == side.padre.size());
        Require(CharCount(side.madre) == side.places.size());
    }
    if (const auto values = MatchDiscoveryPath(path, patterns)) {
        for (std::size_t i = 0; i < kLevelSlots; ++i)
            Require(CharCount(values->at(i)) == patterns.value_widths[i]);
    }

    for (int step = -1; step <= 1; ++step) {
        const long width = LeadingNumber(codes[1]);
        const std::string advanced = AdvanceCode(codes[0], width, step);
        Require(CharCount(advanced) <= std::max(CharCount(codes[0]) + 1, kMaxLevelValue));
    }
    return 0;
}
