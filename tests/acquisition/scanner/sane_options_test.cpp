// Scanner values, sources and frames over SANE options, against a device made of data.
#include <gtest/gtest.h>

#include <sane/saneopts.h>

#include <array>
#include <cstring>

#include "acquisition/scanner/sane_options.h"
#include "tests/acquisition/scanner/page_test_support.h"
#include "tests/support/fake_sane.h"

namespace scantora {
namespace {

using testing::BoolOption;
using testing::FakeOption;
using testing::FakePage;
using testing::FakeSaneDevice;
using testing::FakeSaneLibrary;
using testing::FixedOption;
using testing::GreyPage;
using testing::IntOption;
using testing::RgbPage;
using testing::RowsOf;
using testing::StringOption;
using testing::WithRange;
using testing::WithWords;

constexpr double kA4Width = 215.9;

class FakeScannerTest : public ::testing::Test {
protected:
    FakeScannerTest() : library_(std::make_shared<FakeSaneLibrary>("fake:usb:1", "Acme", "DS-1")) {
        device().options = {
            WithWords(IntOption(SANE_NAME_SCAN_RESOLUTION, 150), {75, 150, 300, 600}),
            WithRange(IntOption(SANE_NAME_BRIGHTNESS, 0), -100, 100, 1),
            WithRange(FixedOption(SANE_NAME_CONTRAST, 0), 0, 255),
            StringOption(SANE_NAME_SCAN_MODE, "Gray", {"Lineart", "Gray", "Color"}),
            WithWords(IntOption(SANE_NAME_BIT_DEPTH, 8), {1, 8, 16}),
            StringOption(SANE_NAME_SCAN_SOURCE, "Flatbed",
                         {"Flatbed", "ADF Front", "ADF Back", "ADF Duplex"}),
            WithRange(FixedOption(SANE_NAME_SCAN_TL_X, 0, SANE_UNIT_MM), 0, kA4Width),
            WithRange(FixedOption(SANE_NAME_SCAN_TL_Y, 0, SANE_UNIT_MM), 0, 297),
            WithRange(FixedOption(SANE_NAME_SCAN_BR_X, kA4Width, SANE_UNIT_MM), 0, kA4Width),
            WithRange(FixedOption(SANE_NAME_SCAN_BR_Y, 297, SANE_UNIT_MM), 0, 297),
        };
        control_ = MakeImagingControl({library_, {}});
        EXPECT_TRUE(control_->SelectSource("Acme DS-1"));
    }

    FakeSaneDevice& device() { return *library_->device; }

    // Scans, keeping each page handed over.
    ImagingStatus Scan(PageAction action = PageAction::kContinue) {
        return control_->Acquire([this, action](Page& page) {
            pages_.push_back(page.Clone());
            return action;
        });
    }

