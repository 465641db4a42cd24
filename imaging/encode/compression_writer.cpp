#include "imaging/encode/compression_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/row_to_changes.h"
#include "imaging/encode/bit_packer.h"
#include "imaging/encode/line_coder.h"
#include "imaging/encode/pcx_row_coder.h"
#include "imaging/io/file_access.h"

namespace pixdoc::encode {
namespace {

constexpr int32_t kListSlack = 20;  // entries past the width: the change at the width, sentinels
constexpr int32_t kEndOfPageBytes = 32;  // six tagged EOLs and the last word's padding
constexpr int kFillStep = 16;
constexpr int kEndOfPageEols = 6;
constexpr int kEndOfBlockEols = 2;
constexpr int kWordBits = 32;
constexpr int kUncompressedTrialLine = 1;
constexpr int32_t kTrialBytesDivisor = 32;
constexpr char kCapacitySeparator = ',';

// Where coded bytes go: a file path, or memory from `start` (at most `capacity` bytes in all
// when the name gives one).
struct Target {
    bool valid = false;
    bool memory = false;
    int64_t capacity = -1;  // -1: unbounded
    std::string path;
};

Target ParseTarget(const CompressionRecord& r) {
    Target t;
    const size_t length = strnlen(r.target_name, sizeof r.target_name);
    if (length == 0 || length == sizeof r.target_name) return t;  // empty, or not terminated
    const std::string_view name(r.target_name, length);
    const std::string_view memory = kMemoryTarget;
    if (name.substr(0, memory.size()) == memory) {
        const std::string_view rest = name.substr(memory.size());
        if (rest.empty()) {
            t.valid = t.memory = true;
            return t;
        }
        if (rest[0] == kCapacitySeparator) {
            const std::string_view digits = rest.substr(1);
            int64_t capacity = -1;
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), capacity);
            t.valid = t.memory =
                error == std::errc{} && end == digits.data() + digits.size() && capacity >= 0;
            t.capacity = capacity;
            return t;
        }
    }
    t.path.assign(name);
    t.valid = true;
    return t;
}

bool UsesReferenceLine(int32_t coding) {
    return coding != kCodingGroup3OneD && coding != kCodingModifiedHuffman && coding != kCodingPcx;
}

int32_t OutputCapacity(int32_t width) {
    return std::max(kMinimumOutputBuffer, kDeliveryChunk + WorstLineBytes(width) + kEndOfPageBytes);
}

int32_t AlternativeCapacity(int32_t width) {
    return std::max(kMinimumOutputBuffer, WorstLineBytes(width));
}

void ReleaseBuffers(CompressionRecord& r) {
    // The two change lists share one block, whose start either pointer may hold after swaps.
    int16_t* lists =
        r.reference_line && r.reference_line < r.current_line ? r.reference_line : r.current_line;
    std::free(lists);
    std::free(r.alternative_buffer);
    std::free(r.output_buffer);
    r.reference_line = r.current_line = nullptr;
    r.alternative_buffer = r.output_buffer = nullptr;
}

// Takes the buffers and zeroes the counters.
int32_t SetUpBuffers(CompressionRecord& r) {
    const size_t entries = size_t(r.width) + kListSlack;
    const int rows = UsesReferenceLine(r.coding) ? 2 : 1;
    auto* lists = static_cast<int16_t*>(std::malloc(entries * rows * sizeof(int16_t)));
    if (!lists) return kWriterNoListMemory;
    r.current_line = lists;
    r.reference_line = rows == 2 ? lists + entries : nullptr;
    r.output_buffer = static_cast<uint8_t*>(std::malloc(size_t(OutputCapacity(r.width))));
    r.alternative_buffer =
        r.coding == kCodingGroup4Uncompressed
            ? static_cast<uint8_t*>(std::malloc(size_t(AlternativeCapacity(r.width))))
            : nullptr;
    if (!r.output_buffer || (r.coding == kCodingGroup4Uncompressed && !r.alternative_buffer)) {
        ReleaseBuffers(r);
        return kWriterNoBufferMemory;
    }
    bilevel::ResetToEmptyLine(r.current_line, r.width);
    if (r.reference_line) bilevel::ResetToEmptyLine(r.reference_line, r.width);
    r.min_line_bits = std::clamp(r.min_line_bits, 0, kMaxMinLineBits);
    r.line_counter = r.k_counter = 0;
    r.bytes_pending = r.bytes_delivered = 0;
    r.bit_accumulator = 0;
    r.bit_count = 0;
    r.previous_line_bits = 0;
    return kWriterOk;
}

// Room for `more` bytes behind the pending ones. Only writes that fell short let the pending
// bytes outgrow the buffer taken at the start.
bool EnsureRoom(CompressionRecord& r, int32_t more) {
    const int64_t needed = int64_t(r.bytes_pending) + more;
    if (needed <= OutputCapacity(r.width)) return true;
    auto* grown = static_cast<uint8_t*>(std::realloc(r.output_buffer, size_t(needed)));
    if (!grown) return false;
    r.output_buffer = grown;
    return true;
}

