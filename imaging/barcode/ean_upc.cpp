#include "imaging/barcode/ean_upc.h"

#include <algorithm>

#include "imaging/barcode/candidate_text.h"
#include "imaging/barcode/ean_upc_table.h"
#include "imaging/barcode/ean_upc_window.h"
#include "imaging/barcode/element_stream.h"
#include "imaging/barcode/element_width.h"
#include "imaging/barcode/module_counter.h"

namespace pixdoc::barcode {
namespace {

constexpr int kModulesPerDigit = 7;
constexpr int kMinimumThreshold = kModulesPerDigit;
constexpr int kDigitElements = 4;
constexpr int kEndGuardElements = 3;
constexpr int kCentreGuardElements = 5;
constexpr int kMaxHalfDigits = 6;
constexpr int kEan8HalfDigits = 4;
constexpr char kFrame = '*';
// A change list ends with at least this many copies of the right edge: the entries after one left
// of the edge can be read that far.
constexpr int kSentinels = 4;

enum class Format { kUpcA, kEan13, kEan8 };

struct Layout {
    int half_digits;  // digits on each side of the centre guard
    int rows;         // digit rows searched after the first digit: L/R only, or G too
};

Layout LayoutOf(Format format) {
    switch (format) {
        case Format::kUpcA:
            return {6, kEanDigitRows};
        case Format::kEan13:
            return {6, kEanAllRows};
        case Format::kEan8:
            return {4, kEanAllRows};
    }
    return {6, kEanDigitRows};
}

// An outer guard is bar, space, bar of one module each; its bars may measure two.
bool IsEndGuard(const int* modules) {
    return (modules[0] == 1 || modules[0] == 2) && modules[1] == 1 &&
           (modules[2] == 1 || modules[2] == 2);
}

// The centre guard is space, bar, space, bar, space of one module each; its bars may measure two.
bool IsCentreGuard(const int* modules) {
    return modules[0] == 1 && (modules[1] == 1 || modules[1] == 2) && modules[2] == 1 &&
           (modules[3] == 1 || modules[3] == 2) && modules[4] == 1;
}

// The weighted sum of digits in reading order: 3 for the first, 1 for the second, and so on.
int WeightedSum(const int* digits, int count) {
    int sum = 0;
    for (int i = 0; i < count; ++i)
        sum += digits[i] * (i % 2 == 0 ? 3 : 1);
    return sum;
}

// The first row among the first `rows` of the column whose counts have the index, or -1.
int DigitRow(int index, int column, int rows) {
    const int row = EanDigitPatterns(column).row[static_cast<size_t>(index)];
    return row < rows ? row : -1;
}

// The walk's elements with single-pixel merging: the shared element stream.
class MergedElements {
public:
    explicit MergedElements(const LineView& line) : stream_(line, true) {}

    bool Next(int& width, int& start, int& end) {
        Element e;
        if (!stream_.Next(e)) return false;
        width = e.width;
        start = e.start;
        end = e.end;
        return true;
    }

private:
    ElementStream stream_;
};

// The walk's elements without merging: the differences of neighbouring entries, up to the first
// entry at the right edge, as the element stream delivers them.
class PlainElements {
public:
    explicit PlainElements(const LineView& line) : at_(line.changes), edge_(line.right_edge) {}

    bool Next(int& width, int& start, int& end) {
        if (at_[1] >= edge_) return false;
        start = at_[0];
        end = at_[1];
        width = ElementWidth(start, end);
        ++at_;
        return true;
    }

private:
    const int16_t* at_;
    int edge_;
};

class EanReader {
public:
    EanReader(int threshold, Format format)
        : scale_(threshold, kModulesPerDigit), format_(format), layout_(LayoutOf(format)) {
        scale_.PrepareEntries();
    }

    // Whether the walk met a digit found only among the G rows it did not search, and whether
    // it held four digits in a row: until either, the three formats' walks are the same.
    bool g_digit_met() const { return g_digit_met_; }
    bool four_digits_met() const { return four_digits_met_; }

    // Reads the walk from the bar start `line.changes` points at.
    bool Read(const LineView& line, bool merge_single_pixels, Candidate& out) {
        if (merge_single_pixels) {
            MergedElements elements(line);
            return ReadFrom(elements, out);
        }
        PlainElements elements(line);
        return ReadFrom(elements, out);
    }

private:
    enum class Phase { kStart, kDigits, kCentre, kEnd };

    template <typename Elements>
    bool ReadFrom(Elements& elements, Candidate& out) {
        int width = 0;
        int start = 0;
        int end = 0;
        while (elements.Next(width, start, end)) {
            // Before the start guard an element of B_2 or more resets too.
            const bool started = phase_ != Phase::kStart;
            if (started ? width > scale_.widest() : width >= scale_.Boundary(2)) {
                Reset();
                continue;
            }
            if (!started && count_ == 0) start_column_ = start;
            widths_[count_++] = width;
            if (count_ < GroupSize(phase_)) continue;  // the step only acts on whole groups
            if (Step() && Finish(end, out)) return true;
        }
        return false;
    }

