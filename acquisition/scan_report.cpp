#include "acquisition/scan_report.h"

#include <cstdint>
#include <vector>

#include "acquisition/naming_text.h"
#include "acquisition/scanner/durable_file.h"

namespace scantora {
namespace {

constexpr std::size_t kFileNameWidth = 20;
constexpr std::size_t kCodeRead = 18;
constexpr std::size_t kCodeWidth = 8;
constexpr std::size_t kLineWidth = 91;
constexpr std::string_view kLineEnd = "\r\n";

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The longest prefix of `text` within `limit` bytes that ends on a character boundary.
std::string_view CutAtCharacter(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && IsContinuation(text[end]))
        --end;
    return text.substr(0, end);
}

std::string_view FileNamePart(std::string_view path) {
    for (std::size_t i = path.size(); i-- > 0;)
        if (IsSeparator(path[i])) return path.substr(i + 1);
    return path;
}

}  // namespace

std::string FixedField(std::string_view text, std::size_t width) {
    std::string field(CutAtCharacter(text, width));
    field.resize(width, ' ');
    return field;
}

std::string ScanReportLine(std::string_view file_field, std::span<const std::string> codes) {
    std::string line = FixedField(FileNamePart(file_field), kFileNameWidth);
    for (const std::string& code : codes)
        line += FixedField(CutAtCharacter(code, kCodeRead), kCodeWidth);
    return FixedField(line, kLineWidth);
}

bool WriteScanReport(const std::filesystem::path& setup_dir, std::string_view line) {
    std::vector<std::uint8_t> bytes(line.begin(), line.end());
    bytes.insert(bytes.end(), kLineEnd.begin(), kLineEnd.end());
    // Written again after every page from the loop's state: a power cut can cost no more than
    // the last page's line, which the next page brings back, so it is not flushed.
    return ReplaceFile(setup_dir / kScanReportName, bytes, Durability::kAtomicOnly) ==
           ImagingStatus::kOk;
}

}  // namespace scantora
