// MoveFiles2 on real directory trees: which files a document path takes, where they arrive, the
// status field, the semaphore files and the barcode export calls.
#include "transfer/move_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tiffio.h>

#include <filesystem>

#include "../support/scratch_dir.h"
#include "move_test_support.h"
#include "operator/scripted_operator.h"
#include "transfer/job_patterns.h"
#include "transfer/page_placement.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;
using testing::PageContent;
using testing::ReadAll;
using testing::TreeOf;
using testing::WritePage;

struct ExportCall {
    std::string file;
    int page;
    BarcodeExports exports;
    bool semaphore_present;
};

class MoveFilesTest : public ::testing::Test {
protected:
    MoveFilesTest()
        : work_(scratch_ / "work"),
          out_(scratch_ / "out"),
          job_(testing::BoxJob(work_, out_)),
          patterns_(BuildJobDiscoveryPatterns(job_, 2)) {}

    // The two sides of sheets 1..n of box `box` in year 2024.
    std::vector<std::string> ScanBox(const std::string& box, int sheets) {
        std::vector<std::string> names;
        for (int sheet = 1; sheet <= sheets; ++sheet) {
            for (const char* side : {"fro", "bac"}) {
                char name[32];
                std::snprintf(name, sizeof name, "%04d%s.tif", sheet, side);
                const fs::path path = BoxDirectory(box) / name;
                WritePage(path, PageContent(path.string(), 100 + sheet));
                names.push_back(name);
            }
        }
        return names;
    }

    fs::path BoxDirectory(const std::string& box) const {
        return work_ / "2024" / ("B" + box.substr(0, 2)) / box;
    }
    fs::path ArrivedDirectory(const std::string& box) const {
        return out_ / "2024" / ("B" + box.substr(0, 2)) / box;
    }

    int Move(const std::string& prefix, const std::string& root) {
        MoveContext context{job_, operator_, progress_, export_, &patterns_};
        return MoveFiles2(context, prefix, root, "/s");
    }
    int MoveBox(const std::string& box) { return Move(BoxDirectory(box).string(), job_.invioa); }

    // Records every export call, and whether the semaphore was there at that moment.
    void RecordExports(int error = 0) {
        export_ = [this, error](const std::string& file, int16_t page,
                                const BarcodeExports& exports) {
            const fs::path semaphore = fs::path(file).parent_path() / "semaf.txt";
            exports_.push_back({file, page, exports, fs::exists(semaphore)});
            return BarcodeRead{"", error};
        };
    }

    ::scantora::testing::ScratchDir scratch_;
    fs::path work_;
    fs::path out_;
    JobRecord job_;
    DiscoveryPatterns patterns_;
    ScriptedOperator operator_;
    testing::RecordingProgress progress_;
    PageExport export_;
    std::vector<ExportCall> exports_;
};

TEST_F(MoveFilesTest, ADocumentArrivesUnderItsRelativePathWithUpperCaseNames) {
    const auto names = ScanBox("AX017", 2);
    ScanBox("BY002", 1);
    const auto before = TreeOf(work_);
    progress_.SetStatus("Trasferimento File: 2024AX017 ");

    EXPECT_EQ(MoveBox("AX017"), 4);

    const fs::path arrived = ArrivedDirectory("AX017");
    for (const std::string& name : names) {
        EXPECT_FALSE(fs::exists(arrived / name)) << name << " arrived under its own case";
        std::string expected_name = name;
        for (char& c : expected_name)
            c = static_cast<char>(std::toupper(c));
        const std::string relative = "2024/BAX/AX017/" + name;
        EXPECT_EQ(ReadAll(arrived / expected_name), before.at(relative)) << expected_name;
        EXPECT_FALSE(fs::exists(BoxDirectory("AX017") / name));
    }
    EXPECT_EQ(TreeOf(out_).size(), 4u);
    EXPECT_EQ(TreeOf(work_).size(), 2u) << "the other box stays";
    EXPECT_EQ(progress_.steps, 4);
    // One "->" whose destination follows each file moved; the document name stays in front.
    ASSERT_EQ(progress_.statuses.size(), 5u);
    EXPECT_EQ(progress_.status.rfind("Trasferimento File: 2024AX017 ->", 0), 0u);
    EXPECT_EQ(progress_.status.find("->"), progress_.status.rfind("->"));
    EXPECT_TRUE(progress_.status.ends_with(".TIF"));
    EXPECT_TRUE(operator_.events().empty());
    EXPECT_FALSE(fs::exists(arrived / kMoveTempName));
}

