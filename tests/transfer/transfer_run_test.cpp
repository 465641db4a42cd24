// The transfer run over real work areas: what it moves, what it counts afterwards, what it
// writes to the log and what it tells the operator, with the move itself played by a stand-in
// that renames the document's pages and can be told to leave some behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <set>

#include "app/text_lookup.h"
#include "operator/scripted_operator.h"
#include "tests/support/scratch_dir.h"
#include "tests/transfer/move_test_support.h"
#include "tests/transfer/naming_sides.h"
#include "tests/transfer/renaming_move.h"
#include "transfer/document_files.h"
#include "transfer/transfer_log.h"
#include "transfer/transfer_run.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::RecordingProgress;
using testing::RenamingMove;
using testing::ScanPath;
using testing::ScratchDir;
using testing::WriteFile;

// Year (4), box (5), sheet (4): a page file per side in the box's folder; the list shows boxes.
JobRecord ArchiveJob(const fs::path& area, const fs::path& out) {
    JobRecord job;
    job.nlivelli = "3";
    job.viewnlivelli = "2";
    job.disco_scarico = area.string() + "\\";
    job.invioa = out.string();
    job.levels[0] = {"Anno", "", "4", "$1#*%\\", "", "1", "", "0"};
    job.levels[1] = {"Scatola", "", "5", "$2#*%\\", "", "1", "", "0"};
    job.levels[2] = {"Foglio", "", "4", "$3#*%$F#*%.tif", "+", "1", "", "0"};
    job.log = "1";
    job.lognumfile = "1";
    job.numlivellilog = "2";
    return job;
}

std::string ScanPage(const JobRecord& job, const std::vector<std::string>& codes, bool back) {
    const std::string path = testing::WriteScannedPage(job, codes, back);
    EXPECT_FALSE(path.empty());
    return path;
}

std::string Sheet(int number) {
    char code[8];
    std::snprintf(code, sizeof code, "%04d", number);
    return code;
}

class TransferRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        job_ = ArchiveJob(dir_ / "work", dir_ / "OUT");
        job_.nomefilelog = (dir_ / "transfer.log").string();
        texts_.set_builtin(BuiltinLanguage::kEnglish);
    }

    // Scans `sheets` duplex sheets of each box given.
    void ScanBoxes(const std::vector<std::string>& boxes, int sheets) {
        for (const std::string& box : boxes) {
            for (int sheet = 1; sheet <= sheets; ++sheet) {
                ScanPage(job_, {"2024", box, Sheet(sheet)}, false);
                ScanPage(job_, {"2024", box, Sheet(sheet)}, true);
            }
        }
    }

    TransferRunContext Context() {
        return {job_,
                texts_,
                op_,
                progress_,
                [this](const std::string& path) { return move_(path); },
                [this](const std::string& path) {
                    asked_ = path;
                    return space_;
                }};
    }

    // Opens the model, chooses every document and sends them.
    TransferRunResult SendAll(bool automatic = false) {
        TransferModel model(job_, automatic);
        model.Refresh();
        model.MoveDown({});
        TransferRunContext context = Context();
        context.automatic = automatic;
        TransferRunResult result = SendChosen(model, context);
        left_ = model.found();
        return result;
    }

    std::string Log() const { return ReadFile(dir_ / "transfer.log"); }

    ScratchDir dir_;
    JobRecord job_;
    TextLookup texts_;
    ScriptedOperator op_;
    RecordingProgress progress_;
    RenamingMove move_{job_};
    std::optional<FreeSpace> space_ = FreeSpace{8, 512, 1u << 20};
    std::string asked_;
    std::vector<DocumentRow> left_;
};

