// The control as a host creates it, over the real imaging library and generated pages: its
// class identity, its properties, and reads of bilevel pages in both directions and on any page
// of a multi-page file.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "barcode_control/barlynx.h"
#include "pixdoc32.h"
#include "tests/barcode_control/fake_pixdoc.h"
#include "tests/support/scratch_dir.h"

namespace barlynx {
namespace {

using scantora::testing::ReadFile;
using scantora::testing::ScratchDir;

struct Release {
    void operator()(IBarlynx* control) const { control->Release(); }
};
using Control = std::unique_ptr<IBarlynx, Release>;

Control Create(const char* class_id) {
    return Control(BarlynxCreateInstance(class_id));
}

std::string Page(const std::string& name) {
    return std::string(TEST_FIXTURE_DIR) + "/code39_pages/" + name;
}

std::string ColourPage(const std::string& name) {
    return std::string(TEST_FIXTURE_DIR) + "/barlynx_colour_pages/" + name;
}

TEST(ControlIdentity, CreatedByClassIdentifierOrProgId) {
    EXPECT_STREQ(BarlynxLoadError(), "") << "the imaging library lacks an export";
    EXPECT_TRUE(Create("{4917567F-4548-4ED2-ADA4-B843A07ED650}"));
    EXPECT_TRUE(Create("{4917567f-4548-4ed2-ada4-b843a07ed650}"));
    EXPECT_TRUE(Create("4917567F-4548-4ED2-ADA4-B843A07ED650"));
    EXPECT_TRUE(Create("BARLYNX.BarlynxCtrl.1"));
    EXPECT_TRUE(Create("barlynx.barlynxctrl.1"));
    EXPECT_FALSE(Create("BARLYNX.BarlynxPropPage.1"));
    EXPECT_FALSE(Create("{18BE8E32-60C7-4B68-998A-6B1469CCCD31}"));
    EXPECT_FALSE(Create(""));
    EXPECT_FALSE(Create(nullptr));
}

TEST(ControlProperties, DefaultsTypesAndTheModifiedMark) {
    Control c = Create("BARLYNX.BarlynxCtrl.1");
    EXPECT_EQ(c->GetProperty(DispId::kExclusionHeight), PropertyValue(int32_t{0}));
    EXPECT_EQ(c->GetProperty(DispId::kDegree), PropertyValue(int16_t{0}));
    EXPECT_EQ(c->GetProperty(DispId::kBWThreshold), PropertyValue(int32_t{128}));
    EXPECT_EQ(c->GetProperty(DispId::kBWThresholdNeg), PropertyValue(int32_t{0}));
    EXPECT_EQ(c->GetProperty(DispId::kBWRotate), PropertyValue(int32_t{0}));
    EXPECT_EQ(c->GetProperty(DispId::kRejectCorrection), PropertyValue(false));
    EXPECT_EQ(c->GetProperty(DispId::kGetAllBarCode), std::nullopt);
    EXPECT_FALSE(c->IsModified());

    EXPECT_FALSE(c->SetProperty(DispId::kDegree, int32_t{2})) << "a long is not a short";
    EXPECT_FALSE(c->SetProperty(DispId::kRejectCorrection, int32_t{1}));
    EXPECT_FALSE(c->SetProperty(DispId::kGetAllBarCode, int32_t{1}));
    EXPECT_FALSE(c->IsModified());
    EXPECT_EQ(c->GetProperty(DispId::kDegree), PropertyValue(int16_t{0}));

    EXPECT_TRUE(c->SetProperty(DispId::kBWRotate, int32_t{90}));
    EXPECT_TRUE(c->IsModified());
    EXPECT_EQ(c->GetProperty(DispId::kBWRotate), PropertyValue(int32_t{90}));
    EXPECT_TRUE(c->SetProperty(DispId::kRejectCorrection, true));
    EXPECT_EQ(c->GetProperty(DispId::kRejectCorrection), PropertyValue(true));
    EXPECT_FALSE(Create("BARLYNX.BarlynxCtrl.1")->IsModified()) << "nothing is persisted";
}

class ControlPages : public ::testing::Test {
protected:
    void SetUp() override {
        control_->SetHost(&messages_, nullptr);
        control_->SetProperty(DispId::kExclusionHeight, int32_t{100});
    }
    std::string Read(const std::string& file, int16_t page = 1,
                     std::optional<std::string_view> export_file = std::nullopt,
                     std::optional<std::string_view> export_file2 = std::nullopt) {
        return control_->GetAllBarCode(file, 2047, export_file, export_file2, "", error_, page);
    }

