// The transfer dialog's model over real work areas: the pages scanning names are listed under
// their codes, counted once each, and move between the two lists as the operator chooses.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "tests/support/scratch_dir.h"
#include "tests/transfer/naming_sides.h"
#include "transfer/transfer_model.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;
using testing::ScanPath;
using testing::ScratchDir;
using testing::WriteFile;

// Year (4), box (5) and sheet (4): the sheet names a page file of each side in the box's folder.
JobRecord ArchiveJob(const fs::path& area) {
    JobRecord job;
    job.nlivelli = "3";
    job.viewnlivelli = "2";
    job.disco_scarico = area.string() + "\\";
    job.levels[0] = {"Anno", "", "4", "$1#*%\\", "", "1", "", "0"};
    job.levels[1] = {"Scatola", "", "5", "$2#*%\\", "", "1", "", "0"};
    job.levels[2] = {"Foglio", "", "4", "$3#*%$F#*%.tif", "+", "1", "", "0"};
    return job;
}

// Writes the page scanning names for `codes` (the back side when `back`).
std::string ScanPage(const JobRecord& job, const std::vector<std::string>& codes, bool back) {
    const std::string path = testing::WriteScannedPage(job, codes, back);
    EXPECT_FALSE(path.empty());
    return path;
}

// The rows of a list as "value|value|count".
std::vector<std::string> Shown(const TransferModel& model, const std::vector<DocumentRow>& rows) {
    std::vector<std::string> shown;
    for (const DocumentRow& row : rows) {
        std::string text;
        for (const std::string& cell : model.Cells(row))
            text += (text.empty() ? "" : "|") + cell;
        shown.push_back(text);
    }
    return shown;
}

using Rows = std::vector<std::string>;

TEST(TransferModelLevels, ShownLevelsAndColumns) {
    JobRecord job;
    job.nlivelli = "4";
    job.viewnlivelli = "2";
    job.levels[0].descrizione = "Anno";
    job.levels[1].descrizione = "Città";
    EXPECT_EQ(ShownLevelCount(job, false), 2u);
    EXPECT_EQ(ShownLevelCount(job, true), 2u);  // CHIUSURADOPOTRASF is 0
    job.chiusuradopotrasf = "1";
    EXPECT_EQ(ShownLevelCount(job, false), 2u);
    EXPECT_EQ(ShownLevelCount(job, true), 3u);
    job.multitiff = "Y";
    EXPECT_EQ(ShownLevelCount(job, true), 4u);
    job.viewnlivelli = "12";
    EXPECT_EQ(ShownLevelCount(job, false), 9u);
    job.viewnlivelli = "x";
    EXPECT_EQ(ShownLevelCount(job, false), 0u);

    const std::vector<ListColumn> columns = ListColumns(job, 2);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].header, "Anno");
    EXPECT_EQ(columns[0].width, 8u);
    EXPECT_EQ(columns[1].width, 9u);  // characters, not bytes
    EXPECT_EQ(columns[2].header, "NUM.");
    EXPECT_EQ(columns[2].width, 8u);
    EXPECT_EQ(ListColumns(job, 0).size(), 1u);
}

TEST(TransferModelDiscovery, ScannedPagesAreListedByDocumentWithTheirCounts) {
    ScratchDir area;
    const JobRecord job = ArchiveJob(area.path());
    for (bool back : {false, true}) {
        ScanPage(job, {"2024", "AX017", "0001"}, back);
        ScanPage(job, {"2024", "AX017", "0002"}, back);
        ScanPage(job, {"2023", "BY002", "0010"}, back);
    }
    TransferModel model(job, false);
    model.Refresh();
    EXPECT_EQ(Shown(model, model.found()), (Rows{"2023|BY002|2", "2024|AX017|4"}));
    EXPECT_TRUE(model.chosen().empty());
    EXPECT_TRUE(model.CanMoveDown());
    EXPECT_FALSE(model.CanSend());
    ASSERT_EQ(model.accumulator().entries().size(), 2u);
    EXPECT_EQ(model.accumulator().Text(model.accumulator().entries()[1]), "2024AX01700004");

    // All three levels shown: one row per sheet.
    JobRecord by_sheet = job;
    by_sheet.viewnlivelli = "3";
    TransferModel sheets(by_sheet, false);
    sheets.Refresh();
    EXPECT_EQ(Shown(sheets, sheets.found()),
              (Rows{"2023|BY002|0010|2", "2024|AX017|0001|2", "2024|AX017|0002|2"}));
}

