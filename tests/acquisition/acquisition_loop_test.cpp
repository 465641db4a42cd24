// The acquisition loop over real sources (the folder feeder, SANE's test device) into a real work
// area: the documents on disk, the scan report and what the operator was asked.
#include "acquisition/acquisition_loop.h"

#include <gtest/gtest.h>

#include "tests/acquisition/loop_fixture.h"

namespace scantora {
namespace {

using testing::LoopTest;
using testing::TiffHeights;
namespace fs = std::filesystem;

constexpr int kEndScanning = 2;  // third button of the end-of-document choice

TEST_F(LoopTest, FeederPagesGoIntoOneMultiPageDocument) {
    FeedPlain(1, 3);
    operator_.QueueChoices({kEndScanning});
    operator_.QueueYesNo({false});
    const ScanResult result = Start();
    EXPECT_EQ(result.end, ScanEnd::kFinished);
    EXPECT_EQ(result.images, 3);
    EXPECT_TRUE(result.end_of_batch_asked);
    EXPECT_EQ(TiffHeights(Work("B001/0001.tif")), (std::vector<int>{401, 402, 403}));
    ASSERT_EQ(observer_.pages.size(), 3u);
    EXPECT_EQ(observer_.pages[2].page, 3);
    EXPECT_EQ(observer_.pages[2].file, Work("B001/0001.tif").string());
    EXPECT_EQ(observer_.counter, "Num. Img. nel Bacth: 3  ");
    EXPECT_EQ(observer_.scanning, (std::vector<bool>{true, false}));
    const std::string line = std::string("0001.tif") + std::string(12, ' ') + "001     " +
                             "0001    " + std::string(91 - 36, ' ') + "\r\n";
    EXPECT_EQ(Report(), line);
    EXPECT_EQ(operator_.unanswered(), 0);
}

}  // namespace
}  // namespace scantora