    // The elements the step takes at once in each phase.
    static int GroupSize(Phase phase) {
        switch (phase) {
            case Phase::kStart:
            case Phase::kEnd:
                return kEndGuardElements;
            case Phase::kDigits:
                return kDigitElements;
            case Phase::kCentre:
                return kCentreGuardElements;
        }
        return kEndGuardElements;
    }

    void Reset() {
        phase_ = Phase::kStart;
        count_ = 0;
        digit_count_ = 0;
        backward_ = false;
    }

    void Modules(int* modules) const {
        for (int i = 0; i < count_; ++i)
            modules[i] = scale_.Count(widths_[i]);
    }

    // Takes the whole group of the phase (GroupSize elements); true when the end guard completed
    // the symbol.
    bool Step() {
        int modules[kCentreGuardElements];
        switch (phase_) {
            case Phase::kStart:
                Modules(modules);
                count_ = 0;
                if (IsEndGuard(modules)) phase_ = Phase::kDigits;
                return false;
            case Phase::kDigits:
                Digit();
                return false;
            case Phase::kCentre:
                Modules(modules);
                count_ = 0;  // not a centre guard: the next five elements are tried
                if (IsCentreGuard(modules)) phase_ = Phase::kDigits;
                return false;
            case Phase::kEnd:
                Modules(modules);
                if (IsEndGuard(modules)) return true;
                Reset();
                return false;
        }
        return false;
    }

    void Digit() {
        count_ = 0;
        // Left-half digits begin with a space, right-half digits with a bar.
        const bool left_half = digit_count_ < layout_.half_digits;
        const int index = left_half ? scale_.CharacterIndex<kDigitElements, true>(widths_)
                                    : scale_.CharacterIndex<kDigitElements, false>(widths_);
        int row = -1;
        if (index >= 0 && digit_count_ == 0) {
            row = DigitRow(index, 0, kEanDigitRows);
            backward_ = row < 0;
            if (row < 0) row = DigitRow(index, 1, kEanDigitRows);
        } else if (index >= 0) {
            // The first match among all rows: a G row where only L/R rows are searched is
            // where UPC-A's walk and EAN-13's part.
            const int any_row = DigitRow(index, backward_ ? 1 : 0, kEanAllRows);
            if (any_row >= layout_.rows) g_digit_met_ = true;
            row = any_row < layout_.rows ? any_row : -1;
        }
        if (row < 0) {
            Reset();
            return;
        }
        rows_[digit_count_++] = row;
        if (digit_count_ == kEan8HalfDigits) four_digits_met_ = true;
        if (digit_count_ == layout_.half_digits) phase_ = Phase::kCentre;
        if (digit_count_ == 2 * layout_.half_digits) phase_ = Phase::kEnd;
    }

    bool Finish(int end_column, Candidate& out) {
        if (backward_) std::reverse(rows_, rows_ + digit_count_);
        CandidateText text;
        const bool good = format_ == Format::kEan8 ? Ean8Text(text) : Ean13Text(text);
        if (!good) {
            Reset();  // a failed check: scanning goes on
            return false;
        }
        if (backward_) text.MarkBackwards();
        text.CopyTo(out);
        out.start_column = start_column_;
        out.end_column = end_column;
        return true;
    }

    bool Ean13Text(CandidateText& text) const {
        const int n = 2 * layout_.half_digits;
        int digits[2 * kMaxHalfDigits];
        unsigned g_parity = 0;
        for (int i = 0; i < n; ++i) {
            digits[i] = rows_[i] % kEanDigitRows;
            const bool g = rows_[i] >= kEanDigitRows;
            if (!g) continue;
            if (i < 1 || i > 5) return false;  // only digits 2-6 may be G digits
            g_parity |= 1u << (i - 1);
        }
        const int sum = WeightedSum(digits, n - 1);
        int lead = 0;
        if (format_ == Format::kEan13) {
            lead = EanLeadingDigit(g_parity);
            if (lead < 0) return false;
        }
        if (digits[n - 1] != (10 - (sum + lead) % 10) % 10) return false;
        text.Append(kFrame);
        if (format_ == Format::kEan13) text.Append(static_cast<char>('0' + lead));
        for (int i = 0; i < n; ++i)
            text.Append(static_cast<char>('0' + digits[i]));
        text.Append(kFrame);
        return true;
    }

    // EAN-8 holds L and R digits only; a G digit cannot belong to a valid symbol.
    bool Ean8Text(CandidateText& text) const {
        const int n = 2 * layout_.half_digits;
        int digits[2 * kMaxHalfDigits];
        for (int i = 0; i < n; ++i) {
            if (rows_[i] >= kEanDigitRows) return false;
            digits[i] = rows_[i];
        }
        if (WeightedSum(digits, n) % 10 != 0) return false;
        text.Append(kFrame);
        for (int i = 0; i < n; ++i)
            text.Append(static_cast<char>('0' + digits[i]));
        text.Append(kFrame);
        return true;
    }

