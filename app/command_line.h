// The program's command line: "APP=<job name>" and the optional items "LEVELS=a,b,...",
// "BC=<n>", "BC_EXPORT=<file>" and "BC_TYPE=<n>", separated by blanks.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "app/global_settings.h"
#include "config/job_config_reader.h"
#include "config/job_record.h"

namespace scantora {

inline constexpr std::size_t kPresetCodeChars = 29;

// Codes offered for the levels, slot n for level n; empty when not given.
using PresetLevels = std::array<std::string, kMaxLevels>;

struct JobRequest {
    std::string job_name;  // after "APP=", trimmed; empty without "APP="
    std::string options;   // the command line from "APP=" on, trimmed
};

// Finds "APP=" and the job name; nothing when the command line has no "APP=".
std::optional<JobRequest> ParseJobRequest(std::string_view command_line);

// The value of the blank-separated item that begins with `key` ("LEVELS="), if any.
std::optional<std::string> ItemValue(std::string_view options, std::string_view key);

// LEVELS=: each non-empty code fills the next slot from level 0 (empty ones use no slot), at
// most kMaxLevels codes, each cut to kPresetCodeChars characters.
PresetLevels ParsePresetLevels(std::string_view options);

// BC=, BC_EXPORT=, BC_TYPE=: each taken when present with a value; the numbers as their
// decimal value.
BarcodeOverrides ParseBarcodeItems(std::string_view options);

// What the command line gives once the job is looked up in the global settings.
struct CommandLineResult {
    std::string job_file_path;  // empty: the job selection dialog is needed
    bool show_messages = false;
    std::optional<std::string> language_file;  // LINGUAGGIO= seen while looking the job up
    PresetLevels preset_levels;
    BarcodeOverrides barcode_overrides;
};

// Applies the command line: with a job name, looks for the "NOME=<name>" line (the whole name)
// in `settings_file`; the line after it gives the job file path. Only when the job was found
// are LEVELS= and the barcode items taken.
CommandLineResult ApplyCommandLine(std::string_view command_line,
                                   const std::filesystem::path& settings_file);

}  // namespace scantora
