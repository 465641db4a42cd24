#include <gtest/gtest.h>

#include <sstream>

#include "app/global_settings.h"
#include "app/language_file.h"
#include "app/menu_table.h"
#include "app/user_language.h"
#include "config/text_encoding.h"
#include "operator/scripted_operator.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;

LanguageTable TableOf(const std::string& text) {
    std::istringstream in(text);
    LanguageTable table;
    ReadLanguageLines(in, table);
    table.Sort();
    return table;
}

TEST(LanguageFile, ColumnsShortLinesAndBadIdentifiers) {
    TextLookup texts;
    texts.table() = TableOf(
        "061489   Mostra pagine\n"
        "061490   \n"         // 9 characters: ignored
        "61491    \n"         // 9 characters: ignored
        "  1234xyzTesto\r\n"  // leading blanks, any separator
        "abcdef   not a number\n"
        "000000   zero\n"
        "-00005   negative\n"
        "061492   S\xEC");  // Latin-1, last line without line end
    EXPECT_EQ(texts.Text(61489), "Mostra pagine");
    EXPECT_EQ(texts.Text(61490), "Annulla Acquisizione");
    EXPECT_EQ(texts.Text(61491), "Fine Acquisizione");
    EXPECT_EQ(texts.Text(1234), "Testo");
    EXPECT_EQ(texts.Text(61492), "S\xC3\xAC");
    EXPECT_EQ(texts.table().entries().size(), 3u);
}

TEST(LanguageFile, TableFillsUpToItsCapacityAndLinesAreBounded) {
    std::string text;
    for (int id = 1; id <= 300; ++id) {
        char line[32];
        std::snprintf(line, sizeof line, "%06d   t%d\n", id, id);
        text += line;
    }
    std::string long_text;
    for (int i = 0; i < 600; ++i)
        long_text += "\xC3\xA8";  // one character, two bytes
    text = "000999   " + long_text + "\n" + text;
    const LanguageTable table = TableOf(text);
    ASSERT_EQ(table.entries().size(), LanguageTable::kMaxEntries);
    EXPECT_EQ(table.entries().back().id, 999);
    EXPECT_EQ(CharCount(table.entries().back().text), kMaxLanguageLine - 9);
    EXPECT_TRUE(IsValidUtf8(table.entries().back().text));
    EXPECT_EQ(table.entries()[248].id, 249);
}

TEST(MenuTable, EntriesAndTheirFallbackTexts) {
    TextLookup texts;
    texts.table() = TableOf("000101   \n000101\n000102   Invia file\n061489   x\n");
    EXPECT_EQ(MenuText(texts, 101), "<<Open File>>");
    EXPECT_EQ(MenuText(texts, 102), "Invia file");
    EXPECT_EQ(MenuText(texts, 500), "?");
    const auto menu = MenuEntries();
    ASSERT_EQ(menu.size(), 27u);
    EXPECT_EQ(menu.front().id, 100);
    EXPECT_EQ(menu.back().id, 500);
    for (const auto& entry : menu) {
        if (entry.parent == 0) continue;
        const bool parent_is_sub_menu =
            std::any_of(menu.begin(), menu.end(), [&](const MenuEntry& e) {
                return e.id == entry.parent && e.command == MenuCommand::kSubMenu;
            });
        EXPECT_TRUE(parent_is_sub_menu) << entry.id;
    }
}

TEST(UserLanguage, LocaleNamesMapToLanguagesAndFiles) {
    EXPECT_EQ(PrimaryLanguage("it_IT.UTF-8"), 0x10);
    EXPECT_EQ(PrimaryLanguage("EN_us"), 0x09);
    EXPECT_EQ(PrimaryLanguage("nl_BE@euro"), 0x13);
    EXPECT_EQ(PrimaryLanguage("C"), std::nullopt);
    EXPECT_EQ(PrimaryLanguage(""), std::nullopt);
    EXPECT_EQ(DefaultLanguageFile(0x13), "Scantora_ger.lang");
    EXPECT_EQ(DefaultLanguageFile(0x0C), "Scantora_Fre.lang");
    EXPECT_EQ(DefaultLanguageFile(0x01), "");
    EXPECT_EQ(BuiltinLanguageFor("en_GB.UTF-8"), BuiltinLanguage::kEnglish);
    EXPECT_EQ(BuiltinLanguageFor("de_DE"), BuiltinLanguage::kItalian);
    EXPECT_EQ(BuiltinLanguageFor("POSIX"), BuiltinLanguage::kItalian);
}

