// GetAllBarCode through the control's C++ interface over a fake imaging library: every failing
// step with its message and code, the colour buffer ended on every way out, the directions of
// Degree, the page argument and the arguments each step is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "barcode_control/barlynx_ctrl.h"
#include "tests/barcode_control/fake_pixdoc.h"

namespace barlynx {
namespace {

using testing::Fake;
using testing::RecordedMessages;

class ControlSteps : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ResetFake();
        control_.SetHost(&messages_, nullptr);
    }

    std::string Read(int16_t page = 1) {
        return control_.GetAllBarCode("/scan/page.tif", 2047, std::nullopt, std::nullopt, "",
                                      error_, page);
    }

    CBarlynxCtrl control_{testing::Exports()};
    RecordedMessages messages_;
    int32_t error_ = -12345;
};

struct FailingStep {
    const char* label;
    bool colour;
    int16_t degree;
    int32_t testing::FakePixdoc::*result;  // null: a search, by index
    int search;
    const char* message;
    int32_t error;
    bool buffer_ended;  // the colour buffer was started and must be ended
};

void PrintTo(const FailingStep& step, std::ostream* out) {
    *out << step.label;
}

class FailingSteps : public ControlSteps, public ::testing::WithParamInterface<FailingStep> {};

TEST_P(FailingSteps, ShowTheirMessageAndEndTheCallWithTheirCode) {
    const FailingStep& step = GetParam();
    Fake().compression = step.colour ? 1027 : 1;
    Fake().texts[0] = "*A1*<1,2,3,1,4>";
    Fake().texts[1] = "*B2*<5,6,7,1,4>";
    constexpr int32_t kLibraryResult = 7;
    if (step.result)
        Fake().*(step.result) = kLibraryResult;
    else
        Fake().search_results[step.search] = kLibraryResult;
    control_.SetProperty(DispId::kDegree, step.degree);

    EXPECT_EQ(Read(), "");
    EXPECT_EQ(error_, step.error);
    EXPECT_EQ(messages_.texts, std::vector<std::string>{step.message});
    EXPECT_EQ(Fake().buffers_open, 0) << "the colour edit buffer was left open";
    const bool ended = !Fake().calls.empty() && Fake().calls.back() == "end 0";
    EXPECT_EQ(ended, step.buffer_ended);
}

using F = testing::FakePixdoc;
INSTANTIATE_TEST_SUITE_P(
    EveryStep, FailingSteps,
    ::testing::Values(FailingStep{"header", false, 0, &F::header_result, 0,
                                  "Error:7 in Get Image Info Extended", 7, false},
                      FailingStep{"bilevel insert data", false, 0, &F::insert_data_result, 0,
                                  "Error:7 in Code Insert Data", 2007, false},
                      FailingStep{"bilevel zone height", false, 0, &F::zone_height_result, 0,
                                  "Error:7 in Set Zone Height", 2507, false},
                      FailingStep{"bilevel first search", false, 2, nullptr, 0,
                                  "Error:7 in seekBarCode1 B/W", 3007, false},
                      FailingStep{"bilevel second search", false, 2, nullptr, 1,
                                  "Error:7 in seekBarCode2 B/W", 4007, false},
                      FailingStep{"colour start", true, 0, &F::start_result, 0,
                                  "Error:7 in Start Color", 11007, false},
                      FailingStep{"colour merge", true, 0, &F::merge_result, 0,
                                  "Error:7 in Color Merge", 12007, true},
                      FailingStep{"colour insert data", true, 0, &F::insert_data_result, 0,
                                  "Error:7 in Insert Data", 13007, true},
                      FailingStep{"colour zone height", true, 0, &F::zone_height_result, 0,
                                  "Error:7 in Set Zone Height", 14007, true},
                      FailingStep{"colour first search", true, 2, nullptr, 0,
                                  "Error:7 in Seek Bar Code 1 Color", 15007, true},
                      FailingStep{"colour second search", true, 2, nullptr, 1,
                                  "Error:7 in Seek Bar Code 2 Color", 16007, true},
                      FailingStep{"colour end", true, 0, &F::end_result, 0, "Error:7 in Color End",
                                  17007, true}));

TEST_F(ControlSteps, BilevelPageWithTheArgumentsOfTheDescription) {
    Fake().texts[0] = "*A1*<1,2,3,1,4>";
    control_.SetProperty(DispId::kExclusionHeight, int32_t{100});
    EXPECT_EQ(Read(), "*A1*<1,2,3,1,4>");
    EXPECT_EQ(error_, 0);
    EXPECT_EQ(Fake().calls, (std::vector<std::string>{
                                "header /scan/page.tif page=1", "insert-data 1", "zone 100",
                                "seek /scan/page.tif page=1 area=0,0,2480,3508 dir=0 mask=2047 "
                                "thresholds=0,0 span=4 min=4 max=32 size=1000"}));
    EXPECT_TRUE(messages_.texts.empty());
}

