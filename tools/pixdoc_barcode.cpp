// pixdoc-barcode: searches pages for barcodes as the barcode reader control does and prints one
// line per file: FILE<TAB>RESULT, RESULT being the raw result text with position suffixes,
// non-printable bytes and backslash written as \xNN. Colour and grey pages are merged into a
// white colour edit buffer of the page's size and searched there with the grey threshold.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "pixdoc32.h"
#include "tools/escaped_text.h"
#include "tools/file_arguments.h"
#include "tools/number_argument.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kResultCapacity = INT16_MAX;  // the search takes a 16-bit buffer size
constexpr int32_t kNothingFound = 32;
constexpr int32_t kNotBilevel = 3;
constexpr int32_t kWholePage = -1;
constexpr int32_t kWhite = 255;

constexpr const char* kUsage =
    "usage: pixdoc-barcode [--page N] [--mask M] [--direction D] [--zone H] [--min-length L]\n"
    "                      [--max-results N] [--threshold T1] [--threshold2 T2] [--span S]\n"
    "                      [--grey G] [--adaptive] FILE...\n";

// The one option without a value: the library's adaptive search.
constexpr std::string_view kAdaptiveOption = "--adaptive";

// The reader control's values.
struct Settings {
    long page = 1;
    long mask = 2047;
    long direction = 0;
    long zone = 100;
    long min_length = 4;
    long max_results = 32;
    long threshold = 0;
    long threshold2 = 0;
    long span = 4;
    long grey = 128;  // grey threshold of the colour search
};

struct Option {
    const char* name;
    long Settings::*field;
    long min;
    long max;
};

constexpr Option kOptions[] = {
    {"--page", &Settings::page, 1, INT16_MAX},
    {"--mask", &Settings::mask, 0, UINT16_MAX},
    {"--direction", &Settings::direction, INT16_MIN, INT16_MAX},
    {"--zone", &Settings::zone, 0, INT16_MAX},
    {"--min-length", &Settings::min_length, INT16_MIN, INT16_MAX},
    {"--max-results", &Settings::max_results, INT16_MIN, INT16_MAX},
    {"--threshold", &Settings::threshold, INT16_MIN, INT16_MAX},
    {"--threshold2", &Settings::threshold2, INT16_MIN, INT16_MAX},
    {"--span", &Settings::span, INT16_MIN, INT16_MAX},
    {"--grey", &Settings::grey, 0, 255},
};

const char* SearchError(int32_t result) {
    switch (result) {
        case 1:
            return "cannot read the page";
        case 2:
            return "the symbology mask is empty";
        case 4:
            return "the page cannot be decoded (decoder set-up or memory)";
        default:
            return "search failed";
    }
}

const char* ColourSearchError(int32_t result) {
    switch (result) {
        case 2:
            return "the symbology mask is empty";
        case 3:
            return "no memory for the colour search";
        default:
            return "colour search failed";
    }
}

int16_t S16(long v) {
    return static_cast<int16_t>(v);
}

int32_t Fail(const char* file, const char* what, int32_t r) {
    std::fprintf(stderr, "pixdoc-barcode: %s: %s (%d)\n", file, what, r);
    return r;
}

// The reader control's colour path: a white buffer of the page's size, the whole page merged
// into it, the search, and the buffer ended whatever happened. The search's result, or the
// failing step's (reported).
int32_t SearchColour(const char* file, const Settings& s, std::vector<char>& result) {
    int32_t width = 0, height = 0;
    int32_t r = PXGetImageInfoExtended(file, static_cast<int32_t>(s.page), &width, &height, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr);
    if (r != 0) return Fail(file, "cannot read the page", r);
    r = PX_StartColorEdit(width, height, kWhite, kWhite, kWhite);
    if (r != 0) return Fail(file, "cannot start the colour edit buffer", r);
    r = PX_ColorEditMergeImageEx(file, static_cast<int32_t>(s.page), kWholePage, kWholePage,
                                 kWholePage, kWholePage, kWholePage, kWholePage, kWholePage,
                                 kWholePage);
    if (r == 0) {
        r = PX_ColorEditSeekBarCode(
            0, 0, width, height, static_cast<int32_t>(s.direction),
            static_cast<int16_t>(static_cast<uint16_t>(s.mask)), S16(s.threshold),
            S16(s.threshold2), S16(s.span), S16(s.min_length), S16(s.max_results), result.data(),
            static_cast<int32_t>(result.size()), static_cast<int32_t>(s.grey));
        if (r != 0 && r != kNothingFound) Fail(file, ColourSearchError(r), r);
    } else {
        Fail(file, "cannot merge the page", r);
    }
    PX_ColorEditEnd(0);
    return r;
}

// Searches one file; false (with a message) when the search could not run.
bool Search(const char* file, const Settings& s, std::vector<char>& result) {
    int32_t r =
        PXinSeekBarCode(file, S16(s.page), 0, 0, 0, 0, S16(s.direction),
                        static_cast<int16_t>(static_cast<uint16_t>(s.mask)), S16(s.threshold),
                        S16(s.threshold2), S16(s.span), S16(s.min_length), S16(s.max_results),
                        result.data(), S16(static_cast<long>(result.size())));
    if (r == kNotBilevel) {
        r = SearchColour(file, s, result);
        if (r != 0 && r != kNothingFound) return false;
    } else if (r != 0 && r != kNothingFound) {
        Fail(file, SearchError(r), r);
        return false;
    }
    if (r == kNothingFound) result[0] = '\0';
    std::printf("%s\t%s\n", file, pixdoc::tools::EscapedText(result.data()).c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    bool adaptive = false;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.size() < 2 || arg.substr(0, 2) != "--") {
            files.push_back(argv[i]);
            continue;
        }
        if (arg == "--") {
            for (++i; i < argc; ++i)
                files.push_back(argv[i]);
            break;
        }
        if (arg == kAdaptiveOption) {
            adaptive = true;
            continue;
        }
        const Option* option = nullptr;
        std::string_view value;
        for (const Option& o : kOptions) {
            std::string_view name = o.name;
            if (arg == name && i + 1 < argc) {
                option = &o;
                value = argv[++i];
            } else if (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                       arg[name.size()] == '=') {
                option = &o;
                value = arg.substr(name.size() + 1);
            }
            if (option) break;
        }
        if (!option) {
            std::fprintf(stderr, "pixdoc-barcode: unknown or incomplete option %s\n%s", argv[i],
                         kUsage);
            return kExitUsage;
        }
        std::string v(value);
        if (!pixdoc::tools::ParseNumber(v.c_str(), 0, option->min, option->max,
                                        s.*(option->field))) {
            std::fprintf(stderr, "pixdoc-barcode: %s: not a number from %ld to %ld: %s\n",
                         option->name, option->min, option->max, v.c_str());
            return kExitUsage;
        }
    }
    if (files.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    for (const char* file : files)
        if (!pixdoc::tools::CheckFileArgument("pixdoc-barcode", file))
            return pixdoc::tools::kExitRefusedName;

    PXinSeekBarCodeInsertData(1);
    BarcodeMultipleSetZoneHeight(static_cast<int32_t>(s.zone));
    PXinSeekBarCodeAdaptive(adaptive ? 1 : 0);
    std::vector<char> result(kResultCapacity);
    bool all_searched = true;
    for (const char* file : files)
        all_searched = Search(file, s, result) && all_searched;
    return all_searched ? EXIT_SUCCESS : EXIT_FAILURE;
}
