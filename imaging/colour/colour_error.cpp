#include "imaging/colour/colour_error.h"

#include <algorithm>
#include <iterator>

#include "pixdoc32.h"

namespace pixdoc {
namespace {

struct Message {
    int32_t code;
    const char* text;
};

// Codes 16 to 18 and 58 to 63 have no text of their own.
const Message kMessages[] = {
    {1, "File handle appears corrupt."},
    {2, "Unable to allocate memory."},
    {3, "Seek in Image file failed."},
    {4, "Read in Image file failed."},
    {5, "Image file header ID corrupt."},
    {6, "Unable to read palette from image file."},
    {7, "Offset in image file to image data appears corrupt."},
    {8, "Display image dimensions appear corrupt."},
    {9, "Unexpected end of image file in middle of data."},
    {10, "GIF Code was not valid.  File appears corrupt."},
    {11, "GIF Image file appears corrupt since image was not found."},
    {12, "Pointer passed to decompression function is NULL."},
    {13, "Not Supported image file format, i.e. probably 2, 16, or 24 bit color."},
    {14, "User Display Function returned an error."},
    {15, "Selected compression bits is unsupported for this compression format."},
    {19, "Error was returned by BIOS while writing an image file."},
    {20, "Could not find Start of Frame marker in a JPEG file."},
    {21, "Start of Scan marker encountered before Start of Frame Marker (JPEG)."},
    {22, "Unsupported JPEG format."},
    {23, "Encountered an unexpected restart marker."},
    {24, "JPEG component selected in Start of Scan not previously defined."},
    {25, "Number of Huffman codes found differs from JPEG Define Huffman Table marker."},
    {26, "Requested Huffman DC Table is undefined."},
    {27, "Requested Huffman AC Table is undefined."},
    {28, "Number of Huffman codes defined exceeds 256."},
    {29, "Restart marker encountered not expected marker.  Suspected data lost."},
    {30, "JPEG Huffman Table selected is not within class and ID range."},
    {31, "Insufficient number of colors chosen for color palette (JPEG)."},
    {32, "Precision or frame length of JPEG Define Quantization Table marker invalid."},
    {33, "Define Quantatization Table precision and/or table ID invalid."},
    {34, "Encountered invalid or unspecified Huffman code while decoding."},
    {35, "During JPEG Huffman code decoding encountered invalid code"},
    {36, "Quantization table selected for component was not previously defined"},
    {37, "Restart marker missing or invalid"},
    {38, "Palette was not allocated or set in decompression structure"},
    {39, "Horizontal scale factor * sampling factor must be 1/8,1/4...4,8"},
    {40, "Vertical scale factor * sampling factor must be 1/8,1/4...4,8"},
    {41, "Strip size of decompression exceeds DOS 64K buffer limit."},
    {42, "Extended Memory Driver not installed."},
    {43, "Unable to allocate enough Extended Memory."},
    {44, "Error with parameters for Scale N to M.  Check for buffer sizes."},
    {45, "Number of scan lines to compress requires more than 64K block of memory."},
    {46, "Color Space chosen for JPEG compression unrecognized."},
    {47, "Null Pointer passed to write Define Quantization Table."},
    {48, "Null Pointer passed to write Define Huffman Table."},
    {49, "Restart Interval encountered while writing not sequential."},
    {50, "Value presented for Huffman coding has no Huffman code associated to it."},
    {51, "Input is indexed color palette and compression palette pointer is null."},
    {52, "Supported input color spaces are palette indexed and RGB."},
    {53, "Progressive JPEG compression not currently supported."},
    {54, "Error allocating memory for MCU storage during decompression."},
    {55, "Error getting pointer to memory for MCU storage during decompression."},
    {56, "Error deallocating memory for MCU storage during decompression."},
    {57, "Error - Unsupported Rotation Value."},
    {64, "Start of Scan paramaters invalid or unsupported."},
    {65, "TIFF file format not Intel or Motorola."},
    {66, "Unknown TIFF type for variable."},
    {67, "File not a TIFF file or new version of TIFF."},
    {68, "TIFF offset to Image File Directory invalid."},
    {69, "Specified TIFF type must have pointer not field."},
    {70, "Strip offset types supported are short or long only."},
    {71, "Unsupported TIFF types."},
    {72, "Value to color add exceeds allowable values."},
    {73, "Value to color multiply exceeds allowable values."},
};

constexpr const char* kUnknownText = "Error code does not match known errors.";

}  // namespace

const char* ColourErrorText(int32_t code) {
    auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                               [](const Message& m, int32_t c) { return m.code < c; });
    return it != std::end(kMessages) && it->code == code ? it->text : kUnknownText;
}

}  // namespace pixdoc

PIXDOC_API int32_t PX_GetColorError(void) {
    return pixdoc::GetColourError();
}
PIXDOC_API const char* PX_GetColorErrorText(int32_t code) {
    return pixdoc::ColourErrorText(code);
}
