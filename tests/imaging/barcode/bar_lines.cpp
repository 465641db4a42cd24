#include "tests/imaging/barcode/bar_lines.h"

#include <algorithm>
#include <stdexcept>

#include "imaging/barcode/code39_table.h"

namespace pixdoc::barcode::testing {

BarLine LineFromGroups(const std::vector<std::vector<int>>& groups, int lead, int trail) {
    BarLine line;
    line.list = {0, 0};
    int x = 0;
    for (const auto& elements : groups) {
        x += lead;
        for (size_t i = 0; i < elements.size(); ++i) {
            if (i % 2 == 0) line.list.push_back(static_cast<int16_t>(x));
            x += elements[i];
            if (i % 2 == 0) line.list.push_back(static_cast<int16_t>(x));
        }
    }
    line.count = static_cast<int>(line.list.size());
    line.right_edge = x + trail;
    for (int i = 0; i < 4; ++i)
        line.list.push_back(static_cast<int16_t>(line.right_edge));
    return line;
}

BarLine LineFromElements(const std::vector<int>& elements, int lead, int trail) {
    return LineFromGroups({elements}, lead, trail);
}

std::vector<int> Code39Elements(std::string_view text, int narrow, int wide, int gap) {
    std::vector<int> out;
    for (char c : text) {
        auto table = Code39Table();
        auto row = std::find_if(table.begin(), table.end(),
                                [c](const Code39Row& r) { return r.character == c; });
        if (row == table.end()) throw std::invalid_argument("not a Code 39 character");
        if (!out.empty()) out.push_back(gap);
        for (int bit = 8; bit >= 0; --bit)
            out.push_back((row->forward >> bit) & 1 ? wide : narrow);
    }
    return out;
}

std::vector<int> Reversed(std::vector<int> elements) {
    std::reverse(elements.begin(), elements.end());
    return elements;
}

std::vector<int> InkSpread(std::vector<int> elements) {
    for (size_t i = 0; i < elements.size(); ++i)
        elements[i] += i % 2 == 0 ? 1 : -1;
    return elements;
}

std::string ReadWith(DecodeFn decode, const BarLine& line, int threshold, bool merge,
                     Candidate* out, const DecoderOptions& options) {
    Candidate read;
    DecodeContext context{options};
    if (!decode(line.View(), threshold, merge, context, read)) return "<none>";
    if (out) *out = read;
    return read.text;
}

}  // namespace pixdoc::barcode::testing
