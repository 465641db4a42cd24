// The page files of one document as they lie in the work area: what the transfer run adds up
// before it starts and counts again after each move, and the tidy-up of emptied folders.
#pragma once

#include <cstdint>
#include <string>

#include "transfer/discovery_patterns.h"

namespace scantora {

struct DocumentFiles {
    int count = 0;
    std::uint64_t bytes = 0;
};

// Walks the entries below each of `document`'s paths (a path prefix: a folder and, as a rule,
// the start of a file name), descending into the folders that may hold its pages, and counts
// the files that are the document's pages (IsDocumentPage). With `tidy`, every folder below a
// document path that holds nothing after the walk is removed.
DocumentFiles WalkDocumentFiles(const DocumentSelection& document,
                                const DiscoveryPatterns& patterns, bool tidy);

// Removes every folder below `root` that holds nothing, deepest first; never `root` itself
// and nothing that holds an entry.
void TidyWorkArea(const std::string& root);

}  // namespace scantora
