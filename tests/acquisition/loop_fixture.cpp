#include "tests/acquisition/loop_fixture.h"

#include <cstdio>
#include <fstream>

namespace scantora::testing {

void WritePlainPage(const fs::path& path, int height, int width) {
    std::ofstream out(path, std::ios::binary);
    out << "P4\n" << width << " " << height << "\n";
    std::string row(static_cast<std::size_t>(width / 8), '\0');
    for (int y = 0; y < height; ++y) {
        std::fill(row.begin(), row.end(), (y / 20) % 2 && y > 100 && y < 300 ? '\xf0' : '\0');
        out << row;
    }
}

LoopTest::LoopTest() : feeder_(dir_.path() / "feeder") {
    fs::create_directories(feeder_);
    fs::create_directories(dir_.path() / "setup");
    job_.applicazione = "LOOP";
    job_.inisaveparam = "saved.ini";
    job_.disco_scarico = (dir_.path() / "work").string() + "/";
    job_.levels[0] = {"Scatola", "", "3", "B$1#*%/", "", "0", "", "0"};
    options_.setup_dir = dir_.path() / "setup";
    MultiPage();
}

void LoopTest::MultiPage(const std::string& box, const std::string& doc) {
    job_.multitiff = "Y";
    job_.nlivelli = "2";
    job_.automatico = "1";
    job_.levels[1] = {"Documento", "", "4", "$2#*%.tif", "+", "0", "", "0"};
    presets_ = {box, doc};
}

void LoopTest::OneFilePerPage() {
    job_.multitiff = "N";
    job_.nlivelli = "3";
    job_.automatico = "2";
    job_.levels[1] = {"Documento", "", "4", "D$2#*%/", "", "0", "", "0"};
    job_.levels[2] = {"Pagina", "", "3", "$3#*%.tif", "+", "0", "001", "0"};
    presets_ = {"001", "0001", "001"};
}

void LoopTest::FeedPlain(int first, int count) {
    for (int n = first; n < first + count; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "%03d.pbm", ++feeder_files_);
        WritePlainPage(feeder_ / name, 400 + n);
    }
}

void LoopTest::UseFeeder() {
    control_ = MakeImagingControl({std::make_shared<NoDevices>(), {feeder_}});
    ASSERT_TRUE(control_->SelectSource("folder:" + feeder_.string()));
}

void LoopTest::UseSaneDevice() {
    control_ = MakeImagingControl();
    ASSERT_TRUE(control_->SelectSource("test:0"));
    options_.job_values.resolution = 50;
    options_.job_values.frame_width = 40;
    options_.job_values.frame_height = 50;
    options_.job_values.mode = ColourMode::kLineArt;
}

AcquisitionLoop& LoopTest::Loop() {
    if (loop_) return *loop_;
    if (!control_) UseFeeder();
    identification_.emplace(job_, texts_, operator_);
    const std::string saved = (dir_.path() / "setup" / job_.inisaveparam).string();
    identification_->Initialise(saved, presets_);
    loop_ = std::make_unique<AcquisitionLoop>(
        AcquisitionParts{job_, scanner_, texts_, operator_, *control_, *identification_,
                         separation_},
        options_);
    loop_->SetObserver(&observer_);
    return *loop_;
}

}  // namespace scantora::testing
