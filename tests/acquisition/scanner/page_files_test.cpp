// Saving pages (Group 4 TIFF, JPEG in TIFF, JPEG), page counts, loading and deleting pages.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/acquisition/scanner/page_test_support.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::DecodeJpeg;
using testing::Fixture;
using testing::JpegFacts;
using testing::Loaded;
using testing::ReadFile;
using testing::ReadTiffPages;
using testing::RowsOf;
using testing::ScratchDir;

constexpr int kQuality = kTiffQuality;

double MeanDifference(const testing::Rows& rows, const std::vector<std::uint8_t>& pixels) {
    double sum = 0;
    size_t i = 0;
    for (const auto& row : rows)
        for (std::uint8_t v : row)
            sum += std::abs(static_cast<int>(v) - pixels[i++]);
    return sum / static_cast<double>(i);
}

TEST(PageSave, BilevelPageBecomesASingleStripGroup4TiffWithItsResolution) {
    ScratchDir dir;
    Page page = Loaded(Fixture("three_g4.tif"));
    ASSERT_EQ(page.Save(dir / "p.tif", kFormatTiff, 1, kQuality, kSaveNew), ImagingStatus::kOk);
    EXPECT_TRUE(page.Saved());
    const auto pages = ReadTiffPages(dir / "p.tif");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].compression, COMPRESSION_CCITTFAX4);
    EXPECT_EQ(pages[0].photometric, PHOTOMETRIC_MINISWHITE);
    EXPECT_EQ(pages[0].width, 320u);
    EXPECT_EQ(pages[0].height, 240u);
    EXPECT_FLOAT_EQ(pages[0].x_resolution, 200);
    EXPECT_EQ(pages[0].rows, RowsOf(page));
}

// Bilevel pages are coded by pixdoc32's writer, and by libtiff where the writer stops (wider
// than 30000 pixels); libtiff reads both back pixel for pixel, random pixels (the longest
// codes) and odd widths (bits past the width in the last byte) included.
TEST(PageSave, BilevelCodingReadsBackExactlyAtEveryWidth) {
    ScratchDir dir;
    const struct {
        int width, height;
    } sizes[] = {{1, 5}, {7, 3}, {1601, 120}, {30000, 4}, {30001, 4}, {40000, 3}};
    unsigned seed = 1;
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.width);
        Page page = testing::NoisePage(size.width, size.height, seed++);
        // Bits past the width, set in Leptonica's words, are no pixels.
        pixSetPadBits(PageAccess::Pix(page), 1);
        const auto path = dir / ("w" + std::to_string(size.width) + ".tif");
        ASSERT_EQ(page.Save(path, kFormatTiff, 1, kQuality, kSaveNew), ImagingStatus::kOk);
        const auto pages = ReadTiffPages(path);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0].compression, COMPRESSION_CCITTFAX4);
        EXPECT_EQ(pages[0].width, static_cast<std::uint32_t>(size.width));
        EXPECT_EQ(pages[0].rows, RowsOf(page));
    }
}

TEST(PageSave, NewModeReplacesAnOldFileWhole) {
    ScratchDir dir;
    std::filesystem::copy_file(Fixture("three_g4.tif"), dir / "p.tif");
    Page page = Loaded(Fixture("page2.pbm"));
    ASSERT_EQ(page.Save(dir / "p.tif", kFormatTiff, 1, kQuality, kSaveNew), ImagingStatus::kOk);
    const auto pages = ReadTiffPages(dir / "p.tif");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].rows, RowsOf(page));
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(PageSave, AppendedPagesFollowTheOldOnesWhichStayByteForByte) {
    for (const char* name : {"three_g4.tif", "three_g4_big_endian.tif"}) {
        SCOPED_TRACE(name);
        ScratchDir dir;
        const auto file = dir / "doc.tif";
        std::filesystem::copy_file(Fixture(name), file);
        const std::string before = ReadFile(file);
        Page page = Loaded(Fixture("page2.pbm"));
        ASSERT_EQ(page.Save(file, kFormatTiff, 1, kQuality, kSaveAppend), ImagingStatus::kOk);
        const std::string after = ReadFile(file);
        const auto old_pages = ReadTiffPages(Fixture(name));
        const auto pages = ReadTiffPages(file);
        ASSERT_EQ(pages.size(), 4u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(pages[i].raw, old_pages[i].raw);
            EXPECT_EQ(pages[i].rows, old_pages[i].rows);
        }
        EXPECT_EQ(pages[3].rows, RowsOf(page));
        // The old bytes are unchanged but for the one pointer to the new page.
        ASSERT_GT(after.size(), before.size());
        size_t changed = 0;
        for (size_t i = 0; i < before.size(); ++i)
            changed += before[i] != after[i];
        EXPECT_LE(changed, 4u);
        int count = 0;
        EXPECT_EQ(CountPages(file, count), ImagingStatus::kOk);
        EXPECT_EQ(count, 4);
    }
}

