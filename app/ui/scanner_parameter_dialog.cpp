#include "app/ui/scanner_parameter_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "acquisition/ui/qt_text.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

constexpr std::array kFrameSides{FrameSide::kLeft, FrameSide::kTop, FrameSide::kBottom,
                                 FrameSide::kRight};
constexpr std::array kFrameLabels{text_id::kFrameLeft, text_id::kFrameTop, text_id::kFrameBottom,
                                  text_id::kFrameRight};
constexpr std::array kFrameNames{"left", "top", "bottom", "right"};
// The "Size" entries in FramePreset order.
constexpr std::array kPresetLabels{text_id::kFrameA4, text_id::kFrameA5, text_id::kFrameDefault,
                                   text_id::kFrameCustom};
constexpr int kScanTypes = 3;
constexpr int kLowestFrame = -1;  // the default frame's "not set"
constexpr int kHighestFrame = 9999;
constexpr int kResolutionEditWidth = 60;

}  // namespace

ScannerParameterDialog::ScannerParameterDialog(ScannerParameters& parameters,
                                               std::filesystem::path settings_file,
                                               const InterfaceTexts& texts, QWidget* parent)
    : QDialog(parent), parameters_(parameters), settings_file_(std::move(settings_file)) {
    setWindowTitle(QtText(texts, text_id::kScannerParameterCaption));

    // Track bars: a value that is not set leaves its bar where it starts.
    resolution_ = TrackBar(kResolutionTrack, parameters.ResolutionPosition(), "resolution");
    resolution_edit_ = new QLineEdit(this);
    resolution_edit_->setObjectName("resolution_edit");
    resolution_edit_->setMaximumWidth(kResolutionEditWidth);
    resolution_edit_->setValidator(
        new QIntValidator(kResolutionTrack.min, kResolutionTrack.max, resolution_edit_));
    if (parameters.ResolutionPosition())
        resolution_edit_->setText(QString::number(*parameters.ResolutionPosition()));
    // A drag asks the scanner once, when the bar is let go.
    connect(resolution_, &QSlider::valueChanged, this, [this](int value) {
        if (resolution_->isSliderDown()) return;
        parameters_.ChangeResolution(value, ChangedBy::kTrackBar);
        ShowResolution();
    });
    connect(resolution_, &QSlider::sliderReleased, this, [this] {
        parameters_.ChangeResolution(resolution_->value(), ChangedBy::kTrackBar);
        ShowResolution();
    });
    connect(resolution_edit_, &QLineEdit::editingFinished, this, [this] {
        if (!resolution_edit_->hasAcceptableInput()) return;
        parameters_.ChangeResolution(resolution_edit_->text().toInt(), ChangedBy::kEdit);
        ShowResolution();
    });
    QSlider* brightness = TrackBar(kBrightnessTrack, parameters.BrightnessPosition(), "brightness");
    connect(brightness, &QSlider::valueChanged, this,
            [this](int value) { parameters_.SetBrightness(value); });
    QSlider* contrast = TrackBar(kContrastTrack, parameters.ContrastPosition(), "contrast");
    connect(contrast, &QSlider::valueChanged, this,
            [this](int value) { parameters_.SetContrast(value); });

    auto* resolution_row = new QHBoxLayout;
    resolution_row->addWidget(resolution_);
    resolution_row->addWidget(resolution_edit_);
    auto* tracks = new QFormLayout;
    tracks->addRow(QtText(texts, text_id::kResolution), resolution_row);
    tracks->addRow(QtText(texts, text_id::kBrightness), brightness);
    tracks->addRow(QtText(texts, text_id::kContrast), contrast);

    // Image options.
    const ScannerSettings& settings = parameters.settings();
    auto* options = new QHBoxLayout;
    const auto option = [&](int label, const char* name, bool on,
                            void (ScannerParameters::*set)(bool)) {
        auto* box = new QCheckBox(QtText(texts, label), this);
        box->setObjectName(name);
        box->setChecked(on);
        connect(box, &QCheckBox::toggled, this,
                [this, set](bool checked) { (parameters_.*set)(checked); });
        options->addWidget(box);
    };
    option(text_id::kDeskew, "deskew", settings.deskew == 1, &ScannerParameters::SetDeskew);
    option(text_id::kNegative, "negative", settings.invert == 1, &ScannerParameters::SetNegative);
    option(text_id::kFrontBack, "front_back", settings.duplex == 1,
           &ScannerParameters::SetFrontBack);

    // Scan type.
    auto* types = new QGroupBox(QtText(texts, text_id::kScanType), this);
    auto* type_row = new QHBoxLayout(types);
    auto* type_group = new QButtonGroup(types);
    for (int type = 0; type < kScanTypes; ++type) {
        auto* radio = new QRadioButton(QtText(texts, text_id::kFirstScanType + type), types);
        radio->setObjectName(QStringLiteral("type%1").arg(type));
        radio->setChecked(parameters.ScanType() == type);
        type_group->addButton(radio, type);
        type_row->addWidget(radio);
    }
    connect(type_group, &QButtonGroup::idClicked, this,
            [this](int type) { parameters_.SetScanType(type); });

    // Frame.
    size_ = new QComboBox(this);
    size_->setObjectName("size");
    for (const int label : kPresetLabels)
        size_->addItem(QtText(texts, label));
    size_->setCurrentIndex(static_cast<int>(parameters.preset()));
    connect(size_, &QComboBox::currentIndexChanged, this, [this](int index) {
        parameters_.ChoosePreset(static_cast<FramePreset>(index));
        ShowFrame();
    });
    auto* frame = new QFormLayout;
    frame->addRow(QtText(texts, text_id::kFrameSize), size_);
    for (std::size_t i = 0; i < frame_.size(); ++i) {
        auto* edit = new QSpinBox(this);
        edit->setObjectName(kFrameNames[i]);
        edit->setRange(kLowestFrame, kHighestFrame);
        edit->setSuffix(QStringLiteral(" ") + QtText(texts, text_id::kMillimetres));
        connect(edit, &QSpinBox::valueChanged, this,
                [this, i](int value) { parameters_.SetFrame(kFrameSides[i], value); });
        frame_[i] = edit;
        frame->addRow(QtText(texts, kFrameLabels[i]), edit);
    }
    ShowFrame();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tracks);
    layout->addLayout(options);
    layout->addWidget(types);
    layout->addLayout(frame);
    layout->addWidget(OkCancelButtons(*this, texts));
}

QSlider* ScannerParameterDialog::TrackBar(const TrackRange& range, std::optional<int> position,
                                          const char* name) {
    auto* bar = new QSlider(Qt::Horizontal, this);
    bar->setObjectName(name);
    bar->setRange(range.min, range.max);
    bar->setPageStep(range.page_step);
    if (position) bar->setValue(*position);
    return bar;
}

void ScannerParameterDialog::ShowResolution() {
    const std::optional<int> dpi = parameters_.ResolutionPosition();
    if (!dpi) return;
    const QSignalBlocker quiet(resolution_);
    resolution_->setValue(*dpi);
    resolution_edit_->setText(QString::number(*dpi));
}

void ScannerParameterDialog::ShowFrame() {
    for (std::size_t i = 0; i < frame_.size(); ++i) {
        const QSignalBlocker quiet(frame_[i]);
        frame_[i]->setValue(parameters_.Frame(kFrameSides[i]));
        frame_[i]->setEnabled(parameters_.FrameEditable());
    }
}

void ScannerParameterDialog::accept() {
    if (parameters_.Save(settings_file_)) QDialog::accept();
}

}  // namespace scantora
