// Every code of the T.4 lists, transcribed here as bit strings, decodes through the lookup
// tables to its run length or mode and consumes exactly its bits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/decode/bilevel/bit_reader.h"
#include "imaging/decode/bilevel/fax_tables.h"
#include "imaging/decode/bilevel/line_codings.h"
#include "tests/imaging/decode/bilevel_pages.h"

namespace pixdoc::bilevel {
namespace {

const char* const kWhiteTerm[64] = {
    "00110101", "000111",   "0111",     "1000",     "1011",     "1100",     "1110",     "1111",
    "10011",    "10100",    "00111",    "01000",    "001000",   "000011",   "110100",   "110101",
    "101010",   "101011",   "0100111",  "0001100",  "0001000",  "0010111",  "0000011",  "0000100",
    "0101000",  "0101011",  "0010011",  "0100100",  "0011000",  "00000010", "00000011", "00011010",
    "00011011", "00010010", "00010011", "00010100", "00010101", "00010110", "00010111", "00101000",
    "00101001", "00101010", "00101011", "00101100", "00101101", "00000100", "00000101", "00001010",
    "00001011", "01010010", "01010011", "01010100", "01010101", "00100100", "00100101", "01011000",
    "01011001", "01011010", "01011011", "01001010", "01001011", "00110010", "00110011", "00110100"};
const char* const kWhiteMakeUp[27] = {
    "11011",     "10010",     "010111",    "0110111",   "00110110",  "00110111",  "01100100",
    "01100101",  "01101000",  "01100111",  "011001100", "011001101", "011010010", "011010011",
    "011010100", "011010101", "011010110", "011010111", "011011000", "011011001", "011011010",
    "011011011", "010011000", "010011001", "010011010", "011000",    "010011011"};
const char* const kBlackTerm[64] = {
    "0000110111",   "010",          "11",           "10",           "011",          "0011",
    "0010",         "00011",        "000101",       "000100",       "0000100",      "0000101",
    "0000111",      "00000100",     "00000111",     "000011000",    "0000010111",   "0000011000",
    "0000001000",   "00001100111",  "00001101000",  "00001101100",  "00000110111",  "00000101000",
    "00000010111",  "00000011000",  "000011001010", "000011001011", "000011001100", "000011001101",
    "000001101000", "000001101001", "000001101010", "000001101011", "000011010010", "000011010011",
    "000011010100", "000011010101", "000011010110", "000011010111", "000001101100", "000001101101",
    "000011011010", "000011011011", "000001010100", "000001010101", "000001010110", "000001010111",
    "000001100100", "000001100101", "000001010010", "000001010011", "000000100100", "000000110111",
    "000000111000", "000000100111", "000000101000", "000001011000", "000001011001", "000000101011",
    "000000101100", "000001011010", "000001100110", "000001100111"};
const char* const kBlackMakeUp[27] = {
    "0000001111",    "000011001000",  "000011001001",  "000001011011",  "000000110011",
    "000000110100",  "000000110101",  "0000001101100", "0000001101101", "0000001001010",
    "0000001001011", "0000001001100", "0000001001101", "0000001110010", "0000001110011",
    "0000001110100", "0000001110101", "0000001110110", "0000001110111", "0000001010010",
    "0000001010011", "0000001010100", "0000001010101", "0000001011010", "0000001011011",
    "0000001100100", "0000001100101"};
const char* const kExtended[13] = {"00000001000",  "00000001100",  "00000001101",  "000000010010",
                                   "000000010011", "000000010100", "000000010101", "000000010110",
                                   "000000010111", "000000011100", "000000011101", "000000011110",
                                   "000000011111"};

using testing::Pack;
constexpr size_t kSlack = 8;  // zero bytes after a code, as after a real line

// Decodes one run from the bit string; returns the run and the bits consumed.
std::pair<int, int> DecodeRun(const std::string& code, int colour) {
    std::vector<uint8_t> data = Pack(code, kSlack);
    BitReader bits(data.data(), int32_t(data.size()), BitPosition{});
    const int run = ReadRunLength(bits, colour, 1 << 14);
    const BitPosition at = bits.Save();
    return {run, at.position * 8 - at.bit_count};
}

TEST(FaxCodes, EveryTerminatingCodeDecodes) {
    for (int run = 0; run < 64; ++run) {
        EXPECT_EQ(DecodeRun(kWhiteTerm[run], 0), std::make_pair(run, int(strlen(kWhiteTerm[run]))))
            << "white " << run;
        EXPECT_EQ(DecodeRun(kBlackTerm[run], 1), std::make_pair(run, int(strlen(kBlackTerm[run]))))
            << "black " << run;
    }
}

TEST(FaxCodes, EveryMakeUpCodeDecodesWithATerminatingCode) {
    for (int i = 0; i < 27; ++i) {
        const int run = 64 * (i + 1);
        const std::string white = std::string(kWhiteMakeUp[i]) + kWhiteTerm[5];
        const std::string black = std::string(kBlackMakeUp[i]) + kBlackTerm[5];
        EXPECT_EQ(DecodeRun(white, 0), std::make_pair(run + 5, int(white.size()))) << run;
        EXPECT_EQ(DecodeRun(black, 1), std::make_pair(run + 5, int(black.size()))) << run;
    }
}

TEST(FaxCodes, ExtendedMakeUpCodesServeBothColoursAndChain) {
    for (int i = 0; i < 13; ++i) {
        const int run = 1792 + 64 * i;
        const std::string white = std::string(kExtended[i]) + kWhiteTerm[63];
        const std::string black = std::string(kExtended[i]) + kBlackTerm[0];
        EXPECT_EQ(DecodeRun(white, 0), std::make_pair(run + 63, int(white.size()))) << run;
        EXPECT_EQ(DecodeRun(black, 1), std::make_pair(run, int(black.size()))) << run;
    }
    // Long runs chain make-up codes: 2560 + 2560 + 1728 + 1.
    const std::string chained =
        std::string(kExtended[12]) + kExtended[12] + kWhiteMakeUp[26] + kWhiteTerm[1];
    EXPECT_EQ(DecodeRun(chained, 0).first, 2560 + 2560 + 1728 + 1);
}

TEST(FaxCodes, EolZerosAndTheOtherColoursCodesAreNoRun) {
    for (const char* code : {"000000000001", "0000000000000000"})
        for (int colour : {0, 1})
            EXPECT_EQ(DecodeRun(code, colour).first, -1) << code << " colour " << colour;
    // Nothing of a rejected code is consumed.
    EXPECT_EQ(DecodeRun("000000000001", 0).second, 0);
    // A make-up sum beyond the allowed length stops.
    std::vector<uint8_t> data = Pack(std::string(kWhiteMakeUp[26]) + kWhiteTerm[0], kSlack);
    BitReader bits(data.data(), int32_t(data.size()), BitPosition{});
    EXPECT_EQ(ReadRunLength(bits, 0, 1727), -1);
}

TEST(FaxCodes, EveryModeCodeDispatchesOnEightBits) {
    const struct {
        const char* code;
        Mode mode;
    } kModes[] = {{"0001", Mode::kPass},        {"001", Mode::kHorizontal}, {"1", Mode::kV0},
                  {"011", Mode::kVR1},          {"000011", Mode::kVR2},     {"0000011", Mode::kVR3},
                  {"010", Mode::kVL1},          {"000010", Mode::kVL2},     {"0000010", Mode::kVL3},
                  {"0000001", Mode::kExtension}};
    int covered = 0;
    for (const auto& m : kModes) {
        const int len = int(strlen(m.code));
        const int base = std::stoi(m.code, nullptr, 2) << (8 - len);
        for (int tail = 0; tail < (1 << (8 - len)); ++tail) {
            const ModeEntry e = Tables().modes[base | tail];
            EXPECT_EQ(e.mode, m.mode) << m.code;
            EXPECT_EQ(e.length, len) << m.code;
            ++covered;
        }
    }
    EXPECT_EQ(covered, 254);  // all but 00000000 and 00000001 (an EOL prefix)
    EXPECT_EQ(Tables().modes[0].mode, Mode::kInvalid);
    EXPECT_EQ(Tables().modes[1].mode, Mode::kInvalid);
}

}  // namespace
}  // namespace pixdoc::bilevel
