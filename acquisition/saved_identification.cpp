#include "acquisition/saved_identification.h"

#include <fstream>

#include "acquisition/naming_text.h"
#include "config/line_reader.h"
#include "config/numeric_text.h"
#include "config/text_encoding.h"

namespace scantora {

namespace {

std::string ReadLineOrEmpty(std::istream& in) {
    std::string line;
    if (!ReadTextLine(in, line)) return {};
    return FieldValue(line, kMaxLevelValue);
}

// A value as one line: it ends before any line-end character it might hold.
std::string_view AsLine(std::string_view value) {
    return value.substr(0, value.find_first_of("\r\n"));
}

}  // namespace

std::string SavedIdentificationPath(std::string_view setup_directory,
                                    std::string_view inisaveparam) {
    std::size_t name_start = 0;
    for (std::size_t i = 0; i < inisaveparam.size(); ++i) {
        if (IsSeparator(inisaveparam[i])) name_start = i + 1;
    }
    return ToNativeSeparators(std::string(setup_directory) + "/" +
                              std::string(inisaveparam.substr(name_start)));
}

bool WriteSavedIdentification(std::string_view path, const std::vector<SavedLevel>& levels) {
    std::ofstream out(ToNativeSeparators(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const SavedLevel& level : levels)
        out << (level.locked ? 1 : 0) << '\n';
    for (const SavedLevel& level : levels)
        out << AsLine(level.entry) << '\n';
    for (const SavedLevel& level : levels)
        out << AsLine(level.display) << '\n';
    return static_cast<bool>(out.flush());
}

std::optional<std::vector<SavedLevel>> ReadSavedIdentification(std::string_view path,
                                                               std::size_t level_count) {
    std::ifstream in(ToNativeSeparators(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<SavedLevel> levels(level_count);
    for (SavedLevel& level : levels)
        level.locked = LeadingNumber(ReadLineOrEmpty(in)) != 0;
    for (SavedLevel& level : levels)
        level.entry = ReadLineOrEmpty(in);
    for (SavedLevel& level : levels)
        level.display = ReadLineOrEmpty(in);
    return levels;
}

}  // namespace scantora
