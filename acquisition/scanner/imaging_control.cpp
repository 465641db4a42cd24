// The imaging control: the source list over SANE devices and feeder folders, the values and
// settings of the next acquisition, and the acquisition itself.
#include "acquisition/scanner/imaging_control.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <map>

#include "acquisition/scanner/folder_feeder.h"
#include "acquisition/scanner/sane_device.h"
#include "acquisition/scanner/sane_scanner.h"

namespace scantora {
namespace {

struct Source {
    std::string name;
    std::string device;            // SANE device name, for a device
    std::filesystem::path folder;  // for a feeder folder
};

std::string Trimmed(std::string text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
    return text;
}

std::string FolderSourceName(const std::filesystem::path& folder) {
    return std::string(kFolderSourcePrefix) + folder.string();
}

// Configuration values may spell the folder with backslashes.
std::filesystem::path FolderOfName(std::string_view name) {
    std::string folder(name.substr(kFolderSourcePrefix.size()));
    std::replace(folder.begin(), folder.end(), '\\', '/');
    return folder;
}

// "<vendor> <model>", with the device name added where two devices would share it.
std::vector<Source> DeviceSources(const std::vector<SaneDeviceEntry>& devices) {
    std::vector<Source> sources;
    std::map<std::string, int> uses;
    for (const SaneDeviceEntry& d : devices) {
        std::string label = Trimmed(d.vendor + " " + d.model);
        if (label.empty()) label = d.name;
        sources.push_back({label, d.name, {}});
        ++uses[label];
    }
    for (Source& s : sources)
        if (uses[s.name] > 1) s.name += " [" + s.device + "]";
    return sources;
}

// Ends a back end's batch however the acquisition leaves, a throwing handler included.
class BatchScope {
public:
    explicit BatchScope(ScanBackend& backend) : backend_(backend) {}
    ~BatchScope() { backend_.EndBatch(); }
    BatchScope(const BatchScope&) = delete;
    BatchScope& operator=(const BatchScope&) = delete;

private:
    ScanBackend& backend_;
};

class Control : public ImagingControl {
public:
    explicit Control(ImagingControlSetup setup) : setup_(std::move(setup)) {}

    void RefreshSources() override {
        if (!setup_.sane) setup_.sane = SystemSaneBackend();
        sources_ = DeviceSources(setup_.sane->ListDevices());
        for (const std::filesystem::path& folder : setup_.feeder_folders)
            sources_.push_back({FolderSourceName(folder), {}, folder});
        listed_ = true;
    }

    int SourceCount() override {
        EnsureListed();
        return static_cast<int>(sources_.size());
    }

    std::string SourceName(int index) override {
        EnsureListed();
        if (index < 0 || index >= static_cast<int>(sources_.size())) return {};
        return sources_[static_cast<size_t>(index)].name;
    }

    bool SelectSource(std::string_view name) override {
        EnsureListed();
        auto it = std::find_if(sources_.begin(), sources_.end(), [&](const Source& s) {
            return s.name == name || (!s.device.empty() && s.device == name);
        });
        if (it == sources_.end() && name.starts_with(kFolderSourcePrefix)) {
            const std::filesystem::path folder = FolderOfName(name);
            std::error_code ec;
            if (!std::filesystem::is_directory(folder, ec)) return false;
            sources_.push_back({std::string(name), {}, folder});
            it = sources_.end() - 1;
        }
        if (it == sources_.end()) return false;
        CloseSource();
        backend_.reset();
        selected_ = *it;
        last_read_ = {};
        return true;
    }

    std::string SelectedSource() const override { return selected_ ? selected_->name : ""; }

    void SetScannerValues(const ScannerValues& values) override { values_ = values; }

    ScannerValues ReadScannerValues() override {
        if (backend_ && open_) last_read_ = backend_->Read();
        return last_read_;
    }

    ImagingStatus ApplyScannerValues() override {
        ScanBackend* backend = Backend();
        if (!backend) return Finish(ImagingStatus::kNoSource, nullptr);
        const ImagingStatus status = backend->Apply(values_);
        open_ = open_ || status == ImagingStatus::kOk;
        return Finish(status, backend);
    }

    ScannerLimits ReadScannerLimits() override {
        return backend_ && open_ ? backend_->Limits() : ScannerLimits{};
    }

    void SetPagesToAcquire(int pages) override {
        if (pages == kAllPages || pages > 0) pages_ = pages;
    }

    int DuplexCapability() override {
        ScanBackend* backend = Backend();
        if (!backend || backend->Open() != ImagingStatus::kOk) return kNoDuplex;
        open_ = true;
        return backend->DuplexCapability();
    }

