#include "tools/page_arguments.h"

#include "tools/number_argument.h"

#include <climits>
#include <cstring>

namespace pixdoc::tools {
namespace {

bool ParsePage(const char* text, int32_t& page) {
    long value = 0;
    if (!ParseNumber(text, 10, 1, INT32_MAX, value)) return false;
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
