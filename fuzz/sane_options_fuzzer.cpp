// Fuzzes what a SANE device reports through the imaging control: option descriptors of any
// type, size, unit and constraint with any values, and pages of frames with any parameters,
// statuses and data, from a device made of the input. Scanner values are applied and read
// back, sources chosen and pages scanned; any bound broken traps.
#include <sane/saneopts.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "acquisition/scanner/imaging_control.h"
#include "tests/support/fake_sane.h"

namespace {

using namespace scantora;
using testing::FakeFrame;
using testing::FakeOption;
using testing::FakePage;
using testing::FakeSaneLibrary;

constexpr std::array<const char*, 17> kNames{SANE_NAME_SCAN_RESOLUTION,
                                             SANE_NAME_SCAN_X_RESOLUTION,
                                             SANE_NAME_SCAN_Y_RESOLUTION,
                                             SANE_NAME_BRIGHTNESS,
                                             SANE_NAME_CONTRAST,
                                             SANE_NAME_SCAN_TL_X,
                                             SANE_NAME_SCAN_TL_Y,
                                             SANE_NAME_SCAN_BR_X,
                                             SANE_NAME_SCAN_BR_Y,
                                             SANE_NAME_SCAN_MODE,
                                             SANE_NAME_BIT_DEPTH,
                                             SANE_NAME_SCAN_SOURCE,
                                             "adf-mode",
                                             "duplex",
                                             "",
                                             "gamma-table",
                                             "preview"};
constexpr std::array<const char*, 12> kChoices{
    "Flatbed", "ADF",  "ADF Front", "ADF Back", "ADF Duplex", "Automatic Document Feeder",
    "Lineart", "Gray", "Color",     "Halftone", "Duplex",     "Simplex"};
constexpr std::array<SANE_Int, 9> kSizes{0, 1, 2, 4, 4, 4, 8, 16, 64};
constexpr std::array<SANE_Int, 4> kDepths{1, 8, 16, 4};
constexpr size_t kMaxOptions = 16;
constexpr size_t kMaxPages = 3;
constexpr size_t kMaxFrames = 3;
constexpr int kMaxPlausibleWidth = 1 << 17;
constexpr int kMaxPlausibleDepth = 32;
constexpr int kStatusKinds = 13;  // SANE's twelve and one it does not define
// A status SANE does not define that the enumeration can still hold.
constexpr int kUndefinedStatus = 13;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t U8() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(U8() | (U8() << 8)); }
    int32_t I32() { return static_cast<int32_t>(U16() | (static_cast<uint32_t>(U16()) << 16)); }
    bool Flag() { return U8() & 1; }
    template <typename T, size_t N>
    T Pick(const std::array<T, N>& table) {
        return table[U8() % N];
    }
    SANE_Status Status() {
        const int kind = U8() % kStatusKinds;
        return static_cast<SANE_Status>(kind == kStatusKinds - 1 ? kUndefinedStatus : kind);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

FakeOption MakeOption(Input& in) {
    FakeOption option;
    option.name = in.Pick(kNames);
    option.type = static_cast<SANE_Value_Type>(in.U8() % 7);
    option.unit = static_cast<SANE_Unit>(in.U8() % 8);
    option.size = in.Flag() ? in.Pick(kSizes) : static_cast<SANE_Int>(in.U16()) - 8;
    option.cap = in.U8();
    option.constraint = static_cast<SANE_Constraint_Type>(in.U8() % 4);
    option.range = {in.I32(), in.I32(), in.I32()};
    for (int i = in.U8() % 8; i > 0; --i)
        option.words.push_back(in.I32());
    for (int i = in.U8() % 6; i > 0; --i)
        option.strings.push_back(in.Pick(kChoices));
    const size_t bytes = option.size > 0 ? static_cast<size_t>(option.size) : 0;
    option.value.resize(bytes);
    for (auto& b : option.value)
        b = in.U8();
    if (option.type == SANE_TYPE_STRING && in.Flag() && !option.strings.empty() && bytes > 0) {
        const std::string& s = option.strings.front();
        std::memcpy(option.value.data(), s.c_str(), std::min(bytes, s.size() + 1));
    }
    return option;
}

FakeFrame MakeFrame(Input& in) {
    FakeFrame frame;
    SANE_Parameters& p = frame.parameters;
    p.format = static_cast<SANE_Frame>(in.U8() % 6);
    p.last_frame = in.Flag();
    p.depth = in.Flag() ? in.Pick(kDepths) : in.I32();
    p.pixels_per_line = in.Flag() ? in.U8() + 1 : in.I32();
    p.lines = in.Flag() ? static_cast<SANE_Int>(in.U8()) - 1 : in.I32();
    // Mostly the line length the other parameters give, when they are plausible at all.
    const int channels = p.format == SANE_FRAME_RGB ? 3 : 1;
    const bool plausible = p.pixels_per_line > 0 && p.pixels_per_line <= kMaxPlausibleWidth &&
                           p.depth > 0 && p.depth <= kMaxPlausibleDepth;
    const int64_t exact =
        plausible ? (static_cast<int64_t>(p.pixels_per_line) * channels * p.depth + 7) / 8 : 0;
    p.bytes_per_line =
        in.Flag() && plausible ? static_cast<SANE_Int>(exact) + in.U8() % 3 : in.I32();
    frame.data.assign(in.U16(), in.U8());
    // A device that answers "good" with nothing, forever, is waited for in real time.
    frame.end = in.Status();
    if (frame.end == SANE_STATUS_GOOD) frame.end = SANE_STATUS_EOF;
    frame.chunk = 1 + in.U16();
    return frame;
}

ScannerValues MakeValues(Input& in) {
    ScannerValues values;
    auto maybe = [&in](std::optional<int>& value) {
        if (in.Flag()) value = static_cast<int16_t>(in.U16());
    };
    maybe(values.resolution);
    maybe(values.brightness);
    maybe(values.contrast);
    maybe(values.frame_left);
    maybe(values.frame_top);
    maybe(values.frame_width);
    maybe(values.frame_height);
    if (in.Flag()) values.mode = static_cast<ColourMode>(in.U8() % 3);
    return values;
}

void CheckValues(const ScannerValues& values) {
    for (const auto& scaled : {values.brightness, values.contrast})
        Require(!scaled || (*scaled >= -1000 && *scaled <= 1000));
    Require(!values.resolution || *values.resolution > 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    auto library = std::make_shared<FakeSaneLibrary>("fuzz:0", "Fuzz", "Device");
    auto& device = *library->device;
    for (size_t i = in.U8() % kMaxOptions; i > 0; --i)
        device.options.push_back(MakeOption(in));
    for (size_t i = in.U8() % (kMaxPages + 1); i > 0; --i) {
        FakePage page;
        page.start = in.U8() < 200 ? SANE_STATUS_GOOD : in.Status();
        for (size_t f = 1 + in.U8() % kMaxFrames; f > 0; --f)
            page.frames.push_back(MakeFrame(in));
        device.pages.push_back(std::move(page));
    }
    device.when_empty = in.Flag() ? SANE_STATUS_NO_DOCS : in.Status();
    const SANE_Int set_flags = in.U8() & (SANE_INFO_INEXACT | SANE_INFO_RELOAD_OPTIONS);
    device.on_set = [set_flags](testing::FakeSaneDevice&, const FakeOption&) { return set_flags; };

    auto control = MakeImagingControl({library, {}});
    Require(control->SelectSource("fuzz:0"));
    control->SetScannerValues(MakeValues(in));
    const ImagingStatus applied = control->ApplyScannerValues();
    Require(DescribeStatus(applied) != "unknown status");
    CheckValues(control->ReadScannerValues());
    const int duplex = control->DuplexCapability();
    Require(duplex == kNoDuplex || duplex == kDuplex);
    control->SetPagesToAcquire(in.Flag() ? kAllPages : 1 + in.U8() % 3);
    control->SetDuplex(in.Flag());

    size_t handled = 0;
    const ImagingStatus scanned = control->Acquire([&](Page& page) {
        ++handled;
        Require(page.Width() > 0 && page.Height() > 0);
        const int depth = page.BitsPerPixel();
        Require(depth == 1 || depth == 8 || depth == 24);
        std::vector<uint8_t> row(static_cast<size_t>(page.BytesPerRow()));
        page.ReadRow(0, row);
        page.ReadRow(page.Height() - 1, row);
        return PageAction::kContinue;
    });
    Require(DescribeStatus(scanned) != "unknown status");
    Require(handled <= kMaxPages);
    CheckValues(control->ReadScannerValues());
    return 0;
}
