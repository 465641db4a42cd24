// The code words of ITU-T T.4 (one-dimensional run lengths, two-dimensional modes), as data
// that reads like the standard's tables. The lookup tables of fax_tables.h are built from them.
#pragma once

#include <cstdint>

namespace pixdoc::bilevel {

// One code word: `bits` holds the code in its low `length` bits, first transmitted bit highest.
struct FaxCode {
    uint16_t bits;
    uint8_t length;
    int16_t run;  // run length in pixels (or the mode, for the mode codes)
};

inline constexpr int kTerminatingCodes = 64;     // run lengths 0 to 63
inline constexpr int kMakeUpCodes = 27;          // 64 to 1728, step 64
inline constexpr int kExtendedMakeUpCodes = 13;  // 1792 to 2560, shared by both colours

extern const FaxCode kWhiteTerminating[kTerminatingCodes];
extern const FaxCode kBlackTerminating[kTerminatingCodes];
extern const FaxCode kWhiteMakeUp[kMakeUpCodes];
extern const FaxCode kBlackMakeUp[kMakeUpCodes];
extern const FaxCode kExtendedMakeUp[kExtendedMakeUpCodes];

// EOL: eleven zeros and a one.
inline constexpr FaxCode kEol = {0x001, 12, 0};

// Two-dimensional coding modes.
enum class Mode : uint8_t {
    kInvalid,  // an EOL prefix (eight zeros) or an unknown extension
    kPass,
    kHorizontal,
    kV0,
    kVR1,
    kVR2,
    kVR3,
    kVL1,
    kVL2,
    kVL3,
    kExtension,  // 0000001xxx: the three bits that follow select the extension
};

// The vertical modes (V0 to VL3, in this order in Mode) and their a1 - b1.
constexpr bool IsVertical(Mode m) {
    return unsigned(m) - unsigned(Mode::kV0) <= unsigned(Mode::kVL3) - unsigned(Mode::kV0);
}
constexpr int VerticalOffset(Mode m) {
    constexpr int8_t kOffsets[] = {0, 1, 2, 3, -1, -2, -3};
    return kOffsets[unsigned(m) - unsigned(Mode::kV0)];
}

struct ModeCode {
    uint8_t bits;
    uint8_t length;
    Mode mode;
};

inline constexpr int kModeCodes = 10;
extern const ModeCode kModeCodeList[kModeCodes];

// The uncompressed-mode extension: 0000001 followed by 111.
inline constexpr uint16_t kUncompressedEntry = 0x00F;  // 0000001111
inline constexpr int kUncompressedEntryLength = 10;

}  // namespace pixdoc::bilevel