TEST_F(TransferRunTest, ChosenDocumentsMoveLastRowFirstWithOneLogLineEach) {
    ScanBoxes({"AX017", "BY002"}, 3);
    const TransferRunResult result = SendAll();
    EXPECT_TRUE(result.success);
    ASSERT_EQ(result.documents.size(), 2u);
    EXPECT_EQ(result.documents[0].name, "2024BY002");
    EXPECT_EQ(result.documents[1].name, "2024AX017");
    EXPECT_EQ(result.documents[0].sent(), 6);
    ASSERT_EQ(move_.calls.size(), 2u);
    EXPECT_EQ(move_.calls[0], (dir_ / "work" / "2024" / "BY002").string() + "/");

    EXPECT_TRUE(fs::exists(dir_ / "OUT" / "2024" / "AX017" / "0003BAC.TIF"));
    EXPECT_FALSE(fs::exists(dir_ / "work" / "2024"));  // emptied folders are tidied away
    EXPECT_TRUE(fs::exists(dir_ / "work"));
    EXPECT_EQ(Log(), "00000000062024/BY002/\r\n00000000062024/AX017/\r\n");
    EXPECT_EQ(op_.Messages(), (std::vector<std::string>{"Export completed"}));
    EXPECT_TRUE(left_.empty());

    EXPECT_EQ(progress_.range.first, 1);
    EXPECT_EQ(progress_.range.second, 12);
    EXPECT_FALSE(progress_.bar_shown);
    EXPECT_EQ(progress_.statuses.front(), "Checking necessary free space for export");
    EXPECT_EQ(progress_.statuses[1], "Export Files: 2024BY002 ");
    EXPECT_EQ(progress_.statuses.back(), "Export Files");
    EXPECT_EQ(asked_, job_.invioa);
}

TEST_F(TransferRunTest, LogNumberAndBaseFolderFollowTheirSwitches) {
    ScanBoxes({"AX017"}, 2);
    job_.lognumfile = "0";
    job_.logdirbase = "1";
    job_.invioa = dir_.path().string() + "\\OUT";
    EXPECT_TRUE(SendAll().success);
    EXPECT_EQ(Log(), "0000000000" + (dir_ / "OUT").string() + "/2024/AX017/\r\n");
    EXPECT_TRUE(fs::exists(dir_ / "OUT" / "2024" / "AX017" / "0002FRO.TIF"));
}

TEST(TransferLogText, DriveRootAndTwoLevels) {
    JobRecord job;
    job.invioa = "E:\\OUT";
    job.numlivellilog = "2";
    job.logdirbase = "1";
    job.levels[0] = {"Anno", "", "4", "$1#*%", "", "1", "", "0"};
    job.levels[1] = {"Scatola", "", "3", "\\$2#*%", "", "1", "", "0"};
    job.levels[2] = {"Foglio", "", "4", "\\$3#*%", "", "1", "", "0"};
    LevelValueTable values;
    values.Set(0, "2002");
    values.Set(1, "A17");
    values.Set(2, "0001");
    EXPECT_EQ(TransferLogText(job, values), "E:/OUT/2002/A17");
    EXPECT_EQ(TransferLogLine(10, TransferLogText(job, values)), "0000000010E:/OUT/2002/A17\r\n");
    job.invioa = "E:\\OUT\\";
    job.logdirbase = "0";
    job.numlivellilog = "1";
    EXPECT_EQ(TransferLogText(job, values), "2002");
    job.logdirbase = "1";
    EXPECT_EQ(TransferLogText(job, values), "E:/OUT/2002");
    job.numlivellilog = "0";
    EXPECT_EQ(TransferLogLine(0, TransferLogText(job, values)), "0000000000E:/OUT/\r\n");
}

TEST_F(TransferRunTest, PagesThatStayAreNotCountedAsSent) {
    ScanBoxes({"AX017"}, 6);
    move_.refused = {"0002fro.tif", "0005bac.tif"};
    const TransferRunResult result = SendAll();
    EXPECT_TRUE(result.success);
    ASSERT_EQ(result.documents.size(), 1u);
    EXPECT_EQ(result.documents[0].row.page_count, 12);
    EXPECT_EQ(result.documents[0].left, 2);
    EXPECT_EQ(Log(), "00000000102024/AX017/\r\n");
    // What stayed is listed again, and a second run sends it.
    ASSERT_EQ(left_.size(), 1u);
    EXPECT_EQ(left_[0].page_count, 2);
    move_.refused.clear();
    EXPECT_TRUE(SendAll().success);
    EXPECT_EQ(Log(), "00000000102024/AX017/\r\n00000000022024/AX017/\r\n");
    EXPECT_FALSE(fs::exists(dir_ / "work" / "2024"));
}