    void SetDuplex(bool on) override { duplex_ = on; }
    void SetDialogMode(DialogMode mode) override { dialog_mode_ = mode; }
    void SetOptionsDialog(ScanOptionsDialog* dialog) override { dialog_ = dialog; }

    ImagingStatus Acquire(const PageHandler& on_page) override {
        stop_.store(false);
        ScanBackend* backend = Backend();
        if (!backend) return Finish(ImagingStatus::kNoSource, nullptr);
        ImagingStatus status = backend->Apply(values_);
        if (status != ImagingStatus::kOk) return Finish(status, backend);
        open_ = true;
        if (ShowsDialog()) {
            ScannerValues shown = backend->Read();
            if (!dialog_->Edit(selected_->name, shown))
                return Finish(ImagingStatus::kCancelled, nullptr);
            if (status = backend->Apply(shown); status != ImagingStatus::kOk)
                return Finish(status, backend);
        }
        BatchPlan plan;
        if (status = backend->BeginBatch(pages_, duplex_, plan); status != ImagingStatus::kOk)
            return Finish(status, backend);
        {
            BatchScope scope(*backend);
            status = RunBatch(*backend, plan, on_page);
        }
        last_read_ = backend->Read();
        return Finish(status, backend);
    }

    void RequestStop() override { stop_.store(true); }

    void CloseSource() override {
        if (!backend_) return;
        if (open_) last_read_ = backend_->Read();
        backend_->Close();
        open_ = false;
    }

    std::string LastErrorText() const override { return last_error_; }

private:
    void EnsureListed() {
        if (!listed_) RefreshSources();
    }

    // The selected source's back end, made on first use and kept (a feeder keeps its place).
    ScanBackend* Backend() {
        if (!selected_) return nullptr;
        if (!backend_) {
            if (selected_->device.empty())
                backend_ = std::make_unique<FolderFeeder>(selected_->folder);
            else
                backend_ = std::make_unique<SaneScanner>(setup_.sane, selected_->device);
        }
        return backend_.get();
    }

    bool ShowsDialog() const {
        return dialog_ &&
               (dialog_mode_ == DialogMode::kSetup || dialog_mode_ == DialogMode::kShown);
    }

    ImagingStatus RunBatch(ScanBackend& backend, const BatchPlan& plan,
                           const PageHandler& on_page) {
        int delivered = 0;
        bool front = true;
        while (plan.page_limit == kAllPages || delivered < plan.page_limit) {
            Page page;
            bool feeder_empty = false;
            if (const ImagingStatus status = backend.NextPage(page, feeder_empty);
                status != ImagingStatus::kOk)
                return status;
            // An empty feeder ends a batch; one empty from the start is worth telling.
            if (feeder_empty)
                return delivered == 0 ? ImagingStatus::kNoDocuments : ImagingStatus::kOk;
            const PageAction action = on_page ? on_page(page) : PageAction::kContinue;
            ++delivered;
            bool keep_going = true;
            if (const ImagingStatus status = backend.PageHandled(page, keep_going);
                status != ImagingStatus::kOk || !keep_going)
                return status;
            // The back of a sheet is already out of the feeder: a stop waits for it.
            const bool sheet_done = !plan.duplex || !front;
            if (plan.duplex) front = !front;
            if (sheet_done && (action == PageAction::kStop || stop_.load()))
                return ImagingStatus::kOk;
        }
        return ImagingStatus::kOk;
    }

    ImagingStatus Finish(ImagingStatus status, const ScanBackend* backend) {
        if (status == ImagingStatus::kOk)
            last_error_.clear();
        else if (backend && !backend->ErrorText().empty())
            last_error_ = backend->ErrorText();
        else
            last_error_ = std::string(DescribeStatus(status));
        return status;
    }

    ImagingControlSetup setup_;
    std::vector<Source> sources_;
    bool listed_ = false;
    std::optional<Source> selected_;
    std::unique_ptr<ScanBackend> backend_;
    bool open_ = false;
    ScannerValues values_;
    ScannerValues last_read_;
    int pages_ = kAllPages;
    bool duplex_ = false;
    DialogMode dialog_mode_ = DialogMode::kHidden;
    ScanOptionsDialog* dialog_ = nullptr;
    std::atomic<bool> stop_{false};
    std::string last_error_;
};

}  // namespace

std::unique_ptr<ImagingControl> MakeImagingControl(ImagingControlSetup setup) {
    return std::make_unique<Control>(std::move(setup));
}

}  // namespace scantora
