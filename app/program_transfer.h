// The transfer as the program runs it: the run over the transfer model's chosen documents, each
// moved with MOVEFILES2 and, while BARCODE is on, its pages' export lines written through the
// reader control.
#pragma once

#include <functional>

#include "barcode_control/barlynx.h"
#include "config/job_record.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"
#include "transfer/discovery_patterns.h"
#include "transfer/transfer_model.h"
#include "transfer/transfer_progress.h"
#include "transfer/transfer_run.h"

namespace scantora {

// Calls `send` with the program's move of one document: MOVEFILES2 selecting by `selection` and,
// while BARCODE is on, writing its pages' export lines through the reader control (`correction`,
// may be null, is its Reject Correction dialog). When BARCODE is on and the reader control cannot
// be created, the message is shown, `send` is not called and the result is false: pages sent
// without their export lines would never get them.
bool WithProgramMove(const JobRecord& job, Operator& op, TransferProgress& progress,
                     const DiscoveryPatterns& selection, barlynx::CorrectionDialog* correction,
                     const std::function<void(const DocumentMove&)>& send);

// Sends the chosen documents of `model` (opened over `job`) and refreshes it. `correction` (may
// be null) is the reader control's Reject Correction dialog. When BARCODE is on and the reader
// control cannot be created, nothing is sent: pages sent without their export lines would never
// get them.
TransferRunResult SendWithProgramMove(TransferModel& model, const JobRecord& job,
                                      const InterfaceTexts& texts, Operator& op,
                                      TransferProgress& progress,
                                      barlynx::CorrectionDialog* correction = nullptr);

}  // namespace scantora
