#include <gtest/gtest.h>

#include "app/job_registry.h"
#include "app/job_selection.h"
#include "app/logon_name.h"
#include "app/program_dirs.h"
#include "app/startup.h"
#include "config/atomic_file.h"
#include "config/job_config_reader.h"
#include "config/job_config_writer.h"
#include "operator/scripted_operator.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;

TEST(ProgramDirs, DirectoryPartOfTheProgramPath) {
    EXPECT_EQ(ProgramDirectory("C:\\Programs\\Scantora\\scantora.exe"), "C:/Programs/Scantora");
    EXPECT_EQ(ProgramDirectory("/opt/scantora/bin/scantora"), "/opt/scantora/bin");
    EXPECT_EQ(ProgramDirectory("/scantora"), "/");
    EXPECT_FALSE(ProgramDirectory("scantora").empty());
    EXPECT_EQ(SetupDirectory("/opt/s"), "/opt/s/setup");
}

TEST(LogonName, UpperCaseInAFifteenByteBuffer) {
    EXPECT_EQ(LogonNameFrom("mario.rossi").name, "MARIO.ROSSI");
    EXPECT_EQ(LogonNameFrom("abcdefghijklmn").name, "ABCDEFGHIJKLMN");  // 14 + NUL fits
    const LogonName too_long = LogonNameFrom("abcdefghijklmno");
    EXPECT_FALSE(too_long.name.has_value());
    EXPECT_FALSE(too_long.error.empty());
    EXPECT_FALSE(LogonNameFrom("").name.has_value());
    EXPECT_EQ(LogonNameFrom("j\xC3\xA9r").name, "J\xC3\xA9R");  // non-ASCII bytes untouched
}

TEST(JobRegistry, FallsBackToPagivo2ThenPagivo) {
    ScratchDir dir;
    EXPECT_TRUE(OpenJobRegistry(dir.path()).jobs.empty());
    EXPECT_EQ(OpenJobRegistry(dir.path()).file, dir / "Scantora.ini");
    WriteFile(dir / "Pagivo.ini", "NOME=OLD\nFILEINI=P_G32001\n");
    EXPECT_EQ(OpenJobRegistry(dir.path()).file, dir / "Pagivo.ini");
    EXPECT_EQ(OpenJobRegistry(dir.path()).jobs.at(0).name, "OLD");
    WriteFile(dir / "Pagivo2.ini", "NOME=MID\nFILEINI=P_G32002\n");
    EXPECT_EQ(OpenJobRegistry(dir.path()).jobs.at(0).name, "MID");
    WriteFile(dir / "Scantora.ini", "SHOWMESSAGGI=0\n");
    const JobRegistry registry = OpenJobRegistry(dir.path());
    EXPECT_EQ(registry.file, dir / "Scantora.ini");
    EXPECT_TRUE(registry.jobs.empty());
}

TEST(JobRegistry, NewJobFileNamesAndAppending) {
    ScratchDir dir;
    EXPECT_EQ(NewJobFilePath(dir.path(), 4), dir / "P_G32004");
    EXPECT_EQ(NewJobFilePath(dir.path(), 12), dir / "P_G32012");
    WriteFile(dir / "Pagivo.ini", "NOME=A\nFILEINI=x");
    ASSERT_TRUE(AppendJob(dir / "Pagivo.ini", "B\nC", "/s/P_G32002"));
    EXPECT_EQ(ReadFile(dir / "Pagivo.ini"), "NOME=A\nFILEINI=x\nNOME=B C\nFILEINI=/s/P_G32002\n");
    EXPECT_FALSE(AppendJob(dir / "missing" / "Scantora.ini", "B", "x"));
}

class JobSelectionTest : public ::testing::Test {
protected:
    ScratchDir dir_;
    ScriptedOperator op_;
    TextLookup texts_;
};

