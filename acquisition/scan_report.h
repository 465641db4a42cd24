// The scan report "Resocon.txt" in the setup directory: one line about the last saved page, for
// a downstream program that watches it. Rewritten after every page.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace scantora {

inline constexpr std::string_view kScanReportName = "Resocon.txt";

// `text` cut or padded with blanks to exactly `width` bytes, never splitting a UTF-8 character
// (a character that would straddle the edge becomes blanks).
std::string FixedField(std::string_view text, std::size_t width);

// The report line without its line end: the file-name part of `file_field` in 20 bytes, each
// level's code (its first 18 bytes) in 8, the whole cut or padded to 91.
std::string ScanReportLine(std::string_view file_field, std::span<const std::string> codes);

// Replaces the report in `setup_dir` with `line` and CR LF, whole: a reader never finds it half
// written. A report that cannot be written is skipped: false, nothing shown.
bool WriteScanReport(const std::filesystem::path& setup_dir, std::string_view line);

}  // namespace scantora
