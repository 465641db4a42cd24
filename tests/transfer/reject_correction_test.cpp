#include "transfer/reject_correction.h"

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

barlynx::CorrectionRequest Request(std::string_view text, barlynx::PageArea area) {
    barlynx::CorrectionRequest request;
    request.barcode_text = text;
    request.file_name = "/no/such/page.tif";
    request.page = 2;
    request.neighbourhood = area;
    return request;
}

TEST(RejectCorrection, TheEditTakesDigitsAndLetsTheRejectedCharactersGo) {
    RejectCorrectionModel model(Request("12?45", {}));
    EXPECT_EQ(model.text(), "12?45");
    EXPECT_TRUE(model.Edit("12?495"));
    EXPECT_FALSE(model.Edit("12?4x95"));
    EXPECT_FALSE(model.Edit("12??495"));  // a second one was never read
    EXPECT_EQ(model.text(), "12?495");
    EXPECT_TRUE(model.Edit("12495"));
    EXPECT_FALSE(model.Edit("12?495"));  // gone is gone
    EXPECT_TRUE(model.Edit(""));
    EXPECT_EQ(model.text(), "");
}

TEST(RejectCorrection, TheNeighbourhoodIsShownWithItsCornersInOrder) {
    // As the reader gives it for a barcode from x 100 to 370 on line 121: from its end, a
    // quarter of its length around it, down from the line.
    RejectCorrectionModel model(Request("1?", {437, 188, 33, 121}));
    const barlynx::PageArea area = model.Area();
    EXPECT_EQ(area.left, 33);
    EXPECT_EQ(area.right, 437);
    EXPECT_EQ(area.top, 121);
    EXPECT_EQ(area.bottom, 188);
    // A barcode of no length still shows some of the page around it.
    const barlynx::PageArea point = RejectCorrectionModel(Request("1?", {50, 10, 50, 10})).Area();
    EXPECT_EQ(point.right - point.left, kSmallestNeighbourhood);
    EXPECT_EQ(point.bottom - point.top, kSmallestNeighbourhood);
    EXPECT_EQ(point.left, 50 - kSmallestNeighbourhood / 2);
    EXPECT_EQ(model.page(), 2);
    EXPECT_FALSE(model.ShowsPage());
}

}  // namespace
}  // namespace scantora
