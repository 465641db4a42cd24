#include "imaging/decode/jpeg/jpeg_markers.h"

#include <algorithm>
#include <cstring>

#include "imaging/decode/colour_error_code.h"

namespace pixdoc::jpeg {

const uint8_t kNaturalOrder[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                   12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                   35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                   58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

namespace {

enum Marker : int {
    kSof0 = 0xC0,
    kSof2 = 0xC2,
    kDht = 0xC4,
    kRst0 = 0xD0,
    kRst7 = 0xD7,
    kSoi = 0xD8,
    kEoi = 0xD9,
    kSos = 0xDA,
    kDqt = 0xDB,
    kDnl = 0xDC,
    kDri = 0xDD,
    kDhp = 0xDE,
    kApp0 = 0xE0,
};

constexpr uint8_t kJfifId[5] = {'J', 'F', 'I', 'F', 0};
constexpr size_t kJfifXDensityAt = 8;

bool IsUnsupportedFrame(int code) {
    switch (code) {
        case 0xC1:
        case 0xC3:
        case 0xC5:
        case 0xC6:
        case 0xC7:
        case 0xC8:
        case 0xC9:
        case 0xCA:
        case 0xCB:
        case 0xCD:
        case 0xCE:
        case 0xCF:
        case kDhp:
            return true;
        default:
            return false;
    }
}

int ShortReadError(const Input& in) {
    return in.read_failed() ? kErrRead : kErrUnexpectedEnd;
}

// Finds the next marker: FF followed by a byte other than 00 and FF; bytes before it are
// skipped. Leaves the position after the marker code.
int NextMarker(Input& in, int& code) {
    for (;;) {
        if (in.Ensure(2) < 2) return ShortReadError(in);
        if (in.Peek(0) == 0xFF && in.Peek(1) != 0 && in.Peek(1) != 0xFF) {
            code = in.Peek(1);
            in.Advance(2);
            return kColourOk;
        }
        in.Advance(1);
    }
}

// Reads the big-endian length that follows a marker; lengths below 2 cannot be.
int ReadLength(Input& in, int& length) {
    if (in.Ensure(2) < 2) return ShortReadError(in);
    length = (in.Peek(0) << 8) | in.Peek(1);
    if (length < 2) return kErrUnexpectedEnd;
    in.Advance(2);
    return kColourOk;
}

// Reads a whole segment's content (after its length), refilling as needed.
int ReadSegment(Input& in, std::vector<uint8_t>& content) {
    int length = 0;
    if (int e = ReadLength(in, length)) return e;
    content.resize(static_cast<size_t>(length - 2));
    size_t done = 0;
    while (done < content.size()) {
        size_t want = std::min(content.size() - done, kInputBufferSize);
        size_t got = std::min(in.Ensure(want), want);
        if (got == 0) return ShortReadError(in);
        std::memcpy(content.data() + done, in.data(), got);
        in.Advance(got);
        done += got;
    }
    return kColourOk;
}

// Skips a segment by its length; a 0xFF where the length should be is a fill byte.
int SkipSegment(Input& in) {
    if (in.Ensure(2) < 2) return ShortReadError(in);
    if (in.Peek(0) == 0xFF) return kColourOk;
    int length = 0;
    if (int e = ReadLength(in, length)) return e;
    size_t left = static_cast<size_t>(length - 2);
    while (left > 0) {
        size_t got = std::min(in.Ensure(std::min(left, kInputBufferSize)), left);
        if (got == 0) return ShortReadError(in);
        in.Advance(got);
        left -= got;
    }
    return kColourOk;
}

int Big16(const uint8_t* p) {
    return (p[0] << 8) | p[1];
}
int CeilDiv(int a, int b) {
    return (a + b - 1) / b;
}

void ComputeGeometry(Frame& f) {
    f.h_max = f.v_max = 1;
    for (int c = 0; c < f.count; ++c) {
        f.h_max = std::max(f.h_max, f.components[c].h);
        f.v_max = std::max(f.v_max, f.components[c].v);
    }
    f.mcus_across = CeilDiv(f.width, 8 * f.h_max);
    f.mcus_down = CeilDiv(f.height, 8 * f.v_max);
    for (int c = 0; c < f.count; ++c) {
        Component& comp = f.components[c];
        comp.width_in_blocks = CeilDiv(CeilDiv(f.width * comp.h, f.h_max), 8);
        comp.height_in_blocks = CeilDiv(CeilDiv(f.height * comp.v, f.v_max), 8);
        comp.blocks_across = f.mcus_across * comp.h;
        comp.blocks_down = f.mcus_down * comp.v;
    }
}

int ReadFrame(DecoderState& s, bool progressive, std::vector<uint8_t>& seg) {
    if (s.frame_read) return kErrJpegUnsupported;  // one frame per stream
    if (int e = ReadSegment(s.input, seg)) return e;
    if (seg.size() < 6) return kErrUnexpectedEnd;
    Frame& f = s.frame;
    f = Frame{};
    f.progressive = progressive;
    f.precision = seg[0];
    f.height = Big16(&seg[1]);
    f.width = Big16(&seg[3]);
    f.count = seg[5];
    if (f.precision != 8) return kErrJpegUnsupported;
    if (f.width == 0 || f.height == 0) return kErrDimensions;  // DNL-defined heights too
    if (f.count < 1 || f.count > kMaxComponents) return kErrJpegUnsupported;
    if (seg.size() < 6 + 3 * static_cast<size_t>(f.count)) return kErrUnexpectedEnd;
    for (int c = 0; c < f.count; ++c) {
        const uint8_t* p = &seg[6 + 3 * c];
        Component& comp = f.components[c];
        comp.id = p[0];
        comp.h = p[1] >> 4;
        comp.v = p[1] & 0x0F;
        comp.quant = p[2];
        if (comp.h < 1 || comp.h > kMaxSamplingFactor || comp.v < 1 || comp.v > kMaxSamplingFactor)
            return kErrJpegUnsupported;
    }
    // A single component is coded block by block whatever it declares.
    if (f.count == 1) f.components[0].h = f.components[0].v = 1;
    ComputeGeometry(f);
    s.frame_read = true;
    s.markers |= kSeenSof;
    return kColourOk;
}

int ReadHuffmanTables(DecoderState& s, std::vector<uint8_t>& seg) {
    if (int e = ReadSegment(s.input, seg)) return e;
    size_t at = 0;
    while (at < seg.size()) {
        if (seg.size() - at < 1 + kMaxCodeLength) return kErrHuffmanCount;
        int table_class = seg[at] >> 4;
        int number = seg[at] & 0x0F;
        if (table_class > 1 || number >= kHuffmanTableCount) return kErrHuffmanTableId;
        HuffmanTable& table = table_class == 0 ? s.dc_tables[number] : s.ac_tables[number];
        table = HuffmanTable{};
        int total = 0;
        for (int length = 1; length <= kMaxCodeLength; ++length) {
            table.counts[length] = seg[at + length];
            total += table.counts[length];
        }
        at += 1 + kMaxCodeLength;
        if (total > kMaxHuffmanSymbols) return kErrHuffmanTooMany;
        if (seg.size() - at < static_cast<size_t>(total)) return kErrHuffmanCount;
        std::copy_n(seg.begin() + static_cast<long>(at), total, table.symbols.begin());
        at += static_cast<size_t>(total);
        switch (BuildHuffmanTable(table)) {
            case HuffmanBuild::kOk:
                break;
            case HuffmanBuild::kTooMany:
                return kErrHuffmanTooMany;
            case HuffmanBuild::kOversubscribed:
                return kErrHuffmanCount;
        }
    }
    s.markers |= kSeenDht;
    return kColourOk;
}

int ReadQuantTables(DecoderState& s, std::vector<uint8_t>& seg) {
    if (int e = ReadSegment(s.input, seg)) return e;
    size_t at = 0;
    while (at < seg.size()) {
        int precision = seg[at] >> 4;
        int number = seg[at] & 0x0F;
        if (precision > 1 || number >= kQuantTableCount) return kErrQuantId;
        size_t bytes = precision ? 128 : 64;
        if (seg.size() - at - 1 < bytes) return kErrQuantLength;
        QuantTable& table = s.quant[number];
        const uint8_t* p = &seg[at + 1];
        for (int k = 0; k < 64; ++k)
            table.values[kNaturalOrder[k]] =
                static_cast<uint16_t>(precision ? Big16(p + 2 * k) : p[k]);
        table.precision = precision;
        table.defined = true;
        at += 1 + bytes;
    }
    s.markers |= kSeenDqt;
    return kColourOk;
}

int ReadRestartInterval(DecoderState& s, std::vector<uint8_t>& seg) {
    if (int e = ReadSegment(s.input, seg)) return e;
    if (seg.size() < 2) return kErrUnexpectedEnd;
    s.restart_interval = Big16(seg.data());
    s.markers |= kSeenDriDnl;
    return kColourOk;
}

int ValidateProgressiveScan(const Scan& scan) {
    bool dc = scan.ss == 0;
    if (dc && scan.se != 0) return kErrScanParameters;
    if (!dc && (scan.se < scan.ss || scan.se > 63 || scan.count != 1)) return kErrScanParameters;
    if (scan.ah != 0 && scan.al != scan.ah - 1) return kErrScanParameters;
    if (scan.al > 13) return kErrScanParameters;
    return kColourOk;
}

int ReadScan(DecoderState& s, std::vector<uint8_t>& seg) {
    if (int e = ReadSegment(s.input, seg)) return e;
    if (seg.empty()) return kErrScanParameters;
    Scan& scan = s.scan;
    scan = Scan{};
    scan.count = seg[0];
    if (scan.count < 1 || scan.count > kMaxScanComponents) return kErrScanParameters;
    if (seg.size() < 1 + 2 * static_cast<size_t>(scan.count) + 3) return kErrScanParameters;
    int blocks = 0;
    for (int i = 0; i < scan.count; ++i) {
        int id = seg[1 + 2 * i];
        int tables = seg[2 + 2 * i];
        int found = -1;
        for (int c = 0; c < s.frame.count && found < 0; ++c)
            if (s.frame.components[c].id == id) found = c;
        if (found < 0) return kErrJpegNoFrame;
        for (int j = 0; j < i; ++j)
            if (scan.component[j] == found) return kErrScanParameters;
        scan.component[i] = found;
        Component& comp = s.frame.components[found];
        comp.dc_table = tables >> 4;
        comp.ac_table = tables & 0x0F;
        blocks += comp.h * comp.v;
    }
    if (scan.count > 1 && blocks > kMaxBlocksPerMcu) return kErrScanParameters;
    const uint8_t* p = &seg[1 + 2 * scan.count];
    scan.ss = p[0];
    scan.se = p[1];
    scan.ah = p[2] >> 4;
    scan.al = p[2] & 0x0F;
    if (s.frame.progressive) {
        if (int e = ValidateProgressiveScan(scan)) return e;
    }
    s.markers |= kSeenSos;
    return kColourOk;
}

int ReadApp0(DecoderState& s, std::vector<uint8_t>& seg) {
    if (int e = ReadSegment(s.input, seg)) return e;
    if (seg.size() >= kJfifXDensityAt + 2 && std::memcmp(seg.data(), kJfifId, 5) == 0)
        s.resolution = Big16(&seg[kJfifXDensityAt]);
    s.markers |= kSeenApp0;
    return kColourOk;
}

}  // namespace

int DispatchMarkers(DecoderState& s, bool stop_at_frame, MarkerEvent& event) {
    std::vector<uint8_t> seg;
    for (;;) {
        int code = 0;
        if (int e = NextMarker(s.input, code)) return e;
        int e = kColourOk;
        switch (code) {
            case kSoi:
                s.markers |= kSeenSoi;
                break;
            case kSof0:
            case kSof2:
                e = ReadFrame(s, code == kSof2, seg);
                if (e == kColourOk && stop_at_frame) {
                    event = MarkerEvent::kFrame;
                    return kColourOk;
                }
                break;
            case kDht:
                e = ReadHuffmanTables(s, seg);
                break;
            case kDqt:
                e = ReadQuantTables(s, seg);
                break;
            case kDri:
                e = ReadRestartInterval(s, seg);
                break;
            case kDnl:
                e = SkipSegment(s.input);
                s.markers |= kSeenDriDnl;
                break;
            case kSos:
                if (!s.frame_read) return kErrJpegNoFrame;
                if (int err = ReadScan(s, seg)) return err;
                event = MarkerEvent::kScan;
                return kColourOk;
            case kApp0:
                e = ReadApp0(s, seg);
                break;
            case kEoi:
                s.markers |= kSeenEoi;
                event = MarkerEvent::kEndOfImage;
                return kColourOk;
            default:
                if (IsUnsupportedFrame(code)) return kErrJpegUnsupported;
                if (code >= kRst0 && code <= kRst7) return kErrJpegUnexpectedRestart;
                e = SkipSegment(s.input);
                break;
        }
        if (e) return e;
    }
}

}  // namespace pixdoc::jpeg