TEST(TransferModelDiscovery, FilesThatDoNotFitAreNotListed) {
    ScratchDir area;
    const JobRecord job = ArchiveJob(area.path());
    ScanPage(job, {"2024", "AX017", "0001"}, false);
    fs::create_directories(area / "2024" / "AX17");
    WriteFile(area / "2024" / "AX17" / "0001fro.tif", "box code too short");
    fs::create_directories(area / "2024" / "AX0170");
    WriteFile(area / "2024" / "AX0170" / "0001fro.tif", "box code too long");
    WriteFile(area / "2024" / "notes.txt", "beside the boxes");
    // Hidden entries are never walked, even when they fit.
    fs::create_directories(area / "2024" / ".AX017");
    WriteFile(area / "2024" / ".AX017" / "0001fro.tif", "hidden folder");
    WriteFile(area / "2024" / "AX017" / ".0001fro.tif", "hidden file");
    // A folder reached through a link is not walked: the walk stays in the tree.
    fs::create_symlink(area.path() / "2024", area / "2024" / "AX018");

    TransferModel model(job, false);
    model.Refresh();
    EXPECT_EQ(Shown(model, model.found()), (Rows{"2024|AX017|1"}));
}

TEST(TransferModelDiscovery, NamesAreMatchedInUpperCaseAndFoldersMayDiffer) {
    ScratchDir area;
    JobRecord job = ArchiveJob(area.path());
    job.levels[1].composnome = "B$2#*%\\";
    ScanPage(job, {"2024", "AX017", "0001"}, false);
    // A page written by hand in lower case, in a folder spelled in lower case: the file name
    // is compared in upper case, the folder's case is kept, and both count into one row.
    fs::create_directories(area / "2024" / "bax017");
    WriteFile(area / "2024" / "bax017" / "0002FRO.TIF", "upper-case name");
    WriteFile(area / "2024" / "BAX017" / "0003fro.TIF", "mixed-case name");
    TransferModel model(job, false);
    model.Refresh();
    EXPECT_EQ(Shown(model, model.found()), (Rows{"2024|AX017|3"}));
}

TEST(TransferModelDiscovery, TwoFoldersOfOneDocumentCountIntoOneRow) {
    ScratchDir area;
    JobRecord job = ArchiveJob(area.path());
    // The sheet is a folder of its own; the list shows boxes.
    job.levels[2].composnome = "$3#*%\\P$F#*%.tif";
    ScanPage(job, {"2024", "AX017", "0001"}, false);
    ScanPage(job, {"2024", "AX017", "0001"}, true);
    ScanPage(job, {"2024", "AX017", "0002"}, false);
    ASSERT_TRUE(fs::exists(area / "2024" / "AX017" / "0002" / "Pfro.tif"));
    TransferModel model(job, false);
    model.Refresh();
    EXPECT_EQ(Shown(model, model.found()), (Rows{"2024|AX017|3"}));
}

TEST(TransferModelDiscovery, ADocumentOfThousandsOfPagesShowsItsFullCount) {
    ScratchDir area;
    JobRecord job = ArchiveJob(area.path());
    job.levels[2].nmaxcar = "5";
    for (int sheet = 1; sheet <= 1203; ++sheet) {
        char code[8];
        std::snprintf(code, sizeof code, "%05d", sheet);
        ScanPage(job, {"2024", "AX017", code}, false);
    }
    TransferModel model(job, false);
    model.Refresh();
    EXPECT_EQ(Shown(model, model.found()), (Rows{"2024|AX017|1203"}));
    EXPECT_EQ(model.accumulator().Text(model.accumulator().entries()[0]), "2024AX01701203");
}

TEST(TransferModelDiscovery, AnEmptyOrMissingWorkAreaListsNothing) {
    ScratchDir area;
    JobRecord job = ArchiveJob(area.path() / "missing");
    TransferModel model(job, false);
    model.Refresh();
    EXPECT_TRUE(model.found().empty());
    job.disco_scarico.clear();
    TransferModel no_root(job, false);
    no_root.Refresh();
    EXPECT_TRUE(no_root.found().empty());
}

