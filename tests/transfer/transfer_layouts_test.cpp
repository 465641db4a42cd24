// Every naming layout, end to end through the program's move: pages scanned into a real work
// area are listed, chosen and sent, and each arrives exactly once at its place under the
// destination, byte for byte, with one log line per document.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/text_lookup.h"
#include "operator/scripted_operator.h"
#include "tests/support/scratch_dir.h"
#include "tests/transfer/move_test_support.h"
#include "tests/transfer/naming_sides.h"
#include "transfer/move_files.h"
#include "transfer/transfer_run.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::RecordingProgress;
using testing::ScratchDir;
using testing::WriteScannedPage;

struct Layout {
    const char* name;
    std::vector<LevelSettings> levels;
    std::vector<std::vector<std::string>> documents;  // the codes of each document scanned
    std::string front = "fro";
    std::string back = "bac";
    // Fewer shown levels find nothing when a deeper level cuts into the shown part.
    std::size_t fewest_shown = 1;
};

LevelSettings Level(const char* width, const char* rule) {
    return {"Level", "", width, rule, "", "1", "", "0"};
}

std::vector<Layout> Layouts() {
    return {
        {"folder_per_level",
         {Level("4", "$1#*%\\"), Level("5", "$2#*%\\"), Level("4", "$3#*%$F#*%.tif")},
         {{"2024", "AX017", "0001"}, {"2024", "AX017", "0002"}, {"2023", "BY002", "0001"}}},
        {"picked_characters",
         {Level("4", "$1#*%\\"), Level("5", "B$2#1%$2#2%\\$2#*%\\"), Level("4", "$3#*%$F#*%.tif")},
         {{"2024", "AX017", "0001"}, {"2024", "BY002", "0010"}}},
        {"cut_after_text",
         {Level("3", "$1#*%/"), Level("6", "$2#*%$-2%.tif")},
         {{"123", "0007AB"}, {"124", "0008CD"}},
         "fro",
         "bac",
         2},
        {"prefixed_cut",
         {Level("3", "$1#*%/"), Level("6", "X$-1%$2#*%.tif")},
         {{"123", "0007AB"}, {"123", "0008AB"}},
         "fro",
         "bac",
         2},
        {"side_names_of_two_lengths",
         {Level("3", "$1#*%/"), Level("4", "$2#*%$F#*%.tif")},
         {{"123", "0007"}, {"123", "0008"}},
         "F",
         "BACK"},
        {"sheet_folders",
         {Level("4", "\\$1#*%"), Level("6", "\\$2#*%"), Level("3", "\\$3#*%\\P$F#*%.tif")},
         {{"B001", "F00001", "D01"}, {"B001", "F00001", "D02"}, {"B002", "F00009", "D01"}}},
    };
}

class TransferLayouts : public ::testing::TestWithParam<Layout> {
protected:
    JobRecord Job(std::size_t shown) const {
        const Layout& layout = GetParam();
        JobRecord job;
        job.nlivelli = std::to_string(layout.levels.size());
        job.viewnlivelli = std::to_string(shown);
        // A separator between the root and the first level, on one side or the other.
        const bool leading = IsSeparator(layout.levels.front().composnome.front());
        job.disco_scarico = (dir_ / "work").string() + (leading ? "" : "\\");
        job.invioa = (dir_ / "OUT").string();
        job.nomefronte = layout.front;
        job.nomeretro = layout.back;
        for (std::size_t i = 0; i < layout.levels.size(); ++i)
            job.levels[i] = layout.levels[i];
        job.log = "1";
        job.lognumfile = "1";
        job.nomefilelog = (dir_ / "transfer.log").string();
        job.numlivellilog = job.viewnlivelli;
        return job;
    }

    // Scans both sides of every document; returns each page's content by its relative path.
    std::map<std::string, std::string> Scan(const JobRecord& job) {
        std::map<std::string, std::string> pages;
        for (const auto& codes : GetParam().documents) {
            for (bool back : {false, true}) {
                const std::string path = WriteScannedPage(job, codes, back);
                EXPECT_FALSE(path.empty());
                pages[fs::relative(path, dir_ / "work").string()] = ReadFile(path);
            }
        }
        return pages;
    }

    // Sends every document listed; returns the number of rows sent.
    std::size_t SendAll(const JobRecord& job) {
        TransferModel model(job, false);
        model.Refresh();
        model.MoveDown({});
        const std::size_t rows = model.chosen().size();
        const MoveContext move_context{job, op_, progress_, {}, &model.patterns()};
        const TransferRunContext context{job, texts_, op_, progress_, [&](const std::string& path) {
                                             return MoveFiles2(move_context, path, job.invioa,
                                                               "/s");
                                         }};
        EXPECT_TRUE(SendChosen(model, context).success);
        EXPECT_TRUE(model.found().empty());
        return rows;
    }

    ScratchDir dir_;
    TextLookup texts_;
    ScriptedOperator op_;
    RecordingProgress progress_;
};

TEST_P(TransferLayouts, EveryPageArrivesOnceWithItsBytes) {
    const std::size_t levels = GetParam().levels.size();
    for (std::size_t shown = GetParam().fewest_shown; shown <= levels; ++shown) {
        SCOPED_TRACE(shown);
        fs::remove_all(dir_.path());
        fs::create_directories(dir_.path());
        const JobRecord job = Job(shown);
        const std::map<std::string, std::string> pages = Scan(job);
        const std::size_t rows = SendAll(job);
        for (const auto& [relative, content] : pages) {
            const fs::path sent = dir_ / "OUT" / fs::path(relative).parent_path() /
                                  UpperAscii(fs::path(relative).filename().string());
            EXPECT_EQ(ReadFile(sent), content) << relative;
        }
        std::size_t arrived = 0;
        for (const auto& entry : fs::recursive_directory_iterator(dir_ / "OUT"))
            arrived += entry.is_regular_file() ? 1 : 0;
        EXPECT_EQ(arrived, pages.size());
        EXPECT_TRUE(fs::is_empty(dir_ / "work"));
        const std::string log = ReadFile(dir_ / "transfer.log");
        EXPECT_EQ(static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n')), rows);
    }
}

INSTANTIATE_TEST_SUITE_P(Naming, TransferLayouts, ::testing::ValuesIn(Layouts()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace scantora