TEST(UserLanguage, LocaleVariablesInTheirOrder) {
    const std::string saved[3] = {getenv("LC_ALL") ? getenv("LC_ALL") : "",
                                  getenv("LC_MESSAGES") ? getenv("LC_MESSAGES") : "",
                                  getenv("LANG") ? getenv("LANG") : ""};
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "fr_FR", 1);
    setenv("LANG", "it_IT", 1);
    EXPECT_EQ(UserLocale(), "fr_FR");
    setenv("LC_ALL", "en_US", 1);
    EXPECT_EQ(UserLocale(), "en_US");
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(UserLocale(), "it_IT");
    const char* names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (int i = 0; i < 3; ++i)
        saved[i].empty() ? unsetenv(names[i]) : setenv(names[i], saved[i].c_str(), 1);
}

class LanguageSetupTest : public ::testing::Test {
protected:
    ScratchDir dir_;
    TextLookup texts_;
};

TEST_F(LanguageSetupTest, UserLanguageFileIsTakenAndSavedWhenNoneIsChosen) {
    const std::string ini = "SHOWMESSAGGI=0\nNOME=A\nFILEINI=x\n";
    WriteFile(dir_ / "Scantora.ini", ini);
    WriteFile(dir_ / "Scantora_ger.lang", "061489   Bilder anzeigen\n");
    EXPECT_EQ(LoadLanguage(dir_.path(), "nl_NL.UTF-8", texts_), "Scantora_ger.lang");
    EXPECT_EQ(texts_.Text(61489), "Bilder anzeigen");
    EXPECT_EQ(ReadFile(dir_ / "Scantora.ini"), ini + "LINGUAGGIO=Scantora_ger.lang\n");
    EXPECT_EQ(ReadFile(dir_ / "Scantora.ini.old"), ini);
}

TEST_F(LanguageSetupTest, NoSettingsFileIsCreatedForTheDefaultLanguage) {
    WriteFile(dir_ / "Pagivo.ini", "NOME=A\nFILEINI=x\n");
    WriteFile(dir_ / "Scantora_ita.lang", "061489   Vedi\n");
    EXPECT_EQ(LoadLanguage(dir_.path(), "it_CH", texts_), "Scantora_ita.lang");
    EXPECT_EQ(texts_.Text(61489), "Vedi");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Scantora.ini"));
}

TEST_F(LanguageSetupTest, MissingChosenFileKeepsBuiltinTextsAndTheSetting) {
    const std::string ini = "LINGUAGGIO=Scantora_xyz.lang\n";
    WriteFile(dir_ / "Scantora.ini", ini);
    WriteFile(dir_ / "Scantora_eng.lang", "061489   Show\n");
    EXPECT_EQ(LoadLanguage(dir_.path(), "en_US", texts_), "Scantora_xyz.lang");
    EXPECT_EQ(texts_.Text(61489), "Show Image");
    EXPECT_EQ(ReadFile(dir_ / "Scantora.ini"), ini);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Scantora.ini.old"));
}

TEST_F(LanguageSetupTest, DefaultNameWithoutUserFileReadsScantoraLang) {
    WriteFile(dir_ / "Scantora.lang", "061489   Vedi\n");
    EXPECT_EQ(LoadLanguage(dir_.path(), "sv_SE", texts_), "Scantora.lang");
    EXPECT_EQ(texts_.Text(61489), "Vedi");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Scantora.ini"));
    // A chosen name is a file name only: it cannot reach outside the setup directory.
    WriteFile(dir_ / "Scantora.ini", "LINGUAGGIO=../../Scantora.lang\n");
    EXPECT_EQ(LoadLanguage(dir_.path(), "sv_SE", texts_), "Scantora.lang");
}

