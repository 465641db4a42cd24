#include "acquisition/identification_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/text_lookup.h"
#include "operator/scripted_operator.h"

namespace scantora {
namespace {

namespace fs = std::filesystem;

class IdentificationModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(TEST_BINARY_DIR) / "identification_model_test" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        job_.applicazione = "ARCHIVIO";
        job_.nlivelli = "2";
        job_.disco_scarico = dir_.string() + "\\SCAN\\";
        job_.levels[0] = {"Anno", "", "3", "A$1#*%\\", "", "1", "", "0"};
        job_.levels[1] = {"Pratica", "", "4", "$2#*%$F#3%.tif", "+", "0", "", "0"};
    }

    std::string File(const std::string& name, const std::string& content) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    IdentificationModel& Model(std::span<const std::string> presets = {}) {
        model_.emplace(job_, texts_, operator_);
        model_->Initialise(saved_file_, presets);
        return *model_;
    }

    fs::path dir_;
    JobRecord job_;
    TextLookup texts_;
    ScriptedOperator operator_;
    std::string saved_file_;
    std::optional<IdentificationModel> model_;
};

TEST_F(IdentificationModelTest, InitialisesLevelsFromTheJobRecord) {
    job_.nlivelli = "3";
    job_.levels[2] = {"Foglio", "", "2", "", "", "0", "", "1"};
    job_.multitiff = "Y";
    IdentificationModel& model = Model();
    ASSERT_EQ(model.level_count(), 3u);
    EXPECT_EQ(model.level(0).label, "Anno");
    EXPECT_FALSE(model.level(0).locked);
    EXPECT_TRUE(model.level(2).locked);
    EXPECT_TRUE(model.level(2).lock_fixed);
    EXPECT_FALSE(model.level(2).entry_enabled);
    EXPECT_EQ(model.entry_limit(1), 4);
    EXPECT_EQ(model.Caption(), "ID. Doc. - ARCHIVIO -");
    EXPECT_TRUE(model.multi_page_tools_disabled());
    EXPECT_TRUE(operator_.events().empty());

    model.SetLocked(2, false);
    EXPECT_TRUE(model.level(2).locked);
    model.SetLocked(0, true);
    EXPECT_TRUE(model.level(0).locked);
    EXPECT_FALSE(model.level(0).entry_enabled);
}

TEST_F(IdentificationModelTest, LoadsInputControlFilesAndReportsMissingOnes) {
    job_.levels[0].nomefileinput = File("anni.txt", "2001\r\n\r\n2002\n2003");
    job_.levels[1].nomefileinput = (dir_ / "missing.txt").string();
    IdentificationModel& model = Model();
    EXPECT_EQ(model.level(0).entry_list, (std::vector<std::string>{"2001", "2002", "2003"}));
    EXPECT_TRUE(model.level(1).entry_list.empty());
    ASSERT_EQ(operator_.Messages().size(), 1u);
    EXPECT_EQ(operator_.Messages()[0], "Attenzione!!! File Tabella (" +
                                           (dir_ / "missing.txt").string() +
                                           ") di controllo non caricato.!!!");
}

TEST_F(IdentificationModelTest, ReportsAnInputControlFileThatCannotBeRead) {
    fs::create_directories(dir_ / "adir");
    job_.levels[0].nomefileinput = (dir_ / "adir").string();
    Model();
    ASSERT_EQ(operator_.Messages().size(), 1u);
    EXPECT_EQ(operator_.Messages()[0],
              "Errore Apertura file Tabella di Controllo " + (dir_ / "adir").string() + " \n");
}

