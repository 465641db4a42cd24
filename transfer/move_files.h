// MOVEFILES2: moves the page files of one document from the work area to the destination tree,
// keeping their relative paths, with the job's barcode export and semaphore files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "config/job_record.h"
#include "operator/operator.h"
#include "transfer/barlynx_wrapper.h"
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
};

// Moves every file whose path begins with `source_prefix` and matches the job's selection
// pattern to `destination_root`; `options` "/s" descends into subdirectories. Returns the
// number of entries handled, or -1 when the last file failed.
int MoveFiles2(const MoveContext& context, const std::string& source_prefix,
               const std::string& destination_root, const std::string& options);

}  // namespace scantora
