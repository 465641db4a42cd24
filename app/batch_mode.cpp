#include "app/batch_mode.h"

#include <filesystem>
#include <set>
#include <string>

#include "acquisition/identification_model.h"
#include "acquisition/job_scanner_values.h"
#include "acquisition/saved_identification.h"
#include "acquisition/scanner/control_source_list.h"
#include "config/atomic_file.h"
#include "transfer/separation.h"

namespace scantora {
namespace {

// A batch that has run longer than this many starts is going round in circles (a separator
// that steps no code on a feeder that never empties).
constexpr int kMaxStarts = 100000;

std::string_view EndWord(ScanEnd end) {
    switch (end) {
        case ScanEnd::kNotStarted:
            return "not-started";
        case ScanEnd::kFinished:
            return "finished";
        case ScanEnd::kFeederEmpty:
            return "feeder-empty";
        case ScanEnd::kSeparator:
            return "separator";
        case ScanEnd::kStopped:
            return "stopped";
        case ScanEnd::kCancelled:
            return "cancelled";
        case ScanEnd::kDeviceError:
            return "device-error";
        case ScanEnd::kSaveError:
            return "save-error";
        case ScanEnd::kExit:
            return "end-of-batch";
    }
    return "unknown";
}

bool Failed(ScanEnd end) {
    return end == ScanEnd::kNotStarted || end == ScanEnd::kDeviceError ||
           end == ScanEnd::kSaveError;
}

// Prints a line per saved page and counts documents and separators for the summary.
class BatchPrinter : public AcquisitionObserver {
public:
    explicit BatchPrinter(std::ostream& out) : out_(out) {}

    void PageSaved(const PageSavedEvent& event) override {
        out_ << event.document << '\t' << event.page << '\t' << event.separator << '\n';
        out_.flush();
        ++pages_;
        if (event.separator != 0) ++separators_;
        documents_.insert(event.document);
    }

    int pages() const { return pages_; }
    int separators() const { return separators_; }
    std::size_t documents() const { return documents_.size(); }

private:
    std::ostream& out_;
    int pages_ = 0;
    int separators_ = 0;
    std::set<std::string> documents_;
};

bool SelectBatchSource(AppState& state, const BatchOptions& options, ImagingControl& control,
                       Operator& op) {
    if (!options.source.empty()) {
        if (control.SelectSource(options.source)) return true;
        op.Stop("Source not found: " + options.source);
        return false;
    }
    ControlSourceList sources(control);
    return ChooseSource(sources, false, state.utilita.job, state.job_file_path,
                        JobRewriteTempPath(), op);
}

}  // namespace

int RunBatch(AppState& state, const TextLookup& texts, BatchRunParts parts, std::ostream& out) {
    const JobRecord& job = state.utilita.job;
    if (!SelectBatchSource(state, parts.options, parts.control, parts.op)) return kBatchExitFailed;

    IdentificationModel identification(job, texts, parts.op);
    const std::string saved = SavedIdentificationPath(state.setup_dir.string(), job.inisaveparam);
    identification.Initialise(job.inisaveparam.empty() ? "" : saved, state.preset_levels);
    parts.op.set_multi_page(identification.multi_page());

    Separation separation(job, parts.op, BarlynxSeparatorReader(job, parts.op));
    AcquisitionOptions options;
    options.setup_dir = state.setup_dir;
    options.job_values = JobScannerValues(state.scanner);
    options.show_messages = state.show_messages;
    options.empty_feeder_is_end = true;
    AcquisitionLoop loop(
        {job, state.scanner, texts, parts.op, parts.control, identification, &separation}, options);
    BatchPrinter printer(out);
    loop.SetObserver(&printer);
    loop.SetEndOfBatchTransfer(parts.transfer);

    ScanResult result;
    bool asked = false;
    bool transfer_failed = false;
    for (int start = 0; start < kMaxStarts; ++start) {
        result = loop.Start();
        asked = asked || result.end_of_batch_asked;
        transfer_failed = transfer_failed || result.transfer_failed;
        if (result.end != ScanEnd::kSeparator) break;
    }
    // The feeder ran dry right after a separator sheet: the batch is over all the same.
    if (result.end == ScanEnd::kFeederEmpty && !asked && printer.pages() > 0) {
        const auto answer = loop.AskEndOfBatch();
        if (answer != AcquisitionLoop::BatchAnswer::kKept) result.end = ScanEnd::kExit;
        transfer_failed = answer == AcquisitionLoop::BatchAnswer::kTransferFailed;
    }
    if (result.end != ScanEnd::kExit) loop.SaveIdentification();

    const bool transferred = result.end == ScanEnd::kExit && !transfer_failed;
    out << "summary: pages=" << printer.pages() << " documents=" << printer.documents()
        << " separators=" << printer.separators() << " end=" << EndWord(result.end) << " transfer="
        << (result.end != ScanEnd::kExit ? "kept"
            : transferred                ? "done"
                                         : "failed");
    if (result.status != 0) out << " error=" << result.status;
    out << '\n';
    if (!result.detail.empty()) parts.op.Stop(result.detail);
    return Failed(result.end) || transfer_failed ? kBatchExitFailed : kBatchExitOk;
}

}  // namespace scantora