TEST_F(MoveFilesTest, RootsWithAndWithoutTrailingSeparatorGiveTheSamePlaces) {
    for (const std::string& work_root :
         {work_.string(), work_.string() + "/", work_.string() + "\\"}) {
        for (const std::string& out_root : {out_.string(), out_.string() + "\\"}) {
            fs::remove_all(out_);
            ScanBox("AX017", 1);
            job_.disco_scarico = work_root;
            EXPECT_EQ(Move(BoxDirectory("AX017").string(), out_root), 2)
                << work_root << " " << out_root;
            EXPECT_TRUE(fs::exists(ArrivedDirectory("AX017") / "0001FRO.TIF")) << work_root;
            EXPECT_TRUE(fs::exists(ArrivedDirectory("AX017") / "0001BAC.TIF")) << work_root;
        }
    }
    // E:\OUT-style roots: backslashes in both roots and in the document path.
    ScanBox("AX017", 1);
    std::string windows_out = out_.string() + "\\WIN";
    std::string prefix = BoxDirectory("AX017").string();
    std::replace(prefix.begin(), prefix.end(), '/', '\\');
    EXPECT_EQ(Move(prefix, windows_out), 2);
    EXPECT_TRUE(fs::exists(out_ / "WIN/2024/BAX/AX017/0001FRO.TIF"));
}

TEST_F(MoveFilesTest, APrefixTakesTheNamesThatBeginWithItIgnoringCase) {
    ScanBox("AX017", 2);
    // A full file name (a prefix holding "."), in another case than the file's.
    EXPECT_EQ(Move((BoxDirectory("AX017") / "0001FRO.TIF").string(), job_.invioa), 1);
    EXPECT_EQ(TreeOf(out_).size(), 1u);
    // The start of a file name takes every side of sheet 2.
    EXPECT_EQ(Move((BoxDirectory("AX017") / "0002").string(), job_.invioa), 2);
    EXPECT_EQ(TreeOf(out_).size(), 3u);
    // "?" of a composed path stands for any character.
    EXPECT_EQ(Move((BoxDirectory("AX017") / "0?01b").string(), job_.invioa), 1);
    EXPECT_EQ(TreeOf(work_).size(), 0u);
    // Nothing left to match.
    EXPECT_EQ(Move(BoxDirectory("AX017").string(), job_.invioa), 0);
    EXPECT_EQ(Move((work_ / "1999").string(), job_.invioa), 0);
}

TEST_F(MoveFilesTest, OnlyFilesOfTheSelectionMoveAndOnlyTheyCount) {
    ScanBox("AX017", 1);
    // A box code one character short does not fit the pattern; dot names are skipped; a
    // subdirectory without "/s" is not entered.
    WritePage(work_ / "2024/BAX/AX01/0001fro.tif", "short");
    WritePage(BoxDirectory("AX017") / ".hidden.tif", "hidden");
    WritePage(BoxDirectory("AX017") / "notes/0009fro.tif", "below");
    mkfifo((BoxDirectory("AX017") / "0003fro.tif").c_str(), 0600);

    MoveContext context{job_, operator_, progress_, export_, &patterns_};
    EXPECT_EQ(MoveFiles2(context, BoxDirectory("AX017").string() + "/", job_.invioa, ""), 2);
    EXPECT_TRUE(fs::exists(BoxDirectory("AX017") / ".hidden.tif"));
    EXPECT_TRUE(fs::exists(BoxDirectory("AX017") / "notes/0009fro.tif"));
    EXPECT_TRUE(fs::exists(BoxDirectory("AX017") / "0003fro.tif")) << "a pipe is no page";
    EXPECT_EQ(progress_.steps, 2);

    // With "/s" the subdirectory's page moves too; the short box never does.
    EXPECT_EQ(Move((work_ / "2024").string(), job_.invioa), 1);
    EXPECT_TRUE(fs::exists(ArrivedDirectory("AX017") / "notes/0009FRO.TIF"));
    EXPECT_TRUE(fs::exists(work_ / "2024/BAX/AX01/0001fro.tif"));
    EXPECT_FALSE(fs::exists(out_ / "2024/BAX/AX01"));
}

TEST_F(MoveFilesTest, ThePatternOfVIEWNLIVELLIServesWithoutTheDialogs) {
    ScanBox("AX017", 1);
    job_.viewnlivelli = "3";
    MoveContext context{job_, operator_, progress_, export_};
    EXPECT_EQ(MoveFiles2(context, BoxDirectory("AX017").string(), job_.invioa, "/s"), 2);
    // No level shown: a pattern without "!" selects nothing.
    ScanBox("AX017", 1);
    job_.viewnlivelli = "0";
    EXPECT_EQ(MoveFiles2(context, BoxDirectory("AX017").string(), job_.invioa, "/s"), 0);
    EXPECT_EQ(TreeOf(work_).size(), 2u);
}

