// Rewriting a file so that a failure at any moment (full disk, crash) leaves either the old
// file or the complete new one, never a half-written file.
#pragma once

#include <filesystem>
#include <string_view>

namespace scantora {

// The temporary directory: $TEMP, else $TMPDIR, else "/tmp".
std::filesystem::path TempDirectory();

// "tmpLIV.all" in the temporary directory: where every rewrite of a job configuration file
// is composed first.
std::filesystem::path JobRewriteTempPath();

enum class RewriteResult {
    kOk,
    kTempFailed,     // the temporary file could not be written; nothing else was touched
    kReplaceFailed,  // the target could not be replaced; it is left as it was
};

// Writes `content` to a sibling of `target` in the same directory, flushes it to disk and
// renames it over `target` in one step.
RewriteResult WriteFileAtomically(const std::filesystem::path& target, std::string_view content);

// A job file rewrite: `content` is first written completely to `temp` (normally
// JobRewriteTempPath()), then put in place of `target` with WriteFileAtomically(); the
// temporary file is removed at the end either way.
RewriteResult RewriteThroughTemp(const std::filesystem::path& target, std::string_view content,
                                 const std::filesystem::path& temp);

}  // namespace scantora
