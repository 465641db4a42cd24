// Fuzzes the header probes (OpenImageHeader for three pages, GetTiffPages) over the input as a
// sized "MD:" memory image and as a disk file (which also reaches the multi-strip tables and
// the disk-only fixed-header format), then decodes every recognised bilevel page with
// Decompress into a bounded output rectangle.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/files/header_state.h"
#include "imaging/io/file_access.h"
#include "pixdoc32.h"

namespace {

using namespace pixdoc::files;

constexpr int32_t kPagesTried = 3;
// Pages beyond these sizes are not decoded: the decoder's work grows with the page, not with
// the input, and the fuzzer looks for faults, not for slow pages.
constexpr int32_t kMaxDecodedSide = 4096;
constexpr int32_t kMaxOutputSide = 512;
// More Decompress calls than the bands of the output can need means a loop that never ends.
constexpr int32_t kMaxDecompressCalls = 4096;
constexpr int32_t kBandReady = 4;

void DecodePage(const std::string& name, const ImageHeader& opened) {
    if (opened.compression >= PX_CODE_BMP || opened.width <= 0 || opened.height <= 0 ||
        opened.width > kMaxDecodedSide || opened.height > kMaxDecodedSide)
        return;
    ImageHeader h = opened;
    h.handle = FileOpen(name.c_str());
    if (h.handle == kInvalidHandle) return;
    h.output_width = std::min((opened.width + 7) / 8 * 8, kMaxOutputSide);
    h.output_height = std::min(opened.height, kMaxOutputSide);
    h.horizontal_scale = static_cast<int32_t>(2048LL * h.output_width / opened.width);
    h.vertical_scale = static_cast<int32_t>(2048LL * h.output_height / opened.height);
    if (h.horizontal_scale < 1) h.horizontal_scale = 1;
    if (h.vertical_scale < 1) h.vertical_scale = 1;
    h.options = opened.width & 3;  // both option bits, chosen by the input
    h.decode_flags = 1;
    int32_t result = kBandReady;
    for (int32_t calls = 0; result == kBandReady; ++calls) {
        if (calls > kMaxDecompressCalls) std::abort();
        result = Decompress(&h);
    }
    FileClose(h.handle);
}

void ProbeName(const std::string& name) {
    for (int32_t page = 1; page <= kPagesTried; ++page) {
        ImageHeader h{};
        if (OpenImageHeader(0, name.c_str(), page, &h) == 0) DecodePage(name, h);
    }
    GetTiffPages(name.c_str());
    GetTiffPages(name.c_str());  // the second call may come from the cache
}

std::string DiskCopy(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/header_fuzzer_" + std::to_string(getpid()) + ".bin";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return {};
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResetHeaderState();
    ResetFileAccess();
    // A copy of exactly the input's size, so any read past the end is caught.
    std::vector<uint8_t> image(data, data + size);
    const std::string memory = "MD:" + std::to_string(reinterpret_cast<uintptr_t>(image.data())) +
                               "," + std::to_string(size);
    ProbeName(memory);
    const std::string disk = DiskCopy(data, size);
    if (!disk.empty()) {
        ProbeName(disk);
        ProbeName("TH:8," + disk);
    }
    ResetHeaderState();
    return 0;
}