// Stores `count` bytes at the target and returns how many got there. Bytes that did not all
// get there stay as they were coded, for the next attempt.
int32_t Emit(CompressionRecord& r, const Target& t, uint8_t* bytes, int32_t count) {
    if (r.bit_reversal) XchgBytes(bytes, count);
    int32_t done = 0;
    if (t.memory) {
        const int64_t room =
            t.capacity < 0 ? count : std::max<int64_t>(0, t.capacity - r.bytes_delivered);
        done = int32_t(std::min<int64_t>(count, room));
        if (done > 0) std::memcpy(reinterpret_cast<void*>(r.start), bytes, size_t(done));
        if (done == count) r.start += count;
    } else {
        done = files::FileWrite(r.file_handle, bytes, count);
    }
    if (done != count && r.bit_reversal) XchgBytes(bytes, count);
    return done;
}

struct Delivery {
    bool complete = true;
    int32_t short_count = 0;  // what the write that fell short returned
};

// Delivers whole blocks while one is pending, or every pending byte. After a write that fell
// short (`resume`), a file is first sought back to where the undelivered bytes belong.
Delivery Deliver(CompressionRecord& r, const Target& t, bool everything, bool resume) {
    if (resume && !t.memory) {
        const int64_t at = int64_t(r.start) + r.bytes_delivered;
        if (files::FileSeek(r.file_handle, at, files::SeekOrigin::kStart) != at) return {false, 0};
    }
    // Bound: each pass delivers a block or stops.
    while (r.bytes_pending >= kDeliveryChunk || (everything && r.bytes_pending > 0)) {
        const int32_t n = std::min(r.bytes_pending, kDeliveryChunk);
        const int32_t done = Emit(r, t, r.output_buffer, n);
        if (done != n) return {false, done};
        std::memmove(r.output_buffer, r.output_buffer + n, size_t(r.bytes_pending - n));
        r.bytes_pending -= n;
        r.bytes_delivered += n;
    }
    return {};
}

BitPacker PackerAtEnd(const CompressionRecord& r) {
    return BitPacker(r.output_buffer + r.bytes_pending, r.bit_accumulator, r.bit_count);
}

void KeepPacker(CompressionRecord& r, const BitPacker& out) {
    r.bytes_pending = int32_t(out.out() - r.output_buffer);
    r.bit_accumulator = out.carried();
    r.bit_count = out.count();
}

// Coding 6: the plain coding is kept unless the line is long (or the second line) and the
// coding with uncompressed stretches, tried in the alternative buffer, is shorter.
void CodeGroup4Uncompressed(CompressionRecord& r, BitPacker& out) {
    const BitPacker at_start = out;
    uint8_t* line_start = out.out();
    CodeTwoDLine(r.reference_line, r.current_line, r.width, out);
    const int64_t line_bytes = (out.BitsSince(line_start) - at_start.count() + 7) / 8;
    if (line_bytes <= r.width / kTrialBytesDivisor && r.line_counter != kUncompressedTrialLine)
        return;
    BitPacker trial(r.alternative_buffer, at_start.carried(), at_start.count());
    if (!CodeTwoDLineWithUncompressed(r.reference_line, r.current_line, r.width, trial)) return;
    if (trial.BitsSince(r.alternative_buffer) >= out.BitsSince(line_start)) return;
    const size_t n = size_t(trial.out() - r.alternative_buffer);
    std::memcpy(line_start, r.alternative_buffer, n);
    out = BitPacker(line_start + n, trial.carried(), trial.count());
}

void CodeRow(CompressionRecord& r, const uint8_t* row) {
    BitPacker out = PackerAtEnd(r);
    if (r.coding == kCodingPcx) {
        CodePcxRow(row, r.width, out);
        KeepPacker(r, out);
        ++r.line_counter;
        return;
    }
    if (r.reference_line) std::swap(r.reference_line, r.current_line);
    bilevel::RowToChanges(row, r.width, r.current_line);
    const int16_t* reference = r.reference_line;
    const int16_t* current = r.current_line;
    switch (r.coding) {
        case kCodingGroup3OneD: {
            if (r.line_counter != 0)
                for (; r.previous_line_bits < r.min_line_bits; r.previous_line_bits += kFillStep)
                    out.PutZeros(kFillStep);
            const int64_t before = out.BitsSince(r.output_buffer);
            PutEol(out);
            CodeOneDLine(current, r.width, out);
            r.previous_line_bits = int32_t(out.BitsSince(r.output_buffer) - before);
            break;
        }
        case kCodingGroup4:
            CodeTwoDLine(reference, current, r.width, out);
            break;
        case kCodingGroup3TwoD: {
            const int32_t k = r.k < 1 ? kDefaultK : r.k;
            if (r.k_counter % k == 0) {
                PutTaggedEol(out, 1);
                CodeOneDLine(current, r.width, out);
            } else {
                PutTaggedEol(out, 0);
                CodeTwoDLine(reference, current, r.width, out);
            }
            r.k_counter = (r.k_counter + 1) % k;
            break;
        }
        case kCodingTwoDTaggedStart:
            if (r.line_counter == 0) {
                PutTaggedEol(out, 1);
                CodeOneDLine(current, r.width, out);
                break;
            }
            if (r.line_counter == 1) PutTaggedEol(out, 0);
            CodeTwoDLine(reference, current, r.width, out);
            break;
        case kCodingModifiedHuffman:
            CodeOneDLine(current, r.width, out);
            out.AlignToByte();
            break;
        case kCodingGroup4Uncompressed:
            CodeGroup4Uncompressed(r, out);
            break;
    }
    KeepPacker(r, out);
    ++r.line_counter;
}

