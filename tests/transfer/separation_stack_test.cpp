// Separator sheets among ordinary pages, fed through the folder feeder and saved page by page as
// the acquisition loop saves them, into multi-page documents and into one file per page: the
// documents must come out split exactly where the sheets were. Every page has a height of its
// own, so a document is known by the heights of its pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "acquisition/scanner/imaging_control.h"
#include "acquisition/scanner/sane_device.h"
#include "app/text_lookup.h"
#include "operator/scripted_operator.h"
#include "tests/support/no_sane_devices.h"
#include "tests/support/scratch_dir.h"
#include "transfer/separation.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;
using Documents = std::map<std::string, std::vector<std::string>>;

constexpr int kOrdinaryHeight = 400;  // page Pn is 400 + n rows high

// The separator sheets of make_separator_sheets.sh, by name and height.
const std::map<std::string, std::pair<std::string, int>> kSheets = {
    {"A", {"sep-a.pbm", 701}},
    {"B", {"sep-b.pbm", 702}},
    {"AB", {"sep-ab.pbm", 703}},
    {"ABCD", {"abcd.pbm", 704}},
    {"GREY-A", {"sep-a-grey.jpg", 705}}};

std::string NameOfHeight(int height) {
    for (const auto& [name, sheet] : kSheets)
        if (sheet.second == height) return name;
    return "P" + std::to_string(height - kOrdinaryHeight);
}

using NoDevices = testing::NoSaneDevices;

class SeparationStack : public ::testing::Test {
protected:
    void SetUp() override {
        feeder_ = dir_ / "feeder";
        fs::create_directories(feeder_);
        job_.applicazione = "SEPARAZIONE";
        job_.barcode = "1";
        job_.barcodeval = "1";  // Code 39
        job_.disco_scarico = (dir_ / "work").string() + "/";
        job_.levels[0] = {"Scatola", "", "3", "B$1#*%/", "", "0", "", "0"};
    }

    void MultiPage() {
        job_.multitiff = "Y";
        job_.nlivelli = "2";
        job_.levels[1] = {"Documento", "", "4", "$2#*%.tif", "", "0", "", "0"};
        presets_ = {"001", "0001"};
    }

    void OneFilePerPage() {
        job_.nlivelli = "3";
        job_.automatico = "2";
        job_.levels[1] = {"Documento", "", "4", "D$2#*%/", "", "0", "", "0"};
        job_.levels[2] = {"Pagina", "", "3", "$3#*%.tif", "+", "0", "001", "0"};
        presets_ = {"001", "0001", "001"};
    }

    // Feeds the stack: "P<n>" ordinary pages, sheet names of kSheets.
    void Feed(const std::vector<std::string>& stack) {
        int n = 0;
        for (const std::string& page : stack) {
            char name[16];
            std::snprintf(name, sizeof name, "%03d", ++n);
            const auto sheet = kSheets.find(page);
            if (sheet != kSheets.end()) {
                const fs::path fixture =
                    fs::path(TEST_FIXTURE_DIR) / "separator_sheets" / sheet->second.first;
                fs::copy_file(fixture, feeder_ / (name + fixture.extension().string()));
            } else {
                WriteOrdinaryPage(feeder_ / (std::string(name) + ".pbm"),
                                  kOrdinaryHeight + std::stoi(page.substr(1)));
            }
        }
    }

    static void WriteOrdinaryPage(const fs::path& path, int height) {
        constexpr int kWidth = 1000;
        std::ofstream out(path, std::ios::binary);
        out << "P4\n" << kWidth << " " << height << "\n";
        std::string row(kWidth / 8, '\0');
        for (int y = 0; y < height; ++y) {
            // A block of "text" that no barcode decoder reads.
            std::fill(row.begin(), row.end(), (y / 20) % 2 && y > 100 && y < 300 ? '\xf0' : '\0');
            out << row;
        }
    }

