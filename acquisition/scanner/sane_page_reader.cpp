#include "acquisition/scanner/sane_page_reader.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "acquisition/scanner/page_pix.h"
#include "acquisition/scanner/sane_status.h"

namespace scantora {
namespace {

// Bounds on what a device may describe: a page is at most this wide and long (5.5 m at
// 300 dpi) and this large in bytes.
constexpr SANE_Int kMaxPixelsPerLine = 1 << 16;
constexpr SANE_Int kMaxLines = 1 << 16;
constexpr size_t kMaxBytesPerLine = 1 << 20;
constexpr size_t kMaxFrameBytes = size_t{1} << 30;
constexpr size_t kInitialReserve = size_t{1} << 20;
constexpr SANE_Int kReadChunk = 1 << 16;
constexpr size_t kThreePassFrames = 3;
// A device that keeps answering with no data is waited for, then given up.
constexpr int kIdleSpins = 1000;
constexpr int kIdleWaits = 30000;
constexpr auto kIdleWait = std::chrono::milliseconds(1);

constexpr int kBitsPerByte = 8;
constexpr l_uint32 kFullSample = 255;

struct Frame {
    SANE_Parameters parameters{};
    std::vector<std::uint8_t> data;
    size_t rows = 0;
};

size_t Channels(SANE_Frame format) {
    return format == SANE_FRAME_RGB ? 3 : 1;
}

bool IsThreePass(SANE_Frame format) {
    return format == SANE_FRAME_RED || format == SANE_FRAME_GREEN || format == SANE_FRAME_BLUE;
}

bool Valid(const SANE_Parameters& p) {
    if (p.format != SANE_FRAME_GRAY && p.format != SANE_FRAME_RGB && !IsThreePass(p.format))
        return false;
    if (p.depth != 1 && p.depth != 8 && p.depth != 16) return false;
    if (p.pixels_per_line < 1 || p.pixels_per_line > kMaxPixelsPerLine) return false;
    if (p.lines > kMaxLines || p.bytes_per_line < 1) return false;
    const size_t needed =
        (static_cast<size_t>(p.pixels_per_line) * Channels(p.format) * p.depth + kBitsPerByte - 1) /
        kBitsPerByte;
    const auto bytes_per_line = static_cast<size_t>(p.bytes_per_line);
    if (bytes_per_line < needed || bytes_per_line > kMaxBytesPerLine) return false;
    const size_t lines = p.lines > 0 ? static_cast<size_t>(p.lines) : 1;
    return lines * bytes_per_line <= kMaxFrameBytes;
}

// Reads one frame to the device's end of data, keeping at most the lines it announced.
ImagingStatus ReadFrame(SaneDevice& device, Frame& frame) {
    const auto bytes_per_line = static_cast<size_t>(frame.parameters.bytes_per_line);
    const size_t max_rows = frame.parameters.lines > 0
                                ? static_cast<size_t>(frame.parameters.lines)
                                : std::min<size_t>(kMaxLines, kMaxFrameBytes / bytes_per_line);
    const size_t limit = max_rows * bytes_per_line;
    frame.data.reserve(std::min(limit, kInitialReserve));
    std::vector<SANE_Byte> chunk(kReadChunk);
    size_t surplus = 0;
    int idle = 0;
    for (;;) {
        SANE_Int got = 0;
        const SANE_Status status = device.Read(chunk.data(), kReadChunk, got);
        if (status == SANE_STATUS_EOF) break;
        if (status != SANE_STATUS_GOOD) return FromSaneStatus(status);
        if (got < 0 || got > kReadChunk) return ImagingStatus::kBadFrame;
        if (got == 0) {
            if (++idle > kIdleSpins + kIdleWaits) return ImagingStatus::kIoError;
            if (idle > kIdleSpins) std::this_thread::sleep_for(kIdleWait);
            continue;
        }
        idle = 0;
        const size_t keep = std::min(static_cast<size_t>(got), limit - frame.data.size());
        frame.data.insert(frame.data.end(), chunk.begin(), chunk.begin() + keep);
        // Data past the announced end is drained, up to a page's worth.
        surplus += static_cast<size_t>(got) - keep;
        if (surplus > limit) return ImagingStatus::kBadFrame;
    }
    frame.rows = frame.data.size() / bytes_per_line;
    return frame.rows > 0 ? ImagingStatus::kOk : ImagingStatus::kBadFrame;
}

// Sample `index` of a row scaled to 0..255 (16-bit samples are in the host's byte order).
l_uint32 Sample(const std::uint8_t* row, size_t index, int depth) {
    if (depth == 8) return row[index];
    if (depth == 16) {
        std::uint16_t value;
        std::memcpy(&value, row + 2 * index, sizeof value);
        return value >> kBitsPerByte;
    }
    return (row[index / 8] >> (7 - index % 8)) & 1 ? kFullSample : 0;
}

PixPtr GreyPix(const Frame& frame) {
    const SANE_Parameters& p = frame.parameters;
    const int width = p.pixels_per_line, height = static_cast<int>(frame.rows);
    PixPtr pix(pixCreate(width, height, p.depth == 1 ? 1 : 8));
    if (!pix) return nullptr;
    l_uint32* data = pixGetData(pix.get());
    const int wpl = pixGetWpl(pix.get());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = frame.data.data() + static_cast<size_t>(y) * p.bytes_per_line;
        l_uint32* line = data + static_cast<size_t>(y) * wpl;
        // One bit per pixel with 1 as black, as Leptonica keeps it; eight bits with 0 as black.
        if (p.depth == 1) {
            UnpackWords(row, (width + 7) / 8, line);
        } else if (p.depth == 8) {
            UnpackWords(row, width, line);
        } else {
            for (int x = 0; x < width; ++x)
                SET_DATA_BYTE(line, x, Sample(row, x, p.depth));
        }
    }
    if (p.depth == 1) pixSetPadBits(pix.get(), 0);
    return pix;
}

// Colour from one RGB frame, or from the red, green and blue frames in `by_channel`.
PixPtr ColourPix(const std::array<const Frame*, 3>& by_channel, bool interleaved) {
    const SANE_Parameters& p = by_channel[0]->parameters;
    size_t rows = by_channel[0]->rows;
    for (const Frame* f : by_channel)
        rows = std::min(rows, f->rows);
    const int width = p.pixels_per_line, height = static_cast<int>(rows);
    PixPtr pix(pixCreate(width, height, 32));
    if (!pix) return nullptr;
    l_uint32* data = pixGetData(pix.get());
    const int wpl = pixGetWpl(pix.get());
    for (int y = 0; y < height; ++y) {
        std::array<const std::uint8_t*, 3> rows_of{};
        for (size_t c = 0; c < 3; ++c)
            rows_of[c] = by_channel[c]->data.data() + static_cast<size_t>(y) * p.bytes_per_line;
        l_uint32* line = data + static_cast<size_t>(y) * wpl;
        for (int x = 0; x < width; ++x) {
            l_uint32 pixel = 0;
            for (size_t c = 0; c < 3; ++c) {
                const size_t index = interleaved ? 3 * static_cast<size_t>(x) + c : x;
                pixel |= Sample(rows_of[c], index, p.depth) << (L_RED_SHIFT - 8 * c);
            }
            line[x] = pixel;
        }
    }
    return pix;
}

ImagingStatus Assemble(const std::vector<Frame>& frames, PixPtr& pix) {
    const Frame& first = frames.front();
    if (first.parameters.format == SANE_FRAME_GRAY) {
        pix = GreyPix(first);
    } else if (first.parameters.format == SANE_FRAME_RGB) {
        pix = ColourPix({&first, &first, &first}, true);
    } else {
        std::array<const Frame*, 3> by_channel{};
        for (const Frame& f : frames) {
            const size_t c = static_cast<size_t>(f.parameters.format - SANE_FRAME_RED);
            const bool matches = f.parameters.pixels_per_line == first.parameters.pixels_per_line &&
                                 f.parameters.depth == first.parameters.depth &&
                                 f.parameters.bytes_per_line == first.parameters.bytes_per_line;
            if (!IsThreePass(f.parameters.format) || by_channel[c] || !matches)
                return ImagingStatus::kBadFrame;
            by_channel[c] = &f;
        }
        if (!by_channel[0] || !by_channel[1] || !by_channel[2]) return ImagingStatus::kBadFrame;
        pix = ColourPix(by_channel, false);
    }
    return pix ? ImagingStatus::kOk : ImagingStatus::kNoMemory;
}

}  // namespace

