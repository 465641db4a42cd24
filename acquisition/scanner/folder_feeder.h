// A feeder folder as a scanner source: the image files of a folder in name order, the pages of
// a multi-page file in order; a file moves into done/ once each of its pages was saved.
#pragma once

#include <filesystem>
#include <set>
#include <string_view>
#include <vector>

#include "acquisition/scanner/scan_backend.h"

namespace scantora {

inline constexpr std::string_view kFolderSourcePrefix = "folder:";
inline constexpr std::string_view kDoneFolder = "done";

class FolderFeeder : public ScanBackend {
public:
    explicit FolderFeeder(std::filesystem::path folder) : folder_(std::move(folder)) {}

    ImagingStatus Open() override;
    ImagingStatus Apply(const ScannerValues&) override { return ImagingStatus::kOk; }
    ScannerValues Read() override;
    int DuplexCapability() override { return kDuplex; }
    ImagingStatus BeginBatch(int pages, bool duplex, BatchPlan& plan) override;
    ImagingStatus NextPage(Page& page, bool& feeder_empty) override;
    ImagingStatus PageHandled(const Page& page, bool& keep_going) override;
    void EndBatch() override {}
    void Close() override {}
    std::string ErrorText() const override { return error_; }

private:
    ImagingStatus Fail(ImagingStatus status, const std::filesystem::path& file);
    ImagingStatus MoveToDone(const std::filesystem::path& file);

    std::filesystem::path folder_;
    // The file being fed and the next of its pages (from 0); empty between files.
    std::filesystem::path file_;
    int next_page_ = 0;
    int pages_ = 0;
    int last_resolution_ = 0;
    // Fed files that could not be moved: skipped for the rest of the run, never fed twice.
    std::set<std::filesystem::path> not_moved_;
    std::string error_;
};

// The image files a feeder folder holds, by extension, hidden files left out, in name order.
ImagingStatus ListFeederFiles(const std::filesystem::path& folder,
                              std::vector<std::filesystem::path>& files);

}  // namespace scantora
