// `scantora --transfer`: the transfer dialog without a window. Opens the transfer model over the
// job's work area, chooses every document (or those whose shown levels show the LEVELS= codes),
// runs the transfer with its messages on the console and prints what it sent.
//
// Output, one line per document that had pages sent, then one summary line (fields separated by
// tabs):
//   sent  <level 1 value> ... <level n value>  <pages sent>  <pages listed>
//   total <documents sent>  <pages sent>  <pages left in the work area>
#pragma once

#include <ostream>

#include "app/command_line.h"
#include "transfer/transfer_run.h"

namespace scantora {

// The codes LEVELS= gives, level 1 first, and how many there are.
struct TransferChoice {
    LevelValues codes;
    std::size_t levels = 0;
};
TransferChoice TransferChoiceOf(const PresetLevels& preset);

// Chooses the documents of `choice` in `model` (every document when it has no codes); returns
// how many were chosen.
std::size_t ChooseForTransfer(TransferModel& model, const TransferChoice& choice);

// The lines of the output for `result`.
void PrintTransferResult(const TransferRunResult& result, std::size_t shown, std::ostream& out);

enum class TransferOutcome { kSent, kFailed, kNothingChosen };

// Runs the transfer of `job` over the documents of `choice`, with `move` for each document; the
// success mark gives kSent. Nothing is run when no document is chosen.
TransferOutcome RunTransferCommand(const JobRecord& job, const InterfaceTexts& texts, Operator& op,
                                   TransferProgress& progress, const TransferChoice& choice,
                                   const DocumentMove& move, std::ostream& out);

// The same with the program's move (MoveFiles2 with the job's barcode export).
TransferOutcome RunTransferCommand(const JobRecord& job, const InterfaceTexts& texts, Operator& op,
                                   TransferProgress& progress, const TransferChoice& choice,
                                   std::ostream& out);

}  // namespace scantora
