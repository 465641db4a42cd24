// The information exports and their ordinals, and the pixdoc-info tool.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "test_images.h"

namespace pixdoc::files {
namespace {

using testing::BilevelEntries;
using testing::Bytes;
using testing::MemoryName;
using testing::TempFile;
using testing::TiffBuilder;

class InfoExportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ResetLibraryState();
        // One G4 page whose 6 data bytes lie at 200.
        auto entries = BilevelEntries(1728, 2200, 4, 200);
        entries[6].value = 6;
        tiff_.AddDirectory(entries);
        tiff_.bytes().resize(200);
        tiff_.bytes().insert(tiff_.bytes().end(), {1, 2, 3, 4, 5, 6, 7, 8});
        path_ = TempFile("info.tif", tiff_.bytes()).string();
    }
    void TearDown() override { testing::ResetLibraryState(); }

    TiffBuilder tiff_;
    std::string path_;
};

TEST_F(InfoExportsTest, InfoAndSize) {
    int32_t w = -1, h = -1;
    ASSERT_EQ(PXGetImageInfo(path_.c_str(), 1, &w, &h), 0);
    EXPECT_EQ(w, 1728);
    EXPECT_EQ(h, 2200);
    w = h = -7;
    EXPECT_EQ(PXGetImageInfo(path_.c_str(), 2, &w, &h), 1);
    EXPECT_EQ(w, -7);  // untouched on failure
    EXPECT_EQ(PXGetImageSize(path_.c_str(), 1), 6);
    EXPECT_EQ(PXGetImageSize(path_.c_str(), 2), -1);

    std::array<int32_t, 8> out{};
    ASSERT_EQ(PXGetImageInfoExtended(path_.c_str(), 1, &out[0], &out[1], &out[2], &out[3], &out[4],
                                     &out[5], &out[6], &out[7]),
              0);
    EXPECT_EQ(out[0], 1728);
    EXPECT_EQ(out[2], 200);
    EXPECT_EQ(out[5], 1);
    EXPECT_EQ(out[7], 0);
}