TEST_F(JobSelectionTest, EntriesConfirmAndBeep) {
    WriteFile(dir_ / "Scantora.ini",
              "NOME=JOB10\nFILEINI=/a/P_G32001\nNOME=JOB1\nFILEINI=/a/P_G32002\n"
              "NOME=X\nFILEINI=/a/P_G32003\n");
    const JobSelection selection(dir_.path());
    ASSERT_EQ(selection.entries(), (std::vector<std::string>{"-->  JOB10", "-->  JOB1", "-->  X"}));
    EXPECT_EQ(selection.selected(), 0);
    EXPECT_EQ(selection.NewJobPath(), dir_ / "P_G32004");
    WriteFile(dir_ / "P_G32004", "another job");
    WriteFile(dir_ / "P_G32005", "another job");
    EXPECT_EQ(selection.NewJobPath(), dir_ / "P_G32006");

    const JobSelectionLabels labels = SelectionLabels(texts_);
    EXPECT_EQ(labels.caption, "Scantora  - Selezione Applicazione");
    EXPECT_EQ(labels.jobs, "Lavori Registrati");
    EXPECT_EQ(labels.new_job, "Nuova Applicazione");

    std::string path = "unchanged";
    EXPECT_FALSE(selection.Confirm("JOB1", path, op_));
    EXPECT_FALSE(selection.Confirm("-->  JOB", path, op_));
    EXPECT_EQ(op_.Count(OperatorEvent::Kind::kBeep), 2);
    EXPECT_EQ(path, "unchanged");
    EXPECT_TRUE(selection.Confirm("-->  JOB1", path, op_));
    EXPECT_EQ(path, "/a/P_G32002");
}

TEST_F(JobSelectionTest, NewJobGoesIntoTheRegistryThatWasOpened) {
    WriteFile(dir_ / "Pagivo.ini", "NOME=OLD\nFILEINI=P_G32001\n");
    JobSelection selection(dir_.path());
    const auto job_path = selection.NewJobPath();
    EXPECT_EQ(job_path, dir_ / "P_G32002");
    JobRecord job;
    job.applicazione = "NEW";
    job.nlivelli = "1";
    ASSERT_TRUE(
        selection.AddNewJob(job, job_path, KeyTable::Build(), dir_ / "tmpLIV.all", op_, texts_));
    EXPECT_EQ(selection.entries().back(), "-->  NEW");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Scantora.ini"));
    EXPECT_EQ(ReadFile(dir_ / "Pagivo.ini"),
              "NOME=OLD\nFILEINI=P_G32001\nNOME=NEW\nFILEINI=" + job_path.string() + "\n");
    std::string path;
    EXPECT_TRUE(selection.Confirm("-->  NEW", path, op_));
    EXPECT_EQ(path, job_path.string());
    JobRecord read;
    EXPECT_EQ(ReadJobConfig(KeyTable::Build(), dir_.path(), path, {}, read, op_, texts_),
              JobReadResult::kOk);
    EXPECT_EQ(read.applicazione, "NEW");
}

class StartupTest : public ::testing::Test {
protected:
    StartupResult Start(const std::string& command_line) {
        StartupOptions options;
        options.program_path = "/opt/scantora/scantora";
        options.setup_dir = dir_.path();
        options.command_line = command_line;
        options.locale = "it_IT.UTF-8";
        return StartUp(options, state_, texts_, op_);
    }
    ScratchDir dir_;
    ScriptedOperator op_;
    TextLookup texts_;
    AppState state_;
};

TEST_F(StartupTest, MissingSetupDirectoryEndsWithItsMessage) {
    StartupOptions options;
    options.program_path = (dir_ / "nowhere" / "scantora").string();
    EXPECT_EQ(StartUp(options, state_, texts_, op_), StartupResult::kSetupMissing);
    EXPECT_EQ(state_.setup_dir, dir_ / "nowhere" / "setup");
    EXPECT_EQ(op_.Messages(),
              std::vector<std::string>{"Attenzione ! ! !  Directory settaggi non trovata"});
}

