// The transfer run that "Invia" starts: sends the documents chosen in the transfer dialog from
// the work area to the destination tree, after checking the destination's free space, and
// writes one transfer log line per document sent.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/job_record.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"
#include "transfer/transfer_model.h"
#include "transfer/transfer_progress.h"

namespace scantora {

// The free space of a drive, counted as the file system reports it.
struct FreeSpace {
    std::uint64_t sectors_per_cluster = 0;
    std::uint64_t bytes_per_sector = 0;
    std::uint64_t free_clusters = 0;
};

// What the free space is asked of for INVIOA: its first three characters when the second is
// ":" (a drive root), otherwise all of it.
std::string FreeSpaceRoot(std::string_view invioa);

// The free space of the file system that holds `path` (its nearest existing folder), as
// statvfs gives it to an unprivileged writer; nothing when it cannot be had.
std::optional<FreeSpace> QueryFreeSpace(const std::string& path);

// Whether the work area lies at or below the destination (both compared in upper case, folder
// by folder): then a move would put every file back where it is, and nothing is moved.
bool WorkAreaUnderDestination(std::string_view disco_scarico, std::string_view invioa);

// Moves the files of the document at `document_path` to INVIOA; MoveFiles2 with "/s" in the
// program. The result is not used.
using DocumentMove = std::function<int(const std::string& document_path)>;
using FreeSpaceQuery = std::function<std::optional<FreeSpace>(const std::string& path)>;

struct TransferRunContext {
    const JobRecord& job;
    const InterfaceTexts& texts;
    Operator& op;
    TransferProgress& progress;
    DocumentMove move;
    FreeSpaceQuery free_space = QueryFreeSpace;
    // Opened for the automatic transfer: no completion message.
    bool automatic = false;
};

// What the run did with one document.
struct SentDocument {
    DocumentRow row;
    std::string name;     // the shown values one after the other, as the status field shows it
    int left = 0;         // the document's page files still in the work area after its move
    bool moved = false;   // a move was made (not when the work area is under the destination)
    bool logged = false;  // its log line was written

    int sent() const { return row.page_count > left ? row.page_count - left : 0; }
};

struct TransferRunResult {
    bool success = false;                 // the run's success mark
    std::vector<SentDocument> documents;  // in the order handled: the last row first
};

// Sends `rows` (the chosen list, `shown` levels each) as the transfer run does, with its
// messages through the operator and its progress and status through `context.progress`.
TransferRunResult RunTransfer(const TransferRunContext& context, std::span<const DocumentRow> rows,
                              std::size_t shown);

// The run over the model's chosen list, then the model's refresh: the lists show what is left.
TransferRunResult SendChosen(TransferModel& model, const TransferRunContext& context);

}  // namespace scantora
