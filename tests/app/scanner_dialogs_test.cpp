// The scanner parameter dialog's and the scanner options dialog's models, over SANE's test
// device (SANE_CONFIG_DIR: resolutions 25 to 600 dpi in steps of 25, a 200 mm square area).
#include <gtest/gtest.h>

#include "app/scan_options.h"
#include "app/scanner_parameters.h"
#include "operator/scripted_operator.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::ReadFile;
using testing::ScratchDir;

ScannerSettings Frame(int left, int top, int right, int bottom) {
    ScannerSettings settings;
    settings.left = left;
    settings.top = top;
    settings.right = right;
    settings.bottom = bottom;
    return settings;
}

TEST(ScannerParameters, FramePresetsFromTheStoredFrame) {
    ScriptedOperator op;
    ScannerParameters a4(Frame(0, 0, 210, 297), nullptr, op);
    EXPECT_EQ(a4.preset(), FramePreset::kA4);
    EXPECT_FALSE(a4.FrameEditable());
    EXPECT_EQ(PresetOf(Frame(0, 0, 148, 210)), FramePreset::kA5);
    EXPECT_EQ(PresetOf(Frame(-1, -1, -1, -1)), FramePreset::kDefault);
    EXPECT_EQ(PresetOf(Frame(0, 0, 0, 0)), FramePreset::kDefault);
    EXPECT_EQ(PresetOf(Frame(0, 0, 297, 210)), FramePreset::kCustom);  // A4 across
    EXPECT_EQ(PresetOf(Frame(-1, 0, 0, 0)), FramePreset::kCustom);
    ScannerParameters custom(Frame(0, 0, 200, 290), nullptr, op);
    EXPECT_EQ(custom.preset(), FramePreset::kCustom);
    EXPECT_TRUE(custom.FrameEditable());

    // A locked frame takes no input; choosing a preset writes its frame.
    a4.SetFrame(FrameSide::kRight, 5);
    EXPECT_EQ(a4.Frame(FrameSide::kRight), 210);
    a4.ChoosePreset(FramePreset::kA5);
    EXPECT_EQ(a4.settings(), Frame(0, 0, 148, 210));
    a4.ChoosePreset(FramePreset::kCustom);
    EXPECT_EQ(a4.settings(), Frame(0, 0, 148, 210));
    a4.SetFrame(FrameSide::kTop, 12);
    a4.SetFrame(FrameSide::kBottom, 222);
    a4.ChoosePreset(FramePreset::kDefault);
    EXPECT_EQ(a4.settings(), Frame(0, 0, 0, 0));
    ScannerParameters unset(Frame(-1, -1, -1, -1), nullptr, op);
    unset.ChoosePreset(FramePreset::kCustom);
    unset.ChoosePreset(FramePreset::kDefault);
    EXPECT_EQ(unset.settings(), Frame(-1, -1, -1, -1));  // the default as it was stored
}

TEST(ScannerParameters, UnsetValuesLeaveTheirTrackBarsAndOkWritesTheFile) {
    ScratchDir dir;
    ScriptedOperator op;
    ScannerSettings settings = Frame(0, 0, 210, 297);
    settings.luminosita = kValueNotSet;
    settings.contrasto = -20;
    settings.risoluzione = kValueNotSet;
    settings.tipo = 7;
    ScannerParameters parameters(settings, nullptr, op);
    EXPECT_FALSE(parameters.BrightnessPosition());
    EXPECT_FALSE(parameters.ResolutionPosition());
    EXPECT_EQ(parameters.ContrastPosition(), -20);
    EXPECT_EQ(parameters.ScanType(), -1);
    parameters.SetContrast(250);
    parameters.ChangeResolution(1500, ChangedBy::kEdit);
    parameters.SetScanType(2);
    parameters.SetScanType(3);
    parameters.SetDeskew(true);
    parameters.SetFrontBack(true);
    ASSERT_TRUE(parameters.Save(dir / "job.twn"));
    EXPECT_EQ(ReadFile(dir / "job.twn"),
              "TIPO=2\nCONTRASTO=100\nLUMINOSITA=999\nRISOLUZIONE=1000\nDUPLEX=1\nINVERT=0\n"
              "DESKEW=1\nGRADI=0\nLEFT=0\nTOP=0\nBOTTOM=297\nRIGHT=210\n");
    EXPECT_TRUE(op.Messages().empty());
}

