#include "app/job_setup.h"

#include "config/atomic_file.h"
#include "config/job_config_writer.h"

namespace scantora {

SetupSheet OpenJobSetup(const AppState& state, const TextLookup& texts, SetupForm form) {
    return SetupSheet(state.utilita.job, state.utilita.keys, texts, form);
}

bool SaveJobSetup(AppState& state, const SetupSheet& sheet, Operator& op, const TextLookup& texts) {
    const bool tabbed = sheet.form() == SetupForm::kTabbed;
    if (!WriteJobConfig(state.utilita.keys, sheet.record(),
                        tabbed ? JobWriter::kSecond : JobWriter::kMain, state.setup_dir,
                        state.job_file_path, JobRewriteTempPath(), op, texts))
        return false;
    if (tabbed) return true;
    return ReadJobConfig(state.utilita, state.setup_dir, state.job_file_path,
                         state.barcode_overrides, op, texts) == JobReadResult::kOk;
}

}  // namespace scantora