TEST_F(InfoExportsTest, InfoAndImageCopiesTheData) {
    const std::string target = path_ + ".out";
    int32_t width = 0, count_code = 0;
    ASSERT_EQ(PXGetImageInfoAndImage(path_.c_str(), 1, &width, nullptr, nullptr, nullptr, nullptr,
                                     &count_code, nullptr, nullptr, target.c_str()),
              0);
    EXPECT_EQ(width, 1728);
    EXPECT_EQ(count_code, 1);
    std::ifstream in(target, std::ios::binary);
    const Bytes copied((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(copied, (Bytes{1, 2, 3, 4, 5, 6}));

    Bytes memory(6, 0xEE);
    ASSERT_EQ(PXGetImageInfoAndImage(path_.c_str(), 1, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, MemoryName(memory).c_str()),
              0);
    EXPECT_EQ(memory, (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(InfoExportsTest, InfoAndImageFailures) {
    const std::string target = path_ + ".out";
    auto copy = [&](const std::string& from, const std::string& to) {
        return PXGetImageInfoAndImage(from.c_str(), 1, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, to.c_str());
    };
    EXPECT_EQ(copy(path_ + ".missing", target), 1);
    EXPECT_EQ(copy(path_, "/nonexistent/dir/out"), 2);
    // No byte count.
    TiffBuilder no_count;
    auto entries = BilevelEntries(64, 8, 4, 8);
    entries.pop_back();
    no_count.AddDirectory(entries);
    EXPECT_EQ(copy(TempFile("no_count.tif", no_count.bytes()).string(), target), 3);
    // The byte count runs past the end of the file.
    TiffBuilder short_data;
    auto long_entries = BilevelEntries(64, 8, 4, 8);
    long_entries[6].value = 0x7FFFFFFF;
    short_data.AddDirectory(long_entries);
    EXPECT_EQ(copy(TempFile("short.tif", short_data.bytes()).string(), target), 4);
}

TEST_F(InfoExportsTest, ExportsAreBoundByTheirOrdinals) {
    EXPECT_EQ(PX_GetExportByOrdinal(33), reinterpret_cast<void*>(&GetTiffPages));
    EXPECT_EQ(PX_GetExportByOrdinal(58), reinterpret_cast<void*>(&PXGetImageInfo));
    EXPECT_EQ(PX_GetExportByOrdinal(220), reinterpret_cast<void*>(&PXGetImageInfoExtended));
    EXPECT_EQ(PX_GetExportByOrdinal(364), reinterpret_cast<void*>(&PXGetImageInfoAndImage));
    EXPECT_EQ(PX_GetExportByOrdinal(369), reinterpret_cast<void*>(&PXGetImageSize));
    EXPECT_EQ(PX_GetExportByOrdinal(422), reinterpret_cast<void*>(&OpenImageHeader));
}

TEST_F(InfoExportsTest, GetTiffPagesAnswersUnchangedFilesFromItsCache) {
    EXPECT_EQ(GetTiffPages(path_.c_str()), 1);
    // Same name and size: the remembered count, even though the contents changed.
    Bytes changed = tiff_.bytes();
    std::fill(changed.begin() + 4, changed.begin() + 8, 0);
    TempFile("info.tif", changed);
    EXPECT_EQ(GetTiffPages(path_.c_str()), 1);
    changed.push_back(0);  // a new size: counted again (first directory offset 0)
    TempFile("info.tif", changed);
    EXPECT_EQ(GetTiffPages(path_.c_str()), 0);
}

TEST_F(InfoExportsTest, GetTiffPagesCountsAPageLinkedAfterTheFileGrew) {
    // A scan appends a page in two writes: its bytes after the end, then the link in place.
    const uint32_t second = tiff_.AddDirectory(BilevelEntries(1728, 2200, 4, 200));
    TempFile("info.tif", tiff_.bytes());
    EXPECT_EQ(GetTiffPages(path_.c_str()), 1);
    tiff_.Link(8, 7, second);
    TempFile("info.tif", tiff_.bytes());
    EXPECT_EQ(GetTiffPages(path_.c_str()), 2);
    EXPECT_EQ(GetTiffPages(path_.c_str()), 2);
}

std::string RunTool(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    status = pipe ? pclose(pipe) : -1;
    return output;
}

TEST_F(InfoExportsTest, InfoToolPrintsKeyValueLines) {
    const std::string tool = std::string(TEST_BINARY_DIR) + "/tools/pixdoc-info";
    int status = 0;
    const std::string out = RunTool(tool + " " + path_, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out,
              "compression code: 1\nwidth: 1728\nheight: 2200\nxres: 0\nyres: 0\n"
              "fill order: 0\norientation: 0\nnegative: 0\ndata offset: 200\n"
              "data byte count: 6\npages: 1\n");
    const std::string failed = RunTool(tool + " --page 2 " + path_, status);
    EXPECT_NE(status, 0);
    EXPECT_EQ(std::count(failed.begin(), failed.end(), '\n'), 1) << failed;
    for (const std::string& command : {tool + " " + path_ + ".missing", tool}) {
        RunTool(command, status);
        EXPECT_NE(status, 0) << command;
    }
}

TEST_F(InfoExportsTest, InfoToolReportsTheFirstStripOfMultiStripPages) {
    const std::string path = TempFile("tool_strips.tif", testing::ThreeStrips().bytes()).string();
    int status = 0;
    const std::string out =
        RunTool(std::string(TEST_BINARY_DIR) + "/tools/pixdoc-info --page 1 " + path, status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("compression code: 257\n"), std::string::npos) << out;
    EXPECT_NE(out.find("data offset: 1000\n"), std::string::npos) << out;
    EXPECT_NE(out.find("strips: 3\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace pixdoc::files
