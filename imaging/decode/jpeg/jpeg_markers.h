// Marker dispatch and the segment readers (SOF0/SOF2, DHT, DQT, DRI, SOS, APP0).
#pragma once

#include "imaging/decode/jpeg/jpeg_state.h"

namespace pixdoc::jpeg {

// T.81 zig-zag position to natural (row-major) position.
extern const uint8_t kNaturalOrder[64];

enum class MarkerEvent { kFrame, kScan, kEndOfImage };

// Dispatches markers until a frame has been read (only when `stop_at_frame`), a scan header has
// been read or an EOI is found. Returns 0 or a colour error code.
int DispatchMarkers(DecoderState& state, bool stop_at_frame, MarkerEvent& event);

}  // namespace pixdoc::jpeg
