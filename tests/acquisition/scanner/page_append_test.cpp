// An append that meets a full disk, or a death, in the middle of its write leaves the pages
// already in the file readable. The disk fills through a file size limit in a child process.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/acquisition/scanner/page_test_support.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::Fixture;
using testing::ReadFile;
using testing::ReadTiffPages;
using testing::ScratchDir;

constexpr int kNoisePageWidth = 1600;
constexpr int kNoisePageHeight = 1200;  // about 240 KB coded: far past the limit below
constexpr rlim_t kRoomLeft = 4096;

enum class OnLimit { kIgnoreSignal, kDie };

// Appends a noise page to `file` in a child whose files may grow only kRoomLeft bytes past
// the file's size. Returns the child's wait status; its exit code is the save's result.
int AppendInChild(const std::filesystem::path& file, OnLimit on_limit) {
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, on_limit == OnLimit::kIgnoreSignal ? SIG_IGN : SIG_DFL);
        const rlim_t limit = std::filesystem::file_size(file) + kRoomLeft;
        const rlimit size_limit{limit, limit};
        setrlimit(RLIMIT_FSIZE, &size_limit);
        Page page = testing::NoisePage(kNoisePageWidth, kNoisePageHeight, 7);
        _exit(ToCode(page.Save(file, kFormatTiff, 1, kTiffQuality, kSaveAppend)));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

void ExpectOldPagesIntact(const std::filesystem::path& file) {
    const auto old_pages = ReadTiffPages(Fixture("three_g4.tif"));
    const auto pages = ReadTiffPages(file);
    ASSERT_EQ(pages.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(pages[i].raw, old_pages[i].raw);
        EXPECT_EQ(pages[i].rows, old_pages[i].rows);
    }
    int count = 0;
    EXPECT_EQ(CountPages(file, count), ImagingStatus::kOk);
    EXPECT_EQ(count, 3);
}

TEST(PageAppendFaults, AFullDiskIsReportedAndTheFileIsAsBefore) {
    ScratchDir dir;
    const auto file = dir / "doc.tif";
    std::filesystem::copy_file(Fixture("three_g4.tif"), file);
    const std::string before = ReadFile(file);
    const int status = AppendInChild(file, OnLimit::kIgnoreSignal);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), ToCode(ImagingStatus::kDiskFull));
    EXPECT_EQ(ReadFile(file), before);
    ExpectOldPagesIntact(file);
}

TEST(PageAppendFaults, DyingInTheMiddleOfTheWriteLeavesTheOldPagesReadable) {
    ScratchDir dir;
    const auto file = dir / "doc.tif";
    std::filesystem::copy_file(Fixture("three_g4.tif"), file);
    const int status = AppendInChild(file, OnLimit::kDie);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    ExpectOldPagesIntact(file);
    // The next append goes on from there.
    Page page = testing::Loaded(Fixture("page1.pbm"));
    ASSERT_EQ(page.Save(file, kFormatTiff, 1, kTiffQuality, kSaveAppend), ImagingStatus::kOk);
    EXPECT_EQ(ReadTiffPages(file).size(), 4u);
}

TEST(PageAppendFaults, AFullDiskWhileWritingANewFileLeavesTheOldOne) {
    ScratchDir dir;
    const auto file = dir / "doc.tif";
    std::filesystem::copy_file(Fixture("three_g4.tif"), file);
    const std::string before = ReadFile(file);
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit size_limit{kRoomLeft, kRoomLeft};
        setrlimit(RLIMIT_FSIZE, &size_limit);
        Page page = testing::NoisePage(kNoisePageWidth, kNoisePageHeight, 9);
        _exit(ToCode(page.Save(file, kFormatTiff, 1, kTiffQuality, kSaveNew)));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), ToCode(ImagingStatus::kDiskFull));
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace scantora
