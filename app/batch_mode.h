// The batch mode: the start command run unattended on the loaded job, answered by the command
// line's choices and started again after every separator sheet, until the source has no more
// pages. One line per saved page and a summary go to `out`; messages to the operator's stream.
#pragma once

#include <ostream>

#include "acquisition/acquisition_loop.h"
#include "acquisition/scanner/imaging_control.h"
#include "app/app_state.h"
#include "app/batch_operator.h"
#include "app/program_arguments.h"
#include "app/text_lookup.h"

namespace scantora {

inline constexpr int kBatchExitOk = 0;
inline constexpr int kBatchExitFailed = 1;

// What a batch needs besides the loaded job.
struct BatchRunParts {
    const BatchOptions& options;
    ImagingControl& control;
    BatchOperator& op;
    // The transfer "Fine Batch?" leads to; empty when this build has none.
    EndOfBatchTransfer transfer;
};

// Runs the batch; returns kBatchExitOk when it ended normally (an empty feeder, an answer that
// ends it), kBatchExitFailed when an error stopped it or the transfer failed.
int RunBatch(AppState& state, const TextLookup& texts, BatchRunParts parts, std::ostream& out);

}  // namespace scantora
