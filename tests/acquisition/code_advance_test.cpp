#include "acquisition/code_advance.h"

#include <gtest/gtest.h>

namespace scantora {
namespace {

TEST(AdvanceCode, StepsTheTrailingNumberAndPadsToTheWidth) {
    EXPECT_EQ(AdvanceCode("0099", 4, +1), "0100");
    EXPECT_EQ(AdvanceCode("A0009", 5, +1), "A0010");
    EXPECT_EQ(AdvanceCode("A0100", 5, -1), "A0099");
    EXPECT_EQ(AdvanceCode("7", 4, 0), "0007");
    EXPECT_EQ(AdvanceCode("X7", 4, 0), "X007");
    EXPECT_EQ(AdvanceCode("9", 1, +1), "10");
    EXPECT_EQ(AdvanceCode("12AB0", 6, +1), "12AB01");
}

TEST(AdvanceCode, LeavesCodesWithoutNumberOrGoingNegativeUnchanged) {
    EXPECT_EQ(AdvanceCode("ABC", 4, +1), "ABC");
    EXPECT_EQ(AdvanceCode("", 4, +1), "");
    EXPECT_EQ(AdvanceCode("0000", 4, -1), "0000");
    EXPECT_EQ(AdvanceCode("A0", 4, -1), "A0");
}

TEST(AdvanceCode, HandlesWidthsOfZeroAndPrefixesWiderThanTheWidth) {
    EXPECT_EQ(AdvanceCode("0099", 0, +1), "100");
    EXPECT_EQ(AdvanceCode("ABCDE7", 3, 0), "ABCDE7");
    EXPECT_EQ(AdvanceCode("ABCDE7", 3, +1), "ABCDE8");
    // More digits than the width: the number keeps its digits, leading zeros go.
    EXPECT_EQ(AdvanceCode("00000123", 4, 0), "0123");
}

TEST(AdvanceCode, WorksOnNumbersBeyondAnyIntegerType) {
    EXPECT_EQ(AdvanceCode("99999999999999999999999", 0, +1), "100000000000000000000000");
    EXPECT_EQ(AdvanceCode("100000000000000000000000", 24, -1), "099999999999999999999999");
}

TEST(AdvanceCode, CountsCharactersAndPadsAtMostToALevelValue) {
    EXPECT_EQ(AdvanceCode("À1", 5, 0), "À0001");
    EXPECT_EQ(AdvanceCode("CITTÀ9", 7, +1), "CITTÀ10");
    EXPECT_EQ(AdvanceCode("7", 999999999, 0), std::string(198, '0') + "7");
    EXPECT_EQ(AdvanceCode("A1", 250, 0).size(), 199u);
}

TEST(StepOfOperation, ReadsTheFirstCharacter) {
    EXPECT_EQ(StepOfOperation("+"), 1);
    EXPECT_EQ(StepOfOperation("-"), -1);
    EXPECT_EQ(StepOfOperation(""), 0);
    EXPECT_EQ(StepOfOperation("x+"), 0);
}

TEST(TrimEntry, RemovesBlanksAroundAndLooksAtNinetyCharacters) {
    EXPECT_EQ(TrimEntry("  A12 "), "A12");
    EXPECT_EQ(TrimEntry("\tA 1\t"), "A 1");
    EXPECT_EQ(TrimEntry("   "), "");
    const std::string long_entry = std::string(89, 'x') + "  tail";
    EXPECT_EQ(TrimEntry(long_entry), std::string(89, 'x'));
    // Ninety characters, not bytes, and none split.
    std::string letters;
    for (int i = 0; i < 100; ++i)
        letters += "è";
    EXPECT_EQ(TrimEntry(letters), letters.substr(0, 180));
}

}  // namespace
}  // namespace scantora
