#include "app/ui/job_selection_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "acquisition/ui/qt_text.h"
#include "app/ui/setup_sheet_dialog.h"
#include "config/atomic_file.h"

namespace scantora {

JobSelectionDialog::JobSelectionDialog(JobSelection& selection, const KeyTable& keys, Operator& op,
                                       const TextLookup& texts, QWidget* parent,
                                       SetupSheetRunner run_sheet)
    : QDialog(parent),
      selection_(selection),
      keys_(keys),
      op_(op),
      texts_(texts),
      run_sheet_(std::move(run_sheet)),
      jobs_(new QComboBox(this)) {
    if (!run_sheet_) {
        run_sheet_ = [this](SetupSheet& sheet) {
            SetupSheetDialog dialog(sheet, op_, texts_, this);
            return dialog.exec() == QDialog::Accepted;
        };
    }
    const JobSelectionLabels labels = SelectionLabels(texts);
    setWindowTitle(ToQt(labels.caption));
    jobs_->setObjectName("jobs");
    jobs_->setEditable(true);
    jobs_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& entry : selection.entries())
        jobs_->addItem(ToQt(entry));
    jobs_->setCurrentIndex(selection.selected());

    auto* new_job = new QPushButton(ToQt(labels.new_job), this);
    new_job->setObjectName("new_job");
    new_job->setAutoDefault(false);
    connect(new_job, &QPushButton::clicked, this, [this] { NewJob(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(ToQt(labels.jobs), this));
    layout->addWidget(jobs_);
    auto* buttons = OkCancelButtons(*this, texts);
    buttons->addButton(new_job, QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
}

void JobSelectionDialog::accept() {
    if (selection_.Confirm(FromQt(jobs_->currentText()), job_file_path_, op_)) QDialog::accept();
}

void JobSelectionDialog::NewJob() {
    const std::filesystem::path path = selection_.NewJobPath();
    SetupSheet sheet(JobRecord{}, keys_, texts_);
    if (!run_sheet_(sheet)) return;
    if (!selection_.AddNewJob(sheet.record(), path, keys_, JobRewriteTempPath(), op_, texts_))
        return;
    jobs_->addItem(ToQt(selection_.entries().back()));
    jobs_->setCurrentIndex(jobs_->count() - 1);
    job_file_path_ = path.string();
}

bool RunJobSelection(const std::filesystem::path& setup_dir, const KeyTable& keys,
                     std::string& job_file_path, Operator& op, const TextLookup& texts,
                     QWidget* parent) {
    JobSelection selection(setup_dir);
    JobSelectionDialog dialog(selection, keys, op, texts, parent);
    dialog.set_job_file_path(job_file_path);
    if (dialog.exec() != QDialog::Accepted) return false;
    job_file_path = dialog.job_file_path();
    return true;
}

}  // namespace scantora
