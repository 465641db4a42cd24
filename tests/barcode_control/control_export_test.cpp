// The export step through the control's C++ interface over a fake imaging library: the line of
// the description's worked example, absent and empty export names, the correction hook, and
// export files that cannot be written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "barcode_control/barlynx_ctrl.h"
#include "tests/barcode_control/fake_pixdoc.h"
#include "tests/support/scratch_dir.h"

namespace barlynx {
namespace {

using scantora::testing::ReadFile;
using scantora::testing::ScratchDir;
using testing::Fake;

class RecordingDialog : public CorrectionDialog, public MessageHost {
public:
    std::optional<std::string> Correct(const CorrectionRequest& request) override {
        requests.push_back(request);
        // The request's texts live only as long as the call.
        file_names.emplace_back(request.file_name);
        texts.emplace_back(request.barcode_text);
        return answer;
    }
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }

    std::optional<std::string> answer;
    std::vector<CorrectionRequest> requests;
    std::vector<std::string> file_names;
    std::vector<std::string> texts;
    std::vector<std::string> messages;
};

class ControlExport : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ResetFake();
        control_.SetHost(&host_, &host_);
    }

    std::string Read(std::string_view file, std::optional<std::string_view> export_file,
                     std::optional<std::string_view> export_file2,
                     std::string_view images_path = "", int16_t page = 1) {
        return control_.GetAllBarCode(file, 2047, export_file, export_file2, images_path, error_,
                                      page);
    }

    ScratchDir dir_;
    CBarlynxCtrl control_{testing::Exports()};
    RecordingDialog host_;
    int32_t error_ = -12345;
};

TEST_F(ControlExport, TheWorkedExampleOfTheDescription) {
    Fake().texts[0] = "*ABC123*<150,620,300,1,4>";
    const std::string export_file = (dir_ / "export.txt").string();
    EXPECT_EQ(Read("D:\\work\\00012.tif", export_file, std::nullopt), "*ABC123*<150,620,300,1,4>");
    EXPECT_EQ(error_, 0);
    EXPECT_EQ(ReadFile(export_file),
              "00012;ABC123                   ;00150;00300;00620;00300;D:\\work\r\n");
}

TEST_F(ControlExport, APageWithoutBarcodesStillGivesItsLine) {
    Fake().search_results[0] = 32;
    const std::string export_file = (dir_ / "export.txt").string();
    EXPECT_EQ(Read("/srv/batch/00007.tif", export_file, ""), "");
    EXPECT_EQ(error_, 0);
    EXPECT_EQ(ReadFile(export_file),
              "00007;                         ;00000;00000;00000;00000;/srv/batch\r\n");
}

TEST_F(ControlExport, BothFilesGetTheLineOfTheLastBarcode) {
    Fake().texts[0] = "*FIRST*<1,2,3,1,4>*SECOND*<10,20,30,1,4>";
    const std::string first = (dir_ / "a.txt").string();
    const std::string second = (dir_ / "b.txt").string();
    Read("/srv/batch/00007.tif", first, second, "X:\\images");
    Read("/srv/batch/00008.tif", first, second, "X:\\images");
    const std::string line = ";SECOND                   ;00010;00030;00020;00030;X:\\images\r\n";
    EXPECT_EQ(ReadFile(first), "00007" + line + "00008" + line);
    EXPECT_EQ(ReadFile(second), ReadFile(first));
}

TEST_F(ControlExport, AbsentNamesLeaveTheTextUnwalked) {
    Fake().texts[0] = "*12?4*<-8,9,10,1,4>";
    EXPECT_EQ(Read("/srv/p.tif", std::nullopt, std::nullopt), "*12?4*<-8,9,10,1,4>");
    EXPECT_EQ(error_, 0);
    EXPECT_TRUE(host_.texts.empty()) << "no correction dialog";
    EXPECT_TRUE(host_.messages.empty()) << "no coordinate message";
}

TEST_F(ControlExport, EmptyNamesWalkTheTextButWriteNothing) {
    Fake().texts[0] = "*12?4*<8,9,10,1,4>";
    EXPECT_EQ(Read("/srv/p.tif", "", ""), "*12?4*<8,9,10,1,4>");
    EXPECT_EQ(error_, 0);
    EXPECT_EQ(host_.texts, std::vector<std::string>{"12?4"});
    EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(ControlExport, TheCorrectionDialogIsGivenTheReadAndItsNeighbourhood) {
    Fake().texts[0] = "*OK1*<1,2,3,1,4>*12?4*<150,620,300,1,4>";
    host_.answer = "1234";
    const std::string export_file = (dir_ / "export.txt").string();
    EXPECT_EQ(Read("/srv/batch/00012.tif", export_file, std::nullopt, "", 3),
              "*OK1*<1,2,3,1,4>*12?4*<150,620,300,1,4>")
        << "the correction changes the export line, not the result";
    ASSERT_EQ(host_.requests.size(), 1u);
    const CorrectionRequest& r = host_.requests[0];
    EXPECT_EQ(host_.file_names[0], "/srv/batch/00012.tif");
    EXPECT_EQ(host_.texts[0], "12?4");
    EXPECT_EQ(r.page, 3);
    EXPECT_EQ(r.first_x, 150);
    EXPECT_EQ(r.second_x, 620);
    EXPECT_EQ(r.y, 300);
    EXPECT_EQ(r.neighbourhood.left, 737);
    EXPECT_EQ(r.neighbourhood.right, 33);
    EXPECT_NE(r.window, nullptr);
    EXPECT_EQ(ReadFile(export_file),
              "00012;1234                     ;00150;00300;00620;00300;/srv/batch\r\n");
}

TEST_F(ControlExport, WithoutACorrectionDialogTheTextStaysAsRead) {
    control_.SetHost(&host_, nullptr);
    Fake().texts[0] = "*12?4*<8,9,10,1,4>";
    const std::string export_file = (dir_ / "export.txt").string();
    Read("/srv/p.tif", export_file, std::nullopt);
    EXPECT_EQ(ReadFile(export_file),
              "p;12?4                     ;00008;00010;00009;00010;/srv\r\n");
}

TEST_F(ControlExport, AFileThatCannotBeWrittenEmptiesTheResultButNotTheOtherFile) {
    Fake().texts[0] = "*A1*<-1,2,3,1,4>";
    const std::string good = (dir_ / "good.txt").string();
    const std::string bad = (dir_ / "missing" / "x.txt").string();
    EXPECT_EQ(Read("/srv/p.tif", bad, good), "");
    EXPECT_EQ(error_, 999);
    EXPECT_EQ(ReadFile(good), "p;A1                       ;-0001;00003;00002;00003;/srv\r\n");
    EXPECT_EQ(Read("/srv/p.tif", good, bad), "");
    EXPECT_EQ(error_, 998);
    EXPECT_EQ(Read("/srv/p.tif", bad, dir_.path().string()), "");
    EXPECT_EQ(error_, 998) << "998 wins when both fail";
    EXPECT_EQ(host_.messages,
              std::vector<std::string>(3, "Error Get Coordinate Barcode *A1*<-1,2,3,1,4>"))
        << "no message for the export files, the coordinate one each time";
}

TEST_F(ControlExport, AFailedSearchWritesNoLine) {
    Fake().header_result = 1;
    const std::string export_file = (dir_ / "export.txt").string();
    EXPECT_EQ(Read("/srv/p.tif", export_file, export_file), "");
    EXPECT_EQ(error_, 1);
    EXPECT_FALSE(std::filesystem::exists(export_file));
}

}  // namespace
}  // namespace barlynx
