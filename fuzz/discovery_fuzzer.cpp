// Fuzzes what the transfer dialog makes of the paths a walk of the work area hands it: the
// job's discovery patterns from arbitrary rules and widths, each path matched and counted into
// the accumulator, the rows built from it, and each row's document paths and page selection.
// Traps when a page is lost or counted twice, or when the rows leave their order.
//
// Input: lines of root, shown levels (a digit), then per level its width and rule, then paths.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/naming_text.h"
#include "config/text_encoding.h"
#include "transfer/job_patterns.h"
#include "transfer/transfer_model.h"

namespace {

using namespace scantora;

constexpr std::size_t kMaxPaths = 64;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

std::vector<std::string> Lines(std::string_view input) {
    std::vector<std::string> lines;
    while (!input.empty()) {
        const std::size_t end = std::min(input.find('\n'), input.size());
        lines.emplace_back(input.substr(0, end));
        input.remove_prefix(std::min(end + 1, input.size()));
    }
    return lines;
}

std::string Line(const std::vector<std::string>& lines, std::size_t at) {
    return at < lines.size() ? lines[at] : std::string();
}

int Total(const std::vector<DocumentRow>& rows) {
    int total = 0;
    for (const DocumentRow& row : rows)
        total += row.page_count;
    return total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> lines = Lines({reinterpret_cast<const char*>(data), size});
    const std::string shown_line = Line(lines, 1);
    const unsigned char first = shown_line.empty() ? '0' : shown_line[0];
    const std::size_t shown =
        (first >= '0' && first <= '9' ? first - '0' : first) % (kLevelSlots + 1);

    JobRecord job;
    job.disco_scarico = Line(lines, 0);
    job.nlivelli = std::to_string(shown);
    job.viewnlivelli = job.nlivelli;
    std::size_t at = 2;
    for (std::size_t i = 0; i < shown; ++i) {
        job.levels[i].nmaxcar = Line(lines, at++);
        job.levels[i].composnome = Line(lines, at++);
    }
    TransferModel model(job, false);
    Require(model.shown_levels() == shown);
    Require(model.columns().size() == shown + 1);

    DocumentAccumulator accumulator(shown);
    std::vector<std::pair<std::string, LevelValues>> matched;
    for (; at < lines.size() && matched.size() < kMaxPaths; ++at) {
        const std::string& path = lines[at];
        const auto values = MatchDiscoveryPath(path, model.patterns());
        if (!values) continue;
        for (std::size_t i = 0; i < kLevelSlots; ++i)
            Require(CharCount(values->at(i)) == model.patterns().value_widths[i]);
        accumulator.Count(*values);
        matched.emplace_back(path, *values);
    }

    // Every page counted once, in exactly one row, the rows in ascending order.
    const std::vector<DocumentRow> rows = accumulator.Rows();
    Require(Total(rows) == static_cast<int>(matched.size()));
    Require(rows.size() == accumulator.entries().size());
    for (std::size_t i = 1; i < rows.size(); ++i) {
        std::string before, after;
        for (std::size_t level = 0; level < shown; ++level) {
            before += UpperAscii(rows[i - 1].values[level]);
            after += UpperAscii(rows[i].values[level]);
        }
        Require(before < after);
    }
    for (const auto& entry : accumulator.entries()) {
        const std::string text = accumulator.Text(entry);
        Require(text.size() >= 5 &&
                std::stoi(text.substr(text.size() - 5)) == entry.count % 100000);
    }

    // Each page is under the one row it counted into; its document's selection is well behaved.
    for (const auto& [path, values] : matched) {
        const std::vector<DocumentRow> own = accumulator.RowsOf(values);
        Require(own.size() == 1 && own[0].page_count >= 1);
        LevelValueTable table;
        for (std::size_t i = 0; i < shown; ++i)
            table.Set(i, values[i]);
        const DocumentSelection document{values, ComposeDocumentPaths(job, table, shown)};
        (void)IsDocumentPage(path, document, model.patterns());
    }
    return 0;
}
