#include "acquisition/input_control_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "acquisition/naming_text.h"
#include "config/line_reader.h"
#include "config/text_encoding.h"

namespace scantora {

InputControlList ReadInputControlFile(std::string_view path) {
    const std::filesystem::path file(ToNativeSeparators(path));
    std::error_code error;
    if (!std::filesystem::exists(file, error)) return {InputControlStatus::kMissing, {}};
    std::ifstream in(file, std::ios::binary);
    if (!in || !std::filesystem::is_regular_file(file, error)) {
        return {InputControlStatus::kUnreadable, {}};
    }
    InputControlList list;
    std::string line;
    while (ReadTextLine(in, line)) {
        std::string code = FieldValue(line, kMaxControlLine);
        if (!code.empty()) list.codes.push_back(std::move(code));
    }
    return list;
}

}  // namespace scantora