TEST_F(LanguageSetupTest, SavingTheChoiceReplacesOrAppendsAndKeepsABackup) {
    const auto ini = dir_ / "Scantora.ini";
    WriteFile(ini, "NOME=A\r\nFILEINI=" + std::string(400, 'p') + "\r\nLINGUAGGIO=old.lang\r\n");
    ASSERT_TRUE(SaveLanguageChoice(ini, "Scantora_eng.lang"));
    EXPECT_EQ(ReadFile(ini),
              "NOME=A\nFILEINI=" + std::string(400, 'p') + "\nLINGUAGGIO=Scantora_eng.lang\n");
    EXPECT_NE(ReadFile(dir_ / "Scantora.ini.old").find("old.lang"), std::string::npos);

    WriteFile(ini, "SHOWMESSAGGI=1");
    ASSERT_TRUE(SaveLanguageChoice(ini, "Scantora_ita.lang"));
    EXPECT_EQ(ReadFile(ini), "SHOWMESSAGGI=1\nLINGUAGGIO=Scantora_ita.lang\n");

    std::filesystem::remove(ini);
    ASSERT_TRUE(SaveLanguageChoice(ini, "Scantora.lang"));
    EXPECT_EQ(ReadFile(ini), "LINGUAGGIO=Scantora.lang\n");
}

TEST_F(LanguageSetupTest, LanguageBoxListsFilesAndSavesAChange) {
    WriteFile(dir_ / "Scantora_ita.lang", "");
    WriteFile(dir_ / "Scantora_eng.lang", "");
    WriteFile(dir_ / "Scantora.lang", "");
    WriteFile(dir_ / "Other_eng.lang", "");
    EXPECT_EQ(LanguageChoices(dir_.path(), "Scantora.lang"),
              (std::vector<std::string>{"Scantora_eng.lang", "Scantora_ita.lang"}));
    EXPECT_EQ(LanguageChoices(dir_.path(), "Scantora_eng.lang").back(), "Scantora.lang");

    ScriptedOperator op;
    EXPECT_FALSE(ChangeLanguage(dir_.path(), "Scantora_eng.lang", "Scantora_eng.lang", op, texts_));
    EXPECT_FALSE(ChangeLanguage(dir_.path(), "Scantora_eng.lang", "", op, texts_));
    EXPECT_TRUE(op.Messages().empty());
    EXPECT_TRUE(ChangeLanguage(dir_.path(), "Scantora_eng.lang", "Scantora_ita.lang", op, texts_));
    EXPECT_EQ(op.Messages(), std::vector<std::string>{"Riavviare l'applicazione"});
    GlobalSettings settings;
    ASSERT_TRUE(ReadGlobalSettings(dir_ / "Scantora.ini", settings));
    EXPECT_EQ(settings.language_file, "Scantora_ita.lang");
}

TEST(GlobalSettings, ParsesFlagsLanguageAndRegistryPairs) {
    std::istringstream in(
        "SHOWMESSAGGI=2\r\nLINGUAGGIO=Scantora_eng.lang\r\nNOME=Job One\r\n"
        "FILEINI=C:\\setup\\P_G32001\r\nJUNK\r\nNOME=Two\nFILEINI=/srv/P_G32002\nNOME=Last");
    const GlobalSettings settings = ParseGlobalSettings(in);
    EXPECT_TRUE(settings.show_messages);
    EXPECT_EQ(settings.language_file, "Scantora_eng.lang");
    ASSERT_EQ(settings.jobs.size(), 3u);
    EXPECT_EQ(settings.jobs[0].name, "Job One");
    EXPECT_EQ(settings.jobs[0].job_file, "C:\\setup\\P_G32001");
    EXPECT_EQ(settings.jobs[1].job_file, "/srv/P_G32002");
    EXPECT_EQ(settings.jobs[2].job_file, "");

    std::istringstream off("SHOWMESSAGGI=0\n");
    EXPECT_FALSE(ParseGlobalSettings(off).show_messages);
}

}  // namespace
}  // namespace scantora
