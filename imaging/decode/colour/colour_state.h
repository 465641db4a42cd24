// The colour decoder state: one record per decoding run of a colour or grey container (BMP, GIF,
// PCX, TIFF, JPEG). The colour header probe fills it through RecogniseColourContainer(); the
// colour merge and pixdoc-decode then run DecodeColourImage(), which hands the rows over through
// the line callback. Failures set the library-wide colour error code (colour_error.h) and leave
// a copy of it in error_code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/decode/colour_output_mode.h"
#include "imaging/decode/tiff_tags.h"
#include "imaging/io/file_access.h"

namespace pixdoc {

inline constexpr int32_t kColourInputBufferSize = 8192;
// Memory images are read at most this far from their address.
inline constexpr int64_t kMaxMemoryImageLength = 0x100000;
inline constexpr int32_t kPaletteEntries = 256;
inline constexpr int32_t kContainerNameSize = 8;

// A palette table: 256 entries of red, green, blue.
using ColourPalette = uint8_t[kPaletteEntries][3];

// Receives decoded rows: rows first_row .. end_row - 1, each `columns` pixels from first_column,
// stored one after the other (1 or 3 bytes per pixel by the output mode). A non-zero result
// stops decoding with error 14.
using ColourLineCallback = int (*)(void* user, int32_t first_column, int32_t first_row,
                                   int32_t columns, int32_t end_row, const uint8_t* rows);

// The JPEG decoder's own part of the state; the JPEG decoder defines, allocates and frees it.
struct JpegDecoderPart;
using JpegPartDeleter = void (*)(JpegDecoderPart*);

struct ColourDecoderState {
    // Source: a file access layer handle, or a memory image read from its address.
    int32_t file = files::kInvalidHandle;
    const uint8_t* memory = nullptr;
    int64_t memory_length = 0;  // at most kMaxMemoryImageLength
    int64_t start_offset = 0;   // where the container starts in the source
    int64_t position = 0;       // source offset (from start_offset) of the next unbuffered byte
    int64_t file_offset = -1;   // where the file handle stands, -1 when unknown (saves seeks)

    // Palette: the caller's 256-entry table and the number of entries the container gave.
    ColourPalette* palette = nullptr;
    int32_t palette_entries = 0;
    ColourOutputMode output_mode = ColourOutputMode::kPaletteIndex;

    // Header of the recognised container.
    char container_name[kContainerNameSize] = {};  // "BMP", "GIF", "PCX", "JPEG", "TIFF"
    int32_t width = 0;
    int32_t height = 0;
    int32_t bits_per_pixel = 0;
    int32_t components = 0;    // JPEG
    int32_t x_resolution = 0;  // dpi, 0 when the container gives none
    int32_t y_resolution = 0;

    // Window to decode; 0 rows or columns run to the image edge.
    int32_t window_first_row = 0;
    int32_t window_first_column = 0;
    int32_t window_rows = 0;
    int32_t window_columns = 0;

    // Delivery: rows per callback call (0: the decoder's choice) and the next row to deliver.
    int32_t rows_per_chunk = 0;
    int32_t row_counter = 0;
    ColourLineCallback line_callback = nullptr;
    void* callback_user = nullptr;

    // Input buffer, filled from the source; input_used bytes valid, input_next the next to read.
    uint8_t input[kColourInputBufferSize] = {};
    int32_t input_used = 0;
    int32_t input_next = 0;

    // Container details the readers keep between header and data.
    int64_t data_offset = 0;     // BMP: pixel data; GIF: first image data; PCX: 128
    int32_t compression = 0;     // BMP and TIFF compression field
    int32_t photometric = 0;     // TIFF PhotometricInterpretation
    int32_t bytes_per_line = 0;  // PCX bytes per plane line
    int32_t planes = 0;          // PCX planes
    bool interlaced = false;     // GIF
    bool top_down = false;       // BMP stored top row first (negative height)

    // TIFF: the directory to read and its strips.
    int32_t tiff_directory_index = 0;
    int32_t rows_per_strip = 0;
    std::vector<uint32_t> strip_offsets;
    std::vector<uint32_t> strip_byte_counts;
    TiffFieldType strip_offsets_type{};  // SHORT or LONG; 0 until read
    TiffFieldType strip_byte_counts_type{};
    // JPEGTables of a JPEG page without their end marker: the source then reads as these tables
    // followed by the strip's stream after its start marker, one complete JPEG stream.
    std::vector<uint8_t> jpeg_tables;

    // The colour error code at the moment a run failed.
    int32_t error_code = 0;

    // The JPEG decoder's part; freed with its own deleter.
    std::unique_ptr<JpegDecoderPart, JpegPartDeleter> jpeg{nullptr, nullptr};
};

// Zeroes a state for a new run (frees the JPEG part).
void ResetColourState(ColourDecoderState& state);
// Prepares a state over a file access layer handle (the caller keeps and closes it).
void SetColourSourceFile(ColourDecoderState& state, int32_t file);
// Prepares a state over a memory image (at most kMaxMemoryImageLength bytes are read).
void SetColourSourceMemory(ColourDecoderState& state, const uint8_t* data, int64_t length);

// Source access, relative to the start offset. Reads go through the input buffer.
bool ColourSeek(ColourDecoderState& state, int64_t offset);
// Offset of the next byte ColourReadByte would return.
int64_t ColourTell(const ColourDecoderState& state);
// Reads up to count bytes; returns how many were read.
int32_t ColourRead(ColourDecoderState& state, uint8_t* out, int32_t count);
// Refills the input buffer and returns its first byte, or -1 at the end of the source.
int ColourReadByteRefill(ColourDecoderState& state);
// The next byte, or -1 at the end of the source.
inline int ColourReadByte(ColourDecoderState& state) {
    if (state.input_next < state.input_used) return state.input[state.input_next++];
    return ColourReadByteRefill(state);
}
// Size of the source from the start offset, or -1 when unknown.
int64_t ColourSourceSize(ColourDecoderState& state);

// Records a failure: raises the library-wide code and keeps it in the state. Returns -1.
int ColourFail(ColourDecoderState& state, int32_t code);

// Parses the container header at the start offset into the state: 0, or negative with the
// colour error code set. JPEG (also inside TIFF strips) goes through the JPEG reader.
int RecogniseColourContainer(ColourDecoderState& state);
// Decodes the recognised container through the line callback: 0, or negative with the colour
// error code set; rows delivered before a failure stay delivered.
int DecodeColourImage(ColourDecoderState& state);

// The compression code of the image header for a recognised container (PX_CODE_BMP ..
// PX_CODE_COLOUR_TIFF), 0 when none was recognised.
int32_t ColourCompressionCode(const ColourDecoderState& state);

}  // namespace pixdoc