TEST(PageSave, AppendingToNoFileStartsOne) {
    ScratchDir dir;
    const auto file = dir / "doc.tif";
    for (int i = 1; i <= 3; ++i) {
        Page page = Loaded(Fixture("page" + std::to_string(i) + ".pbm"));
        ASSERT_EQ(page.Save(file, kFormatTiff, 1, kQuality, kSaveAppend), ImagingStatus::kOk);
    }
    const auto pages = ReadTiffPages(file);
    ASSERT_EQ(pages.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pages[i].rows, RowsOf(Loaded(Fixture("page" + std::to_string(i + 1) + ".pbm"))));
}

TEST(PageSave, AppendingToWhatIsNoTiffTouchesNothing) {
    ScratchDir dir;
    for (const char* name : {"colour.jpg", "notes.txt", "broken.tif"}) {
        SCOPED_TRACE(name);
        const auto file = dir / name;
        std::filesystem::copy_file(Fixture(name), file);
        const std::string before = ReadFile(file);
        Page page = Loaded(Fixture("page1.pbm"));
        const ImagingStatus status = page.Save(file, kFormatTiff, 1, kQuality, kSaveAppend);
        EXPECT_TRUE(status == ImagingStatus::kNotAnImage || status == ImagingStatus::kDamagedFile)
            << ToCode(status);
        EXPECT_FALSE(page.Saved());
        EXPECT_EQ(ReadFile(file), before);
    }
}

TEST(PageSave, GreyAndColourPagesBecomeJpegWithTheirResolution) {
    ScratchDir dir;
    for (const char* name : {"grey.png", "colour.png"}) {
        SCOPED_TRACE(name);
        Page page = Loaded(Fixture(name));
        const auto file = dir / "page.jpg";
        ASSERT_EQ(page.Save(file, kFormatJpeg, page.BitsPerPixel(), 10, kSaveNew),
                  ImagingStatus::kOk);
        const JpegFacts facts = DecodeJpeg(file);
        EXPECT_EQ(facts.width, page.Width());
        EXPECT_EQ(facts.height, page.Height());
        EXPECT_EQ(facts.components, page.BitsPerPixel() / 8);
        EXPECT_EQ(facts.density, 200);
        EXPECT_LT(MeanDifference(RowsOf(page), facts.pixels), 3.0);
    }
}

TEST(PageSave, QualityFactorRunsFromBestToSmallest) {
    EXPECT_EQ(JpegQualityFromFactor(1), 100);
    EXPECT_EQ(JpegQualityFromFactor(kDefaultQualityFactor), 51);
    EXPECT_EQ(JpegQualityFromFactor(254), 1);
    EXPECT_EQ(JpegQualityFromFactor(0), 51);
    EXPECT_EQ(JpegQualityFromFactor(300), 51);
    EXPECT_EQ(JpegQualityFromFactor(kTiffQuality), 51);
    for (int f = 2; f <= 254; ++f)
        EXPECT_LE(JpegQualityFromFactor(f), JpegQualityFromFactor(f - 1));
    ScratchDir dir;
    Page page = Loaded(Fixture("colour.ppm"));
    ASSERT_EQ(page.Save(dir / "fine.jpg", kFormatJpeg, 24, 1, kSaveNew), ImagingStatus::kOk);
    ASSERT_EQ(page.Save(dir / "coarse.jpg", kFormatJpeg, 24, 254, kSaveNew), ImagingStatus::kOk);
    EXPECT_GT(std::filesystem::file_size(dir / "fine.jpg"),
              2 * std::filesystem::file_size(dir / "coarse.jpg"));
}

