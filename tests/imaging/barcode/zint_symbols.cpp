#include "tests/imaging/barcode/zint_symbols.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace pixdoc::barcode::testing {

std::vector<bool> SymbolModules(const std::string& name) {
    const std::string path = std::string(TEST_FIXTURE_DIR) + "/symbologies/" + name + ".dump";
    std::ifstream in(path);
    if (!in) throw std::runtime_error("missing fixture " + path);
    std::vector<bool> modules;
    char c;
    while (in.get(c)) {
        int nibble;
        if (c >= '0' && c <= '9') {
            nibble = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            nibble = c - 'A' + 10;
        } else {
            continue;
        }
        for (int bit = 3; bit >= 0; --bit)
            modules.push_back(((nibble >> bit) & 1) != 0);
    }
    while (!modules.empty() && !modules.back())
        modules.pop_back();
    return modules;
}

std::vector<int> ElementsFromModules(const std::vector<bool>& modules, int scale) {
    std::vector<int> elements;
    for (size_t i = 0; i < modules.size();) {
        size_t j = i;
        while (j < modules.size() && modules[j] == modules[i])
            ++j;
        elements.push_back(static_cast<int>(j - i) * scale);
        i = j;
    }
    return elements;
}

std::vector<int> SymbolElements(const std::string& name, int scale) {
    return ElementsFromModules(SymbolModules(name), scale);
}

std::string MarkedBackwards(std::string text) {
    if (!text.empty()) text[0] = static_cast<char>(text[0] | 0x80);
    return text;
}

}  // namespace pixdoc::barcode::testing