TEST_F(StartupTest, CommandLineJobLoadsWithPresetsShownAndOverrides) {
    WriteFile(dir_ / "Scantora.ini", "SHOWMESSAGGI=1\nNOME=J\nFILEINI=c:\\x\\job.ini\n");
    JobRecord written;
    written.applicazione = "J";
    written.inisetscan = "scan";
    written.nlivelli = "2";
    written.barcode = "0";
    WriteFile(dir_ / "job.ini", ComposeJobFile(KeyTable::Build(), written, JobWriter::kMain));
    WriteFile(dir_ / "scan.twn", "GRADI=90\n");
    ASSERT_EQ(Start("APP=J LEVELS=A,,B BC=1"), StartupResult::kOk);
    EXPECT_EQ(state_.job_file_path, "c:\\x\\job.ini");
    EXPECT_FALSE(state_.user_name.empty());
    EXPECT_EQ(op_.Messages(), (std::vector<std::string>{"A", "B"}));
    const auto never = [](std::string&) -> bool {
        ADD_FAILURE() << "no selection expected";
        return false;
    };
    ASSERT_EQ(LoadJob(state_, never, op_, texts_), JobLoadResult::kOk);
    EXPECT_EQ(state_.utilita.job.applicazione, "J");
    EXPECT_EQ(state_.utilita.job.barcode, "1");
    EXPECT_EQ(state_.scanner.gradi, 90);
}

TEST_F(StartupTest, JobLoadingFailuresInOrder) {
    ASSERT_EQ(Start(""), StartupResult::kOk);
    const auto cancel = [](std::string&) { return false; };
    const auto ok_without_path = [](std::string&) { return true; };
    EXPECT_EQ(LoadJob(state_, cancel, op_, texts_), JobLoadResult::kNotSelected);
    EXPECT_EQ(op_.Messages().back(), "Errore 1 in Inizializzazione Scantoradlg");
    EXPECT_EQ(LoadJob(state_, ok_without_path, op_, texts_), JobLoadResult::kNoJobFile);
    EXPECT_EQ(op_.Messages().back(), "ATTENZIONE!!! Bisogna passare file INI di Lavoro.");

    state_.job_file_path = "absent.ini";
    EXPECT_EQ(LoadJob(state_, cancel, op_, texts_), JobLoadResult::kJobFileFailed);
    EXPECT_EQ(op_.Messages().back(), "Errore 2 in Inizializ Scantoradlg");

    WriteFile(dir_ / "job.ini", "[VARIE]\nTWAINSOURCE=x\nINISETSCAN=s\n[GENERALE]\nINISETSCAN=s\n");
    state_.job_file_path = "job.ini";
    state_.utilita.job = JobRecord{};
    EXPECT_EQ(LoadJob(state_, cancel, op_, texts_), JobLoadResult::kJobFileFailed);
    std::filesystem::create_directory(dir_ / "s.twn");
    WriteFile(dir_ / "job.ini", "[VARIE]\nTWAINSOURCE=x\n");
    state_.utilita.job.inisetscan = "s";
    EXPECT_EQ(LoadJob(state_, cancel, op_, texts_), JobLoadResult::kScannerFileFailed);
    EXPECT_EQ(op_.Messages().back(), "Errore  in Inizializzazione Scantoradlg");
}

TEST(DemoSetup, StartsAndLoadsTheRegisteredJob) {
    const std::filesystem::path setup = std::filesystem::path(TEST_SOURCE_DIR) / "demo" / "setup";
    const std::string settings_before = ReadFile(setup / "Scantora.ini");
    StartupOptions options;
    options.program_path = "scantora";
    options.setup_dir = setup;
    options.command_line = "APP=DEMO LEVELS=B001";
    options.locale = "en_US.UTF-8";
    ScriptedOperator op;
    TextLookup texts;
    AppState state;
    ASSERT_EQ(StartUp(options, state, texts, op), StartupResult::kOk);
    EXPECT_EQ(state.language_file, "Scantora_eng.lang");
    EXPECT_EQ(texts.Text(61488), "Scantora  - Job Selection");
    ASSERT_EQ(LoadJob(
                  state, [](std::string&) { return false; }, op, texts),
              JobLoadResult::kOk);
    EXPECT_EQ(state.utilita.job.applicazione, "DEMO");
    EXPECT_EQ(state.utilita.job.LevelCount(), 3);
    EXPECT_EQ(state.preset_levels[0], "B001");
    EXPECT_EQ(state.scanner.risoluzione, 200);
    EXPECT_TRUE(op.Messages().empty());
    EXPECT_EQ(ReadFile(setup / "Scantora.ini"), settings_before);
}

}  // namespace
}  // namespace scantora
