#include "tools/pixdoc_decode_colour.h"

#include <cstdio>
#include <fstream>
#include <string>

#include "imaging/colour/colour_edit.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int32_t kWhite = 255;
constexpr int32_t kMergeNoMemory = 4;
constexpr int32_t kMergeDecodeFailed = 6;

int Fail(const std::string& message) {
    std::fprintf(stderr, "pixdoc-decode: %s\n", message.c_str());
    return kExitFailure;
}

bool WritePpm(const char* path, const pixdoc::ColourEditState& edit) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << "P6\n" << edit.width << ' ' << edit.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(edit.pixels.data()),
              std::streamsize(static_cast<size_t>(edit.width) * edit.height * 3));
    return bool(out.flush());
}

// Ends the edit buffer however the page ends.
struct EditGuard {
    ~EditGuard() { PX_ColorEditEnd(0); }
};

}  // namespace

int WriteColourPage(const char* file, int32_t page, const ImageHeader& header, const char* out) {
    const std::string where = std::string(file) + ": page " + std::to_string(page);
    if (PX_StartColorEdit(header.width, header.height, kWhite, kWhite, kWhite) != 0)
        return Fail(where + ": no memory for " + std::to_string(header.width) + " x " +
                    std::to_string(header.height) + " pixels");
    EditGuard guard;
    const int32_t merged = PX_ColorEditMergeImageEx(file, page, -1, -1, -1, -1, -1, -1, -1, -1);
    if (merged != 0 && merged != kMergeDecodeFailed)
        return Fail(where + (merged == kMergeNoMemory ? ": no memory" : ": not readable") +
                    " (merge result " + std::to_string(merged) + ", " +
                    PX_GetColorErrorText(PX_GetColorError()) + ")");
    if (!WritePpm(out, pixdoc::ColourEdit())) return Fail(std::string("cannot write ") + out);
    if (merged == kMergeDecodeFailed)
        return Fail(where + ": decoding stopped (" + PX_GetColorErrorText(PX_GetColorError()) +
                    "), the rest is white");
    return 0;
}