TEST_F(MoveFilesTest, APathOutsideTheWorkAreaTextHasNoPlaceAtTheDestination) {
    // The selection ignores case, the file system does not: "WORK" is not the work area.
    ScanBox("AX017", 1);
    job_.disco_scarico = (scratch_ / "WORK").string() + "\\";
    EXPECT_EQ(MoveBox("AX017"), -1);
    EXPECT_EQ(TreeOf(work_).size(), 2u);
    EXPECT_FALSE(fs::exists(out_));
    EXPECT_EQ(progress_.steps, 2);
}

TEST_F(MoveFilesTest, ADestinationInsideTheDocumentIsNotWalkedAsPartOfIt) {
    ScanBox("AX017", 1);
    const fs::path inside = BoxDirectory("AX017") / "out";
    WritePage(inside / "2024/BAX/AX017/0009FRO.TIF", "arrived earlier");
    EXPECT_EQ(Move(BoxDirectory("AX017").string(), inside.string()), 2);
    EXPECT_EQ(ReadAll(inside / "2024/BAX/AX017/0009FRO.TIF"), "arrived earlier");
    EXPECT_EQ(TreeOf(inside).size(), 3u);
}

TEST_F(MoveFilesTest, TheBinCountsFilesAndLeavesThemWhereTheyAre) {
    ScanBox("AX017", 2);
    const auto before = TreeOf(work_);
    EXPECT_EQ(Move(BoxDirectory("AX017").string(), "cestina"), 4);
    EXPECT_EQ(TreeOf(work_), before);
    EXPECT_EQ(progress_.steps, 4);
    EXPECT_FALSE(fs::exists(out_));
}

TEST_F(MoveFilesTest, AnOlderFileOfTheSameNameIsReplaced) {
    ScanBox("AX017", 1);
    WritePage(ArrivedDirectory("AX017") / "0001FRO.TIF", "old page");
    WritePage(ArrivedDirectory("AX017") / kMoveTempName, "left by a crash");
    const std::string page = ReadAll(BoxDirectory("AX017") / "0001fro.tif");
    EXPECT_EQ(MoveBox("AX017"), 2);
    EXPECT_EQ(ReadAll(ArrivedDirectory("AX017") / "0001FRO.TIF"), page);
    EXPECT_FALSE(fs::exists(ArrivedDirectory("AX017") / kMoveTempName));
}

TEST_F(MoveFilesTest, TheSemaphoreComesBeforeTheFirstOrAfterTheLastPage) {
    RecordExports();
    job_.barcode = "1";
    job_.semaforo = "1";
    job_.semaforo_momentocreaz = "0";
    ScanBox("AX017", 1);
    EXPECT_EQ(MoveBox("AX017"), 2);
    ASSERT_EQ(exports_.size(), 2u);
    EXPECT_TRUE(exports_[0].semaphore_present);
    EXPECT_TRUE(fs::exists(ArrivedDirectory("AX017") / "semaf.txt"));
    EXPECT_EQ(fs::file_size(ArrivedDirectory("AX017") / "semaf.txt"), 0u);

    fs::remove_all(out_);
    exports_.clear();
    job_.semaforo_momentocreaz = "1";
    job_.semaforo_nomefile = "ready.flg";
    ScanBox("AX017", 1);
    EXPECT_EQ(MoveBox("AX017"), 2);
    ASSERT_EQ(exports_.size(), 2u);
    EXPECT_FALSE(exports_[1].semaphore_present);
    EXPECT_TRUE(fs::exists(ArrivedDirectory("AX017") / "ready.flg"));
    EXPECT_FALSE(fs::exists(ArrivedDirectory("AX017") / "semaf.txt"));

    // Any other moment, or SEMAFORO 0: none at all.
    fs::remove_all(out_);
    job_.semaforo_momentocreaz = "2";
    ScanBox("AX017", 1);
    EXPECT_EQ(MoveBox("AX017"), 2);
    EXPECT_FALSE(fs::exists(ArrivedDirectory("AX017") / "ready.flg"));
    job_.semaforo = "0";
    job_.semaforo_momentocreaz = "0";
    ScanBox("AX017", 1);
    EXPECT_EQ(MoveBox("AX017"), 2);
    EXPECT_FALSE(fs::exists(ArrivedDirectory("AX017") / "ready.flg"));
}

TEST_F(MoveFilesTest, EachDirectoryLevelGetsItsOwnSemaphore) {
    job_.semaforo = "1";
    job_.semaforo_momentocreaz = "1";
    ScanBox("AX017", 1);
    WritePage(BoxDirectory("AX017") / "notes/0009fro.tif", "below");
    EXPECT_EQ(MoveBox("AX017"), 3);
    EXPECT_TRUE(fs::exists(ArrivedDirectory("AX017") / "semaf.txt"));
    EXPECT_TRUE(fs::exists(ArrivedDirectory("AX017") / "notes/semaf.txt"));
}

