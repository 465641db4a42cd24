#include "imaging/barcode/code128.h"

#include "imaging/barcode/candidate_text.h"
#include "imaging/barcode/code128_table.h"
#include "imaging/barcode/module_characters.h"

namespace pixdoc::barcode {
namespace {

constexpr int kModulesPerCharacter = 11;
constexpr int kMinimumThreshold = kModulesPerCharacter;
constexpr int kCheckModulus = 103;
constexpr int kMinimumCharacters = 3;  // start, at least one more, stop
// The frame adds an asterisk at each end of the bare data.
constexpr int kDataCapacity = kCandidateCapacity - 3;
// Enough for the longest data that fits the candidate, its check character and the guards.
constexpr int kMaxValues = 2 * kDataCapacity + 3;

constexpr char kFnc1 = static_cast<char>(131);
constexpr char kFnc2 = static_cast<char>(130);
constexpr char kFnc3 = static_cast<char>(129);
constexpr char kFnc4 = static_cast<char>(128);

constexpr int kFirstFunctionValue = 96;  // sets A and B: below it, a character
constexpr int kValueFnc3 = 96;
constexpr int kValueFnc2 = 97;
constexpr int kValueShift = 98;
constexpr int kValueCodeC = 99;
constexpr int kValueCodeB = 100;  // FNC4 in set B
constexpr int kValueCodeA = 101;  // FNC4 in set A
constexpr int kValueFnc1 = 102;
constexpr int kFirstFunctionValueC = 100;  // set C: below it, two digits

enum class CodeSet { kA, kB, kC };

enum class Decoded {
    kGood,
    kRefused,  // wrong check character, or text the candidate cannot hold
    kInvalid,  // a start or stop value among the data: the whole decoder call fails
};

// Decodes start, data, check and stop values into `text` (check included as data when
// `no_checksum`).
Decoded DecodeValues(const int* values, int count, bool no_checksum, CandidateText& text) {
    CodeSet set = values[0] == kCode128StartA   ? CodeSet::kA
                  : values[0] == kCode128StartB ? CodeSet::kB
                                                : CodeSet::kC;
    bool shift = false;
    int sum = values[0];
    const int data_end = no_checksum ? count - 1 : count - 2;
    bool fits = true;
    auto put = [&](char c) { fits = text.Append(c) && c != '\0' && fits; };

    for (int k = 1; k < data_end; ++k) {
        const int v = values[k];
        if (v >= kCode128StartA) return Decoded::kInvalid;
        sum = (sum + v * k) % kCheckModulus;
        if (set == CodeSet::kC) {
            if (v < kFirstFunctionValueC) {
                put(static_cast<char>('0' + v / 10));
                put(static_cast<char>('0' + v % 10));
            } else if (v == kValueCodeB) {
                set = CodeSet::kB;
            } else if (v == kValueCodeA) {
                set = CodeSet::kA;
            } else {
                put(kFnc1);
            }
            continue;
        }
        const bool shifted = shift;
        shift = false;
        if (v < kFirstFunctionValue) {
            const bool in_a = (set == CodeSet::kA) != shifted;
            const Code128Row& row = Code128TableRow(v);
            put(in_a ? row.set_a : row.set_b);
            continue;
        }
        switch (v) {
            case kValueFnc3:
                put(kFnc3);
                break;
            case kValueFnc2:
                put(kFnc2);
                break;
            case kValueShift:
                shift = true;
                break;
            case kValueCodeC:
                set = CodeSet::kC;
                break;
            case kValueCodeB:
                if (set == CodeSet::kA) {
                    set = CodeSet::kB;
                } else {
                    put(kFnc4);
                }
                break;
            case kValueCodeA:
                if (set == CodeSet::kB) {
                    set = CodeSet::kA;
                } else {
                    put(kFnc4);
                }
                break;
            default:
                put(kFnc1);
                break;
        }
    }
    if (!no_checksum && values[count - 2] != sum) return Decoded::kRefused;
    return fits ? Decoded::kGood : Decoded::kRefused;
}

enum class Walk { kNoRead, kRead, kFailed };

class Code128Reader {
public:
    Code128Reader(int threshold, bool no_checksum)
        : widths_(threshold, kModulesPerCharacter), no_checksum_(no_checksum) {}

    // Reads along one walk. A backward walk meets an upside-down symbol in reading order.
    Walk ReadForward(const LineView& line, bool merge_single_pixels, Candidate& out) {
        Begin(false, out);
        WalkModuleCharactersForward(line, merge_single_pixels, widths_, *this);
        return walk_;
    }

    Walk ReadBackward(const LineView& line, int from_column, int lower_limit,
                      bool merge_single_pixels, Candidate& out) {
        Begin(true, out);
        WalkModuleCharactersBackward(line, from_column, lower_limit, merge_single_pixels, widths_,
                                     *this);
        return walk_;
    }

    bool backward_seen() const { return backward_seen_; }

    // The walk's calls.
    void Reset() { count_ = 0; }

    bool Character(const ModuleCharacter& c) {
        const int value = c.index < 0 ? -1 : patterns_.row[c.index];
        if (value < 0) {
            count_ = 0;
            return true;
        }
        if (count_ == 0) {
            if (value >= kCode128StartA && value <= kCode128StartC) {
                values_[count_++] = value;
                symbol_from_ = c.from;
            } else if (value == kCode128StopReversed) {
                backward_seen_ = true;
            }
            return true;
        }
        if ((value == kCode128Stop && count_ == 1) || count_ == kMaxValues) {
            count_ = 0;
            return true;
        }
        values_[count_++] = value;
        if (value != kCode128Stop || count_ < kMinimumCharacters) return true;

        CandidateText text(kDataCapacity);
        const Decoded decoded = DecodeValues(values_, count_, no_checksum_, text);
        if (decoded == Decoded::kInvalid) {
            walk_ = Walk::kFailed;
            return false;
        }
        if (decoded == Decoded::kRefused) {
            count_ = 0;
            return true;
        }
        text.CopyTo(*out_);
        // Columns in page order: the start character's outer end and the end of the stop
        // character's sixth element.
        out_->start_column = backward_walk_ ? c.to : symbol_from_;
        out_->end_column = backward_walk_ ? symbol_from_ : c.to;
        walk_ = Walk::kRead;
        return false;
    }

private:
    void Begin(bool backward_walk, Candidate& out) {
        backward_walk_ = backward_walk;
        out_ = &out;
        walk_ = Walk::kNoRead;
        count_ = 0;
    }

    ModuleWidths widths_;
    const ModulePatternTable<6>& patterns_ = Code128Patterns();
    bool no_checksum_;
    bool backward_walk_ = false;
    Candidate* out_ = nullptr;
    Walk walk_ = Walk::kNoRead;
    int values_[kMaxValues];  // the first count_ are set
    int count_ = 0;
    int symbol_from_ = 0;
    bool backward_seen_ = false;
};

}  // namespace

bool DecodeCode128(const LineView& line, int threshold, bool merge_single_pixels,
                   DecodeContext& context, Candidate& out) {
    if (threshold < kMinimumThreshold) return false;
    Code128Reader reader(threshold, context.options.code128_no_checksum);
    const Walk forward = reader.ReadForward(line, merge_single_pixels, out);
    if (forward == Walk::kRead) return true;
    if (forward == Walk::kFailed || !reader.backward_seen()) return false;

    const int margin = threshold / 2;
    return reader.ReadBackward(line, line.right_edge - margin, margin, merge_single_pixels, out) ==
           Walk::kRead;
}

}  // namespace pixdoc::barcode
