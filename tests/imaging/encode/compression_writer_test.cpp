// The compression writer's codings bit for bit on the cases the standard pins down, its
// delivery (memory, files, bit reversal, short writes, a full disk) and its result codes.
#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/decode/bilevel/bit_reader.h"
#include "imaging/decode/bilevel/line_codings.h"
#include "imaging/decode/bilevel/row_to_changes.h"
#include "imaging/encode/bit_packer.h"
#include "imaging/encode/line_coder.h"
#include "pixdoc32.h"
#include "tests/imaging/encode/writer_harness.h"
#include "tests/support/scratch_dir.h"

namespace pixdoc::encode {
namespace {

using bilevel::testing::Bitmap;
using testing::Bits;
using testing::Encode;
using testing::Repeat;
using testing::WriterSettings;

const std::string kEol = "000000000001";
const std::string kWhite1728 = "010011011";  // make-up
const std::string kWhite0 = "00110101";

Bitmap WhitePage(int width, int height) {
    return Bitmap(width, height);
}

Bitmap OneRow(int width, const std::vector<std::pair<int, int>>& black_runs) {
    Bitmap b(width, 1);
    for (auto [from, to] : black_runs)
        for (int x = from; x < to; ++x)
            b.Set(x, 0);
    return b;
}

TEST(OneDimensionalCoding, WhiteRowOf1728IsEolMakeUpAndZeroTerminating) {
    const std::string bits = Bits(Encode(WhitePage(1728, 1), WriterSettings{0}));
    const std::string line = kEol + kWhite1728 + kWhite0;
    // Then six EOLs and the zero bits of the last byte.
    EXPECT_EQ(bits, line + Repeat(kEol, 6) + std::string(bits.size() - line.size() - 72, '0'));
    EXPECT_EQ(bits.size(), (line.size() + 72 + 7) / 8 * 8);  // delivered to the last code byte
}

TEST(OneDimensionalCoding, LongBlackRunTakesTwo2560CodesThen832And48) {
    const std::string bits = Bits(Encode(OneRow(6000, {{0, 6000}}), WriterSettings{5}));
    const std::string expected =
        kWhite0 + "000000011111" + "000000011111" + "0000001001101" + "000001100100";
    EXPECT_EQ(bits.substr(0, expected.size()), expected);
}

// Every run length of both colours codes to bits that the decoder's tables read back as that
// run, consuming them exactly.
TEST(OneDimensionalCoding, EveryRunLengthDecodesBack) {
    for (int colour = 0; colour < 2; ++colour)
        for (int run = colour; run <= 6000; run += run < 2700 ? 1 : 97) {
            std::vector<uint8_t> buffer(64, 0);
            BitPacker out(buffer.data(), 0, 0);
            // A white run of 0 first makes the row start with the colour under test.
            const int width = run + 1;
            Bitmap row = colour == 0 ? OneRow(width, {{run, width}}) : OneRow(width, {{0, run}});
            std::vector<int16_t> changes(size_t(width) + 20);
            bilevel::RowToChanges(row.bytes.data(), width, changes.data());
            CodeOneDLine(changes.data(), width, out);
            const int64_t coded = out.BitsSince(buffer.data());
            out.PutZeros(32);
            bilevel::BitReader reader(buffer.data(), int32_t(buffer.size()), {});
            if (colour == 1) {
                EXPECT_EQ(bilevel::ReadRunLength(reader, 0, width), 0);
            }
            ASSERT_EQ(bilevel::ReadRunLength(reader, colour, width), run) << colour;
            bilevel::ReadRunLength(reader, colour ^ 1, width);
            const int64_t read = int64_t(reader.Save().position) * 8 - reader.Save().bit_count;
            EXPECT_EQ(read, coded) << "colour " << colour << " run " << run;
        }
}

TEST(TwoDimensionalCoding, KZeroMakesEveryFourthLineOneDimensional) {
    const std::string bits = Bits(Encode(WhitePage(1728, 8), WriterSettings{2, 0, 0}));
    const std::string one_d = kEol + "1" + kWhite1728 + kWhite0;
    const std::string two_d = kEol + "0" + "1";  // V0 onto the white reference
    const std::string cycle = one_d + two_d + two_d + two_d;
    EXPECT_EQ(bits.substr(0, 2 * cycle.size()), cycle + cycle);
    EXPECT_EQ(bits.substr(2 * cycle.size(), 6 * 13), Repeat(kEol + "1", 6));
}

TEST(TwoDimensionalCoding, TaggedStartHasEolsOnTheFirstTwoLinesOnly) {
    const std::string bits = Bits(Encode(WhitePage(1728, 4), WriterSettings{4}));
    const std::string expected = kEol + "1" + kWhite1728 + kWhite0 + kEol + "0" + "1" + "1" + "1";
    EXPECT_EQ(bits.substr(0, expected.size()), expected);
}

TEST(TwoDimensionalCoding, Group4EndsWithTheEndOfBlock) {
    const std::string bits = Bits(Encode(WhitePage(64, 3), WriterSettings{1}));
    EXPECT_EQ(bits.substr(0, 27), "111" + kEol + kEol);
}

TEST(UncompressedMode, AlternatingPixelsAreWrittenUncompressedWhenShorter) {
    Bitmap row(64, 1);
    for (int x = 1; x < 64; x += 2)
        row.Set(x, 0);
    const std::vector<uint8_t> data = Encode(row, WriterSettings{6});
    // Entry and "01" per pair of pixels; the exit and a last mode take 10 bits however the
    // row ends (exit at the end, or with the last white and a V0), then the end of block.
    const std::string expected = "0000001111" + Repeat("01", 31);
    EXPECT_EQ(Bits(data).substr(0, expected.size()), expected);
    EXPECT_EQ(data.size(), size_t(10 + 64 + 8 + 24 + 7) / 8);
    EXPECT_EQ(testing::Cropped(testing::Decode(data, 64, 1, 6, 0), 64), row);
    // Group 4 proper codes the same row in modes, which take longer.
    EXPECT_GT(Encode(row, WriterSettings{1}).size(), data.size());
}

TEST(UncompressedMode, MixedRowsKeepModesWhereTheyAreShorter) {
    // Halftone in the middle of a long white line and a solid bar: a stretch in uncompressed
    // mode between modes.
    Bitmap page(2000, 6);
    for (int y = 0; y < 6; ++y) {
        for (int x = 600 + y % 2; x < 900; x += 2)
            page.Set(x, y);
        for (int x = 1200; x < 1500; ++x)
            page.Set(x, y);
    }
    const std::vector<uint8_t> mixed = Encode(page, WriterSettings{6});
    EXPECT_EQ(testing::Cropped(testing::Decode(mixed, 2000, 6, 6, 0), 2000), page);
    EXPECT_LT(mixed.size(), Encode(page, WriterSettings{1}).size());
}

TEST(Pcx, RunsSinglesAndHighBytes) {
    Bitmap row(8 * 133, 1);
    // 130 white bytes (0xFF once inverted), then 0x3F -> 0xC0 alone, then 0xF0 -> 0x0F alone.
    for (int x = 130 * 8 + 2; x < 131 * 8; ++x)
        row.Set(x, 0);
    for (int x = 131 * 8; x < 131 * 8 + 4; ++x)
        row.Set(x, 0);
    const std::vector<uint8_t> data = Encode(row, WriterSettings{7});
    // 130 = 63 + 63 + 4; 0xC0 alone needs a count; 0x0F stands for itself; the last white byte
    // (0xFF) needs a count again.
    EXPECT_EQ(data, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xC4, 0xFF, 0xC1, 0xC0, 0x0F,
                                          0xC1, 0xFF}));
}

