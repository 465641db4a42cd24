// TIFF's vocabulary as this library reads and writes it: tag numbers, field types and the
// values of the tags the readers and the writer look at.
#pragma once

#include <cstdint>

namespace pixdoc {

enum TiffTag : uint16_t {
    kTagImageWidth = 256,
    kTagImageLength = 257,
    kTagBitsPerSample = 258,
    kTagCompression = 259,
    kTagPhotometric = 262,
    kTagFillOrder = 266,
    kTagStripOffsets = 273,
    kTagOrientation = 274,
    kTagSamplesPerPixel = 277,
    kTagRowsPerStrip = 278,
    kTagStripByteCounts = 279,
    kTagXResolution = 282,
    kTagYResolution = 283,
    kTagT4Options = 292,
    kTagT6Options = 293,
    kTagPlanarConfiguration = 284,
    kTagResolutionUnit = 296,
    kTagColorMap = 320,
    kTagTileWidth = 322,
    kTagJpegTables = 347,
};

enum TiffFieldType : uint16_t {
    kTypeByte = 1,
    kTypeAscii = 2,
    kTypeShort = 3,
    kTypeLong = 4,
    kTypeRational = 5,
    kTypeUndefined = 7,
};

// Compression values.
inline constexpr uint16_t kTiffUncompressed = 1;
inline constexpr uint16_t kTiffModifiedHuffman = 2;
inline constexpr uint16_t kTiffGroup3 = 3;
inline constexpr uint16_t kTiffGroup4 = 4;
inline constexpr uint16_t kTiffOldJpeg = 6;
inline constexpr uint16_t kTiffJpeg = 7;
inline constexpr uint16_t kTiffPackBits = 32773;

inline constexpr uint32_t kT4TwoDimensional = 1;     // T4Options bit 0
inline constexpr uint32_t kUncompressedAllowed = 2;  // T4Options and T6Options bit 1

inline constexpr uint16_t kPhotometricMinIsWhite = 0;
inline constexpr uint16_t kPhotometricMinIsBlack = 1;  // a set bit is white
inline constexpr uint16_t kPhotometricPalette = 3;
inline constexpr uint16_t kFillOrderMsbFirst = 1;
inline constexpr uint16_t kFillOrderLsbFirst = 2;
inline constexpr uint16_t kResolutionUnitInch = 2;
inline constexpr uint16_t kResolutionUnitCentimetre = 3;
inline constexpr uint16_t kPlanarSeparate = 2;

}  // namespace pixdoc
