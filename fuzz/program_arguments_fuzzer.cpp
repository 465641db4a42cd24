// Fuzzes the program's arguments, the batch mode's options among them, with arbitrary words:
// the parser must never fail to decide, and what it accepts must hold together. Any breach
// traps.
//
// Input: the arguments, separated by NUL bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/program_arguments.h"

namespace {

using namespace scantora;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

// The program's name, then the words of the input.
std::vector<std::string_view> Words(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string_view> words = {"scantora"};
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (;;) {
        const std::size_t end = std::min(input.find('\0'), input.size());
        words.push_back(input.substr(0, end));
        if (end == input.size()) break;
        input.remove_prefix(end + 1);
    }
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> words = Words(data, size);
    const ProgramArguments args = ParseProgramArguments(words);
    Require(args.valid == args.error.empty());
    if (!args.valid) return 0;
    // Accepted: every word is the program's own or one of the job items, in order.
    std::string items;
    bool batch = false;
    bool batch_option = false;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == "--batch") batch = true;
        if (TakesValue(word)) {
            batch_option = batch_option || word != "--setup";
            ++i;
            continue;
        }
        if (word.starts_with("--")) continue;
        if (!items.empty()) items += ' ';
        items += word;
    }
    Require(args.startup.command_line == items);
    Require((args.mode == ProgramMode::kBatch) == batch);
    Require(!batch_option || batch);
    if (batch) Require(items.find("APP=") != std::string::npos);
    Require(!args.startup.setup_dir || !args.startup.setup_dir->empty());
    return 0;
}
