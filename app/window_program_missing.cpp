// A build without the Qt views has no window to offer.
#include <iostream>

#include "app/window_program.h"

namespace scantora {

int RunWindowProgram(int, char**, const StartupOptions&) {
    constexpr int kExitUsage = 2;
    std::cerr << "scantora: built without its window; use --check\n";
    return kExitUsage;
}

}  // namespace scantora
