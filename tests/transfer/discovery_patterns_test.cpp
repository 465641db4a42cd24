#include "transfer/discovery_patterns.h"

#include <gtest/gtest.h>

#include <vector>

#include "acquisition/page_path.h"

namespace scantora {
namespace {

// A job layout: per level its composition rule, width and a code to scan.
struct Layout {
    const char* name;
    std::vector<std::string> rules;
    std::vector<long> widths;
    std::vector<std::string> codes;
    std::size_t shown;  // levels the transfer dialog shows
    bool duplex;        // back pages are scanned too
};

CompositionJob JobOf(const Layout& layout) {
    CompositionJob job;
    for (std::size_t i = 0; i < layout.widths.size(); ++i)
        job.widths[i] = layout.widths[i];
    job.front_name = "fro";
    job.back_name = "bac";
    return job;
}

// The path the transfer walk sees for a page file built at scan time.
std::string ScannedPath(const Layout& layout, const std::string& root, bool back) {
    const PagePathRules rules{root, layout.rules, "fro", "bac"};
    const auto path = ComposePagePath(rules, layout.codes, back);
    EXPECT_TRUE(path) << layout.name;
    if (!path) return {};
    const PagePathParts parts = SplitPagePath(*path);
    const std::string name = parts.extension.empty() && path->back() != '.'
                                 ? parts.base_name
                                 : parts.base_name + "." + parts.extension;
    return DiscoveryPath(parts.directory, name);
}

std::vector<Layout> Layouts() {
    return {
        {"one level, multi-page", {"\\$1#*%.tif"}, {6}, {"DOC001"}, 1, false},
        {"worked example", {"\\$1#*%", "\\$2#*%.TIF"}, {4, 3}, {"2002", "A17"}, 2, false},
        {"fixed letters, one file per page",
         {"A$1#*%\\", "$2#*%$F#3%.tif"},
         {3, 4},
         {"123", "0007"},
         2,
         true},
        {"directory levels only shown",
         {"\\$1#*%", "\\$2#*%", "\\$3#*%$F#*%.tif"},
         {4, 6, 4},
         {"2024", "BOX017", "0042"},
         2,
         true},
        {"all levels shown with side name",
         {"\\$1#*%", "\\$2#*%", "\\$3#*%$F#*%.tif"},
         {4, 6, 4},
         {"2024", "BOX017", "0042"},
         3,
         true},
        {"prefix directory from character picks",
         {"\\$1#1%$1#2%\\$1#*%", "\\P$2#*%_$1#4%.tif"},
         {5, 3},
         {"AB123", "009"},
         2,
         false},
        {"picks after the value and a fixed letter",
         {"\\X$1#*%", "\\$2#*%-$2#2%$1#3%", "\\$3#*%$F#1%.tif"},
         {2, 3, 5},
         {"Q7", "M42", "00001"},
         3,
         true},
        {"cut at the start of a rule",
         {"\\$1#*%\\", "$-1%_$2#*%.tif"},
         {4, 3},
         {"2002", "A17"},
         2,
         false},
        {"front name literal, multi-page",
         {"\\$1#*%", "\\$2#*%$F*%.tif"},
         {3, 5},
         {"ABC", "00012"},
         2,
         false},
        {"nine levels",
         {"\\L$1#*%", "\\$2#*%", "\\$3#*%", "\\$4#*%", "\\$5#*%", "\\$6#*%", "\\$7#*%", "\\$8#*%",
          "\\$9#*%$F#3%.tif"},
         {1, 2, 3, 4, 5, 6, 7, 8, 9},
         {"A", "B2", "C33", "D444", "E5555", "F66666", "G777777", "H8888888", "I99999999"},
         9,
         true},
        {"nine levels in few directories",
         {"\\$1#*%", "$2#*%", "_$3#*%", "\\$4#*%", "$5#*%", "$6#*%", "\\$7#*%", "$8#*%",
          "$9#*%.tif"},
         {2, 2, 2, 2, 2, 2, 2, 2, 2},
         {"01", "02", "03", "04", "05", "06", "07", "08", "09"},
         9,
         false},
    };
}

TEST(DiscoveryRoundTrip, ScannedPagesComeBackWithTheirCodes) {
    const std::string root = "/work/area";
    for (const Layout& layout : Layouts()) {
        SCOPED_TRACE(layout.name);
        const CompositionJob job = JobOf(layout);
        const std::vector<std::string> shown(layout.rules.begin(),
                                             layout.rules.begin() + layout.shown);
        const DiscoveryPatterns patterns = BuildDiscoveryPatterns(root, shown, job);
        for (const SidePatterns& side : patterns.sides) {
            ASSERT_EQ(side.madre.size(), side.padre.size());
        }

        std::vector<bool> sides = {false};
        if (layout.duplex) sides.push_back(true);
        for (bool back : sides) {
            const std::string path = ScannedPath(layout, root, back);
            const auto values = MatchDiscoveryPath(path, patterns);
            ASSERT_TRUE(values) << path << " against " << patterns.sides[0].madre;
            for (std::size_t level = 0; level < kLevelSlots; ++level) {
                const std::string expected = level < layout.shown ? layout.codes[level] : "";
                EXPECT_EQ((*values)[level], expected) << "level " << level + 1;
            }
        }
    }
}

TEST(DiscoveryRoundTrip, ScanningInAnotherLayoutIsNotRecognised) {
    const Layout layout = Layouts()[1];
    const DiscoveryPatterns patterns =
        BuildDiscoveryPatterns("/work/area", layout.rules, JobOf(layout));
    // A value shorter or longer than its placeholder, another root, another fixed letter.
    EXPECT_FALSE(MatchDiscoveryPath("/work/area/202/A17.TIF", patterns));
    EXPECT_FALSE(MatchDiscoveryPath("/work/area/20021/A17.TIF", patterns));
    EXPECT_FALSE(MatchDiscoveryPath("/work/other/2002/A17.TIF", patterns));
    EXPECT_FALSE(MatchDiscoveryPath("/work/area/2002/A17.JPG", patterns));
    EXPECT_TRUE(MatchDiscoveryPath("/work/area/2002/A17.TIF", patterns));
    // The path may go on past the pattern.
    EXPECT_TRUE(MatchDiscoveryPath("/work/area/2002/A17.TIFF", patterns));
}

TEST(DiscoveryPatterns, MadreAndPadreOfTheWorkedExample) {
    CompositionJob job;
    job.widths = {4, 3};
    const std::vector<std::string> rules = {"\\$1#*%", "\\$2#*%"};
    const DiscoveryPatterns patterns = BuildDiscoveryPatterns("D:\\WORK", rules, job);
    ASSERT_EQ(patterns.sides.size(), 1u);
    EXPECT_EQ(patterns.sides[0].madre, "D:/WORK/!!!!/!!!");
    EXPECT_EQ(patterns.sides[0].padre, std::string("D:/WORK/\1\1\1\1/\2\2\2", 16));
    const auto values = MatchDiscoveryPath("D:\\WORK\\2002\\A17\\PAGE.TIF", patterns);
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[0], "2002");
    EXPECT_EQ((*values)[1], "A17");
}

TEST(MatchDiscoveryPath, IgnoresCaseAndKeepsTheDirectoryAsSearched) {
    CompositionJob job;
    job.widths = {3, 3};
    const std::vector<std::string> rules = {"\\d$1#*%", "\\$2#*%.tif"};
    const DiscoveryPatterns patterns = BuildDiscoveryPatterns("/Work", rules, job);
    const std::string path = DiscoveryPath("/work/Dabc/", "xy1.tif");
    EXPECT_EQ(path, "/work/Dabc/XY1.TIF");
    const auto values = MatchDiscoveryPath(path, patterns);
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[0], "abc");
    EXPECT_EQ((*values)[1], "XY1");
}

