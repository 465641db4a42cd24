#include <gtest/gtest.h>

#include <sstream>

#include "app/text_lookup.h"
#include "config/job_config_reader.h"
#include "config/scanner_options.h"
#include "config/scanner_settings.h"
#include "config/source_choice.h"
#include "operator/scripted_operator.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;

ScannerSettings Parsed(const std::string& text) {
    std::istringstream in(text);
    ScannerSettings settings;
    ParseScannerSettings(in, settings);
    return settings;
}

TEST(ScannerSettings, SingleLineKeepsTheDefaults) {
    const ScannerSettings settings = Parsed("GRADI=90");
    EXPECT_EQ(settings.gradi, 90);
    EXPECT_EQ(settings.risoluzione, 240);
    EXPECT_EQ(settings.duplex, 0);
}

TEST(ScannerSettings, FirstKeyFoundDecidesAndOnlyALeadingKeyCounts) {
    const ScannerSettings settings = Parsed(
        "XDUPLEX=1\r\nDESKEW=1 GRADI=270\nRISOLUZIONE=300dpi\nLEFT=-5\nTOP=abc\n"
        "RIGHT=99999999999\n\xFF\xFE\n");
    EXPECT_EQ(settings.duplex, 0);
    EXPECT_EQ(settings.deskew, 1);
    EXPECT_EQ(settings.gradi, 0);
    EXPECT_EQ(settings.risoluzione, 300);
    EXPECT_EQ(settings.left, -5);
    EXPECT_EQ(settings.top, 0);
    EXPECT_EQ(settings.right, INT_MAX);
}

TEST(ScannerSettings, WriteReadRoundTripInTheFixedOrder) {
    ScratchDir dir;
    ScriptedOperator op;
    const auto path = ScannerSettingsPath(dir.path(), "C:\\cfg\\demo");
    EXPECT_EQ(path, dir / "demo.twn");
    ScannerSettings written{1, 2, 3, 300, 1, 0, 1, 270, 10, 20, 30, 40};
    ASSERT_TRUE(WriteScannerSettings(path, written, op));
    EXPECT_EQ(ReadFile(path),
              "TIPO=1\nCONTRASTO=2\nLUMINOSITA=3\nRISOLUZIONE=300\nDUPLEX=1\nINVERT=0\n"
              "DESKEW=1\nGRADI=270\nLEFT=10\nTOP=20\nBOTTOM=30\nRIGHT=40\n");
    ScannerSettings read;
    ASSERT_TRUE(ReadScannerSettings(path, read, op));
    EXPECT_EQ(read, written);
    EXPECT_TRUE(op.Messages().empty());
}

TEST(ScannerSettings, MissingIsFineUnreadableFails) {
    ScratchDir dir;
    ScriptedOperator op;
    ScannerSettings settings;
    settings.gradi = 180;
    EXPECT_TRUE(ReadScannerSettings(dir / "none.twn", settings, op));
    EXPECT_EQ(settings.gradi, 180);
    std::filesystem::create_directory(dir / "dir.twn");
    EXPECT_FALSE(ReadScannerSettings(dir / "dir.twn", settings, op));
    EXPECT_EQ(op.Messages().back(),
              "Errore in Lettura file Scanner (" + (dir / "dir.twn").string() + ")");
    EXPECT_FALSE(WriteScannerSettings(dir / "missing" / "x.twn", settings, op));
    EXPECT_EQ(op.Messages().back(), "Errore in registrazione file settaggi scanner");
}

TEST(ScannerOptions, MarksFollowTheSettings) {
    ScannerSettings settings;
    settings.gradi = -90;
    EXPECT_EQ(MarksFromSettings(settings), ScannerOptionMarks{});
    settings = {0, 0, 0, 240, 1, 1, 1, 270, 0, 0, 0, 0};
    const ScannerOptionMarks marks = MarksFromSettings(settings);
    EXPECT_TRUE(marks.rotate270 && marks.front_back && marks.deskew && marks.negative);
    EXPECT_FALSE(marks.rotate0 || marks.rotate90 || marks.rotate180);
    settings.duplex = 2;
    EXPECT_FALSE(MarksFromSettings(settings).front_back);
}

TEST(ScannerOptions, CommandsChangeSettingsAndWriteTheFile) {
    ScratchDir dir;
    ScriptedOperator op;
    TextLookup texts;
    const auto path = dir / "s.twn";
    ScannerSettings settings;
    ScannerOptionMarks marks = MarksFromSettings(settings);

    ASSERT_TRUE(
        RunScannerOptionCommand(ScannerOption::kRotate180, marks, settings, path, op, texts));
    EXPECT_TRUE(marks.rotate180);
    EXPECT_FALSE(marks.rotate0 || marks.rotate90 || marks.rotate270);
    EXPECT_NE(ReadFile(path).find("GRADI=180\n"), std::string::npos);

    for (auto option :
         {ScannerOption::kFrontBack, ScannerOption::kDeskew, ScannerOption::kNegative})
        ASSERT_TRUE(RunScannerOptionCommand(option, marks, settings, path, op, texts));
    EXPECT_EQ(settings.duplex + settings.deskew + settings.invert, 3);
    ASSERT_TRUE(RunScannerOptionCommand(ScannerOption::kDeskew, marks, settings, path, op, texts));
    EXPECT_FALSE(marks.deskew);
    EXPECT_EQ(settings.deskew, 0);
    ScannerSettings reread;
    ASSERT_TRUE(ReadScannerSettings(path, reread, op));
    EXPECT_EQ(reread, settings);

    texts.table().Add(117, "Impossibile salvare");
    const auto bad = dir / "missing" / "s.twn";
    EXPECT_FALSE(
        RunScannerOptionCommand(ScannerOption::kRotate90, marks, settings, bad, op, texts));
    EXPECT_EQ(settings.gradi, 90);  // kept for this run
    EXPECT_EQ(op.Messages(),
              (std::vector<std::string>{"Errore in registrazione file settaggi scanner",
                                        "Impossibile salvare"}));
}

