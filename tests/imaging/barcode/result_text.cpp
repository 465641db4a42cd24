#include "tests/imaging/barcode/result_text.h"

#include <cstdio>

namespace pixdoc::barcode::testing {

std::vector<ParsedRead> ParseResult(const std::string& result) {
    std::vector<ParsedRead> reads;
    size_t at = 0;
    while (at < result.size()) {
        size_t close = result.find('>', at);
        std::string piece = result.substr(at, close == std::string::npos ? close : close + 1 - at);
        ParsedRead r;
        size_t open = piece.rfind('<');
        if (open != std::string::npos && close != std::string::npos) {
            r.text = piece.substr(0, open);
            std::sscanf(piece.c_str() + open, "<%d,%d,%d,%d,%d>", &r.start, &r.end, &r.line,
                        &r.symbology, &r.threshold);
        } else {
            r.text = piece;
        }
        reads.push_back(r);
        if (close == std::string::npos) break;
        at = close + 1;
    }
    return reads;
}

}  // namespace pixdoc::barcode::testing