TEST_F(TransferRunTest, NothingMovedWritesNoLineButTheRunSucceeds) {
    ScanBoxes({"AX017"}, 1);
    move_.refused = {"0001fro.tif", "0001bac.tif"};
    const TransferRunResult result = SendAll();
    EXPECT_TRUE(result.success);
    EXPECT_FALSE(fs::exists(dir_ / "transfer.log"));
    EXPECT_EQ(op_.Messages(), (std::vector<std::string>{"Export completed"}));
}

TEST_F(TransferRunTest, AWorkAreaUnderTheDestinationMovesNothing) {
    ScanBoxes({"AX017"}, 2);
    job_.invioa = dir_.path().string() + "\\";
    const TransferRunResult result = SendAll();
    EXPECT_TRUE(result.success);
    EXPECT_TRUE(move_.calls.empty());
    ASSERT_EQ(result.documents.size(), 1u);
    EXPECT_FALSE(result.documents[0].moved);
    EXPECT_EQ(result.documents[0].left, 4);
    EXPECT_FALSE(fs::exists(dir_ / "transfer.log"));
    EXPECT_EQ(op_.Messages(), (std::vector<std::string>{"Export completed"}));
    EXPECT_EQ(left_.size(), 1u);
}

TEST(WorkAreaUnderDestination, FolderByFolderIgnoringCaseAndSeparators) {
    EXPECT_TRUE(WorkAreaUnderDestination("/data/out/work/", "/data/OUT"));
    EXPECT_TRUE(WorkAreaUnderDestination("/data/out/work/", "\\data\\out\\"));
    EXPECT_TRUE(WorkAreaUnderDestination("/data/out", "/data/out"));
    EXPECT_FALSE(WorkAreaUnderDestination("/data/outbox/work/", "/data/out"));
    EXPECT_FALSE(WorkAreaUnderDestination("/data/work/", "/data/out"));
}

TEST_F(TransferRunTest, ADestinationBesideTheWorkAreaWithTheSameBeginningReceivesTheFiles) {
    job_ = ArchiveJob(dir_ / "out" / "work", dir_ / "o");
    job_.invioa = (dir_ / "ou").string();
    job_.log = "0";
    ScanBoxes({"AX017"}, 1);
    EXPECT_TRUE(SendAll().success);
    EXPECT_EQ(move_.calls.size(), 1u);
    EXPECT_TRUE(fs::exists(dir_ / "ou" / "2024" / "AX017" / "0001FRO.TIF"));
}

class FreeSpaceCheck : public TransferRunTest {
protected:
    // Two pages of 4096 bytes: 16 sectors of 512 bytes.
    void SetUp() override {
        TransferRunTest::SetUp();
        for (bool back : {false, true}) {
            const std::string path = ScanPage(job_, {"2024", "AX017", "0001"}, back);
            WriteFile(path, std::string(4096, 'p'));
        }
        WriteFile(dir_ / "work" / "2024" / "notes.txt", std::string(100000, 'n'));
        fs::create_directories(dir_ / "work" / "empty" / "deeper");
    }

    void ExpectRefused(const std::string& message) {
        const TransferRunResult result = SendAll();
        EXPECT_FALSE(result.success);
        EXPECT_TRUE(result.documents.empty());
        EXPECT_TRUE(move_.calls.empty());
        EXPECT_EQ(op_.Messages(), (std::vector<std::string>{message}));
        EXPECT_FALSE(fs::exists(dir_ / "transfer.log"));
        EXPECT_FALSE(fs::exists(dir_ / "work" / "empty"));  // tidied all the same
        EXPECT_FALSE(progress_.bar_shown);
        EXPECT_EQ(left_.size(), 1u);
    }
};

TEST_F(FreeSpaceCheck, NeededEqualToFreeIsRefused) {
    space_ = FreeSpace{4, 512, 4};
    ExpectRefused("Warning! Not enough free space to Export documents");
}

