// Bit-exact agreement with libtiff: every page of the generated fixtures decoded by
// pixdoc-decode equals libtiff's own decode of the same page.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rows;  // (width + 7) / 8 bytes per row, padding bits cleared
};

void ClearPadding(Bitmap& b) {
    const int row_bytes = (b.width + 7) / 8;
    if (b.width % 8 == 0) return;
    const uint8_t mask = uint8_t(0xFF << (8 - b.width % 8));
    for (int y = 0; y < b.height; ++y)
        b.rows[size_t(y) * row_bytes + row_bytes - 1] &= mask;
}

// libtiff's decode of directory `page` (0-based), as stored.
bool LibtiffPage(const std::string& path, int page, Bitmap& out) {
    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif) return false;
    bool ok = TIFFSetDirectory(tif, uint16_t(page)) == 1;
    uint32_t w = 0, h = 0;
    ok = ok && TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) &&
         TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    if (ok) {
        out.width = int(w);
        out.height = int(h);
        const size_t row_bytes = (w + 7) / 8;
        out.rows.assign(row_bytes * h, 0);
        for (uint32_t y = 0; ok && y < h; ++y)
            ok = TIFFReadScanline(tif, &out.rows[y * row_bytes], y) == 1;
    }
    TIFFClose(tif);
    ClearPadding(out);
    return ok;
}

int PageCount(const std::string& path) {
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif) return 0;
    const int n = TIFFNumberOfDirectories(tif);
    TIFFClose(tif);
    return n;
}

bool ReadPbm(const std::string& path, Bitmap& out) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    in >> magic >> out.width >> out.height;
    in.get();
    if (magic != "P4" || !in) return false;
    out.rows.assign(size_t((out.width + 7) / 8) * out.height, 0);
    in.read(reinterpret_cast<char*>(out.rows.data()), std::streamsize(out.rows.size()));
    ClearPadding(out);
    return bool(in);
}

int RunDecode(const std::string& file, int page, const std::string& out) {
    const std::string cmd = std::string(TEST_BINARY_DIR) + "/tools/pixdoc-decode --page " +
                            std::to_string(page) + " '" + file + "' '" + out + "' 2>/dev/null";
    return std::system(cmd.c_str());
}

std::string FirstDifference(const Bitmap& a, const Bitmap& b) {
    const size_t row_bytes = (a.width + 7) / 8;
    for (size_t i = 0; i < a.rows.size(); ++i)
        if (a.rows[i] != b.rows[i])
            return "row " + std::to_string(i / row_bytes) + " byte " +
                   std::to_string(i % row_bytes);
    return "";
}

class LibtiffAgreement : public ::testing::TestWithParam<std::string> {};

TEST_P(LibtiffAgreement, EveryPageDecodesBitExact) {
    const std::string dir = std::string(TEST_FIXTURE_DIR) + "/bilevel/";
    const std::string file = dir + GetParam();
    ASSERT_TRUE(fs::exists(file)) << file;
    const int pages = PageCount(file);
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
        EXPECT_TRUE(actual.rows == expected.rows)
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

// Runs pixdoc-decode with the given arguments; returns the exit status and the stderr text.
std::pair<int, std::string> RunTool(const std::string& arguments) {
    const std::string err = std::string(TEST_BINARY_DIR) + "/bilevel_tool_stderr.txt";
    const std::string cmd =
        std::string(TEST_BINARY_DIR) + "/tools/pixdoc-decode " + arguments + " 2>'" + err + "'";
    const int status = std::system(cmd.c_str());
    std::ifstream in(err);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    return {status, text};
}

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
        const auto [status, text] = RunTool(args);
        EXPECT_NE(status, 0) << args;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << args << ": " << text;
    }
    // Colour pages are written as P6 by the colour path.
    EXPECT_EQ(RunTool("'" + dir + "colour.jpg' '" + out + "'").first, 0);
    std::ifstream written(out, std::ios::binary);
    std::string magic;
    written >> magic;
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(RunTool("--page 2 '" + dir + "multi_g4.tif' '" + out + "'").first, 0);
}

}  // namespace