TEST(Delivery, BitReversalReversesEveryDeliveredByte) {
    const Bitmap page = bilevel::testing::RandomPage(1728, 120, 7);
    std::vector<uint8_t> plain = Encode(page, WriterSettings{1});
    const std::vector<uint8_t> reversed = Encode(page, WriterSettings{1, 1});
    XchgBytes(plain.data(), int32_t(plain.size()));
    EXPECT_EQ(plain, reversed);
}

TEST(Delivery, MemoryOutputAdvancesByTheBytesDeliveredAndTouchesNothingBeyond) {
    const Bitmap page = bilevel::testing::RandomPage(2600, 400, 3);
    std::vector<uint8_t> out(testing::Room(page), 0xAA);
    CompressionRecord r = testing::MemoryRecord(2600, WriterSettings{0}, out.data(), out.size());
    std::snprintf(r.target_name, sizeof r.target_name, "MEMORYDIRECT");
    ASSERT_EQ(CompressionStart(&r), 0);
    EXPECT_EQ(r.file_handle, -1);
    for (int y = 0; y < page.height; ++y)
        ASSERT_LT(CompressLine(&r, page.bytes.data() + size_t(y) * page.RowBytes()), 4096);
    ASSERT_EQ(CompressEnd(&r), 0);
    EXPECT_EQ(r.output_buffer, nullptr);
    EXPECT_EQ(r.start - reinterpret_cast<intptr_t>(out.data()), r.bytes_delivered);
    EXPECT_GT(r.bytes_delivered, 4096);
    EXPECT_EQ(out[size_t(r.bytes_delivered)], 0xAA);
    EXPECT_NE(out[size_t(r.bytes_delivered) - 1], 0x00);  // the last byte holds code bits
}

