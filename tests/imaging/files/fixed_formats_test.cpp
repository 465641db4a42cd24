// Header tests for the fixed-layout formats, from small headers built here.
#include <gtest/gtest.h>

#include <string>

#include "imaging/files/pcx_probe.h"
#include "test_images.h"

namespace pixdoc::files {
namespace {

using testing::Bytes;
using testing::HasFields;
using testing::MemoryName;
using testing::Open;
using testing::OpenResult;
using testing::OpensAs;
using testing::PutLe16;
using testing::PutLe32;
using testing::PutText;
using testing::TempFile;

using FixedFormatTest = testing::LibraryStateTest;

// A bilevel PCX header at `at`: window (0,0)-(xmax,ymax), resolutions, bytes per line.
void PutPcxHeader(Bytes& b, size_t at, int xmax, int ymax, int xres, int yres, int bytes_per_line) {
    if (b.size() < at + 128) b.resize(at + 128);
    b[at] = 0x0A;
    b[at + 2] = 1;
    b[at + 3] = 1;
    PutLe16(b, at + 4, 0);
    PutLe16(b, at + 6, 0);
    PutLe16(b, at + 8, xmax);
    PutLe16(b, at + 10, ymax);
    PutLe16(b, at + 12, xres);
    PutLe16(b, at + 14, yres);
    b[at + 65] = 1;
    PutLe16(b, at + 66, bytes_per_line);
}

TEST_F(FixedFormatTest, BilevelPcx) {
    Bytes pcx;
    PutPcxHeader(pcx, 0, 1700, 2199, 200, 100, 0);
    pcx.resize(400);
    ImageHeader h;
    ASSERT_EQ(Open(MemoryName(pcx), 1, h), 0);
    // The width is 1701 rounded up to a multiple of 8.
    EXPECT_TRUE(HasFields(h,
                          "compression 7, width 1704, height 2200, x_resolution 200, y_resolution "
                          "100, fill_order 0, data_offset 128"));
    EXPECT_EQ(h.horizontal_scale, 2048);
    EXPECT_EQ(h.vertical_scale, 2048);

    // Bytes per line decide the width when they disagree with the window.
    PutLe16(pcx, 66, 216);
    EXPECT_TRUE(OpensAs(MemoryName(pcx), 1, "width 1728"));

    // Page 2 of a lone PCX file is not recognised; it counts as one page.
    EXPECT_EQ(Open(MemoryName(pcx), 2, h), 2);
    EXPECT_EQ(GetTiffPages(MemoryName(pcx).c_str()), 1);
}

// Runs the bilevel PCX probe alone over a memory image.
bool BilevelPcxMatches(const Bytes& pcx) {
    ProbeSource source;
    source.handle = FileOpen(MemoryName(pcx).c_str());
    source.memory = true;
    ImageHeader h{};
    const bool matched = ProbeBilevelPcx(source, h);
    FileClose(source.handle);
    return matched;
}

TEST_F(FixedFormatTest, BilevelPcxRefusals) {
    const struct {
        const char* what;
        int xmax, bytes_per_line, patch_at, patch;
        bool matches;
    } cases[] = {{"24 pixels", 23, 0, -1, 0, true},
                 {"16 pixels: below 24", 15, 0, -1, 0, false},
                 {"8200 pixels: above 8192", 8192, 0, -1, 0, false},
                 {"16000 pixels from bytes per line", 799, 2000, -1, 0, false},
                 {"not one bit per pixel", 799, 0, 3, 8, false},
                 {"ymin above ymax", 799, 0, 6, 100, false}};
    Bytes pcx;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PutPcxHeader(pcx, 0, c.xmax, 99, 200, 200, c.bytes_per_line);
        if (c.patch_at >= 0) pcx[c.patch_at] = uint8_t(c.patch);
        EXPECT_EQ(BilevelPcxMatches(pcx), c.matches);
    }
    // Such files go on to the colour header probe, which may know them as colour PCX.
    ImageHeader h;
    PutPcxHeader(pcx, 0, 15, 99, 200, 200, 0);
    if (Open(MemoryName(pcx), 1, h) == 0) {
        EXPECT_NE(h.compression, 7);
    }
}

TEST_F(FixedFormatTest, DcxPagesAndCount) {
    Bytes dcx = {0xB1, 0x68, 0xDE, 0x3A};
    dcx.resize(4 + 4096);
    const size_t pages[3] = {4200, 4400, 4600};
    for (int i = 0; i < 3; ++i) {
        PutLe32(dcx, 4 + 4 * i, static_cast<uint32_t>(pages[i]));
        PutPcxHeader(dcx, pages[i], 1727, 1000 + i, 400, 196, 0);
    }
    const std::string name = MemoryName(dcx);
    EXPECT_EQ(GetTiffPages(name.c_str()), 3);
    // A fax width above 300 dpi is taken as 200; the data follows the page's 128-byte header.
    EXPECT_TRUE(OpensAs(name, 2,
                        "compression 7, width 1728, height 1002, x_resolution 200, y_resolution "
                        "196, data_offset 4528"));
    EXPECT_EQ(OpenResult(name, 4), 2);  // zero fourth entry
}

Bytes CalsFile(const std::vector<std::string>& records) {
    Bytes cals;
    for (size_t i = 0; i < records.size(); ++i) {
        cals.resize((i + 1) * 128, ' ');
        PutText(cals, i * 128, records[i]);
    }
    cals.resize(2048 + 16, 0);
    return cals;
}

TEST_F(FixedFormatTest, CalsTypeOne) {
    const Bytes cals = CalsFile({"srcdocid: none", "rtype: 1", "rorient: 090,270",
                                 "rpelcnt: 002480,003508", "rdensty: 0300"});
    EXPECT_TRUE(OpensAs(MemoryName(cals), 1,
                        "compression 1, width 2480, height 3508, x_resolution 300, y_resolution "
                        "300, orientation 1, data_offset 2048"));
    EXPECT_EQ(OpenResult(MemoryName(cals), 2), 2);
}

TEST_F(FixedFormatTest, CalsOrientationsAndFields) {
    struct Case {
        const char* orient;
        int32_t turns;
    } cases[] = {{"000,270", 3}, {"090,270", 1}, {"180,270", 0}, {"270,270", 2}, {"090,000", 0}};
    for (const Case& c : cases) {
        const Bytes cals =
            CalsFile({"rtype: 1", std::string("rorient: ") + c.orient, "rpelcnt: 001728 002200"});
        // No comma: the height is the number at the ninth character.
        EXPECT_TRUE(OpensAs(MemoryName(cals), 1,
                            "width 1728, height 2200, orientation " + std::to_string(c.turns)))
            << c.orient;
    }
}

TEST_F(FixedFormatTest, CalsWithoutPixelCountOrOfOtherTypeIsRefused) {
    EXPECT_EQ(OpenResult(MemoryName(CalsFile({"rtype: 1", "rdensty: 200"})), 1), 2);
    EXPECT_EQ(OpenResult(MemoryName(CalsFile({"rtype: 2", "rpelcnt: 100,100"})), 1), 2);
}

// A 600-byte header starting with `magic`, with 16-bit little-endian fields {offset, value}.
Bytes RasterHeader(const std::string& magic,
                   std::initializer_list<std::pair<size_t, uint32_t>> fields) {
    Bytes b(600);
    PutText(b, 0, magic);
    for (const auto& [at, value] : fields)
        PutLe16(b, at, value);
    return b;
}

TEST_F(FixedFormatTest, DcFormat) {
    Bytes b = RasterHeader("\xDC", {{6, 2200}, {8, 1728}});
    // Byte 13 zero: fill order 1.
    EXPECT_TRUE(OpensAs(
        MemoryName(b), 1,
        "compression 1, width 1728, height 2200, x_resolution 200, fill_order 1, data_offset 512"));
    b[13] = 1;
    PutLe16(b, 8, 2480);
    EXPECT_TRUE(OpensAs(MemoryName(b), 1, "y_resolution 300, fill_order 0"));
    PutLe16(b, 6, 255);  // below 256
    EXPECT_EQ(OpenResult(MemoryName(b), 1), 2);
}

TEST_F(FixedFormatTest, CdAbFormatKeepsItsCode) {
    Bytes b = RasterHeader("\xCD\xAB", {{6, 100}, {8, 64}, {12, 10}, {16, 150}, {18, 300}});
    EXPECT_TRUE(OpensAs(MemoryName(b), 1,
                        "compression 10, width 64, height 100, x_resolution 300, y_resolution 150, "
                        "data_offset 512"));
    PutLe16(b, 8, 8193);
    EXPECT_EQ(OpenResult(MemoryName(b), 1), 2);
}

TEST_F(FixedFormatTest, DirSectFormat) {
    const Bytes b =
        RasterHeader("DiR-sEcT", {{41, 300}, {43, 200}, {45, 2480}, {47, 3508}, {55, 256}});
    EXPECT_TRUE(OpensAs(MemoryName(b), 1,
                        "compression 1, width 2480, height 3508, x_resolution 300, y_resolution "
                        "200, fill_order 1, data_offset 256"));
    EXPECT_EQ(OpenResult(MemoryName(b), 2), 2);
}

// Page-chain records: 72-byte headers, each followed by `length` data bytes.
Bytes PageChain(const std::vector<std::pair<int, uint32_t>>& pages) {
    Bytes b;
    for (const auto& [bytes_per_row, length] : pages) {
        const size_t at = b.size();
        b.resize(at + 72 + length);
        b[at] = 0xFE;
        PutLe16(b, at + 4, bytes_per_row);
        PutLe16(b, at + 6, 1000);
        PutLe32(b, at + 8, length);
    }
    return b;
}

TEST_F(FixedFormatTest, PageChainWalksToItsPages) {
    const Bytes b = PageChain({{216, 10}, {310, 0}, {100, 30}});
    const std::string name = MemoryName(b);
    EXPECT_EQ(GetTiffPages(name.c_str()), 3);
    // The data of page 3 follows two records of 72 + 10 and 72 + 0 bytes and its own header.
    EXPECT_TRUE(OpensAs(
        name, 3,
        "compression 1, width 800, height 1000, x_resolution 300, fill_order 1, data_offset 226"));
    EXPECT_TRUE(OpensAs(name, 2, "width 2480"));
    EXPECT_EQ(OpenResult(name, 4), 2);
}

TEST_F(FixedFormatTest, PageCountRules) {
    // A page-chain file is counted only when byte 1 of each record header is 0.
    Bytes chain = PageChain({{216, 10}, {216, 10}});
    EXPECT_EQ(GetTiffPages(MemoryName(chain).c_str()), 2);
    chain[72 + 10 + 1] = 5;
    EXPECT_EQ(GetTiffPages(MemoryName(chain).c_str()), 1);
    chain[1] = 5;
    EXPECT_EQ(GetTiffPages(MemoryName(chain).c_str()), 1);  // not a chain: one page

    // A DCX table without a zero entry counts at most 1023 pages.
    Bytes dcx = {0xB1, 0x68, 0xDE, 0x3A};
    dcx.resize(4 + 4096, 0x01);
    EXPECT_EQ(GetTiffPages(MemoryName(dcx).c_str()), 1023);
    PutLe32(dcx, 4 + 4 * 600, 0);
    EXPECT_EQ(GetTiffPages(MemoryName(dcx).c_str()), 600);
}

Bytes FixedHeader(bool big, uint16_t compression, uint16_t options) {
    Bytes b(200);
    auto put16 = [&](size_t at, uint32_t v) {
        b[at + (big ? 1 : 0)] = v & 0xFF;
        b[at + (big ? 0 : 1)] = (v >> 8) & 0xFF;
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at + (big ? 2 : 0), v & 0xFFFF);
        put16(at + (big ? 0 : 2), v >> 16);
    };
    PutText(b, 0, big ? "NN" : "nn");
    put32(4, 120);
    put16(20, compression);
    put16(22, options);
    put32(56, 80);
    put16(64, 1728);
    put16(70, 1100);
    put16(72, 6);
    put16(78, 1);
    put16(86, 204);
    put16(88, 98);
    return b;
}

