#include "app/program_arguments.h"

namespace scantora {

namespace {

void SetMode(ProgramArguments& args, ProgramMode mode) {
    if (args.mode != ProgramMode::kWindow && args.mode != mode) args.valid = false;
    args.mode = mode;
}

}  // namespace

ProgramArguments ParseProgramArguments(std::span<const std::string_view> arguments) {
    ProgramArguments args;
    if (!arguments.empty()) args.startup.program_path = arguments.front();
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        if (arg == "--check") {
            SetMode(args, ProgramMode::kCheck);
        } else if (arg == "--transfer") {
            SetMode(args, ProgramMode::kTransfer);
        } else if (arg == "--setup") {
            if (i + 1 >= arguments.size()) {
                args.valid = false;
                break;
            }
            args.startup.setup_dir = std::string(arguments[++i]);
        } else if (arg.starts_with("--")) {
            args.valid = false;
        } else {
            if (!args.startup.command_line.empty()) args.startup.command_line += ' ';
            args.startup.command_line += arg;
        }
    }
    return args;
}

}  // namespace scantora
