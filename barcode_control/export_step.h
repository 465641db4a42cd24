// The export step of GetAllBarCode: the walk over the segments of the raw search text, what
// each segment gives (barcode text, coordinates, a rejected character), and the export line.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "barcode_control/barlynx.h"

namespace barlynx {

// Export errors: the first or the second export file could not be written.
inline constexpr int32_t kFirstExportFailed = 999;
inline constexpr int32_t kSecondExportFailed = 998;

struct Coordinates {
    long first_x = 0;
    long second_x = 0;
    long y = 0;
};

// The segments of `raw`, in order. A segment runs from the current position up to and including
// the first ">" after that position; when none follows but one stands at the position, it is
// the rest of the text. The walk goes on while a ">" stands at or after the position.
std::vector<std::string_view> Segments(std::string_view raw);

// The text between the segment's first "*" and the next one; empty when it holds fewer than two.
std::string_view BarcodeText(std::string_view segment);

// The segment's position suffix "<first x,second x,y,...": nothing when the segment has no "<"
// or starts with its suffix. An empty or missing number gives 0.
std::optional<Coordinates> ReadCoordinates(std::string_view segment);

// Whether the read holds a rejected character: a "?" after the segment's first character.
bool HasRejectedCharacter(std::string_view segment);

// The area the correction dialog shows around a barcode: d = (first x - second x) / 4, and
// (second x - d, y - d, first x + d, y).
PageArea Neighbourhood(const Coordinates& at);

// What the walk calls out for: a negative coordinate's message, and the correction dialog.
struct SegmentHooks {
    std::function<void(std::string_view message)> show_message;
    // The operator's text for a rejected read, or nothing to keep the text as read.
    std::function<std::optional<std::string>(std::string_view text, const Coordinates& at)> correct;
};

// What the walk leaves for the export line: the last segment's barcode text and the coordinates
// of the last segment whose coordinates were read (0 when none was).
struct ExportFields {
    std::string barcode_text;
    Coordinates at;
};

ExportFields WalkSegments(std::string_view raw, const SegmentHooks& hooks);

// Field 1: the file name after its last "\" or "/", without its last extension.
std::string BaseName(std::string_view file_name);
// Field 7: `images_path` when not empty, else the file name before its last "\" or "/".
std::string ImagesPath(std::string_view file_name, std::string_view images_path);

// "%s;%-25.25s;%05ld;%05ld;%05ld;%05ld;%s" ended by CR LF.
std::string ExportLine(std::string_view base_name, const ExportFields& fields,
                       std::string_view images_path);

// Appends `line` to each export file whose name is not empty, creating missing files, and
// closes them: 0, kFirstExportFailed or kSecondExportFailed (the second wins). A file that
// fails does not keep the line from the other one.
int32_t AppendExportLine(std::string_view line, std::string_view export_file,
                         std::string_view export_file2);

}  // namespace barlynx