ImagingStatus ReadSanePage(SaneDevice& device, int resolution, Page& page) {
    std::vector<Frame> frames;
    for (;;) {
        if (!frames.empty()) {
            if (const SANE_Status status = device.Start(); status != SANE_STATUS_GOOD)
                return FromSaneStatus(status);
        }
        Frame frame;
        if (const SANE_Status status = device.Parameters(frame.parameters);
            status != SANE_STATUS_GOOD)
            return FromSaneStatus(status);
        if (!Valid(frame.parameters)) return ImagingStatus::kBadFrame;
        if (const ImagingStatus status = ReadFrame(device, frame); status != ImagingStatus::kOk)
            return status;
        const bool single = !IsThreePass(frame.parameters.format);
        const bool last = frame.parameters.last_frame != SANE_FALSE;
        frames.push_back(std::move(frame));
        // Grey and RGB pages are whole in one frame whatever the device says.
        if (single || last || frames.size() == kThreePassFrames) break;
    }
    if (frames.size() > 1 && !IsThreePass(frames.front().parameters.format))
        return ImagingStatus::kBadFrame;
    PixPtr pix;
    if (const ImagingStatus status = Assemble(frames, pix); status != ImagingStatus::kOk)
        return status;
    if (resolution > 0) pixSetResolution(pix.get(), resolution, resolution);
    page = PageAccess::Adopt(std::move(pix));
    return ImagingStatus::kOk;
}

}  // namespace scantora
