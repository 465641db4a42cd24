// MOVEFILES2: moves the page files of one document from the work area to the destination tree,
// keeping their relative paths, with the job's barcode export and semaphore files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "config/job_record.h"
#include "operator/operator.h"
#include "transfer/barlynx_wrapper.h"
#include "transfer/discovery_patterns.h"
#include "transfer/transfer_progress.h"

namespace scantora {

// Reads page `page` of `file` with the reader control, writing the export lines named in
// `exports`; the move makes one call per page of every file it moves while BARCODE is not 0.
using PageExport = std::function<BarcodeRead(const std::string& file, int16_t page,
                                             const BarcodeExports& exports)>;

// What a move needs besides its paths. All of it must outlive the call.
struct MoveContext {
    const JobRecord& job;
    Operator& op;
    TransferProgress& progress;
    // Empty: no barcode export, whatever BARCODE says.
    PageExport page_export;
    // The MADRE patterns of the transfer dialog (TransferModel::patterns()); null: those of
    // the levels a transfer that is not automatic shows.
    const DiscoveryPatterns* selection = nullptr;
};

// The destination root that moves nothing: files are counted and left where they are.
inline constexpr std::string_view kBinDestination = "CESTINA";

// Moves every file whose path begins with `source_prefix` (ignoring case in the file-name part;
// "\" and "/" alike) and matches the selection to the same path relative to DISCO_SCARICO under
// `destination_root`, with its file name in upper case; `options` "/s" descends into
// subdirectories. A page is removed from the work area only once it lies whole and durable at
// the destination; a page that cannot move stays in the work area, with any older destination
// file as it was. Returns the number of files moved, or -1 when the last file handled did not
// move.
int MoveFiles2(const MoveContext& context, const std::string& source_prefix,
               const std::string& destination_root, const std::string& options);

// The export the program runs during a move: `barlynx` reads each page as ReadPage does, with
// the job's properties. Both must outlive the export.
PageExport BarlynxPageExport(CBarlynx& barlynx, const JobRecord& job);

}  // namespace scantora
