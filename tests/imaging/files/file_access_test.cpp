#include "imaging/io/file_access.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_images.h"

namespace pixdoc::files {
namespace {

using testing::Bytes;
using testing::MemoryName;
using testing::TempFile;

using FileAccessTest = testing::LibraryStateTest;

TEST_F(FileAccessTest, ParsesSpecialNames) {
    ParsedName md = ParseName("MD:123456789012");
    EXPECT_EQ(md.kind, NameKind::kMemoryImage);
    EXPECT_TRUE(md.valid);
    EXPECT_EQ(md.address, 123456789012ull);  // 64-bit addresses survive
    EXPECT_EQ(md.size, -1);

    ParsedName sized = ParseName("MD:4096,77");
    EXPECT_TRUE(sized.valid);
    EXPECT_EQ(sized.size, 77);

    ParsedName ml = ParseName("ML:5000,1728,2200,200,100,1,1,1");
    EXPECT_EQ(ml.kind, NameKind::kMemoryRaw);
    ASSERT_TRUE(ml.valid);
    EXPECT_EQ(ml.address, 5000u);
    const int32_t expected[7] = {1728, 2200, 200, 100, 1, 1, 1};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(ml.raw_header[i], expected[i]) << i;

    ParsedName th = ParseName("TH:1234,/tmp/a.tif");
    EXPECT_EQ(th.kind, NameKind::kTiffDirectory);
    ASSERT_TRUE(th.valid);
    EXPECT_EQ(th.directory, 1234u);
    EXPECT_EQ(th.path, "/tmp/a.tif");

    EXPECT_EQ(ParseName("scan/page.tif").kind, NameKind::kDisk);
}

TEST_F(FileAccessTest, RejectsMalformedSpecialNames) {
    // Too few fields, address 0, the comma at index 16 (it must stand within the first 16
    // characters), a directory beyond 32 bits, no comma, no path.
    for (const char* name :
         {"MD:", "MD:0", "MD:12x", "ML:5000,1728,2200", "ML:0,8,8,200,200,3,0,0",
          "TH:0000000000012,a", "TH:4294967296,a", "TH:12/tmp/a.tif", "TH:12,", ""})
        EXPECT_FALSE(ParseName(name).valid) << name;
    EXPECT_TRUE(ParseName("TH:000000000012,a").valid);  // comma at index 15
    EXPECT_FALSE(ParseName(nullptr).valid);
}

TEST_F(FileAccessTest, MemoryImageReadsSeeksAndBounds) {
    Bytes data = {1, 2, 3, 4, 5, 6, 7, 8};
    const int32_t h = FileOpen(MemoryName(data).c_str());
    ASSERT_GE(h, kFirstMemoryHandle);
    EXPECT_TRUE(IsMemoryHandle(h));
    uint8_t buf[16] = {};
    EXPECT_EQ(FileRead(h, buf, 3), 3);
    EXPECT_EQ(buf[2], 3);
    EXPECT_EQ(FileSeek(h, 6, SeekOrigin::kStart), 6);
    EXPECT_EQ(FileRead(h, buf, 16), 2);  // bounded by the given size
    EXPECT_EQ(buf[1], 8);
    EXPECT_EQ(FileRead(h, buf, 16), 0);
    EXPECT_EQ(FileSeek(h, 0, SeekOrigin::kEnd), 8);
    EXPECT_EQ(FileSeek(h, kMemorySeekLimit, SeekOrigin::kStart), -1);
    EXPECT_EQ(FileSeek(h, kMemorySeekLimit - 1, SeekOrigin::kStart), kMemorySeekLimit - 1);
    FileClose(h);
    EXPECT_EQ(FileRead(h, buf, 1), -1);
}

TEST_F(FileAccessTest, UnsizedMemoryImageReportsSizeZero) {
    Bytes data(32, 7);
    const std::string name = "MD:" + std::to_string(reinterpret_cast<uintptr_t>(data.data()));
    const int32_t h = FileOpen(name.c_str());
    ASSERT_NE(h, kInvalidHandle);
    EXPECT_EQ(FileSeek(h, 0, SeekOrigin::kEnd), 0);
    EXPECT_EQ(FileSeek(h, 4, SeekOrigin::kStart), 4);
    uint8_t buf[4];
    EXPECT_EQ(FileRead(h, buf, 4), 4);
    EXPECT_EQ(buf[3], 7);
    FileClose(h);
}

TEST_F(FileAccessTest, TenMemoryImagesAtMost) {
    Bytes data(4);
    const std::string name = MemoryName(data);
    std::vector<int32_t> handles;
    for (int i = 0; i < kMaxMemoryImages; ++i) {
        handles.push_back(FileOpen(name.c_str()));
        EXPECT_EQ(handles.back(), kFirstMemoryHandle + i);
    }
    EXPECT_EQ(FileOpen(name.c_str()), kInvalidHandle);
    FileClose(handles[3]);
    EXPECT_EQ(FileOpen(name.c_str()), kFirstMemoryHandle + 3);  // a freed slot is reused
}

TEST_F(FileAccessTest, DiskFilesAreReadOnlyAndTiffNamesOpenThePath) {
    const auto path = TempFile("access.bin", Bytes{9, 8, 7, 6, 5});
    const int32_t h = FileOpen(path.c_str());
    ASSERT_GE(h, 0);
    ASSERT_LT(h, kFirstMemoryHandle);
    EXPECT_EQ(FileSeek(h, 0, SeekOrigin::kEnd), 5);
    EXPECT_EQ(FileSeek(h, 1, SeekOrigin::kStart), 1);
    uint8_t b = 0;
    EXPECT_EQ(FileRead(h, &b, 1), 1);
    EXPECT_EQ(b, 8);
    EXPECT_EQ(FileWrite(h, &b, 1), 0);  // opened read-only
    FileClose(h);

    const std::string th = "TH:8," + path.string();
    const int32_t t = FileOpen(th.c_str());
    ASSERT_NE(t, kInvalidHandle);
    EXPECT_EQ(FileSeek(t, 0, SeekOrigin::kEnd), 5);
    FileClose(t);
    EXPECT_EQ(FileOpen((path.string() + ".missing").c_str()), kInvalidHandle);
}

TEST_F(FileAccessTest, CreateWritesDiskAndMemory) {
    const auto path = TempFile("created.bin", Bytes{1, 1, 1, 1, 1, 1});
    const int32_t h = FileCreate(path.c_str());
    ASSERT_NE(h, kInvalidHandle);
    const uint8_t out[3] = {4, 5, 6};
    EXPECT_EQ(FileWrite(h, out, 3), 3);
    FileClose(h);
    EXPECT_EQ(std::filesystem::file_size(path), 3u);  // truncated

    Bytes target(2);
    const int32_t m = FileCreate(MemoryName(target).c_str());
    ASSERT_NE(m, kInvalidHandle);
    EXPECT_EQ(FileWrite(m, out, 3), 2);  // bounded by the given size
    FileClose(m);
    EXPECT_EQ(target[1], 5);
}

TEST_F(FileAccessTest, OpeningSpecialNameForgetsPageCursorName) {
    PageCursor().name = "page.tif";
    PageCursor().page = 2;
    Bytes data(4);
    const int32_t h = FileOpen(MemoryName(data).c_str());
    FileClose(h);
    EXPECT_TRUE(PageCursor().name.empty());
    EXPECT_EQ(PageCursor().page, 0);

    PageCursor().name = "page.tif";
    const auto path = TempFile("plain.bin", Bytes{1});
    FileClose(FileOpen(path.c_str()));
    EXPECT_EQ(PageCursor().name, "page.tif");  // disk names leave it alone
}

}  // namespace
}  // namespace pixdoc::files
