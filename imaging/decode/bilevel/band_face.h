// The band face of the bilevel decoder (the export Decompress): geometry set-up and the
// column map, exposed for tests.
#pragma once

#include <cstdint>

#include "pixdoc32.h"

namespace pixdoc::bilevel {

inline constexpr int32_t kBandReady = 4;
// Option bits of the header.
inline constexpr int32_t kOptionOrLines = 1 << 0;  // OR every source line into its output row
inline constexpr int32_t kOptionKeepThinRuns = 1 << 1;
inline constexpr int32_t kBandsDone = 16;
inline constexpr int32_t kOne = 2048;  // fixed point: 2048 is one
inline constexpr int32_t kMaxScale = 32767;
inline constexpr int32_t kMaxBandBytes = 8192;
inline constexpr int32_t kMaxBandRowsUpright = 32;
inline constexpr int32_t kBandRowStep = 16;
// Lines of a code 0 page within which a damaged line may be taken as white.
inline constexpr int32_t kLenientLines = 8;

// Set-up of the band face: geometry, fitting, band, column map, turn buffer, then the line face.
// Returns 0, or kSetUpFailed with nothing allocated.
int32_t BandSetUp(ImageHeader& h);

}  // namespace pixdoc::bilevel
