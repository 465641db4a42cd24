// Feeds arbitrary bytes to every configuration-file parser: job files, language files, the
// global settings, scanner settings and the command line. Besides not crashing, every stored
// value must be valid UTF-8 within its width, and a job written from what was read must read
// back to the same file.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/command_line.h"
#include "app/global_settings.h"
#include "app/language_file.h"
#include "config/job_config_reader.h"
#include "config/job_config_writer.h"
#include "config/scanner_settings.h"
#include "config/text_encoding.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckJob(const scantora::KeyTable& table, const scantora::JobRecord& job) {
    for (const auto& section : table.sections())
        for (const auto& key : section.keys) {
            const std::string& value = key.Value(job);
            Require(scantora::IsValidUtf8(value));
            Require(scantora::CharCount(value) <= key.width);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    static const scantora::KeyTable table = scantora::KeyTable::Build();

    scantora::JobRecord job;
    std::istringstream job_in(text);
    scantora::ApplyJobLines(job_in, table, {}, job);
    CheckJob(table, job);
    for (auto writer : {scantora::JobWriter::kMain, scantora::JobWriter::kSecond}) {
        const std::string written = scantora::ComposeJobFile(table, job, writer);
        scantora::JobRecord reread;
        std::istringstream reread_in(written);
        scantora::ApplyJobLines(reread_in, table, {}, reread);
        Require(scantora::ComposeJobFile(table, reread, writer) == written);
    }

    scantora::LanguageTable languages;
    std::istringstream language_in(text);
    scantora::ReadLanguageLines(language_in, languages);
    Require(languages.entries().size() <= scantora::LanguageTable::kMaxEntries);
    for (const auto& entry : languages.entries())
        Require(scantora::IsValidUtf8(entry.text));

    std::istringstream settings_in(text);
    const auto settings = scantora::ParseGlobalSettings(settings_in);
    for (const auto& job_entry : settings.jobs)
        Require(scantora::IsValidUtf8(job_entry.name));

    scantora::ScannerSettings scanner;
    std::istringstream scanner_in(text);
    scantora::ParseScannerSettings(scanner_in, scanner);

    const auto levels = scantora::ParsePresetLevels(text);
    for (const auto& code : levels)
        Require(scantora::CharCount(code) <= scantora::kPresetCodeChars);
    scantora::ParseBarcodeItems(text);
    scantora::ParseJobRequest(text);
    return 0;
}