TEST_F(MoveFilesTest, NoSemaphoreAfterAFailedLastPageAndAMessageWhenItCannotBeMade) {
    job_.semaforo = "1";
    job_.semaforo_momentocreaz = "1";
    ScanBox("AX017", 1);
    // The last page listed cannot arrive: a directory holds its name at the destination.
    std::vector<std::string> listed;
    for (const auto& entry : fs::directory_iterator(BoxDirectory("AX017")))
        listed.push_back(entry.path().filename().string());
    std::string last = listed.back();
    for (char& c : last)
        c = static_cast<char>(std::toupper(c));
    fs::create_directories(ArrivedDirectory("AX017") / last / "x");
    EXPECT_EQ(MoveBox("AX017"), -1);
    EXPECT_FALSE(fs::exists(ArrivedDirectory("AX017") / "semaf.txt"));
    EXPECT_TRUE(fs::exists(BoxDirectory("AX017") / listed.back()));
    EXPECT_EQ(TreeOf(out_).size(), 1u);

    // A semaphore that cannot be made is reported, and the pages still move.
    fs::remove_all(out_);
    job_.semaforo_momentocreaz = "0";
    fs::create_directories(ArrivedDirectory("AX017") / "semaf.txt");
    ScanBox("AX017", 1);
    EXPECT_EQ(MoveBox("AX017"), 2);
    EXPECT_EQ(operator_.Messages(), std::vector<std::string>{"Error create file semaphore"});
    EXPECT_EQ(TreeOf(work_).size(), 0u);
}

// Writes a bilevel TIFF of `pages` 8 x 8 pages.
void WriteMultiPageTiff(const fs::path& path, int pages) {
    fs::create_directories(path.parent_path());
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    for (int page = 0; page < pages; ++page) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 8);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 8);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 8);
        TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tiff, TIFFTAG_PAGENUMBER, page, pages);
        for (int row = 0; row < 8; ++row) {
            unsigned char line = static_cast<unsigned char>(row * 17 + page);
            TIFFWriteScanline(tiff, &line, row, 0);
        }
        TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
}

TEST_F(MoveFilesTest, EveryPageOfAMultiPageFileIsExportedWithBothExportNames) {
    RecordExports();
    job_.barcode = "1";
    job_.multitiff = "Y";
    job_.nomefilebarcode = (scratch_ / "exports").string() + "\\";
    job_.exportbarcodeinbatch = "1";
    WriteMultiPageTiff(BoxDirectory("AX017") / "0001fro.tif", 3);
    EXPECT_EQ(MoveBox("AX017"), 1);

    const std::string arrived = ArrivedDirectory("AX017").string();
    ASSERT_EQ(exports_.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(exports_[i].page, i + 1);
        EXPECT_EQ(exports_[i].file, arrived + "/0001FRO.TIF");
        EXPECT_EQ(exports_[i].exports.export_file,
                  (scratch_ / "exports/2024BAXAX017.txt").string());
        EXPECT_EQ(exports_[i].exports.export_file2, arrived + "/Barcode.txt");
        EXPECT_EQ(exports_[i].exports.images_path, arrived);
    }
}

TEST_F(MoveFilesTest, ExportNamesAreEmptyWhenUnsetAndOnePageFilesAreReadOnce) {
    RecordExports();
    job_.barcode = "1";
    ScanBox("AX017", 1);
    EXPECT_EQ(MoveBox("AX017"), 2);
    ASSERT_EQ(exports_.size(), 2u);
    EXPECT_EQ(exports_[0].page, 1);
    EXPECT_EQ(exports_[0].exports.export_file, std::optional<std::string>(""));
    EXPECT_EQ(exports_[0].exports.export_file2, std::optional<std::string>(""));

    // BARCODE 0 reads nothing; a multi-page job reads a file of no page count nothing.
    exports_.clear();
    job_.barcode = "0";
    ScanBox("AX017", 1);
    EXPECT_EQ(MoveBox("AX017"), 2);
    EXPECT_TRUE(exports_.empty());
    job_.barcode = "1";
    job_.multitiff = "Y";
    ScanBox("AX017", 1);
    EXPECT_EQ(MoveBox("AX017"), 2);
    EXPECT_TRUE(exports_.empty());
}

TEST_F(MoveFilesTest, AReaderErrorIsShownAndThePageStillMoves) {
    RecordExports(3007);
    job_.barcode = "1";
    ScanBox("AX017", 1);
    EXPECT_EQ(MoveBox("AX017"), 2);
    EXPECT_EQ(operator_.Messages(),
              (std::vector<std::string>{"Error 3007 in BarCode Recognition",
                                        "Error 3007 in BarCode Recognition"}));
    EXPECT_EQ(TreeOf(out_).size(), 2u);
}

}  // namespace
}  // namespace scantora