TEST_F(ControlSteps, ColourPageMergedWholeSearchedWithTheGreyThresholdAndEnded) {
    Fake().compression = 1027;
    Fake().texts[0] = "*C3*<1,2,3,1,4>";
    control_.SetProperty(DispId::kBWThreshold, int32_t{90});
    control_.SetProperty(DispId::kExclusionHeight, int32_t{100});
    EXPECT_EQ(Read(3), "*C3*<1,2,3,1,4>");
    EXPECT_EQ(error_, 0);
    EXPECT_EQ(Fake().calls, (std::vector<std::string>{
                                "header /scan/page.tif page=3", "start 2480x3508 255,255,255",
                                "merge /scan/page.tif page=3 whole", "insert-data 1", "zone 100",
                                "colour-seek area=0,0,2480,3508 dir=0 mask=2047 "
                                "thresholds=0,0 span=4 min=4 max=32 size=1000 grey=90",
                                "end 0"}));
}

TEST_F(ControlSteps, MultiStripBilevelPagesTakeTheColourPath) {
    Fake().compression = 1 + 256;
    Read();
    EXPECT_EQ(Fake().calls.at(1), "start 2480x3508 255,255,255");
}

// Degree: 0 and 1 one search in that direction, 2 both, anything else as 0; the second search
// runs when the first found nothing, and the result is the two texts one after the other.
TEST_F(ControlSteps, DegreeChoosesTheDirections) {
    struct Case {
        int16_t degree;
        std::vector<std::string> directions;
    };
    const Case cases[] = {
        {0, {"dir=0"}}, {1, {"dir=1"}}, {2, {"dir=0", "dir=1"}}, {3, {"dir=0"}}, {-1, {"dir=0"}}};
    for (bool colour : {false, true}) {
        for (const Case& c : cases) {
            testing::ResetFake();
            Fake().compression = colour ? 1024 : 0;
            Fake().texts[0] = "*ONE*<1,2,3,1,4>";
            Fake().texts[1] = "*TWO*<5,6,7,1,4>";
            control_.SetProperty(DispId::kDegree, c.degree);
            const std::string raw = Read();
            std::vector<std::string> directions;
            for (const std::string& call : Fake().calls)
                if (call.find("seek") != std::string::npos)
                    directions.push_back(call.substr(call.find("dir="), 5));
            EXPECT_EQ(directions, c.directions) << "degree " << c.degree << " colour " << colour;
            EXPECT_EQ(raw, c.directions.size() == 2 ? "*ONE*<1,2,3,1,4>*TWO*<5,6,7,1,4>"
                                                    : "*ONE*<1,2,3,1,4>");
        }
    }
}

TEST_F(ControlSteps, NothingFoundIsSuccessAndTheSecondSearchStillRuns) {
    for (bool colour : {false, true}) {
        testing::ResetFake();
        Fake().compression = colour ? 1028 : 1;
        Fake().search_results[0] = 32;
        Fake().texts[1] = "*TURNED*<5,6,7,1,4>";
        control_.SetProperty(DispId::kDegree, int16_t{2});
        EXPECT_EQ(Read(), "*TURNED*<5,6,7,1,4>");
        EXPECT_EQ(error_, 0);
        EXPECT_TRUE(messages_.texts.empty());
    }
}

TEST_F(ControlSteps, ThePageArgumentReachesHeaderSearchAndMerge) {
    Read(2);
    EXPECT_EQ(Fake().calls.at(0), "header /scan/page.tif page=2");
    EXPECT_NE(Fake().calls.at(3).find("page=2 "), std::string::npos) << Fake().calls.at(3);
    testing::ResetFake();
    Fake().compression = 1029;
    Read(2);
    EXPECT_EQ(Fake().calls.at(2), "merge /scan/page.tif page=2 whole");
}

// A page beyond the 16-bit edges of the bilevel search is searched whole.
TEST_F(ControlSteps, PagesBeyondSixteenBitEdgesAreSearchedWhole) {
    Fake().width = 40000;
    Read();
    EXPECT_NE(Fake().calls.at(3).find("area=0,0,0,3508"), std::string::npos) << Fake().calls.at(3);
}

TEST_F(ControlSteps, WithoutAHostMessagesAreDropped) {
    control_.SetHost(nullptr, nullptr);
    Fake().header_result = 1;
    EXPECT_EQ(Read(), "");
    EXPECT_EQ(error_, 1);
}

