// The program's arguments:
//
//   scantora [--setup DIR] [--check | --transfer] [APP=<job> [LEVELS=a,b] [BC=n] [BC_EXPORT=f]
//            [BC_TYPE=n]]
//   scantora [--setup DIR] --batch APP=<job> [LEVELS=a,b,..] [--source NAME]
//            [--on-existing append|replace|cancel] [--on-end-of-document continue|next|stop]
//            [--end-of-batch transfer|keep]
//
// --setup replaces the setup directory beside the program; --check goes through start-up and
// job loading without a window and prints the loaded job; --transfer sends the job's documents
// from the work area without a window; --batch scans them without a window (README, "Batch
// mode"). Every other argument belongs to the command line of job items, joined by blanks.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "app/startup.h"

namespace scantora {

// Answers the batch mode gives in place of the operator.
enum class ExistingFileAnswer { kAppend, kReplace, kCancel };  // buttons 1, 2, 3
enum class EndOfDocumentAnswer { kContinue, kNext, kStop };    // buttons 1, 2, 3
enum class EndOfBatchAnswer { kTransfer, kKeep };              // "Fine Batch?" Yes, No

struct BatchOptions {
    std::string source;  // a source name, a SANE device name or "folder:DIR"; empty: the job's
    ExistingFileAnswer on_existing = ExistingFileAnswer::kAppend;
    EndOfDocumentAnswer on_end_of_document = EndOfDocumentAnswer::kNext;
    EndOfBatchAnswer end_of_batch = EndOfBatchAnswer::kKeep;
};

enum class ProgramMode { kWindow, kCheck, kTransfer, kBatch };

struct ProgramArguments {
    StartupOptions startup;  // the program, --setup and the job items
    ProgramMode mode = ProgramMode::kWindow;
    BatchOptions batch;
    bool valid = true;
    std::string error;  // why the arguments are not valid
};

// `arguments` as main receives them, the program first. Not valid: an unknown option, an option
// without its value or with a value it does not take, two modes, batch options without --batch,
// --batch without APP=.
ProgramArguments ParseProgramArguments(std::span<const std::string_view> arguments);

// Whether `option` takes the next argument as its value.
bool TakesValue(std::string_view option);

// The usage text, for arguments that are not valid.
std::string_view ProgramUsage();

}  // namespace scantora
