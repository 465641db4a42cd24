#include "acquisition/scanner/sane_values.h"

#include <sane/saneopts.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace scantora {
namespace {

constexpr int kScaleLimit = 1000;  // brightness and contrast run from -1000 to 1000
constexpr double kMillimetresPerInch = 25.4;
constexpr int kLineArtDepth = 1;
constexpr int kToneDepth = 8;

// Options some backends use for duplex besides a duplex source.
constexpr std::string_view kAdfModeOption = "adf-mode";
constexpr std::string_view kDuplexOption = "duplex";

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool ContainsAny(const std::string& lower, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view w) { return lower.find(w) != std::string::npos; });
}

std::optional<int> ToInt(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    constexpr double kLowest = std::numeric_limits<int>::min();
    constexpr double kHighest = std::numeric_limits<int>::max();
    return static_cast<int>(std::lround(std::clamp(value, kLowest, kHighest)));
}

void Keep(SANE_Status status, SANE_Status& first) {
    const bool refused = status == SANE_STATUS_INVAL || status == SANE_STATUS_UNSUPPORTED;
    if (status != SANE_STATUS_GOOD && !refused && first == SANE_STATUS_GOOD) first = status;
}

// ---- scan mode

enum class ModeKind { kLineArt, kGrey, kColour, kOther };

ModeKind ClassifyMode(std::string_view name) {
    const std::string lower = Lower(name);
    const bool bilevel =
        ContainsAny(lower, {"lineart", "line art", "binary", "black", "mono", "halftone"});
    if (ContainsAny(lower, {"color", "colour", "rgb"}))
        return bilevel ? ModeKind::kOther : ModeKind::kColour;
    if (ContainsAny(lower, {"gray", "grey"})) return ModeKind::kGrey;
    return bilevel ? ModeKind::kLineArt : ModeKind::kOther;
}

ModeKind KindOf(ColourMode mode) {
    switch (mode) {
        case ColourMode::kLineArt:
            return ModeKind::kLineArt;
        case ColourMode::kGrey:
            return ModeKind::kGrey;
        default:
            return ModeKind::kColour;
    }
}

// The device's mode for `kind`: its standard name first, else the first of that kind.
std::optional<std::string> ModeChoice(const SaneOptions& options, ModeKind kind) {
    const std::vector<std::string> choices = options.Choices(SANE_NAME_SCAN_MODE);
    const std::string_view standard = kind == ModeKind::kLineArt ? SANE_VALUE_SCAN_MODE_LINEART
                                      : kind == ModeKind::kGrey  ? SANE_VALUE_SCAN_MODE_GRAY
                                                                 : SANE_VALUE_SCAN_MODE_COLOR;
    for (const std::string& choice : choices)
        if (Lower(choice) == Lower(standard)) return choice;
    for (const std::string& choice : choices)
        if (ClassifyMode(choice) == kind) return choice;
    return std::nullopt;
}

bool OffersDepth(const SaneOptions& options, int depth) {
    const std::vector<double> depths = options.Words(SANE_NAME_BIT_DEPTH);
    return std::find(depths.begin(), depths.end(), depth) != depths.end();
}

SANE_Status ApplyMode(SaneOptions& options, ColourMode mode) {
    SANE_Status first = SANE_STATUS_GOOD;
    ModeKind kind = KindOf(mode);
    int depth = kind == ModeKind::kLineArt ? kLineArtDepth : kToneDepth;
    std::optional<std::string> choice = ModeChoice(options, kind);
    // Devices without a line-art mode scan it as grey at one bit.
    if (!choice && kind == ModeKind::kLineArt) choice = ModeChoice(options, ModeKind::kGrey);
    if (choice) Keep(options.SetString(SANE_NAME_SCAN_MODE, *choice), first);
    if (OffersDepth(options, depth)) Keep(options.SetNumber(SANE_NAME_BIT_DEPTH, depth), first);
    return first;
}

std::optional<ColourMode> ReadMode(SaneOptions& options) {
    const std::optional<std::string> mode = options.GetString(SANE_NAME_SCAN_MODE);
    const std::optional<double> depth = options.GetNumber(SANE_NAME_BIT_DEPTH);
    const ModeKind kind = mode ? ClassifyMode(*mode) : ModeKind::kGrey;
    if (kind == ModeKind::kColour) return ColourMode::kColour;
    if (depth && *depth == kLineArtDepth && kind != ModeKind::kOther) return ColourMode::kLineArt;
    if (kind == ModeKind::kLineArt) return ColourMode::kLineArt;
    if (kind == ModeKind::kGrey && (mode || depth)) return ColourMode::kGrey;
    return std::nullopt;
}

