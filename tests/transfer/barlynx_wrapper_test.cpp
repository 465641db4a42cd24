// The program's side of the Barlynx control: the factory that finds and loads the component,
// and the wrapper that sets the properties, passes the job's values and holds the pixdoc32 lock.
#include "transfer/barlynx_wrapper.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <future>

#include "acquisition/scanner/pixdoc_lock.h"
#include "operator/scripted_operator.h"

namespace scantora {
namespace {

std::string Page(const std::string& name) {
    return std::string(TEST_FIXTURE_DIR) + "/code39_pages/" + name;
}

class BarlynxFromLibrary : public ::testing::Test {
protected:
    void SetUp() override { setenv(kBarlynxLibraryVariable, BARLYNX_LIBRARY, 1); }
    void TearDown() override { unsetenv(kBarlynxLibraryVariable); }
};

TEST_F(BarlynxFromLibrary, TheFactoryCreatesByClassIdentifierOrProgId) {
    EXPECT_TRUE(CreateBarlynxControl().control);
    CreatedBarlynx by_prog_id = CreateBarlynxControl("BARLYNX.BarlynxCtrl.1");
    EXPECT_TRUE(by_prog_id.control) << by_prog_id.error;
    CreatedBarlynx other = CreateBarlynxControl("BARLYNX.BarlynxPropPage.1");
    EXPECT_FALSE(other.control);
    EXPECT_EQ(other.error.rfind("no Barlynx control for BARLYNX.BarlynxPropPage.1", 0), 0u)
        << other.error;
}

TEST_F(BarlynxFromLibrary, TheVariableNamesTheLibraryFile) {
    setenv(kBarlynxLibraryVariable, "/no/such/libbarlynx.so", 1);
    CreatedBarlynx missing = CreateBarlynxControl();
    EXPECT_FALSE(missing.control);
    EXPECT_NE(missing.error.find("/no/such/libbarlynx.so"), std::string::npos) << missing.error;
}

// Probes the lock from another thread while the control shows a message inside its call.
class LockProbingOperator : public ScriptedOperator {
public:
    void ShowMessage(std::string_view text, MessageIcon icon) override {
        held_elsewhere = std::async(std::launch::async, [] {
                             const bool free = PixdocLock().try_lock();
                             if (free) PixdocLock().unlock();
                             return !free;
                         }).get();
        ScriptedOperator::ShowMessage(text, icon);
    }
    bool held_elsewhere = false;
};

class Wrapper : public BarlynxFromLibrary {
protected:
    void SetUp() override {
        BarlynxFromLibrary::SetUp();
        CreatedBarlynx created = CreateBarlynxControl();
        ASSERT_TRUE(created.control) << created.error;
        barlynx_.emplace(std::move(created.control), operator_);
        job_.barcodeval = "2047";
    }

    LockProbingOperator operator_;
    std::optional<CBarlynx> barlynx_;
    JobRecord job_;
};

TEST_F(Wrapper, OneGetAndOneSetPerProperty) {
    CBarlynx& b = *barlynx_;
    b.SetExclusionHeight(7);
    b.SetDegree(2);
    b.SetBWThreshold(99);
    b.SetBWThresholdNeg(5);
    b.SetBWRotate(270);
    b.SetRejectCorrection(true);
    EXPECT_EQ(b.GetExclusionHeight(), 7);
    EXPECT_EQ(b.GetDegree(), 2);
    EXPECT_EQ(b.GetBWThreshold(), 99);
    EXPECT_EQ(b.GetBWThresholdNeg(), 5);
    EXPECT_EQ(b.GetBWRotate(), 270);
    EXPECT_TRUE(b.GetRejectCorrection());
}

TEST_F(Wrapper, ReadPageSetsTheProgramsPropertiesAndTheJobsValues) {
    CBarlynx& b = *barlynx_;
    b.SetDegree(2);
    b.SetExclusionHeight(0);
    job_.thresholdbarcode = "90";
    BarcodeRead read = b.ReadPage(job_, Page("a4-300-upright-g4.tif"), 1);
    EXPECT_EQ(read.error, 0);
    EXPECT_EQ(read.text, "*LABEL-0001*<300,609,401,1,4>*ORDER 77/B*<1200,1819,1501,1,7>");
    EXPECT_EQ(b.GetExclusionHeight(), 100);
    EXPECT_EQ(b.GetDegree(), 0);
    EXPECT_EQ(b.GetBWThreshold(), 90);

    job_.barcodeval = "4";  // Code 128 only
    EXPECT_EQ(b.ReadPage(job_, Page("a4-300-upright-g4.tif"), 1).text, "");
}

TEST_F(Wrapper, ReadPageTakesAdaptiveFromTheJob) {
    CBarlynx& b = *barlynx_;
    EXPECT_FALSE(b.GetAdaptive());
    b.SetAdaptive(true);
    EXPECT_TRUE(b.GetAdaptive());
    for (const char* value : {"", "0", "abc"}) {
        job_.adaptivebarcode = value;
        EXPECT_FALSE(AdaptiveBarcode(job_)) << value;
        b.ReadPage(job_, Page("a4-300-upright-g4.tif"), 1);
        EXPECT_FALSE(b.GetAdaptive()) << value;
    }
    job_.adaptivebarcode = "1";
    const BarcodeRead read = b.ReadPage(job_, Page("a4-300-upright-g4.tif"), 1);
    EXPECT_TRUE(b.GetAdaptive());
    EXPECT_EQ(read.error, 0);
    // The same two labels, each once.
    EXPECT_NE(read.text.find("*LABEL-0001*<"), std::string::npos) << read.text;
    EXPECT_NE(read.text.find("*ORDER 77/B*<"), std::string::npos) << read.text;
    EXPECT_EQ(std::count(read.text.begin(), read.text.end(), '<'), 2) << read.text;
}

TEST_F(Wrapper, AThresholdThatIsNotAGreyLevelGivesTheDefault) {
    for (const char* value : {"", "0", "256", "abc"}) {
        job_.thresholdbarcode = value;
        EXPECT_EQ(BarcodeThreshold(job_), 128) << value;
    }
    job_.thresholdbarcode = "255";
    EXPECT_EQ(BarcodeThreshold(job_), 255);
    job_.barcodeval = "65535";
    EXPECT_EQ(BarcodeTypeMask(job_), -1);
}

TEST_F(Wrapper, MessagesReachTheOperatorWhileTheLockIsHeld) {
    BarcodeRead read = barlynx_->ReadPage(job_, Page("two-pages-g4.tif"), 3);
    EXPECT_EQ(read.error, 1);
    EXPECT_EQ(read.text, "");
    EXPECT_EQ(operator_.Messages(), std::vector<std::string>{"Error:1 in Get Image Info Extended"});
    EXPECT_TRUE(operator_.held_elsewhere);
    EXPECT_TRUE(PixdocLock().try_lock()) << "released after the call";
    PixdocLock().unlock();
}

}  // namespace
}  // namespace scantora
