// The ordinal table: ordinal -> exported name -> function. Ordinals the callers bind by are
// fixed; exports without a historical ordinal take the next free one from kFirstNewOrdinal.
#pragma once

#include <cstdint>
#include <span>

namespace pixdoc {

struct OrdinalEntry {
    int32_t ordinal;
    const char* name;
    void* function;
};

inline constexpr int32_t kFirstNewOrdinal = 600;

// All entries, ascending by ordinal.
std::span<const OrdinalEntry> OrdinalTable();

}  // namespace pixdoc
