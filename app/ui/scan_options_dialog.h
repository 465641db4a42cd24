// The scanner options dialog that the imaging control opens before an acquisition in the set-up
// and shown dialog modes: the device's resolution, brightness, contrast, scan area and mode
// within what it offers.
#pragma once

#include <QDialog>

#include "acquisition/scanner/imaging_control.h"
#include "app/scan_options.h"
#include "operator/interface_texts.h"

class QComboBox;
class QSlider;
class QSpinBox;

namespace scantora {

class ScanOptionsView : public QDialog {
public:
    ScanOptionsView(ScanOptions& options, const InterfaceTexts& texts, QWidget* parent = nullptr);

private:
    QWidget* ResolutionEditor();
    void TakeFrame();

    ScanOptions& options_;
    const InterfaceTexts& texts_;
    std::array<QSpinBox*, 4> frame_{};  // left, top, width, height
};

// What the imaging control calls: the dialog over the values of the device it has open.
class QtScanOptionsDialog : public ScanOptionsDialog {
public:
    QtScanOptionsDialog(ImagingControl& control, const InterfaceTexts& texts,
                        QWidget* parent = nullptr)
        : control_(control), texts_(texts), parent_(parent) {}

    bool Edit(std::string_view source, ScannerValues& values) override;

private:
    ImagingControl& control_;
    const InterfaceTexts& texts_;
    QWidget* parent_;
};

}  // namespace scantora