TEST(Delivery, BoundedMemoryFallsShortInsteadOfWritingPastIt) {
    const Bitmap page = bilevel::testing::RandomPage(2600, 400, 3);
    std::vector<uint8_t> out(6000 + 16, 0xAA);
    CompressionRecord r = testing::MemoryRecord(2600, WriterSettings{0}, out.data(), 6000);
    ASSERT_EQ(CompressionStart(&r), 0);
    int32_t last = 0;
    for (int y = 0; y < page.height; ++y)
        last = CompressLine(&r, page.bytes.data() + size_t(y) * page.RowBytes());
    EXPECT_GE(r.bytes_pending, 4096);  // a block waits
    EXPECT_EQ(last, 6000 - 4096);      // what the last copy could store
    EXPECT_EQ(r.bytes_delivered, 4096);
    EXPECT_EQ(CompressEnd(&r), 2);
    EXPECT_EQ(out[6000], 0xAA);
}

TEST(Delivery, FileOutputStartsAtTheOffsetAndEqualsMemoryOutput) {
    scantora::testing::ScratchDir dir;
    const Bitmap page = bilevel::testing::RandomPage(1728, 500, 11);
    const std::string path = (dir / "page.g4").string();
    CompressionRecord r{};
    std::snprintf(r.target_name, sizeof r.target_name, "%s", path.c_str());
    r.coding = 1;
    r.width = 1728;
    r.start = 100;
    ASSERT_EQ(CompressionStart(&r), 0);
    for (int y = 0; y < page.height; ++y)
        CompressLine(&r, page.bytes.data() + size_t(y) * page.RowBytes());
    ASSERT_EQ(CompressEnd(&r), 0);
    EXPECT_EQ(CloseCompressionFile(r.file_handle), 0);
    const std::string file = scantora::testing::ReadFile(path);
    const std::vector<uint8_t> memory = Encode(page, WriterSettings{1});
    ASSERT_EQ(file.size(), 100 + memory.size());
    EXPECT_EQ(file.substr(0, 100), std::string(100, '\0'));
    EXPECT_EQ(file.substr(100), std::string(memory.begin(), memory.end()));
}

