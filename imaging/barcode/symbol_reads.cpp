#include "imaging/barcode/symbol_reads.h"

#include <algorithm>
#include <cstring>

#include "imaging/barcode/symbol_scale.h"

namespace pixdoc::barcode {
namespace {

// The text a symbol is known by: an upside-down read keeps its mark only on the first byte.
std::string SymbolText(const Candidate& c) {
    std::string text(c.text, strnlen(c.text, kCandidateCapacity));
    if (!text.empty()) text[0] = static_cast<char>(text[0] & ~kReadBackwardsMark);
    return text;
}

bool Overlap(int start, int end, const Candidate& c) {
    return std::max(start, c.start_column) <= std::min(end, c.end_column);
}

}  // namespace

SymbolReads::Sighting* SymbolReads::Find(const std::string& text, const Candidate& c, int line) {
    for (Sighting& s : sightings_)
        if (line - s.last_line <= kSymbolGapLines && Overlap(s.start, s.end, c) && s.text == text)
            return &s;
    return nullptr;
}

bool SymbolReads::Admit(const StepRead& read, int line, StepRead& given, int& given_line) {
    std::erase_if(sightings_,
                  [line](const Sighting& s) { return line - s.last_line > kSymbolGapLines; });
    const std::string text = SymbolText(read.candidate);
    Sighting* seen = Find(text, read.candidate, line);
    if (seen != nullptr) {
        const bool confirms =
            !seen->given && line != seen->last_line && line - seen->last_line <= kConfirmLines;
        // Follows a skewed symbol along its lines.
        seen->start = read.candidate.start_column;
        seen->end = read.candidate.end_column;
        seen->last_line = line;
        if (!confirms) return false;
        seen->given = true;
        given = seen->first;
        given_line = seen->first_line;
        return true;
    }
    Sighting s;
    s.text = text;
    s.start = read.candidate.start_column;
    s.end = read.candidate.end_column;
    s.first_line = s.last_line = line;
    s.first = read;
    s.given = !LacksCheckCharacter(static_cast<Symbology>(read.symbology));
    sightings_.push_back(std::move(s));
    if (!sightings_.back().given) return false;
    given = read;
    given_line = line;
    return true;
}

}  // namespace pixdoc::barcode
