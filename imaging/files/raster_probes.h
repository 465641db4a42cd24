// Raster formats with fixed binary headers: the 0xDC format, the 0xCD 0xAB format, the
// "DiR-sEcT" format, the page-chain format and the fixed-header ("nn"/"NN") format.
// Each writes header only on success.
#pragma once

#include <cstdint>

#include "imaging/files/probe_source.h"
#include "pixdoc32.h"

namespace pixdoc::files {

inline constexpr int32_t kRasterHeaderSize = 128;
inline constexpr int32_t kRasterDataOffset = 512;
inline constexpr int32_t kPageRecordHeaderSize = 72;
inline constexpr int32_t kFixedHeaderSize = 94;
inline constexpr uint8_t kPageRecordMark = 0xFE;

bool ProbeDcFormat(const ProbeSource& source, ImageHeader& header);
bool ProbeCdAbFormat(const ProbeSource& source, ImageHeader& header);
bool ProbeDirSectFormat(const ProbeSource& source, ImageHeader& header);
bool ProbePageChain(const ProbeSource& source, int32_t page, ImageHeader& header);
// Disk files only; describes its single image for any page number.
bool ProbeFixedHeader(const ProbeSource& source, ImageHeader& header);

// Offset of record `page` (1-based) of a page-chain file, or -1. Each record header must read
// whole, begin with kPageRecordMark and, when require_zero_second_byte, have byte 1 = 0.
int64_t FindPageRecord(const ProbeSource& source, int32_t page, uint8_t* record_header,
                       bool require_zero_second_byte);

}  // namespace pixdoc::files