    Control control_ = Create("BARLYNX.BarlynxCtrl.1");
    testing::RecordedMessages messages_;
    int32_t error_ = -1;
};

TEST_F(ControlPages, ReadsABilevelPageIntoBothExportFiles) {
    ScratchDir dir;
    const std::string first = (dir / "first.txt").string();
    const std::string second = (dir / "second.txt").string();
    const std::string page = Page("a4-300-upright-g4.tif");
    EXPECT_EQ(Read(page, 1, first, second),
              "*LABEL-0001*<300,609,401,1,4>*ORDER 77/B*<1200,1819,1501,1,7>");
    EXPECT_EQ(error_, 0);
    const std::string line =
        "a4-300-upright-g4;ORDER 77/B               ;01200;01501;01819;01501;" +
        std::string(TEST_FIXTURE_DIR) + "/code39_pages\r\n";
    EXPECT_EQ(ReadFile(first), line);
    EXPECT_EQ(ReadFile(second), line);
    EXPECT_TRUE(messages_.texts.empty());
}

TEST_F(ControlPages, DegreeTwoSearchesAlongTheColumnsToo) {
    const std::string turned = Page("a4-300-turned-g4.tif");
    EXPECT_EQ(Read(turned), "");
    EXPECT_EQ(error_, 0);
    control_->SetProperty(DispId::kDegree, int16_t{2});
    EXPECT_EQ(Read(turned), "\xaaTURN-CW*<2572,2919,500,1,6>*TURN-CCW*<1462,1719,1500,1,4>");
    control_->SetProperty(DispId::kDegree, int16_t{3});
    EXPECT_EQ(Read(turned), "") << "degree 3 is one search along the rows";
}

TEST_F(ControlPages, ThePageArgumentReadsThatPage) {
    const std::string two_pages = Page("two-pages-g4.tif");
    EXPECT_EQ(Read(two_pages, 1), "*LABEL-0001*<300,609,401,1,4>*ORDER 77/B*<1200,1819,1501,1,7>");
    const std::string second = Read(two_pages, 2);
    EXPECT_NE(second.find("*SIDE-A*"), std::string::npos) << second;
    EXPECT_EQ(Read(two_pages, 3), "");
    EXPECT_EQ(error_, 1);
    EXPECT_EQ(messages_.texts, std::vector<std::string>{"Error:1 in Get Image Info Extended"});
}

TEST_F(ControlPages, AFileThatIsNotAnImage) {
    ScratchDir dir;
    const std::string text = (dir / "notes.tif").string();
    scantora::testing::WriteFile(text, "not an image at all\n");
    const std::string export_file = (dir / "export.txt").string();
    EXPECT_EQ(Read(text, 1, export_file), "");
    EXPECT_EQ(error_, 1);
    EXPECT_EQ(messages_.texts, std::vector<std::string>{"Error:1 in Get Image Info Extended"});
    EXPECT_FALSE(std::filesystem::exists(export_file));
}

// Pages that are not bilevel go through the colour edit buffer, which each call starts and
// ends, so colour pages can follow one another.
TEST_F(ControlPages, ColourAndGreyPagesOneAfterAnother) {
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Read(ColourPage("colour.jpg")), "*COLOUR-1*<150,536,300,1,4>");
        EXPECT_EQ(Read(ColourPage("grey.jpg")), "*GREY-22*<150,497,300,1,4>");
        EXPECT_EQ(Read(ColourPage("colour.tif")), "*COLOUR-3*<150,536,300,1,4>");
        EXPECT_EQ(Read(Page("colour.bmp")), "") << "a colour page without barcodes";
        EXPECT_EQ(error_, 0);
    }
    EXPECT_TRUE(messages_.texts.empty());
    EXPECT_EQ(PX_ColorEditGetWidth(0), 0) << "the buffer was left started";
}

TEST_F(ControlPages, ColourPagesInBothDirections) {
    const std::string turned = ColourPage("turned.jpg");
    EXPECT_EQ(Read(turned), "");
    control_->SetProperty(DispId::kDegree, int16_t{2});
    EXPECT_EQ(Read(turned), "*TURNED-4*<300,686,150,1,4>");
    EXPECT_EQ(Read(ColourPage("colour.jpg")), "*COLOUR-1*<150,536,300,1,4>")
        << "the second search finds nothing more";
}

// A bilevel page in several strips takes the colour path too.
TEST_F(ControlPages, BilevelPagesInStripsAreReadThroughTheColourBuffer) {
    const std::string strips = Read(Page("a4-300-upright-g4-strips.tif"));
    EXPECT_NE(strips.find("*LABEL-0001*<"), std::string::npos) << strips;
    EXPECT_NE(strips.find("*ORDER 77/B*<"), std::string::npos) << strips;
}

// A page whose header reads but whose data is cut short: the merge fails, the buffer is ended,
// and the next colour page is read.
TEST_F(ControlPages, ATruncatedColourPageFailsAtTheMerge) {
    ScratchDir dir;
    const std::string cut = (dir / "cut.jpg").string();
    const std::string whole = scantora::testing::ReadFile(ColourPage("colour.jpg"));
    scantora::testing::WriteFile(cut, whole.substr(0, 2000));
    EXPECT_EQ(Read(cut), "");
    EXPECT_GT(error_, 12000);
    EXPECT_LT(error_, 13000);
    ASSERT_EQ(messages_.texts.size(), 1u);
    EXPECT_EQ(messages_.texts[0], "Error:" + std::to_string(error_ - 12000) + " in Color Merge");
    EXPECT_EQ(Read(ColourPage("colour.jpg")), "*COLOUR-1*<150,536,300,1,4>");
}

}  // namespace
}  // namespace barlynx