// A file limit makes a write fall short; once the limit is lifted the same bytes go to the same
// place and the file equals an undisturbed coding.
TEST(Delivery, ShortWriteIsReportedAndRetriedInPlace) {
    scantora::testing::ScratchDir dir;
    const Bitmap page = bilevel::testing::RandomPage(2600, 600, 5);
    const std::vector<uint8_t> expected = Encode(page, WriterSettings{0});
    ASSERT_GT(expected.size(), 3 * 4096u);
    const std::string path = (dir / "short.g3").string();
    CompressionRecord r{};
    std::snprintf(r.target_name, sizeof r.target_name, "%s", path.c_str());
    r.coding = 0;
    r.width = page.width;
    ASSERT_EQ(CompressionStart(&r), 0);

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto* previous = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 6000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int y = 0;
    int32_t result = 0;
    for (; y < page.height && !(r.bytes_pending >= 4096); ++y)
        result = CompressLine(&r, page.bytes.data() + size_t(y) * page.RowBytes());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_EQ(result, 6000 - 4096);
    EXPECT_EQ(r.bytes_delivered, 4096);

    for (; y < page.height; ++y)
        EXPECT_LT(CompressLine(&r, page.bytes.data() + size_t(y) * page.RowBytes()), 4096);
    ASSERT_EQ(CompressEnd(&r), 0);
    CloseCompressionFile(r.file_handle);
    const std::string file = scantora::testing::ReadFile(path);
    EXPECT_TRUE(file == std::string(expected.begin(), expected.end()));
}

TEST(Delivery, FullDiskIsAShortWriteAndEndSaysSo) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const Bitmap page = bilevel::testing::RandomPage(2600, 300, 9);
    CompressionRecord r{};
    std::snprintf(r.target_name, sizeof r.target_name, "/dev/full");
    r.coding = 5;
    r.width = page.width;
    ASSERT_EQ(CompressionStart(&r), 0);
    bool fell_short = false;
    for (int y = 0; y < page.height; ++y) {
        const int32_t result = CompressLine(&r, page.bytes.data() + size_t(y) * page.RowBytes());
        if (r.bytes_pending >= 4096) {
            fell_short = true;
            EXPECT_EQ(result, 0);
        }
    }
    EXPECT_TRUE(fell_short);
    EXPECT_EQ(r.bytes_delivered, 0);
    EXPECT_EQ(CompressEnd(&r), 2);
    EXPECT_EQ(r.output_buffer, nullptr);
    CloseCompressionFile(r.file_handle);
}

