#include "imaging/barcode/result_filter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace pixdoc::barcode {
namespace {

Candidate Read(const char* text, int start, int end) {
    Candidate c;
    std::strncpy(c.text, text, kCandidateCapacity - 1);
    c.start_column = start;
    c.end_column = end;
    return c;
}

FilterSettings Zone(int height, int max_results = 32) {
    FilterSettings s;
    s.zone_height = height;
    s.max_results = max_results;
    return s;
}

TEST(ResultFilter, ZoneHeightJudgesDuplicatesByPosition) {
    char buffer[512];
    ResultFilter filter(buffer, sizeof buffer, Zone(40));
    int accepted = 0;
    // One symbol read on 30 consecutive lines, drifting one pixel right every 3 lines (skew).
    for (int line = 100; line < 130; ++line) {
        int drift = (line - 100) / 3;
        accepted += filter.Offer(Read("*ABC*", 200 + drift, 400 + drift), {line, 1, 4});
        // The same text printed 200 pixels further right on the same lines.
        accepted += filter.Offer(Read("*ABC*", 600 + drift, 800 + drift), {line, 1, 4});
    }
    EXPECT_EQ(accepted, 2);
    EXPECT_EQ(std::string(buffer), "*ABC**ABC*");
    // Forty lines after the first read the zone has passed: the symbol is a new read.
    EXPECT_FALSE(filter.Offer(Read("*ABC*", 200, 400), {139, 1, 4}));
    EXPECT_TRUE(filter.Offer(Read("*ABC*", 200, 400), {140, 1, 4}));
}

TEST(ResultFilter, DuplicateEntriesWidenOnePixelPerFourLines) {
    char buffer[256];
    ResultFilter filter(buffer, sizeof buffer, Zone(100));
    ASSERT_TRUE(filter.Offer(Read("*A*", 100, 200), {10, 1, 4}));
    // Stored as 84..216; eight lines later widened by 2 to 82..218.
    EXPECT_FALSE(filter.Offer(Read("*A*", 82, 218), {18, 1, 4}));
    EXPECT_TRUE(filter.Offer(Read("*A*", 81, 218), {18, 1, 4}));
}

TEST(ResultFilter, ZoneZeroComparesOnFiveBits) {
    char buffer[256];
    ResultFilter filter(buffer, sizeof buffer, Zone(0));
    EXPECT_TRUE(filter.Offer(Read("*1*", 10, 50), {5, 1, 4}));
    EXPECT_FALSE(filter.Offer(Read("*Q*", 500, 550), {900, 1, 4})) << "1 and Q agree on 5 bits";
    EXPECT_FALSE(filter.Offer(Read("*1*", 10, 50), {6, 1, 4}));
    EXPECT_TRUE(filter.Offer(Read("*2*", 10, 50), {7, 1, 4}));
    EXPECT_EQ(std::string(buffer), "*1**2*");
}

TEST(ResultFilter, MinimumLengthCountsDataCharacters) {
    char buffer[256];
    FilterSettings s = Zone(0);
    s.min_length = 4;
    ResultFilter filter(buffer, sizeof buffer, s);
    EXPECT_FALSE(filter.Offer(Read("*ABC*", 0, 10), {1, 1, 4}));
    EXPECT_TRUE(filter.Offer(Read("*ABCD*", 0, 10), {1, 1, 4}));
}

TEST(ResultFilter, InsertDataAppendsThePositionSuffix) {
    char buffer[256];
    FilterSettings s = Zone(10);
    s.insert_data = true;
    ResultFilter filter(buffer, sizeof buffer, s);
    ASSERT_TRUE(filter.Offer(Read("*AB*", 12, 345), {67, 512, 5}));
    EXPECT_EQ(std::string(buffer), "*AB*<12,345,67,512,5>");
}

TEST(ResultFilter, ReadThatDoesNotFitIsDroppedWithoutOverflow) {
    struct {
        char buffer[12];
        char guard[8];
    } mem;
    std::memset(mem.guard, 0x5a, sizeof mem.guard);
    ResultFilter filter(mem.buffer, sizeof mem.buffer, Zone(0));
    EXPECT_TRUE(filter.Offer(Read("*ABCD*", 0, 10), {1, 1, 4}));  // 6 + 0 < 12
    EXPECT_FALSE(filter.Offer(Read("*EFGHI*", 0, 10), {2, 1, 4})) << "6 + 7 >= 12";
    EXPECT_TRUE(filter.Offer(Read("*EFG*", 0, 10), {3, 1, 4}));  // 5 + 6 = 11 < 12
    EXPECT_EQ(std::string(mem.buffer), "*ABCD**EFG*");
    for (char g : mem.guard)
        EXPECT_EQ(g, 0x5a);
}

TEST(ResultFilter, SuffixThatDoesNotFitIsDroppedAndTheTextStays) {
    char buffer[16];
    FilterSettings s = Zone(0);
    s.insert_data = true;
    ResultFilter filter(buffer, sizeof buffer, s);
    EXPECT_TRUE(filter.Offer(Read("*AB*", 1000, 2000), {300, 1, 4}));
    EXPECT_EQ(std::string(buffer), "*AB*");
}

TEST(ResultFilter, NoBufferAcceptsNothing) {
    ResultFilter none(nullptr, 100, Zone(0));
    EXPECT_FALSE(none.Offer(Read("*AB*", 0, 1), {1, 1, 4}));
    char untouched[4] = {'x', 'y', 'z', '\0'};
    ResultFilter zero(untouched, 0, Zone(0));
    EXPECT_FALSE(zero.Offer(Read("*AB*", 0, 1), {1, 1, 4}));
    EXPECT_STREQ(untouched, "xyz");
}

}  // namespace
}  // namespace pixdoc::barcode