class TestDevice : public ::testing::Test {
protected:
    void SetUp() override {
        control_ = MakeImagingControl();
        ASSERT_TRUE(control_->SelectSource("test:0"));
    }
    std::unique_ptr<ImagingControl> control_;
    ScriptedOperator op_;
};

TEST_F(TestDevice, AResolutionTheScannerDoesNotTakeIsReportedAndStaysChosen) {
    ScannerParameters parameters(ScannerSettings{}, control_.get(), op_);
    parameters.ChangeResolution(300, ChangedBy::kEdit);
    parameters.ChangeResolution(310, ChangedBy::kEdit);
    parameters.ChangeResolution(310, ChangedBy::kEdit);  // the same value again: not tried
    parameters.ChangeResolution(333, ChangedBy::kTrackBar);
    EXPECT_EQ(parameters.settings().risoluzione, 333);
    EXPECT_EQ(op_.Messages(), (std::vector<std::string>{
                                  "La risoluzione 310 prescelta non è supportato dallo scanner\n"
                                  "Modificare la risoluzione",
                                  "La risoluzione prescelta non è supportato dallo scanner\n"
                                  "Modificare la risoluzione"}));
    // A feeder folder takes any resolution; without a source nothing is asked.
    ScratchDir dir;
    ASSERT_TRUE(control_->SelectSource("folder:" + dir.path().string()));
    parameters.ChangeResolution(123, ChangedBy::kEdit);
    const std::unique_ptr<ImagingControl> no_source = MakeImagingControl();
    ScannerParameters unconnected(ScannerSettings{}, no_source.get(), op_);
    unconnected.ChangeResolution(123, ChangedBy::kTrackBar);
    EXPECT_EQ(op_.Messages().size(), 2u);
}

TEST_F(TestDevice, TheOptionsDialogOffersWhatTheDeviceTakes) {
    EXPECT_EQ(control_->ReadScannerLimits(), ScannerLimits{});  // nothing open yet
    ASSERT_EQ(control_->ApplyScannerValues(), ImagingStatus::kOk);
    const ScannerLimits limits = control_->ReadScannerLimits();
    EXPECT_EQ(limits.min_resolution, 25);
    EXPECT_EQ(limits.max_resolution, 600);
    EXPECT_EQ(limits.resolution_step, 25);
    EXPECT_EQ(limits.frame_width, 200);
    EXPECT_EQ(limits.frame_height, 200);
    EXPECT_FALSE(limits.brightness);
    EXPECT_EQ(limits.modes, (std::vector<ColourMode>{ColourMode::kLineArt, ColourMode::kGrey,
                                                     ColourMode::kColour}));

    ScanOptions options("Noname frontend-tester", control_->ReadScannerValues(), limits);
    options.SetResolution(310);
    EXPECT_EQ(options.values().resolution, 300);
    options.SetResolution(5000);
    EXPECT_EQ(options.values().resolution, 600);
    options.SetBrightness(10);
    EXPECT_FALSE(options.values().brightness);  // the device has none
    options.SetFrame(150, -5, 100, 300);
    EXPECT_EQ(options.values().frame_left, 150);
    EXPECT_EQ(options.values().frame_top, 0);
    EXPECT_EQ(options.values().frame_width, 50);
    EXPECT_EQ(options.values().frame_height, 200);
    options.SetMode(ColourMode::kColour);
    EXPECT_EQ(options.values().mode, ColourMode::kColour);

    ScanOptions listed("x", {}, ScannerLimits{.resolutions = {100, 200, 600}, .contrast = true});
    listed.SetResolution(420);
    EXPECT_EQ(listed.values().resolution, 600);
    listed.SetContrast(-4000);
    EXPECT_EQ(listed.values().contrast, -1000);
    listed.SetMode(ColourMode::kGrey);
    listed.SetFrame(1, 1, 1, 1);
    EXPECT_EQ(listed.values(), (ScannerValues{.resolution = 600, .contrast = -1000}));
}

}  // namespace
}  // namespace scantora
