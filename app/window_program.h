// The program with its main window: provided by the Qt views when they are built, so that the
// program's start (main.cpp) needs no toolkit of its own.
#pragma once

#include "app/startup.h"

namespace scantora {

// Starts up with `options`, opens the main window maximised on the loaded job and runs until
// it closes. Returns the program's exit status.
int RunWindowProgram(int argc, char** argv, const StartupOptions& options);

}  // namespace scantora
