#include "barcode_control/export_step.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>

namespace barlynx {
namespace {

constexpr std::string_view kPathSeparators = "\\/";
constexpr std::string_view kLineEnd = "\r\n";
constexpr long kLargestPiece = INT32_MAX;

// A decimal number as the C library's atol reads it, held within 32 bits as the library writes
// them, so that the neighbourhood's arithmetic cannot overflow.
long PieceNumber(std::string_view piece) {
    size_t i = 0;
    while (i < piece.size() && std::isspace(static_cast<unsigned char>(piece[i])))
        ++i;
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) negative = piece[i++] == '-';
    long value = 0;
    for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; ++i) {
        const int digit = piece[i] - '0';
        if (value > (kLargestPiece - digit) / 10) return negative ? -kLargestPiece : kLargestPiece;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

// The piece between the comma-separated delimiters `from` and `to` (npos: missing).
long PieceBetween(std::string_view text, size_t from, size_t to) {
    if (from == std::string_view::npos || to == std::string_view::npos) return 0;
    return PieceNumber(text.substr(from + 1, to - from - 1));
}

bool OpenAppendClose(std::string_view name, std::string_view line) {
    std::FILE* file = std::fopen(std::string(name).c_str(), "ab");
    if (!file) return false;
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

std::vector<std::string_view> Segments(std::string_view raw) {
    std::vector<std::string_view> segments;
    size_t position = 0;
    while (position < raw.size() && raw.find('>', position) != std::string_view::npos) {
        const size_t end = raw.find('>', position + 1);
        if (end == std::string_view::npos) {
            segments.push_back(raw.substr(position));
            break;
        }
        segments.push_back(raw.substr(position, end - position + 1));
        position = end + 1;
    }
    return segments;
}

std::string_view BarcodeText(std::string_view segment) {
    const size_t open = segment.find('*');
    if (open == std::string_view::npos) return {};
    const size_t close = segment.find('*', open + 1);
    if (close == std::string_view::npos) return {};
    return segment.substr(open + 1, close - open - 1);
}

std::optional<Coordinates> ReadCoordinates(std::string_view segment) {
    // The suffix is the segment's last "<": a decoded text may itself hold "<" or ",".
    const size_t open = segment.rfind('<');
    if (open == std::string_view::npos || open == 0) return std::nullopt;
    const size_t comma1 = segment.find(',', open);
    const size_t comma2 = comma1 == std::string_view::npos ? comma1 : segment.find(',', comma1 + 1);
    const size_t comma3 = comma2 == std::string_view::npos ? comma2 : segment.find(',', comma2 + 1);
    return Coordinates{PieceBetween(segment, open, comma1), PieceBetween(segment, comma1, comma2),
                       PieceBetween(segment, comma2, comma3)};
}

bool HasRejectedCharacter(std::string_view segment) {
    const size_t mark = segment.find('?');
    return mark != std::string_view::npos && mark > 0;
}

PageArea Neighbourhood(const Coordinates& at) {
    const long d = (at.first_x - at.second_x) / 4;
    return {at.second_x - d, at.y - d, at.first_x + d, at.y};
}

ExportFields WalkSegments(std::string_view raw, const SegmentHooks& hooks) {
    ExportFields fields;
    for (std::string_view segment : Segments(raw)) {
        fields.barcode_text = BarcodeText(segment);
        const std::optional<Coordinates> at = ReadCoordinates(segment);
        if (!at) continue;
        fields.at = *at;
        if (at->first_x < 0 || at->second_x < 0)
            hooks.show_message("Error Get Coordinate Barcode " + std::string(segment));
        if (HasRejectedCharacter(segment)) {
            if (std::optional<std::string> corrected = hooks.correct(fields.barcode_text, *at))
                fields.barcode_text = std::move(*corrected);
        }
    }
    return fields;
}

std::string BaseName(std::string_view file_name) {
    const size_t slash = file_name.find_last_of(kPathSeparators);
    std::string_view name =
        slash == std::string_view::npos ? file_name : file_name.substr(slash + 1);
    return std::string(name.substr(0, name.rfind('.')));
}

std::string ImagesPath(std::string_view file_name, std::string_view images_path) {
    if (!images_path.empty()) return std::string(images_path);
    const size_t slash = file_name.find_last_of(kPathSeparators);
    return slash == std::string_view::npos ? std::string()
                                           : std::string(file_name.substr(0, slash));
}

std::string ExportLine(std::string_view base_name, const ExportFields& fields,
                       std::string_view images_path) {
    const std::string text = fields.barcode_text;
    char middle[160];
    std::snprintf(middle, sizeof middle, "%-25.25s;%05ld;%05ld;%05ld;%05ld", text.c_str(),
                  fields.at.first_x, fields.at.y, fields.at.second_x, fields.at.y);
    std::string line(base_name);
    line += ';';
    line += middle;
    line += ';';
    line += images_path;
    line += kLineEnd;
    return line;
}

int32_t AppendExportLine(std::string_view line, std::string_view export_file,
                         std::string_view export_file2) {
    int32_t error = 0;
    if (!export_file.empty() && !OpenAppendClose(export_file, line)) error = kFirstExportFailed;
    if (!export_file2.empty() && !OpenAppendClose(export_file2, line)) error = kSecondExportFailed;
    return error;
}

}  // namespace barlynx
