// A SANE device as a scanner source, opened once and kept open until closed.
#pragma once

#include <memory>
#include <string>

#include "acquisition/scanner/sane_device.h"
#include "acquisition/scanner/sane_options.h"
#include "acquisition/scanner/scan_backend.h"

namespace scantora {

class SaneScanner : public ScanBackend {
public:
    SaneScanner(std::shared_ptr<SaneBackend> library, std::string device_name)
        : library_(std::move(library)), device_name_(std::move(device_name)) {}
    ~SaneScanner() override { Close(); }

    ImagingStatus Open() override;
    ImagingStatus Apply(const ScannerValues& values) override;
    ScannerValues Read() override;
    ScannerLimits Limits() override;
    int DuplexCapability() override;
    ImagingStatus BeginBatch(int pages, bool duplex, BatchPlan& plan) override;
    ImagingStatus NextPage(Page& page, bool& feeder_empty) override;
    ImagingStatus PageHandled(const Page&, bool& keep_going) override;
    void EndBatch() override;
    void Close() override;
    std::string ErrorText() const override { return error_; }

private:
    ImagingStatus Fail(ImagingStatus status, std::string_view step);

    std::shared_ptr<SaneBackend> library_;
    std::string device_name_;
    std::unique_ptr<SaneDevice> device_;
    std::unique_ptr<SaneOptions> options_;
    int resolution_ = 0;  // of the pages of this batch
    bool started_ = false;
    std::string error_;
};

}  // namespace scantora
