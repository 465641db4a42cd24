#include "app/ui/setup_sheet_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "acquisition/ui/qt_text.h"
#include "app/barcode_types.h"
#include "app/ui/barcode_types_dialog.h"

namespace scantora {
namespace {

// Controls are named after their key (a bit box adds its bit, a radio button its index), so
// that the program's scripted runs and the tests find them.
QString FieldName(const SheetField& field) {
    QString name = ToQt(field.key);
    if (field.kind == FieldKind::kBit) name += QString::number(field.bit);
    return name;
}

bool HasOwnLabel(FieldKind kind) {
    return kind == FieldKind::kCheck || kind == FieldKind::kBit || kind == FieldKind::kBarcodeTypes;
}

// A long run of boxes (the symbologies) goes into columns.
constexpr std::size_t kBoxColumns = 3;
constexpr std::size_t kLongestBoxColumn = 4;

bool ManyBoxes(const SheetSection& section) {
    return section.columns.empty() && section.rows.size() > kLongestBoxColumn &&
           std::all_of(section.rows.begin(), section.rows.end(),
                       [](const auto& row) { return HasOwnLabel(row.front().kind); });
}

constexpr QSize kSheetSize(720, 620);

}  // namespace

SetupSheetDialog::SetupSheetDialog(SetupSheet& sheet, Operator& op, const InterfaceTexts& texts,
                                   QWidget* parent)
    : QDialog(parent), sheet_(sheet), op_(op), texts_(texts), tabs_(new QTabWidget(this)) {
    setWindowTitle(ToQt(sheet.Caption()));
    const std::vector<SheetPage> pages = sheet.Pages();
    for (const SheetPage& page : pages) {
        tabs_->addTab(BuildPage(page), ToQt(page.title));
        if (page.level >= 0) ++level_tabs_;
    }
    ShowLevelLists();
    // Level descriptions name the separator levels: refresh them whenever a page is shown.
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { ShowLevelLists(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(OkCancelButtons(*this, texts));
    resize(kSheetSize);
}

QWidget* SetupSheetDialog::BuildPage(const SheetPage& page) {
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    for (const SheetSection& section : page.sections) {
        QWidget* holder = content;
        if (!section.title.empty()) {
            holder = new QGroupBox(ToQt(section.title), content);
            layout->addWidget(holder);
        }
        QLayout* fields = nullptr;
        if (ManyBoxes(section)) {
            auto* grid = new QGridLayout;
            for (std::size_t i = 0; i < section.rows.size(); ++i)
                grid->addWidget(BuildField(section.rows[i].front(), holder),
                                static_cast<int>(i / kBoxColumns),
                                static_cast<int>(i % kBoxColumns));
            fields = grid;
        } else if (section.columns.empty()) {
            auto* form = new QFormLayout;
            for (const auto& row : section.rows) {
                const SheetField& field = row.front();
                QWidget* editor = BuildField(field, holder);
                if (HasOwnLabel(field.kind))
                    form->addRow(editor);
                else
                    form->addRow(ToQt(field.label), editor);
            }
            fields = form;
        } else {
            auto* grid = new QGridLayout;
            for (int c = 0; c < static_cast<int>(section.columns.size()); ++c)
                grid->addWidget(new QLabel(ToQt(section.columns[static_cast<std::size_t>(c)])), 0,
                                c);
            for (int r = 0; r < static_cast<int>(section.rows.size()); ++r) {
                const auto& row = section.rows[static_cast<std::size_t>(r)];
                for (int c = 0; c < static_cast<int>(row.size()); ++c)
                    grid->addWidget(BuildField(row[static_cast<std::size_t>(c)], holder), r + 1, c);
            }
            fields = grid;
        }
        if (holder == content)
            layout->addLayout(fields);
        else
            holder->setLayout(fields);
    }
    layout->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    return scroll;
}

QWidget* SetupSheetDialog::BuildField(const SheetField& field, QWidget* parent) {
    QWidget* editor = nullptr;
    switch (field.kind) {
        case FieldKind::kEdit:
        case FieldKind::kDigits: {
            auto* edit = new QLineEdit(ToQt(sheet_.Text(field)), parent);
            if (field.max_chars > 0) edit->setMaxLength(static_cast<int>(field.max_chars));
            edit->setPlaceholderText(ToQt(field.hint));
            if (field.kind == FieldKind::kDigits)
                edit->setValidator(
                    new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
            connect(edit, &QLineEdit::textEdited, this, [this, field, edit](const QString& text) {
                if (sheet_.SetText(field, FromQt(text))) ShowLevelPages();
                if (const QString kept = ToQt(sheet_.Text(field)); kept != text)
                    edit->setText(kept);
            });
            editor = edit;
            break;
        }
        case FieldKind::kCheck:
        case FieldKind::kBit: {
            auto* box = new QCheckBox(ToQt(field.label), parent);
            box->setChecked(sheet_.Checked(field));
            connect(box, &QCheckBox::toggled, this,
                    [this, field](bool checked) { sheet_.SetChecked(field, checked); });
            editor = box;
            break;
        }
        case FieldKind::kChoice: {
            auto* row = new QWidget(parent);
            auto* buttons = new QHBoxLayout(row);
            buttons->setContentsMargins(0, 0, 0, 0);
            auto* group = new QButtonGroup(row);
            for (int i = 0; i < static_cast<int>(field.options.size()); ++i) {
                auto* radio =
                    new QRadioButton(ToQt(field.options[static_cast<std::size_t>(i)].label), row);
                radio->setObjectName(FieldName(field) + QString::number(i));
                radio->setChecked(sheet_.Chosen(field) == i);
                group->addButton(radio, i);
                buttons->addWidget(radio);
            }
            buttons->addStretch();
            connect(group, &QButtonGroup::idClicked, this,
                    [this, field](int index) { sheet_.Choose(field, index); });
            editor = row;
            break;
        }
        case FieldKind::kLevel: {
            auto* list = new QComboBox(parent);
            connect(list, &QComboBox::activated, this,
                    [this, field](int index) { sheet_.Choose(field, index); });
            level_lists_.emplace_back(field, list);
            editor = list;
            break;
        }
        case FieldKind::kBarcodeTypes: {
            auto* button = new QPushButton(ToQt(field.label), parent);
            connect(button, &QPushButton::clicked, this, [this, field] {
                BarcodeTypes types(sheet_.Text(field));
                BarcodeTypesDialog dialog(types, texts_, this);
                if (dialog.exec() == QDialog::Accepted) sheet_.SetText(field, types.Value());
            });
            editor = button;
            break;
        }
    }
    editor->setObjectName(FieldName(field));
    editors_[field.key] = editor;
    return editor;
}

void SetupSheetDialog::ShowLevelPages() {
    // Level pages sit after the application page; rebuild them from the sheet.
    constexpr int kFirstLevelTab = 1;
    const int current = tabs_->currentIndex();
    for (; level_tabs_ > 0; --level_tabs_) {
        QWidget* page = tabs_->widget(kFirstLevelTab);
        tabs_->removeTab(kFirstLevelTab);
        page->deleteLater();
    }
    for (const SheetPage& page : sheet_.Pages()) {
        if (page.level < 0) continue;
        tabs_->insertTab(kFirstLevelTab + page.level, BuildPage(page), ToQt(page.title));
        ++level_tabs_;
    }
    tabs_->setCurrentIndex(std::min(current, tabs_->count() - 1));
    ShowLevelLists();
}

void SetupSheetDialog::ShowLevelLists() {
    for (auto& [field, list] : level_lists_) {
        const QSignalBlocker quiet(list);
        list->clear();
        for (const FieldOption& option : sheet_.LevelOptions(field))
            list->addItem(ToQt(option.label));
        list->setCurrentIndex(sheet_.Chosen(field));
    }
}

void SetupSheetDialog::accept() {
    if (sheet_.Accept(op_)) {
        QDialog::accept();
        return;
    }
    const auto it = editors_.find(sheet_.invalid_key());
    if (it == editors_.end() || !it->second) return;
    // The refused fields are on the application page.
    tabs_->setCurrentIndex(0);
    it->second->setFocus();
}

bool RunSetupSheet(SetupSheet& sheet, Operator& op, const InterfaceTexts& texts, QWidget* parent) {
    SetupSheetDialog dialog(sheet, op, texts, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace scantora
