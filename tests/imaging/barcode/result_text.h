// Splits a search's result text (insert-data mode) into its reads.
#pragma once

#include <string>
#include <vector>

namespace pixdoc::barcode::testing {

struct ParsedRead {
    std::string text;  // the framed text, read-backwards mark included
    int start = -1, end = -1, line = -1, symbology = -1, threshold = -1;

    bool operator==(const ParsedRead&) const = default;
};

// Pieces end after each ">"; a text without suffix is one piece with -1 positions.
std::vector<ParsedRead> ParseResult(const std::string& result);

}  // namespace pixdoc::barcode::testing
