#include "imaging/exports/ordinal_table.h"

#include <algorithm>
#include <cstring>

#include "pixdoc32.h"
#include "pixdoc32_window_host.h"

namespace pixdoc {
namespace {

template <typename F>
void* Fn(F* f) {
    return reinterpret_cast<void*>(f);
}

// Keep ascending by ordinal; a test checks order and uniqueness.
const OrdinalEntry kTable[] = {
    {1, "PX_StartImageWindow", Fn(&PX_StartImageWindow)},
    {3, "PX_SetImagePage", Fn(&PX_SetImagePage)},
    {7, "PX_SetDisplayImageArea", Fn(&PX_SetDisplayImageArea)},
    {9, "PX_SetImageScaling", Fn(&PX_SetImageScaling)},
    {11, "PX_PaintImage", Fn(&PX_PaintImage)},
    {33, "GetTiffPages", Fn(&GetTiffPages)},
    {34, "PX_SetImageMultPage", Fn(&PX_SetImageMultPage)},
    {43, "PX_GetImageWindowHandle", Fn(&PX_GetImageWindowHandle)},
    {44, "PX_SetImageWindow", Fn(&PX_SetImageWindow)},
    {45, "PX_SetCallback", Fn(&PX_SetCallback)},
    {58, "PXGetImageInfo", Fn(&PXGetImageInfo)},
    {79, "PX_ReportCallbackTime", Fn(&PX_ReportCallbackTime)},
    {218, "BarcodeMultipleSetZoneHeight", Fn(&BarcodeMultipleSetZoneHeight)},
    {220, "PXGetImageInfoExtended", Fn(&PXGetImageInfoExtended)},
    {260, "PXinSeekBarCode", Fn(&PXinSeekBarCode)},
    {278, "PXinSeekBarCodeInsertData", Fn(&PXinSeekBarCodeInsertData)},
    {323, "PX_StartColorEdit", Fn(&PX_StartColorEdit)},
    {324, "PX_ColorEditGetWidth", Fn(&PX_ColorEditGetWidth)},
    {325, "PX_ColorEditGetHeight", Fn(&PX_ColorEditGetHeight)},
    {329, "PX_ColorEditEnd", Fn(&PX_ColorEditEnd)},
    {343, "PX_ColorEditMergeImageEx", Fn(&PX_ColorEditMergeImageEx)},
    {364, "PXGetImageInfoAndImage", Fn(&PXGetImageInfoAndImage)},
    {369, "PXGetImageSize", Fn(&PXGetImageSize)},
    {418, "PX_ClearCallback", Fn(&PX_ClearCallback)},
    {422, "OpenImageHeader", Fn(&OpenImageHeader)},
    {459, "PX_ColorEditSeekBarCode", Fn(&PX_ColorEditSeekBarCode)},
    {600, "PX_GetExportName", Fn(&PX_GetExportName)},
    {601, "PX_GetExportByOrdinal", Fn(&PX_GetExportByOrdinal)},
    {602, "PX_GetColorError", Fn(&PX_GetColorError)},
    {603, "PX_GetColorErrorText", Fn(&PX_GetColorErrorText)},
    {604, "PXinSeekBarCodeNoSingleBits", Fn(&PXinSeekBarCodeNoSingleBits)},
    {605, "PXinSeekBarCodeLeaveInvertFlag", Fn(&PXinSeekBarCodeLeaveInvertFlag)},
    {606, "PXinSeekBarCodeSetCodabarMinSize", Fn(&PXinSeekBarCodeSetCodabarMinSize)},
    {607, "PXinSeekBarCode128NoCheckSum", Fn(&PXinSeekBarCode128NoCheckSum)},
    {608, "PX_GetBarCodeStatus", Fn(&PX_GetBarCodeStatus)},
    {609, "Decompress", Fn(&Decompress)},
    {610, "RotateCoordinates", Fn(&RotateCoordinates)},
    {611, "XchgBytes", Fn(&XchgBytes)},
    {612, "InvertBytes", Fn(&InvertBytes)},
    {613, "PXinSeekBarCode3of9", Fn(&PXinSeekBarCode3of9)},
    {614, "PXinSeekBarCode3of9Ex", Fn(&PXinSeekBarCode3of9Ex)},
    {615, "PXinSeekBarCode3of9Multiple", Fn(&PXinSeekBarCode3of9Multiple)},
    {616, "PXinSeekBarCode3of9MultipleEx", Fn(&PXinSeekBarCode3of9MultipleEx)},
    {617, "Barcode39", Fn(&Barcode39)},
    {618, "PXinSeekBarCode2of5", Fn(&PXinSeekBarCode2of5)},
    {619, "PXinSeekBarCode2of5Ex", Fn(&PXinSeekBarCode2of5Ex)},
    {620, "PXinSeekBarCode2of5Multiple", Fn(&PXinSeekBarCode2of5Multiple)},
    {621, "PXinSeekBarCode2of5MultipleEx", Fn(&PXinSeekBarCode2of5MultipleEx)},
    {622, "Barcode25", Fn(&Barcode25)},
    {623, "PXinSeekBarCode128", Fn(&PXinSeekBarCode128)},
    {624, "PXinSeekBarCode128Ex", Fn(&PXinSeekBarCode128Ex)},
    {625, "PXinSeekBarCode128Multiple", Fn(&PXinSeekBarCode128Multiple)},
    {626, "PXinSeekBarCode128MultipleEx", Fn(&PXinSeekBarCode128MultipleEx)},
    {627, "Barcode128", Fn(&Barcode128)},
    {628, "PXinSeekBarCodabar", Fn(&PXinSeekBarCodabar)},
    {629, "PXinSeekBarCodabarEx", Fn(&PXinSeekBarCodabarEx)},
    {630, "PXinSeekBarCodabarMultiple", Fn(&PXinSeekBarCodabarMultiple)},
    {631, "PXinSeekBarCodabarMultipleEx", Fn(&PXinSeekBarCodabarMultipleEx)},
    {632, "PXinSeekBarCodeEAN", Fn(&PXinSeekBarCodeEAN)},
    {633, "PXinSeekBarCodeEANEx", Fn(&PXinSeekBarCodeEANEx)},
    {634, "PXinSeekBarCodeEANMultiple", Fn(&PXinSeekBarCodeEANMultiple)},
    {635, "PXinSeekBarCodeEANMultipleEx", Fn(&PXinSeekBarCodeEANMultipleEx)},
    {636, "BarcodeEAN", Fn(&BarcodeEAN)},
    {637, "PXinSeekBarCode2of5Memory", Fn(&PXinSeekBarCode2of5Memory)},
    {638, "CompressionStart", Fn(&CompressionStart)},
    {639, "CompressLine", Fn(&CompressLine)},
    {640, "CompressEnd", Fn(&CompressEnd)},
    {641, "CompressionReStart", Fn(&CompressionReStart)},
    {642, "OpenCompressionFile", Fn(&OpenCompressionFile)},
    {643, "WriteCompressionFile", Fn(&WriteCompressionFile)},
    {644, "SeekCompressionFile", Fn(&SeekCompressionFile)},
    {645, "CloseCompressionFile", Fn(&CloseCompressionFile)},
    {646, "PX_SetWindowHost", Fn(&PX_SetWindowHost)},
    {647, "PX_WindowResized", Fn(&PX_WindowResized)},
    {648, "PX_WindowScrolled", Fn(&PX_WindowScrolled)},
    {649, "PX_WindowPaint", Fn(&PX_WindowPaint)},
    {650, "PX_WindowDestroyed", Fn(&PX_WindowDestroyed)},
    {651, "PX_ZoomImage", Fn(&PX_ZoomImage)},
    {652, "ManualSkewCorrect", Fn(&ManualSkewCorrect)},
    {653, "PX_FindBarcodeSkew", Fn(&PX_FindBarcodeSkew)},
    {654, "PX_DeskewBarCode", Fn(&PX_DeskewBarCode)},
    {655, "PXinSeekBarCodeAdaptive", Fn(&PXinSeekBarCodeAdaptive)},
};

const OrdinalEntry* Find(int32_t ordinal) {
    auto it = std::lower_bound(std::begin(kTable), std::end(kTable), ordinal,
                               [](const OrdinalEntry& e, int32_t o) { return e.ordinal < o; });
    return it != std::end(kTable) && it->ordinal == ordinal ? it : nullptr;
}

}  // namespace

std::span<const OrdinalEntry> OrdinalTable() {
    return kTable;
}

}  // namespace pixdoc

PIXDOC_API const char* PX_GetExportName(int32_t ordinal) {
    const pixdoc::OrdinalEntry* e = pixdoc::Find(ordinal);
    return e ? e->name : nullptr;
}

PIXDOC_API void* PX_GetExportByOrdinal(int32_t ordinal) {
    const pixdoc::OrdinalEntry* e = pixdoc::Find(ordinal);
    return e ? e->function : nullptr;
}
