// Fuzzes the headless transfer's command line: the program's arguments (NUL-separated), the job
// items they leave, the LEVELS= codes and the choice of documents they make. Traps when an
// argument is lost, a code outgrows its bound or a choice names levels it was not given.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/program_arguments.h"
#include "app/transfer_command.h"
#include "config/text_encoding.h"

namespace {

using namespace scantora;

constexpr std::size_t kMaxArguments = 64;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> arguments = {"scantora"};
    while (!input.empty() && arguments.size() < kMaxArguments) {
        const std::size_t end = std::min(input.find('\0'), input.size());
        arguments.push_back(input.substr(0, end));
        input.remove_prefix(std::min(end + 1, input.size()));
    }
    const ProgramArguments args = ParseProgramArguments(arguments);
    Require(args.startup.program_path == "scantora");

    // Every argument that is not an option reaches the command line, in order.
    std::size_t at = 0;
    for (std::size_t i = 1; i < arguments.size() && args.valid; ++i) {
        if (TakesValue(arguments[i])) {
            ++i;
            continue;
        }
        if (arguments[i].starts_with("--")) continue;
        at = args.startup.command_line.find(arguments[i], at);
        Require(at != std::string::npos);
        at += arguments[i].size();
    }

    const PresetLevels preset = ParsePresetLevels(args.startup.command_line);
    const TransferChoice choice = TransferChoiceOf(preset);
    Require(choice.levels <= kLevelSlots);
    for (std::size_t i = 0; i < kLevelSlots; ++i) {
        Require(CharCount(choice.codes[i]) <= kPresetCodeChars);
        Require((i < choice.levels) == !choice.codes[i].empty());
    }
    if (const auto request = ParseJobRequest(args.startup.command_line)) {
        Require(request->options.size() <= args.startup.command_line.size());
    }

    // A row that shows the codes is chosen by them, whatever the case of its letters.
    DocumentRow row;
    for (std::size_t i = 0; i < choice.levels; ++i)
        row.values[i] = UpperAscii(choice.codes[i]);
    Require(RowShows(row, choice.codes, choice.levels));
    return 0;
}
