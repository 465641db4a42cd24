// The scanner parameter dialog and the scanner options dialog, offscreen, over SANE's test
// device (SANE_CONFIG_DIR).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest/QTest>

#include "app/text_lookup.h"
#include "app/ui/scan_options_dialog.h"
#include "app/ui/scanner_parameter_dialog.h"
#include "operator/scripted_operator.h"
#include "tests/app/ui/ui_test_support.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::App;
using testing::KeepScreenshot;
using testing::Press;
using testing::ReadFile;
using testing::ScratchDir;
using testing::WhenShown;
using testing::WriteFile;

class ScannerDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        control_ = MakeImagingControl();
        ASSERT_TRUE(control_->SelectSource("test:0"));
        WriteFile(file_,
                  "TIPO=1\nCONTRASTO=10\nLUMINOSITA=999\nRISOLUZIONE=300\nDUPLEX=0\nINVERT=1\n"
                  "DESKEW=0\nGRADI=90\nLEFT=0\nTOP=0\nBOTTOM=297\nRIGHT=210\n");
        ASSERT_TRUE(ReadScannerSettings(file_, settings_, op_));
    }
    ScratchDir dir_;
    std::filesystem::path file_ = dir_ / "job.twn";
    ScannerSettings settings_;
    std::unique_ptr<ImagingControl> control_;
    TextLookup texts_;
    ScriptedOperator op_;
};

TEST_F(ScannerDialogs, ParametersOkWritesTheSettingsFileCancelLeavesIt) {
    const std::string before = ReadFile(file_);
    {
        ScannerParameters cancelled(settings_, control_.get(), op_);
        ScannerParameterDialog dialog(cancelled, file_, texts_);
        dialog.findChild<QComboBox*>("size")->setCurrentIndex(1);
        WhenShown<ScannerParameterDialog>(
            [](ScannerParameterDialog& shown) { Press(shown, QDialogButtonBox::Cancel); });
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
        EXPECT_EQ(ReadFile(file_), before);
    }

    ScannerParameters parameters(settings_, control_.get(), op_);
    ScannerParameterDialog dialog(parameters, file_, texts_);
    EXPECT_EQ(dialog.windowTitle(), "Scanner parameter");
    auto* resolution = dialog.findChild<QSlider*>("resolution");
    auto* brightness = dialog.findChild<QSlider*>("brightness");
    auto* size = dialog.findChild<QComboBox*>("size");
    auto* right = dialog.findChild<QSpinBox*>("right");
    EXPECT_EQ(resolution->value(), 300);
    EXPECT_EQ(resolution->pageStep(), 100);
    EXPECT_EQ(brightness->value(), 0);  // 999: where the bar starts
    EXPECT_EQ(brightness->minimum(), -100);
    EXPECT_EQ(size->currentText(), "A4 (210 x 297)");
    EXPECT_FALSE(right->isEnabled());
    WhenShown<ScannerParameterDialog>([&](ScannerParameterDialog& shown) {
        resolution->setValue(333);  // the device goes in steps of 25
        auto* edit = shown.findChild<QLineEdit*>("resolution_edit");
        EXPECT_EQ(edit->text(), "333");
        edit->setText("350");
        emit edit->editingFinished();
        EXPECT_EQ(resolution->value(), 350);
        size->setCurrentIndex(3);  // "Custom"
        EXPECT_TRUE(right->isEnabled());
        right->setValue(200);
        brightness->setValue(-30);
        QTest::mouseClick(shown.findChild<QWidget*>("type2"), Qt::LeftButton);
        KeepScreenshot(shown, "scanner_parameters");
        Press(shown, QDialogButtonBox::Ok);
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(op_.Messages(),
              (std::vector<std::string>{"La risoluzione prescelta non è supportato dallo scanner\n"
                                        "Modificare la risoluzione"}));
    EXPECT_EQ(ReadFile(file_),
              "TIPO=2\nCONTRASTO=10\nLUMINOSITA=-30\nRISOLUZIONE=350\nDUPLEX=0\nINVERT=1\n"
              "DESKEW=0\nGRADI=90\nLEFT=0\nTOP=0\nBOTTOM=297\nRIGHT=200\n");
}

TEST_F(ScannerDialogs, OptionsChosenBeforeAScanHoldForTheBatch) {
    QtScanOptionsDialog options(*control_, texts_);
    control_->SetOptionsDialog(&options);
    control_->SetDialogMode(DialogMode::kShown);
    control_->SetPagesToAcquire(1);
    std::vector<int> page_dpi;
    const auto count = [&](Page& page) {
        page_dpi.push_back(page.XResolution());
        return PageAction::kContinue;
    };

    WhenShown<ScanOptionsView>(
        [](ScanOptionsView& view) { Press(view, QDialogButtonBox::Cancel); });
    EXPECT_EQ(control_->Acquire(count), ImagingStatus::kCancelled);
    EXPECT_TRUE(page_dpi.empty());

    WhenShown<ScanOptionsView>([](ScanOptionsView& view) {
        auto* resolution = view.findChild<QSpinBox*>("resolution");
        EXPECT_EQ(resolution->maximum(), 600);
        EXPECT_EQ(resolution->singleStep(), 25);
        resolution->setValue(140);
        emit resolution->editingFinished();
        EXPECT_EQ(resolution->value(), 150);
        EXPECT_EQ(view.findChild<QComboBox*>("mode")->count(), 3);
        EXPECT_FALSE(view.findChild<QSlider*>("brightness")->isEnabled());
        KeepScreenshot(view, "scan_options");
        Press(view, QDialogButtonBox::Ok);
    });
    ASSERT_EQ(control_->Acquire(count), ImagingStatus::kOk);
    // The loop carries what the device holds after a scan into the next, the dialog hidden.
    const ScannerValues held = control_->ReadScannerValues();
    EXPECT_EQ(held.resolution, 150);
    control_->CloseSource();
    control_->SetDialogMode(DialogMode::kHidden);
    control_->SetScannerValues(held);
    ASSERT_EQ(control_->Acquire(count), ImagingStatus::kOk);
    EXPECT_EQ(page_dpi, (std::vector<int>{150, 150}));
}

}  // namespace
}  // namespace scantora
