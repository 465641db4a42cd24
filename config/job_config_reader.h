// Reading a job configuration file into the job record.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/job_record.h"
#include "config/key_table.h"
#include "config/utilita.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"

namespace scantora {

// [BARCODE] values given on the command line; each one set replaces the job file's key.
struct BarcodeOverrides {
    std::optional<std::string> barcode;          // BARCODE=
    std::optional<std::string> nomefilebarcode;  // NOMEFILEBARCODE=
    std::optional<std::string> barcodeval;       // BARCODEVAL=
};

enum class JobReadResult { kOk, kNotFound, kKeysMissing };

// Where the file named `job_path` is looked for, in order: only its file name is used, in the
// setup directory, then in "/windows" and "/winnt".
std::vector<std::filesystem::path> JobFileCandidates(const std::filesystem::path& setup_dir,
                                                     std::string_view job_path);

// Counts kept while reading: each recognised section adds its mandatory keys to `expected`;
// each recognised key line adds one to `found`.
struct KeyCounts {
    std::size_t sections = 0;  // section headers recognised
    std::size_t expected = 0;
    std::size_t found = 0;
};

// Applies the lines of `in` to `job` (values cut to their widths, keys given in `overrides`
// skipped) and returns the counts. Does not decide success.
KeyCounts ApplyJobLines(std::istream& in, const KeyTable& table, const BarcodeOverrides& overrides,
                        JobRecord& job);

// Reads the job file into `job`. Not found: beeps and shows text 61488 with " (LoadFileini2)";
// fewer keys than expected, or no known section at all (an empty or binary file): shows the
// fixed "cannot load" message; the values already read stay in `job` in both cases. The overrides
// are stored into `job` first.
JobReadResult ReadJobConfig(const KeyTable& table, const std::filesystem::path& setup_dir,
                            std::string_view job_path, const BarcodeOverrides& overrides,
                            JobRecord& job, Operator& op, const InterfaceTexts& texts);

// The same, into the settings object's record with its key table.
JobReadResult ReadJobConfig(Utilita& utilita, const std::filesystem::path& setup_dir,
                            std::string_view job_path, const BarcodeOverrides& overrides,
                            Operator& op, const InterfaceTexts& texts);

}  // namespace scantora