    // Scans the feeder as the acquisition loop does: saves each page, hands it to separation,
    // and on a separator stops, applies it and scans on into the next document.
    void Scan(bool duplex = false) {
        IdentificationModel ids(job_, texts_, operator_);
        ids.Initialise("", presets_);
        Separation separation(job_, operator_, BarlynxSeparatorReader(job_, operator_));
        ASSERT_TRUE(separation.StartScanning());
        auto control = MakeImagingControl({std::make_shared<NoDevices>(), {feeder_}});
        ASSERT_TRUE(control->SelectSource("folder:" + feeder_.string()));
        control->SetPagesToAcquire(kAllPages);
        control->SetDuplex(duplex);
        const bool multi_page = job_.multitiff == "Y";
        for (int document = 0; document < 20; ++document) {
            ASSERT_TRUE(ids.Validate());
            ASSERT_TRUE(ids.BuildPagePath(false));
            int pages = 0;
            bool back = false;
            int matched = 0;
            const ImagingStatus status = control->Acquire([&](Page& page) {
                const AcquiredPage side{duplex, back};
                if (!multi_page) ids.BuildPagePath(back);
                std::string file = ids.file_field();
                // One file per page: grey and colour pages as JPEG.
                if (!multi_page && page.BitsPerPixel() > 2) {
                    file = fs::path(file).replace_extension(".jpg").string();
                    EXPECT_EQ(page.Save(file, kFormatJpeg, 0, kDefaultQualityFactor, kSaveNew),
                              ImagingStatus::kOk);
                } else {
                    EXPECT_EQ(page.Save(file, kFormatTiff, 0, kTiffQuality,
                                        multi_page ? kSaveAppend : kSaveNew),
                              ImagingStatus::kOk);
                }
                const SeparatorCheck check = separation.PageSaved({file, ++pages, side});
                pages = check.pages_in_file;
                back = duplex && !back;
                if (check.matched != 0) {
                    matched = check.matched;
                    return PageAction::kStop;
                }
                ids.AdvancePage(side);
                return PageAction::kContinue;
            });
            if (status == ImagingStatus::kNoDocuments) return;
            ASSERT_EQ(status, ImagingStatus::kOk) << control->LastErrorText();
            if (matched == 0) return;
            separation.Apply(matched, ids);
        }
        FAIL() << "the scan did not end";
    }

    // The documents in the work area: multi-page files, or directories of page files, each as
    // the names of its pages in order.
    Documents Written() const {
        Documents documents;
        const fs::path box = dir_ / "work" / "B001";
        std::vector<fs::path> entries;
        for (const auto& e : fs::directory_iterator(box))
            entries.push_back(e.path());
        std::sort(entries.begin(), entries.end());
        for (const fs::path& entry : entries) {
            std::vector<std::string>& pages = documents[entry.filename().string()];
            if (fs::is_directory(entry)) {
                std::vector<fs::path> files;
                for (const auto& f : fs::directory_iterator(entry))
                    files.push_back(f.path());
                std::sort(files.begin(), files.end());
                for (const fs::path& file : files)
                    pages.push_back(PageName(file, 1));
            } else {
                int count = 0;
                EXPECT_EQ(CountPages(entry, count), ImagingStatus::kOk);
                for (int p = 1; p <= count; ++p)
                    pages.push_back(PageName(entry, p));
            }
        }
        return documents;
    }

    static std::string PageName(const fs::path& file, int page) {
        PageFileInfo info;
        EXPECT_EQ(ReadPageFileInfo(file, page, info), ImagingStatus::kOk) << file;
        return NameOfHeight(info.height);
    }

    ScratchDir dir_;
    fs::path feeder_;
    JobRecord job_;
    TextLookup texts_;
    ScriptedOperator operator_;
    std::vector<std::string> presets_;
};

class WithLibrary : public SeparationStack {
protected:
    void SetUp() override {
        SeparationStack::SetUp();
        setenv(kBarlynxLibraryVariable, BARLYNX_LIBRARY, 1);
    }
    void TearDown() override { unsetenv(kBarlynxLibraryVariable); }
};

TEST_F(WithLibrary, MultiPageDocumentsWithoutTheSeparatorPages) {
    MultiPage();
    job_.separators[0] = {"2", "SEP-A", "+", "0"};
    Feed({"P1", "P2", "A", "P3", "A", "P4", "P5"});
    Scan();
    EXPECT_EQ(
        Written(),
        (Documents{{"0001.tif", {"P1", "P2"}}, {"0002.tif", {"P3"}}, {"0003.tif", {"P4", "P5"}}}));
    EXPECT_TRUE(operator_.events().empty());
}

