// Everything one JPEG decoding run knows, in one object: markers seen, frame, tables, scan, the
// input buffer and bit reader, the coefficient store and the output rows. Nothing is static
// except the remembered processor check (jpeg_idct.h).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/decode/colour_output_mode.h"
#include "imaging/decode/jpeg/jpeg_huffman.h"
#include "imaging/decode/jpeg/jpeg_input.h"
#include "imaging/decode/jpeg/jpeg_io.h"

namespace pixdoc::jpeg {

constexpr int kBlockCoefficients = 64;
constexpr int kMaxComponents = 4;
constexpr int kQuantTableCount = 4;
constexpr int kMaxSamplingFactor = 4;
constexpr int kMaxBlocksPerMcu = 10;
constexpr int kMaxScanComponents = 4;

// Marker flags: one bit per marker kind seen so far.
enum MarkerFlag : uint32_t {
    kSeenSoi = 1u << 0,
    kSeenSof = 1u << 1,
    kSeenSos = 1u << 2,
    kSeenApp0 = 1u << 3,
    kSeenDht = 1u << 4,
    kSeenDqt = 1u << 5,
    kSeenDriDnl = 1u << 6,
    kSeenEoi = 1u << 7,
};

struct QuantTable {
    bool defined = false;
    int precision = 0;                   // 0: 8-bit values, 1: 16-bit values
    std::array<uint16_t, 64> values{};   // natural order
    std::array<int32_t, 64> scaled{};    // pre-scaled for the inverse DCT
    std::array<int16_t, 64> scaled16{};  // the same, saturated to 16 bits for SIMD
};

struct Component {
    int id = 0;
    int h = 1, v = 1;  // sampling factors
    int quant = 0;     // quantisation table number
    int dc_table = 0, ac_table = 0;
    int dc_predictor = 0;
    int width_in_blocks = 0;  // blocks covering the component's own samples
    int height_in_blocks = 0;
    int blocks_across = 0;  // block grid padded to whole MCUs
    int blocks_down = 0;
    int up_h = 1, up_v = 1;  // pixel repetition factors to full resolution
};

struct Frame {
    bool progressive = false;
    int precision = 8;
    int width = 0, height = 0;
    int count = 0;
    std::array<Component, kMaxComponents> components{};
    int h_max = 1, v_max = 1;
    int mcus_across = 0, mcus_down = 0;
};

struct Scan {
    int count = 0;
    std::array<int, kMaxScanComponents> component{};  // indexes into the frame's components
    int ss = 0, se = 63, ah = 0, al = 0;
};

// Caller's choices for a decoding run.
struct DecodeOptions {
    ColourOutputMode output_mode = ColourOutputMode::kRgb;
    int first_row = 0;  // window: first row and row count (0: to the bottom)
    int rows = 0;
    bool use_simd = true;
    uint8_t* palette = nullptr;  // 3 bytes per entry, red, green, blue
    int palette_size = 0;
    uint64_t max_store_bytes = 0;  // coefficient store limit; 0: the library default
};

// What the header read reports.
struct HeaderInfo {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
    int components = 0;
    int resolution = 0;  // JFIF X density, 0 without a JFIF APP0
    bool progressive = false;
    int palette_entries = 0;  // entries of the prepared palette, when one was given
};

// The conversion tables of JFIF YCbCr to RGB and the range limit.
struct ConversionTables {
    std::array<int16_t, 256> cr_red{}, cb_blue{}, cr_green{}, cb_green{};
    std::array<uint8_t, 1024> range_limit{};
};

struct DecoderState {
    explicit DecoderState(ByteSource& source) : input(source) {}

    Input input;
    BitReader bits;
    uint32_t markers = 0;
    Frame frame;
    bool frame_read = false;
    Scan scan;
    std::array<QuantTable, kQuantTableCount> quant{};
    std::array<HuffmanTable, kHuffmanTableCount> dc_tables{};
    std::array<HuffmanTable, kHuffmanTableCount> ac_tables{};
    int restart_interval = 0;
    int resolution = 0;
    DecodeOptions options;

    // Entropy decoding progress within a scan.
    int restarts_to_go = 0;
    int next_restart = 0;  // number of the expected RSTn marker
    int eob_run = 0;
    bool data_ended = false;  // an EOI in place of a restart marker ended the data

    // Coefficients: the whole picture (progressive and multi-scan) or one MCU row.
    std::vector<int16_t> coefficients;
    std::array<size_t, kMaxComponents> plane_offset{};

    ConversionTables conversion;
    std::array<std::vector<uint8_t>, kMaxComponents> planes;  // one MCU row, full resolution
    int plane_stride = 0;
    std::vector<uint8_t> output_rows;
};

}  // namespace pixdoc::jpeg
