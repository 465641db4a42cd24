#include "imaging/encode/line_coder.h"

#include <algorithm>
#include <new>
#include <vector>

#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/fax_codes.h"

namespace pixdoc::encode {
namespace {

using bilevel::FaxCode;
using bilevel::FindB1;
using bilevel::kExtendedMakeUp;
using bilevel::kExtendedMakeUpCodes;

constexpr int kWhite = 0;
constexpr int kBlack = 1;
constexpr int kMakeUpStep = 64;
constexpr int kFirstExtendedRun = 1792;
constexpr int kLongestMakeUp = 2560;
constexpr int kMaxVerticalOffset = 3;

struct RunCodes {
    const FaxCode* terminating;
    const FaxCode* make_up;
};

constexpr RunCodes kRunCodes[2] = {
    {bilevel::kWhiteTerminating, bilevel::kWhiteMakeUp},
    {bilevel::kBlackTerminating, bilevel::kBlackMakeUp},
};

// The mode codes of the decoder's list, by what the coder looks them up by.
struct ModeCodes {
    bilevel::ModeCode pass;
    bilevel::ModeCode horizontal;
    bilevel::ModeCode vertical[2 * kMaxVerticalOffset + 1];  // by a1 - b1 + 3
};

ModeCodes BuildModeCodes() {
    ModeCodes m{};
    for (const bilevel::ModeCode& c : bilevel::kModeCodeList) {
        if (bilevel::IsVertical(c.mode))
            m.vertical[bilevel::VerticalOffset(c.mode) + kMaxVerticalOffset] = c;
        else if (c.mode == bilevel::Mode::kPass)
            m.pass = c;
        else if (c.mode == bilevel::Mode::kHorizontal)
            m.horizontal = c;
    }
    return m;
}

const ModeCodes& Modes() {
    static const ModeCodes modes = BuildModeCodes();
    return modes;
}

inline void Put(BitPacker& out, const FaxCode& c) {
    out.Put(c.bits, c.length);
}
inline void Put(BitPacker& out, const bilevel::ModeCode& c) {
    out.Put(c.bits, c.length);
}

// A run of one colour: 2560 make-up codes while the run is that long, the make-up code of its
// multiple of 64, then the terminating code of the rest.
[[gnu::always_inline]] inline void PutRun(BitPacker& out, int colour, int run) {
    const RunCodes& t = kRunCodes[colour];
    for (; run >= kLongestMakeUp; run -= kLongestMakeUp)
        Put(out, kExtendedMakeUp[kExtendedMakeUpCodes - 1]);
    if (run >= kMakeUpStep) {
        const FaxCode& c = run < kFirstExtendedRun
                               ? t.make_up[run / kMakeUpStep - 1]
                               : kExtendedMakeUp[(run - kFirstExtendedRun) / kMakeUpStep];
        Put(out, c);
        run -= c.run;
    }
    Put(out, t.terminating[run]);
}

// Where two-dimensional coding stands: a0 (-1 before the first pixel) and the colour of the
// run that starts there.
struct TwoDState {
    int a0 = -1;
    int colour = kWhite;
};

// Index of the first change of `changes` right of `a0`.
int FirstChangeAfter(const int16_t* changes, int a0, int width) {
    int i = 0;
    while (changes[i] <= a0 && changes[i] < width)
        ++i;
    return i;
}

// Codes modes from `state` until a0 reaches `stop` (the width, or a place the coding passes
// through). `step` sees each mode's end state and the packer. Bound: every mode moves a0 right,
// except the first vertical mode onto pixel 0; a1 and a2 are read inside the sentinels, and b1 is
// only stepped while a0 is left of the width, where the sentinels end every search.
template <typename StepObserver>
TwoDState CodeModes(const int16_t* reference, const int16_t* changes, int width, TwoDState s,
                    int stop, BitPacker& packer, StepObserver&& step) {
    // A local packer stays in registers; the caller's, reachable through the stored bytes, would
    // be read and written back for every code.
    BitPacker out = packer;
    const ModeCodes& modes = Modes();
    int i = FirstChangeAfter(changes, s.a0, width);  // changes[i] is a1
    int j = FindB1(reference, 0, s.a0, s.colour, width);
    while (s.a0 < stop) {
        const int a1 = changes[i];
        const int b1 = reference[j];
        const int b2 = reference[j + 1];
        if (b2 < a1) {
            Put(out, modes.pass);
            s.a0 = b2;
            j = bilevel::B1AfterPass(j);  // b2 < a1, so left of the width
        } else if (const int d = a1 - b1; d >= -kMaxVerticalOffset && d <= kMaxVerticalOffset) {
            Put(out, modes.vertical[d + kMaxVerticalOffset]);
            s.a0 = a1;
            s.colour ^= 1;
            ++i;
            if (a1 < width) j = bilevel::B1AfterVertical(reference, j, a1);
        } else {
            const int a2 = changes[i + 1];  // the width when a1 is
            Put(out, modes.horizontal);
            PutRun(out, s.colour, a1 - std::max(s.a0, 0));
            PutRun(out, s.colour ^ 1, a2 - a1);
            s.a0 = a2;
            if (a1 < width) i += 2;
            j = FindB1(reference, j, s.a0, s.colour, width);
        }
        step(s, out);
    }
    packer = out;
    return s;
}

// ---- Uncompressed mode: the T.4/T.6 extension. ----

constexpr uint32_t kUncompressedEntry = bilevel::kUncompressedEntry;
constexpr int kUncompressedEntryBits = bilevel::kUncompressedEntryLength;
constexpr uint32_t kFiveWhites = 0b000001;
constexpr int kFiveWhitesBits = 6;
constexpr int kWhitesPerCode = 5;
constexpr int kBlacksPerPut = 16;
// The exit: six zeros, up to four more for trailing whites, a one and the tag bit.
constexpr int kExitBits = 8;

// Black pixels as ones, after `whites` white pixels written as fives and a final "0..01".
void PutBlacks(BitPacker& out, int whites, int blacks) {
    for (; whites >= kWhitesPerCode; whites -= kWhitesPerCode)
        out.Put(kFiveWhites, kFiveWhitesBits);
    out.Put(1, whites + 1);  // `whites` zeros and the first black pixel
    for (int left = blacks - 1; left > 0; left -= kBlacksPerPut) {
        const int n = std::min(left, kBlacksPerPut);
        out.Put((1u << n) - 1, n);
    }
}

// Pixels [from, to) in uncompressed mode, the exit's tag giving the colour at `to` (at the
// width, the last pixel's colour, so that no change is added there).
void PutUncompressed(const int16_t* changes, int width, int from, int to, BitPacker& out) {
    out.Put(kUncompressedEntry, kUncompressedEntryBits);
    int i = FirstChangeAfter(changes, from, width);
    int whites = 0;
    int last_colour = i & 1;
    // Bound: each pass moves `at` to the next change or to `to`.
    for (int at = from; at < to;) {
        const int end = std::min<int>(changes[i], to);
        last_colour = i & 1;
        if (last_colour == kWhite) {
            whites += end - at;
        } else {
            PutBlacks(out, whites, end - at);
            whites = 0;
        }
        at = end;
        if (end == changes[i]) ++i;
    }
    for (; whites >= kWhitesPerCode; whites -= kWhitesPerCode)
        out.Put(kFiveWhites, kFiveWhitesBits);
    const int tag = to < width ? (i & 1) : last_colour;
    out.Put(0b10u | uint32_t(tag), whites + kExitBits);
}

// Costs in fifths of a bit, so that a white pixel in uncompressed mode (five for six bits) is
// whole.
constexpr int kFifths = 5;
constexpr int kWhiteCost = 6;
constexpr int kBlackCost = 5;
constexpr int kStretchCost = (kUncompressedEntryBits + kExitBits) * kFifths;

struct Step {
    TwoDState state;  // after the step
    int bits = 0;
};

// Estimated uncompressed cost of the pixels left of each boundary, an upper bound of the exact
// cost (fives of whites take 6 bits, single whites and blacks 1).
class UncompressedCost {
public:
    UncompressedCost(const int16_t* changes, int width) : changes_(changes), width_(width) {}
    // Positions must not decrease from call to call.
    int At(int position) {
        while (changes_[i_] < position && changes_[i_] < width_) {
            blacks_ += (i_ & 1) ? changes_[i_] - changes_[i_ - 1] : 0;
            ++i_;
        }
        int blacks = blacks_;
        if (i_ & 1) blacks += position - changes_[i_ - 1];  // inside a black run
        return position * kWhiteCost - blacks * (kWhiteCost - kBlackCost);
    }

private:
    const int16_t* changes_;
    int width_;
    int i_ = 0;
    int blacks_ = 0;  // black pixels left of changes_[i_]
};

}  // namespace

void PutEol(BitPacker& out) {
    Put(out, bilevel::kEol);
}

void PutTaggedEol(BitPacker& out, int tag) {
    out.Put((bilevel::kEol.bits << 1) | uint32_t(tag & 1), bilevel::kEol.length + 1);
}

void CodeOneDLine(const int16_t* changes, int32_t width, BitPacker& out) {
    int position = 0;
    int colour = kWhite;
    // Bound: each run ends at the next change; the first copy of the width ends the row.
    for (int k = 0;; ++k) {
        const int next = std::min<int>(changes[k], width);
        PutRun(out, colour, next - position);
        position = next;
        if (position >= width) return;
        colour ^= 1;
    }
}

void CodeTwoDLine(const int16_t* reference, const int16_t* changes, int32_t width, BitPacker& out) {
    CodeModes(reference, changes, width, TwoDState{}, width, out,
              [](const TwoDState&, const BitPacker&) {});
}

// The modes of the plain coding are found first with their costs; a shortest path over their
// boundaries then picks the stretches worth coding uncompressed (a stretch from boundary i to k
// costs the entry, the exit and the pixels between), and the row is coded along that path. A
// stretch ends in the state the modes would have reached there, so the modes after it go on
// unchanged.
bool CodeTwoDLineWithUncompressed(const int16_t* reference, const int16_t* changes, int32_t width,
                                  BitPacker& out) {
    std::vector<Step> steps;
    std::vector<int> best, from;
    try {
        steps.reserve(size_t(width) + 2);
        steps.push_back(Step{});
        BitPacker measure = out;  // the same place: overwritten by the real coding below
        const uint8_t* origin = out.out();
        int64_t before = measure.BitsSince(origin);
        CodeModes(reference, changes, width, TwoDState{}, width, measure,
                  [&](const TwoDState& s, const BitPacker& coded) {
                      const int64_t now = coded.BitsSince(origin);
                      steps.push_back(Step{s, int(now - before)});
                      before = now;
                  });
        best.resize(steps.size());
        from.resize(steps.size());
    } catch (const std::bad_alloc&) {
        return false;
    }

    // best[k]: cheapest coding up to boundary k; from[k]: k - 1 by a mode, else -1 - i for a
    // stretch from boundary i.
    UncompressedCost cost(changes, width);
    best[0] = 0;
    int cheapest_start = best[0] - cost.At(0);
    int cheapest_index = 0;
    for (size_t k = 1; k < steps.size(); ++k) {
        const int at = cost.At(std::max(steps[k].state.a0, 0));
        best[k] = best[k - 1] + steps[k].bits * kFifths;
        from[k] = int(k) - 1;
        if (const int stretch = cheapest_start + at + kStretchCost; stretch < best[k]) {
            best[k] = stretch;
            from[k] = -1 - cheapest_index;
        }
        if (best[k] - at < cheapest_start) {
            cheapest_start = best[k] - at;
            cheapest_index = int(k);
        }
    }

    // Walk the path back to mark where stretches start and end, then code it forwards.
    std::vector<int>& stretch_end = best;  // reused: for a boundary starting a stretch, its end
    std::fill(stretch_end.begin(), stretch_end.end(), -1);
    for (int k = int(steps.size()) - 1; k > 0;) {
        if (from[k] >= 0) {
            k = from[k];
        } else {
            const int i = -1 - from[k];
            stretch_end[i] = k;
            k = i;
        }
    }
    TwoDState s;
    for (size_t k = 0; k + 1 < steps.size();) {
        if (stretch_end[k] >= 0) {
            const size_t end = size_t(stretch_end[k]);
            PutUncompressed(changes, width, std::max(s.a0, 0), std::max(steps[end].state.a0, 0),
                            out);
            s = steps[end].state;
            k = end;
            continue;
        }
        // Modes up to the next stretch or the end of the row.
        size_t next = k + 1;
        while (next + 1 < steps.size() && stretch_end[next] < 0)
            ++next;
        s = CodeModes(reference, changes, width, s, steps[next].state.a0, out,
                      [](const TwoDState&, const BitPacker&) {});
        k = next;
    }
    return true;
}

}  // namespace pixdoc::encode
