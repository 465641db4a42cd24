// Scanning and the transfer read every rule alike: what scanning names, the transfer finds under
// the same codes, and a document's paths select its pages.
#include <gtest/gtest.h>

#include "acquisition/identification_model.h"
#include "app/text_lookup.h"
#include "config/text_encoding.h"
#include "operator/scripted_operator.h"
#include "tests/support/scratch_dir.h"
#include "tests/transfer/naming_sides.h"

namespace scantora {
namespace {

using testing::Discovered;
using testing::Document;
using testing::DocumentPaths;
using testing::ScanPath;
using testing::WalkedPath;

JobRecord TwoLevelJob(const std::string& rule1, const std::string& rule2, const char* width1 = "3",
                      const char* width2 = "6") {
    JobRecord job;
    job.nlivelli = "2";
    job.disco_scarico = "/w/";
    job.levels[0] = {"Box", "", width1, rule1, "", "0", "", "0"};
    job.levels[1] = {"Page", "", width2, rule2, "+", "0", "", "0"};
    return job;
}

// The identification panel's model over `job`, as an operator fills it in.
struct Panel {
    explicit Panel(const JobRecord& job) : model(job, texts, op) { model.Initialise("", {}); }
    bool Enter(std::size_t level, std::string_view code) {
        model.SetEntry(level, code);
        return model.LeaveEntry(level);
    }
    TextLookup texts;
    ScriptedOperator op;
    IdentificationModel model;
};

// The page scanned from `codes` is found under them, and its document's paths select it.
void ExpectFoundUnder(const JobRecord& job, const std::vector<std::string>& codes, bool back,
                      const LevelValues& expected) {
    const auto path = ScanPath(job, codes, back);
    ASSERT_TRUE(path);
    const auto values = Discovered(job, *path, 2);
    ASSERT_TRUE(values) << *path;
    EXPECT_EQ(*values, expected) << *path;
    const DocumentSelection document = Document(job, *values, 2);
    for (const std::string& document_path : document.paths) {
        EXPECT_EQ(document_path.find('?'), std::string::npos) << document_path;
    }
    const DiscoveryPatterns patterns = BuildJobDiscoveryPatterns(job, 2);
    EXPECT_TRUE(IsDocumentPage(WalkedPath(*path), document, patterns)) << *path;
}

TEST(NamingAgreement, CutAfterOtherTextInTheSameRule) {
    // The cut takes from the path the rule received, on both sides: "3/" of the first level.
    const JobRecord job = TwoLevelJob("$1#*%/", "$2#*%$-2%.tif");
    EXPECT_EQ(ScanPath(job, {"123", "0007AB"}, false), "/w/120007AB.tif");
    ExpectFoundUnder(job, {"123", "0007AB"}, false, {"12?", "0007AB"});

    const JobRecord prefixed = TwoLevelJob("$1#*%/", "X$-1%$2#*%.tif");
    EXPECT_EQ(ScanPath(prefixed, {"123", "0007AB"}, false), "/w/123X0007AB.tif");
    ExpectFoundUnder(prefixed, {"123", "0007AB"}, false, {"123", "0007AB"});
}

TEST(NamingAgreement, SideNamesOfDifferentLengthsAreBothFound) {
    JobRecord job = TwoLevelJob("$1#*%/", "$2#*%$F#*%.tif", "3", "4");
    job.nomefronte = "F";
    job.nomeretro = "BACK";
    EXPECT_EQ(ScanPath(job, {"123", "0007"}, false), "/w/123/0007F.tif");
    EXPECT_EQ(ScanPath(job, {"123", "0007"}, true), "/w/123/0007BACK.tif");
    ExpectFoundUnder(job, {"123", "0007"}, false, {"123", "0007"});
    ExpectFoundUnder(job, {"123", "0007"}, true, {"123", "0007"});
    EXPECT_EQ(DocumentPaths(job, {"123", "0007"}, 2),
              (std::vector<std::string>{"/w/123/0007F.tif", "/w/123/0007BACK.tif"}));
    // The other document of the same box is not selected.
    const DiscoveryPatterns patterns = BuildJobDiscoveryPatterns(job, 2);
    EXPECT_FALSE(
        IsDocumentPage("/w/123/0008BACK.TIF", Document(job, {"123", "0007"}, 2), patterns));
}

TEST(NamingAgreement, ASideNameThatBeginsTheOtherSelectsOnlyItsOwnPages) {
    // "F" + "X12" begins "FX" + "12Z": the path alone would put the back page of one document
    // under the front page's path of another.
    JobRecord job = TwoLevelJob("$1#*%/", "$F#*%$2#*%", "3", "3");
    job.nomefronte = "F";
    job.nomeretro = "FX";
    const auto front = ScanPath(job, {"123", "X12"}, false);
    const auto back = ScanPath(job, {"123", "12Z"}, true);
    ASSERT_TRUE(front && back);
    EXPECT_EQ(back->rfind(*front, 0), 0u);
    const DiscoveryPatterns patterns = BuildJobDiscoveryPatterns(job, 2);
    EXPECT_EQ(*Discovered(job, *back, 2), (LevelValues{"123", "12Z"}));
    EXPECT_TRUE(IsDocumentPage(*front, Document(job, {"123", "X12"}, 2), patterns));
    EXPECT_FALSE(IsDocumentPage(*back, Document(job, {"123", "X12"}, 2), patterns));
    EXPECT_TRUE(IsDocumentPage(*back, Document(job, {"123", "12Z"}, 2), patterns));
}

TEST(NamingAgreement, WidthsPaddingPicksAndDiscoveryCountCharacters) {
    JobRecord job = TwoLevelJob("$1#*%/", "$2#*%$1#2%.tif", "5", "5");
    Panel panel(job);
    const IdentificationModel& model = panel.model;
    EXPECT_TRUE(panel.Enter(0, "CITTÀ"));
    EXPECT_TRUE(panel.Enter(1, "À1"));
    EXPECT_EQ(model.level(1).display, "À0001");
    EXPECT_TRUE(panel.op.Messages().empty());

    const auto path = ScanPath(job, model.Codes(), false);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, "/w/CITTÀ/À0001I.tif");
    ExpectFoundUnder(job, model.Codes(), false, {"CITTÀ", "À0001"});

