// Scanning from SANE's test backend through the imaging control. SANE_CONFIG_DIR points at a
// folder whose dll.conf lists the test backend only (make_sane_config.sh).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

#include "acquisition/scanner/sane_options.h"
#include "tests/acquisition/scanner/page_test_support.h"
#include "tests/support/scratch_dir.h"

namespace scantora {
namespace {

using testing::ReadTiffPages;
using testing::RowsOf;
using testing::ScratchDir;

constexpr int kDpi = 50;
constexpr int kFeederLoad = 10;  // the test backend's feeder empties after ten sheets
// Each test scans in well under a second; a device still busy after this is stuck.
constexpr auto kTestDeadline = std::chrono::seconds(30);
constexpr auto kCancelAgain = std::chrono::seconds(1);
constexpr int kCancelAttempts = 10;
// The test backend's reader thread writes a frame (a few kilobytes here) into a pipe and ends.
// The backend cancels that thread asynchronously at the end of every frame and in sane_cancel;
// caught inside malloc, it leaves the allocator locked and the next thread to end deadlocks.
// Reading only after this pause lets each reader end on its own before it is cancelled.
constexpr auto kReaderHeadStart = std::chrono::milliseconds(10);

// Cancels the open devices once a test outlives its deadline, and again every second after,
// so that a device that stops answering fails the test with a message. SANE allows
// sane_cancel from another thread while a call waits. A test that cancelling cannot end (a
// deadlock inside the backend) ends the program with that message rather than holding ctest
// until its timeout.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit) : thread_([this, limit] { Watch(limit); }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void Add(SaneDevice* device) {
        std::lock_guard lock(mutex_);
        devices_.insert(device);
    }
    void Remove(SaneDevice* device) {
        std::lock_guard lock(mutex_);
        devices_.erase(device);
    }
    bool fired() {
        std::lock_guard lock(mutex_);
        return fired_;
    }

private:
    void Watch(std::chrono::seconds limit) {
        std::unique_lock lock(mutex_);
        auto next = std::chrono::steady_clock::now() + limit;
        for (int attempt = 0; !wake_.wait_until(lock, next, [this] { return done_; }); ++attempt) {
            if (attempt == kCancelAttempts) {
                std::fprintf(stderr,
                             "the test device did not end when cancelled: a deadlock in "
                             "the SANE backend; giving up\n");
                std::_Exit(EXIT_FAILURE);
            }
            fired_ = true;
            for (SaneDevice* device : devices_)
                device->Cancel();
            next = std::chrono::steady_clock::now() + kCancelAgain;
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    bool fired_ = false;
    std::set<SaneDevice*> devices_;
    std::thread thread_;  // last: it starts once the members above exist
};

// The system's SANE with hooks on the device it opens: options set right after opening, and
// before each sane_start (numbered from 1). Open devices are in the watchdog's care.
class HookedLibrary : public SaneBackend {
public:
    using Hook = std::function<void(SaneOptions&, int start)>;

    HookedLibrary(Hook before_start, Watchdog& watchdog)
        : before_start_(std::move(before_start)), watchdog_(watchdog) {}

    std::vector<SaneDeviceEntry> ListDevices() override { return system_->ListDevices(); }
    SANE_Status Open(const std::string& name, std::unique_ptr<SaneDevice>& out) override {
        std::unique_ptr<SaneDevice> device;
        const SANE_Status status = system_->Open(name, device);
        if (status == SANE_STATUS_GOOD) out = std::make_unique<Hooked>(std::move(device), this);
        return status;
    }

private:
    class Hooked : public SaneDevice {
    public:
        Hooked(std::unique_ptr<SaneDevice> inner, HookedLibrary* library)
            : inner_(std::move(inner)), library_(library) {
            library_->watchdog_.Add(inner_.get());
            Run(0);
        }
        ~Hooked() override { library_->watchdog_.Remove(inner_.get()); }
        const SANE_Option_Descriptor* Describe(SANE_Int o) override { return inner_->Describe(o); }
        SANE_Status Control(SANE_Int o, SANE_Action a, void* v, SANE_Int* i) override {
            return inner_->Control(o, a, v, i);
        }
        SANE_Status Start() override {
            Run(++starts_);
            return inner_->Start();
        }
        SANE_Status Parameters(SANE_Parameters& p) override { return inner_->Parameters(p); }
        SANE_Status Read(SANE_Byte* d, SANE_Int m, SANE_Int& l) override {
            std::this_thread::sleep_for(kReaderHeadStart);
            return inner_->Read(d, m, l);
        }
        void Cancel() override { inner_->Cancel(); }

    private:
        void Run(int start) {
            if (!library_->before_start_) return;
            SaneOptions options(*inner_);
            library_->before_start_(options, start);
        }
        std::unique_ptr<SaneDevice> inner_;
        HookedLibrary* library_;
        int starts_ = 0;
    };

    std::shared_ptr<SaneBackend> system_ = SystemSaneBackend();
    Hook before_start_;
    Watchdog& watchdog_;
};

class TestDevice : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_FALSE(watchdog_.fired()) << "the test device was still busy after "
                                        << kTestDeadline.count() << " s and was cancelled";
    }