TEST_F(FixedFormatTest, FixedHeaderFormatFromDiskInBothByteOrders) {
    struct Case {
        uint16_t compression, options;
        int32_t code;
    } cases[] = {{1, 0, 3}, {2, 0, 0}, {3, 0, 0}, {3, 1, 2},
                 {3, 3, 2}, {3, 2, 5}, {4, 0, 1}, {32773, 0, 10}};
    for (bool big : {false, true}) {
        for (const Case& c : cases) {
            const auto path = TempFile("fixed.raw", FixedHeader(big, c.compression, c.options));
            EXPECT_TRUE(
                OpensAs(path.string(), 5,
                        "compression " + std::to_string(c.code) +
                            ", width 1728, height 1100, x_resolution 204, y_resolution 98, "
                            "fill_order 0, orientation 1, data_offset 120, data_byte_count 80"))
                << big << " " << c.compression << "/" << c.options;
        }
    }
}

TEST_F(FixedFormatTest, FixedHeaderFormatRefusals) {
    const Bytes good = FixedHeader(false, 4, 0);
    EXPECT_EQ(OpenResult(MemoryName(good), 1), 2);  // memory images never match
    EXPECT_EQ(OpenResult(TempFile("bad_code.raw", FixedHeader(false, 7, 0)).string(), 1), 2);
    Bytes bad_orientation = good;
    bad_orientation[72] = 2;
    EXPECT_EQ(OpenResult(TempFile("bad_orient.raw", bad_orientation).string(), 1), 2);
}