    job.levels[1].composnome = "$1#2%$2#*%.tif";
    EXPECT_TRUE(panel.Enter(0, "ÀBCDE"));
    const auto picked = ScanPath(job, model.Codes(), false);
    ASSERT_TRUE(picked);
    EXPECT_EQ(*picked, "/w/ÀBCDE/BÀ0001.tif");
    EXPECT_TRUE(IsValidUtf8(*picked));
}

TEST(NamingAgreement, InputControlFilesAreReadAsTheJobFiles) {
    testing::ScratchDir dir;
    testing::WriteFile(dir / "cities.txt", "ROMA\r\nCITT\xC0\r\nPARIGI\xFF\r\n");
    JobRecord job = TwoLevelJob("$1#*%/", "$2#*%.tif", "6", "4");
    job.levels[0].nomefileinput = (dir / "cities.txt").string();
    Panel panel(job);
    EXPECT_EQ(panel.model.level(0).entry_list,
              (std::vector<std::string>{"ROMA", "CITTÀ", "PARIGIÿ"}));
    EXPECT_TRUE(panel.Enter(0, "CITTÀ"));
    EXPECT_TRUE(panel.Enter(1, "1"));
    EXPECT_TRUE(panel.model.Validate());
    EXPECT_TRUE(panel.op.Messages().empty());
}

TEST(NamingAgreement, UnusualSpellingsReadTheSameOnBothSides) {
    // Each spelling in the middle of a rule: scanning and the transfer compose the same path, and
    // the page is found under its codes wherever they still show.
    const struct {
        const char* rule;
        const char* path;
        LevelValues values;
    } cases[] = {
        {"$2#*%$F-1%.tif", "/w/1230007AB.tif", {"123", "0007AB"}},
        {"$2#*%$1-2%.tif", "/w/120007AB.tif", {"12?", "0007AB"}},
        {"$2#*%$-1#2%.tif", "/w/123/0007AB.tif", {"123", "0007AB"}},
        {"$2#*%$ -1%.tif", "/w/1230007AB.tif", {"123", "0007AB"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        const JobRecord job = TwoLevelJob("$1#*%/", c.rule);
        EXPECT_EQ(ScanPath(job, {"123", "0007AB"}, false), c.path);
        EXPECT_EQ(DocumentPaths(job, c.values, 2), std::vector<std::string>{c.path});
        ExpectFoundUnder(job, {"123", "0007AB"}, false, c.values);
    }
}

TEST(NamingAgreement, WidthsBeyondALevelValueAreTakenAsItsSize) {
    JobRecord job = TwoLevelJob("$1#*%/", "$2#*%.tif", "999999999", "250");
    Panel panel(job);
    IdentificationModel& model = panel.model;
    EXPECT_EQ(model.entry_limit(0), 199);
    EXPECT_TRUE(panel.Enter(0, "A1"));
    EXPECT_EQ(model.level(0).display, "A" + std::string(197, '0') + "1");
    EXPECT_TRUE(panel.Enter(1, "7"));
    EXPECT_EQ(model.level(1).display.size(), 199u);

    const DiscoveryPatterns patterns = BuildJobDiscoveryPatterns(job, 2);
    EXPECT_EQ(patterns.value_widths[0], 199u);
    EXPECT_EQ(patterns.value_widths[1], 199u);
    // Two values of 199 characters no longer fit a path: scanning refuses rather than cut.
    EXPECT_FALSE(ScanPath(job, model.Codes(), false));
    EXPECT_FALSE(model.BuildPagePath(false));
    EXPECT_EQ(panel.op.Messages().back(), "Errore nella struttura del nome");
}

}  // namespace
}  // namespace scantora