TEST(ResultCodes, RefusedRecordsLeaveTheTargetAlone) {
    scantora::testing::ScratchDir dir;
    const std::string path = (dir / "never.g4").string();
    auto start = [&](int32_t coding, int32_t width) {
        CompressionRecord r{};
        std::snprintf(r.target_name, sizeof r.target_name, "%s", path.c_str());
        r.coding = coding;
        r.width = width;
        return CompressionStart(&r);
    };
    for (int32_t coding : {-1, 3, 8, 10, 256})
        EXPECT_EQ(start(coding, 1728), 1) << coding;
    EXPECT_EQ(start(1, 0), 1);
    EXPECT_EQ(start(1, 30001), 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(CompressionStart(nullptr), 1);

    CompressionRecord unwritable{};
    std::snprintf(unwritable.target_name, sizeof unwritable.target_name, "%s",
                  (dir / "missing" / "page.g4").c_str());
    unwritable.coding = 1;
    unwritable.width = 1728;
    EXPECT_EQ(CompressionStart(&unwritable), 1);
    EXPECT_EQ(unwritable.output_buffer, nullptr);

    CompressionRecord nowhere{};
    std::snprintf(nowhere.target_name, sizeof nowhere.target_name, "MEMORYDIRECT");
    nowhere.coding = 1;
    nowhere.width = 1728;
    EXPECT_EQ(CompressionStart(&nowhere), 1);  // no address to store at

    CompressionRecord unterminated{};
    std::memset(unterminated.target_name, 'a', sizeof unterminated.target_name);
    unterminated.coding = 1;
    unterminated.width = 1728;
    EXPECT_EQ(CompressionStart(&unterminated), 1);

    EXPECT_EQ(CompressLine(nullptr, nullptr), -1);
    EXPECT_EQ(CompressLine(&unwritable, nullptr), -1);  // not started
    EXPECT_EQ(CompressEnd(&unwritable), 1);
}

TEST(ResultCodes, CodingNineCodesNothing) {
    std::vector<uint8_t> out(64, 0xAA);
    CompressionRecord r = testing::MemoryRecord(1728, WriterSettings{9}, out.data(), out.size());
    ASSERT_EQ(CompressionStart(&r), 0);
    std::vector<uint8_t> row(216, 0xFF);
    EXPECT_EQ(CompressLine(&r, row.data()), 9);
    EXPECT_EQ(CompressEnd(&r), 0);
    EXPECT_EQ(r.bytes_delivered, 0);
    EXPECT_EQ(out[0], 0xAA);
}

TEST(ResultCodes, MinimumLineLengthIsClampedAndFillsBeforeEachEol) {
    std::vector<uint8_t> out(4096);
    CompressionRecord r =
        testing::MemoryRecord(1728, WriterSettings{0, 0, 0, 5000}, out.data(), out.size());
    ASSERT_EQ(CompressionStart(&r), 0);
    EXPECT_EQ(r.min_line_bits, 1024);
    CompressEnd(&r);

    const Bitmap page = WhitePage(1728, 3);
    const std::string bits = Bits(Encode(page, WriterSettings{0, 0, 0, 100}));
    // 29 bits a line, filled by 16 zero bits at a time to 109 before the next EOL.
    const std::string line = kEol + kWhite1728 + kWhite0;
    const std::string fill(80, '0');
    EXPECT_EQ(bits.substr(0, 3 * 29 + 2 * 80), line + fill + line + fill + line);
    EXPECT_EQ(testing::Cropped(
                  testing::Decode(Encode(page, WriterSettings{0, 0, 0, 100}), 1728, 3, 0, 0), 1728),
              page);
}

TEST(ReStart, CodesThePageAgainOverTheSamePlace) {
    const Bitmap first = bilevel::testing::RandomPage(1728, 300, 1);
    const Bitmap second = bilevel::testing::RandomPage(1728, 200, 2);
    std::vector<uint8_t> out(testing::Room(first));
    CompressionRecord r =
        testing::MemoryRecord(1728, WriterSettings{2, 0, 3}, out.data(), out.size());
    ASSERT_EQ(CompressionStart(&r), 0);
    for (int y = 0; y < first.height; ++y)
        CompressLine(&r, first.bytes.data() + size_t(y) * first.RowBytes());
    ASSERT_GT(r.bytes_delivered, 0);
    ASSERT_EQ(CompressionReStart(&r), 0);
    EXPECT_EQ(r.start, reinterpret_cast<intptr_t>(out.data()));
    EXPECT_EQ(r.line_counter, 0);
    for (int y = 0; y < second.height; ++y)
        CompressLine(&r, second.bytes.data() + size_t(y) * second.RowBytes());
    ASSERT_EQ(CompressEnd(&r), 0);
    const std::vector<uint8_t> alone = Encode(second, WriterSettings{2, 0, 3});
    ASSERT_EQ(size_t(r.bytes_delivered), alone.size());
    EXPECT_TRUE(std::equal(alone.begin(), alone.end(), out.begin()));

    CompressionRecord not_open{};
    std::snprintf(not_open.target_name, sizeof not_open.target_name, "/tmp/x");
    not_open.file_handle = -1;
    EXPECT_EQ(CompressionReStart(&not_open), 1);
}

TEST(FileExports, OpenSeekWriteClose) {
    scantora::testing::ScratchDir dir;
    const std::string path = (dir / "f.bin").string();
    const int32_t h = OpenCompressionFile(path.c_str(), 10);
    ASSERT_GE(h, 0);
    EXPECT_EQ(WriteCompressionFile(h, "abc", 3), 3);
    EXPECT_EQ(SeekCompressionFile(h, 2), 2);
    EXPECT_EQ(WriteCompressionFile(h, "z", 1), 1);
    EXPECT_EQ(CloseCompressionFile(h), 0);
    EXPECT_EQ(CloseCompressionFile(-1), 0);
    EXPECT_EQ(scantora::testing::ReadFile(path), std::string("\0\0z\0\0\0\0\0\0\0abc", 13));
    EXPECT_EQ(OpenCompressionFile(path.c_str(), -5), -1);
    EXPECT_EQ(OpenCompressionFile((dir / "no" / "f").c_str(), 0), -1);
}

}  // namespace
}  // namespace pixdoc::encode
