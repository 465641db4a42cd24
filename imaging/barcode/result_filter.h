// The result filter of a search: accepts or refuses each read, appends accepted reads (and in
// insert-data mode their position suffix) to the caller's result buffer, and keeps the
// duplicate list. The buffer is never written past its size; a read that does not fit is
// refused and the search goes on.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

struct FilterSettings {
    int min_length = 0;   // data characters; the framed text needs min_length + 2
    int zone_height = 0;  // above 0: duplicates by position; 0: by five-bit text comparison
    bool insert_data = false;
    int max_results = 1;  // size of the duplicate list
};

struct ReadPosition {
    int line = 0;
    int symbology = 0;
    int threshold = 0;
};

class ResultFilter {
public:
    // `buffer` may be null or `size` 0 or less: then every read is refused. With a positive size
    // the buffer is emptied.
    ResultFilter(char* buffer, int size, const FilterSettings& settings);

    // True when the read was accepted and appended.
    bool Offer(const Candidate& read, const ReadPosition& at);

    int length() const { return length_; }
    bool empty() const { return length_ == 0; }

private:
    struct DuplicateEntry {
        int line;
        int start;  // start column - 16
        int end;    // end column + 16
    };

    bool DuplicateByPosition(const Candidate& read, int line) const;
    bool DuplicateByText(const char* text, int length) const;
    void Append(const char* text, int length);

    char* buffer_;
    int size_;
    int length_ = 0;
    FilterSettings settings_;
    std::vector<DuplicateEntry> duplicates_;
};

}  // namespace pixdoc::barcode
