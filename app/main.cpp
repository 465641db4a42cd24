// Scantora: the document-capture program.
//
//   scantora [--setup DIR] [--check] [APP=<job> [LEVELS=a,b] [BC=n] [BC_EXPORT=f] [BC_TYPE=n]]
//
// --setup replaces the setup directory beside the program; --check goes through start-up and
// job loading without a window and prints the loaded job.
#include <iostream>
#include <string>
#include <string_view>

#include "app/console_operator.h"
#include "app/job_selection.h"
#include "app/job_summary.h"
#include "app/startup.h"
#include "app/user_language.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct Arguments {
    scantora::StartupOptions startup;
    bool check = false;
    bool valid = true;
};

Arguments ParseArguments(int argc, char** argv) {
    Arguments args;
    args.startup.program_path = argc > 0 ? argv[0] : "";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--check") {
            args.check = true;
        } else if (arg == "--setup" && i + 1 < argc) {
            args.startup.setup_dir = argv[++i];
        } else if (arg.rfind("--", 0) == 0) {
            args.valid = false;
        } else {
            if (!args.startup.command_line.empty()) args.startup.command_line += ' ';
            args.startup.command_line += arg;
        }
    }
    return args;
}

// Headless stand-in for the selection dialog: takes the first registered job.
bool SelectFirstJob(const scantora::AppState& state, scantora::Operator& op, std::string& path) {
    const scantora::JobSelection selection(state.setup_dir);
    if (selection.entries().empty()) return false;
    const std::string& entry = selection.entries().front();
    op.Inform("Job selection: " + entry);
    return selection.Confirm(entry, path, op);
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args = ParseArguments(argc, argv);
    if (!args.valid) {
        std::cerr << "usage: scantora [--setup DIR] [--check] [APP=<job> [LEVELS=..] [BC=..] "
                     "[BC_EXPORT=..] [BC_TYPE=..]]\n";
        return kExitUsage;
    }
    if (!args.check) {
        std::cerr << "scantora: the main window is not part of this build; use --check\n";
        return kExitUsage;
    }
    args.startup.locale = scantora::UserLocale();
    scantora::ConsoleOperator op(std::cin, std::cerr);
    scantora::TextLookup texts;
    scantora::AppState state;
    if (scantora::StartUp(args.startup, state, texts, op) != scantora::StartupResult::kOk)
        return kExitFailure;
    const auto select = [&](std::string& path) { return SelectFirstJob(state, op, path); };
    if (scantora::LoadJob(state, select, op, texts) != scantora::JobLoadResult::kOk)
        return kExitFailure;
    std::cout << scantora::DescribeJob(state, texts);
    return 0;
}