TEST_F(FreeSpaceCheck, OneSectorMoreIsEnough) {
    space_ = FreeSpace{1, 512, 17};
    EXPECT_TRUE(SendAll().success);
    EXPECT_EQ(move_.calls.size(), 1u);
}

TEST_F(FreeSpaceCheck, PartialSectorsAreRoundedDown) {
    WriteFile(dir_ / "work" / "2024" / "AX017" / "0001fro.tif", std::string(4096 + 511, 'p'));
    space_ = FreeSpace{1, 512, 17};
    EXPECT_TRUE(SendAll().success);
}

TEST_F(FreeSpaceCheck, AFailedQueryIsRefused) {
    space_ = std::nullopt;
    ExpectRefused("Error during disk free space checking");
}

TEST_F(FreeSpaceCheck, ADriveWithoutSectorSizeIsAFailedQuery) {
    space_ = FreeSpace{1, 0, 1000};
    ExpectRefused("Error during disk free space checking");
}

TEST(QueryFreeSpace, AskesTheFileSystemOfTheNearestFolder) {
    ScratchDir dir;
    const auto here = QueryFreeSpace(dir.path().string());
    ASSERT_TRUE(here);
    EXPECT_GT(here->bytes_per_sector, 0u);
    EXPECT_GT(here->free_clusters, 0u);
    const auto below = QueryFreeSpace(dir.path().string() + "\\not\\yet\\made");
    ASSERT_TRUE(below);
    EXPECT_EQ(below->bytes_per_sector, here->bytes_per_sector);
    EXPECT_EQ(FreeSpaceRoot("E:\\OUT\\2024"), "E:\\");
    EXPECT_EQ(FreeSpaceRoot("/mnt/out"), "/mnt/out");
}

TEST_F(TransferRunTest, ALogThatCannotBeOpenedStopsTheRunAfterItsDocument) {
    ScanBoxes({"AX017", "BY002", "CZ003"}, 1);
    job_.nomefilelog = (dir_ / "missing" / "transfer.log").string();
    const TransferRunResult result = SendAll();
    EXPECT_FALSE(result.success);
    ASSERT_EQ(result.documents.size(), 1u);
    EXPECT_EQ(result.documents[0].name, "2024CZ003");
    EXPECT_TRUE(fs::exists(dir_ / "OUT" / "2024" / "CZ003" / "0001FRO.TIF"));
    const std::vector<std::string> messages = {
        "ATTENZIONE!!! ERROR " + std::to_string(ENOENT) + " open file log<" + job_.nomefilelog +
            ">.\nComunicare all'amministratore l'ERRORE 101010-" + std::to_string(ENOENT) +
            ". File Trasmessi e non registrati",
        "Warning! Error during Export"};
    EXPECT_EQ(op_.Messages(), messages);
    EXPECT_EQ(left_.size(), 2u);
}

TEST_F(TransferRunTest, ALogThatCannotBeWrittenIsAFailureToo) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    ScanBoxes({"AX017", "BY002"}, 1);
    job_.nomefilelog = "/dev/full";
    const TransferRunResult result = SendAll();
    EXPECT_FALSE(result.success);
    EXPECT_EQ(result.documents.size(), 1u);
    ASSERT_EQ(op_.Messages().size(), 2u);
    EXPECT_EQ(op_.Messages()[0].rfind("ATTENZIONE!!! ERROR " + std::to_string(ENOSPC), 0), 0u);
}

TEST_F(TransferRunTest, TheAutomaticTransferEndsWithoutTheCompletionMessage) {
    ScanBoxes({"AX017"}, 1);
    EXPECT_TRUE(SendAll(true).success);
    EXPECT_TRUE(op_.Messages().empty());
    EXPECT_TRUE(fs::exists(dir_ / "OUT" / "2024" / "AX017" / "0001BAC.TIF"));
}

TEST_F(TransferRunTest, ADocumentOfThousandsOfPages) {
    for (int sheet = 1; sheet <= 1100; ++sheet)
        ScanPage(job_, {"2024", "AX017", Sheet(sheet)}, false);
    const TransferRunResult result = SendAll();
    EXPECT_TRUE(result.success);
    EXPECT_EQ(result.documents.at(0).sent(), 1100);
    EXPECT_EQ(Log(), "00000011002024/AX017/\r\n");
    EXPECT_EQ(progress_.range.second, 1100);
}