    void Open(HookedLibrary::Hook hook = {}) {
        control_ =
            MakeImagingControl({std::make_shared<HookedLibrary>(std::move(hook), watchdog_), {}});
        ASSERT_TRUE(control_->SelectSource("test:0"));
        values_.resolution = kDpi;
        values_.frame_width = 40;
        values_.frame_height = 50;
        values_.mode = ColourMode::kLineArt;
        control_->SetScannerValues(values_);
    }

    void SetMode(ColourMode mode) {
        values_.mode = mode;
        control_->SetScannerValues(values_);
    }

    // Saves every page: bilevel pages appended to doc.tif, others as page<n>.jpg.
    ImagingStatus ScanToFiles() {
        return control_->Acquire([this](Page& page) {
            const int n = ++pages_;
            const ImagingStatus saved =
                page.BitsPerPixel() == 1
                    ? page.Save(dir_ / "doc.tif", kFormatTiff, 1, kTiffQuality, kSaveAppend)
                    : page.Save(dir_ / ("page" + std::to_string(n) + ".jpg"), kFormatJpeg,
                                page.BitsPerPixel(), kDefaultQualityFactor, kSaveNew);
            EXPECT_EQ(saved, ImagingStatus::kOk);
            rows_.push_back(RowsOf(page));
            depths_.push_back(page.BitsPerPixel());
            return PageAction::kContinue;
        });
    }

    Watchdog watchdog_{kTestDeadline};  // outlives the control and its devices
    ScratchDir dir_;
    std::unique_ptr<ImagingControl> control_;
    ScannerValues values_;
    int pages_ = 0;
    std::vector<testing::Rows> rows_;
    std::vector<int> depths_;
};

std::string RunCommand(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    return pclose(pipe) == 0 ? output : "failed: " + output;
}

TEST_F(TestDevice, TheDevicesAreTheSources) {
    Open();
    ASSERT_EQ(control_->SourceCount(), 2);
    EXPECT_EQ(control_->SourceName(0), "Noname frontend-tester [test:0]");
    EXPECT_EQ(control_->SourceName(1), "Noname frontend-tester [test:1]");
    EXPECT_TRUE(control_->SelectSource("Noname frontend-tester [test:1]"));
    EXPECT_EQ(control_->SelectedSource(), "Noname frontend-tester [test:1]");
    EXPECT_FALSE(control_->SelectSource("Noname frontend-tester"));
    EXPECT_EQ(control_->DuplexCapability(), kNoDuplex);
}

TEST_F(TestDevice, TheFeederAtOneBitGivesATenPageGroup4File) {
    Open();
    ASSERT_EQ(ScanToFiles(), ImagingStatus::kOk);
    ASSERT_EQ(pages_, kFeederLoad);
    const auto pages = ReadTiffPages(dir_ / "doc.tif");
    ASSERT_EQ(pages.size(), static_cast<size_t>(kFeederLoad));
    for (int n = 1; n <= kFeederLoad; ++n) {
        const auto& page = pages[n - 1];
        EXPECT_EQ(page.compression, COMPRESSION_CCITTFAX4);
        EXPECT_EQ(page.x_resolution, kDpi);
        EXPECT_EQ(page.width, 78u);  // 40 mm at 50 dpi
        EXPECT_EQ(page.rows, rows_[n - 1]);
        const std::string info = RunCommand(std::string(PIXDOC_INFO) + " --page " +
                                            std::to_string(n) + " " + (dir_ / "doc.tif").string());
        EXPECT_NE(info.find("compression code: 1\n"), std::string::npos) << info;
        EXPECT_NE(info.find("width: 78\n"), std::string::npos) << info;
        EXPECT_NE(info.find("xres: 50\n"), std::string::npos) << info;
    }
    // The grid has black lines on white.
    long black = 0;
    for (const auto& row : rows_[0])
        for (std::uint8_t b : row)
            black += __builtin_popcount(b);
    EXPECT_GT(black, 0);
    EXPECT_LT(black, 78 * 98 / 2);
    EXPECT_EQ(control_->ReadScannerValues().mode, ColourMode::kLineArt);
}

TEST_F(TestDevice, GreyAndColourGiveJpegPages) {
    Open();
    control_->SetPagesToAcquire(1);
    for (ColourMode mode : {ColourMode::kGrey, ColourMode::kColour}) {
        SetMode(mode);
        ASSERT_EQ(ScanToFiles(), ImagingStatus::kOk);
    }
    ASSERT_EQ(pages_, 2);
    EXPECT_EQ(depths_, (std::vector<int>{8, 24}));
    for (int n = 1; n <= 2; ++n) {
        const testing::JpegFacts facts =
            testing::DecodeJpeg(dir_ / ("page" + std::to_string(n) + ".jpg"));
        EXPECT_EQ(facts.components, n == 1 ? 1 : 3);
        EXPECT_EQ(facts.width, 78);
        EXPECT_EQ(facts.density, kDpi);
    }
}

