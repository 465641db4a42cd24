#include "tests/support/fake_sane.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace scantora::testing {
namespace {

SANE_Word Fix(double value) {
    return static_cast<SANE_Word>(std::lround(value * (1 << 16)));
}

std::vector<SANE_Byte> WordBytes(SANE_Word word) {
    std::vector<SANE_Byte> bytes(sizeof word);
    std::memcpy(bytes.data(), &word, sizeof word);
    return bytes;
}

SANE_Word FirstWord(const FakeOption& option) {
    SANE_Word word = 0;
    std::memcpy(&word, option.value.data(), std::min(option.value.size(), sizeof word));
    return word;
}

SANE_Word AsWord(const FakeOption& option, double value) {
    return option.type == SANE_TYPE_FIXED ? Fix(value) : static_cast<SANE_Word>(std::lround(value));
}

FakeFrame Frame(SANE_Frame format, int width, int height, int depth, int channels) {
    FakeFrame frame;
    frame.parameters.format = format;
    frame.parameters.last_frame = SANE_TRUE;
    frame.parameters.pixels_per_line = width;
    frame.parameters.lines = height;
    frame.parameters.depth = depth;
    frame.parameters.bytes_per_line = (width * channels * depth + 7) / 8;
    return frame;
}

}  // namespace

FakeOption IntOption(std::string name, SANE_Word value) {
    FakeOption option;
    option.name = std::move(name);
    option.value = WordBytes(value);
    return option;
}

FakeOption FixedOption(std::string name, double value, SANE_Unit unit) {
    FakeOption option = IntOption(std::move(name), Fix(value));
    option.type = SANE_TYPE_FIXED;
    option.unit = unit;
    return option;
}

FakeOption BoolOption(std::string name, bool value) {
    FakeOption option = IntOption(std::move(name), value ? SANE_TRUE : SANE_FALSE);
    option.type = SANE_TYPE_BOOL;
    return option;
}

FakeOption StringOption(std::string name, const std::string& value,
                        std::vector<std::string> choices, SANE_Int size) {
    FakeOption option;
    option.name = std::move(name);
    option.type = SANE_TYPE_STRING;
    option.size = size;
    option.value.assign(static_cast<size_t>(size), 0);
    std::copy_n(value.begin(), std::min(value.size(), static_cast<size_t>(size - 1)),
                option.value.begin());
    if (!choices.empty()) {
        option.constraint = SANE_CONSTRAINT_STRING_LIST;
        option.strings = std::move(choices);
    }
    return option;
}

FakeOption WithRange(FakeOption option, double min, double max, double quant) {
    option.constraint = SANE_CONSTRAINT_RANGE;
    option.range = {AsWord(option, min), AsWord(option, max), AsWord(option, quant)};
    return option;
}

FakeOption WithWords(FakeOption option, const std::vector<double>& words) {
    option.constraint = SANE_CONSTRAINT_WORD_LIST;
    option.words.clear();
    for (double w : words)
        option.words.push_back(AsWord(option, w));
    return option;
}

FakePage GreyPage(int width, int height, int depth, SANE_Byte sample) {
    FakeFrame frame = Frame(SANE_FRAME_GRAY, width, height, depth, 1);
    frame.data.assign(static_cast<size_t>(frame.parameters.bytes_per_line) * height, sample);
    return FakePage{SANE_STATUS_GOOD, {frame}};
}

FakePage RgbPage(int width, int height, SANE_Byte red, SANE_Byte green, SANE_Byte blue) {
    FakeFrame frame = Frame(SANE_FRAME_RGB, width, height, 8, 3);
    for (int i = 0; i < width * height; ++i)
        frame.data.insert(frame.data.end(), {red, green, blue});
    return FakePage{SANE_STATUS_GOOD, {frame}};
}

FakeOption* FakeSaneDevice::Find(const std::string& name) {
    for (FakeOption& option : options)
        if (option.name == name) return &option;
    return nullptr;
}

double FakeSaneDevice::Number(const std::string& name) {
    const FakeOption* option = Find(name);
    if (!option) return 0;
    const SANE_Word word = FirstWord(*option);
    return option->type == SANE_TYPE_FIXED ? word / 65536.0 : word;
}

std::string FakeSaneDevice::Text(const std::string& name) {
    const FakeOption* option = Find(name);
    if (!option) return {};
    return std::string(
        reinterpret_cast<const char*>(option->value.data()),
        strnlen(reinterpret_cast<const char*>(option->value.data()), option->value.size()));
}

const SANE_Option_Descriptor* FakeSaneDevice::Describe(SANE_Int option) {
    if (option == 0) {
        count_descriptor_ = {};
        count_descriptor_.name = "";
        count_descriptor_.type = SANE_TYPE_INT;
        count_descriptor_.size = sizeof(SANE_Word);
        count_descriptor_.cap = SANE_CAP_SOFT_DETECT;
        return &count_descriptor_;
    }
    if (option < 0 || static_cast<size_t>(option) > options.size()) return nullptr;
    const FakeOption& o = options[static_cast<size_t>(option) - 1];
    descriptor_ = {};
    descriptor_.name = o.name.c_str();
    descriptor_.title = o.name.c_str();
    descriptor_.desc = "";
    descriptor_.type = o.type;
    descriptor_.unit = o.unit;
    descriptor_.size = o.size;
    descriptor_.cap = o.cap;
    descriptor_.constraint_type = o.constraint;
    if (o.constraint == SANE_CONSTRAINT_RANGE) descriptor_.constraint.range = &o.range;
    if (o.constraint == SANE_CONSTRAINT_WORD_LIST) {
        word_list_.assign(1, static_cast<SANE_Word>(o.words.size()));
        word_list_.insert(word_list_.end(), o.words.begin(), o.words.end());
        descriptor_.constraint.word_list = word_list_.data();
    }
    if (o.constraint == SANE_CONSTRAINT_STRING_LIST) {
        string_list_.clear();
        for (const std::string& s : o.strings)
            string_list_.push_back(s.c_str());
        string_list_.push_back(nullptr);
        descriptor_.constraint.string_list = string_list_.data();
    }
    return &descriptor_;
}