TEST_F(TransferRunTest, TwoFoldersOfOneRowAreSentTogether) {
    job_.levels[2].composnome = "$3#*%\\P$F#*%.tif";
    ScanPage(job_, {"2024", "AX017", "0001"}, false);
    ScanPage(job_, {"2024", "AX017", "0002"}, false);
    ScanPage(job_, {"2024", "AX017", "0002"}, true);
    const TransferRunResult result = SendAll();
    ASSERT_EQ(result.documents.size(), 1u);
    EXPECT_EQ(result.documents[0].sent(), 3);
    EXPECT_EQ(Log(), "00000000032024/AX017/\r\n");
    EXPECT_TRUE(fs::exists(dir_ / "OUT" / "2024" / "AX017" / "0002" / "PBAC.TIF"));
    EXPECT_FALSE(fs::exists(dir_ / "work" / "2024"));
}

TEST_F(TransferRunTest, EachSideNameOfADocumentIsSent) {
    // The list shows sheets, and the sheet's rule names the side: each side has its own path.
    job_.viewnlivelli = "3";
    job_.numlivellilog = "3";
    ScanBoxes({"AX017"}, 2);
    const TransferRunResult result = SendAll();
    ASSERT_EQ(result.documents.size(), 2u);
    EXPECT_EQ(move_.calls.size(), 4u);
    EXPECT_EQ(result.documents[0].left, 0);
    EXPECT_EQ(Log(), "00000000022024/AX017/0002fro.tif\r\n00000000022024/AX017/0001fro.tif\r\n");
    EXPECT_TRUE(fs::exists(dir_ / "OUT" / "2024" / "AX017" / "0002BAC.TIF"));
}

TEST(WalkDocumentFiles, CountsOnlyTheDocumentsPagesAndTidiesBelowIt) {
    ScratchDir dir;
    JobRecord job = ArchiveJob(dir / "work", dir / "out");
    job.levels[2].composnome = "$3#*%\\P$F#*%.tif";
    ScanPage(job, {"2024", "AX017", "0001"}, false);
    ScanPage(job, {"2024", "AX018", "0001"}, false);
    fs::create_directories(dir / "work" / "2024" / "AX017" / "0009" / "empty");
    const DiscoveryPatterns patterns = BuildJobDiscoveryPatterns(job, 2);
    LevelValueTable values;
    values.Set(0, "2024");
    values.Set(1, "AX017");
    const DocumentSelection document{{"2024", "AX017"}, ComposeDocumentPaths(job, values, 2)};
    EXPECT_EQ(WalkDocumentFiles(document, patterns, false).count, 1);
    EXPECT_EQ(WalkDocumentFiles(document, patterns, false).bytes,
              fs::file_size(*ScanPath(job, {"2024", "AX017", "0001"}, false)));
    EXPECT_TRUE(fs::exists(dir / "work" / "2024" / "AX017" / "0009" / "empty"));
    EXPECT_EQ(WalkDocumentFiles(document, patterns, true).count, 1);
    EXPECT_FALSE(fs::exists(dir / "work" / "2024" / "AX017" / "0009"));
    EXPECT_TRUE(fs::exists(dir / "work" / "2024" / "AX017" / "0001"));

    TidyWorkArea(job.disco_scarico);
    EXPECT_TRUE(fs::exists(dir / "work" / "2024" / "AX018" / "0001"));
    fs::remove(*ScanPath(job, {"2024", "AX018", "0001"}, false));
    fs::create_directories(dir / "work" / "2025" / ".keep");
    TidyWorkArea(job.disco_scarico);
    EXPECT_FALSE(fs::exists(dir / "work" / "2024" / "AX018"));
    EXPECT_TRUE(fs::exists(dir / "work" / "2025" / ".keep"));  // hidden entries are never removed
    EXPECT_TRUE(fs::exists(dir / "work"));
}

}  // namespace
}  // namespace scantora