TEST_F(FixedFormatTest, PlainTextIsOnePageAndUnrecognised) {
    const auto path = TempFile("notes.txt", [] {
        Bytes b;
        PutText(b, 0, "Just a few lines of plain text,\nnothing like an image file.\n");
        return b;
    }());
    EXPECT_EQ(OpenResult(path.string(), 1), 2);
    EXPECT_EQ(GetTiffPages(path.c_str()), 1);
}

TEST_F(FixedFormatTest, RawMemoryNameGivesItsHeader) {
    Bytes raw(1728 / 8 * 4);
    const std::string name =
        "ML:" + std::to_string(reinterpret_cast<uintptr_t>(raw.data())) + ",1728,4,204,196,3,1,1";
    EXPECT_TRUE(OpensAs(name, 1,
                        "compression 3, width 1728, height 4, x_resolution 204, y_resolution 196, "
                        "fill_order 1, data_offset 0"));
    EXPECT_EQ(HeaderState().negative, 1);
}

TEST_F(FixedFormatTest, BadArgumentsGiveOne) {
    ImageHeader h;
    EXPECT_EQ(OpenImageHeader(0, nullptr, 1, &h), 1);
    EXPECT_EQ(OpenImageHeader(0, "", 1, &h), 1);
    Bytes b(200);
    EXPECT_EQ(Open(MemoryName(b), 0, h), 1);
    EXPECT_EQ(Open("/nonexistent/dir/file.tif", 1, h), 1);
    EXPECT_EQ(GetTiffPages(nullptr), -1);
    EXPECT_EQ(GetTiffPages("/nonexistent/dir/file.tif"), -1);
}

}  // namespace
}  // namespace pixdoc::files
