// pixdoc-encode's contract: every TIFF coding in both fill orders is read back exactly by libtiff
// (Group 4 with uncompressed mode, which libtiff does not read, by pixdoc-decode alone) and by
// pixdoc-decode; failures exit non-zero with one line and leave no file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/imaging/decode/libtiff_pages.h"
#include "tests/support/scratch_dir.h"

namespace pixdoc::bilevel::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kUncompressedModeCoding = 6;

std::string Quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

Bitmap Noise(int width, int height) {
    Bitmap b(width, height);
    std::mt19937 rng(31);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (rng() & 1) b.Set(x, y);
    return b;
}

void ExpectReadBackExactly(const fs::path& pbm, const scantora::testing::ScratchDir& dir) {
    Bitmap page;
    ASSERT_TRUE(ReadPbm(pbm.string(), page)) << pbm;
    for (int coding : {0, 1, 2, 5, kUncompressedModeCoding})
        for (int fill_order : {1, 2}) {
            SCOPED_TRACE("coding " + std::to_string(coding) + " fill order " +
                         std::to_string(fill_order));
            const fs::path tif = dir / "page.tif";
            const fs::path back = dir / "back.pbm";
            const std::string k = coding == 2 ? " --k 3" : "";
            ASSERT_EQ(RunTool("pixdoc-encode", "--coding " + std::to_string(coding) +
                                                   " --fill-order " + std::to_string(fill_order) +
                                                   k + " " + Quoted(pbm) + " " + Quoted(tif))
                          .first,
                      0);
            Bitmap decoded;
            if (coding != kUncompressedModeCoding) {
                ASSERT_TRUE(LibtiffPage(tif.string(), 0, decoded));
                EXPECT_TRUE(decoded == page) << "libtiff: " << FirstDifference(decoded, page);
            }
            ASSERT_EQ(RunTool("pixdoc-decode", Quoted(tif) + " " + Quoted(back)).first, 0);
            ASSERT_TRUE(ReadPbm(back.string(), decoded));
            EXPECT_TRUE(decoded == page) << "pixdoc-decode: " << FirstDifference(decoded, page);
        }
}

class EncodeTool : public ::testing::TestWithParam<std::string> {};

TEST_P(EncodeTool, EveryTiffCodingReadsBackExactly) {
    scantora::testing::ScratchDir dir;
    ExpectReadBackExactly(fs::path(TEST_FIXTURE_DIR) / "bilevel" / (GetParam() + ".pbm"), dir);
}

// Rendered text at 300 and 200 dpi, barcodes, and every run length from 0 to 2600.
INSTANTIATE_TEST_SUITE_P(Pages, EncodeTool,
                         ::testing::Values("text300", "text200", "barcode200", "runs"));

TEST(EncodeToolNoise, HalftoneLikeNoiseWithAnOddWidth) {
    scantora::testing::ScratchDir dir;
    ASSERT_TRUE(WritePbm((dir / "noise.pbm").string(), Noise(1001, 64)));
    ExpectReadBackExactly(dir / "noise.pbm", dir);
}

TEST(EncodeToolFailures, ExitNonZeroWithOneLineAndLeaveNoFile) {
    scantora::testing::ScratchDir dir;
    const fs::path good = dir / "good.pbm";
    ASSERT_TRUE(WritePbm(good.string(), Noise(64, 8)));
    scantora::testing::WriteFile(dir / "short.pbm", "P4\n64 8\n" + std::string(63, '\0'));
    scantora::testing::WriteFile(dir / "wide.pbm", "P4\n30001 1\n" + std::string(3751, '\0'));
    scantora::testing::WriteFile(dir / "plain.pbm", "P1\n3 1\n1 0");
    scantora::testing::WriteFile(dir / "kept.tif", "keep me");
    const fs::path out = dir / "out.tif";
    const struct {
        std::string arguments;
        int status;
    } cases[] = {
        {"", 2},
        {"--coding 7 " + Quoted(good) + " " + Quoted(out), 2},  // PCX has no TIFF coding
        {"--coding 4 " + Quoted(good) + " " + Quoted(out), 2},
        {"--fill-order 3 " + Quoted(good) + " " + Quoted(out), 2},
        {Quoted(dir / "missing.pbm") + " " + Quoted(out), 1},
        {Quoted(dir / "short.pbm") + " " + Quoted(out), 1},
        {Quoted(dir / "wide.pbm") + " " + Quoted(out), 1},
        {Quoted(dir / "plain.pbm") + " " + Quoted(out), 1},
        {Quoted(good) + " " + Quoted(dir / "no" / "out.tif"), 1},
        {Quoted(dir / "short.pbm") + " " + Quoted(dir / "kept.tif"), 1},
    };
    for (const auto& c : cases) {
        const auto [status, text] = RunTool("pixdoc-encode", c.arguments);
        EXPECT_EQ(status, c.status) << c.arguments;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << c.arguments << ": " << text;
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(scantora::testing::ReadFile(dir / "kept.tif"), "keep me");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 5u) << "no temporary file may stay behind";
}

}  // namespace
}  // namespace pixdoc::bilevel::testing
