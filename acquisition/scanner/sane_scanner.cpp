#include "acquisition/scanner/sane_scanner.h"

#include "acquisition/scanner/sane_page_reader.h"
#include "acquisition/scanner/sane_status.h"
#include "acquisition/scanner/sane_values.h"

namespace scantora {

ImagingStatus SaneScanner::Fail(ImagingStatus status, std::string_view step) {
    error_ = device_name_ + ": " + std::string(step) + ": " + std::string(DescribeStatus(status));
    return status;
}

ImagingStatus SaneScanner::Open() {
    if (device_) return ImagingStatus::kOk;
    if (!library_) return Fail(ImagingStatus::kNoSource, "open");
    if (const SANE_Status status = library_->Open(device_name_, device_);
        status != SANE_STATUS_GOOD || !device_) {
        device_.reset();
        return Fail(status == SANE_STATUS_GOOD ? ImagingStatus::kIoError : FromSaneStatus(status),
                    "open");
    }
    options_ = std::make_unique<SaneOptions>(*device_);
    return ImagingStatus::kOk;
}

ImagingStatus SaneScanner::Apply(const ScannerValues& values) {
    if (const ImagingStatus status = Open(); status != ImagingStatus::kOk) return status;
    const ImagingStatus status = FromSaneStatus(ApplySaneValues(*options_, values));
    return status == ImagingStatus::kOk ? status : Fail(status, "set options");
}

ScannerValues SaneScanner::Read() {
    return options_ ? ReadSaneValues(*options_) : ScannerValues{};
}

ScannerLimits SaneScanner::Limits() {
    return options_ ? ReadSaneLimits(*options_) : ScannerLimits{};
}

int SaneScanner::DuplexCapability() {
    if (Open() != ImagingStatus::kOk) return kNoDuplex;
    return SaneDuplexCapability(*options_);
}

ImagingStatus SaneScanner::BeginBatch(int pages, bool duplex, BatchPlan& plan) {
    error_.clear();
    if (const ImagingStatus status = Open(); status != ImagingStatus::kOk) return status;
    SaneSourcePlan source;
    const bool feeder = pages == kAllPages || duplex;
    if (const SANE_Status status = ChooseSaneSource(*options_, feeder, duplex, source);
        status != SANE_STATUS_GOOD)
        return Fail(FromSaneStatus(status), "choose source");
    // A flatbed holds one sheet: "all pages" is that one.
    plan.page_limit = !source.feeder && pages == kAllPages ? 1 : pages;
    plan.duplex = source.duplex;
    resolution_ = SaneResolution(*options_);
    return ImagingStatus::kOk;
}

ImagingStatus SaneScanner::NextPage(Page& page, bool& feeder_empty) {
    feeder_empty = false;
    started_ = true;
    const SANE_Status status = device_->Start();
    if (status == SANE_STATUS_NO_DOCS) {
        feeder_empty = true;
        return ImagingStatus::kOk;
    }
    if (status != SANE_STATUS_GOOD) return Fail(FromSaneStatus(status), "start");
    const ImagingStatus read = ReadSanePage(*device_, resolution_, page);
    return read == ImagingStatus::kOk ? read : Fail(read, "read");
}

ImagingStatus SaneScanner::PageHandled(const Page&, bool& keep_going) {
    keep_going = true;
    return ImagingStatus::kOk;
}

void SaneScanner::EndBatch() {
    if (device_ && started_) device_->Cancel();
    started_ = false;
}

void SaneScanner::Close() {
    EndBatch();
    options_.reset();
    device_.reset();
}

}  // namespace scantora
