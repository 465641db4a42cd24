// The decoders' shortcuts change no read: on zint symbols at many scales and thresholds, on rows
// of real pages (symbols and text) and on noise, every decoder of the registry gives the same
// answer with its quick rejection and memos as walking the whole line without them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "imaging/barcode/code39.h"
#include "imaging/barcode/registry.h"
#include "imaging/decode/bilevel/line_face.h"
#include "imaging/io/file_access.h"
#include "tests/imaging/barcode/bar_lines.h"
#include "tests/imaging/barcode/shortcut_check.h"
#include "tests/imaging/barcode/zint_symbols.h"

namespace pixdoc::barcode {
namespace {

using testing::BarLine;
using testing::LineFromElements;
using testing::LineFromGroups;
using testing::ShortcutDisagreement;
using testing::SymbolElements;

const std::string kPages = std::string(TEST_FIXTURE_DIR) + "/symbologies/pages/";

// Thresholds from the smallest each group decodes with to beyond what symbols of four pixels
// per module need.
struct ThresholdRange {
    int from;
    int to;
};

ThresholdRange RangeOf(ThresholdGroup group) {
    switch (group) {
        case ThresholdGroup::kFirst:
            return {2, 14};
        case ThresholdGroup::kCode128And93:
            return {9, 48};
        case ThresholdGroup::kUpcEan:
            return {7, 36};
    }
    return {2, 14};
}

// Every symbology at every threshold of its range, in the per-line step's order (so that the
// memos of one call act on the next); the first disagreement, or "".
std::string CheckLine(const std::vector<int16_t>& list, int right_edge) {
    const LineView line{list.data() + 2, right_edge};
    DecodeContext with;
    for (int threshold = 2; threshold <= 48; ++threshold) {
        for (const SymbologyEntry& s : SymbologyRegistry()) {
            const ThresholdRange range = RangeOf(s.threshold_group);
            if (threshold < range.from || threshold > range.to) continue;
            const std::string why = ShortcutDisagreement(s, line, threshold, with);
            if (!why.empty()) return why;
        }
    }
    return "";
}

std::string CheckLine(const BarLine& line) {
    return CheckLine(line.list, line.right_edge);
}

const char* const kSymbols[] = {
    "i25_10",   "i25_18",      "iata_15",   "iata_14",    "codabar_bc", "codabar_da",
    "c128_b",   "c128_c",      "c128_long", "gs1_128",    "ean13_1",    "ean13_5",
    "upca",     "upca_2",      "ean8",      "ean8_2",     "c93_plain",  "c93_ascii",
    "c93_long", "c93_control", "c93_one",   "codabar_aa",
};

// Text-like strokes around a symbol: wide and narrow elements that start no symbol.
const std::vector<int> kStrokes = {3, 5, 4, 20, 4, 6, 3, 30, 5, 3, 6, 12, 3};

// The elements with one bar split by a one-pixel space: only the merging walks rejoin it.
std::vector<int> WithSpeck(std::vector<int> e) {
    for (size_t bar = 0; bar < e.size(); bar += 2) {
        if (e[bar] < 4) continue;
        const int width = e[bar];
        e[bar] = 2;
        e.insert(e.begin() + static_cast<std::ptrdiff_t>(bar) + 1, {1, width - 3});
        break;
    }
    return e;
}

std::vector<std::vector<int>> Variants(const std::vector<int>& e) {
    return {e, testing::Reversed(e), testing::InkSpread(e), WithSpeck(e)};
}

TEST(Shortcuts, ChangeNoReadOnZintSymbols) {
    int lines = 0;
    for (const char* name : kSymbols) {
        for (int scale = 1; scale <= 4; ++scale) {
            for (const auto& e : Variants(SymbolElements(name, scale))) {
                for (const BarLine& line :
                     {LineFromElements(e, 20, 20), LineFromGroups({kStrokes, e, kStrokes}, 8, 8)}) {
                    ++lines;
                    ASSERT_EQ(CheckLine(line), "") << name << " at scale " << scale;
                }
            }
        }
    }
    EXPECT_GT(lines, 600);
}

TEST(Shortcuts, ChangeNoReadOnCode39) {
    for (int narrow = 1; narrow <= 3; ++narrow) {
        for (const char* text : {"*CODE-39 TEST*", "NUDE 1234", "*A*"}) {
            const std::vector<int> e = testing::Code39Elements(text, narrow, 3 * narrow, narrow);
            for (const auto& v : Variants(e))
                ASSERT_EQ(CheckLine(LineFromGroups({kStrokes, v, kStrokes}, 8, 8)), "")
                    << text << " narrow " << narrow;
        }
    }
}

// Random widths, and real symbols with every element moved by a pixel at random: lines close to
// a read are where a shortcut's rule would part from its decoder's.
TEST(Shortcuts, ChangeNoReadOnNoiseAndDamagedSymbols) {
    std::mt19937 random(20240607);
    for (int n = 0; n < 200; ++n) {
        std::vector<int> e(std::uniform_int_distribution<int>(1, 120)(random) * 2 + 1);
        const int widest = std::uniform_int_distribution<int>(2, 24)(random);
        for (int& w : e)
            w = std::uniform_int_distribution<int>(1, widest)(random);
        ASSERT_EQ(CheckLine(LineFromElements(e, 10, 10)), "") << "noise line " << n;
    }
    for (const char* name : kSymbols) {
        for (int scale = 2; scale <= 3; ++scale) {
            for (int n = 0; n < 4; ++n) {
                std::vector<int> e = SymbolElements(name, scale);
                for (int& w : e)
                    w = std::max(1, w + std::uniform_int_distribution<int>(-1, 1)(random));
                ASSERT_EQ(CheckLine(LineFromElements(e, 20, 20)), "") << name << " damaged " << n;
            }
        }
    }
}

// A list that is not ascending, where elements take in a one-pixel neighbour and with it a
// change past the edge, three times: the merging walk goes on to the symbol after them, the
// plain walk ends at the first.
BarLine MergeOverTheEdge(const std::vector<int>& symbol) {
    BarLine line = LineFromElements(symbol, 60, 20);
    const auto p = static_cast<int16_t>(line.right_edge + 500);
    line.list.insert(line.list.begin() + 2, {40, 47, 48, p, 49, 50, p, 51, 52, p});
    line.count += 10;
    return line;
}

TEST(Shortcuts, ChangeNoReadWhereAMergeStepsOverTheEdge) {
    for (const char* name : {"ean13_1", "ean8", "upca", "c128_b", "i25_10", "codabar_bc"})
        ASSERT_EQ(CheckLine(MergeOverTheEdge(SymbolElements(name, 2))), "") << name;
    for (const char* text : {"*AB12*", "NUDE1"})
        ASSERT_EQ(CheckLine(MergeOverTheEdge(testing::Code39Elements(text, 2, 6, 2))), "") << text;
}

// The distinct rows of a page as the search's row path lists them.
std::vector<std::vector<int16_t>> PageRows(const std::string& path, int every) {
    ImageHeader h{};
    if (OpenImageHeader(0, path.c_str(), 1, &h) != 0) return {};
    h.handle = files::FileOpen(path.c_str());
    h.output_width = h.width;
    h.output_height = h.height;
    h.horizontal_scale = h.vertical_scale = 2048;
    h.decode_flags = bilevel::kFlagSetUpNeeded;
    std::set<std::vector<int16_t>> rows;
    if (bilevel::LineFaceSetUp(h, 0) == 0) {
        for (int y = 0; bilevel::LineFaceNextLine(h) == bilevel::kLineGood; ++y) {
            if (y % every != 0) continue;
            std::vector<int16_t> list = {0, 0};
            for (int i = 0; h.current_line[i] < h.width; ++i)
                list.push_back(h.current_line[i]);
            if (list.size() % 2 != 0) list.push_back(static_cast<int16_t>(h.width));
            list.insert(list.end(), 4, static_cast<int16_t>(h.width));
            rows.insert(std::move(list));
        }
    }
    bilevel::BilevelRelease(h);
    files::FileClose(h.handle);
    return {rows.begin(), rows.end()};
}

TEST(Shortcuts, ChangeNoReadOnRowsOfRealPages) {
    size_t lines = 0;
    for (const char* page : {"text-200.tif", "text-300.tif", "a4-200-1px.tif", "a4-300-3px.tif"}) {
        const auto rows = PageRows(kPages + page, 3);
        ASSERT_FALSE(rows.empty()) << page;
        for (const auto& list : rows) {
            const int width = list.back();
            ASSERT_EQ(CheckLine(list, width), "") << page;
        }
        lines += rows.size();
    }
    EXPECT_GT(lines, 500u);
}

// The check itself: a quick rejection that refuses a line its decoder reads is caught.
bool RefusesEverything(const LineView& line, int threshold, bool merge, DecodeContext& context,
                       Candidate& out) {
    return !context.shortcuts && DecodeCode39(line, threshold, merge, context, out);
}

TEST(Shortcuts, AWrongQuickRejectionIsCaught) {
    const SymbologyEntry wrong{kCode39, ThresholdGroup::kFirst, MergeSwitch::kCode39,
                               &RefusesEverything, false};
    const BarLine line = LineFromElements(testing::Code39Elements("*AB*", 2, 6, 2), 20, 20);
    DecodeContext with;
    EXPECT_NE(ShortcutDisagreement(wrong, line.View(), 4, with), "");
}

}  // namespace
}  // namespace pixdoc::barcode
