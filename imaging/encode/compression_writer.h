// The bilevel compression writer behind the exports CompressionStart, CompressLine, CompressEnd
// and CompressionReStart (pixdoc32.h documents the record and the results).
#pragma once

#include <cstdint>

#include "pixdoc32.h"

namespace pixdoc::encode {

// Codings of the record: the compression codes of the data they produce, and two of the
// writer's own.
enum WriterCoding : int32_t {
    kCodingGroup3OneD = PX_CODE_GROUP3_1D,
    kCodingGroup4 = PX_CODE_GROUP4,
    kCodingGroup3TwoD = PX_CODE_GROUP3_2D,
    kCodingTwoDTaggedStart = PX_CODE_GROUP3_2D_NO_EOL,
    kCodingModifiedHuffman = PX_CODE_MODIFIED_HUFFMAN,
    kCodingGroup4Uncompressed = 6,  // Group 4 data that may use uncompressed mode
    kCodingPcx = PX_CODE_PCX,
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
