// Writing a job record as a job configuration file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "config/job_record.h"
#include "config/key_table.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"

namespace scantora {

enum class JobWriter {
    kMain,    // the setup sheet and new jobs: flags as numbers, one-character fields as stored
    kSecond,  // the tabbed setup dialog: MULTITIFF and OBBLIGATORIO_n as "Y"/"N", operations
              // as "+", "-" or empty, no LOCKUSER_n
};

// The complete text of the job file for `job` as `writer` lays it out: [GENERALE], the nine
// level sections (levels from NLIVELLI on with empty values), [TRASFERIMENTO], [BARCODE],
// [VARIE]. Lines end with LF.
std::string ComposeJobFile(const KeyTable& table, const JobRecord& job, JobWriter writer);

// Writes the job file: the file name of `job_path` in `setup_dir`, rewritten through `temp`
// (normally JobRewriteTempPath()). On failure shows text 61507 and leaves the old file as it
// was; on success shows the writer's restart message.
bool WriteJobConfig(const KeyTable& table, const JobRecord& job, JobWriter writer,
                    const std::filesystem::path& setup_dir, std::string_view job_path,
                    const std::filesystem::path& temp, Operator& op, const InterfaceTexts& texts);

}  // namespace scantora
