// One read per symbol for the adaptive search: a read that repeats the text of an earlier one
// over overlapping columns on nearby lines is the same symbol, however tall; and a symbology
// without a check character is given only once a second line agrees with the first.
#pragma once

#include <string>
#include <vector>

#include "imaging/barcode/line_step.h"

namespace pixdoc::barcode {

// Lines between two sightings of one symbol (a damaged stretch of a tall symbol included).
inline constexpr int kSymbolGapLines = 48;
// Lines within which the second, agreeing read of a symbol without a check character must come.
inline constexpr int kConfirmLines = 16;

class SymbolReads {
public:
    // Takes a valid read on `line` (lines ascend). True when the read is to be given: `given`
    // and `given_line` then hold the symbol's first read and its line.
    bool Admit(const StepRead& read, int line, StepRead& given, int& given_line);

private:
    struct Sighting {
        std::string text;
        int start = 0;
        int end = 0;
        int first_line = 0;
        int last_line = 0;
        bool given = false;
        StepRead first;
    };

    Sighting* Find(const std::string& text, const Candidate& c, int line);

    std::vector<Sighting> sightings_;
};

}  // namespace pixdoc::barcode