    ModuleWidths scale_;
    Format format_;
    Layout layout_;
    Phase phase_ = Phase::kStart;
    int widths_[kCentreGuardElements] = {};
    int count_ = 0;
    int rows_[2 * kMaxHalfDigits] = {};
    int digit_count_ = 0;
    bool backward_ = false;
    int start_column_ = 0;
    bool g_digit_met_ = false;
    bool four_digits_met_ = false;
};

// The fewest elements of a read: both end guards, the digits and the centre guard.
constexpr int ElementsOfRead(int half_digits) {
    return 2 * kEndGuardElements + kCentreGuardElements + 2 * half_digits * kDigitElements;
}

// Whether the line holds a stretch where a read of the format could lie.
bool MayHoldRead(const LineView& line, int threshold, bool merge_single_pixels, Format format) {
    const int elements = ElementsOfRead(LayoutOf(format).half_digits);
    return EanReadMayFit(line, threshold, merge_single_pixels, elements);
}

// The entries a forward walk reads: from the bar start through the first at the right edge.
size_t WalkedEntries(const LineView& line) {
    size_t n = 0;
    while (line.changes[n] < line.right_edge)
        ++n;
    return n + 1;
}

// Whether the line's walk reads the remembered entries. Every remembered entry but the last lies
// left of the (same) right edge, and an entry left of it has four more after it: checking every
// fourth entry first keeps the comparison inside the line, and another line mostly differs there.
bool SameWalk(const UpcEanWalkMemo& memo, const LineView& line, int threshold) {
    if (memo.threshold != threshold || memo.right_edge != line.right_edge) return false;
    const size_t n = memo.entries.size();
    if (n == 0) return false;
    for (size_t i = 0; i + 1 < n; i += kSentinels) {
        if (line.changes[i] != memo.entries[i]) return false;
    }
    return std::equal(line.changes, line.changes + n, memo.entries.begin());
}

// True when an earlier failed walk proves this format fails too.
bool KnownToFail(const UpcEanWalkMemo& memo, const LineView& line, int threshold,
                 bool merge_single_pixels, Format format) {
    if (format == Format::kUpcA) return false;
    const int slot = merge_single_pixels ? 1 : 0;
    const bool fails = format == Format::kEan13 ? memo.ean13_fails[slot] : memo.ean8_fails[slot];
    return fails && SameWalk(memo, line, threshold);
}

void RememberFailure(UpcEanWalkMemo& memo, const LineView& line, int threshold,
                     bool merge_single_pixels, Format format, const EanReader& reader) {
    if (format == Format::kEan8) return;
    if (!SameWalk(memo, line, threshold)) {
        memo.entries.assign(line.changes, line.changes + WalkedEntries(line));
        memo.right_edge = line.right_edge;
        memo.threshold = threshold;
        for (int slot = 0; slot < 2; ++slot) {
            memo.ean13_fails[slot] = false;
            memo.ean8_fails[slot] = false;
        }
    }
    const int slot = merge_single_pixels ? 1 : 0;
    // An EAN-13 walk is the UPC-A walk as long as no G digit was met.
    const bool ean13_walk = format == Format::kEan13 || !reader.g_digit_met();
    memo.ean13_fails[slot] = ean13_walk;
    memo.ean8_fails[slot] = ean13_walk && !reader.four_digits_met();
}

bool Decode(const LineView& line, int threshold, bool merge_single_pixels, Format format,
            DecodeContext& context, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    UpcEanWalkMemo& memo = context.upc_ean_memo;
    if (context.shortcuts) {
        if (KnownToFail(memo, line, threshold, merge_single_pixels, format)) return false;
        if (!MayHoldRead(line, threshold, merge_single_pixels, format)) return false;
    }
    EanReader reader(threshold, format);
    if (reader.Read(line, merge_single_pixels, out)) return true;
    if (context.shortcuts)
        RememberFailure(memo, line, threshold, merge_single_pixels, format, reader);
    return false;
}

}  // namespace

bool DecodeUpcA(const LineView& line, int threshold, bool merge_single_pixels,
                DecodeContext& context, Candidate& out) {
    return Decode(line, threshold, merge_single_pixels, Format::kUpcA, context, out);
}

bool DecodeEan13(const LineView& line, int threshold, bool merge_single_pixels,
                 DecodeContext& context, Candidate& out) {
    return Decode(line, threshold, merge_single_pixels, Format::kEan13, context, out);
}

bool DecodeEan8(const LineView& line, int threshold, bool merge_single_pixels,
                DecodeContext& context, Candidate& out) {
    return Decode(line, threshold, merge_single_pixels, Format::kEan8, context, out);
}

}  // namespace pixdoc::barcode
