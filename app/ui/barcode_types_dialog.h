// The "Bar Code Recognition" dialog: the eleven symbology boxes in the group "Bar Code Type",
// with "Select All" and "Deselect All".
#pragma once

#include <QDialog>

#include <array>

#include "app/barcode_types.h"
#include "operator/interface_texts.h"

class QCheckBox;

namespace scantora {

class BarcodeTypesDialog : public QDialog {
public:
    BarcodeTypesDialog(BarcodeTypes& types, const InterfaceTexts& texts, QWidget* parent = nullptr);

private:
    void ShowTypes();

    BarcodeTypes& types_;
    std::array<QCheckBox*, kSymbologyCount> boxes_{};
};

}  // namespace scantora
