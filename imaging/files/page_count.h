// Page counting for GetTiffPages: TIFF directories, DCX page tables and page-chain records.
#pragma once

#include <cstdint>

#include "imaging/files/probe_source.h"

namespace pixdoc::files {

inline constexpr int32_t kPageCountHeadBytes = 4 + 4 * 1024;

// Pages of the opened source: TIFF, DCX and page-chain files by their rules, 1 for anything
// else; chain_end receives where the last counted TIFF directory's zero link to a next one lies,
// -1 when the count did not end that way. Throws std::bad_alloc when its buffers cannot be had.
int32_t CountPages(const ProbeSource& source, int64_t& chain_end);

}  // namespace pixdoc::files
