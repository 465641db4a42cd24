#include "imaging/colour/colour_error.h"

#include <gtest/gtest.h>

#include <string>

#include "pixdoc32.h"

namespace {

constexpr const char* kUnknown = "Error code does not match known errors.";

TEST(ColourErrorText, CodesWithoutTextGiveTheUnknownText) {
    for (int code : {0, 16, 17, 18, 58, 63, 74, -1, 1000})
        EXPECT_STREQ(pixdoc::ColourErrorText(code), kUnknown) << code;
}

TEST(ColourErrorText, KnownCodes) {
    EXPECT_STREQ(pixdoc::ColourErrorText(1), "File handle appears corrupt.");
    EXPECT_STREQ(pixdoc::ColourErrorText(10), "GIF Code was not valid.  File appears corrupt.");
    EXPECT_STREQ(pixdoc::ColourErrorText(57), "Error - Unsupported Rotation Value.");
    EXPECT_STREQ(pixdoc::ColourErrorText(64), "Start of Scan paramaters invalid or unsupported.");
    EXPECT_STREQ(pixdoc::ColourErrorText(73), "Value to color multiply exceeds allowable values.");
    int with_text = 0;
    for (int code = 1; code <= 73; ++code)
        with_text += std::string(pixdoc::ColourErrorText(code)) != kUnknown;
    EXPECT_EQ(with_text, 64);
}

TEST(ColourError, FirstFailureWins) {
    pixdoc::SetColourError(pixdoc::kColourOk);
    pixdoc::RaiseColourError(pixdoc::kErrTiffUnsupported);
    pixdoc::RaiseColourError(pixdoc::kErrRead);
    EXPECT_EQ(PX_GetColorError(), 71);
    EXPECT_STREQ(PX_GetColorErrorText(PX_GetColorError()), "Unsupported TIFF types.");
    pixdoc::SetColourError(pixdoc::kColourOk);
}

}  // namespace
