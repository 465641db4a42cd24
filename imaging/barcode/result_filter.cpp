#include "imaging/barcode/result_filter.h"

#include <cstdio>
#include <cstring>

namespace pixdoc::barcode {
namespace {

// Entries are widened by this much when stored, and by one more pixel per kLinesPerPixel lines.
constexpr int kDuplicateMargin = 16;
constexpr int kLinesPerPixel = 4;
constexpr int kFrameCharacters = 2;
// Characters compare equal when these bits agree (the digit 1 and the letter Q do).
constexpr unsigned kFiveBits = 0x1f;
constexpr int kSuffixCapacity = 64;

bool FiveBitEqual(const char* a, const char* b, int length) {
    for (int i = 0; i < length; ++i)
        if (((static_cast<unsigned char>(a[i]) ^ static_cast<unsigned char>(b[i])) & kFiveBits) !=
            0)
            return false;
    return true;
}

}  // namespace

ResultFilter::ResultFilter(char* buffer, int size, const FilterSettings& settings)
    : buffer_(buffer), size_(buffer ? size : 0), settings_(settings) {
    if (size_ > 0) buffer_[0] = '\0';
    if (settings_.zone_height > 0) duplicates_.reserve(settings_.max_results);
}

bool ResultFilter::Offer(const Candidate& read, const ReadPosition& at) {
    int length = static_cast<int>(strnlen(read.text, kCandidateCapacity));
    if (length + length_ >= size_) return false;
    if (length < settings_.min_length + kFrameCharacters) return false;
    if (settings_.zone_height > 0) {
        if (DuplicateByPosition(read, at.line)) return false;
        if (static_cast<int>(duplicates_.size()) < settings_.max_results)
            duplicates_.push_back({at.line, read.start_column - kDuplicateMargin,
                                   read.end_column + kDuplicateMargin});
    } else if (DuplicateByText(read.text, length)) {
        return false;
    }
    Append(read.text, length);
    if (settings_.insert_data) {
        char suffix[kSuffixCapacity];
        int n = std::snprintf(suffix, sizeof suffix, "<%d,%d,%d,%d,%d>", read.start_column,
                              read.end_column, at.line, at.symbology, at.threshold);
        if (n > 0 && n < kSuffixCapacity && length_ + n < size_) Append(suffix, n);
    }
    return true;
}

bool ResultFilter::DuplicateByPosition(const Candidate& read, int line) const {
    for (const DuplicateEntry& e : duplicates_) {
        int distance = line - e.line;
        if (distance >= settings_.zone_height) continue;
        int widen = distance / kLinesPerPixel;
        if (e.start - widen <= read.start_column && e.end + widen >= read.end_column) return true;
    }
    return false;
}

bool ResultFilter::DuplicateByText(const char* text, int length) const {
    for (int at = 0; at + length <= length_; ++at)
        if (FiveBitEqual(buffer_ + at, text, length)) return true;
    return false;
}

void ResultFilter::Append(const char* text, int length) {
    std::memcpy(buffer_ + length_, text, length);
    length_ += length;
    buffer_[length_] = '\0';
}

}  // namespace pixdoc::barcode