// ---- resolution

std::string_view ResolutionOption(const SaneOptions& options) {
    return options.Has(SANE_NAME_SCAN_RESOLUTION) ? SANE_NAME_SCAN_RESOLUTION
                                                  : SANE_NAME_SCAN_X_RESOLUTION;
}

SANE_Status ApplyResolution(SaneOptions& options, int dpi) {
    SANE_Status first = SANE_STATUS_GOOD;
    const std::string_view name = ResolutionOption(options);
    Keep(options.SetNumber(name, dpi), first);
    if (name == SANE_NAME_SCAN_X_RESOLUTION && options.Has(SANE_NAME_SCAN_Y_RESOLUTION))
        Keep(options.SetNumber(SANE_NAME_SCAN_Y_RESOLUTION, dpi), first);
    return first;
}

// ---- brightness and contrast: -1000..1000 spread over the device's range

double ToDeviceScale(int value, const std::optional<NumericBounds>& bounds) {
    if (!bounds) return value;
    const double t = (value + kScaleLimit) / (2.0 * kScaleLimit);
    return bounds->min + t * (bounds->max - bounds->min);
}

std::optional<int> FromDeviceScale(double value, const std::optional<NumericBounds>& bounds) {
    double scaled = value;
    if (bounds) {
        const double t = (value - bounds->min) / (bounds->max - bounds->min);
        scaled = -kScaleLimit + t * 2 * kScaleLimit;
    }
    const std::optional<int> result = ToInt(scaled);
    if (!result) return std::nullopt;
    return std::clamp(*result, -kScaleLimit, kScaleLimit);
}

SANE_Status ApplyScaled(SaneOptions& options, std::string_view name, int value) {
    if (value < -kScaleLimit || value > kScaleLimit) return SANE_STATUS_GOOD;
    return options.SetNumber(name, ToDeviceScale(value, options.Bounds(name)));
}

std::optional<int> ReadScaled(SaneOptions& options, std::string_view name) {
    const std::optional<double> value = options.GetNumber(name);
    if (!value) return std::nullopt;
    return FromDeviceScale(*value, options.Bounds(name));
}

// ---- scan frame, in millimetres whatever the device's unit

struct Axis {
    std::string_view start_option;  // top-left
    std::string_view end_option;    // bottom-right
};
constexpr Axis kAcross{SANE_NAME_SCAN_TL_X, SANE_NAME_SCAN_BR_X};
constexpr Axis kDown{SANE_NAME_SCAN_TL_Y, SANE_NAME_SCAN_BR_Y};

double ToMillimetres(double value, const SaneOption& option, int dpi) {
    return option.unit == SANE_UNIT_PIXEL && dpi > 0 ? value * kMillimetresPerInch / dpi : value;
}

double FromMillimetres(double mm, const SaneOption& option, int dpi) {
    return option.unit == SANE_UNIT_PIXEL && dpi > 0 ? mm * dpi / kMillimetresPerInch : mm;
}

std::optional<double> ReadMillimetres(SaneOptions& options, std::string_view name, int dpi) {
    const SaneOption* option = options.Find(name);
    const std::optional<double> value = options.GetNumber(name);
    if (!option || !value) return std::nullopt;
    return ToMillimetres(*value, *option, dpi);
}

SANE_Status SetMillimetres(SaneOptions& options, std::string_view name, double mm, int dpi) {
    const SaneOption* option = options.Find(name);
    if (!option) return SANE_STATUS_UNSUPPORTED;
    return options.SetNumber(name, FromMillimetres(mm, *option, dpi));
}

SANE_Status ApplyAxis(SaneOptions& options, const Axis& axis, std::optional<int> start,
                      std::optional<int> length, int dpi) {
    if (!start && !length) return SANE_STATUS_GOOD;
    const std::optional<double> current_start = ReadMillimetres(options, axis.start_option, dpi);
    const std::optional<double> current_end = ReadMillimetres(options, axis.end_option, dpi);
    if (!current_start || !current_end) return SANE_STATUS_UNSUPPORTED;
    const double new_start = start ? *start : *current_start;
    const double new_end = length ? new_start + *length : *current_end;
    // The end first and again last, so that the start never passes an old end.
    SANE_Status first = SANE_STATUS_GOOD;
    Keep(SetMillimetres(options, axis.end_option, new_end, dpi), first);
    Keep(SetMillimetres(options, axis.start_option, new_start, dpi), first);
    Keep(SetMillimetres(options, axis.end_option, new_end, dpi), first);
    return first;
}

