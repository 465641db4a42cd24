// Fuzzes the naming of pages and documents with arbitrary rules, codes and paths: scan-time
// composition, COMPONI_STRINGA in its three modes, the discovery patterns and their matcher,
// and the numeric advance. Any bound broken traps.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/code_advance.h"
#include "acquisition/naming_text.h"
#include "acquisition/page_path.h"
#include "config/numeric_text.h"
#include "transfer/componi_stringa.h"
#include "transfer/discovery_patterns.h"

namespace {

using namespace scantora;

constexpr std::size_t kPieces = 20;  // root, 9 rules, 9 codes, a path to match

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
    pieces.resize(kPieces);
    return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto pieces = Split({reinterpret_cast<const char*>(data), size});
    const std::string& root = pieces[0];
    const std::vector<std::string> rules(pieces.begin() + 1, pieces.begin() + 10);
    const std::vector<std::string> codes(pieces.begin() + 10, pieces.begin() + 19);
    const std::string& path = pieces[19];

    CompositionJob job;
    job.front_name = "fro";
    for (std::size_t i = 0; i < kLevelSlots; ++i)
        job.widths[i] = static_cast<long>(codes[i].size());

    if (const auto page = ComposePagePath({root, rules, "fro", "bac"}, codes, true)) {
        Require(page->size() <= kMaxPathText && IsAbsolutePath(*page));
        const PagePathParts parts = SplitPagePath(*page);
        Require(parts.directory.size() + parts.base_name.size() <= page->size());
    }

    LevelValueTable table;
    for (std::size_t i = 0; i < kLevelSlots; ++i)
        table.Set(i, codes[i]);
    for (std::string_view mode : {kModeFiglio, kModeMadre, kModePadre}) {
        std::string composed = root;
        for (std::size_t i = 0; i < kLevelSlots; ++i) {
            COMPONI_STRINGA(composed, rules[i], mode, table, job, i + 1);
            Require(composed.size() <= kMaxPathText);
        }
    }

    const DiscoveryPatterns patterns = BuildDiscoveryPatterns(root, rules, job);
    Require(patterns.madre.size() == patterns.padre.size());
    Require(patterns.madre.size() == patterns.places.size());
    if (const auto values = MatchDiscoveryPath(path, patterns)) {
        for (std::size_t i = 0; i < kLevelSlots; ++i) {
            Require(values->at(i).size() == patterns.value_widths[i]);
        }
    }

    for (int step = -1; step <= 1; ++step) {
        const std::string advanced = AdvanceCode(codes[0], LeadingNumber(codes[1]) % 400, step);
        Require(advanced.size() <= codes[0].size() + 400 + 1);
    }
    return 0;
}
