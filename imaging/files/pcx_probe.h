// Bilevel PCX pages: a lone PCX file (page 1) and the pages of a DCX multi-page file.
#pragma once

#include <cstdint>

#include "imaging/files/probe_source.h"
#include "pixdoc32.h"

namespace pixdoc::files {

inline constexpr int32_t kPcxHeaderSize = 128;
inline constexpr int32_t kPcxMinWidth = 24;
inline constexpr int32_t kPcxMaxWidth = 8192;
inline constexpr int32_t kMaxDcxPages = 1023;
inline constexpr uint8_t kDcxMagic[4] = {0xB1, 0x68, 0xDE, 0x3A};

// A bilevel PCX file; page 1 only. Writes header only on success.
bool ProbeBilevelPcx(const ProbeSource& source, ImageHeader& header);
// Page `page` (1..1023) of a DCX file. Writes header only on success.
bool ProbeDcx(const ProbeSource& source, int32_t page, ImageHeader& header);

}  // namespace pixdoc::files
