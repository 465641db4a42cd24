// The transfer log: one line per document sent, appended to NOMEFILELOG for a downstream system.
#pragma once

#include <string>
#include <string_view>

#include "config/job_record.h"
#include "transfer/level_value_table.h"

namespace scantora {

// The line's text: with LOGDIRBASE 1, INVIOA and a separator (unless it ends with one); then
// the compositions of levels 1 to NUMLIVELLILOG over `values`. Separators are native.
std::string TransferLogText(const JobRecord& job, const LevelValueTable& values);

// "%010d%s" and CR LF: `number` zero-padded to ten digits (a negative number is written as 0).
std::string TransferLogLine(int number, std::string_view text);

// Appends `line` to `file` (created when missing) in one write and flushes it to disk.
// Returns 0, or the system's error number.
int AppendTransferLog(const std::string& file, std::string_view line);

// The message shown when the log cannot be written, with the system's error number.
std::string TransferLogFailure(int error, std::string_view file);

}  // namespace scantora