TEST(Binding, EveryExportByItsOrdinal) {
    const BoundExports bound = BindByOrdinal(&PX_GetExportByOrdinal);
    EXPECT_TRUE(bound.missing_bilevel.empty());
    const PixdocExports& e = bound.exports;
    EXPECT_EQ(e.get_image_info_extended, &PXGetImageInfoExtended);
    EXPECT_EQ(e.seek_bar_code, &PXinSeekBarCode);
    EXPECT_EQ(e.color_edit_merge_image, &PX_ColorEditMergeImageEx);
    EXPECT_EQ(e.window.start_image_window, &PX_StartImageWindow);
    EXPECT_EQ(e.window.set_image_page, &PX_SetImagePage);
    EXPECT_EQ(e.window.set_display_image_area, &PX_SetDisplayImageArea);
    EXPECT_EQ(e.window.paint_image, &PX_PaintImage);
    EXPECT_EQ(e.window.get_tiff_pages, &GetTiffPages);
    EXPECT_EQ(e.window.get_image_window_handle, &PX_GetImageWindowHandle);
}

TEST_F(ControlSteps, ALibraryWithoutTheColourSearchFailsColourPagesAtThatStep) {
    const BoundExports bound = BindByOrdinal([](int32_t ordinal) -> void* {
        return ordinal == 459 ? nullptr : PX_GetExportByOrdinal(ordinal);
    });
    EXPECT_TRUE(bound.missing_bilevel.empty());
    EXPECT_EQ(bound.missing_colour,
              std::vector<std::string>{"ordinal 459 (PX_ColorEditSeekBarCode)"});
    PixdocExports exports = testing::Exports();
    exports.color_edit_seek_bar_code = bound.exports.color_edit_seek_bar_code;
    CBarlynxCtrl control(exports);
    control.SetHost(&messages_, nullptr);
    Fake().compression = 1027;
    EXPECT_EQ(control.GetAllBarCode("/scan/page.jpg", 1, std::nullopt, std::nullopt, "", error_, 1),
              "");
    EXPECT_EQ(error_, 15000 - 1);
    EXPECT_EQ(messages_.texts, std::vector<std::string>{"Error:-1 in Seek Bar Code 1 Color"});
    EXPECT_EQ(Fake().buffers_open, 0);
}

}  // namespace
}  // namespace barlynx

namespace barlynx {
namespace {

// The Adaptive property reaches the library before every search of both paths, on or off (the
// option outlives the call); a library without the setter searches as always, without an error.
TEST_F(ControlSteps, AdaptiveIsSetBeforeEverySearchOnBothPaths) {
    EXPECT_EQ(control_.GetProperty(DispId::kAdaptive), PropertyValue(false));
    EXPECT_FALSE(control_.SetProperty(DispId::kAdaptive, PropertyValue(int32_t{1})));
    PixdocExports exports = testing::Exports();
    exports.seek_bar_code_adaptive = testing::AdaptiveSetter();
    for (int32_t compression : {1, 1027}) {
        for (bool adaptive : {true, false}) {
            testing::ResetFake();
            Fake().compression = compression;
            CBarlynxCtrl control(exports);
            ASSERT_TRUE(control.SetProperty(DispId::kAdaptive, PropertyValue(adaptive)));
            ASSERT_TRUE(control.SetProperty(DispId::kDegree, PropertyValue(int16_t{2})));
            control.GetAllBarCode("/scan/page.tif", 2047, std::nullopt, std::nullopt, "", error_,
                                  1);
            EXPECT_EQ(error_, 0);
            const auto& calls = Fake().calls;
            const std::string set = adaptive ? "adaptive 1" : "adaptive 0";
            const auto at = std::find(calls.begin(), calls.end(), set);
            ASSERT_NE(at, calls.end());
            const std::string search = compression == 1 ? "seek" : "colour-seek";
            EXPECT_EQ((at + 1)->rfind(search, 0), 0u) << *(at + 1);
        }
    }
    // Without the setter: the calls of the description, nothing more.
    testing::ResetFake();
    ASSERT_TRUE(control_.SetProperty(DispId::kAdaptive, PropertyValue(true)));
    Read();
    EXPECT_EQ(error_, 0);
    for (const std::string& call : Fake().calls)
        EXPECT_EQ(call.rfind("adaptive", 0), std::string::npos);
}

TEST(Binding, TheAdaptiveSetterIsOptional) {
    EXPECT_EQ(BindByOrdinal(&PX_GetExportByOrdinal).exports.seek_bar_code_adaptive,
              &PXinSeekBarCodeAdaptive);
    const BoundExports without = BindByOrdinal([](int32_t ordinal) -> void* {
        return ordinal == 655 ? nullptr : PX_GetExportByOrdinal(ordinal);
    });
    EXPECT_EQ(without.exports.seek_bar_code_adaptive, nullptr);
    EXPECT_TRUE(without.missing_bilevel.empty());
    EXPECT_TRUE(without.missing_colour.empty());
}

}  // namespace
}  // namespace barlynx