SANE_Status FakeSaneDevice::Control(SANE_Int option, SANE_Action action, void* value,
                                    SANE_Int* info) {
    if (info) *info = 0;
    if (option == 0 && action == SANE_ACTION_GET_VALUE) {
        const SANE_Word count = static_cast<SANE_Word>(options.size() + 1);
        std::memcpy(value, &count, sizeof count);
        return SANE_STATUS_GOOD;
    }
    if (option < 1 || static_cast<size_t>(option) > options.size()) return SANE_STATUS_INVAL;
    FakeOption& o = options[static_cast<size_t>(option) - 1];
    // The device writes and reads as many bytes as its descriptor says, like a real one.
    if (action == SANE_ACTION_GET_VALUE) {
        std::memcpy(value, o.value.data(), std::min<size_t>(o.value.size(), o.size));
        return SANE_STATUS_GOOD;
    }
    if (action != SANE_ACTION_SET_VALUE) return SANE_STATUS_UNSUPPORTED;
    if (!(o.cap & SANE_CAP_SOFT_SELECT)) return SANE_STATUS_INVAL;
    if (o.constraint == SANE_CONSTRAINT_STRING_LIST) {
        const std::string wanted(static_cast<const char*>(value),
                                 strnlen(static_cast<const char*>(value), o.size));
        if (std::find(o.strings.begin(), o.strings.end(), wanted) == o.strings.end())
            return SANE_STATUS_INVAL;
    }
    o.value.assign(static_cast<const SANE_Byte*>(value),
                   static_cast<const SANE_Byte*>(value) + o.size);
    const std::string name = o.name;
    const SANE_Int flags = on_set ? on_set(*this, *Find(name)) : 0;
    if (info) *info = flags;
    return SANE_STATUS_GOOD;
}

SANE_Status FakeSaneDevice::Start() {
    ++starts;
    if (frames_.empty()) {
        if (pages.empty()) return when_empty;
        FakePage page = std::move(pages.front());
        pages.pop_front();
        if (page.start != SANE_STATUS_GOOD) return page.start;
        frames_.assign(page.frames.begin(), page.frames.end());
        if (frames_.empty()) return SANE_STATUS_IO_ERROR;
    } else if (in_frame_) {
        frames_.pop_front();  // the next frame of a three-pass page
        if (frames_.empty()) return Start();
    }
    in_frame_ = true;
    read_ = 0;
    return SANE_STATUS_GOOD;
}

SANE_Status FakeSaneDevice::Parameters(SANE_Parameters& parameters) {
    if (frames_.empty()) return SANE_STATUS_INVAL;
    parameters = frames_.front().parameters;
    return SANE_STATUS_GOOD;
}

SANE_Status FakeSaneDevice::Read(SANE_Byte* data, SANE_Int max_length, SANE_Int& length) {
    length = 0;
    if (frames_.empty()) return SANE_STATUS_INVAL;
    const FakeFrame& frame = frames_.front();
    if (read_ >= frame.data.size()) {
        const SANE_Status end = frame.end;
        if (frame.parameters.last_frame || frames_.size() == 1) {
            frames_.clear();
            in_frame_ = false;
        }
        return end;
    }
    const size_t n =
        std::min({static_cast<size_t>(std::max(max_length, 0)),
                  static_cast<size_t>(std::max(frame.chunk, 1)), frame.data.size() - read_});
    std::memcpy(data, frame.data.data() + read_, n);
    read_ += n;
    length = static_cast<SANE_Int>(n);
    return SANE_STATUS_GOOD;
}

void FakeSaneDevice::Cancel() {
    ++cancels;
    frames_.clear();
    in_frame_ = false;
}

namespace {

// Hands the shared fake to the control, which owns what it opens.
class Opened : public SaneDevice {
public:
    explicit Opened(std::shared_ptr<FakeSaneDevice> device) : device_(std::move(device)) {}
    const SANE_Option_Descriptor* Describe(SANE_Int o) override { return device_->Describe(o); }
    SANE_Status Control(SANE_Int o, SANE_Action a, void* v, SANE_Int* i) override {
        return device_->Control(o, a, v, i);
    }
    SANE_Status Start() override { return device_->Start(); }
    SANE_Status Parameters(SANE_Parameters& p) override { return device_->Parameters(p); }
    SANE_Status Read(SANE_Byte* d, SANE_Int m, SANE_Int& l) override {
        return device_->Read(d, m, l);
    }
    void Cancel() override { device_->Cancel(); }

private:
    std::shared_ptr<FakeSaneDevice> device_;
};

}  // namespace

SANE_Status FakeSaneLibrary::Open(const std::string& name, std::unique_ptr<SaneDevice>& out) {
    if (name != entry_.name) return SANE_STATUS_INVAL;
    ++opens;
    if (open_status != SANE_STATUS_GOOD) return open_status;
    out = std::make_unique<Opened>(device);
    return SANE_STATUS_GOOD;
}

}  // namespace scantora::testing
