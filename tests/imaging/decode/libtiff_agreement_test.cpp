// Bit-exact agreement with libtiff: every page of the generated fixtures decoded by
// pixdoc-decode equals libtiff's own decode of the same page; minimum-is-black pages come out as
// they look.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/imaging/decode/libtiff_pages.h"

namespace pixdoc::bilevel::testing {
namespace {

namespace fs = std::filesystem;

int RunDecode(const std::string& file, int page, const std::string& out) {
    return RunTool("pixdoc-decode",
                   "--page " + std::to_string(page) + " '" + file + "' '" + out + "'")
        .first;
}

class LibtiffAgreement : public ::testing::TestWithParam<std::string> {};

TEST_P(LibtiffAgreement, EveryPageDecodesBitExact) {
    const std::string dir = std::string(TEST_FIXTURE_DIR) + "/bilevel/";
    const std::string file = dir + GetParam();
    ASSERT_TRUE(fs::exists(file)) << file;
    const int pages = LibtiffPageCount(file);
    ASSERT_GT(pages, 0);
    for (int page = 0; page < pages; ++page) {
        Bitmap expected, actual;
        ASSERT_TRUE(LibtiffPage(file, page, expected)) << page;
        const std::string out = std::string(TEST_BINARY_DIR) + "/bilevel_" + GetParam() + "_" +
                                std::to_string(page) + ".pbm";
        ASSERT_EQ(RunDecode(file, page + 1, out), 0) << file << " page " << page + 1;
        ASSERT_TRUE(ReadPbm(out, actual));
        EXPECT_EQ(actual.width, expected.width);
        EXPECT_EQ(actual.height, expected.height);
        EXPECT_TRUE(actual.bytes == expected.bytes)
            << GetParam() << " page " << page + 1 << ": " << FirstDifference(actual, expected);
        fs::remove(out);
    }
}

// Every page in every coding the fixture script writes, then its multi-strip and multi-page
// files.
std::vector<std::string> Fixtures() {
    std::vector<std::string> names;
    for (const char* page : {"text300", "text200", "barcode200", "runs"})
        for (const char* coding :
             {"g4", "g3_1d", "g3_2d", "g3_2d_fill", "packbits", "none", "g4_lsb", "g4_be"})
            names.push_back(std::string(page) + "_" + coding + ".tif");
    for (const char* name : {"text300_g4_strips.tif", "text200_g3_2d_strips.tif",
                             "barcode200_packbits_strips.tif", "multi_g4.tif"})
        names.push_back(name);
    return names;
}

INSTANTIATE_TEST_SUITE_P(Codings, LibtiffAgreement, ::testing::ValuesIn(Fixtures()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param.substr(0, info.param.find('.'));
                         });

TEST(PixdocDecodeTool, EveryFailureExitsNonZeroWithOneLine) {
    const std::string dir = std::string(TEST_FIXTURE_DIR) + "/bilevel/";
    const std::string out = std::string(TEST_BINARY_DIR) + "/bilevel_tool_out.pbm";
    const std::string cases[] = {
        "",                                                      // usage
        "'" + dir + "text200_g4.tif'",                           // no output
        "--page 0 '" + dir + "text200_g4.tif' '" + out + "'",    // bad page
        "'" + dir + "missing.tif' '" + out + "'",                // cannot open
        "--page 9 '" + dir + "multi_g4.tif' '" + out + "'",      // no such page
        "'" + dir + "text200_g4.tif' /nonexistent/dir/out.pbm",  // cannot write
    };
    for (const std::string& args : cases) {
        const auto [status, text] = RunTool("pixdoc-decode", args);
        EXPECT_NE(status, 0) << args;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << args << ": " << text;
    }
    // Colour pages are written as P6 by the colour path.
    EXPECT_EQ(RunTool("pixdoc-decode", "'" + dir + "colour.jpg' '" + out + "'").first, 0);
    std::ifstream written(out, std::ios::binary);
    std::string magic;
    written >> magic;
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(RunTool("pixdoc-decode", "--page 2 '" + dir + "multi_g4.tif' '" + out + "'").first,
              0);
}

// tiffcp's minimum-is-black twins of two pages store the inverted bits of their
// minimum-is-white twins; both come out as the same picture.
TEST(PixdocDecodeTool, MinIsBlackPagesLookLikeTheirMinIsWhiteTwins) {
    const std::string dir = std::string(TEST_FIXTURE_DIR) + "/bilevel/";
    const std::string out = std::string(TEST_BINARY_DIR) + "/bilevel_twin.pbm";
    for (const std::string name : {"text200_g4", "barcode200_g3_2d"}) {
        const std::string white = dir + name + "_miniswhite.tif";
        const std::string black = dir + name + "_minisblack.tif";
        Bitmap stored_white, stored_black, picture, from_white, from_black;
        ASSERT_TRUE(LibtiffPage(white, 0, stored_white, Bits::kAsStored)) << white;
        ASSERT_TRUE(LibtiffPage(black, 0, stored_black, Bits::kAsStored)) << black;
        ASSERT_FALSE(stored_white == stored_black) << name << ": the twins must store other bits";
        ASSERT_TRUE(ReadPbm(dir + name.substr(0, name.find('_')) + ".pbm", picture));
        ASSERT_EQ(RunDecode(white, 1, out), 0);
        ASSERT_TRUE(ReadPbm(out, from_white));
        ASSERT_EQ(RunDecode(black, 1, out), 0);
        ASSERT_TRUE(ReadPbm(out, from_black));
        EXPECT_TRUE(from_white == picture) << name << ": " << FirstDifference(from_white, picture);
        EXPECT_TRUE(from_black == picture) << name << ": " << FirstDifference(from_black, picture);
    }
    std::filesystem::remove(out);
}

}  // namespace
}  // namespace pixdoc::bilevel::testing
