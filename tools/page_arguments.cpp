#include "tools/page_arguments.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace pixdoc::tools {
namespace {

bool ParsePage(const char* text, int32_t& page) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > INT32_MAX) return false;
    page = static_cast<int32_t>(value);
    return true;
}

}  // namespace

bool ParsePageArguments(int argc, char** argv, PageArguments& args) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--page") == 0) {
            if (++i >= argc || !ParsePage(argv[i], args.page)) return false;
        } else {
            args.files.push_back(argv[i]);
        }
    }
    return true;
}

}  // namespace pixdoc::tools
