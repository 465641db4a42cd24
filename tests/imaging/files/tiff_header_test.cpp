// TIFF directory walk on hand-built files: byte orders, value rules, strip tables, the page
// cursor cache and hostile directories.
#include <gtest/gtest.h>

#include <string>

#include "imaging/files/tiff_directory.h"
#include "test_images.h"

namespace pixdoc::files {
namespace {

using testing::BilevelEntries;
using testing::Bytes;
using testing::kLong;
using testing::kRational;
using testing::kShort;
using testing::MemoryName;
using testing::Open;
using testing::OpenResult;
using testing::OpensAs;
using testing::TempFile;
using testing::TiffBuilder;
using testing::TiffEntry;

using TiffHeaderTest = testing::LibraryStateTest;

// Three pages of different widths, chained.
TiffBuilder ThreePages(bool big = false) {
    TiffBuilder t(big);
    const uint32_t d1 = t.AddDirectory(BilevelEntries(100, 10, 4));
    const uint32_t d2 = t.AddDirectory(BilevelEntries(200, 20, 1));
    const uint32_t d3 = t.AddDirectory(BilevelEntries(300, 30, 32773));
    t.Link(d1, 7, d2);
    t.Link(d2, 7, d3);
    return t;
}

TEST_F(TiffHeaderTest, BothByteOrdersAndCodes) {
    for (bool big : {false, true}) {
        const TiffBuilder t = ThreePages(big);
        const std::string name = MemoryName(t.bytes());
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        EXPECT_TRUE(OpensAs(
            name, 1, "compression 1, width 100, height 10, data_offset 8, data_byte_count 100"));
        EXPECT_TRUE(OpensAs(name, 2, "compression 3"));
        EXPECT_TRUE(OpensAs(name, 3, "compression 10, width 300"));
        EXPECT_EQ(OpenResult(name, 4), 2);
        EXPECT_EQ(GetTiffPages(name.c_str()), 3);
    }
}

TEST_F(TiffHeaderTest, PageCursorCacheFollowsTheRememberedDirectory) {
    TiffBuilder t = ThreePages();
    const auto path = TempFile("cursor.tif", t.bytes());
    ImageHeader h;
    ASSERT_EQ(Open(path.string(), 1, h), 0);
    // Page 2 is read from the remembered next directory, not by a walk from the header.
    PageCursor().next_directory = static_cast<uint32_t>(t.bytes().size()) - 4 - 12 * 7 - 2;
    ASSERT_EQ(Open(path.string(), 2, h), 0);
    EXPECT_EQ(h.width, 300);
    // A page that is not last + 1 walks from the header again.
    ASSERT_EQ(Open(path.string(), 2, h), 0);
    EXPECT_EQ(h.width, 200);
}

// A scan appends a page in two writes: its bytes after the end, then the link to it in place.
TEST_F(TiffHeaderTest, PageCursorSeesAPageLinkedAfterTheFileGrew) {
    TiffBuilder t;
    const uint32_t d1 = t.AddDirectory(BilevelEntries(100, 10, 4));
    const uint32_t d2 = t.AddDirectory(BilevelEntries(200, 20, 1));
    const auto path = TempFile("append.tif", t.bytes());  // page 2 written, not yet linked
    ImageHeader h;
    ASSERT_EQ(Open(path.string(), 1, h), 0);
    t.Link(d1, 7, d2);
    TempFile("append.tif", t.bytes());  // the same size
    ASSERT_EQ(Open(path.string(), 2, h), 0);
    EXPECT_EQ(h.width, 200);
}

TEST_F(TiffHeaderTest, EntryCountsOutsideFourToEighty) {
    for (size_t count : {3u, 81u}) {
        TiffBuilder t;
        const uint32_t d1 = t.AddDirectory(BilevelEntries(100, 10, 4));
        std::vector<TiffEntry> entries = BilevelEntries(200, 10, 4);
        entries.resize(count, TiffEntry{65000, kShort, 1, 0});
        const uint32_t d2 = t.AddDirectory(entries);
        t.Link(d1, 7, d2);
        const std::string name = MemoryName(t.bytes());
        EXPECT_EQ(OpenResult(name, 1), 0) << count;
        EXPECT_EQ(OpenResult(name, 2), 2) << count;
        EXPECT_EQ(GetTiffPages(name.c_str()), 1) << count;
    }
}

TEST_F(TiffHeaderTest, BigEndianDirectoryThroughTiffName) {
    TiffBuilder t(true);
    const uint32_t dir = t.AddDirectory(BilevelEntries(1728, 2200, 4, 200));
    const auto path = TempFile("big.tif", t.bytes());
    EXPECT_TRUE(OpensAs("TH:" + std::to_string(dir) + "," + path.string(), 7,
                        "width 1728, height 2200, data_offset 200"));

    // Exactly four entries read little-endian as 1024: no switch, and 1024 entries fail.
    TiffBuilder four(true);
    std::vector<TiffEntry> entries = BilevelEntries(1728, 2200, 4);
    entries.resize(4);
    const uint32_t dir4 = four.AddDirectory(entries);
    const auto path4 = TempFile("big4.tif", four.bytes());
    EXPECT_EQ(OpenResult("TH:" + std::to_string(dir4) + "," + path4.string(), 1), 2);
}

TEST_F(TiffHeaderTest, ResolutionRules) {
    struct Case {
        uint32_t xn, xd, yn, yd;
        int32_t x, y;
    } cases[] = {{0, 0, 0, 0, 100, 100},     {300, 1, 5000, 1, 300, 300},
                 {400, 2, 196, 1, 200, 196}, {7, 0, 31, 1, 100, 100},
                 {2048, 1, 32, 1, 2048, 32}, {2049, 1, 2049, 1, 100, 100}};
    for (const Case& c : cases) {
        TiffBuilder t;
        const uint32_t xr = t.AppendRational(c.xn, c.xd);
        const uint32_t yr = t.AppendRational(c.yn, c.yd);
        auto entries = BilevelEntries(100, 10, 4);
        entries.push_back({282, kRational, 1, xr});
        entries.push_back({283, kRational, 1, yr});
        t.AddDirectory(entries);
        EXPECT_TRUE(OpensAs(
            MemoryName(t.bytes()), 1,
            "x_resolution " + std::to_string(c.x) + ", y_resolution " + std::to_string(c.y)))
            << c.xn << "/" << c.xd << ", " << c.yn << "/" << c.yd;
    }
}

int32_t CodeFor(uint32_t compression, int t4options) {
    TiffBuilder t;
    auto entries = BilevelEntries(100, 10, compression);
    if (t4options >= 0) entries.push_back({292, kLong, 1, static_cast<uint32_t>(t4options)});
    t.AddDirectory(entries);
    ImageHeader h;
    return Open(MemoryName(t.bytes()), 1, h) == 0 ? h.compression : -1;
}

TEST_F(TiffHeaderTest, CompressionAndT4Options) {
    // Compression tag, T4Options (-1: none), decoder code (-1: refused; 5 is LZW).
    const int cases[][3] = {{1, -1, 3}, {2, -1, 5}, {2, 1, 2}, {3, -1, 0},      {3, 1, 2},
                            {3, 5, 2},  {3, 4, 0},  {4, 1, 1}, {32773, -1, 10}, {5, -1, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(CodeFor(uint32_t(c[0]), c[1]), c[2]) << c[0] << " options " << c[1];
}

TEST_F(TiffHeaderTest, FillOrderOrientationAndNegative) {
    TiffBuilder t;
    auto entries = BilevelEntries(100, 10, 4);
    entries[4] = {262, kShort, 1, 1};  // a set bit is white
    entries.insert(entries.begin() + 5, TiffEntry{266, kShort, 1, 2});
    entries.insert(entries.begin() + 7, TiffEntry{274, kShort, 1, 8});
    t.AddDirectory(entries);
    EXPECT_TRUE(OpensAs(MemoryName(t.bytes()), 1, "fill_order 1, orientation 3"));
    EXPECT_EQ(HeaderState().negative, 1);
    int32_t negative = -1;
    ASSERT_EQ(PXGetImageInfoExtended(MemoryName(t.bytes()).c_str(), 1, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, &negative),
              0);
    EXPECT_EQ(negative, 1);

    // The flag is reset by the next header read.
    const TiffBuilder plain = ThreePages();
    ImageHeader h;
    ASSERT_EQ(Open(MemoryName(plain.bytes()), 1, h), 0);
    EXPECT_EQ(HeaderState().negative, 0);
}

TEST_F(TiffHeaderTest, ThreeStripsMakeAStripTable) {
    const TiffBuilder t = testing::ThreeStrips();
    const auto path = TempFile("strips.tif", t.bytes());
    ImageHeader h;
    ASSERT_EQ(Open(path.string(), 1, h), 0);
    EXPECT_EQ(h.compression, 257);
    const auto* table = reinterpret_cast<const PixdocStripTable*>(h.data_offset);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table, HeaderState().leftover_strip_table);
    EXPECT_EQ(table->strip_count, 3);
    EXPECT_EQ(table->rows_per_strip, 100);
    EXPECT_EQ(table->strip_offsets[0], 1000u);
    EXPECT_EQ(table->strip_offsets[2], 3000u);
    EXPECT_EQ(table->strip_byte_counts[1], 22u);
    EXPECT_EQ(table->strip_byte_counts[2], 33u);
    EXPECT_EQ(table->strip_offsets[3], 0u);  // slack entries are zero

    int32_t offset = 0;
    ASSERT_EQ(PXGetImageInfoExtended(path.c_str(), 1, nullptr, nullptr, &offset, nullptr, nullptr,
                                     nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(offset, 1000);  // the first strip

    // Several strips are refused for memory images.
    EXPECT_EQ(Open(MemoryName(t.bytes()), 1, h), 2);
}

TEST_F(TiffHeaderTest, StripValuesInsideTheEntryAndShortArrays) {
    TiffBuilder t;
    const uint32_t offsets = t.AppendLongs({0x00100010, 0x00300020});  // four SHORTs
    t.AddDirectory({{256, kShort, 1, 64},
                    {257, kShort, 1, 8},
                    {258, kShort, 1, 1},
                    {259, kShort, 1, 1},
                    {273, kShort, 4, offsets},
                    {278, kShort, 1, 2},
                    {279, kShort, 2, 0x00070005}});  // two SHORTs held in the entry
    const auto path = TempFile("short_strips.tif", t.bytes());
    ImageHeader h;
    ASSERT_EQ(Open(path.string(), 1, h), 0);
    const auto* table = reinterpret_cast<const PixdocStripTable*>(h.data_offset);
    ASSERT_EQ(table->strip_count, 4);
    EXPECT_EQ(table->strip_offsets[0], 0x10u);
    EXPECT_EQ(table->strip_offsets[3], 0x30u);
    EXPECT_EQ(table->strip_byte_counts[0], 5u);
    EXPECT_EQ(table->strip_byte_counts[1], 7u);
}

// A little-endian file holding one page of the given entries.
Bytes OnePage(const std::vector<TiffEntry>& entries = BilevelEntries(100, 10, 4)) {
    TiffBuilder t;
    t.AddDirectory(entries);
    return t.bytes();
}

TEST_F(TiffHeaderTest, RefusedPages) {
    auto tiled = BilevelEntries(100, 10, 4), several_counts = tiled;
    tiled.push_back({322, kShort, 1, 16});
    several_counts[6] = {279, kLong, 2, 0};
    Bytes old_version = OnePage(), no_directory = OnePage(), cut = OnePage();
    testing::PutLe16(old_version, 2, 41);
    testing::PutLe32(no_directory, 4, 0);
    cut.resize(cut.size() - 60);
    const std::pair<const char*, Bytes> cases[] = {
        {"tiled", OnePage(tiled)},
        {"several byte counts without a strip table", OnePage(several_counts)},
        {"version below 42", old_version},
        {"first directory offset zero", no_directory},
        {"directory cut short by the end of the file", cut}};
    for (const auto& [what, file] : cases)
        EXPECT_EQ(OpenResult(MemoryName(file), 1), 2) << what;
    EXPECT_EQ(GetTiffPages(MemoryName(no_directory).c_str()), 0);
}

TEST_F(TiffHeaderTest, HostileDirectories) {
    ImageHeader h;
    {  // a directory that points to itself: the walk and the count both end
        TiffBuilder t;
        const uint32_t d = t.AddDirectory(BilevelEntries(100, 10, 4));
        t.Link(d, 7, d);
        const std::string name = MemoryName(t.bytes());
        EXPECT_EQ(Open(name, 1, h), 0);
        EXPECT_EQ(Open(name, 1000000, h), 2);
        EXPECT_EQ(GetTiffPages(name.c_str()), 1);
    }
    {  // first directory beyond the file
        TiffBuilder t;
        t.AddDirectory(BilevelEntries(100, 10, 4));
        t.Put32(4, 0x7FFFFFF0);
        EXPECT_EQ(Open(MemoryName(t.bytes()), 1, h), 2);
        const auto path = TempFile("far.tif", t.bytes());
        EXPECT_EQ(Open(path.string(), 1, h), 2);
        EXPECT_EQ(GetTiffPages(path.c_str()), 0);
    }
    {  // huge strip count and values beyond the file
        TiffBuilder t;
        t.AddDirectory({{256, kShort, 1, 100},
                        {257, kShort, 1, 10},
                        {258, kShort, 1, 1},
                        {259, kShort, 1, 4},
                        {273, kLong, 65536, 0xFFFFFF00},
                        {279, kLong, 0xFFFFFFFF, 0xFFFFFF00},
                        {282, kRational, 1, 0xFFFFFFF0}});
        const auto path = TempFile("huge.tif", t.bytes());
        ASSERT_EQ(Open(path.string(), 1, h), 0);
        const auto* table = reinterpret_cast<const PixdocStripTable*>(h.data_offset);
        EXPECT_EQ(table->strip_count, 65536);
        EXPECT_EQ(table->strip_offsets[65535], 0u);
        EXPECT_EQ(h.x_resolution, 100);
        EXPECT_EQ(h.compression, 257);
    }
}

TEST_F(TiffHeaderTest, EachWalkFreesTheKeptStripTable) {
    TiffBuilder t;
    const uint32_t offsets = t.AppendLongs({100, 200});
    auto entries = BilevelEntries(100, 10, 4);
    entries[5] = {273, kLong, 2, offsets};
    entries[6] = {279, kLong, 1, 5};
    t.AddDirectory(entries);
    const auto path = TempFile("two.tif", t.bytes());
    ImageHeader h;
    ASSERT_EQ(Open(path.string(), 1, h), 0);
    ASSERT_NE(HeaderState().leftover_strip_table, nullptr);
    const TiffBuilder single = ThreePages();
    ASSERT_EQ(Open(MemoryName(single.bytes()), 1, h), 0);
    EXPECT_EQ(HeaderState().leftover_strip_table, nullptr);
}

}  // namespace
}  // namespace pixdoc::files
