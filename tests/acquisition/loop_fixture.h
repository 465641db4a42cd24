// A job, a work area, a setup folder and a source for the acquisition loop tests: the folder
// feeder or SANE's test device, the loop's events recorded, the files read back with libtiff.
#pragma once

#include <gtest/gtest.h>
#include <tiffio.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/acquisition_loop.h"
#include "acquisition/scanner/sane_device.h"
#include "app/text_lookup.h"
#include "operator/scripted_operator.h"
#include "tests/support/no_sane_devices.h"
#include "tests/support/scratch_dir.h"

namespace scantora::testing {

namespace fs = std::filesystem;

using NoDevices = NoSaneDevices;

class RecordingObserver : public AcquisitionObserver {
public:
    void PageSaved(const PageSavedEvent& event) override { pages.push_back(event); }
    void CounterChanged(std::string_view text) override { counter = std::string(text); }
    void StatusChanged(std::string_view text) override { status = std::string(text); }
    void ScanningChanged(bool on) override { scanning.push_back(on); }
    void DocumentChanged(const std::string& file) override { documents.push_back(file); }
    void ShowDocument(const std::string& file) override { shown.push_back(file); }

    std::vector<PageSavedEvent> pages;
    std::string counter;
    std::string status;
    std::vector<bool> scanning;
    std::vector<std::string> documents;
    std::vector<std::string> shown;
};

// A page count and the heights of the pages of a TIFF file, as libtiff reads them.
inline std::vector<int> TiffHeights(const fs::path& path) {
    std::vector<int> heights;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff) return heights;
    do {
        uint32_t height = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
        heights.push_back(static_cast<int>(height));
    } while (TIFFReadDirectory(tiff));
    TIFFClose(tiff);
    return heights;
}

// Writes a bilevel PBM page of `height` rows that no barcode reader reads.
void WritePlainPage(const fs::path& path, int height, int width = 400);

class LoopTest : public ::testing::Test {
protected:
    LoopTest();

    // Multi-page documents: <work>/B<box>/<doc>.tif.
    void MultiPage(const std::string& box = "001", const std::string& doc = "0001");
    // One file per page: <work>/B<box>/D<doc>/<page>.tif, the page level advancing.
    void OneFilePerPage();

    // Plain pages of heights 400 + n, n = first, first + 1, ... into the feeder.
    void FeedPlain(int first, int count);
    void UseFeeder();
    void UseSaneDevice();

    AcquisitionLoop& Loop();
    ScanResult Start() { return Loop().Start(); }

    fs::path Work(const std::string& relative) const { return dir_.path() / "work" / relative; }
    std::string Report() const { return ReadFile(dir_.path() / "setup" / "Resocon.txt"); }

    ScratchDir dir_;
    fs::path feeder_;
    JobRecord job_;
    ScannerSettings scanner_;
    TextLookup texts_;
    ScriptedOperator operator_;
    std::vector<std::string> presets_;
    std::unique_ptr<ImagingControl> control_;
    std::optional<IdentificationModel> identification_;
    PageSeparation* separation_ = nullptr;
    AcquisitionOptions options_;
    RecordingObserver observer_;
    std::unique_ptr<AcquisitionLoop> loop_;
    int feeder_files_ = 0;
};

}  // namespace scantora::testing
