// Command-line parsing shared by the page tools: "[--page N] FILE...".
#pragma once

#include <cstdint>
#include <vector>

namespace pixdoc::tools {

struct PageArguments {
    int32_t page = 1;                // from --page, 1 when absent
    std::vector<const char*> files;  // the positional arguments, in order
};

// Fills `args`; false for a --page without a whole number from 1 up.
bool ParsePageArguments(int argc, char** argv, PageArguments& args);

}  // namespace pixdoc::tools
