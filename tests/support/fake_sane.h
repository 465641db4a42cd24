// A SANE device and library made of plain data, for the scanner tests and the SANE fuzz
// target: options with their descriptors and values, and pages of frames to scan.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/scanner/sane_device.h"

namespace scantora::testing {

struct FakeOption {
    std::string name;
    SANE_Value_Type type = SANE_TYPE_INT;
    SANE_Unit unit = SANE_UNIT_NONE;
    SANE_Int size = sizeof(SANE_Word);
    SANE_Int cap = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;
    SANE_Constraint_Type constraint = SANE_CONSTRAINT_NONE;
    SANE_Range range{};
    std::vector<SANE_Word> words;      // word list entries, without the count
    std::vector<std::string> strings;  // string list entries
    std::vector<SANE_Byte> value;      // `size` bytes
};

FakeOption IntOption(std::string name, SANE_Word value);
FakeOption FixedOption(std::string name, double value, SANE_Unit unit = SANE_UNIT_NONE);
FakeOption BoolOption(std::string name, bool value);
FakeOption StringOption(std::string name, const std::string& value,
                        std::vector<std::string> choices, SANE_Int size = 64);
FakeOption WithRange(FakeOption option, double min, double max, double quant = 0);
FakeOption WithWords(FakeOption option, const std::vector<double>& words);

struct FakeFrame {
    SANE_Parameters parameters{};
    std::vector<SANE_Byte> data;
    SANE_Status end = SANE_STATUS_EOF;  // what sane_read gives once the data is out
    SANE_Int chunk = 4096;              // most bytes one read gives
};

struct FakePage {
    SANE_Status start = SANE_STATUS_GOOD;  // a failure here is given instead of the page
    std::vector<FakeFrame> frames;
};

// A grey (depth 1, 8 or 16) page filled with `sample`, or an RGB one.
FakePage GreyPage(int width, int height, int depth, SANE_Byte sample);
FakePage RgbPage(int width, int height, SANE_Byte red, SANE_Byte green, SANE_Byte blue);

class FakeSaneDevice : public SaneDevice {
public:
    std::vector<FakeOption> options;  // option 1 onwards; option 0 is their count
    std::deque<FakePage> pages;
    SANE_Status when_empty = SANE_STATUS_NO_DOCS;
    // Called after a value was set; may change the options and return info flags.
    std::function<SANE_Int(FakeSaneDevice&, const FakeOption&)> on_set;
    int starts = 0;
    int cancels = 0;

    FakeOption* Find(const std::string& name);
    double Number(const std::string& name);
    std::string Text(const std::string& name);

    const SANE_Option_Descriptor* Describe(SANE_Int option) override;
    SANE_Status Control(SANE_Int option, SANE_Action action, void* value, SANE_Int* info) override;
    SANE_Status Start() override;
    SANE_Status Parameters(SANE_Parameters& parameters) override;
    SANE_Status Read(SANE_Byte* data, SANE_Int max_length, SANE_Int& length) override;
    void Cancel() override;

private:
    SANE_Option_Descriptor count_descriptor_{};
    SANE_Option_Descriptor descriptor_{};
    std::vector<SANE_Word> word_list_;
    std::vector<const char*> string_list_;
    std::deque<FakeFrame> frames_;  // frames of the page being scanned
    bool in_frame_ = false;
    size_t read_ = 0;
};

// A library of one device, shared with the test so that it can look at it after a scan.
class FakeSaneLibrary : public SaneBackend {
public:
    FakeSaneLibrary(std::string name, std::string vendor, std::string model)
        : entry_{std::move(name), std::move(vendor), std::move(model)},
          device(std::make_shared<FakeSaneDevice>()) {}

    std::vector<SaneDeviceEntry> ListDevices() override { return {entry_}; }
    SANE_Status Open(const std::string& name, std::unique_ptr<SaneDevice>& out) override;

    int opens = 0;
    SANE_Status open_status = SANE_STATUS_GOOD;

private:
    SaneDeviceEntry entry_;

public:
    std::shared_ptr<FakeSaneDevice> device;
};

}  // namespace scantora::testing
