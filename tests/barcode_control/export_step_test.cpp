// The export step's pieces: the segment walk, what a segment gives, the export line's fields
// and the appending of the line to the export files.
#include "barcode_control/export_step.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace barlynx {
namespace {

using scantora::testing::ReadFile;
using scantora::testing::ScratchDir;
using Views = std::vector<std::string_view>;

TEST(Segments, EachEndsAtTheNextClosingBracket) {
    EXPECT_EQ(Segments("*A*<1,2,3,1,4>*B*<5,6,7,1,4>"),
              (Views{"*A*<1,2,3,1,4>", "*B*<5,6,7,1,4>"}));
    EXPECT_EQ(Segments("*A*<1,2,3,1,4>tail"), (Views{"*A*<1,2,3,1,4>"}));
    EXPECT_EQ(Segments(""), Views{});
    EXPECT_EQ(Segments("*A*"), Views{});
    // The search for the end starts one past the position: a ">" there with none after it
    // makes the rest of the text one segment.
    EXPECT_EQ(Segments("x>>y"), (Views{"x>", ">y"}));
    EXPECT_EQ(Segments(">"), (Views{">"}));
    EXPECT_EQ(Segments(">>>"), (Views{">>", ">"}));
}

TEST(Segments, BarcodeTextLiesBetweenTheFirstTwoAsterisks) {
    EXPECT_EQ(BarcodeText("*ABC123*<150,620,300,1,4>"), "ABC123");
    EXPECT_EQ(BarcodeText("**<1,2,3,1,4>"), "");
    EXPECT_EQ(BarcodeText("4006381333931<1,2,3,32,4>"), "");
    EXPECT_EQ(BarcodeText("*ABC<1,2,3,1,4>"), "");
    EXPECT_EQ(BarcodeText("x*A*B*"), "A");
}

TEST(Segments, CoordinatesComeFromThePositionSuffix) {
    auto read = [](std::string_view segment) {
        const std::optional<Coordinates> at = ReadCoordinates(segment);
        return at ? std::vector<long>{at->first_x, at->second_x, at->y} : std::vector<long>{};
    };
    EXPECT_EQ(read("*ABC123*<150,620,300,1,4>"), (std::vector<long>{150, 620, 300}));
    EXPECT_EQ(read("*A*<-1,-20,-3,1,4>"), (std::vector<long>{-1, -20, -3}));
    EXPECT_EQ(read("*A*<,,,>"), (std::vector<long>{0, 0, 0}));
    // A piece without the comma that ends it is missing.
    EXPECT_EQ(read("*A*<7>"), (std::vector<long>{0, 0, 0}));
    EXPECT_EQ(read("*A*<7,8>"), (std::vector<long>{7, 0, 0}));
    EXPECT_EQ(read("*A*<7,8,9>"), (std::vector<long>{7, 8, 0}));
    EXPECT_EQ(read("*A*<99999999999999999999,1,2,3>"), (std::vector<long>{INT32_MAX, 1, 2}));
    // Decoded texts may hold "<" and ",": the suffix is the segment's last "<".
    EXPECT_EQ(read("*1,5<2*<10,20,30,4,5>"), (std::vector<long>{10, 20, 30}));
    EXPECT_EQ(read("*ABC*"), std::vector<long>{}) << "no suffix";
    EXPECT_EQ(read("<1,2,3,1,4>"), std::vector<long>{}) << "no text before the suffix";
}

TEST(Segments, ARejectedCharacterIsAQuestionMarkAfterTheFirstCharacter) {
    EXPECT_TRUE(HasRejectedCharacter("*12?4*<1,2,3,1,4>"));
    EXPECT_FALSE(HasRejectedCharacter("?1234*<1,2,3,1,4>"));
    EXPECT_FALSE(HasRejectedCharacter("*1234*<1,2,3,1,4>"));
}

TEST(Segments, TheNeighbourhoodIsAQuarterOfTheWidthAroundTheRead) {
    const PageArea area = Neighbourhood({150, 620, 300});  // d = -470 / 4 = -117
    EXPECT_EQ(area.left, 737);
    EXPECT_EQ(area.top, 417);
    EXPECT_EQ(area.right, 33);
    EXPECT_EQ(area.bottom, 300);
}

struct Walk {
    std::vector<std::string> messages;
    std::vector<std::string> asked;  // texts the correction dialog was opened for
    std::optional<std::string> answer;

