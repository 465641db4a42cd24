// The Reject Correction dialog's model: the text of a barcode read with a rejected character,
// which the operator corrects with digits, and the part of the page the dialog shows.
#pragma once

#include <string>
#include <string_view>

#include "barcode_control/barlynx.h"

namespace scantora {

// The smallest part of the page shown around a barcode, in page pixels each way.
inline constexpr long kSmallestNeighbourhood = 64;

class RejectCorrectionModel {
public:
    explicit RejectCorrectionModel(const barlynx::CorrectionRequest& request);

    // The edit field: the text as read at first.
    const std::string& text() const { return text_; }
    // Whether a keystroke that leaves `typed` in the edit added digits only (the characters
    // read that are not digits may stay or go).
    bool Accepts(std::string_view typed) const;
    // Takes the edit's text when it accepts it; returns whether it did.
    bool Edit(std::string_view typed);

    const std::string& file() const { return file_; }
    int page() const { return page_; }
    // A file that does not exist shows nothing.
    bool ShowsPage() const;
    // The barcode's neighbourhood with its corners in order (the reader gives it from the end
    // of the barcode to its start), never smaller than kSmallestNeighbourhood each way.
    barlynx::PageArea Area() const { return area_; }

private:
    std::string text_;
    std::string file_;
    int page_;
    barlynx::PageArea area_;
};

}  // namespace scantora
