#include "acquisition/ui/identification_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "acquisition/ui/qt_text.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

enum Column { kLockColumn, kLabelColumn, kEntryColumn, kDisplayColumn, kCommandColumn };

void SetText(QLineEdit* edit, const std::string& text) {
    const QString shown = ToQt(text);
    if (edit->text() != shown) edit->setText(shown);
}

}  // namespace

IdentificationView ViewOf(const IdentificationModel& model) {
    IdentificationView view;
    for (std::size_t i = 0; i < model.level_count(); ++i)
        view.levels.push_back(model.level(i));
    view.file_field = model.file_field();
    view.counter = model.BatchCounterText();
    return view;
}

IdentificationPanel::IdentificationPanel(IdentificationModel& model, const InterfaceTexts& texts,
                                         QWidget* parent)
    : QWidget(parent), model_(model), texts_(texts) {
    setObjectName("identification_panel");
    setWindowTitle(ToQt(model.Caption()));
    auto* layout = new QVBoxLayout(this);

    auto* commands = new QHBoxLayout;
    start_ = new QPushButton(QtText(texts, text_id::kStartScan), this);
    stop_ = new QPushButton(QtText(texts, text_id::kStopScan), this);
    next_ = new QPushButton(QtText(texts, text_id::kNextDocument), this);
    start_->setObjectName("start_1034");
    stop_->setObjectName("stop_1035");
    next_->setObjectName("next_document");
    for (QPushButton* button : {start_, stop_, next_})
        commands->addWidget(button);
    layout->addLayout(commands);
    connect(start_, &QPushButton::clicked, this, &IdentificationPanel::StartRequested);
    connect(stop_, &QPushButton::clicked, this, &IdentificationPanel::StopRequested);
    connect(next_, &QPushButton::clicked, this, &IdentificationPanel::NextDocumentRequested);

    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    for (std::size_t i = 0; i < model.level_count(); ++i) {
        BuildRow(i);
        const int row = static_cast<int>(i);
        grid->addWidget(rows_[i].lock, row, kLockColumn);
        grid->addWidget(rows_[i].label, row, kLabelColumn);
        grid->addWidget(rows_[i].entry, row, kEntryColumn);
        grid->addWidget(rows_[i].display, row, kDisplayColumn);
        grid->addWidget(rows_[i].command, row, kCommandColumn);
    }
    grid->setColumnStretch(kEntryColumn, 1);
    grid->setColumnStretch(kDisplayColumn, 1);

    counter_ = new QLabel(this);
    counter_->setObjectName("counter");
    file_field_ = new QLineEdit(this);
    file_field_->setObjectName("file_field");
    file_field_->setReadOnly(true);
    show_images_ = new QCheckBox(QtText(texts, text_id::kShowImages), this);
    show_images_->setChecked(true);
    connect(show_images_, &QCheckBox::toggled, this, &IdentificationPanel::ShowImagesChanged);
    layout->addWidget(counter_);
    layout->addWidget(file_field_);
    layout->addWidget(show_images_);

    files_ = new QListWidget(this);
    files_->setObjectName("batch_files");
    connect(files_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) emit FileChosen(row);
    });
    layout->addWidget(files_, 1);
    delete_ = new QPushButton(QtText(texts, text_id::kDeleteFile), this);
    delete_->setObjectName("delete_file");
    connect(delete_, &QPushButton::clicked, this, &IdentificationPanel::DeleteRequested);
    layout->addWidget(delete_);

    SetScanning(false);
    Refresh();
}

void IdentificationPanel::BuildRow(std::size_t index) {
    Row row;
    const QString number = QString::number(index);
    row.lock = new QCheckBox(this);
    row.lock->setObjectName("lock" + number);
    row.label = new QLabel(this);
    row.label->setObjectName("Livello" + number);
    row.entry = new QComboBox(this);
    row.entry->setObjectName("CodLiv" + number);
    row.entry->setEditable(true);
    row.entry->setInsertPolicy(QComboBox::NoInsert);
    row.entry->lineEdit()->setMaxLength(static_cast<int>(model_.entry_limit(index)));
    row.display = new QLineEdit(this);
    row.display->setObjectName("display" + number);
    row.display->setReadOnly(true);
    row.command = new QToolButton(this);
    row.command->setObjectName("level_command" + number);
    row.command->setText(QString::number(index + 1));

    connect(row.lock, &QCheckBox::toggled, this, [this, index](bool checked) {
        model_.SetLocked(index, checked);
        Refresh();
    });
    connect(row.entry, &QComboBox::editTextChanged, this,
            [this, index](const QString& text) { model_.SetEntry(index, FromQt(text)); });
    connect(row.entry->lineEdit(), &QLineEdit::editingFinished, this,
            [this, index] { EntryLeft(index); });
    connect(row.entry, &QComboBox::activated, this, [this, index] { EntryLeft(index); });
    connect(row.command, &QToolButton::clicked, this, [this, index] {
        model_.RunLevelCommand(index);
        Refresh();
    });
    rows_.push_back(row);
}

void IdentificationPanel::EntryLeft(std::size_t index) {
    if (scanning_) return;
    if (!model_.LeaveEntry(index)) {
        // Refused: the operator corrects the same field.
        rows_[index].entry->setFocus();
        return;
    }
    Refresh();
}

void IdentificationPanel::Refresh() {
    if (!scanning_) Show(ViewOf(model_));
}

void IdentificationPanel::Show(const IdentificationView& view) {
    for (std::size_t i = 0; i < rows_.size() && i < view.levels.size(); ++i) {
        const IdentificationLevel& level = view.levels[i];
        Row& row = rows_[i];
        const QSignalBlocker quiet_lock(row.lock);
        const QSignalBlocker quiet_entry(row.entry);
        row.lock->setChecked(level.locked);
        row.lock->setEnabled(!level.lock_fixed && !scanning_);
        row.label->setText(ToQt(level.label));
        if (row.entry->count() != static_cast<int>(level.entry_list.size())) {
            row.entry->clear();
            for (const std::string& code : level.entry_list)
                row.entry->addItem(ToQt(code));
        }
        SetText(row.entry->lineEdit(), level.entry);
        row.entry->setEnabled(level.entry_enabled && !scanning_);
        SetText(row.display, level.display);
        row.command->setEnabled(!scanning_);
    }
    SetText(file_field_, view.file_field);
    ShowCounter(view.counter);
}

void IdentificationPanel::ShowCounter(const std::string& text) {
    counter_->setText(ToQt(text));
}

void IdentificationPanel::ShowFiles(const BatchFileList& list) {
    const QSignalBlocker quiet(files_);
    files_->clear();
    for (const auto& file : list.files())
        files_->addItem(ToQt(file.string()));
    if (list.selected()) files_->setCurrentRow(static_cast<int>(*list.selected()));
}

void IdentificationPanel::SetScanning(bool scanning) {
    scanning_ = scanning;
    start_->setEnabled(!scanning);
    stop_->setEnabled(scanning);
    next_->setEnabled(!scanning);
    // A file being written must not be deleted under the scan.
    delete_->setVisible(!scanning);
    if (!scanning) return;  // the caller refreshes once the scan has let go of the model
    for (Row& row : rows_) {
        row.entry->setEnabled(false);
        row.lock->setEnabled(false);
        row.command->setEnabled(false);
    }
}

}  // namespace scantora
