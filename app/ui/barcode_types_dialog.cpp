#include "app/ui/barcode_types_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "acquisition/ui/qt_text.h"

namespace scantora {
namespace {

constexpr int kColumns = 2;

}  // namespace

BarcodeTypesDialog::BarcodeTypesDialog(BarcodeTypes& types, const InterfaceTexts& texts,
                                       QWidget* parent)
    : QDialog(parent), types_(types) {
    const BarcodeTypesLabels labels = BarcodeTypesTexts(texts);
    setWindowTitle(ToQt(labels.caption));
    auto* group = new QGroupBox(ToQt(labels.group), this);
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < kSymbologyCount; ++i) {
        auto* box = new QCheckBox(ToQt(labels.names[static_cast<std::size_t>(i)]), group);
        box->setObjectName(QString::number(kSymbologies[static_cast<std::size_t>(i)].bit));
        connect(box, &QCheckBox::toggled, this,
                [this, i](bool checked) { types_.SetChecked(i, checked); });
        boxes_[static_cast<std::size_t>(i)] = box;
        grid->addWidget(box, i / kColumns, i % kColumns);
    }
    auto* select_all = new QPushButton(ToQt(labels.select_all), this);
    select_all->setObjectName("select_all");
    auto* deselect_all = new QPushButton(ToQt(labels.deselect_all), this);
    deselect_all->setObjectName("deselect_all");
    connect(select_all, &QPushButton::clicked, this, [this] {
        types_.SelectAll();
        ShowTypes();
    });
    connect(deselect_all, &QPushButton::clicked, this, [this] {
        types_.DeselectAll();
        ShowTypes();
    });
    auto* row = new QHBoxLayout;
    row->addWidget(select_all);
    row->addWidget(deselect_all);
    row->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(row);
    layout->addWidget(OkCancelButtons(*this, texts));
    ShowTypes();
}

void BarcodeTypesDialog::ShowTypes() {
    for (int i = 0; i < kSymbologyCount; ++i) {
        QCheckBox* box = boxes_[static_cast<std::size_t>(i)];
        const QSignalBlocker quiet(box);
        box->setChecked(types_.Checked(i));
    }
}

}  // namespace scantora