    std::shared_ptr<FakeSaneLibrary> library_;
    std::unique_ptr<ImagingControl> control_;
    std::vector<Page> pages_;
};

TEST_F(FakeScannerTest, ValuesGoThroughTheStandardOptionsAndReadBackAsTheDeviceTookThem) {
    ScannerValues values;
    values.resolution = 200;
    values.brightness = 500;
    values.contrast = 1000;
    values.frame_left = 10;
    values.frame_top = 20;
    values.frame_width = 100;
    values.frame_height = 150;
    values.mode = ColourMode::kColour;
    control_->SetScannerValues(values);
    ASSERT_EQ(control_->ApplyScannerValues(), ImagingStatus::kOk);
    EXPECT_EQ(device().Number(SANE_NAME_SCAN_RESOLUTION), 150);  // the nearest it offers
    EXPECT_EQ(device().Number(SANE_NAME_BRIGHTNESS), 50);
    EXPECT_EQ(device().Number(SANE_NAME_CONTRAST), 255);
    EXPECT_EQ(device().Number(SANE_NAME_SCAN_TL_X), 10);
    EXPECT_EQ(device().Number(SANE_NAME_SCAN_BR_X), 110);
    EXPECT_EQ(device().Number(SANE_NAME_SCAN_BR_Y), 170);
    EXPECT_EQ(device().Text(SANE_NAME_SCAN_MODE), "Color");
    const ScannerValues read = control_->ReadScannerValues();
    EXPECT_EQ(read.resolution, 150);
    EXPECT_EQ(read.brightness, 500);
    EXPECT_EQ(read.contrast, 1000);
    EXPECT_EQ(read.frame_left, 10);
    EXPECT_EQ(read.frame_top, 20);
    EXPECT_EQ(read.frame_width, 100);
    EXPECT_EQ(read.frame_height, 150);
    EXPECT_EQ(read.mode, ColourMode::kColour);
}

TEST_F(FakeScannerTest, ValuesOutsideTheScaleAreNotSentAndUnsetValuesAreLeft) {
    device().Find(SANE_NAME_BRIGHTNESS)->value = IntOption("", 30).value;
    ScannerValues values;
    values.brightness = 2000;
    values.contrast = -1001;
    control_->SetScannerValues(values);
    ASSERT_EQ(control_->ApplyScannerValues(), ImagingStatus::kOk);
    EXPECT_EQ(device().Number(SANE_NAME_BRIGHTNESS), 30);
    EXPECT_EQ(device().Number(SANE_NAME_CONTRAST), 0);
    EXPECT_EQ(device().Number(SANE_NAME_SCAN_RESOLUTION), 150);
    EXPECT_EQ(control_->ReadScannerValues().brightness, 300);
}

TEST_F(FakeScannerTest, AFrameInPixelsFollowsTheResolution) {
    for (const char* name :
         {SANE_NAME_SCAN_TL_X, SANE_NAME_SCAN_TL_Y, SANE_NAME_SCAN_BR_X, SANE_NAME_SCAN_BR_Y}) {
        FakeOption* option = device().Find(name);
        *option = WithRange(IntOption(name, 0), 0, 10000);
        option->unit = SANE_UNIT_PIXEL;
    }
    device().Find(SANE_NAME_SCAN_BR_X)->value = IntOption("", 2550).value;
    device().Find(SANE_NAME_SCAN_BR_Y)->value = IntOption("", 3300).value;
    ScannerValues values;
    values.resolution = 300;
    values.frame_left = 254;  // mm
    values.frame_width = 127;
    control_->SetScannerValues(values);
    ASSERT_EQ(control_->ApplyScannerValues(), ImagingStatus::kOk);
    EXPECT_EQ(device().Number(SANE_NAME_SCAN_TL_X), 3000);
    EXPECT_EQ(device().Number(SANE_NAME_SCAN_BR_X), 4500);
    EXPECT_EQ(device().Number(SANE_NAME_SCAN_BR_Y), 3300);  // height not asked: left
    const ScannerValues read = control_->ReadScannerValues();
    EXPECT_EQ(read.frame_left, 254);
    EXPECT_EQ(read.frame_width, 127);
    EXPECT_EQ(read.frame_height, 279);
}

TEST_F(FakeScannerTest, LineArtWithoutALineArtModeIsGreyAtOneBit) {
    *device().Find(SANE_NAME_SCAN_MODE) =
        StringOption(SANE_NAME_SCAN_MODE, "Color", {"Gray", "Color"});
    ScannerValues values;
    values.mode = ColourMode::kLineArt;
    control_->SetScannerValues(values);
    ASSERT_EQ(control_->ApplyScannerValues(), ImagingStatus::kOk);
    EXPECT_EQ(device().Text(SANE_NAME_SCAN_MODE), "Gray");
    EXPECT_EQ(device().Number(SANE_NAME_BIT_DEPTH), 1);
    EXPECT_EQ(control_->ReadScannerValues().mode, ColourMode::kLineArt);
    values.mode = ColourMode::kGrey;
    control_->SetScannerValues(values);
    ASSERT_EQ(control_->ApplyScannerValues(), ImagingStatus::kOk);
    EXPECT_EQ(device().Number(SANE_NAME_BIT_DEPTH), 8);
    EXPECT_EQ(control_->ReadScannerValues().mode, ColourMode::kGrey);
}

TEST_F(FakeScannerTest, OptionsAreReadAgainWhenTheDeviceAsks) {
    // Brightness appears only in colour mode on this device.
    FakeOption brightness = *device().Find(SANE_NAME_BRIGHTNESS);
    std::erase_if(device().options, [](const FakeOption& o) { return o.name == "brightness"; });
    device().on_set = [brightness](FakeSaneDevice& d, const FakeOption& set) -> SANE_Int {
        if (set.name != SANE_NAME_SCAN_MODE || d.Find(SANE_NAME_BRIGHTNESS)) return 0;
        d.options.push_back(brightness);
        return SANE_INFO_RELOAD_OPTIONS;
    };
    ScannerValues values;
    values.mode = ColourMode::kColour;
    values.brightness = -1000;
    control_->SetScannerValues(values);
    ASSERT_EQ(control_->ApplyScannerValues(), ImagingStatus::kOk);
    EXPECT_EQ(device().Number(SANE_NAME_BRIGHTNESS), -100);
}

TEST_F(FakeScannerTest, TheFeederAndItsDuplexFormAreChosenForTheBatch) {
    EXPECT_EQ(control_->DuplexCapability(), kDuplex);
    struct Case {
        int pages;
        bool duplex;
        const char* source;
    };
    for (const Case& c : {Case{kAllPages, true, "ADF Duplex"}, Case{kAllPages, false, "ADF Front"},
                          Case{1, false, "Flatbed"}, Case{2, true, "ADF Duplex"}}) {
        SCOPED_TRACE(c.source);
        device().pages = {GreyPage(8, 8, 8, 0x80), GreyPage(8, 8, 8, 0x80)};
        control_->SetPagesToAcquire(c.pages);
        control_->SetDuplex(c.duplex);
        EXPECT_EQ(Scan(), ImagingStatus::kOk);
        EXPECT_EQ(device().Text(SANE_NAME_SCAN_SOURCE), c.source);
    }
}

TEST_F(FakeScannerTest, AFeederWithADuplexSwitch) {
    *device().Find(SANE_NAME_SCAN_SOURCE) =
        StringOption(SANE_NAME_SCAN_SOURCE, "Flatbed", {"Flatbed", "Automatic Document Feeder"});
    device().options.push_back(StringOption("adf-mode", "Simplex", {"Simplex", "Duplex"}));
    EXPECT_EQ(control_->DuplexCapability(), kDuplex);
    control_->SetDuplex(true);
    EXPECT_EQ(Scan(), ImagingStatus::kNoDocuments);
    EXPECT_EQ(device().Text(SANE_NAME_SCAN_SOURCE), "Automatic Document Feeder");
    EXPECT_EQ(device().Text("adf-mode"), "Duplex");
    control_->SetDuplex(false);
    EXPECT_EQ(Scan(), ImagingStatus::kNoDocuments);
    EXPECT_EQ(device().Text("adf-mode"), "Simplex");
}

TEST_F(FakeScannerTest, AFeederGivesPagesUntilEmptyAndAFlatbedOne) {
    for (int i = 0; i < 3; ++i)
        device().pages.push_back(GreyPage(16, 4, 8, 0x10 * i));
    EXPECT_EQ(Scan(), ImagingStatus::kOk);
    EXPECT_EQ(pages_.size(), 3u);
    EXPECT_EQ(device().cancels, 1);  // the batch is closed with a cancel
    EXPECT_EQ(Scan(), ImagingStatus::kNoDocuments);
    EXPECT_EQ(pages_.size(), 3u);
    // Without sources the device is a flatbed: one page for "all pages".
    std::erase_if(device().options, [](const FakeOption& o) { return o.name == "source"; });
    control_->CloseSource();
    for (int i = 0; i < 3; ++i)
        device().pages.push_back(GreyPage(16, 4, 8, 0));
    EXPECT_EQ(control_->DuplexCapability(), kNoDuplex);
    EXPECT_EQ(Scan(), ImagingStatus::kOk);
    EXPECT_EQ(pages_.size(), 4u);
    EXPECT_EQ(library_->opens, 2);
}

TEST_F(FakeScannerTest, AFaultEndsTheBatchWithItsCodeAfterThePagesBeforeIt) {
    FakePage jammed;
    jammed.start = SANE_STATUS_JAMMED;
    device().pages = {GreyPage(16, 4, 8, 0), jammed, GreyPage(16, 4, 8, 0)};
    EXPECT_EQ(Scan(), ImagingStatus::kJammed);
    EXPECT_EQ(pages_.size(), 1u);
    EXPECT_NE(control_->LastErrorText().find("fake:usb:1"), std::string::npos);
    // A fault in the middle of a page: the page is dropped, the code given.
    FakePage cut = GreyPage(16, 4, 8, 0);
    cut.frames[0].data.resize(30);
    cut.frames[0].end = SANE_STATUS_IO_ERROR;
    device().pages = {GreyPage(16, 4, 8, 0), cut};
    EXPECT_EQ(Scan(), ImagingStatus::kIoError);
    EXPECT_EQ(pages_.size(), 2u);
    // Out of documents in the middle of a page is a fault too.
    FakePage misfed = GreyPage(16, 4, 8, 0);
    misfed.frames[0].data.clear();
    misfed.frames[0].end = SANE_STATUS_NO_DOCS;
    device().pages = {misfed};
    EXPECT_EQ(Scan(), ImagingStatus::kNoDocuments);
    FakePage odd = GreyPage(16, 4, 8, 0);
    odd.start = static_cast<SANE_Status>(13);  // not a SANE status
    device().pages = {odd};
    EXPECT_EQ(Scan(), ImagingStatus::kIoError);
}

TEST_F(FakeScannerTest, ADeviceThatCannotBeOpenedGivesItsStatus) {
    library_->open_status = SANE_STATUS_ACCESS_DENIED;
    EXPECT_EQ(Scan(), ImagingStatus::kAccessDenied);
    EXPECT_NE(control_->LastErrorText().find("fake:usb:1"), std::string::npos);
    EXPECT_EQ(control_->DuplexCapability(), kNoDuplex);
    library_->open_status = SANE_STATUS_GOOD;
    device().pages = {GreyPage(16, 4, 8, 0)};
    EXPECT_EQ(Scan(), ImagingStatus::kOk);
}

TEST_F(FakeScannerTest, TheOptionsDialogStartsFromTheDeviceAndItsChoiceIsScanned) {
    class Dialog : public ScanOptionsDialog {
    public:
        bool Edit(std::string_view, ScannerValues& values) override {
            seen = values;
            values.resolution = 300;
            return true;
        }
        ScannerValues seen;
    } dialog;
    control_->SetOptionsDialog(&dialog);
    control_->SetDialogMode(DialogMode::kShown);
    device().pages = {GreyPage(16, 4, 8, 0)};
    EXPECT_EQ(Scan(), ImagingStatus::kOk);
    EXPECT_EQ(dialog.seen.resolution, 150);
    EXPECT_EQ(dialog.seen.mode, ColourMode::kGrey);
    ASSERT_EQ(pages_.size(), 1u);
    EXPECT_EQ(pages_[0].XResolution(), 300);
    EXPECT_EQ(control_->ReadScannerValues().resolution, 300);
}

// ---- frames

FakePage ThreePass(int width, int height, std::array<SANE_Byte, 3> rgb) {
    FakePage page;
    for (int c = 0; c < 3; ++c) {
        FakePage grey = GreyPage(width, height, 8, rgb[c]);
        grey.frames[0].parameters.format = static_cast<SANE_Frame>(SANE_FRAME_RED + c);
        grey.frames[0].parameters.last_frame = c == 2;
        page.frames.push_back(grey.frames[0]);
    }
    return page;
}

TEST_F(FakeScannerTest, FramesOfEveryKindBecomePages) {
    FakePage line_art = GreyPage(12, 3, 1, 0);
    line_art.frames[0].data = {0x80, 0x10, 0x00, 0x00, 0x0F, 0xF0};  // 1 is black
    FakePage deep = GreyPage(4, 2, 16, 0);
    for (size_t i = 0; i < deep.frames[0].data.size(); i += 2) {
        const std::uint16_t sample = 0xAB00 + static_cast<std::uint16_t>(i);
        std::memcpy(&deep.frames[0].data[i], &sample, 2);
    }
    device().pages = {line_art, deep, RgbPage(5, 3, 10, 20, 30), ThreePass(5, 3, {10, 20, 30})};
    ASSERT_EQ(Scan(), ImagingStatus::kOk);
    ASSERT_EQ(pages_.size(), 4u);
    EXPECT_EQ(pages_[0].BitsPerPixel(), 1);
    EXPECT_EQ(RowsOf(pages_[0]), (testing::Rows{{0x80, 0x10}, {0x00, 0x00}, {0x0F, 0xF0}}));
    EXPECT_EQ(pages_[1].BitsPerPixel(), 8);
    EXPECT_EQ(RowsOf(pages_[1])[0], (std::vector<std::uint8_t>{0xAB, 0xAB, 0xAB, 0xAB}));
    EXPECT_EQ(pages_[2].BitsPerPixel(), 24);
    EXPECT_EQ(RowsOf(pages_[2])[2][0], 10);
    EXPECT_EQ(RowsOf(pages_[2])[2][14], 30);
    EXPECT_EQ(RowsOf(pages_[3]), RowsOf(pages_[2]));
    EXPECT_EQ(pages_[3].XResolution(), 150);
}

TEST_F(FakeScannerTest, UnknownHeightsShortPagesAndSurplusData) {
    FakePage unknown = GreyPage(8, 37, 8, 0x55);
    unknown.frames[0].parameters.lines = -1;
    FakePage shorter = GreyPage(8, 10, 8, 0x55);
    shorter.frames[0].data.resize(8 * 5 + 3);
    FakePage longer = GreyPage(8, 10, 8, 0x55);
    longer.frames[0].data.resize(8 * 20, 0x77);
    device().pages = {unknown, shorter, longer};
    ASSERT_EQ(Scan(), ImagingStatus::kOk);
    ASSERT_EQ(pages_.size(), 3u);
    EXPECT_EQ(pages_[0].Height(), 37);
    EXPECT_EQ(pages_[1].Height(), 5);
    EXPECT_EQ(pages_[2].Height(), 10);
    EXPECT_EQ(RowsOf(pages_[2])[9][0], 0x55);
}

TEST_F(FakeScannerTest, FramesOutOfBoundsAreRefused) {
    auto refused = [this](FakePage page) {
        device().pages = {page};
        return Scan();
    };
    FakePage narrow = GreyPage(16, 4, 8, 0);
    narrow.frames[0].parameters.bytes_per_line = 15;
    EXPECT_EQ(refused(narrow), ImagingStatus::kBadFrame);
    FakePage odd_depth = GreyPage(16, 4, 8, 0);
    odd_depth.frames[0].parameters.depth = 4;
    EXPECT_EQ(refused(odd_depth), ImagingStatus::kBadFrame);
    FakePage no_width = GreyPage(16, 4, 8, 0);
    no_width.frames[0].parameters.pixels_per_line = 0;
    EXPECT_EQ(refused(no_width), ImagingStatus::kBadFrame);
    FakePage huge = GreyPage(16, 4, 8, 0);
    huge.frames[0].parameters.lines = 1 << 20;
    EXPECT_EQ(refused(huge), ImagingStatus::kBadFrame);
    FakePage empty = GreyPage(16, 4, 8, 0);
    empty.frames[0].data.clear();
    EXPECT_EQ(refused(empty), ImagingStatus::kBadFrame);
    FakePage two_reds = ThreePass(4, 2, {1, 2, 3});
    two_reds.frames[1].parameters.format = SANE_FRAME_RED;
    EXPECT_EQ(refused(two_reds), ImagingStatus::kBadFrame);
    FakePage no_blue = ThreePass(4, 2, {1, 2, 3});
    no_blue.frames.pop_back();
    no_blue.frames.back().parameters.last_frame = SANE_TRUE;
    EXPECT_EQ(refused(no_blue), ImagingStatus::kBadFrame);
    EXPECT_TRUE(pages_.empty());
}

TEST(SaneOptions, WhatADeviceDescribesIsBoundedAndCopied) {
    FakeSaneDevice device;
    FakeOption unterminated = StringOption("mode", "", {}, 4);
    unterminated.value = {'C', 'o', 'l', 'r'};
    FakeOption empty = IntOption("empty", 1);
    empty.size = 0;
    FakeOption inactive = IntOption("brightness", 5);
    inactive.cap |= SANE_CAP_INACTIVE;
    FakeOption read_only = IntOption("contrast", 5);
    read_only.cap = SANE_CAP_SOFT_DETECT;
    FakeOption array = IntOption("gamma", 7);
    array.size = 4 * sizeof(SANE_Word);
    array.value.resize(array.size);
    device.options = {unterminated, empty, inactive,
                      read_only,    array, WithRange(FixedOption("upside-down", 0), 10, -10)};
    SaneOptions options(device);
    EXPECT_EQ(options.GetString("mode"), "Colr");
    EXPECT_FALSE(options.Has("empty"));
    EXPECT_FALSE(options.Has("brightness"));
    EXPECT_EQ(options.GetNumber("contrast"), 5);
    EXPECT_EQ(options.SetNumber("contrast", 1), SANE_STATUS_UNSUPPORTED);
    EXPECT_EQ(options.GetNumber("gamma"), 7);
    EXPECT_EQ(options.SetNumber("gamma", 1), SANE_STATUS_UNSUPPORTED);
    EXPECT_EQ(options.SetString("mode", "Colour"), SANE_STATUS_INVAL);  // no room for it
    EXPECT_FALSE(options.Bounds("upside-down"));
    EXPECT_EQ(options.SetNumber("upside-down", 3), SANE_STATUS_GOOD);
    EXPECT_EQ(options.GetNumber("upside-down"), 3);
}

TEST(SaneOptions, NumbersSnapToTheirConstraint) {
    SaneOption range;
    range.constraint = SANE_CONSTRAINT_RANGE;
    range.min = 50;
    range.max = 600;
    range.quant = 25;
    EXPECT_EQ(SnapToConstraint(range, 110), 100);
    EXPECT_EQ(SnapToConstraint(range, 113), 125);
    EXPECT_EQ(SnapToConstraint(range, 10), 50);
    EXPECT_EQ(SnapToConstraint(range, 1000), 600);
    range.max = 610;  // not on a step: the last step below it
    EXPECT_EQ(SnapToConstraint(range, 609), 600);
    SaneOption words;
    words.constraint = SANE_CONSTRAINT_WORD_LIST;
    words.words = {75, 150, 300, 600};
    EXPECT_EQ(SnapToConstraint(words, 200), 150);
    EXPECT_EQ(SnapToConstraint(words, 250), 300);
    EXPECT_EQ(SnapToConstraint(words, 5000), 600);
    SaneOption free;
    EXPECT_EQ(SnapToConstraint(free, 123.5), 123.5);
}

}  // namespace
}  // namespace scantora
