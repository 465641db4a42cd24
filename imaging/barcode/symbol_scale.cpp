#include "imaging/barcode/symbol_scale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pixdoc::barcode {
namespace {

enum class Kind {
    kTwoWidths,  // narrow and wide elements against one narrow/wide threshold
    kModules,    // elements of 1 to 4 modules against a character-width threshold
};

struct ScaleRule {
    Symbology symbology;
    Kind kind;
    int elements;          // leading elements measured
    int modules;           // modules of those elements (kModules)
    int character;         // modules of one character: the decoder's threshold unit (kModules)
    int minimum_elements;  // start, one character, stop
    bool check_character;
};

// Start patterns, and stop patterns met from the symbol's right end, span the same modules:
// Code 128 start 211xxx and reversed stop 211133 are 11, Code 93 111141 and reversed 114111
// (after the termination bar) are 9, an EAN guard and digit 10.
constexpr ScaleRule kRules[] = {
    {kCode39, Kind::kTwoWidths, 9, 0, 0, 29, false},
    {kCode39Nude, Kind::kTwoWidths, 9, 0, 0, 9, false},
    {kInterleaved2of5, Kind::kTwoWidths, 13, 0, 0, 17, false},
    {kCodabar, Kind::kTwoWidths, 7, 0, 0, 23, false},
    {kCode128, Kind::kModules, 6, 11, 11, 25, true},
    {kCode93, Kind::kModules, 6, 9, 9, 25, true},
    {kCode93Type2, Kind::kModules, 6, 9, 9, 25, true},
    {kUpcA, Kind::kModules, 7, 10, 7, 59, true},
    {kEan13, Kind::kModules, 7, 10, 7, 59, true},
    {kEan8, Kind::kModules, 7, 10, 7, 43, true},
    {kIata2of5, Kind::kTwoWidths, 12, 0, 0, 13, false},
};

// Two widths must differ by this ratio (7 / 5 = 1.4) to be told apart.
constexpr int kMinimumWideRatioNumerator = 7;
constexpr int kMinimumWideRatioDenominator = 5;
constexpr int kMaxElementsMeasured = 16;
// Module symbologies allow elements up to four modules.
constexpr int kWidestModules = 4;
// Ink spread moves element edges outward; a threshold a little under the nominal character width
// counts thinned elements right, the nominal one thickened elements.
constexpr double kThinnedFactor = 0.9;

const ScaleRule* RuleOf(Symbology symbology) {
    for (const ScaleRule& r : kRules)
        if (r.symbology == symbology) return &r;
    return nullptr;
}

struct Split {
    bool ok = false;
    int narrow_max = 0;
    int wide_min = 0;
    int wide_max = 0;
    double narrow_mean = 0;
};

// Insertion sort: the spans here hold at most kMaxElementsMeasured widths, where it beats the
// general sort by far on the search's hottest path.
void SortFew(std::span<int> widths) {
    for (size_t i = 1; i < widths.size(); ++i) {
        const int w = widths[i];
        size_t j = i;
        for (; j > 0 && widths[j - 1] > w; --j)
            widths[j] = widths[j - 1];
        widths[j] = w;
    }
}

// The widest relative gap between sorted widths: narrow below it, wide above.
Split SplitWidths(std::span<int> widths) {
    Split split;
    if (widths.size() < 2) return split;
    SortFew(widths);
    // The best ratio so far as a fraction: compared by cross products, free of divisions on the
    // search's hottest path.
    int64_t best_numerator = kMinimumWideRatioNumerator;
    int64_t best_denominator = kMinimumWideRatioDenominator;
    size_t at = 0;
    for (size_t i = 1; i < widths.size(); ++i) {
        if (int64_t{widths[i]} * best_denominator >= best_numerator * widths[i - 1]) {
            best_numerator = widths[i];
            best_denominator = widths[i - 1];
            at = i;
        }
    }
    if (at == 0) return split;
    split.ok = true;
    split.narrow_max = widths[at - 1];
    split.wide_min = widths[at];
    split.wide_max = widths.back();
    double sum = 0;
    for (size_t i = 0; i < at; ++i)
        sum += widths[i];
    split.narrow_mean = sum / static_cast<double>(at);
    return split;
}

// The narrow/wide threshold halfway between the classes: narrow below it, wide from it on.
int Midpoint(const Split& s) {
    return (s.narrow_max + s.wide_min + 1) / 2;
}

void AddThreshold(SymbolScale& scale, int threshold) {
    for (int& t : scale.thresholds) {
        if (t == threshold) return;
        if (t == 0) {
            t = threshold;
            return;
        }
    }
}

// The narrow/wide split of all the measured widths.
Split WholeSplit(std::span<const int> widths) {
    std::array<int, kMaxElementsMeasured> all;  // filled as far as used
    std::copy(widths.begin(), widths.end(), all.begin());
    return SplitWidths(std::span(all.data(), widths.size()));
}

bool TwoWidthScale(std::span<const int> widths, SymbolScale& scale) {
    const Split whole = WholeSplit(widths);
    if (!whole.ok) return false;
    scale.module = whole.narrow_mean;
    scale.widest = whole.wide_max;
    AddThreshold(scale, Midpoint(whole));
    // Ink spread makes narrow bars as wide as wide spaces: bars alone tell them apart.
    std::array<int, kMaxElementsMeasured> bars;
    size_t n_bars = 0;
    for (size_t i = 0; i < widths.size(); i += 2)
        bars[n_bars++] = widths[i];
    const Split by_bars = SplitWidths(std::span(bars.data(), n_bars));
    if (by_bars.ok) AddThreshold(scale, Midpoint(by_bars));
    return true;
}

// The module of a module symbology: its leading elements' width over their modules.
double ModuleWidth(const ScaleRule& rule, std::span<const int> widths) {
    int sum = 0;
    for (int w : widths)
        sum += w;
    return static_cast<double>(sum) / rule.modules;
}

bool ModuleScale(const ScaleRule& rule, std::span<const int> widths, SymbolScale& scale) {
    scale.module = ModuleWidth(rule, widths);
    scale.widest = kWidestModules * scale.module;
    const double character = rule.character * scale.module;
    AddThreshold(
        scale, std::max(rule.character, static_cast<int>(std::lround(character * kThinnedFactor))));
    AddThreshold(scale, std::max(rule.character, static_cast<int>(std::lround(character))));
    return true;
}

}  // namespace

