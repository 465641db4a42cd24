// The headless transfer: its arguments, which documents it chooses and what it prints.
#include <gtest/gtest.h>

#include <sstream>

#include "app/app_state.h"
#include "app/console_progress.h"
#include "app/program_arguments.h"
#include "app/text_lookup.h"
#include "app/transfer_command.h"
#include "operator/scripted_operator.h"
#include "tests/support/scratch_dir.h"
#include "tests/transfer/renaming_move.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;
using testing::RenamingMove;
using testing::ScratchDir;
using testing::WriteFile;

ProgramArguments Parse(std::vector<std::string_view> arguments) {
    arguments.insert(arguments.begin(), "/opt/scantora/bin/scantora");
    return ParseProgramArguments(arguments);
}

TEST(ProgramArguments, ModesSetupAndJobItems) {
    const ProgramArguments transfer =
        Parse({"--setup", "/srv/setup", "--transfer", "APP=DEMO", "LEVELS=2024,AX017"});
    EXPECT_TRUE(transfer.valid);
    EXPECT_EQ(transfer.mode, ProgramMode::kTransfer);
    EXPECT_EQ(transfer.startup.setup_dir, fs::path("/srv/setup"));
    EXPECT_EQ(transfer.startup.command_line, "APP=DEMO LEVELS=2024,AX017");
    EXPECT_EQ(transfer.startup.program_path, "/opt/scantora/bin/scantora");

    EXPECT_EQ(Parse({"--check"}).mode, ProgramMode::kCheck);
    EXPECT_EQ(Parse({"APP=DEMO"}).mode, ProgramMode::kWindow);
    EXPECT_TRUE(Parse({"--transfer", "--transfer"}).valid);
    EXPECT_FALSE(Parse({"--check", "--transfer"}).valid);
    EXPECT_FALSE(Parse({"--setup"}).valid);
    EXPECT_FALSE(Parse({"--batch-of-nothing"}).valid);
    EXPECT_TRUE(ParseProgramArguments({}).valid);
}

TEST(TransferChoice, LevelsGivenFromTheFirst) {
    PresetLevels preset{};
    EXPECT_EQ(TransferChoiceOf(preset).levels, 0u);
    preset[0] = "2024";
    preset[1] = "ax017";
    const TransferChoice choice = TransferChoiceOf(preset);
    EXPECT_EQ(choice.levels, 2u);
    EXPECT_EQ(choice.codes[1], "ax017");
}

// A job of boxes in years, a page file per sheet, over real folders.
class TransferCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        JobRecord& job = state_.utilita.job;
        job.nlivelli = "3";
        job.viewnlivelli = "2";
        job.disco_scarico = (dir_ / "work").string();
        job.invioa = (dir_ / "out").string();
        job.levels[0] = {"Year", "", "4", "\\$1#*%", "", "1", "", "0"};
        job.levels[1] = {"Box", "", "5", "\\$2#*%", "", "1", "", "0"};
        job.levels[2] = {"Sheet", "", "4", "\\$3#*%.tif", "+", "1", "", "0"};
        for (const char* box : {"2024/AX017", "2024/AX018", "2025/AX017"}) {
            fs::create_directories(dir_ / "work" / box);
            for (const char* sheet : {"0001.tif", "0002.tif"})
                WriteFile(dir_ / "work" / box / sheet, box);
        }
        texts_.set_builtin(BuiltinLanguage::kEnglish);
    }

    TransferOutcome Run() {
        return RunTransferCommand(state_.utilita.job, texts_, op_, progress_,
                                  TransferChoiceOf(state_.preset_levels), std::ref(move_), out_);
    }

    ScratchDir dir_;
    AppState state_;
    TextLookup texts_;
    ScriptedOperator op_;
    std::ostringstream status_;
    ConsoleProgress progress_{status_};
    RenamingMove move_{state_.utilita.job};
    std::ostringstream out_;
};

TEST_F(TransferCommandTest, EveryDocumentWithoutLevels) {
    EXPECT_EQ(Run(), TransferOutcome::kSent);
    EXPECT_EQ(out_.str(),
              "sent\t2025\tAX017\t2\t2\nsent\t2024\tAX018\t2\t2\nsent\t2024\tAX017\t2\t2\n"
              "total\t3\t6\t0\n");
    EXPECT_TRUE(fs::exists(dir_ / "out" / "2025" / "AX017" / "0002.TIF"));
    EXPECT_EQ(op_.Messages(), (std::vector<std::string>{"Export completed"}));
    EXPECT_EQ(progress_.Status(), "Export Files");
    EXPECT_NE(status_.str().find("Export Files: 2024AX018 \n"), std::string::npos);
}

TEST_F(TransferCommandTest, TheLevelsGivenChooseIgnoringCase) {
    state_.preset_levels[0] = "2024";
    EXPECT_EQ(Run(), TransferOutcome::kSent);
    EXPECT_EQ(out_.str(), "sent\t2024\tAX018\t2\t2\nsent\t2024\tAX017\t2\t2\ntotal\t2\t4\t0\n");
    EXPECT_TRUE(fs::exists(dir_ / "work" / "2025" / "AX017" / "0001.tif"));

    out_.str("");
    state_.preset_levels[0] = "2025";
    state_.preset_levels[1] = "ax017";
    EXPECT_EQ(Run(), TransferOutcome::kSent);
    EXPECT_EQ(out_.str(), "sent\t2025\tAX017\t2\t2\ntotal\t1\t2\t0\n");
}

TEST_F(TransferCommandTest, NothingChosenRunsNothing) {
    state_.preset_levels[0] = "1999";
    EXPECT_EQ(Run(), TransferOutcome::kNothingChosen);
    EXPECT_EQ(out_.str(), "total\t0\t0\t0\n");
    EXPECT_TRUE(move_.calls.empty());
    EXPECT_TRUE(op_.Messages().empty());
}

TEST_F(TransferCommandTest, PagesLeftBehindAreCountedAndTheRunFailsOnTheLog) {
    JobRecord& job = state_.utilita.job;
    job.log = "1";
    job.nomefilelog = (dir_ / "no-such-folder" / "log.txt").string();
    move_.refused = {"0002.tif"};
    EXPECT_EQ(Run(), TransferOutcome::kFailed);
    // The last row goes first; the log failure stops the run after it.
    EXPECT_EQ(out_.str(), "sent\t2025\tAX017\t1\t2\ntotal\t1\t1\t1\n");
}

}  // namespace
}  // namespace scantora