TEST(PageSave, GreyAndColourPagesInATiffAreOneJpegStripEach) {
    ScratchDir dir;
    const auto file = dir / "doc.tif";
    Page bilevel = Loaded(Fixture("page1.pbm"));
    Page grey = Loaded(Fixture("grey.pgm"));
    Page colour = Loaded(Fixture("colour.png"));
    ASSERT_EQ(bilevel.Save(file, kFormatTiff, 1, kQuality, kSaveAppend), ImagingStatus::kOk);
    ASSERT_EQ(grey.Save(file, kFormatTiff, 8, kQuality, kSaveAppend), ImagingStatus::kOk);
    ASSERT_EQ(colour.Save(file, kFormatTiff, 24, kQuality, kSaveAppend), ImagingStatus::kOk);
    const auto pages = ReadTiffPages(file);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[1].compression, COMPRESSION_JPEG);
    EXPECT_EQ(pages[1].samples, 1);
    EXPECT_EQ(pages[2].compression, COMPRESSION_JPEG);
    EXPECT_EQ(pages[2].photometric, PHOTOMETRIC_YCBCR);
    PageFileInfo info;
    ASSERT_EQ(ReadPageFileInfo(file, 3, info), ImagingStatus::kOk);
    EXPECT_EQ(info.bits_per_pixel, 24);
    Page back;
    ASSERT_EQ(LoadPage(file, 2, 0, back), ImagingStatus::kOk);
    EXPECT_EQ(back.BitsPerPixel(), 8);
    EXPECT_EQ(back.Width(), 200);
}

TEST(PageSave, DepthAskedForIsTheDepthWritten) {
    ScratchDir dir;
    Page grey = Loaded(Fixture("grey.pgm"));
    ASSERT_EQ(grey.Save(dir / "bw.tif", kFormatTiff, 1, kQuality, kSaveNew), ImagingStatus::kOk);
    EXPECT_EQ(ReadTiffPages(dir / "bw.tif")[0].compression, COMPRESSION_CCITTFAX4);
    Page bilevel = Loaded(Fixture("page1.pbm"));
    ASSERT_EQ(bilevel.Save(dir / "p.jpg", kFormatJpeg, 0, 10, kSaveNew), ImagingStatus::kOk);
    EXPECT_EQ(DecodeJpeg(dir / "p.jpg").components, 1);
}

