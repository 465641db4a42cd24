// The bilevel compression writer behind the exports CompressionStart, CompressLine, CompressEnd
// and CompressionReStart (pixdoc32.h documents the record and the results).
#pragma once

#include <cstdint>

#include "pixdoc32.h"

namespace pixdoc::encode {

// Codings of the record.
enum WriterCoding : int32_t {
    kCodingGroup3OneD = 0,
    kCodingGroup4 = 1,
    kCodingGroup3TwoD = 2,
    kCodingTwoDTaggedStart = 4,
    kCodingModifiedHuffman = 5,
    kCodingGroup4Uncompressed = 6,
    kCodingPcx = 7,
    kCodingNothing = 9,
};

inline constexpr char kMemoryTarget[] = "MEMORYDIRECT";
inline constexpr int32_t kDeliveryChunk = 4096;
inline constexpr int32_t kMinimumOutputBuffer = 8192;
inline constexpr int32_t kMaxWidth = 30000;
inline constexpr int32_t kMaxMinLineBits = 1024;
inline constexpr int32_t kDefaultK = 4;

// Results.
inline constexpr int32_t kWriterOk = 0;
inline constexpr int32_t kWriterRefused = 1;
inline constexpr int32_t kWriterShortWrite = 2;  // CompressEnd
inline constexpr int32_t kWriterNoListMemory = 3;
inline constexpr int32_t kWriterNoBufferMemory = 4;
inline constexpr int32_t kLineNotCoded = -1;  // CompressLine

bool IsAcceptedCoding(int32_t coding);

// True while coded bytes wait for a write that fell short: delivery leaves fewer than one
// block pending otherwise.
inline bool DeliveryFellShort(const CompressionRecord& r) {
    return r.bytes_pending >= kDeliveryChunk;
}

// The writer's file layer (the exports OpenCompressionFile and friends, with 64-bit offsets).
int32_t OpenTargetFile(const char* path, int64_t offset);

}  // namespace pixdoc::encode
