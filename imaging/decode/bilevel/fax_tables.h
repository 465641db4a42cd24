// Lookup tables for the T.4/T.6 codes, built once from the code lists of fax_codes.h.
//
// Run lengths: two levels per colour. The first level is indexed by the next 9 bits; codes
// longer than 9 bits all begin with four zeros, and their first-level entries send the lookup
// to the second level, indexed by the 9 bits that follow those four zeros (a 13-bit window).
// Modes: one 256-entry table indexed by the next 8 bits.
#pragma once

#include <cstdint>

#include "imaging/decode/bilevel/fax_codes.h"

namespace pixdoc::bilevel {

enum class RunKind : uint8_t {
    kInvalid,      // no code of this colour starts with these bits
    kTerminating,  // a run length 0..63: the run is complete
    kMakeUp,       // a make-up length (64 and up): a further code follows
    kSecondLevel,  // first level only: look up the 13-bit window
    kEol,          // second level only: the EOL code
};

struct RunEntry {
    int16_t run;
    uint8_t length;  // code length in bits
    RunKind kind;
};

inline constexpr int kFirstLevelBits = 9;
inline constexpr int kSecondLevelBits = 13;
inline constexpr int kLevelSize = 1 << 9;
inline constexpr int kSecondLevelPrefixZeros = kSecondLevelBits - kFirstLevelBits;

struct RunTables {
    RunEntry first[kLevelSize];
    RunEntry second[kLevelSize];
};

struct ModeEntry {
    Mode mode;
    uint8_t length;
};

inline constexpr int kModeBits = 8;

struct FaxTables {
    RunTables white;
    RunTables black;
    ModeEntry modes[1 << kModeBits];
};

// The tables, built on first use and immutable afterwards.
const FaxTables& Tables();

}  // namespace pixdoc::bilevel
