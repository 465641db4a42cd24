#include <algorithm>
#include <cstring>

#include "imaging/decode/colour/colour_state.h"
#include "imaging/decode/colour_error_code.h"

namespace pixdoc {
namespace {

// A JPEG stream's start marker, skipped after tables read in front of it.
constexpr int64_t kStartMarkerBytes = 2;

// Reads from the source at an absolute offset.
int32_t ReadPhysical(ColourDecoderState& s, int64_t at, uint8_t* out, int32_t count) {
    if (s.memory) {
        const int64_t limit = std::min(s.memory_length, kMaxMemoryImageLength);
        if (at >= limit) return 0;
        const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, limit - at));
        std::memcpy(out, s.memory + at, static_cast<size_t>(n));
        return n;
    }
    if (s.file == files::kInvalidHandle) return 0;
    if (files::IsMemoryHandle(s.file)) {
        if (at >= kMaxMemoryImageLength) return 0;
        count = static_cast<int32_t>(std::min<int64_t>(count, kMaxMemoryImageLength - at));
    }
    if (s.file_offset != at && files::FileSeek(s.file, at, files::SeekOrigin::kStart) != at) {
        s.file_offset = -1;
        return 0;
    }
    const int32_t got = files::FileRead(s.file, out, count);
    s.file_offset = got >= 0 ? at + got : -1;
    return std::max<int32_t>(0, got);
}

// Reads from the source at an offset relative to the start offset, past the input buffer.
int32_t ReadAt(ColourDecoderState& s, int64_t offset, uint8_t* out, int32_t count) {
    if (count <= 0 || offset < 0) return 0;
    const int64_t tables = static_cast<int64_t>(s.jpeg_tables.size());
    if (tables == 0) return ReadPhysical(s, s.start_offset + offset, out, count);
    int32_t done = 0;
    if (offset < tables) {
        done = static_cast<int32_t>(std::min<int64_t>(count, tables - offset));
        std::memcpy(out, s.jpeg_tables.data() + offset, static_cast<size_t>(done));
        if (done == count) return done;
    }
    const int64_t in_strip = offset + done - tables + kStartMarkerBytes;
    return done + ReadPhysical(s, s.start_offset + in_strip, out + done, count - done);
}

bool Refill(ColourDecoderState& s) {
    s.input_next = 0;
    s.input_used = ReadAt(s, s.position, s.input, kColourInputBufferSize);
    s.position += s.input_used;
    return s.input_used > 0;
}

}  // namespace

// Size of the source from the start offset as stored, -1 when unknown.
static int64_t SourceSizeFromStart(ColourDecoderState& state);

void ResetColourState(ColourDecoderState& state) {
    state = ColourDecoderState{};
}

void SetColourSourceFile(ColourDecoderState& state, int32_t file) {
    state.file = file;
    state.file_offset = -1;
    state.memory = nullptr;
    state.memory_length = 0;
    ColourSeek(state, 0);
}

void SetColourSourceMemory(ColourDecoderState& state, const uint8_t* data, int64_t length) {
    state.file = files::kInvalidHandle;
    state.memory = data;
    state.memory_length = data ? std::clamp<int64_t>(length, 0, kMaxMemoryImageLength) : 0;
    ColourSeek(state, 0);
}

bool ColourSeek(ColourDecoderState& state, int64_t offset) {
    state.input_used = state.input_next = 0;
    if (offset < 0) return false;
    state.position = offset;
    return true;
}

int64_t ColourTell(const ColourDecoderState& state) {
    return state.position - (state.input_used - state.input_next);
}

int32_t ColourRead(ColourDecoderState& state, uint8_t* out, int32_t count) {
    int32_t done = 0;
    const int32_t buffered = std::min(count, state.input_used - state.input_next);
    if (buffered > 0) {
        std::memcpy(out, state.input + state.input_next, static_cast<size_t>(buffered));
        state.input_next += buffered;
        done = buffered;
    }
    if (done == count) return done;
    // Large reads bypass the buffer.
    if (count - done >= kColourInputBufferSize) {
        const int32_t n = ReadAt(state, state.position, out + done, count - done);
        state.position += n;
        return done + n;
    }
    while (done < count && Refill(state)) {
        const int32_t n = std::min(count - done, state.input_used);
        std::memcpy(out + done, state.input, static_cast<size_t>(n));
        state.input_next = n;
        done += n;
    }
    return done;
}

int ColourReadByteRefill(ColourDecoderState& state) {
    if (state.input_next >= state.input_used && !Refill(state)) return -1;
    return state.input[state.input_next++];
}

int64_t ColourSourceSize(ColourDecoderState& state) {
    const int64_t size = SourceSizeFromStart(state);
    if (size < 0 || state.jpeg_tables.empty()) return size;
    return static_cast<int64_t>(state.jpeg_tables.size()) +
           std::max<int64_t>(0, size - kStartMarkerBytes);
}

static int64_t SourceSizeFromStart(ColourDecoderState& state) {
    if (state.memory) return std::max<int64_t>(0, state.memory_length - state.start_offset);
    if (state.file == files::kInvalidHandle) return -1;
    state.file_offset = -1;
    int64_t size = files::FileSeek(state.file, 0, files::SeekOrigin::kEnd);
    // A memory image without a given size is read up to the memory image limit.
    if (size <= 0 && files::IsMemoryHandle(state.file)) size = kMaxMemoryImageLength;
    if (size <= 0) return -1;
    return std::max<int64_t>(0, size - state.start_offset);
}

int ColourFail(ColourDecoderState& state, int32_t code) {
    RaiseColourError(code);
    if (state.error_code == kColourOk) state.error_code = GetColourError();
    return -1;
}

}  // namespace pixdoc
