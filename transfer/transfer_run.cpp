#include "transfer/transfer_run.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <climits>
#include <filesystem>

#include "acquisition/naming_text.h"
#include "config/numeric_text.h"
#include "operator/text_ids.h"
#include "transfer/document_files.h"
#include "transfer/job_patterns.h"
#include "transfer/transfer_log.h"

namespace scantora {

namespace {

namespace fs = std::filesystem;

std::string WithoutTrailingSeparators(std::string text) {
    while (!text.empty() && IsSeparator(text.back()))
        text.pop_back();
    return text;
}

LevelValueTable TableOf(const DocumentRow& row, std::size_t shown) {
    LevelValueTable table;
    for (std::size_t i = 0; i < std::min(shown, kLevelSlots); ++i)
        table.Set(i, row.values[i]);
    return table;
}

std::string DocumentName(const DocumentRow& row, std::size_t shown) {
    std::string name;
    for (std::size_t i = 0; i < std::min(shown, kLevelSlots); ++i)
        name += row.values[i];
    return name;
}

DocumentSelection SelectionOf(const JobRecord& job, const DocumentRow& row, std::size_t shown) {
    return {row.values, ComposeDocumentPaths(job, TableOf(row, shown), shown)};
}

int ProgressHigh(std::span<const DocumentRow> rows) {
    long long pages = 0;
    for (const DocumentRow& row : rows)
        pages += std::max(row.page_count, 0);
    return static_cast<int>(std::min<long long>(pages, INT_MAX));
}

std::uint64_t NeededBytes(const JobRecord& job, std::span<const DocumentRow> rows,
                          std::size_t shown, const DiscoveryPatterns& patterns) {
    std::uint64_t bytes = 0;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        bytes += WalkDocumentFiles(SelectionOf(job, *row, shown), patterns, false).bytes;
    return bytes;
}

// The free-space check: the text id of the refusal, or 0 when there is room.
int CheckFreeSpace(const TransferRunContext& context, std::uint64_t needed_bytes) {
    const std::optional<FreeSpace> space = context.free_space(FreeSpaceRoot(context.job.invioa));
    // A drive reporting no sector size is a failed query, not a division by zero.
    if (!space || space->bytes_per_sector == 0) return text_id::kFreeSpaceError;
    const std::uint64_t needed = needed_bytes / space->bytes_per_sector;
    const std::uint64_t free = space->sectors_per_cluster * space->free_clusters;
    return needed >= free ? text_id::kNoFreeSpace : 0;
}

class Run {
public:
    Run(const TransferRunContext& context, std::size_t shown)
        : context_(context),
          job_(context.job),
          shown_(std::min(shown, kLevelSlots)),
          patterns_(BuildJobDiscoveryPatterns(job_, shown_)) {}

    TransferRunResult Send(std::span<const DocumentRow> rows) {
        TransferProgress& progress = context_.progress;
        progress.SetRange(1, ProgressHigh(rows));
        progress.SetPosition(0);
        progress.ShowBar(true);
        const std::uint64_t needed = NeededBytes(job_, rows, shown_, patterns_);
        progress.SetStatus(context_.texts.Text(text_id::kCheckingFreeSpace));
        if (const int refusal = CheckFreeSpace(context_, needed); refusal != 0) {
            context_.op.Stop(context_.texts.Text(refusal));
        } else {
            result_.success = true;
            for (auto row = rows.rbegin(); row != rows.rend() && result_.success; ++row)
                SendDocument(*row);
            if (!result_.success) context_.op.Stop(context_.texts.Text(text_id::kTransferError));
        }
        progress.ShowBar(false);
        TidyWorkArea(job_.disco_scarico);
        progress.SetStatus(context_.texts.Text(text_id::kTransferFiles));
        if (result_.success && !context_.automatic) {
            context_.op.Inform(context_.texts.Text(text_id::kTransferCompleted));
        }
        return std::move(result_);
    }

private:
    void SendDocument(const DocumentRow& row) {
        SentDocument sent{row, DocumentName(row, shown_)};
        const DocumentSelection document = SelectionOf(job_, row, shown_);
        if (!WorkAreaUnderDestination(job_.disco_scarico, job_.invioa)) {
            context_.progress.SetStatus(context_.texts.Text(text_id::kTransferFiles) + ": " +
                                        sent.name + " ");
            for (const std::string& path : document.paths)
                context_.move(path);
            sent.moved = true;
        }
        sent.left = WalkDocumentFiles(document, patterns_, true).count;
        if (LeadingNumber(job_.log) != 0 && sent.left < row.page_count) Log(sent);
        result_.documents.push_back(std::move(sent));
    }

    void Log(SentDocument& sent) {
        const int number = LeadingNumber(job_.lognumfile) != 0 ? sent.sent() : 0;
        const std::string line =
            TransferLogLine(number, TransferLogText(job_, TableOf(sent.row, shown_)));
        if (const int error = AppendTransferLog(job_.nomefilelog, line); error != 0) {
            context_.op.Stop(TransferLogFailure(error, job_.nomefilelog));
            result_.success = false;
            return;
        }
        sent.logged = true;
    }

    const TransferRunContext& context_;
    const JobRecord& job_;
    std::size_t shown_;
    DiscoveryPatterns patterns_;
    TransferRunResult result_;
};

}  // namespace

std::string FreeSpaceRoot(std::string_view invioa) {
    if (invioa.size() >= 2 && invioa[1] == ':') return std::string(invioa.substr(0, 3));
    return std::string(invioa);
}

std::optional<FreeSpace> QueryFreeSpace(const std::string& path) {
    // The destination tree may not exist yet: its file system is the one of its nearest folder.
    fs::path folder = ToNativeSeparators(path);
    std::error_code error;
    while (!folder.empty() && !fs::is_directory(folder, error)) {
        const fs::path parent = folder.parent_path();
        if (parent == folder) break;
        folder = parent;
    }
    if (folder.empty()) folder = ".";
    struct statvfs stats {};
    if (::statvfs(folder.c_str(), &stats) != 0) return std::nullopt;
    const std::uint64_t sector = stats.f_frsize != 0 ? stats.f_frsize : stats.f_bsize;
    return FreeSpace{1, sector, stats.f_bavail};
}

bool WorkAreaUnderDestination(std::string_view disco_scarico, std::string_view invioa) {
    const std::string area = UpperAscii(ToNativeSeparators(disco_scarico));
    const std::string destination =
        WithoutTrailingSeparators(UpperAscii(ToNativeSeparators(invioa)));
    if (area.rfind(destination, 0) != 0) return false;
    // "/OUT" holds "/OUT/WORK" but not "/OUTBOX".
    return area.size() == destination.size() || destination.empty() ||
           IsSeparator(area[destination.size()]);
}

TransferRunResult RunTransfer(const TransferRunContext& context, std::span<const DocumentRow> rows,
                              std::size_t shown) {
    return Run(context, shown).Send(rows);
}

TransferRunResult SendChosen(TransferModel& model, const TransferRunContext& context) {
    TransferRunResult result = RunTransfer(context, model.chosen(), model.shown_levels());
    model.Refresh();
    return result;
}

}  // namespace scantora
