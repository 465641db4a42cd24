#include "app/startup.h"

#include "app/language_file.h"
#include "app/logon_name.h"
#include "app/program_dirs.h"
#include "operator/fixed_messages.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

void ApplyCommandLineTo(const std::string& command_line, AppState& state, Operator& op) {
    CommandLineResult result =
        ApplyCommandLine(command_line, state.setup_dir / kGlobalSettingsName);
    state.job_file_path = result.job_file_path;
    if (result.show_messages) state.show_messages = true;
    if (result.language_file) state.language_file = *result.language_file;
    state.preset_levels = result.preset_levels;
    state.barcode_overrides = result.barcode_overrides;
    if (!state.show_messages) return;
    for (const auto& code : state.preset_levels)
        if (!code.empty()) op.Inform(code);
}

}  // namespace

StartupResult StartUp(const StartupOptions& options, AppState& state, TextLookup& texts,
                      Operator& op) {
    state.program_dir = ProgramDirectory(options.program_path);
    state.setup_dir = options.setup_dir ? *options.setup_dir : SetupDirectory(state.program_dir);
    state.language_file = LoadLanguage(state.setup_dir, options.locale, texts);
    GlobalSettings settings;
    if (ReadGlobalSettings(state.setup_dir / kGlobalSettingsName, settings))
        state.show_messages = settings.show_messages;
    if (!options.command_line.empty()) ApplyCommandLineTo(options.command_line, state, op);

    if (!std::filesystem::is_directory(state.setup_dir)) {
        op.Stop(texts.Text(text_id::kSetupDirectoryMissing));
        return StartupResult::kSetupMissing;
    }
    const LogonName logon = CurrentLogonName();
    if (!logon.name) {
        op.Stop(logon.error);
        return StartupResult::kNoLogonName;
    }
    state.user_name = *logon.name;
    state.utilita.job = JobRecord{};
    state.utilita.keys = KeyTable::Build();
    return StartupResult::kOk;
}

JobLoadResult LoadJob(AppState& state, const JobSelector& select, Operator& op,
                      const TextLookup& texts) {
    if (state.job_file_path.empty() && !select(state.job_file_path)) {
        op.Stop(fixed_message::kInitSelection);
        return JobLoadResult::kNotSelected;
    }
    if (state.job_file_path.empty()) {
        op.Stop(texts.Text(text_id::kJobFileRequired));
        return JobLoadResult::kNoJobFile;
    }
    if (ReadJobConfig(state.utilita, state.setup_dir, state.job_file_path, state.barcode_overrides,
                      op, texts) != JobReadResult::kOk) {
        op.Stop(fixed_message::kInitJobFile);
        return JobLoadResult::kJobFileFailed;
    }
    if (!ReadScannerSettings(ScannerSettingsPath(state.setup_dir, state.utilita.job.inisetscan),
                             state.scanner, op)) {
        op.Stop(fixed_message::kInitScannerFile);
        return JobLoadResult::kScannerFileFailed;
    }
    return JobLoadResult::kOk;
}

}  // namespace scantora
