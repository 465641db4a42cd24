// What the program holds for the whole run: its folders, the operator, the command line's
// presets and the current job.
#pragma once

#include <filesystem>
#include <string>

#include "app/command_line.h"
#include "config/job_config_reader.h"
#include "config/scanner_settings.h"
#include "config/utilita.h"

namespace scantora {

struct AppState {
    std::filesystem::path program_dir;
    std::filesystem::path setup_dir;
    std::string user_name;  // logon name, upper case
    bool show_messages = false;
    std::string language_file{kDefaultLanguageFile};
    std::string job_file_path;  // empty until a job is chosen
    PresetLevels preset_levels;
    BarcodeOverrides barcode_overrides;
    Utilita utilita;  // the key table and the current job
    ScannerSettings scanner;
};

}  // namespace scantora