TEST(PageSave, RefusedArgumentsWriteNothing) {
    ScratchDir dir;
    Page page = Loaded(Fixture("grey.pgm"));
    EXPECT_EQ(page.Save(dir / "a", 11, 8, 10, kSaveNew), ImagingStatus::kBadArgument);
    EXPECT_EQ(page.Save(dir / "b", kFormatJpeg, 8, 10, kSaveAppend), ImagingStatus::kBadArgument);
    EXPECT_EQ(page.Save(dir / "c", kFormatTiff, 8, 10, 2), ImagingStatus::kBadArgument);
    EXPECT_EQ(page.Save(dir / "missing" / "d.tif", kFormatTiff, 8, 10, kSaveNew),
              ImagingStatus::kFileNotFound);
    EXPECT_EQ(Page().Save(dir / "e.tif", kFormatTiff, 1, 10, kSaveNew),
              ImagingStatus::kBadArgument);
    EXPECT_FALSE(page.Saved());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(PageFiles, CountsAndInformation) {
    int pages = -1;
    EXPECT_EQ(CountPages(Fixture("three_g4.tif"), pages), ImagingStatus::kOk);
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(CountPages(Fixture("colour.jpg"), pages), ImagingStatus::kOk);
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(CountPages(Fixture("notes.txt"), pages), ImagingStatus::kNotAnImage);
    EXPECT_EQ(CountPages(Fixture("fake.tif"), pages), ImagingStatus::kNotAnImage);
    EXPECT_EQ(CountPages(Fixture("broken.tif"), pages), ImagingStatus::kDamagedFile);
    EXPECT_EQ(CountPages(Fixture("nothing.tif"), pages), ImagingStatus::kFileNotFound);
    PageFileInfo info;
    ASSERT_EQ(ReadPageFileInfo(Fixture("three_g4.tif"), 2, info), ImagingStatus::kOk);
    EXPECT_EQ(info.pages, 3);
    EXPECT_EQ(info.bits_per_pixel, 1);
    EXPECT_EQ(info.width, 320);
    EXPECT_EQ(info.x_resolution, 200);
    ASSERT_EQ(ReadPageFileInfo(Fixture("grey.jpg"), 1, info), ImagingStatus::kOk);
    EXPECT_EQ(info.bits_per_pixel, 8);
    ASSERT_EQ(ReadPageFileInfo(Fixture("colour.png"), 1, info), ImagingStatus::kOk);
    EXPECT_EQ(info.bits_per_pixel, 24);
    EXPECT_EQ(ReadPageFileInfo(Fixture("three_g4.tif"), 4, info), ImagingStatus::kNoSuchPage);
    EXPECT_EQ(ReadPageFileInfo(Fixture("colour.png"), 2, info), ImagingStatus::kNoSuchPage);
}

TEST(PageFiles, LoadGivesThePageAskedForAtTheDepthAskedFor) {
    const auto reference = ReadTiffPages(Fixture("three_g4.tif"));
    for (int n = 1; n <= 3; ++n) {
        const Page page = Loaded(Fixture("three_g4.tif"), n);
        EXPECT_EQ(RowsOf(page), reference[n - 1].rows) << n;
        EXPECT_EQ(RowsOf(page), RowsOf(Loaded(Fixture("page" + std::to_string(n) + ".pbm"))));
    }
    Page page;
    EXPECT_EQ(LoadPage(Fixture("three_g4.tif"), 4, 0, page), ImagingStatus::kNoSuchPage);
    EXPECT_EQ(LoadPage(Fixture("three_g4.tif"), 0, 0, page), ImagingStatus::kNoSuchPage);
    ASSERT_EQ(LoadPage(Fixture("three_g4.tif"), 1, 8, page), ImagingStatus::kOk);
    EXPECT_EQ(page.BitsPerPixel(), 8);
    ASSERT_EQ(LoadPage(Fixture("grey.jpg"), 1, 24, page), ImagingStatus::kOk);
    EXPECT_EQ(page.BitsPerPixel(), 24);
    EXPECT_EQ(LoadPage(Fixture("notes.txt"), 1, 0, page), ImagingStatus::kNotAnImage);
}

TEST(PageFiles, DeletingAPageLeavesTheOthersByteForByte) {
    for (const char* name : {"three_g4.tif", "three_g4_big_endian.tif"}) {
        for (int deleted = 1; deleted <= 3; ++deleted) {
            SCOPED_TRACE(std::string(name) + " page " + std::to_string(deleted));
            ScratchDir dir;
            const auto file = dir / "doc.tif";
            std::filesystem::copy_file(Fixture(name), file);
            ASSERT_EQ(DeletePage(file, deleted), ImagingStatus::kOk);
            const auto old_pages = ReadTiffPages(Fixture(name));
            const auto pages = ReadTiffPages(file);
            ASSERT_EQ(pages.size(), 2u);
            size_t kept = 0;
            for (int i = 1; i <= 3; ++i) {
                if (i == deleted) continue;
                EXPECT_EQ(pages[kept].raw, old_pages[i - 1].raw);
                EXPECT_EQ(pages[kept].rows, old_pages[i - 1].rows);
                ++kept;
            }
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
        }
    }
}

TEST(PageFiles, ADeleteThatCannotBeDoneChangesNothing) {
    ScratchDir dir;
    const auto file = dir / "doc.tif";
    std::filesystem::copy_file(Fixture("three_g4.tif"), file);
    const std::string before = ReadFile(file);
    EXPECT_EQ(DeletePage(file, 0), ImagingStatus::kNoSuchPage);
    EXPECT_EQ(DeletePage(file, 4), ImagingStatus::kNoSuchPage);
    EXPECT_EQ(ReadFile(file), before);
    const auto one = dir / "one.tif";
    std::filesystem::copy_file(Fixture("one_g4.tif"), one);
    EXPECT_EQ(DeletePage(one, 1), ImagingStatus::kBadArgument);
    EXPECT_EQ(ReadFile(one), ReadFile(Fixture("one_g4.tif")));
    const auto jpeg = dir / "page.jpg";
    std::filesystem::copy_file(Fixture("colour.jpg"), jpeg);
    EXPECT_EQ(DeletePage(jpeg, 1), ImagingStatus::kNotAnImage);
    EXPECT_EQ(DeletePage(dir / "none.tif", 1), ImagingStatus::kFileNotFound);
    const auto broken = dir / "broken.tif";
    std::filesystem::copy_file(Fixture("broken.tif"), broken);
    EXPECT_EQ(DeletePage(broken, 1), ImagingStatus::kDamagedFile);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

TEST(PageFiles, TheLastPageAppendedCanBeDeletedAgain) {
    ScratchDir dir;
    const auto file = dir / "doc.tif";
    std::filesystem::copy_file(Fixture("three_g4.tif"), file);
    Page separator = Loaded(Fixture("page2.pbm"));
    ASSERT_EQ(separator.Save(file, kFormatTiff, 1, kQuality, kSaveAppend), ImagingStatus::kOk);
    ASSERT_EQ(DeletePage(file, 4), ImagingStatus::kOk);
    Page next = Loaded(Fixture("page3.pbm"));
    ASSERT_EQ(next.Save(file, kFormatTiff, 1, kQuality, kSaveAppend), ImagingStatus::kOk);
    const auto pages = ReadTiffPages(file);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[3].rows, RowsOf(next));
}

}  // namespace
}  // namespace scantora
