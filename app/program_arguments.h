// The program's arguments:
//   scantora [--setup DIR] [--check | --transfer] [APP=<job> [LEVELS=a,b] [BC=n] ...]
// --setup replaces the setup directory beside the program; --check goes through start-up and
// job loading without a window and prints the loaded job; --transfer sends the job's documents
// from the work area without a window (app/transfer_command.h). Every other argument belongs to
// the command line of job items, joined by blanks.
#pragma once

#include <span>
#include <string_view>

#include "app/startup.h"

namespace scantora {

enum class ProgramMode { kWindow, kCheck, kTransfer };

struct ProgramArguments {
    StartupOptions startup;
    ProgramMode mode = ProgramMode::kWindow;
    bool valid = true;  // false for an unknown option, --setup without its folder, or two modes
};

// `arguments` as main receives them, the program first.
ProgramArguments ParseProgramArguments(std::span<const std::string_view> arguments);

}  // namespace scantora
