#include "app/ui/scan_options_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "acquisition/ui/interface_thread.h"
#include "acquisition/ui/qt_text.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

constexpr std::array kFrameNames{"left", "top", "width", "height"};
constexpr std::array kFrameLabels{text_id::kFrameLeft, text_id::kFrameTop, text_id::kFrameWidth,
                                  text_id::kFrameHeight};

QSlider* ToneSlider(bool offered, std::optional<int> value, const char* name, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(-kToneLimit, kToneLimit);
    slider->setValue(value.value_or(0));
    slider->setEnabled(offered);
    return slider;
}

}  // namespace

ScanOptionsView::ScanOptionsView(ScanOptions& options, const InterfaceTexts& texts, QWidget* parent)
    : QDialog(parent), options_(options), texts_(texts) {
    setWindowTitle(QtText(texts, text_id::kScanOptionsCaption) + QStringLiteral(" - ") +
                   ToQt(options.source()));
    const ScannerValues& values = options.values();
    const ScannerLimits& limits = options.limits();
    auto* form = new QFormLayout;
    form->addRow(QtText(texts, text_id::kResolution), ResolutionEditor());

    QSlider* brightness = ToneSlider(limits.brightness, values.brightness, "brightness", this);
    connect(brightness, &QSlider::valueChanged, this,
            [this](int value) { options_.SetBrightness(value); });
    form->addRow(QtText(texts, text_id::kBrightness), brightness);
    QSlider* contrast = ToneSlider(limits.contrast, values.contrast, "contrast", this);
    connect(contrast, &QSlider::valueChanged, this,
            [this](int value) { options_.SetContrast(value); });
    form->addRow(QtText(texts, text_id::kContrast), contrast);

    auto* mode = new QComboBox(this);
    mode->setObjectName("mode");
    for (const ColourMode offered : limits.modes) {
        mode->addItem(QtText(texts, text_id::kFirstScanType + static_cast<int>(offered)),
                      static_cast<int>(offered));
        if (values.mode == offered) mode->setCurrentIndex(mode->count() - 1);
    }
    mode->setEnabled(!limits.modes.empty());
    connect(mode, &QComboBox::activated, this, [this, mode](int index) {
        options_.SetMode(static_cast<ColourMode>(mode->itemData(index).toInt()));
    });
    form->addRow(QtText(texts, text_id::kScanType), mode);

    // The scan area in millimetres, within the device's.
    auto* area = new QGroupBox(QtText(texts, text_id::kScanFrame), this);
    auto* area_form = new QFormLayout(area);
    const std::array<std::optional<int>, 4> frame{values.frame_left, values.frame_top,
                                                  values.frame_width, values.frame_height};
    const std::array<int, 4> extent{limits.frame_width.value_or(0), limits.frame_height.value_or(0),
                                    limits.frame_width.value_or(0),
                                    limits.frame_height.value_or(0)};
    for (std::size_t i = 0; i < frame_.size(); ++i) {
        auto* edit = new QSpinBox(area);
        edit->setObjectName(kFrameNames[i]);
        edit->setRange(0, extent[i]);
        edit->setValue(frame[i].value_or(0));
        edit->setSuffix(QStringLiteral(" ") + QtText(texts, text_id::kMillimetres));
        edit->setEnabled(options.OffersFrame() && frame[i].has_value());
        connect(edit, &QSpinBox::editingFinished, this, [this] { TakeFrame(); });
        frame_[i] = edit;
        area_form->addRow(QtText(texts, kFrameLabels[i]), edit);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(area);
    layout->addWidget(OkCancelButtons(*this, texts));
}

QWidget* ScanOptionsView::ResolutionEditor() {
    const ScannerLimits& limits = options_.limits();
    const int current = options_.values().resolution.value_or(0);
    if (!limits.resolutions.empty()) {
        auto* list = new QComboBox(this);
        for (const int dpi : limits.resolutions) {
            list->addItem(QString::number(dpi), dpi);
            if (dpi == current) list->setCurrentIndex(list->count() - 1);
        }
        connect(list, &QComboBox::activated, this,
                [this, list](int index) { options_.SetResolution(list->itemData(index).toInt()); });
        list->setObjectName("resolution");
        return list;
    }
    auto* spin = new QSpinBox(this);
    spin->setObjectName("resolution");
    spin->setRange(limits.min_resolution.value_or(current),
                   limits.max_resolution.value_or(current));
    spin->setSingleStep(std::max(limits.resolution_step, 1));
    spin->setValue(current);
    spin->setEnabled(options_.OffersResolution());
    connect(spin, &QSpinBox::editingFinished, this, [this, spin] {
        options_.SetResolution(spin->value());
        const QSignalBlocker quiet(spin);
        spin->setValue(options_.values().resolution.value_or(spin->value()));
    });
    return spin;
}

void ScanOptionsView::TakeFrame() {
    options_.SetFrame(frame_[0]->value(), frame_[1]->value(), frame_[2]->value(),
                      frame_[3]->value());
    const ScannerValues& values = options_.values();
    const std::array<std::optional<int>, 4> taken{values.frame_left, values.frame_top,
                                                  values.frame_width, values.frame_height};
    for (std::size_t i = 0; i < frame_.size(); ++i) {
        const QSignalBlocker quiet(frame_[i]);
        frame_[i]->setValue(taken[i].value_or(0));
    }
}

bool QtScanOptionsDialog::Edit(std::string_view source, ScannerValues& values) {
    // The control asks from the scan loop's thread, which waits inside its acquisition.
    bool accepted = false;
    OnInterfaceThread([&] {
        ScanOptions options(std::string(source), values, control_.ReadScannerLimits());
        ScanOptionsView view(options, texts_, parent_);
        if (view.exec() != QDialog::Accepted) return;
        values = options.values();
        accepted = true;
    });
    return accepted;
}

}  // namespace scantora
