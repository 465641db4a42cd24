// The JPEG decoder over a byte source and a row sink: baseline (SOF0) and progressive (SOF2)
// Huffman-coded frames, 8-bit, one or three components. Both calls return 0 on success, or a
// negative value with the library-wide colour error code set (and its value in `error` when
// given).
#pragma once

#include "imaging/decode/jpeg/jpeg_io.h"
#include "imaging/decode/jpeg/jpeg_state.h"

namespace pixdoc::jpeg {

// Coefficient store limit when the options give none: 512 MiB.
constexpr uint64_t kDefaultMaxStoreBytes = uint64_t{512} << 20;

// Reads markers up to the frame and fills `info`; the source is sought back to offset 0.
// When options.palette is set, the palette is prepared for the picture (grey ramp or colour
// cube).
int ReadJpegHeader(ByteSource& source, const DecodeOptions& options, HeaderInfo& info,
                   int* error = nullptr);

// Decodes the picture and delivers the window's rows to `sink`, one MCU row at a time.
int DecodeJpeg(ByteSource& source, RowSink& sink, const DecodeOptions& options,
               int* error = nullptr);

}  // namespace pixdoc::jpeg