    ExportFields Run(std::string_view raw) {
        SegmentHooks hooks{
            [this](std::string_view m) { messages.emplace_back(m); },
            [this](std::string_view text, const Coordinates& at) {
                asked.push_back(std::string(text) + "@" + std::to_string(at.first_x));
                return answer;
            }};
        return WalkSegments(raw, hooks);
    }
};

TEST(WalkSegments, TheLastSegmentGivesTextAndTheLastReadOneCoordinates) {
    Walk walk;
    ExportFields f = walk.Run("*FIRST*<1,2,3,1,4>*SECOND*<10,20,30,1,4>");
    EXPECT_EQ(f.barcode_text, "SECOND");
    EXPECT_EQ(f.at.first_x, 10);
    // A last segment without asterisks or suffix: blank text, the earlier coordinates kept.
    f = walk.Run("*FIRST*<1,2,3,1,4>4006381333931>");
    EXPECT_EQ(f.barcode_text, "");
    EXPECT_EQ(f.at.first_x, 1);
    EXPECT_EQ(f.at.y, 3);
    f = walk.Run("no brackets at all");
    EXPECT_EQ(f.barcode_text, "");
    EXPECT_EQ(f.at.second_x, 0);
    EXPECT_TRUE(walk.messages.empty());
}

TEST(WalkSegments, NegativeCoordinatesAreReportedAndKept) {
    Walk walk;
    const ExportFields f = walk.Run("*A*<-1,5,7,1,4>*B*<3,4,-5,1,4>");
    EXPECT_EQ(walk.messages,
              std::vector<std::string>{"Error Get Coordinate Barcode *A*<-1,5,7,1,4>"})
        << "a negative y alone is not reported";
    EXPECT_EQ(f.at.y, -5);
    EXPECT_EQ(ExportLine("p", walk.Run("*A*<-1,5,7,1,4>"), ""),
              "p;A                        ;-0001;00007;00005;00007;\r\n");
}

TEST(WalkSegments, RejectedReadsAskForACorrection) {
    Walk walk;
    walk.answer = "1234";
    EXPECT_EQ(walk.Run("*12?4*<8,9,10,1,4>").barcode_text, "1234");
    walk.answer.reset();  // Cancel
    EXPECT_EQ(walk.Run("*12?4*<8,9,10,1,4>").barcode_text, "12?4");
    // Without coordinates, or with the mark first, nothing is asked.
    walk.Run("*12?4*>");
    walk.Run("?1234*<8,9,10,1,4>");
    EXPECT_EQ(walk.asked, (std::vector<std::string>{"12?4@8", "12?4@8"}));
}

TEST(ExportLine, FieldsOfTheLine) {
    EXPECT_EQ(BaseName("D:\\work\\00012.tif"), "00012");
    EXPECT_EQ(BaseName("/srv/scan/00012.tif"), "00012");
    EXPECT_EQ(BaseName("00012"), "00012");
    EXPECT_EQ(BaseName("a.b.tif"), "a.b");
    EXPECT_EQ(BaseName("/srv/v1.2/page"), "page") << "a dot in a directory is not an extension";
    EXPECT_EQ(ImagesPath("D:\\work\\00012.tif", ""), "D:\\work");
    EXPECT_EQ(ImagesPath("/srv/scan/00012.tif", ""), "/srv/scan");
    EXPECT_EQ(ImagesPath("00012.tif", ""), "");
    EXPECT_EQ(ImagesPath("/srv/scan/00012.tif", "X:\\images"), "X:\\images");

    ExportFields example{"ABC123", {150, 620, 300}};
    EXPECT_EQ(ExportLine("00012", example, "D:\\work"),
              "00012;ABC123                   ;00150;00300;00620;00300;D:\\work\r\n");
    EXPECT_EQ(ExportLine("p", {}, ""), "p;                         ;00000;00000;00000;00000;\r\n");
    ExportFields long_text{"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", {1, 2, 3}};
    EXPECT_EQ(ExportLine("p", long_text, "d"),
              "p;ABCDEFGHIJKLMNOPQRSTUVWXY;00001;00003;00002;00003;d\r\n");
}

TEST(AppendExportLine, AppendsToEachFileAndReportsTheOneThatFailed) {
    ScratchDir dir;
    const std::string first = (dir / "first.txt").string();
    const std::string second = (dir / "second.txt").string();
    const std::string missing_dir = (dir / "no-such-dir" / "x.txt").string();
    const std::string a_directory = dir.path().string();

    EXPECT_EQ(AppendExportLine("one\r\n", first, second), 0);
    EXPECT_EQ(AppendExportLine("two\r\n", first, ""), 0);
    EXPECT_EQ(ReadFile(first), "one\r\ntwo\r\n");
    EXPECT_EQ(ReadFile(second), "one\r\n");

    EXPECT_EQ(AppendExportLine("three\r\n", missing_dir, second), kFirstExportFailed);
    EXPECT_EQ(ReadFile(second), "one\r\nthree\r\n") << "the other file still gets the line";
    EXPECT_EQ(AppendExportLine("four\r\n", first, a_directory), kSecondExportFailed);
    EXPECT_EQ(ReadFile(first), "one\r\ntwo\r\nfour\r\n");
    EXPECT_EQ(AppendExportLine("five\r\n", missing_dir, a_directory), kSecondExportFailed);
    EXPECT_EQ(AppendExportLine("six\r\n", "", ""), 0);
}

}  // namespace
}  // namespace barlynx