TEST_F(TestDevice, ThreePassColourIsTheSameAsOnePass) {
    Open();
    control_->SetPagesToAcquire(1);
    SetMode(ColourMode::kColour);
    ASSERT_EQ(ScanToFiles(), ImagingStatus::kOk);
    control_->CloseSource();
    Open([](SaneOptions& options, int start) {
        if (start != 0) return;
        options.SetString("mode", "Color");
        options.SetNumber("three-pass", 1);
    });
    control_->SetPagesToAcquire(1);
    SetMode(ColourMode::kColour);
    ASSERT_EQ(ScanToFiles(), ImagingStatus::kOk);
    ASSERT_EQ(rows_.size(), 2u);
    EXPECT_EQ(depths_[1], 24);
    EXPECT_EQ(rows_[1], rows_[0]);
}

TEST_F(TestDevice, AHandScannerIsReadToItsEnd) {
    Open([](SaneOptions& options, int start) {
        if (start == 0) options.SetNumber("hand-scanner", 1);
    });
    control_->SetPagesToAcquire(1);
    ASSERT_EQ(ScanToFiles(), ImagingStatus::kOk);
    ASSERT_EQ(rows_.size(), 1u);
    EXPECT_GT(rows_[0].size(), 10u);
    EXPECT_EQ(ReadTiffPages(dir_ / "doc.tif")[0].width, 216u);  // 11 cm at 50 dpi
}

// The test device's faults, raised by its read status from the third sheet on.
TEST_F(TestDevice, EachFaultEndsTheBatchWithItsCodeAndKeepsTheSavedPages) {
    struct Fault {
        const char* status;
        ImagingStatus code;
    };
    for (const Fault& fault : {Fault{"SANE_STATUS_JAMMED", ImagingStatus::kJammed},
                               Fault{"SANE_STATUS_COVER_OPEN", ImagingStatus::kCoverOpen},
                               Fault{"SANE_STATUS_IO_ERROR", ImagingStatus::kIoError},
                               Fault{"SANE_STATUS_CANCELLED", ImagingStatus::kCancelled},
                               Fault{"SANE_STATUS_NO_DOCS", ImagingStatus::kNoDocuments},
                               Fault{"SANE_STATUS_NO_MEM", ImagingStatus::kNoMemory},
                               Fault{"SANE_STATUS_ACCESS_DENIED", ImagingStatus::kAccessDenied}}) {
        SCOPED_TRACE(fault.status);
        std::filesystem::remove(dir_ / "doc.tif");
        rows_.clear();
        pages_ = 0;
        Open([&](SaneOptions& options, int start) {
            // The backend keeps its options from one opening to the next.
            if (start == 1) options.SetString("read-return-value", "Default");
            if (start == 3) options.SetString("read-return-value", fault.status);
        });
        EXPECT_EQ(ScanToFiles(), fault.code);
        EXPECT_EQ(pages_, 2);
        const auto pages = ReadTiffPages(dir_ / "doc.tif");
        ASSERT_EQ(pages.size(), 2u);
        EXPECT_EQ(pages[0].rows, rows_[0]);
        EXPECT_EQ(pages[1].rows, rows_[1]);
        control_->CloseSource();
    }
}

TEST_F(TestDevice, AStopEndsTheBatchAndTheFeederKeepsTheRest) {
    Open();
    ASSERT_EQ(control_->Acquire([this](Page&) {
        return ++pages_ == 3 ? PageAction::kStop : PageAction::kContinue;
    }),
              ImagingStatus::kOk);
    EXPECT_EQ(pages_, 3);
    EXPECT_EQ(ScanToFiles(), ImagingStatus::kOk);
    EXPECT_EQ(pages_, kFeederLoad);
}

TEST_F(TestDevice, AFlatbedGivesOnePageAndAResolutionBetweenStepsReadsBackAsTaken) {
    Open();
    control_->SetPagesToAcquire(1);
    values_.resolution = 110;
    control_->SetScannerValues(values_);
    ASSERT_EQ(control_->ApplyScannerValues(), ImagingStatus::kOk);
    EXPECT_EQ(control_->ReadScannerValues().resolution, 100);
    values_.resolution = 150;
    control_->SetScannerValues(values_);
    ASSERT_EQ(control_->ApplyScannerValues(), ImagingStatus::kOk);
    const ScannerValues read = control_->ReadScannerValues();
    EXPECT_EQ(read.resolution, 150);
    EXPECT_EQ(read.frame_width, 40);
    EXPECT_EQ(read.frame_height, 50);
    EXPECT_EQ(read.brightness, std::nullopt);  // the test device has none
    ASSERT_EQ(ScanToFiles(), ImagingStatus::kOk);
    EXPECT_EQ(pages_, 1);
    EXPECT_EQ(ReadTiffPages(dir_ / "doc.tif")[0].x_resolution, 150);
}

}  // namespace
}  // namespace scantora
