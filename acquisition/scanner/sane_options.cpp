#include "acquisition/scanner/sane_options.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

namespace scantora {
namespace {

// Bounds on what a device describes: past them an option is left out or its list cut short.
constexpr SANE_Int kMaxOptions = 1024;
constexpr SANE_Int kMaxValueBytes = 1 << 16;
constexpr size_t kMaxNameBytes = 256;
constexpr size_t kMaxListEntries = 1024;
constexpr size_t kMaxListStringBytes = 1024;
constexpr double kFixedOne = 1 << SANE_FIXED_SCALE_SHIFT;
constexpr double kMaxFixed = std::numeric_limits<SANE_Word>::max() / kFixedOne;
constexpr double kMinFixed = std::numeric_limits<SANE_Word>::min() / kFixedOne;
constexpr size_t kWordBytes = sizeof(SANE_Word);

std::string BoundedString(const char* text, size_t limit) {
    if (!text) return {};
    return std::string(text, strnlen(text, limit));
}

double FromWord(SANE_Word word, SANE_Value_Type type) {
    return type == SANE_TYPE_FIXED ? word / kFixedOne : static_cast<double>(word);
}

SANE_Word ToWord(double value, SANE_Value_Type type) {
    if (type == SANE_TYPE_FIXED)
        return static_cast<SANE_Word>(
            std::llround(std::clamp(value, kMinFixed, kMaxFixed) * kFixedOne));
    if (type == SANE_TYPE_BOOL) return value != 0 ? SANE_TRUE : SANE_FALSE;
    constexpr double kLowest = std::numeric_limits<SANE_Word>::min();
    constexpr double kHighest = std::numeric_limits<SANE_Word>::max();
    return static_cast<SANE_Word>(std::llround(std::clamp(value, kLowest, kHighest)));
}

bool IsNumeric(SANE_Value_Type type) {
    return type == SANE_TYPE_BOOL || type == SANE_TYPE_INT || type == SANE_TYPE_FIXED;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

void CopyConstraint(const SANE_Option_Descriptor& d, SaneOption& option) {
    switch (d.constraint_type) {
        case SANE_CONSTRAINT_RANGE:
            if (!d.constraint.range || !IsNumeric(d.type)) return;
            option.constraint = SANE_CONSTRAINT_RANGE;
            option.min = FromWord(d.constraint.range->min, d.type);
            option.max = FromWord(d.constraint.range->max, d.type);
            option.quant = FromWord(d.constraint.range->quant, d.type);
            return;
        case SANE_CONSTRAINT_WORD_LIST: {
            if (!d.constraint.word_list || !IsNumeric(d.type)) return;
            option.constraint = SANE_CONSTRAINT_WORD_LIST;
            const SANE_Word count = std::clamp<SANE_Word>(d.constraint.word_list[0], 0,
                                                          static_cast<SANE_Word>(kMaxListEntries));
            for (SANE_Word i = 1; i <= count; ++i)
                option.words.push_back(FromWord(d.constraint.word_list[i], d.type));
            return;
        }
        case SANE_CONSTRAINT_STRING_LIST:
            if (!d.constraint.string_list || d.type != SANE_TYPE_STRING) return;
            option.constraint = SANE_CONSTRAINT_STRING_LIST;
            for (size_t i = 0; i < kMaxListEntries && d.constraint.string_list[i]; ++i)
                option.strings.push_back(
                    BoundedString(d.constraint.string_list[i], kMaxListStringBytes));
            return;
        default:
            return;
    }
}

}  // namespace

SaneOptions::SaneOptions(SaneDevice& device) : device_(device) {
    Reload();
}

void SaneOptions::Reload() {
    options_.clear();
    // Option 0 holds the number of options; without it the descriptors are read to the end.
    SANE_Int count = kMaxOptions;
    const SANE_Option_Descriptor* first = device_.Describe(0);
    if (first && first->type == SANE_TYPE_INT && first->size >= static_cast<SANE_Int>(kWordBytes) &&
        first->size <= kMaxValueBytes) {
        std::vector<SANE_Word> value((first->size + kWordBytes - 1) / kWordBytes);
        if (device_.Control(0, SANE_ACTION_GET_VALUE, value.data(), nullptr) == SANE_STATUS_GOOD)
            count = std::clamp<SANE_Int>(value[0], 0, kMaxOptions);
    }
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = device_.Describe(i);
        if (!d) break;
        if (d->type < SANE_TYPE_BOOL || d->type > SANE_TYPE_STRING) continue;
        if (d->size <= 0 || d->size > kMaxValueBytes || !SANE_OPTION_IS_ACTIVE(d->cap)) continue;
        SaneOption option;
        option.index = i;
        option.name = BoundedString(d->name, kMaxNameBytes);
        option.type = d->type;
        option.unit = d->unit;
        option.size = d->size;
        option.settable = SANE_OPTION_IS_SETTABLE(d->cap);
        CopyConstraint(*d, option);
        options_.push_back(std::move(option));
    }
}

const SaneOption* SaneOptions::Find(std::string_view name) const {
    for (const SaneOption& option : options_)
        if (option.name == name) return &option;
    return nullptr;
}

std::optional<std::vector<SANE_Word>> SaneOptions::GetWords(const SaneOption& option) {
    if (option.size < static_cast<SANE_Int>(kWordBytes)) return std::nullopt;
    std::vector<SANE_Word> value((option.size + kWordBytes - 1) / kWordBytes);
    if (device_.Control(option.index, SANE_ACTION_GET_VALUE, value.data(), nullptr) !=
        SANE_STATUS_GOOD)
        return std::nullopt;
    return value;
}

std::optional<double> SaneOptions::GetNumber(std::string_view name) {
    const SaneOption* option = Find(name);
    if (!option || !IsNumeric(option->type)) return std::nullopt;
    const auto words = GetWords(*option);
    if (!words) return std::nullopt;
    return FromWord((*words)[0], option->type);
}

std::optional<std::string> SaneOptions::GetString(std::string_view name) {
    const SaneOption* option = Find(name);
    if (!option || option->type != SANE_TYPE_STRING) return std::nullopt;
    // One byte more than the device fills, so that the text always ends.
    std::vector<char> value(static_cast<size_t>(option->size) + 1, '\0');
    if (device_.Control(option->index, SANE_ACTION_GET_VALUE, value.data(), nullptr) !=
        SANE_STATUS_GOOD)
        return std::nullopt;
    return std::string(value.data());
}

SANE_Status SaneOptions::Write(const SaneOption& option, void* value) {
    SANE_Int info = 0;
    const SANE_Status status = device_.Control(option.index, SANE_ACTION_SET_VALUE, value, &info);
    if (info & SANE_INFO_RELOAD_OPTIONS) Reload();
    return status;
}

SANE_Status SaneOptions::SetNumber(std::string_view name, double value) {
    const SaneOption* option = Find(name);
    if (!option || !option->settable || !IsNumeric(option->type) ||
        option->size != static_cast<SANE_Int>(kWordBytes))
        return SANE_STATUS_UNSUPPORTED;
    SANE_Word word = ToWord(SnapToConstraint(*option, value), option->type);
    return Write(*option, &word);
}

SANE_Status SaneOptions::SetString(std::string_view name, std::string_view value) {
    const SaneOption* option = Find(name);
    if (!option || !option->settable || option->type != SANE_TYPE_STRING)
        return SANE_STATUS_UNSUPPORTED;
    std::string_view chosen = value;
    if (option->constraint == SANE_CONSTRAINT_STRING_LIST) {
        const auto match =
            std::find_if(option->strings.begin(), option->strings.end(),
                         [&](const std::string& s) { return EqualIgnoringCase(s, value); });
        if (match == option->strings.end()) return SANE_STATUS_INVAL;
        chosen = *match;
    }
    if (chosen.size() + 1 > static_cast<size_t>(option->size)) return SANE_STATUS_INVAL;
    std::vector<char> buffer(static_cast<size_t>(option->size), '\0');
    std::copy(chosen.begin(), chosen.end(), buffer.begin());
    return Write(*option, buffer.data());
}

std::optional<NumericBounds> SaneOptions::Bounds(std::string_view name) const {
    const SaneOption* option = Find(name);
    if (!option) return std::nullopt;
    if (option->constraint == SANE_CONSTRAINT_RANGE && option->min < option->max)
        return NumericBounds{option->min, option->max};
    if (option->constraint == SANE_CONSTRAINT_WORD_LIST && !option->words.empty()) {
        const auto [low, high] = std::minmax_element(option->words.begin(), option->words.end());
        if (*low < *high) return NumericBounds{*low, *high};
    }
    return std::nullopt;
}

std::vector<std::string> SaneOptions::Choices(std::string_view name) const {
    const SaneOption* option = Find(name);
    return option ? option->strings : std::vector<std::string>{};
}

std::vector<double> SaneOptions::Words(std::string_view name) const {
    const SaneOption* option = Find(name);
    return option ? option->words : std::vector<double>{};
}

double SnapToConstraint(const SaneOption& option, double value) {
    if (option.constraint == SANE_CONSTRAINT_RANGE && option.min <= option.max) {
        value = std::clamp(value, option.min, option.max);
        if (option.quant > 0) {
            value = option.min + std::round((value - option.min) / option.quant) * option.quant;
            if (value > option.max) value -= option.quant;
            value = std::max(value, option.min);
        }
        return value;
    }
    if (option.constraint == SANE_CONSTRAINT_WORD_LIST && !option.words.empty()) {
        double best = option.words.front();
        for (double word : option.words)
            if (std::fabs(word - value) < std::fabs(best - value)) best = word;
        return best;
    }
    return value;
}

}  // namespace scantora