class FakeSources : public SourceList {
public:
    explicit FakeSources(std::vector<std::string> names) : names_(std::move(names)) {}
    int Count() override { return static_cast<int>(names_.size()); }
    std::string Name(int index) override { return names_.at(index); }
    void Select(int index) override { selected = index; }
    int selected = -1;

private:
    std::vector<std::string> names_;
};

class SourceChoiceTest : public ::testing::Test {
protected:
    bool Choose(FakeSources& sources, bool reset) {
        return ChooseSource(sources, reset, job_, dir_ / "job.ini", dir_ / "tmpLIV.all", op_);
    }
    ScratchDir dir_;
    ScriptedOperator op_;
    JobRecord job_;
};

TEST_F(SourceChoiceTest, SecondOfTwoSourcesIsChosenAndSavedIntoVarie) {
    WriteFile(dir_ / "job.ini", "[GENERALE]\r\nAPPLICAZIONE=J\r\n");
    FakeSources sources({"Flatbed", "Feeder"});
    op_.QueueYesNo({false, true});
    ASSERT_TRUE(Choose(sources, false));
    EXPECT_EQ(sources.selected, 1);
    EXPECT_EQ(job_.twainsource, "Feeder");
    EXPECT_EQ(op_.Count(OperatorEvent::Kind::kYesNo), 2);
    EXPECT_EQ(ReadFile(dir_ / "job.ini"),
              "[GENERALE]\nAPPLICAZIONE=J\n\n[VARIE]\nTWAINSOURCE=Feeder\n");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "tmpLIV.all"));

    // The stored name is found again without a question.
    FakeSources again({"Flatbed", "Feeder"});
    ASSERT_TRUE(Choose(again, false));
    EXPECT_EQ(again.selected, 1);
    EXPECT_EQ(op_.Count(OperatorEvent::Kind::kYesNo), 2);
}

TEST_F(SourceChoiceTest, StaleNameIsForgottenAndAllNoSelectsNothing) {
    WriteFile(dir_ / "job.ini", "[VARIE]\nTWAINSOURCE=Old\nSHOWTWAIN=1");
    job_.twainsource = "Old";
    FakeSources sources({"A", "B"});
    op_.QueueYesNo({false, false});
    EXPECT_FALSE(Choose(sources, false));
    EXPECT_EQ(sources.selected, -1);
    EXPECT_EQ(job_.twainsource, "");
    op_.QueueYesNo({true});
    ASSERT_TRUE(Choose(sources, false));
    EXPECT_EQ(ReadFile(dir_ / "job.ini"), "[VARIE]\nTWAINSOURCE=A\nSHOWTWAIN=1\n");
}

TEST_F(SourceChoiceTest, ResetNoSourceAndSingleSource) {
    job_.twainsource = "Only";
    FakeSources one({"Only"});
    EXPECT_TRUE(Choose(one, true));
    EXPECT_EQ(one.selected, 0);
    EXPECT_EQ(job_.twainsource, "");  // a single source is not stored
    EXPECT_EQ(op_.Count(OperatorEvent::Kind::kYesNo), 0);

    FakeSources none({});
    EXPECT_FALSE(Choose(none, false));
    EXPECT_EQ(op_.Messages().back(), "Source TWAIN  don't detect");
}

TEST_F(SourceChoiceTest, SavingKeepsLongLinesWholeAndReplacesEveryTwainLine) {
    const std::string long_value(700, 'v');
    WriteFile(dir_ / "job.ini", "[GENERALE]\r\nINVIOA=" + long_value +
                                    "\r\n[VARIE]\r\nTWAINSOURCE=a\r\nTWAINSOURCE=b");
    ASSERT_TRUE(SaveTwainSource(dir_ / "job.ini", "New\nLine", dir_ / "tmpLIV.all"));
    EXPECT_EQ(ReadFile(dir_ / "job.ini"), "[GENERALE]\nINVIOA=" + long_value +
                                              "\n[VARIE]\nTWAINSOURCE=NewLine\n"
                                              "TWAINSOURCE=NewLine\n");
}

TEST_F(SourceChoiceTest, SavingNeverWritesAJobFileThatCannotBeRead) {
    EXPECT_FALSE(SaveTwainSource(dir_ / "absent.ini", "X", dir_ / "tmpLIV.all"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "absent.ini"));
}

}  // namespace
}  // namespace scantora
