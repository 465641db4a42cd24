// The library steps of GetAllBarCode. A failing step shows "Error:%d in <name>" with the
// library's result and ends the call with that result plus the step's offset.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace barlynx {

struct SearchStep {
    std::string_view name;
    int32_t offset;
};

inline constexpr SearchStep kHeaderStep{"Get Image Info Extended", 0};

inline constexpr SearchStep kBilevelInsertDataStep{"Code Insert Data", 2000};
inline constexpr SearchStep kBilevelZoneHeightStep{"Set Zone Height", 2500};
inline constexpr SearchStep kBilevelSearch1Step{"seekBarCode1 B/W", 3000};
inline constexpr SearchStep kBilevelSearch2Step{"seekBarCode2 B/W", 4000};

inline constexpr SearchStep kStartColorStep{"Start Color", 11000};
inline constexpr SearchStep kColorMergeStep{"Color Merge", 12000};
inline constexpr SearchStep kColorInsertDataStep{"Insert Data", 13000};
inline constexpr SearchStep kColorZoneHeightStep{"Set Zone Height", 14000};
inline constexpr SearchStep kColorSearch1Step{"Seek Bar Code 1 Color", 15000};
inline constexpr SearchStep kColorSearch2Step{"Seek Bar Code 2 Color", 16000};
inline constexpr SearchStep kColorEndStep{"Color End", 17000};

inline std::string StepMessage(const SearchStep& step, int32_t result) {
    return "Error:" + std::to_string(result) + " in " + std::string(step.name);
}

}  // namespace barlynx