TEST(TransferModelDiscovery, ALevelWithoutWidthDoesNotShiftTheOthers) {
    ScratchDir area;
    JobRecord job = ArchiveJob(area.path());
    job.viewnlivelli = "3";
    // No characters of the path belong to level 2, whatever its rule ends with.
    job.levels[1] = {"Scatola", "", "0", "X$2#*%\\00003", "", "1", "", "0"};
    fs::create_directories(area / "2024" / "X");
    WriteFile(area / "2024" / "X" / "000030001fro.tif", "page");
    TransferModel model(job, false);
    model.Refresh();
    EXPECT_EQ(Shown(model, model.found()), (Rows{"2024||0001|1"}));
}

class TransferModelLists : public ::testing::Test {
protected:
    void SetUp() override {
        job_ = ArchiveJob(area_.path());
        job_.viewnlivelli = "3";
        ScanPage(job_, {"2024", "AX017", "0001"}, false);
        ScanPage(job_, {"2024", "AX017", "0002"}, false);
        ScanPage(job_, {"2024", "AX017", "0002"}, true);
        ScanPage(job_, {"2024", "BY002", "0001"}, false);
        model_.emplace(job_, false);
        model_->Refresh();
    }

    ScratchDir area_;
    JobRecord job_;
    std::optional<TransferModel> model_;
};

TEST_F(TransferModelLists, SelectedRowsMoveDownAndBack) {
    const std::vector<std::size_t> second_and_last = {2, 1, 7};
    model_->MoveDown(second_and_last);
    EXPECT_EQ(Shown(*model_, model_->found()), (Rows{"2024|AX017|0001|1"}));
    EXPECT_EQ(Shown(*model_, model_->chosen()), (Rows{"2024|AX017|0002|2", "2024|BY002|0001|1"}));
    EXPECT_TRUE(model_->CanSend());
    EXPECT_TRUE(model_->CanMoveUp());

    const std::vector<std::size_t> first = {0};
    model_->MoveUp(first);
    EXPECT_EQ(Shown(*model_, model_->found()), (Rows{"2024|AX017|0001|1", "2024|AX017|0002|2"}));
    EXPECT_EQ(Shown(*model_, model_->chosen()), (Rows{"2024|BY002|0001|1"}));
}

TEST_F(TransferModelLists, ADoubleClickedRowMovesAlone) {
    const std::vector<std::size_t> clicked = {0};
    model_->MoveDown(clicked);
    EXPECT_EQ(Shown(*model_, model_->chosen()), (Rows{"2024|AX017|0001|1"}));
    EXPECT_EQ(model_->found().size(), 2u);
    model_->MoveUp(clicked);
    EXPECT_FALSE(model_->CanSend());
    EXPECT_EQ(model_->found().size(), 3u);
}

TEST_F(TransferModelLists, NothingSelectedMovesEverything) {
    const std::vector<std::size_t> first = {0};
    model_->MoveDown(first);
    model_->MoveDown({});
    EXPECT_TRUE(model_->found().empty());
    EXPECT_FALSE(model_->CanMoveDown());
    EXPECT_EQ(Shown(*model_, model_->chosen()),
              (Rows{"2024|AX017|0001|1", "2024|AX017|0002|2", "2024|BY002|0001|1"}));
    model_->MoveUp({});
    EXPECT_TRUE(model_->chosen().empty());
    EXPECT_EQ(model_->found().size(), 3u);
}

TEST_F(TransferModelLists, TheAutomaticTransferChoosesTheCurrentDocumentIgnoringCase) {
    EXPECT_EQ(model_->ChooseMatching({"2024", "ax017", "0002"}, 3), 1u);
    EXPECT_EQ(Shown(*model_, model_->chosen()), (Rows{"2024|AX017|0002|2"}));
    EXPECT_EQ(model_->ChooseMatching({"2024", "ZZ999", "0002"}, 3), 0u);
    // Fewer levels given: every document under them.
    EXPECT_EQ(model_->ChooseMatching({"2024", "AX017"}, 2), 1u);
    EXPECT_EQ(model_->chosen().size(), 2u);
    EXPECT_EQ(model_->found().size(), 1u);
}

TEST_F(TransferModelLists, RefreshEmptiesBothListsAndFindsWhatIsLeft) {
    model_->MoveDown({});
    fs::remove(area_ / "2024" / "BY002" / "0001fro.tif");
    model_->Refresh();
    EXPECT_TRUE(model_->chosen().empty());
    EXPECT_EQ(Shown(*model_, model_->found()), (Rows{"2024|AX017|0001|1", "2024|AX017|0002|2"}));
}

}  // namespace
}  // namespace scantora
