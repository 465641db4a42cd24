// The barcode export of a move through the real reader control: one line per page in the
// directory's export file and in Barcode.txt beside the pages.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "../support/scratch_dir.h"
#include "move_test_support.h"
#include "operator/scripted_operator.h"
#include "transfer/move_files.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;

fs::path Fixture(const std::string& name) {
    return fs::path(TEST_FIXTURE_DIR) / "code39_pages" / name;
}

std::vector<std::string> Lines(const fs::path& path) {
    std::vector<std::string> lines;
    const std::string text = testing::ReadAll(path);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(at, end - at + 1));
        at = end + 1;
    }
    return lines;
}

TEST(MoveBarcodeExport, EveryPageOfTheDocumentGivesOneLineInBothExportFiles) {
    setenv(kBarlynxLibraryVariable, BARLYNX_LIBRARY, 1);
    ::scantora::testing::ScratchDir scratch;
    JobRecord job = testing::BoxJob(scratch / "work", scratch / "out");
    job.barcode = "1";
    job.barcodeval = "2047";
    job.multitiff = "Y";
    job.exportbarcodeinbatch = "1";
    job.nomefilebarcode = (scratch / "exports").string() + "/";
    fs::create_directories(scratch / "exports");
    const fs::path box = scratch / "work/2024/BAX/AX017";
    fs::create_directories(box);
    fs::copy_file(Fixture("a4-300-upright-g4.tif"), box / "0001fro.tif");
    fs::copy_file(Fixture("two-pages-g4.tif"), box / "0002fro.tif");

    ScriptedOperator op;
    CreatedBarlynx created = CreateBarlynxControl();
    ASSERT_TRUE(created.control) << created.error;
    CBarlynx barlynx(std::move(created.control), op);
    testing::RecordingProgress progress;
    const MoveContext context{job, op, progress, BarlynxPageExport(barlynx, job)};
    EXPECT_EQ(MoveFiles2(context, box.string(), job.invioa, "/s"), 2);
    unsetenv(kBarlynxLibraryVariable);

    const fs::path arrived = scratch / "out/2024/BAX/AX017";
    const std::vector<std::string> lines = Lines(arrived / "Barcode.txt");
    ASSERT_EQ(lines.size(), 3u) << testing::ReadAll(arrived / "Barcode.txt");
    EXPECT_EQ(Lines(scratch / "exports/2024BAXAX017.txt"), lines);
    // The listing order decides which file comes first; each line names its page file.
    const std::string first =
        "0001FRO;ORDER 77/B               ;01200;01501;01819;01501;" + arrived.string() + "\r\n";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), first), 1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.starts_with("0002FRO;"); }),
              2);
    EXPECT_TRUE(op.events().empty());
    EXPECT_TRUE(fs::exists(arrived / "0001FRO.TIF"));
    EXPECT_FALSE(fs::exists(box / "0002fro.tif"));
}

}  // namespace
}  // namespace scantora
