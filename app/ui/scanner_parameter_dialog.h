// The scanner parameter dialog ("Scanner parameter"): resolution, brightness and contrast on
// track bars, the image options, the scan type and the scan frame with its presets. OK writes
// the job's scanner settings file.
#pragma once

#include <QDialog>

#include <array>
#include <filesystem>

#include "app/scanner_parameters.h"
#include "operator/interface_texts.h"

class QComboBox;
class QLineEdit;
class QSlider;
class QSpinBox;

namespace scantora {

class ScannerParameterDialog : public QDialog {
public:
    ScannerParameterDialog(ScannerParameters& parameters, std::filesystem::path settings_file,
                           const InterfaceTexts& texts, QWidget* parent = nullptr);

    void accept() override;

private:
    QSlider* TrackBar(const TrackRange& range, std::optional<int> position, const char* name);
    void ShowResolution();
    void ShowFrame();

    ScannerParameters& parameters_;
    std::filesystem::path settings_file_;
    QSlider* resolution_;
    QLineEdit* resolution_edit_;
    QComboBox* size_;
    std::array<QSpinBox*, 4> frame_{};  // left, top, bottom, right
};

}  // namespace scantora