void ReadAxis(SaneOptions& options, const Axis& axis, int dpi, std::optional<int>& start,
              std::optional<int>& length) {
    const std::optional<double> from = ReadMillimetres(options, axis.start_option, dpi);
    const std::optional<double> to = ReadMillimetres(options, axis.end_option, dpi);
    if (!from || !to) return;
    start = ToInt(*from);
    length = ToInt(*to - *from);
}

// ---- source

enum class SourceKind { kFlatbed, kFeeder, kDuplex };

SourceKind ClassifySource(std::string_view name) {
    const std::string lower = Lower(name);
    if (lower.find("duplex") != std::string::npos) return SourceKind::kDuplex;
    if (ContainsAny(lower, {"back", "rear"})) return SourceKind::kDuplex;
    if (ContainsAny(lower, {"adf", "feeder", "automatic", "sheet"})) return SourceKind::kFeeder;
    return SourceKind::kFlatbed;
}

// Back-side-only sources ("ADF Back") are never chosen: they scan one side of both.
std::optional<std::string> SourceChoice(const std::vector<std::string>& choices, SourceKind kind) {
    for (const std::string& choice : choices) {
        if (ClassifySource(choice) != kind) continue;
        if (kind == SourceKind::kDuplex && Lower(choice).find("duplex") == std::string::npos)
            continue;
        return choice;
    }
    return std::nullopt;
}

bool AdfModeOffersDuplex(const SaneOptions& options) {
    for (const std::string& choice : options.Choices(kAdfModeOption))
        if (Lower(choice).find("duplex") != std::string::npos) return true;
    return false;
}

bool HasDuplexSwitch(const SaneOptions& options) {
    const SaneOption* option = options.Find(kDuplexOption);
    return option && option->settable && option->type == SANE_TYPE_BOOL;
}

// Turns the feeder's own duplex switch (adf-mode or a duplex option) on or off.
SANE_Status SetFeederDuplex(SaneOptions& options, bool duplex) {
    if (options.Has(kAdfModeOption)) {
        for (const std::string& choice : options.Choices(kAdfModeOption)) {
            const bool is_duplex = Lower(choice).find("duplex") != std::string::npos;
            if (is_duplex == duplex) return options.SetString(kAdfModeOption, choice);
        }
    }
    if (HasDuplexSwitch(options)) return options.SetNumber(kDuplexOption, duplex ? 1 : 0);
    return duplex ? SANE_STATUS_UNSUPPORTED : SANE_STATUS_GOOD;
}

}  // namespace

SANE_Status ApplySaneValues(SaneOptions& options, const ScannerValues& values) {
    SANE_Status first = SANE_STATUS_GOOD;
    if (values.mode) Keep(ApplyMode(options, *values.mode), first);
    if (values.resolution) Keep(ApplyResolution(options, *values.resolution), first);
    if (values.brightness)
        Keep(ApplyScaled(options, SANE_NAME_BRIGHTNESS, *values.brightness), first);
    if (values.contrast) Keep(ApplyScaled(options, SANE_NAME_CONTRAST, *values.contrast), first);
    const int dpi = SaneResolution(options);
    Keep(ApplyAxis(options, kAcross, values.frame_left, values.frame_width, dpi), first);
    Keep(ApplyAxis(options, kDown, values.frame_top, values.frame_height, dpi), first);
    return first;
}

ScannerValues ReadSaneValues(SaneOptions& options) {
    ScannerValues values;
    const int dpi = SaneResolution(options);
    if (dpi > 0) values.resolution = dpi;
    values.brightness = ReadScaled(options, SANE_NAME_BRIGHTNESS);
    values.contrast = ReadScaled(options, SANE_NAME_CONTRAST);
    ReadAxis(options, kAcross, dpi, values.frame_left, values.frame_width);
    ReadAxis(options, kDown, dpi, values.frame_top, values.frame_height);
    values.mode = ReadMode(options);
    return values;
}