bool EstimateScale(Symbology symbology, std::span<const int> widths, SymbolScale& scale) {
    scale = SymbolScale{};
    const ScaleRule* rule = RuleOf(symbology);
    if (rule == nullptr || widths.size() < static_cast<size_t>(rule->elements)) return false;
    widths = widths.first(rule->elements);
    for (int w : widths)
        if (w < 1) return false;
    return rule->kind == Kind::kTwoWidths ? TwoWidthScale(widths, scale)
                                          : ModuleScale(*rule, widths, scale);
}

bool EstimateModule(Symbology symbology, std::span<const int> widths, double& module) {
    const ScaleRule* rule = RuleOf(symbology);
    if (rule == nullptr || widths.size() < static_cast<size_t>(rule->elements)) return false;
    widths = widths.first(rule->elements);
    for (int w : widths)
        if (w < 1) return false;
    if (rule->kind == Kind::kModules) {
        module = ModuleWidth(*rule, widths);
        return true;
    }
    const Split whole = WholeSplit(widths);
    module = whole.narrow_mean;
    return whole.ok;
}

double ModuleFloor(Symbology symbology, std::span<const int> widths) {
    const ScaleRule* rule = RuleOf(symbology);
    if (rule == nullptr || widths.size() < static_cast<size_t>(rule->elements)) return 0;
    widths = widths.first(rule->elements);
    if (rule->kind == Kind::kModules) return ModuleWidth(*rule, widths);
    // The narrow width is the mean of a class of the measured widths: not below the narrowest.
    return *std::min_element(widths.begin(), widths.end());
}

int ScaleElements(Symbology symbology) {
    const ScaleRule* rule = RuleOf(symbology);
    return rule ? rule->elements : 0;
}

int MinimumSymbolElements(Symbology symbology) {
    const ScaleRule* rule = RuleOf(symbology);
    return rule ? rule->minimum_elements : 0;
}

bool LacksCheckCharacter(Symbology symbology) {
    const ScaleRule* rule = RuleOf(symbology);
    return rule && !rule->check_character;
}

}  // namespace pixdoc::barcode
