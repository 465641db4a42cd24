// Scantora: the document-capture program.
//
//   scantora [--setup DIR] [--check | --transfer] [APP=<job> [LEVELS=a,b] [BC=n] [BC_EXPORT=f]
//            [BC_TYPE=n]]
//   scantora [--setup DIR] --batch APP=<job> [LEVELS=a,b,..] [--source NAME]
//            [--on-existing append|replace|cancel] [--on-end-of-document continue|next|stop]
//            [--end-of-batch transfer|keep]
//
// --setup replaces the setup directory beside the program; --check goes through start-up and
// job loading without a window and prints the loaded job; --transfer sends the job's documents
// from the work area to the destination (README, "Headless transfer"); --batch scans them
// unattended (README, "Batch mode"). Without a mode the main window opens.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/batch_mode.h"
#include "app/batch_operator.h"
#include "app/console_operator.h"
#include "app/console_progress.h"
#include "app/job_selection.h"
#include "app/job_summary.h"
#include "app/program_arguments.h"
#include "app/startup.h"
#include "app/transfer_command.h"
#include "app/user_language.h"
#include "app/window_program.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Headless stand-in for the selection dialog: takes the first registered job.
bool SelectFirstJob(const scantora::AppState& state, scantora::Operator& op, std::string& path) {
    const scantora::JobSelection selection(state.setup_dir);
    if (selection.entries().empty()) return false;
    const std::string& entry = selection.entries().front();
    op.Inform("Job selection: " + entry);
    return selection.Confirm(entry, path, op);
}

// Start-up and the job: false, with the messages shown, when the program cannot go on.
// `headless_selection` stands in for the selection dialog when the command line names no
// registered job; without it the job must be named.
bool LoadProgram(const scantora::ProgramArguments& args, scantora::AppState& state,
                 scantora::TextLookup& texts, scantora::Operator& op, bool headless_selection) {
    scantora::StartupOptions startup = args.startup;
    startup.locale = scantora::UserLocale();
    if (scantora::StartUp(startup, state, texts, op) != scantora::StartupResult::kOk) return false;
    const auto select = [&](std::string& path) {
        if (headless_selection) return SelectFirstJob(state, op, path);
        op.Stop("APP= names no registered job");
        return false;
    };
    return scantora::LoadJob(state, select, op, texts) == scantora::JobLoadResult::kOk;
}

int RunTransfer(const scantora::ProgramArguments& args) {
    scantora::ConsoleOperator op(std::cin, std::cerr);
    scantora::TextLookup texts;
    scantora::AppState state;
    // Documents are sent only for the job named, never for whichever comes first.
    if (!LoadProgram(args, state, texts, op, false)) return kExitFailure;
    scantora::ConsoleProgress progress(std::cerr);
    const auto outcome =
        scantora::RunTransferCommand(state.utilita.job, texts, op, progress,
                                     scantora::TransferChoiceOf(state.preset_levels), std::cout);
    return outcome == scantora::TransferOutcome::kSent ? 0 : kExitFailure;
}

int RunBatch(const scantora::ProgramArguments& args) {
    scantora::TextLookup texts;
    scantora::AppState state;
    scantora::BatchOperator op(args.batch, texts, false, std::cerr);
    // A batch scans only into the job it names, never into whichever comes first.
    if (!LoadProgram(args, state, texts, op, false)) return kExitFailure;
    // Every document of the work area, not those of LEVELS=; its lines go to stderr, as stdout
    // holds the batch's own.
    scantora::ConsoleProgress progress(std::cerr);
    const scantora::EndOfBatchTransfer transfer = [&] {
        return scantora::RunTransferCommand(state.utilita.job, texts, op, progress, {},
                                            std::cerr) == scantora::TransferOutcome::kSent;
    };
    const auto control = scantora::MakeImagingControl();
    return scantora::RunBatch(state, texts, {args.batch, *control, op, transfer}, std::cout);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> words(argv, argv + argc);
    const scantora::ProgramArguments args = scantora::ParseProgramArguments(words);
    if (!args.valid) {
        std::cerr << "scantora: " << args.error << '\n' << scantora::ProgramUsage();
        return kExitUsage;
    }
    if (args.mode == scantora::ProgramMode::kBatch) return RunBatch(args);
    if (args.mode == scantora::ProgramMode::kTransfer) return RunTransfer(args);
    if (args.mode == scantora::ProgramMode::kWindow) {
        scantora::StartupOptions startup = args.startup;
        startup.locale = scantora::UserLocale();
        return scantora::RunWindowProgram(argc, argv, startup);
    }
    scantora::ConsoleOperator op(std::cin, std::cerr);
    scantora::TextLookup texts;
    scantora::AppState state;
    if (!LoadProgram(args, state, texts, op, true)) return kExitFailure;
    std::cout << scantora::DescribeJob(state, texts);
    return 0;
}
