// Barlynx, the barcode reader component: its class identity, its dispatch interface and the two
// interfaces it calls back in its host (message boxes, the Reject Correction dialog). Hosts load
// libbarlynx.so and create the control by class identifier or ProgID through
// BarlynxCreateInstance; everything crosses as this header's types.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "pixdoc32.h"

namespace barlynx {

inline constexpr std::string_view kClassId = "{4917567F-4548-4ED2-ADA4-B843A07ED650}";
inline constexpr std::string_view kProgId = "BARLYNX.BarlynxCtrl.1";
inline constexpr std::string_view kUserTypeName = "Barlynx Control";
// The caption of the control's message boxes.
inline constexpr std::string_view kMessageCaption = "Barlynx";

// Dispatch identifiers of the control's properties and of its one method.
enum class DispId : int32_t {
    kExclusionHeight = 1,   // long
    kDegree = 2,            // short
    kBWThreshold = 3,       // long
    kBWThresholdNeg = 4,    // long
    kBWRotate = 5,          // long
    kRejectCorrection = 6,  // boolean
    kGetAllBarCode = 7,
    kAdaptive = 8,  // boolean: the library's adaptive search (PXinSeekBarCodeAdaptive)
};

// A property value in its automation type: long, short or boolean.
using PropertyValue = std::variant<int32_t, int16_t, bool>;

// Message boxes with an OK button only; the call waits until the operator has seen the text.
class MessageHost {
public:
    virtual void ShowMessage(std::string_view text) = 0;

protected:
    ~MessageHost() = default;
};

// Image window exports of pixdoc32 that the correction dialog shows the page with, as the
// control bound them (null where the loaded library lacks one).
struct PageWindowExports {
    decltype(&PX_StartImageWindow) start_image_window;           // 1
    decltype(&PX_SetImagePage) set_image_page;                   // 3
    decltype(&PX_SetDisplayImageArea) set_display_image_area;    // 7
    decltype(&PX_PaintImage) paint_image;                        // 11
    decltype(&GetTiffPages) get_tiff_pages;                      // 33
    decltype(&PX_GetImageWindowHandle) get_image_window_handle;  // 43
};

// A rectangle in page pixels, as the image window's area exports take it.
struct PageArea {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
};

// What the Reject Correction dialog is given for one barcode read with a rejected character.
struct CorrectionRequest {
    std::string_view barcode_text;  // the text as read, put into the dialog's edit field
    std::string_view file_name;     // the page's file
    int16_t page = 1;
    long first_x = 0;  // the segment's coordinates
    long second_x = 0;
    long y = 0;
    PageArea neighbourhood;             // the barcode's neighbourhood to show
    const PageWindowExports* window{};  // never null
};

// The host's Reject Correction dialog: the operator's text on OK, nothing on Cancel.
class CorrectionDialog {
public:
    virtual std::optional<std::string> Correct(const CorrectionRequest& request) = 0;

protected:
    ~CorrectionDialog() = default;
};

// The control's dispatch interface. One instance serves any number of calls, one at a time;
// nothing is kept between calls but the property values.
class IBarlynx {
public:
    // The property's value, or nothing for an identifier that is not a property.
    virtual std::optional<PropertyValue> GetProperty(DispId id) const = 0;
    // Sets a property and marks the control modified; false (nothing changed) for an identifier
    // that is not a property or a value not of the property's type.
    virtual bool SetProperty(DispId id, const PropertyValue& value) = 0;
    // Whether a property was set since the control was created.
    virtual bool IsModified() const = 0;

    // Where messages and the correction dialog go; either may be null (messages are then
    // dropped, and a rejected read keeps its text). The host's objects must outlive the calls.
    virtual void SetHost(MessageHost* messages, CorrectionDialog* correction) = 0;

    // Reads every barcode on page `page` (from 1) of `file_name` with the symbologies of
    // `bar_code_type` and returns the raw search text, or an empty text with `error` set. When
    // an export name is present, one export line goes to each non-empty one; an absent name
    // differs from an empty one (an empty one still lets rejected reads be corrected).
    virtual std::string GetAllBarCode(std::string_view file_name, int16_t bar_code_type,
                                      std::optional<std::string_view> export_file,
                                      std::optional<std::string_view> export_file2,
                                      std::string_view images_path, int32_t& error,
                                      int16_t page) = 0;

    // Destroys the control.
    virtual void Release() = 0;

protected:
    ~IBarlynx() = default;
};

// BarlynxCreateInstance's signature, for hosts that look it up in the loaded library.
using CreateInstanceFunction = IBarlynx* (*)(const char* class_id);
inline constexpr const char* kCreateInstanceSymbol = "BarlynxCreateInstance";
// BarlynxLoadError's signature.
using LoadErrorFunction = const char* (*)();
inline constexpr const char* kLoadErrorSymbol = "BarlynxLoadError";

}  // namespace barlynx

// A new control for the class identifier (braces optional) or the ProgID, both matched without
// regard to case; null for another class, or when the imaging library lacks an export of the
// bilevel search. Lacking one of the colour path, the control is made and a colour page fails
// at that step with result -1. BarlynxLoadError says what is missing.
extern "C" __attribute__((visibility("default"))) barlynx::IBarlynx* BarlynxCreateInstance(
    const char* class_id);
// What the loaded imaging library lacks; empty when it has every export the search needs.
extern "C" __attribute__((visibility("default"))) const char* BarlynxLoadError();
