#include "app/command_line.h"

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::ScratchDir;
using testing::WriteFile;

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(dir_ / "Scantora.ini",
                  "SHOWMESSAGGI=1\r\nNOME=JOB10\r\nFILEINI=C:\\s\\P_G32001\r\n"
                  "NOME=JOB1\r\nFILEINI=C:\\s\\P_G32002\r\nLINGUAGGIO=x.lang\r\n");
    }
    CommandLineResult Apply(const std::string& line) {
        return ApplyCommandLine(line, dir_ / "Scantora.ini");
    }
    ScratchDir dir_;
};

TEST_F(CommandLineTest, WithoutAppNothingIsTaken) {
    const auto result = Apply("LEVELS=A,B BC=1");
    EXPECT_EQ(result.job_file_path, "");
    EXPECT_EQ(result.preset_levels[0], "");
    EXPECT_FALSE(result.barcode_overrides.barcode);
    EXPECT_FALSE(result.show_messages);
    EXPECT_FALSE(ParseJobRequest("LEVELS=A").has_value());
}

TEST_F(CommandLineTest, RegisteredJobTakesLevelsSkippingEmptyCodes) {
    const auto result = Apply("APP=JOB1 LEVELS=A,,B");
    EXPECT_EQ(result.job_file_path, "C:\\s\\P_G32002");
    EXPECT_EQ(result.preset_levels[0], "A");
    EXPECT_EQ(result.preset_levels[1], "B");
    EXPECT_EQ(result.preset_levels[2], "");
    EXPECT_TRUE(result.show_messages);
    EXPECT_FALSE(result.language_file.has_value());  // it comes after the job's lines
}

TEST_F(CommandLineTest, UnregisteredJobIgnoresItsItems) {
    const auto result = Apply("APP=JOB2 LEVELS=A BC=1 BC_TYPE=4");
    EXPECT_EQ(result.job_file_path, "");
    EXPECT_EQ(result.preset_levels[0], "");
    EXPECT_FALSE(result.barcode_overrides.barcode);
    EXPECT_FALSE(result.barcode_overrides.barcodeval);
    EXPECT_EQ(Apply("APP= LEVELS=A").job_file_path, "");
}

TEST_F(CommandLineTest, JobNameMustMatchWhole) {
    EXPECT_EQ(Apply("APP=JOB10").job_file_path, "C:\\s\\P_G32001");
    EXPECT_EQ(Apply("  APP=JOB1  ").job_file_path, "C:\\s\\P_G32002");
    EXPECT_EQ(Apply("APP=JOB").job_file_path, "");
}

TEST_F(CommandLineTest, BarcodeItemsAndBounds) {
    const std::string long_code(40, 'x');
    const auto result = Apply("APP=JOB1 BC=1x BC_EXPORT=out.txt BC_TYPE=1025 LEVELS=" + long_code +
                              ",2,3,4,5,6,7,8,9,10,11");
    EXPECT_EQ(result.barcode_overrides.barcode, "1");
    EXPECT_EQ(result.barcode_overrides.nomefilebarcode, "out.txt");
    EXPECT_EQ(result.barcode_overrides.barcodeval, "1025");
    EXPECT_EQ(result.preset_levels[0], std::string(kPresetCodeChars, 'x'));
    EXPECT_EQ(result.preset_levels[8], "9");

    const auto empty = Apply("APP=JOB1 BC= BC_EXPORT= BC_TYPE=");
    EXPECT_FALSE(empty.barcode_overrides.barcode);
    EXPECT_FALSE(empty.barcode_overrides.nomefilebarcode);
    EXPECT_FALSE(empty.barcode_overrides.barcodeval);
    // "BC=" is an item of its own, not the end of "XBC=".
    EXPECT_FALSE(Apply("APP=JOB1 XBC=1").barcode_overrides.barcode);
}

TEST(CommandLine, JobRequestTrimsNameAndOptions) {
    const auto request = ParseJobRequest("--x APP=JOB1\tLEVELS=A ");
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->job_name, "JOB1");
    EXPECT_EQ(request->options, "APP=JOB1\tLEVELS=A");
    EXPECT_EQ(ItemValue("APP=J LEVELS=A,B", "LEVELS="), "A,B");
    EXPECT_FALSE(ItemValue("APP=J", "LEVELS=").has_value());
}

}  // namespace
}  // namespace scantora
