#include "tools/number_argument.h"

#include <cerrno>
#include <cstdlib>

namespace pixdoc::tools {

bool ParseNumber(const char* text, int base, long min, long max, long& out) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, base);
    if (errno != 0 || end == text || *end != '\0' || value < min || value > max) return false;
    out = value;
    return true;
}

}  // namespace pixdoc::tools