TEST_F(IdentificationModelTest, RestoresTheSavedFileAndLetsPresetsWin) {
    saved_file_ = File("ident.sav", "1\r\n0\r\nE1\r\nE2\r\nD1\r\nD2\r\n");
    const std::vector<std::string> presets = {"", "0042"};
    IdentificationModel& model = Model(presets);
    EXPECT_TRUE(model.level(0).locked);
    EXPECT_FALSE(model.level(0).entry_enabled);
    EXPECT_EQ(model.level(0).entry, "E1");
    EXPECT_EQ(model.level(0).display, "D1");
    EXPECT_EQ(model.level(1).entry, "0042");
    EXPECT_EQ(model.level(1).display, "0042");
}

TEST_F(IdentificationModelTest, SavesAndRestoresItsValues) {
    IdentificationModel& model = Model();
    model.SetLocked(1, true);
    model.SetEntry(0, "123");
    model.LeaveEntry(0);
    model.SetEntry(1, "a code longer than sixteen");
    const std::string path = (dir_ / "saved.ini").string();
    ASSERT_TRUE(model.Save(path));

    IdentificationModel restored(job_, texts_, operator_);
    restored.Initialise(path, {});
    EXPECT_EQ(restored.level(0).display, "123");
    EXPECT_EQ(restored.level(1).entry, "a code longer than sixteen");
    EXPECT_TRUE(restored.level(1).locked);
    // A short file leaves the levels it lacks empty.
    const std::string short_file = File("short.ini", "0\n");
    EXPECT_TRUE(restored.Restore(short_file));
    EXPECT_EQ(restored.level(0).display, "");
    EXPECT_FALSE(restored.Restore((dir_ / "none.ini").string()));
    // Codes from an older Latin-1 file come back as UTF-8, ready for a path.
    EXPECT_TRUE(restored.Restore(File("latin1.ini", "0\n0\nCITT\xC0\n\nCITT\xC0\n\n")));
    EXPECT_EQ(restored.level(0).entry, "CITTÀ");
    EXPECT_EQ(restored.level(0).display, "CITTÀ");
}

TEST_F(IdentificationModelTest, EntryCheckTrimsPadsAndRefusesLongCodes) {
    job_.levels[1].nmaxcar = "5";
    IdentificationModel& model = Model();
    model.SetEntry(0, "  A12 ");
    EXPECT_TRUE(model.LeaveEntry(0));
    EXPECT_EQ(model.level(0).entry, "A12");
    EXPECT_EQ(model.level(0).display, "A12");

    model.SetEntry(1, "A12");
    EXPECT_TRUE(model.LeaveEntry(1));
    EXPECT_EQ(model.level(1).display, "A0012");

    model.SetEntry(0, "ABCD");
    EXPECT_FALSE(model.LeaveEntry(0));
    EXPECT_EQ(model.level(0).display, "A12");
    EXPECT_EQ(model.focus_level(), 0u);
    ASSERT_EQ(operator_.Messages().size(), 1u);
    EXPECT_EQ(operator_.Messages()[0], "Attenzione ! Si possono inserire al massimo 3 caratteri!");
}

TEST_F(IdentificationModelTest, ALevelOfWidthZeroTakesOnlyAnEmptyCode) {
    job_.levels[0].nmaxcar = "0";
    IdentificationModel& model = Model();
    model.SetEntry(0, "  ");
    EXPECT_TRUE(model.LeaveEntry(0));
    EXPECT_EQ(model.level(0).display, "");
    model.SetEntry(0, "7");
    EXPECT_FALSE(model.LeaveEntry(0));
    ASSERT_EQ(operator_.Messages().size(), 1u);
    EXPECT_EQ(operator_.Messages()[0], "Attenzione ! Si possono inserire al massimo 0 caratteri!");
}

TEST_F(IdentificationModelTest, LevelCommandFillsShallowerAndEmptiesDeeperLevels) {
    job_.nlivelli = "3";
    job_.levels[2].nmaxcar = "2";
    IdentificationModel& model = Model();
    const std::vector<std::string> entries = {"E0", "E1", "E2"};
    for (std::size_t i = 0; i < 3; ++i)
        model.SetEntry(i, entries[i]);
    model.RunLevelCommand(1);
    EXPECT_EQ(model.level(0).display, "E0");
    EXPECT_EQ(model.level(1).display, "");
    EXPECT_EQ(model.level(1).entry, "E1");
    EXPECT_EQ(model.level(2).entry, "");
    EXPECT_EQ(model.level(2).display, "");
}

