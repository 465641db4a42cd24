#include "acquisition/name_composition.h"

#include <gtest/gtest.h>

#include <array>

#include "acquisition/naming_text.h"
#include "acquisition/naming_token.h"

namespace scantora {
namespace {

std::string Compose(std::string_view path, std::string_view rule,
                    std::span<const std::string> values, std::size_t level,
                    std::string_view side = "fro") {
    ComposedName composed = ComposedOf(path);
    AppendComposition(composed, rule, {values, side}, level);
    return TextOf(composed);
}

const std::array<std::string, 3> kCodes = {"XYZ", "0007", "AB"};

TEST(NameComposition, CopiesTextAndReplacesLevelTokens) {
    EXPECT_EQ(Compose("C:\\SCAN\\", "A$1#*%\\", kCodes, 1), "C:\\SCAN\\AXYZ\\");
    EXPECT_EQ(Compose("", "$1#2%", kCodes, 1), "Y");
    EXPECT_EQ(Compose("", "$2#*%$F#3%.tif", kCodes, 2), "0007fro.tif");
    EXPECT_EQ(Compose("", "plain\\name.tif", kCodes, 1), "plain\\name.tif");
}

TEST(NameComposition, SideNameInEverySpelling) {
    EXPECT_EQ(Compose("", "$F#*%", kCodes, 1, "retro"), "retro");
    EXPECT_EQ(Compose("", "$F#2%", kCodes, 1, "retro"), "re");
    EXPECT_EQ(Compose("", "$F*%", kCodes, 1, "bac"), "bac");
    EXPECT_EQ(Compose("", "$F2%", kCodes, 1, "bac"), "ba");
    EXPECT_EQ(Compose("", "$F#9%", kCodes, 1, "bac"), "bac");
    EXPECT_EQ(Compose("", "$F#0%|$F%", kCodes, 1, "bac"), "|");
    EXPECT_EQ(Compose("", "$F#2%", kCodes, 1, "ÀÈÌ"), "ÀÈ");
}

TEST(NameComposition, CutTakesFromTheReceivedPathWhereverItStands) {
    EXPECT_EQ(Compose("C:\\SCAN\\ABCDEF", "$-3%", kCodes, 1), "C:\\SCAN\\ABC");
    EXPECT_EQ(Compose("AB", "$-3%", kCodes, 1), "AB");
    EXPECT_EQ(Compose("AB", "$-2%", kCodes, 1), "");
    // The rule's own text is never cut, before or after the token.
    EXPECT_EQ(Compose("/r/", "QQ$-1%x", kCodes, 1), "/rQQx");
    EXPECT_EQ(Compose("/r/AB", "$1#*%$-1%", kCodes, 1), "/r/AXYZ");
    EXPECT_EQ(Compose("/r/", "$-0%", kCodes, 1), "/r/");
    // Cuts add up, and count characters.
    EXPECT_EQ(Compose("/r/CITTÀ", "$-1%$-1%x", kCodes, 1), "/r/CITx");
}

TEST(NameComposition, BadTokensYieldNothing) {
    // Deeper level than the one being composed, level 0, level 10, k of 0 or past the end.
    EXPECT_EQ(Compose("", "<$2#*%>", kCodes, 1), "<>");
    EXPECT_EQ(Compose("", "<$0#*%$10#*%$1#0%$1#4%>", kCodes, 3), "<>");
    // A level without a value, and one beyond the nine.
    EXPECT_EQ(Compose("", "<$4#*%>", kCodes, 9), "<>");
    const std::array<std::string, 10> ten = {"", "", "", "", "", "", "", "", "", "tenth"};
    EXPECT_EQ(Compose("", "<$10#*%>", ten, 10), "<>");
    // Tokens without meaning and an empty one.
    EXPECT_EQ(Compose("", "<$X%$%$1%$#1%>", kCodes, 1), "<>");
}

TEST(NameComposition, DollarWithoutPercentEndsTheComposition) {
    EXPECT_EQ(Compose("/r/", "ab$1#*", kCodes, 1), "/r/ab");
    EXPECT_EQ(Compose("/r/", "$1#*%x$", kCodes, 1), "/r/XYZx");
}

TEST(NameComposition, PicksCountCharactersAndNeverSplitOne) {
    const std::array<std::string, 1> codes = {"ÀBC"};
    EXPECT_EQ(Compose("", "$1#1%|$1#2%|$1#*%", codes, 1), "À|B|ÀBC");
    // A byte that is no UTF-8 counts as one character of its own.
    const std::array<std::string, 1> latin1 = {
        "\xC0"
        "BC"};
    EXPECT_EQ(Compose("", "$1#2%", latin1, 1), "B");
}

TEST(NameComposition, TextsStayWithinTheirBoundsAndSayWhenTheyDidNot) {
    const std::array<std::string, 1> long_value = {std::string(500, 'v')};
    ComposedName path;
    // A value gives at most kMaxLevelValue characters; two of them still fit one rule...
    EXPECT_TRUE(AppendComposition(path, "$1#*%", {long_value, ""}, 1));
    EXPECT_EQ(path.size(), kMaxLevelValue);
    // ...but not the path.
    EXPECT_FALSE(AppendComposition(path, "$1#*%", {long_value, ""}, 1));
    EXPECT_EQ(path.size(), kMaxPathText);
    path.clear();
    EXPECT_FALSE(AppendComposition(path, "$1#*%$1#*%", {long_value, ""}, 1));
    EXPECT_EQ(path.size(), kMaxComposedText);
    // The provenance of every character goes with it.
    path = ComposedOf("/");
    AppendComposition(path, "$1#3%", {long_value, ""}, 1);
    EXPECT_EQ(path.back().level, 1);
    EXPECT_EQ(path.back().index, 2);
    EXPECT_EQ(path.front().level, 0);
}

TEST(HasDuplexSideToken, OnlyTheHoldingSpellingsAsTokens) {
    EXPECT_TRUE(HasDuplexSideToken("$2#*%$F#3%.tif"));
    EXPECT_TRUE(HasDuplexSideToken("$F#*%"));
    EXPECT_TRUE(HasDuplexSideToken("x$F#1%"));
    EXPECT_FALSE(HasDuplexSideToken("$F#4%"));
    EXPECT_FALSE(HasDuplexSideToken("$F*%"));
    EXPECT_FALSE(HasDuplexSideToken("\\$1#*%"));
    // Inside another token the spelling is no token of its own.
    EXPECT_FALSE(HasDuplexSideToken("$1#$F#1%"));
}

}  // namespace
}  // namespace scantora
