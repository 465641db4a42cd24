#include "tools/file_arguments.h"

#include <cstdio>

#include "imaging/io/special_names.h"

namespace pixdoc::tools {

bool CheckFileArgument(const char* tool, const char* name) {
    if (!files::IsSpecialName(name)) return true;
    std::fprintf(stderr,
                 "%s: %s: names beginning with MD:, ML: or TH: are not taken as files; "
                 "write ./%s for a file of that name\n",
                 tool, name, name);
    return false;
}

}  // namespace pixdoc::tools