TEST_F(WithLibrary, MultiPageDocumentsKeepingTheSeparatorPages) {
    MultiPage();
    job_.separators[0] = {"2", "SEP-A", "+", "1"};
    Feed({"P1", "A", "P2", "A"});
    Scan();
    EXPECT_EQ(Written(), (Documents{{"0001.tif", {"P1", "A"}}, {"0002.tif", {"P2", "A"}}}));
}

TEST_F(WithLibrary, OneFilePerPageWithoutTheSeparatorPages) {
    OneFilePerPage();
    job_.separators[0] = {"2", "SEP-A", "+", "0"};
    Feed({"P1", "P2", "A", "P3"});
    Scan();
    EXPECT_EQ(Written(), (Documents{{"D0001", {"P1", "P2"}}, {"D0002", {"P3"}}}));
}

// A grey separator sheet saved as JPEG is read through the colour path.
TEST_F(WithLibrary, GreySeparatorSheetsAmongBilevelPages) {
    OneFilePerPage();
    job_.separators[0] = {"2", "SEP-A", "+", "1"};
    Feed({"P1", "GREY-A", "P2", "P3"});
    Scan();
    EXPECT_EQ(Written(), (Documents{{"D0001", {"P1", "GREY-A"}}, {"D0002", {"P2", "P3"}}}));
}

TEST_F(WithLibrary, OneFilePerPageKeepingTheSeparatorPages) {
    OneFilePerPage();
    job_.separators[0] = {"2", "SEP-A", "+", "2"};
    Feed({"P1", "A", "P2"});
    Scan();
    EXPECT_EQ(Written(), (Documents{{"D0001", {"P1", "A"}}, {"D0002", {"P2"}}}));
}

// Sheets of two sides: the separator sheet's front is blank (P3), its back carries the symbol.
TEST_F(WithLibrary, DuplexSeparatorOnTheBackRemovesTheWholeSheetOfAMultiPageDocument) {
    MultiPage();
    job_.separators[0] = {"2", "SEP-A", "+", "0"};
    Feed({"P1", "P2", "P3", "A", "P4", "P5"});
    Scan(true);
    EXPECT_EQ(Written(), (Documents{{"0001.tif", {"P1", "P2"}}, {"0002.tif", {"P4", "P5"}}}));
}

TEST_F(WithLibrary, DuplexSeparatorOnTheBackRemovesBothPageFiles) {
    OneFilePerPage();
    job_.separators[0] = {"2", "SEP-A", "+", "0"};
    Feed({"P1", "P2", "P3", "A", "P4", "P5"});
    Scan(true);
    EXPECT_EQ(Written(), (Documents{{"D0001", {"P1", "P2"}}, {"D0002", {"P4", "P5"}}}));
}

// A separator printed on both sides: each side goes once, no page of the documents with it.
TEST_F(WithLibrary, DuplexSeparatorOnBothSidesCostsNoOtherPage) {
    MultiPage();
    job_.separators[0] = {"2", "SEP-A", "+", "0"};
    Feed({"P1", "P2", "A", "A", "P3", "P4"});
    Scan(true);
    EXPECT_EQ(Written(), (Documents{{"0001.tif", {"P1", "P2"}}, {"0002.tif", {"P3", "P4"}}}));
}

TEST_F(WithLibrary, TwoRecordsOnOnePageTheFirstActs) {
    MultiPage();
    job_.separators[0] = {"2", "SEP-B", "+", "1"};
    job_.separators[1] = {"2", "SEP-A", "+", "0"};
    Feed({"P1", "AB", "P2", "A", "P3"});
    Scan();
    EXPECT_EQ(Written(),
              (Documents{{"0001.tif", {"P1", "AB"}}, {"0002.tif", {"P2"}}, {"0003.tif", {"P3"}}}));
}

TEST_F(WithLibrary, AValueIsNotFoundInsideALongerOne) {
    MultiPage();
    job_.separators[0] = {"2", "ABC", "+", "0"};
    Feed({"P1", "ABCD", "P2"});
    Scan();
    EXPECT_EQ(Written(), (Documents{{"0001.tif", {"P1", "ABCD", "P2"}}}));
}

}  // namespace
}  // namespace scantora
