// Direction 0: change lists straight from the line decoder; lines above the area are decoded
// (the codings need them) but not searched.
#include <algorithm>
#include <new>
#include <vector>

#include "imaging/barcode/scan_paths.h"
#include "imaging/decode/bilevel/line_face.h"

namespace pixdoc::barcode {
namespace {

constexpr int kOneToOne = 2048;
constexpr int kListSlack = 16;

// Copies the bars of `changes` (ascending, ended by copies of `page_width`) that start inside
// [origin, right_edge) into `list` in the frame's form; returns the entry count before the
// sentinels. Bound: at most (size - 2 - sentinels) / 2 pairs are copied.
int BuildList(const int16_t* changes, int page_width, int origin, int right_edge,
              std::vector<int16_t>& list) {
    const int room = static_cast<int>(list.size()) - kChangeListSentinels;
    int n = kChangeListLead;
    list[0] = list[1] = 0;
    for (const int16_t* p = changes; p[0] < page_width; p += 2) {
        if (p[0] < origin) continue;
        if (p[0] >= right_edge || n + 2 > room) break;
        list[n++] = p[0];
        list[n++] = p[1];
    }
    for (int i = 0; i < kChangeListSentinels; ++i)
        list[n + i] = static_cast<int16_t>(right_edge);
    return n;
}

}  // namespace

PathResult ScanPageRows(ImageHeader& h, const SearchArea& requested, LineScanner& scanner) {
    SearchArea area = FitToRows(requested, h.width, h.height);
    h.output_width = area.width;
    h.output_height = area.height;
    h.horizontal_scale = kOneToOne;
    h.vertical_scale = kOneToOne;
    h.first_column = area.x;
    h.first_row = area.y;
    h.decode_flags = bilevel::kFlagSetUpNeeded;
    const int first_row = std::clamp(area.y, 0, h.height > 0 ? h.height - 1 : 0);
    if (bilevel::LineFaceSetUp(h, first_row) != 0) return PathResult::kNoDecoder;
    area.width = CutWidthToPage(area, h.width);
    const int right_edge = area.x + area.width;

    std::vector<int16_t> list;
    try {
        list.resize(static_cast<size_t>(h.width) + kListSlack);
    } catch (const std::bad_alloc&) {
        bilevel::BilevelRelease(h);
        return PathResult::kNoDecoder;
    }
    int searched = 0;
    while (searched < area.height && scanner.Wanted() && h.current_source_line < h.height) {
        if (bilevel::LineFaceNextLine(h) != bilevel::kLineGood) break;  // end, or damaged
        const int line_number = h.current_source_line;  // 1-based: lines decoded so far
        if (line_number - 1 < area.y) continue;
        if (!scanner.Searches(line_number)) {
            ++searched;
            continue;
        }
        int count = BuildList(h.current_line, h.width, area.x, right_edge, list);
        scanner.ScanLine(list.data(), count, right_edge, line_number);
        ++searched;
    }
    bilevel::BilevelRelease(h);
    return PathResult::kScanned;
}

}  // namespace pixdoc::barcode
