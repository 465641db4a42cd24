#include "acquisition/naming_token.h"

#include <gtest/gtest.h>

namespace scantora {
namespace {

using Kind = RulePieceKind;

RulePiece OnlyToken(std::string_view rule) {
    const auto pieces = ScanRule(rule);
    EXPECT_EQ(pieces.size(), 1u) << rule;
    return pieces.empty() ? RulePiece{} : pieces.front();
}

TEST(ScanRule, SplitsLiteralTextAndTokens) {
    const auto pieces = ScanRule("A$1#*%\\x$F#3%.tif");
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(pieces[0].kind, Kind::kText);
    EXPECT_EQ(pieces[0].text, "A");
    EXPECT_EQ(pieces[1].kind, Kind::kLevel);
    EXPECT_EQ(pieces[2].text, "\\x");
    EXPECT_EQ(pieces[3].kind, Kind::kSideName);
    EXPECT_EQ(pieces[3].text, "$F#3%");
    EXPECT_EQ(pieces[4].text, ".tif");
}

TEST(ScanRule, UnclosedTokenEndsTheRuleAndStrayPercentIsText) {
    const auto unclosed = ScanRule("ab$1#*");
    ASSERT_EQ(unclosed.size(), 1u);
    EXPECT_EQ(unclosed[0].text, "ab");
    EXPECT_TRUE(ScanRule("$").empty());
    const auto stray = ScanRule("a%b$2#*%");
    ASSERT_EQ(stray.size(), 2u);
    EXPECT_EQ(stray[0].text, "a%b");
    EXPECT_TRUE(ScanRule("").empty());
}

TEST(ScanRule, KindIsDecidedByHashThenMinusThenF) {
    struct Case {
        const char* rule;
        Kind kind;
        long level;
        bool whole;
        long count;
    };
    const Case cases[] = {
        {"$2#*%", Kind::kLevel, 2, true, 0},     {"$1#3%", Kind::kLevel, 1, false, 3},
        {"$ 1#*%", Kind::kLevel, 1, true, 0},    {"$+1#1%", Kind::kLevel, 1, false, 1},
        {"$01#2x%", Kind::kLevel, 1, false, 2},  {"$2-#1%", Kind::kLevel, 2, false, 1},
        {"$-1#2%", Kind::kLevel, 0, false, 2},   {"$F#*%", Kind::kSideName, 0, true, 0},
        {"$F#2%", Kind::kSideName, 0, false, 2}, {"$F#-1%", Kind::kSideName, 0, false, 0},
        {"$Fx#2%", Kind::kLevel, 0, false, 2},   {"$-3%", Kind::kCut, 0, false, 3},
        {"$F-1%", Kind::kCut, 0, false, 1},      {"$1-2%", Kind::kCut, 0, false, 2},
        {"$ -1%", Kind::kCut, 0, false, 1},      {"$--2%", Kind::kCut, 0, false, 0},
        {"$F*%", Kind::kSideName, 0, true, 0},   {"$F2%", Kind::kSideName, 0, false, 2},
        {"$xF2%", Kind::kSideName, 0, false, 2}, {"$F%", Kind::kSideName, 0, false, 0},
        {"$X%", Kind::kNothing, 0, false, 0},    {"$%", Kind::kNothing, 0, false, 0},
        {"$12%", Kind::kNothing, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const RulePiece piece = OnlyToken(c.rule);
        EXPECT_EQ(piece.kind, c.kind);
        EXPECT_EQ(piece.level, c.level);
        EXPECT_EQ(piece.whole, c.whole);
        EXPECT_EQ(piece.count, c.count);
    }
}

}  // namespace
}  // namespace scantora