TEST(MatchDiscoveryPath, PatternsWithoutPlaceholdersOrShortPaths) {
    CompositionJob job;
    job.widths = {0, 2};
    const DiscoveryPatterns empty =
        BuildDiscoveryPatterns("/w", std::vector<std::string>{"\\x"}, job);
    EXPECT_FALSE(MatchDiscoveryPath("/w/x", empty));

    const std::vector<std::string> rules = {"\\$1#*%", "\\$2#*%$F#*%.tif"};
    job.front_name = job.back_name = "fro";
    const DiscoveryPatterns patterns = BuildDiscoveryPatterns("/w", rules, job);
    ASSERT_EQ(patterns.sides.size(), 1u);
    EXPECT_EQ(patterns.sides[0].madre, "/w//!!fro.tif");
    EXPECT_FALSE(MatchDiscoveryPath("/w//1", patterns));
    EXPECT_FALSE(MatchDiscoveryPath("", patterns));
    // A literal may not stand beyond the end of the path; a "?" may.
    EXPECT_FALSE(MatchDiscoveryPath("/w//12fro.ti", patterns));
    EXPECT_TRUE(MatchDiscoveryPath("/w//12fro.tif", patterns));
    const std::vector<std::string> open_end = {"\\$1#*%", "\\$2#*%??"};
    const DiscoveryPatterns ending = BuildDiscoveryPatterns("/w", open_end, job);
    EXPECT_TRUE(MatchDiscoveryPath("/w//12f", ending));
    EXPECT_TRUE(MatchDiscoveryPath("/w//12", ending));
    EXPECT_FALSE(MatchDiscoveryPath("/w//1", ending));
}

TEST(MatchDiscoveryPath, APickMustAgreeWithTheWholeValue) {
    CompositionJob job;
    job.widths = {4};
    const std::vector<std::string> rules = {"\\$1#1%\\$1#*%"};
    const DiscoveryPatterns patterns = BuildDiscoveryPatterns("/w", rules, job);
    EXPECT_TRUE(MatchDiscoveryPath("/w/A/ABCD/P.TIF", patterns));
    EXPECT_TRUE(MatchDiscoveryPath("/w/a/ABCD/P.TIF", patterns));
    EXPECT_FALSE(MatchDiscoveryPath("/w/B/ABCD/P.TIF", patterns));
}

TEST(MatchDiscoveryPath, ALevelShownOnlyByPicksKeepsItsCharactersInPlace) {
    CompositionJob job;
    job.widths = {4};
    const std::vector<std::string> rules = {"\\$1#3%$1#1%.tif"};
    const DiscoveryPatterns patterns = BuildDiscoveryPatterns("/w", rules, job);
    const auto values = MatchDiscoveryPath("/w/CA.TIF", patterns);
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[0], "A?C?");
}

}  // namespace
}  // namespace scantora
