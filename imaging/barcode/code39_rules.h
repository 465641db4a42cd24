// The Code 39 decoders' rules that their quick rejection follows too.
#pragma once

namespace pixdoc::barcode::code39 {

inline constexpr int kElementsPerCharacter = 9;
inline constexpr int kMinimumThreshold = 2;
// Gaps up to 4T + 3 pixels lie between characters; wider ones are quiet zones.
inline constexpr int kGapDivisor = 4;

inline bool IsGap(int width, int threshold) {
    return width / kGapDivisor <= threshold;
}

}  // namespace pixdoc::barcode::code39
