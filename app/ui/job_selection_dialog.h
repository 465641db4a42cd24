// The job selection dialog: the registered jobs in an editable list, OK on a whole entry, and
// the new-job button, which opens the setup sheet on an empty job and registers it on OK.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

#include "app/job_selection.h"
#include "app/setup_sheet.h"
#include "app/text_lookup.h"
#include "config/key_table.h"
#include "operator/operator.h"

class QComboBox;
class QPushButton;

namespace scantora {

// Runs the setup sheet on a new job; true for OK.
using SetupSheetRunner = std::function<bool(SetupSheet& sheet)>;

class JobSelectionDialog : public QDialog {
public:
    // Without `run_sheet` the new-job button opens the setup sheet dialog.
    JobSelectionDialog(JobSelection& selection, const KeyTable& keys, Operator& op,
                       const TextLookup& texts, QWidget* parent = nullptr,
                       SetupSheetRunner run_sheet = {});

    // The job file chosen by OK (or created by the new-job button), else as it came.
    const std::string& job_file_path() const { return job_file_path_; }
    void set_job_file_path(std::string path) { job_file_path_ = std::move(path); }

    void accept() override;

private:
    void NewJob();

    JobSelection& selection_;
    const KeyTable& keys_;
    Operator& op_;
    const TextLookup& texts_;
    SetupSheetRunner run_sheet_;
    QComboBox* jobs_;
    std::string job_file_path_;
};

// The dialog over the registry of `setup_dir`, as the start-up's job selection: true for OK,
// with `job_file_path` set.
bool RunJobSelection(const std::filesystem::path& setup_dir, const KeyTable& keys,
                     std::string& job_file_path, Operator& op, const TextLookup& texts,
                     QWidget* parent = nullptr);

}  // namespace scantora