ScannerLimits ReadSaneLimits(SaneOptions& options) {
    ScannerLimits limits;
    if (const SaneOption* resolution = options.Find(ResolutionOption(options))) {
        for (const double dpi : options.Words(resolution->name))
            if (const std::optional<int> whole = ToInt(dpi); whole && *whole > 0)
                limits.resolutions.push_back(*whole);
        std::sort(limits.resolutions.begin(), limits.resolutions.end());
        if (resolution->constraint == SANE_CONSTRAINT_RANGE) {
            limits.min_resolution = ToInt(resolution->min);
            limits.max_resolution = ToInt(resolution->max);
            limits.resolution_step = ToInt(resolution->quant).value_or(0);
        }
    }
    limits.brightness = options.Has(SANE_NAME_BRIGHTNESS);
    limits.contrast = options.Has(SANE_NAME_CONTRAST);
    // The area is where the bottom-right corner can go.
    const int dpi = SaneResolution(options);
    const auto extent = [&](std::string_view name) -> std::optional<int> {
        const SaneOption* option = options.Find(name);
        const std::optional<NumericBounds> bounds = options.Bounds(name);
        if (!option || !bounds) return std::nullopt;
        return ToInt(ToMillimetres(bounds->max, *option, dpi));
    };
    limits.frame_width = extent(SANE_NAME_SCAN_BR_X);
    limits.frame_height = extent(SANE_NAME_SCAN_BR_Y);
    // Line art is also a grey scan at one bit (as ApplyMode sets it).
    const bool grey = ModeChoice(options, ModeKind::kGrey).has_value();
    if (ModeChoice(options, ModeKind::kLineArt) || (grey && OffersDepth(options, kLineArtDepth)))
        limits.modes.push_back(ColourMode::kLineArt);
    if (grey) limits.modes.push_back(ColourMode::kGrey);
    if (ModeChoice(options, ModeKind::kColour)) limits.modes.push_back(ColourMode::kColour);
    return limits;
}

int SaneResolution(SaneOptions& options) {
    const std::optional<double> dpi = options.GetNumber(ResolutionOption(options));
    if (!dpi) return 0;
    const std::optional<int> whole = ToInt(*dpi);
    return whole && *whole > 0 ? *whole : 0;
}

int SaneDuplexCapability(const SaneOptions& options) {
    const bool duplex = SourceChoice(options.Choices(SANE_NAME_SCAN_SOURCE), SourceKind::kDuplex) ||
                        AdfModeOffersDuplex(options) || HasDuplexSwitch(options);
    return duplex ? kDuplex : kNoDuplex;
}

SANE_Status ChooseSaneSource(SaneOptions& options, bool feeder, bool duplex, SaneSourcePlan& plan) {
    plan = SaneSourcePlan();
    const std::vector<std::string> choices = options.Choices(SANE_NAME_SCAN_SOURCE);
    if (choices.empty()) {
        // A device without sources is a flatbed, or a feeder with its duplex switch.
        if (!HasDuplexSwitch(options) && !options.Has(kAdfModeOption)) return SANE_STATUS_GOOD;
        plan.feeder = true;
        plan.duplex = duplex && SetFeederDuplex(options, true) == SANE_STATUS_GOOD;
        if (!duplex) SetFeederDuplex(options, false);
        return SANE_STATUS_GOOD;
    }
    const std::optional<std::string> duplex_choice = SourceChoice(choices, SourceKind::kDuplex);
    const std::optional<std::string> feeder_choice = SourceChoice(choices, SourceKind::kFeeder);
    const std::optional<std::string> flatbed_choice = SourceChoice(choices, SourceKind::kFlatbed);
    if (feeder && duplex && duplex_choice) {
        plan = {true, true};
        return options.SetString(SANE_NAME_SCAN_SOURCE, *duplex_choice);
    }
    if ((feeder && feeder_choice) || (!flatbed_choice && feeder_choice)) {
        plan.feeder = true;
        const SANE_Status status = options.SetString(SANE_NAME_SCAN_SOURCE, *feeder_choice);
        if (status != SANE_STATUS_GOOD) return status;
        plan.duplex = duplex && SetFeederDuplex(options, true) == SANE_STATUS_GOOD;
        if (!duplex) SetFeederDuplex(options, false);
        return SANE_STATUS_GOOD;
    }
    if (flatbed_choice) return options.SetString(SANE_NAME_SCAN_SOURCE, *flatbed_choice);
    return SANE_STATUS_GOOD;
}

}  // namespace scantora
