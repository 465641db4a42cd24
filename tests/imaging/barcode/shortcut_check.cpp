#include "tests/imaging/barcode/shortcut_check.h"

#include <cstring>
#include <sstream>

namespace pixdoc::barcode::testing {
namespace {

struct Answer {
    bool read = false;
    Candidate candidate;

    bool operator==(const Answer& o) const {
        if (read != o.read) return false;
        if (!read) return true;
        return std::strncmp(candidate.text, o.candidate.text, kCandidateCapacity) == 0 &&
               candidate.start_column == o.candidate.start_column &&
               candidate.end_column == o.candidate.end_column;
    }
};

std::string Describe(const Answer& a) {
    if (!a.read) return "no read";
    std::ostringstream out;
    out << '"' << a.candidate.text << "\" " << a.candidate.start_column << ".."
        << a.candidate.end_column;
    return out.str();
}

}  // namespace

std::string ShortcutDisagreement(const SymbologyEntry& s, const LineView& line, int threshold,
                                 DecodeContext& with) {
    DecodeContext without(with.options);
    without.shortcuts = false;
    for (bool merge : {false, true}) {
        Answer fast;
        Answer whole;
        fast.read = s.decode(line, threshold, merge, with, fast.candidate);
        whole.read = s.decode(line, threshold, merge, without, whole.candidate);
        if (fast == whole) continue;
        std::ostringstream out;
        out << "symbology " << s.bit << " threshold " << threshold << " merge " << merge
            << ": with shortcuts " << Describe(fast) << ", whole walk " << Describe(whole);
        return out.str();
    }
    return "";
}

}  // namespace pixdoc::barcode::testing
