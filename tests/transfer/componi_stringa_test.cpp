#include "transfer/componi_stringa.h"

#include <gtest/gtest.h>

namespace scantora {
namespace {

class ComponiStringaTest : public ::testing::Test {
protected:
    void SetUp() override {
        job_.widths = {4, 3};
        job_.front_name = "fro";
        table_.Set(0, "2002");
        table_.Set(1, "A17");
    }
    std::string Compose(std::string path, std::string_view rule, std::string_view mode = "FIGLIO",
                        std::size_t level = kLevelSlots) {
        COMPONI_STRINGA(path, rule, mode, table_, job_, level);
        return path;
    }
    CompositionJob job_;
    LevelValueTable table_;
};

TEST_F(ComponiStringaTest, WorkedExampleInAllThreeModes) {
    std::string path = "D:\\WORK";
    COMPONI_STRINGA(path, "\\$1#*%", kModeFiglio, table_, job_);
    COMPONI_STRINGA(path, "\\$2#*%", kModeFiglio, table_, job_);
    EXPECT_EQ(path, "D:\\WORK\\2002\\A17");

    path = "D:\\WORK";
    COMPONI_STRINGA(path, "\\$1#*%", kModeMadre, table_, job_);
    COMPONI_STRINGA(path, "\\$2#*%", kModeMadre, table_, job_);
    EXPECT_EQ(path, "D:\\WORK\\!!!!\\!!!");

    path = "D:\\WORK";
    COMPONI_STRINGA(path, "\\$1#*%", kModePadre, table_, job_);
    COMPONI_STRINGA(path, "\\$2#*%", kModePadre, table_, job_);
    EXPECT_EQ(path, std::string("D:\\WORK\\\1\1\1\1\\\2\2\2", 16));
    // PADRE mode has overwritten the table for every slot.
    EXPECT_EQ(table_.Get(8), "");
    EXPECT_EQ(table_.Get(1), std::string("\2\2\2"));
}

TEST_F(ComponiStringaTest, CharacterPicksCountFromOne) {
    EXPECT_EQ(Compose("", "$1#3%$1#4%"), "02");
    EXPECT_EQ(Compose("", "$1#1%"), "2");
    EXPECT_EQ(Compose("", "<$1#5%$1#0%$1#199%$1#9999999999999%>"), "<>");
}

TEST_F(ComponiStringaTest, CutWorksOnTheReceivedPathOnly) {
    EXPECT_EQ(Compose("D:\\WORK\\2002", "$-1%"), "D:\\WORK\\200");
    // This rule's own text is not cut: the cut acts on the received path, then the text follows.
    EXPECT_EQ(Compose("/r/AB", "XY$-1%Z"), "/r/AXYZ");
    EXPECT_EQ(Compose("/r/AB", "$2#*%$-2%"), "/r/A17");
    EXPECT_EQ(Compose("AB", "$-3%"), "AB");
    EXPECT_EQ(Compose("AB", "$-2%"), "");
}

TEST_F(ComponiStringaTest, RulesWithoutTokensAndUnclosedTokens) {
    EXPECT_EQ(Compose("/r", "\\plain"), "/r\\plain");
    EXPECT_EQ(Compose("/r", "\\ab$1#*"), "/r\\ab");
    EXPECT_EQ(Compose("/r", "$1#*%x$"), "/r2002x");
    // A "%" ahead of any "$" is plain text and copied once.
    EXPECT_EQ(Compose("", "a%b$2#*%"), "a%bA17");
    EXPECT_EQ(Compose("", "a%b"), "a%b");
}

TEST_F(ComponiStringaTest, KindIsDecidedByHashThenMinusThenF) {
    EXPECT_EQ(Compose("", "$F*%"), "fro");
    EXPECT_EQ(Compose("", "$F2%"), "fr");
    EXPECT_EQ(Compose("", "$F9%"), "fro");
    // "-" before "F": a cut of the number after the "-".
    EXPECT_EQ(Compose("ABCD", "$F-2%"), "AB");
    EXPECT_EQ(Compose("ABCD", "$1-2%"), "AB");
    EXPECT_EQ(Compose("ABCD", "$ -1%"), "ABC");
    // "#" before "-": a level token whose level reads as 0, so nothing.
    EXPECT_EQ(Compose("ABCD", "$-1#2%"), "ABCD");
    // "#" first: n is read before the "#"; "2-" reads as level 2.
    EXPECT_EQ(Compose("", "$2-#1%"), "A");
    // Unknown tokens.
    EXPECT_EQ(Compose("", "<$X%$%$12%>"), "<>");
}

TEST_F(ComponiStringaTest, SideNameFormsGiveTheFrontNameInEveryMode) {
    job_.back_name = "BACK";
    for (std::string_view mode : {kModeFiglio, kModeMadre, kModePadre}) {
        EXPECT_EQ(Compose("", "$F#*%", mode), "fro");
        EXPECT_EQ(Compose("", "$F#2%", mode), "fr");
        EXPECT_EQ(Compose("", "$F#7%", mode), "fro");
        EXPECT_EQ(Compose("", "$F#0%", mode), "");
    }
}

TEST_F(ComponiStringaTest, LevelReferencesOutsideTheTableOrDeeperThanTheRule) {
    EXPECT_EQ(Compose("", "<$0#*%$10#*%$-1#*%>"), "<>");
    EXPECT_EQ(Compose("", "<$2#*%>", kModeFiglio, 1), "<>");
    EXPECT_EQ(Compose("", "<$1#*%>", kModeFiglio, 1), "<2002>");
    EXPECT_EQ(Compose("", "<$2#*%>", kModeMadre, 1), "<>");
}

TEST_F(ComponiStringaTest, ModeTextIsComparedExactly) {
    EXPECT_EQ(Compose("", "$1#*%", "madre"), "2002");
    EXPECT_EQ(Compose("", "$1#*%", "MADRE "), "2002");
    EXPECT_EQ(Compose("", "$1#*%", "MADRE"), "!!!!");
}

TEST_F(ComponiStringaTest, WidthsSizeThePlaceholders) {
    job_.widths = {0, 250, 2};
    EXPECT_EQ(Compose("", "[$1#*%]", kModeMadre), "[]");
    EXPECT_EQ(Compose("", "$2#*%", kModeMadre), std::string(kMaxLevelValue, '!'));
    EXPECT_EQ(Compose("", "[$3#*%]", kModePadre), "[\3\3]");
}

TEST_F(ComponiStringaTest, WorkingTextAndPathStayWithinTheirBuffers) {
    table_.Set(0, std::string(500, 'v'));
    EXPECT_EQ(table_.Get(0).size(), kMaxLevelValue);
    table_.Set(2, std::string(198, 'v') + "ÀÀ");
    EXPECT_EQ(table_.Get(2), std::string(198, 'v') + "À");
    // Two whole values would be 398 characters: the working text keeps 299.
    EXPECT_EQ(Compose("", "$1#*%$1#*%").size(), kMaxComposedText);
    // The path keeps at most 299 characters however long it grows.
    const std::string long_path(290, 'p');
    const std::string composed = Compose(long_path, "$1#*%");
    EXPECT_EQ(composed.size(), 299u);
    EXPECT_EQ(composed.substr(0, 290), long_path);
    EXPECT_EQ(Compose(std::string(400, 'p'), "x").size(), 299u);
    // Characters, not bytes: 299 two-byte letters, none of them split.
    std::string letters;
    for (int i = 0; i < 400; ++i)
        letters += "À";
    EXPECT_EQ(Compose(letters, ""), letters.substr(0, 2 * 299));
}

TEST(LevelValueTable, IgnoresSlotsOutsideTheTable) {
    LevelValueTable table;
    table.Set(9, "x");
    EXPECT_EQ(table.Get(9), "");
    table.Set(8, "nine");
    EXPECT_EQ(table.Get(8), "nine");
    table.Clear();
    EXPECT_EQ(table.Get(8), "");
}

}  // namespace
}  // namespace scantora
