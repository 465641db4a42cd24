#include "acquisition/page_name.h"

#include <gtest/gtest.h>

#include <array>

namespace scantora {
namespace {

std::string Compose(std::string path, std::string_view pattern, std::span<const std::string> codes,
                    std::size_t level, std::string_view side = "fro") {
    AppendLevelName(path, pattern, {codes, level, side});
    return path;
}

const std::array<std::string, 3> kCodes = {"XYZ", "0007", "AB"};

TEST(PageName, CopiesTextAndReplacesLevelTokens) {
    EXPECT_EQ(Compose("C:\\SCAN\\", "A$1#*%\\", kCodes, 1), "C:\\SCAN\\AXYZ\\");
    EXPECT_EQ(Compose("", "$1#2%", kCodes, 1), "Y");
    EXPECT_EQ(Compose("", "$2#*%$F#3%.tif", kCodes, 2), "0007fro.tif");
    EXPECT_EQ(Compose("", "plain\\name.tif", kCodes, 1), "plain\\name.tif");
}

TEST(PageName, SideNameForms) {
    EXPECT_EQ(Compose("", "$F#*%", kCodes, 1, "retro"), "retro");
    EXPECT_EQ(Compose("", "$F#2%", kCodes, 1, "retro"), "re");
    EXPECT_EQ(Compose("", "$F*%", kCodes, 1, "bac"), "bac");
    EXPECT_EQ(Compose("", "$F2%", kCodes, 1, "bac"), "ba");
    EXPECT_EQ(Compose("", "$F#9%", kCodes, 1, "bac"), "bac");
    EXPECT_EQ(Compose("", "$F#0%|$F%", kCodes, 1, "bac"), "|");
}

TEST(PageName, CutRemovesFromThePathBuiltSoFar) {
    EXPECT_EQ(Compose("C:\\SCAN\\ABCDEF", "$-3%", kCodes, 1), "C:\\SCAN\\ABC");
    EXPECT_EQ(Compose("AB", "$-3%", kCodes, 1), "AB");
    // The cut reaches text this pattern has just added.
    EXPECT_EQ(Compose("/r/", "QQ$-1%x", kCodes, 1), "/r/Qx");
    EXPECT_EQ(Compose("/r/", "$-0%", kCodes, 1), "/r/");
}

TEST(PageName, BadTokensYieldNothing) {
    // Deeper level than the one being composed, level 0, level 10, k of 0 or past the end.
    EXPECT_EQ(Compose("", "<$2#*%>", kCodes, 1), "<>");
    EXPECT_EQ(Compose("", "<$0#*%$10#*%$1#0%$1#4%>", kCodes, 3), "<>");
    // A level the job does not have.
    EXPECT_EQ(Compose("", "<$4#*%>", kCodes, 9), "<>");
    // Unknown tokens and an empty one.
    EXPECT_EQ(Compose("", "<$X%$%$1%$#1%>", kCodes, 1), "<>");
}

TEST(PageName, DollarWithoutPercentEndsTheComposition) {
    EXPECT_EQ(Compose("/r/", "ab$1#*", kCodes, 1), "/r/ab");
    EXPECT_EQ(Compose("/r/", "$1#*%x$", kCodes, 1), "/r/XYZx");
}

TEST(PageName, DuplexSideTokens) {
    EXPECT_TRUE(HasDuplexSideToken("$2#*%$F#3%.tif"));
    EXPECT_TRUE(HasDuplexSideToken("$F#*%"));
    EXPECT_TRUE(HasDuplexSideToken("x$F#1%"));
    EXPECT_FALSE(HasDuplexSideToken("$F#4%"));
    EXPECT_FALSE(HasDuplexSideToken("$F*%"));
    EXPECT_FALSE(HasDuplexSideToken("\\$1#*%"));
}

}  // namespace
}  // namespace scantora
