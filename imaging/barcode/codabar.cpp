#include "imaging/barcode/codabar.h"

#include "imaging/barcode/barcode_state.h"
#include "imaging/barcode/candidate_text.h"
#include "imaging/barcode/codabar_table.h"
#include "imaging/barcode/element_stream.h"

namespace pixdoc::barcode {
namespace {

constexpr int kMinimumThreshold = 2;
constexpr int kResetFactor = 2;  // an element wider than 2T resets
constexpr int kGapDivisor = 4;   // a gap with width / 4 <= T is skipped
constexpr int kMinStopText = 4;  // asterisk, start, one data character, stop
constexpr int kFrameCharacters = 2;
constexpr char kFrame = '*';

class CodabarReader {
public:
    CodabarReader(int threshold, int min_size) : t_(threshold), min_size_(min_size) {}

    bool Read(ElementStream& stream, Candidate& out) {
        Element e;
        while (stream.Next(e)) {
            if (e.width > kResetFactor * t_) {
                DropText();
                count_ = 0;
                searching_ = true;
                continue;
            }
            if (!searching_) continue;
            if (count_ == 0 && text_.empty()) start_column_ = e.start;
            widths_[count_++] = e.width;
            last_end_ = e.end;
            if (count_ < kCodabarElements) continue;
            count_ = 0;

            const int row = Classify();
            if (text_.empty()) {
                if (!Start(row)) continue;
            } else if (row < 0 || row >= kCodabarFirstReversedRow) {
                DropText();  // the very next element begins a new group
                continue;
            } else if (!text_.Append(CodabarTableRow(row).character)) {
                DropText();
            } else if (row >= kCodabarFirstStartStopRow && text_.size() >= kMinStopText) {
                if (Stop(out)) return true;
            }
            SkipGap(stream);
        }
        return false;
    }

private:
    // First pass: every element of T or more is wide; second pass: bars must exceed T.
    int Classify() const {
        for (int pass = 0; pass < 2; ++pass) {
            unsigned pattern = 0;
            for (int i = 0; i < kCodabarElements; ++i) {
                const bool bar = i % 2 == 0;
                const bool wide = pass == 1 && bar ? widths_[i] > t_ : widths_[i] >= t_;
                pattern = (pattern << 1) | (wide ? 1u : 0u);
            }
            const int row = FindCodabarRow(pattern, backward_);
            if (row >= 0) return row;
        }
        return -1;
    }

    bool Start(int row) {
        if (row < kCodabarFirstStartStopRow) {
            searching_ = false;  // a data character before any start
            return false;
        }
        backward_ = row >= kCodabarFirstReversedRow;
        text_.Append(kFrame);
        text_.Append(CodabarTableRow(row).character);
        return true;
    }

    bool Stop(Candidate& out) {
        if (!text_.Append(kFrame)) {
            DropText();
            return false;
        }
        if (backward_) text_.ReverseAndMark();
        if (min_size_ != 0 && text_.size() < min_size_ + kFrameCharacters) {
            DropText();
            return false;
        }
        text_.CopyTo(out);
        out.start_column = start_column_;
        out.end_column = last_end_ - 1;
        return true;
    }

    void SkipGap(ElementStream& stream) const {
        Element gap;
        if (stream.Peek(gap) && gap.width / kGapDivisor <= t_) stream.Next(gap);
    }

    void DropText() {
        text_.Clear();
        backward_ = false;
    }

    int t_;
    int min_size_;
    CandidateText text_;
    bool backward_ = false;
    bool searching_ = true;
    int widths_[kCodabarElements] = {};
    int count_ = 0;
    int start_column_ = 0;
    int last_end_ = 0;
};

}  // namespace

bool DecodeCodabar(const LineView& line, int threshold, bool merge_single_pixels, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    ElementStream stream(line, merge_single_pixels);
    return CodabarReader(threshold, BarcodeState().options.codabar_min_size).Read(stream, out);
}

}  // namespace pixdoc::barcode