TEST_F(IdentificationModelTest, ValidationFillsEmptyLevelsWithTheirDefault) {
    job_.levels[0].avuoto = "XX";
    job_.levels[1].avuoto = "7";
    IdentificationModel& model = Model();
    EXPECT_TRUE(model.Validate());
    EXPECT_EQ(model.level(0).display, "XX");
    EXPECT_EQ(model.level(0).entry, "XX");
    EXPECT_EQ(model.level(1).display, "0007");
    EXPECT_TRUE(operator_.events().empty());
}

TEST_F(IdentificationModelTest, ValidationStopsAtAnEmptyMandatoryLevel) {
    job_.levels[0].lockuser = "1";
    job_.levels[1].obbligatorio = "Y";
    job_.levels[1].avuoto = "";
    IdentificationModel& model = Model();
    EXPECT_FALSE(model.Validate());
    ASSERT_EQ(operator_.events().size(), 1u);
    EXPECT_EQ(operator_.events()[0].kind, OperatorEvent::Kind::kInformation);
    EXPECT_EQ(operator_.events()[0].text,
              "Attenzione!!! Per Acquisire i documenti bisogna riempire i campi.");
    EXPECT_EQ(model.focus_level(), 0u);
    EXPECT_TRUE(model.level(0).entry_enabled);
}

TEST_F(IdentificationModelTest, ValidationChecksCodesAgainstTheEntryList) {
    job_.levels[1].nomefileinput = File("pratiche.txt", "0007\n0008\n");
    IdentificationModel& model = Model();
    model.SetEntry(0, "123");
    model.LeaveEntry(0);
    model.SetEntry(1, "9");
    model.LeaveEntry(1);
    EXPECT_FALSE(model.Validate());
    ASSERT_EQ(operator_.Messages().size(), 1u);
    EXPECT_EQ(operator_.Messages()[0],
              "Errore. E' stato immesso un parametro , dei documenti da acquisire, non "
              "riconosciuto \n (Pratica) \n");
    EXPECT_EQ(model.focus_level(), 1u);

    model.SetEntry(1, "7");
    model.LeaveEntry(1);
    EXPECT_TRUE(model.Validate());
    EXPECT_FALSE(model.focus_level());
}

TEST_F(IdentificationModelTest, ValidationRefusesCodesWiderThanTheirLevel) {
    job_.levels[0].avuoto = "TOOLONG";
    IdentificationModel& model = Model();
    EXPECT_FALSE(model.Validate());
    ASSERT_EQ(operator_.Messages().size(), 1u);
    EXPECT_EQ(operator_.Messages()[0], "Attenzione ! Si possono inserire al massimo 3 caratteri!");
}

TEST_F(IdentificationModelTest, WorkingLevelFromAutomaticoOrTheDeepestCode) {
    job_.nlivelli = "3";
    IdentificationModel& model = Model();
    EXPECT_EQ(model.WorkingLevel(), 0u);  // empty AUTOMATICO reads as level 0
    job_.automatico = "2x";
    EXPECT_EQ(model.WorkingLevel(), 2u);
    job_.automatico = "7";
    EXPECT_FALSE(model.WorkingLevel());
    model.SetEntry(1, "B");
    model.LeaveEntry(1);
    EXPECT_EQ(model.WorkingLevel(), 1u);
}

