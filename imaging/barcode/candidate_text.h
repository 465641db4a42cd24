// Building a decoder's text inside the fixed candidate buffer.
//
// The buffer holds 127 characters and its terminator; a decoder whose text would grow past that
// refuses the read (Append returns false) instead of returning a cut-off symbol.
#pragma once

#include <algorithm>
#include <cstring>

#include "imaging/barcode/decoder.h"

namespace pixdoc::barcode {

class CandidateText {
public:
    explicit CandidateText(int capacity = kCandidateCapacity - 1) : capacity_(capacity) {}

    int size() const { return size_; }
    bool empty() const { return size_ == 0; }
    char operator[](int i) const { return text_[i]; }
    void Clear() { size_ = 0; }

    bool Append(char c) {
        if (size_ >= capacity_) return false;
        text_[size_++] = c;
        return true;
    }

    // Turns a text collected from the symbol's right end into reading order and marks it as
    // read backwards (bit 7 of the first byte).
    void ReverseAndMark() {
        std::reverse(text_, text_ + size_);
        MarkBackwards();
    }

    // Marks a text already in reading order as read from the symbol's right end.
    void MarkBackwards() {
        if (size_ > 0) text_[0] = static_cast<char>(text_[0] | kReadBackwardsMark);
    }

    void CopyTo(Candidate& out) const {
        std::memcpy(out.text, text_, size_);
        out.text[size_] = '\0';
    }

private:
    char text_[kCandidateCapacity] = {};
    int size_ = 0;
    int capacity_;
};

}  // namespace pixdoc::barcode
