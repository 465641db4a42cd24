#include "app/program_arguments.h"

#include <array>
#include <utility>

namespace scantora {
namespace {

constexpr std::string_view kUsage =
    "usage: scantora [--setup DIR] [--check | --transfer] [APP=<job> [LEVELS=..] [BC=..] "
    "[BC_EXPORT=..] [BC_TYPE=..]]\n"
    "       scantora [--setup DIR] --batch APP=<job> [LEVELS=a,b,..] [--source NAME]\n"
    "                [--on-existing append|replace|cancel]\n"
    "                [--on-end-of-document continue|next|stop] [--end-of-batch transfer|keep]\n";

template <typename Enum, std::size_t N>
bool Choose(std::string_view value, const std::array<std::pair<std::string_view, Enum>, N>& names,
            Enum& out) {
    for (const auto& [name, choice] : names) {
        if (value != name) continue;
        out = choice;
        return true;
    }
    return false;
}

constexpr std::array<std::pair<std::string_view, ExistingFileAnswer>, 3> kExistingNames{{
    {"append", ExistingFileAnswer::kAppend},
    {"replace", ExistingFileAnswer::kReplace},
    {"cancel", ExistingFileAnswer::kCancel},
}};
constexpr std::array<std::pair<std::string_view, EndOfDocumentAnswer>, 3> kEndOfDocumentNames{{
    {"continue", EndOfDocumentAnswer::kContinue},
    {"next", EndOfDocumentAnswer::kNext},
    {"stop", EndOfDocumentAnswer::kStop},
}};
constexpr std::array<std::pair<std::string_view, EndOfBatchAnswer>, 2> kEndOfBatchNames{{
    {"transfer", EndOfBatchAnswer::kTransfer},
    {"keep", EndOfBatchAnswer::kKeep},
}};

void Refuse(ProgramArguments& args, std::string reason) {
    if (!args.valid) return;
    args.valid = false;
    args.error = std::move(reason);
}

void SetMode(ProgramArguments& args, ProgramMode mode) {
    if (args.mode != ProgramMode::kWindow && args.mode != mode)
        Refuse(args, "--check, --transfer and --batch exclude each other");
    args.mode = mode;
}

// Applies the option `name` with `value`; false when the value is not one it takes.
bool ApplyValued(std::string_view name, std::string_view value, ProgramArguments& args) {
    if (name == "--setup") {
        args.startup.setup_dir = std::string(value);
        return !value.empty();
    }
    if (name == "--source") {
        args.batch.source = std::string(value);
        return !value.empty();
    }
    if (name == "--on-existing") return Choose(value, kExistingNames, args.batch.on_existing);
    if (name == "--on-end-of-document")
        return Choose(value, kEndOfDocumentNames, args.batch.on_end_of_document);
    return Choose(value, kEndOfBatchNames, args.batch.end_of_batch);
}

}  // namespace

bool TakesValue(std::string_view option) {
    return option == "--setup" || option == "--source" || option == "--on-existing" ||
           option == "--on-end-of-document" || option == "--end-of-batch";
}

ProgramArguments ParseProgramArguments(std::span<const std::string_view> arguments) {
    ProgramArguments args;
    if (!arguments.empty()) args.startup.program_path = std::string(arguments.front());
    bool batch_option = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        if (arg == "--check") {
            SetMode(args, ProgramMode::kCheck);
        } else if (arg == "--transfer") {
            SetMode(args, ProgramMode::kTransfer);
        } else if (arg == "--batch") {
            SetMode(args, ProgramMode::kBatch);
        } else if (TakesValue(arg)) {
            batch_option = batch_option || arg != "--setup";
            if (i + 1 >= arguments.size()) {
                Refuse(args, std::string(arg) + " needs a value");
                break;
            }
            const std::string_view value = arguments[++i];
            if (!ApplyValued(arg, value, args))
                Refuse(args, std::string(arg) + " does not take \"" + std::string(value) + "\"");
        } else if (arg.starts_with("--")) {
            Refuse(args, "unknown option " + std::string(arg));
        } else {
            if (!args.startup.command_line.empty()) args.startup.command_line += ' ';
            args.startup.command_line += arg;
        }
    }
    if (batch_option && args.mode != ProgramMode::kBatch)
        Refuse(args, "the batch options need --batch");
    if (args.mode == ProgramMode::kBatch &&
        args.startup.command_line.find("APP=") == std::string::npos)
        Refuse(args, "--batch needs APP=<job>");
    return args;
}

std::string_view ProgramUsage() {
    return kUsage;
}

}  // namespace scantora