TEST_F(IdentificationModelTest, OneFilePerPageAdvancesTheWorkingLevel) {
    job_.automatico = "1";
    IdentificationModel& model = Model();
    model.SetEntry(1, "0099");
    model.LeaveEntry(1);
    model.AdvancePage({});
    EXPECT_EQ(model.level(1).entry, "0099");
    EXPECT_EQ(model.level(1).display, "0100");

    job_.levels[1].opfinescandoc = "-";
    model.SetEntry(1, "0000");
    model.LeaveEntry(1);
    model.AdvancePage({});
    EXPECT_EQ(model.level(1).display, "0000");

    job_.levels[1].opfinescandoc = "";
    model.AdvancePage({});
    EXPECT_EQ(model.level(1).display, "0000");
}

TEST_F(IdentificationModelTest, DuplexSheetsKeepOneCodeWhenTheSideNameTellsThemApart) {
    job_.automatico = "1";
    IdentificationModel& model = Model();
    model.SetEntry(1, "0007");
    model.LeaveEntry(1);
    model.AdvancePage({true, false});
    EXPECT_EQ(model.level(1).display, "0007");
    model.AdvancePage({true, true});
    EXPECT_EQ(model.level(1).display, "0008");

    // Without a side-name token every page gets its own code.
    job_.levels[1].composnome = "$2#*%.tif";
    model.AdvancePage({true, false});
    EXPECT_EQ(model.level(1).display, "0009");
}

TEST_F(IdentificationModelTest, MultiPageDocumentsCountTheirPages) {
    job_.multitiff = "Y";
    job_.maxdoc_num = "3";
    job_.automatico = "1";
    IdentificationModel& model = Model();
    model.SetEntry(1, "0007");
    model.LeaveEntry(1);
    model.AdvancePage({});
    model.AdvancePage({});
    EXPECT_EQ(model.BatchCounterText(), "Num. Img. nel Bacth: 2  ");
    EXPECT_FALSE(model.document_complete());
    model.AdvancePage({});
    EXPECT_TRUE(model.document_complete());
    EXPECT_EQ(model.level(1).display, "0007");
    // A document file that already holds more pages than the limit is complete at once.
    model.clear_document_complete();
    model.set_page_counter(5);
    EXPECT_TRUE(model.document_complete());
}

TEST_F(IdentificationModelTest, StepLevelAdvancesAndEmptiesDeeperLevels) {
    IdentificationModel& model = Model();
    model.SetEntry(0, "009");
    model.LeaveEntry(0);
    model.SetEntry(1, "0001");
    model.LeaveEntry(1);
    model.StepLevel(0, +1);
    EXPECT_EQ(model.level(0).display, "010");
    EXPECT_EQ(model.level(1).display, "");
    EXPECT_EQ(model.level(1).entry, "");
}

TEST_F(IdentificationModelTest, BuildsThePagePathOfTheWorkedExample) {
    IdentificationModel& model = Model();
    model.SetEntry(0, "123");
    model.LeaveEntry(0);
    model.SetEntry(1, "7");
    model.LeaveEntry(1);
    ASSERT_TRUE(model.Validate());
    const auto parts = model.BuildPagePath(false);
    ASSERT_TRUE(parts);
    EXPECT_EQ(model.file_field(), dir_.string() + "/SCAN/A123/0007fro.tif");
    EXPECT_EQ(parts->directory, dir_.string() + "/SCAN/A123/");
    EXPECT_EQ(parts->base_name, "0007fro");
    EXPECT_EQ(parts->extension, "tif");
    EXPECT_TRUE(fs::is_directory(dir_ / "SCAN" / "A123"));
    EXPECT_TRUE(operator_.events().empty());
}

TEST_F(IdentificationModelTest, RefusesAPagePathThatIsNotAbsolute) {
    job_.disco_scarico = "SCAN\\";
    IdentificationModel& model = Model();
    model.SetEntry(0, "123");
    model.LeaveEntry(0);
    EXPECT_FALSE(model.BuildPagePath(false));
    ASSERT_EQ(operator_.Messages().size(), 1u);
    EXPECT_EQ(operator_.Messages()[0], "Errore nella struttura del nome");
    EXPECT_EQ(model.file_field(), "");
}

}  // namespace
}  // namespace scantora
