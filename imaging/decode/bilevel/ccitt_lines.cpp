// The CCITT line decoders: EOL search, modified Huffman lines and two-dimensional lines.
#include <algorithm>

#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/fax_tables.h"
#include "imaging/decode/bilevel/line_codings.h"

namespace pixdoc::bilevel {
namespace {

constexpr int kEolZeros = 11;
constexpr int kEolLength = 12;
constexpr int kEndOfPageEols = 6;
constexpr int kWhite = 0;
constexpr int kBlack = 1;
constexpr int kNoRun = -1;

// Reads one run length of a colour: make-up codes followed by a terminating code. Returns the
// length, or kNoRun for a code not in the tables (nothing of it consumed). A sum beyond
// `max_run` ends early with kNoRun so that endless make-up codes cannot overflow.
int ReadRun(BitReader& bits, const RunTables& t, int max_run) {
    int total = 0;
    for (;;) {
        bits.Fill();
        RunEntry e = t.first[bits.Peek(kFirstLevelBits)];
        if (e.kind == RunKind::kSecondLevel)
            e = t.second[bits.Peek(kSecondLevelBits) & (kLevelSize - 1)];
        if (e.kind != RunKind::kTerminating && e.kind != RunKind::kMakeUp) return kNoRun;
        bits.Skip(e.length);
        total += e.run;
        if (total > max_run) return kNoRun;
        if (e.kind == RunKind::kTerminating) return total;
    }
}

// Uncompressed mode: pixel patterns up to an exit code. Returns kLineGood with `x` and the
// writer advanced, or kLineDamaged.
int32_t DecodeUncompressed(BitReader& bits, ChangeWriter& out, int& x, int width) {
    constexpr int kBlackAfterZeros = 4;  // "1" .. "00001": up to four whites then a black
    constexpr int kFiveWhites = 5;       // "000001"
    constexpr int kExitZeros = 6;        // "0000001T" .. "00000000001T"
    constexpr int kLongestExitZeros = 10;
    auto paint = [&](int colour, int count) {
        if (count <= 0) return true;
        if (x + count > width) return false;
        if (out.Colour() != colour) out.Add(x);
        x += count;
        return true;
    };
    // Bound: every pattern consumes at least one bit and paints at least one pixel, and
    // painting stops at the width; an exit or a bad code ends the loop.
    for (;;) {
        bits.Fill();
        const int zeros = std::min(bits.LeadingZeros(), 63);
        if (zeros <= kBlackAfterZeros) {
            bits.Skip(zeros + 1);
            if (!paint(kWhite, zeros) || !paint(kBlack, 1)) return kLineDamaged;
        } else if (zeros == kFiveWhites) {
            bits.Skip(zeros + 1);
            if (!paint(kWhite, kFiveWhites)) return kLineDamaged;
        } else if (zeros <= kLongestExitZeros) {
            bits.Skip(zeros + 1);
            const int tag = int(bits.Peek(1));
            bits.Skip(1);
            if (!paint(kWhite, zeros - kExitZeros)) return kLineDamaged;
            // The tag gives the colour of the run that follows.
            if (out.Colour() != tag) out.Add(x);
            return kLineGood;
        } else {
            return kLineDamaged;
        }
    }
}

}  // namespace

int ReadRunLength(BitReader& bits, int colour, int max_run) {
    const FaxTables& t = Tables();
    return ReadRun(bits, colour == kWhite ? t.white : t.black, max_run);
}

int32_t FindEol(BitReader& bits, bool tagged) {
    int eols = 0;
    int tag = 1;
    // Bound: each pass consumes at least one bit; past the data only zeros come, which ends
    // the search.
    for (;;) {
        bits.Fill();
        if (bits.PastLimit()) return kLineEnd;
        const int zeros = bits.LeadingZeros();
        if (zeros >= bits.BitsInHand()) {  // zeros only: fill before an EOL, or the data's end
            bits.Skip(bits.BitsInHand() - kEolZeros);
            continue;
        }
        if (zeros < kEolZeros) {
            if (eols > 0) return tag;  // the EOLs are followed by a line
            bits.Skip(zeros + 1);      // not an EOL: no EOL can start inside these bits
            continue;
        }
        bits.Skip(zeros + 1);
        if (tagged) {
            bits.Fill();
            tag = int(bits.Peek(1));
            bits.Skip(1);
        }
        if (++eols == kEndOfPageEols) return kLineEnd;
    }
}

int32_t DecodeOneDLine(BitReader& bits, int16_t* current, int32_t width) {
    const FaxTables& t = Tables();
    ChangeWriter out(current);
    int position = 0;
    int colour = kWhite;
    // Bound: every run moves `position` forward or is a zero run; positions never pass the
    // width, and zero runs cancel the change before them, so at most width + 1 entries.
    while (position < width) {
        const int run = ReadRun(bits, colour == kWhite ? t.white : t.black, width - position);
        if (run == kNoRun) break;  // a code not in the tables ends the line early
        position += run;
        out.Add(position);
        colour ^= 1;
    }
    out.Finish(width);
    return position == width ? kLineGood : kLineDamaged;
}

int32_t DecodeTwoDLine(BitReader& bits, const int16_t* reference, int16_t* current, int32_t width) {
    const FaxTables& t = Tables();
    ChangeWriter out(current);
    int a0 = -1;  // before the first pixel
    int colour = kWhite;
    int j = 0;
    bool decoded_any = false;
    auto damaged = [&] {
        out.Finish(width);
        return kLineDamaged;
    };
    // Bound: every mode consumes bits and either moves a0 right, or (vertical modes onto a0)
    // cancels or adds a change at a0; changes stay strictly ascending within 0..width.
    while (a0 < width) {
        bits.Fill();
        const uint32_t byte = bits.Peek(kModeBits);
        const ModeEntry m = t.modes[byte];
        // Vertical modes, most of a page, share one path: which of them comes next follows no
        // pattern, so telling them apart by branches would be guessed wrong half the time.
        if (IsVertical(m.mode)) {
            bits.Skip(m.length);
            const int a1 = reference[j] + VerticalOffset(m.mode);
            if (a1 < std::max(a0, 0) || a1 > width) return damaged();
            out.Add(a1);
            a0 = a1;
            colour ^= 1;
            if (a0 < width) j = B1AfterVertical(reference, j, a0);
            decoded_any = true;
            continue;
        }
        switch (m.mode) {
            case Mode::kPass: {
                bits.Skip(m.length);
                a0 = reference[j + 1];
                if (a0 < width) j = B1AfterPass(j);
                decoded_any = true;
                continue;
            }
            case Mode::kHorizontal: {
                bits.Skip(m.length);
                const int start = std::max(a0, 0);
                const RunTables& first = colour == kWhite ? t.white : t.black;
                const RunTables& second = colour == kWhite ? t.black : t.white;
                const int run1 = ReadRun(bits, first, width - start);
                if (run1 == kNoRun) return damaged();
                const int run2 = ReadRun(bits, second, width - start - run1);
                if (run2 == kNoRun) return damaged();
                out.Add(start + run1);
                out.Add(start + run1 + run2);
                a0 = start + run1 + run2;
                j = FindB1(reference, j, a0, colour, width);
                decoded_any = true;
                continue;
            }
            case Mode::kExtension: {
                if (bits.Peek(kUncompressedEntryLength) != kUncompressedEntry)
                    return decoded_any ? damaged() : (out.Finish(width), kLineEnd);
                bits.Skip(kUncompressedEntryLength);
                int x = std::max(a0, 0);
                if (DecodeUncompressed(bits, out, x, width) != kLineGood) return damaged();
                a0 = x;
                colour = out.Colour();
                j = FindB1(reference, j, a0, colour, width);
                decoded_any = true;
                continue;
            }
            case Mode::kInvalid:
            default:  // the vertical modes, taken above
                // An EOL prefix: before anything of the line it ends the page (a Group 4
                // end-of-block), otherwise the line is damaged.
                out.Finish(width);
                return decoded_any ? kLineDamaged : kLineEnd;
        }
    }
    out.Finish(width);
    return a0 == width ? kLineGood : kLineDamaged;
}

}  // namespace pixdoc::bilevel
