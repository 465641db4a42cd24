#include "imaging/files/cals_probe.h"

#include <cstring>
#include <string_view>

namespace pixdoc::files {
namespace {

constexpr int32_t kCodeGroup4 = 1;
// Larger numbers are clamped; no page comes near them.
constexpr int32_t kMaxCalsNumber = 1'000'000;
// Within the "rpelcnt:" value the height follows a comma in this many characters, or else
// starts at kHeightColumn.
constexpr size_t kCommaWindow = 9;
constexpr size_t kHeightColumn = 8;

constexpr std::string_view kSkippedKeywords[] = {
    "scrdocid:", "dstdocid:", "txtfilid:", "fidid:", "srcgrp:", "doccls:"};

// The leading decimal digits of text, clamped.
int32_t LeadingNumber(std::string_view text) {
    int32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > kMaxCalsNumber) return kMaxCalsNumber;
    }
    return value;
}

// Orientation from the two three-character parts of "rorient:" (only the "270" line angle
// of type 1 files is understood).
void SetOrientation(std::string_view value, ImageHeader& page) {
    if (value.size() < 7 || value.substr(4, 3) != "270") return;
    const std::string_view rotation = value.substr(0, 3);
    if (rotation == "000")
        page.orientation = 3;
    else if (rotation == "090")
        page.orientation = 1;
    else if (rotation == "180")
        page.orientation = 0;
    else if (rotation == "270")
        page.orientation = 2;
}

void SetPixelCount(std::string_view value, ImageHeader& page) {
    page.width = LeadingNumber(value);
    const size_t comma = value.substr(0, kCommaWindow).find(',');
    if (comma != std::string_view::npos)
        page.height = LeadingNumber(value.substr(comma + 1));
    else if (value.size() > kHeightColumn)
        page.height = LeadingNumber(value.substr(kHeightColumn));
    else
        page.height = 0;
}

std::string_view ValueAfter(std::string_view record, std::string_view keyword) {
    std::string_view value = record.substr(keyword.size());
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    return value;
}

bool StartsWith(std::string_view record, std::string_view keyword) {
    return record.substr(0, keyword.size()) == keyword;
}

enum class RecordResult { kGo, kNotCals };

RecordResult ApplyRecord(std::string_view record, ImageHeader& page) {
    for (std::string_view skipped : kSkippedKeywords)
        if (StartsWith(record, skipped)) return RecordResult::kGo;
    if (StartsWith(record, "rtype:")) {
        if (!StartsWith(ValueAfter(record, "rtype:"), "1")) return RecordResult::kNotCals;
        page.compression = kCodeGroup4;
        page.fill_order = 0;
    } else if (StartsWith(record, "rorient:")) {
        SetOrientation(ValueAfter(record, "rorient:"), page);
    } else if (StartsWith(record, "rpelcnt:")) {
        SetPixelCount(ValueAfter(record, "rpelcnt:"), page);
    } else if (StartsWith(record, "rdensty:")) {
        page.x_resolution = page.y_resolution = LeadingNumber(ValueAfter(record, "rdensty:"));
    }
    return RecordResult::kGo;
}

}  // namespace

bool ProbeCals(const ProbeSource& source, ImageHeader& header) {
    ImageHeader page = header;
    page.width = 0;
    char record[kCalsRecordSize];
    for (int32_t i = 0; i < kCalsMaxRecords; ++i) {
        if (!ReadWhole(source, int64_t{i} * kCalsRecordSize, reinterpret_cast<uint8_t*>(record),
                       kCalsRecordSize))
            break;
        if (ApplyRecord(std::string_view(record, kCalsRecordSize), page) == RecordResult::kNotCals)
            return false;
    }
    if (page.width == 0) return false;
    page.data_offset = kCalsDataOffset;
    header = page;
    return true;
}

}  // namespace pixdoc::files
