#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "acquisition/identification_model.h"
#include "app/text_lookup.h"
#include "operator/scripted_operator.h"
#include "transfer/job_patterns.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;

// Scans pages through the identification model into a real work area, then walks it as the
// transfer dialog does and checks that every document comes back with its codes.
class JobRoundTripTest : public ::testing::Test {
protected:
    void SetUp() override {
        area_ = fs::path(TEST_BINARY_DIR) / "job_round_trip_test" /
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(area_);
        fs::create_directories(area_);
        job_.nlivelli = "3";
        job_.automatico = "2";
        job_.disco_scarico = area_.string() + "\\";
        job_.levels[0] = {"Anno", "", "4", "$1#*%\\", "", "1", "", "0"};
        job_.levels[1] = {"Scatola", "", "5", "B$2#1%$2#2%\\$2#*%\\", "", "1", "", "0"};
        job_.levels[2] = {"Foglio", "", "4", "$3#*%$F#*%.tif", "+", "1", "", "0"};
    }

    // Scans `sheets` duplex sheets from the codes given; returns the files written.
    std::vector<std::string> Scan(IdentificationModel& model, const std::vector<std::string>& codes,
                                  int sheets) {
        for (std::size_t i = 0; i < codes.size(); ++i) {
            model.SetEntry(i, codes[i]);
            model.LeaveEntry(i);
        }
        EXPECT_TRUE(model.Validate());
        std::vector<std::string> files;
        for (int page = 0; page < 2 * sheets; ++page) {
            const bool back = page % 2 == 1;
            const auto parts = model.BuildPagePath(back);
            EXPECT_TRUE(parts);
            if (!parts) break;
            files.push_back(model.file_field());
            std::ofstream(model.file_field()) << "page";
            model.AdvancePage({true, back});
        }
        return files;
    }

    // Documents found in the work area: level values joined by "|", with their file count.
    std::map<std::string, int> Discover(std::size_t shown) {
        const DiscoveryPatterns patterns = BuildJobDiscoveryPatterns(job_, shown);
        std::map<std::string, int> documents;
        for (const auto& entry : fs::recursive_directory_iterator(area_)) {
            if (!entry.is_regular_file()) continue;
            const std::string path = DiscoveryPath(entry.path().parent_path().string() + "/",
                                                   entry.path().filename().string());
            const auto values = MatchDiscoveryPath(path, patterns);
            if (!values) continue;
            std::string key;
            for (std::size_t i = 0; i < shown; ++i)
                key += (*values)[i] + "|";
            ++documents[key];
        }
        return documents;
    }

    fs::path area_;
    JobRecord job_;
    TextLookup texts_;
    ScriptedOperator operator_;
};

TEST_F(JobRoundTripTest, DuplexPagesAreFoundWithTheirCodes) {
    IdentificationModel model(job_, texts_, operator_);
    model.Initialise("", {});
    const auto first = Scan(model, {"2024", "AX017", "0001"}, 2);
    const auto second = Scan(model, {"2024", "BY002", "0010"}, 1);
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[0], area_.string() + "/2024/BAX/AX017/0001fro.tif");
    EXPECT_EQ(first[1], area_.string() + "/2024/BAX/AX017/0001bac.tif");
    EXPECT_EQ(first[3], area_.string() + "/2024/BAX/AX017/0002bac.tif");
    EXPECT_TRUE(operator_.events().empty());

    const std::map<std::string, int> by_box = {{"2024|AX017|", 4}, {"2024|BY002|", 2}};
    EXPECT_EQ(Discover(2), by_box);
    const std::map<std::string, int> by_sheet = {
        {"2024|AX017|0001|", 2}, {"2024|AX017|0002|", 2}, {"2024|BY002|0010|", 2}};
    EXPECT_EQ(Discover(3), by_sheet);
}

TEST_F(JobRoundTripTest, TheDocumentPathLeadsBackToTheScannedFiles) {
    IdentificationModel model(job_, texts_, operator_);
    model.Initialise("", {});
    const auto files = Scan(model, {"2024", "AX017", "0001"}, 1);
    ASSERT_EQ(files.size(), 2u);

    LevelValueTable values;
    values.Set(0, "2024");
    values.Set(1, "AX017");
    const std::string directory = ComposeDocumentPath(job_, values, 2);
    EXPECT_EQ(directory, area_.string() + "/2024/BAX/AX017/");
    // With the sheet level shown, each side name gives a path of its own; no placeholders.
    values.Set(2, "0001");
    const std::vector<std::string> sheet = ComposeDocumentPaths(job_, values, 3);
    const std::vector<std::string> expected = {area_.string() + "/2024/BAX/AX017/0001fro.tif",
                                               area_.string() + "/2024/BAX/AX017/0001bac.tif"};
    EXPECT_EQ(sheet, expected);
    EXPECT_EQ(ComposeDocumentPath(job_, values, 3), expected[0]);
    const DiscoveryPatterns patterns = BuildJobDiscoveryPatterns(job_, 3);
    for (const std::string& file : files) {
        EXPECT_TRUE(StartsWithDocumentPath(file, directory)) << file;
        EXPECT_TRUE(IsDocumentPage(file, {{"2024", "AX017", "0001"}, sheet}, patterns)) << file;
    }
    values.Set(2, "0002");
    const DocumentSelection next = {{"2024", "AX017", "0002"},
                                    ComposeDocumentPaths(job_, values, 3)};
    EXPECT_FALSE(IsDocumentPage(files[0], next, patterns));
}

TEST(StartsWithDocumentPath, WildcardsSeparatorsAndCase) {
    EXPECT_TRUE(StartsWithDocumentPath("/w/A17/0001FRO.TIF", "\\w\\a17\\0001???"));
    EXPECT_TRUE(StartsWithDocumentPath("/w/A17/0001BAC.TIF", "/w/A17/0001???.tif"));
    EXPECT_FALSE(StartsWithDocumentPath("/w/A17/0001", "/w/A17/0001???"));
    EXPECT_FALSE(StartsWithDocumentPath("/w/A18/0001FRO.TIF", "/w/A17/"));
    EXPECT_TRUE(StartsWithDocumentPath("anything", ""));
}

TEST_F(JobRoundTripTest, FilesOfAnotherLayoutStayUnlisted) {
    IdentificationModel model(job_, texts_, operator_);
    model.Initialise("", {});
    Scan(model, {"2024", "AX017", "0001"}, 1);
    fs::create_directories(area_ / "2024" / "BAX" / "AX17");
    std::ofstream(area_ / "2024" / "BAX" / "AX17" / "0001fro.tif") << "short box code";
    std::ofstream(area_ / "2024" / "notes.txt") << "not a page";
    const std::map<std::string, int> expected = {{"2024|AX017|", 2}};
    EXPECT_EQ(Discover(2), expected);
}

}  // namespace
}  // namespace scantora
