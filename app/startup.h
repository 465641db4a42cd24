// Start-up, from the process arguments to a loaded job.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/text_lookup.h"
#include "operator/operator.h"

namespace scantora {

struct StartupOptions {
    std::string program_path;                        // the program as started (argv[0])
    std::optional<std::filesystem::path> setup_dir;  // replaces "<program dir>/setup"
    std::string command_line;                        // the job items, blank-separated
    std::string locale;                              // decides the language (UserLocale())
};

enum class StartupResult { kOk, kSetupMissing, kNoLogonName };

// Finds the folders, loads the language into `texts`, applies the command line, checks the
// setup directory (text 61453 when missing) and the logon name (the system's text on
// failure). Anything but kOk ends the program.
StartupResult StartUp(const StartupOptions& options, AppState& state, TextLookup& texts,
                      Operator& op);

enum class JobLoadResult { kOk, kNotSelected, kNoJobFile, kJobFileFailed, kScannerFileFailed };

// Shows the job selection dialog: returns false for Cancel; on OK sets `job_file_path`.
using JobSelector = std::function<bool(std::string& job_file_path)>;

// Loads the job at the main window's start: the selection dialog when no job file path is
// set, then the job configuration file and the job's scanner settings, each failure with its
// message.
JobLoadResult LoadJob(AppState& state, const JobSelector& select, Operator& op,
                      const TextLookup& texts);

}  // namespace scantora
