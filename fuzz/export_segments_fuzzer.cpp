// Fuzzes the export step of the Barlynx control over arbitrary search texts: the segment walk,
// the barcode text, coordinates and rejected-character checks of each segment, the
// neighbourhood, and the export line with names taken from the input. Any bound broken traps.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "barcode_control/export_step.h"

namespace {

using namespace barlynx;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

// The segments cover the text from its start without gaps, each but a last one ending in ">".
void CheckSegments(std::string_view raw) {
    size_t covered = 0;
    for (std::string_view segment : Segments(raw)) {
        Require(!segment.empty());
        Require(segment.data() == raw.data() + covered);
        covered += segment.size();
        Require(segment.back() == '>' || covered == raw.size());
        const std::string_view text = BarcodeText(segment);
        Require(text.empty() || (text.data() > segment.data() &&
                                 text.data() + text.size() < segment.data() + segment.size()));
        if (const auto at = ReadCoordinates(segment)) {
            const PageArea area = Neighbourhood(*at);
            Require(area.bottom == at->y);
        }
        HasRejectedCharacter(segment);
    }
    Require(covered <= raw.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first line names the page file, the rest is the search text.
    const size_t line_end = input.find('\n');
    const std::string_view file_name =
        line_end == std::string_view::npos ? "" : input.substr(0, line_end);
    const std::string_view raw =
        line_end == std::string_view::npos ? input : input.substr(line_end + 1);
    CheckSegments(raw);

    int corrections = 0;
    const SegmentHooks hooks{[](std::string_view) {},
                             [&](std::string_view text, const Coordinates&) {
                                 return ++corrections % 2 ? std::optional<std::string>(text)
                                                          : std::nullopt;
                             }};
    const ExportFields fields = WalkSegments(raw, hooks);
    const std::string base = BaseName(file_name);
    const std::string line = ExportLine(base, fields, ImagesPath(file_name, ""));
    Require(line.size() >= base.size() + 1 + 25 + 4 * 6 + 1 + 2);
    Require(line.compare(line.size() - 2, 2, "\r\n") == 0);
    Require(line.compare(0, base.size(), base) == 0 && line[base.size()] == ';');
    Require(line[base.size() + 26] == ';');
    return 0;
}
