// Fuzz target of the JPEG decoder: header read and full decode of arbitrary bytes, in the three
// output modes and both inverse DCTs, with a coefficient store limit that keeps runs quick.
#include <cstddef>
#include <cstdint>

#include "imaging/colour/colour_error.h"
#include "imaging/decode/jpeg/jpeg_decoder.h"

namespace {

constexpr uint64_t kFuzzStoreBytes = uint64_t{16} << 20;

class Discard final : public pixdoc::jpeg::RowSink {
public:
    int DeliverRows(int, int, int, int, const uint8_t* rows) override {
        sum_ += rows[0];  // touch the rows so that unset memory would show
        return 0;
    }

private:
    unsigned sum_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pixdoc::jpeg;
    MemoryByteSource source(data, size);
    uint8_t palette[256 * 3];
    DecodeOptions options;
    options.max_store_bytes = kFuzzStoreBytes;
    // The last byte picks the output mode and the inverse DCT; the stream stays unchanged.
    const uint8_t pick = size ? data[size - 1] : 0;
    static constexpr pixdoc::ColourOutputMode kModes[] = {pixdoc::ColourOutputMode::kRgb,
                                                          pixdoc::ColourOutputMode::kGrey,
                                                          pixdoc::ColourOutputMode::kPaletteIndex};
    options.output_mode = kModes[pick % 3];
    options.use_simd = (pick & 4) != 0;
    options.palette = palette;
    options.palette_size = 256;
    HeaderInfo info;
    pixdoc::SetColourError(0);
    if (ReadJpegHeader(source, options, info) < 0) return 0;
    Discard sink;
    pixdoc::SetColourError(0);
    DecodeJpeg(source, sink, options);
    return 0;
}
