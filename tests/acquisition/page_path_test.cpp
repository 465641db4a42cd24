#include "acquisition/page_path.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

namespace scantora {
namespace {

namespace fs = std::filesystem;

class PagePathTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::path(TEST_BINARY_DIR) / "page_path_test" /
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    fs::path root_;
};

TEST_F(PagePathTest, WorkedExampleInPosixFormCreatesTheDirectory) {
    const std::vector<std::string> patterns = {"A$1#*%\\", "$2#*%$F#3%.tif"};
    const std::array<std::string, 2> codes = {"123", "0007"};
    // The root is written with a Windows separator at its end; the built path is native.
    const PagePathRules rules{root_.string() + "/SCAN\\", patterns, "fro", "bac"};

    const auto path = ComposePagePath(rules, codes, false);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, root_.string() + "/SCAN/A123/0007fro.tif");
    EXPECT_TRUE(CreatePathDirectories(*path));
    EXPECT_TRUE(fs::is_directory(root_ / "SCAN" / "A123"));
    EXPECT_FALSE(fs::exists(root_ / "SCAN" / "A123" / "0007fro.tif"));

    const PagePathParts parts = SplitPagePath(*path);
    EXPECT_EQ(parts.directory, root_.string() + "/SCAN/A123/");
    EXPECT_EQ(parts.base_name, "0007fro");
    EXPECT_EQ(parts.extension, "tif");

    EXPECT_EQ(*ComposePagePath(rules, codes, true), root_.string() + "/SCAN/A123/0007bac.tif");
}

TEST_F(PagePathTest, CreatesEveryMissingDirectoryAndToleratesExistingOnes) {
    const std::string path = root_.string() + "\\a\\b/c\\file.tif";
    EXPECT_TRUE(CreatePathDirectories(path));
    EXPECT_TRUE(fs::is_directory(root_ / "a" / "b" / "c"));
    EXPECT_FALSE(fs::exists(root_ / "a" / "b" / "c" / "file.tif"));
    EXPECT_TRUE(CreatePathDirectories(path));
}

TEST_F(PagePathTest, ReportsADirectoryThatCannotBeMade) {
    std::ofstream(root_ / "plainfile") << "x";
    EXPECT_FALSE(CreatePathDirectories(root_.string() + "/plainfile/sub/page.tif"));
}

TEST(PagePath, SkipsLevelsWithoutCode) {
    const std::vector<std::string> patterns = {"\\$1#*%", "\\$2#*%", "\\$3#*%.tif"};
    const std::array<std::string, 3> codes = {"2002", "", "X1"};
    const PagePathRules rules{"/work", patterns, "fro", "bac"};
    EXPECT_EQ(*ComposePagePath(rules, codes, false), "/work/2002/X1.tif");
}

TEST(PagePath, RefusesPathsThatAreNotAbsolute) {
    const std::vector<std::string> patterns = {"\\$1#*%.tif"};
    const std::array<std::string, 1> codes = {"A"};
    EXPECT_FALSE(ComposePagePath({"work", patterns, "fro", "bac"}, codes, false));
    EXPECT_EQ(*ComposePagePath({"", patterns, "fro", "bac"}, codes, false), "/A.tif");
    EXPECT_FALSE(ComposePagePath({"C:", {}, "fro", "bac"}, {}, false));
    EXPECT_EQ(*ComposePagePath({"C:\\SCAN", patterns, "fro", "bac"}, codes, false),
              "C:/SCAN/A.tif");
    // A cut that eats the root leaves a relative path.
    const std::vector<std::string> cutting = {"$-8%x"};
    EXPECT_FALSE(ComposePagePath({"/scan/ab", cutting, "fro", "bac"}, codes, false));
}

TEST(PagePath, RefusesPathsLongerThanAPathText) {
    const std::vector<std::string> patterns = {"\\$1#*%", "\\$2#*%.tif"};
    const std::array<std::string, 2> fits = {std::string(150, 'A'), std::string(138, 'B')};
    const std::array<std::string, 2> too_long = {std::string(150, 'A'), std::string(139, 'B')};
    const PagePathRules rules{"/work", patterns, "fro", "bac"};
    ASSERT_TRUE(ComposePagePath(rules, fits, false));
    EXPECT_EQ(ComposePagePath(rules, fits, false)->size(), 299u);
    EXPECT_FALSE(ComposePagePath(rules, too_long, false));
}

TEST(SplitPagePath, TakesTheLastSeparatorAndTheLastDotOfTheName) {
    PagePathParts parts = SplitPagePath("/a.b/c.d.tif");
    EXPECT_EQ(parts.directory, "/a.b/");
    EXPECT_EQ(parts.base_name, "c.d");
    EXPECT_EQ(parts.extension, "tif");

    parts = SplitPagePath("/a.b/noext");
    EXPECT_EQ(parts.directory, "/a.b/");
    EXPECT_EQ(parts.base_name, "noext");
    EXPECT_EQ(parts.extension, "");

    parts = SplitPagePath("C:\\x\\y.jpg");
    EXPECT_EQ(parts.directory, "C:\\x\\");
    EXPECT_EQ(parts.base_name, "y");
    EXPECT_EQ(parts.extension, "jpg");

    parts = SplitPagePath("/dir/");
    EXPECT_EQ(parts.directory, "/dir/");
    EXPECT_EQ(parts.base_name, "");
}

}  // namespace
}  // namespace scantora
