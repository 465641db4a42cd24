#include <gtest/gtest.h>

#include "config/numeric_text.h"
#include "config/text_encoding.h"

namespace scantora {
namespace {

TEST(LeadingNumber, TakesLeadingDigitsOnly) {
    EXPECT_EQ(LeadingNumber("12abc"), 12);
    EXPECT_EQ(LeadingNumber("  -7"), -7);
    EXPECT_EQ(LeadingNumber("+3"), 3);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("Y"), 0);
    EXPECT_EQ(LeadingNumber("99999999999999999999999"), LONG_MAX);
    EXPECT_EQ(LeadingNumber("-99999999999999999999999"), LONG_MIN);
}

TEST(TextEncoding, ValidUtf8PassesAndLatin1IsConverted) {
    EXPECT_EQ(ToUtf8("N\xC2\xB0 Livelli"), "N\xC2\xB0 Livelli");
    EXPECT_EQ(ToUtf8("N\xB0 Livelli"), "N\xC2\xB0 Livelli");
    EXPECT_EQ(ToUtf8("c'\xE8"), "c'\xC3\xA8");
    EXPECT_TRUE(IsValidUtf8(ToUtf8("\xFF\xFE\x80 \xC0\xAF \xED\xA0\x80")));
    EXPECT_EQ(ToUtf8(std::string("ab\0cd", 5)), "ab");
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));      // cut short
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}

TEST(TextEncoding, WidthsCountCharactersAndNeverSplitOne) {
    EXPECT_EQ(TruncateChars("abcdef", 4), "abcd");
    EXPECT_EQ(TruncateChars("\xC3\xA8\xC3\xA8\xC3\xA8", 2), "\xC3\xA8\xC3\xA8");
    EXPECT_EQ(TruncateChars("ab", 9), "ab");
    EXPECT_EQ(TruncateChars("ab", 0), "");
    EXPECT_EQ(CharCount("\xC3\xA8x"), 2u);
    EXPECT_EQ(FieldValue("\xE8\xE8\xE8\xE8\xE8", 4), "\xC3\xA8\xC3\xA8\xC3\xA8\xC3\xA8");
}

TEST(TextEncoding, BytesThatAreNoUtf8CountOneCharacterEach) {
    // A stray continuation byte, a lead byte cut short and an overlong form: one character per
    // byte, while the valid characters around them stay whole.
    const std::string mixed = "\x80\xC3\xA8\xE2\x82x\xC0\xAF";
    EXPECT_EQ(CharCount(mixed), 7u);
    EXPECT_EQ(CharSizeAt(mixed, 0), 1u);
    EXPECT_EQ(CharSizeAt(mixed, 1), 2u);
    EXPECT_EQ(CharSizeAt(mixed, 3), 1u);
    EXPECT_EQ(CharSizeAt(mixed, mixed.size()), 0u);
    EXPECT_EQ(TruncateChars(mixed, 2), "\x80\xC3\xA8");
}

TEST(TextEncoding, LongUtf8ValuesStayUtf8WhenCut) {
    std::string euros;
    for (int i = 0; i < 1000; ++i)
        euros += "\xE2\x82\xAC";
    const std::string value = FieldValue(euros, 3);
    EXPECT_EQ(value, "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
    EXPECT_EQ(FieldValue(std::string(1000, 'a') + "\xE8", 5), "aaaaa");
    EXPECT_EQ(WithoutIncompleteTail("ab\xE2\x82"), "ab");
    EXPECT_EQ(WithoutIncompleteTail("ab\xE2\x82\xAC"), "ab\xE2\x82\xAC");
    EXPECT_EQ(WithoutIncompleteTail("ab\xC3"), "ab");
    EXPECT_EQ(WithoutIncompleteTail(""), "");
}

}  // namespace
}  // namespace scantora