void PutEndOfPage(CompressionRecord& r) {
    BitPacker out = PackerAtEnd(r);
    switch (r.coding) {
        case kCodingGroup3OneD:
        case kCodingModifiedHuffman:
            for (int i = 0; i < kEndOfPageEols; ++i)
                PutEol(out);
            break;
        case kCodingGroup4:
        case kCodingGroup4Uncompressed:
            for (int i = 0; i < kEndOfBlockEols; ++i)
                PutEol(out);
            break;
        case kCodingGroup3TwoD:
        case kCodingTwoDTaggedStart:
            for (int i = 0; i < kEndOfPageEols; ++i)
                PutTaggedEol(out, 1);
            break;
    }
    // The last word is stored whole; only its bytes that hold code bits are delivered.
    const int bits = out.count();
    KeepPacker(r, out);
    if (bits == 0) return;
    out.Put(0, kWordBits - bits);
    KeepPacker(r, out);
    r.bytes_pending -= (kWordBits - bits) / 8;
}

}  // namespace

bool IsAcceptedCoding(int32_t coding) {
    switch (coding) {
        case kCodingGroup3OneD:
        case kCodingGroup4:
        case kCodingGroup3TwoD:
        case kCodingTwoDTaggedStart:
        case kCodingModifiedHuffman:
        case kCodingGroup4Uncompressed:
        case kCodingPcx:
        case kCodingNothing:
            return true;
        default:
            return false;
    }
}

}  // namespace pixdoc::encode

using namespace pixdoc::encode;

PIXDOC_API int32_t CompressionStart(CompressionRecord* record) {
    if (!record || !IsAcceptedCoding(record->coding) || record->width < 1 ||
        record->width > kMaxWidth)
        return kWriterRefused;
    const Target target = ParseTarget(*record);
    if (!target.valid || (target.memory && record->start == 0)) return kWriterRefused;
    record->file_handle = pixdoc::files::kInvalidHandle;
    if (!target.memory) {
        record->file_handle = OpenTargetFile(target.path.c_str(), record->start);
        if (record->file_handle == pixdoc::files::kInvalidHandle) return kWriterRefused;
    }
    const int32_t result = SetUpBuffers(*record);
    if (result != kWriterOk && !target.memory) {
        pixdoc::files::FileClose(record->file_handle);
        record->file_handle = pixdoc::files::kInvalidHandle;
    }
    return result;
}

PIXDOC_API int32_t CompressLine(CompressionRecord* record, const uint8_t* row) {
    if (!record || !record->output_buffer) return kLineNotCoded;
    if (record->coding > kCodingPcx) return record->coding;
    if (!row) return kLineNotCoded;
    const bool resume = DeliveryFellShort(*record);
    if (!EnsureRoom(*record, WorstLineBytes(record->width))) return kLineNotCoded;
    CodeRow(*record, row);
    // Most rows leave less than a block pending, with nothing to deliver and no short write to
    // resume (that leaves a block pending): the target is only looked at when there is.
    if (!DeliveryFellShort(*record)) return record->bytes_pending;
    const Delivery d = Deliver(*record, ParseTarget(*record), false, resume);
    return d.complete ? record->bytes_pending : d.short_count;
}

PIXDOC_API int32_t CompressEnd(CompressionRecord* record) {
    if (!record || !record->output_buffer) return kWriterRefused;
    const bool resume = DeliveryFellShort(*record);
    Delivery d{false, 0};
    if (EnsureRoom(*record, kEndOfPageBytes)) {
        PutEndOfPage(*record);
        d = Deliver(*record, ParseTarget(*record), true, resume);
    }
    ReleaseBuffers(*record);
    return d.complete ? kWriterOk : kWriterShortWrite;
}

PIXDOC_API int32_t CompressionReStart(CompressionRecord* record) {
    if (!record) return kWriterRefused;
    const Target target = ParseTarget(*record);
    if (!target.valid) return kWriterRefused;
    if (target.memory) {
        record->start -= record->bytes_delivered;
    } else if (record->file_handle == pixdoc::files::kInvalidHandle ||
               pixdoc::files::FileSeek(record->file_handle, record->start,
                                       pixdoc::files::SeekOrigin::kStart) != record->start) {
        return kWriterRefused;
    }
    ReleaseBuffers(*record);
    return SetUpBuffers(*record);
}
