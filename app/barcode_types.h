// The barcode types a job reads: the eleven symbologies of the reader's type mask, as the
// "Bar Code Recognition" dialog and the setup sheet's barcode page show them. BARCODEVAL is
// always the sum of the checked bits.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "operator/interface_texts.h"
#include "operator/text_ids.h"

namespace scantora {

struct Symbology {
    int bit;       // its bit of the type mask
    int label_id;  // its name in the text lookup
};

inline constexpr int kSymbologyCount = 11;
// In the order the boxes are shown.
inline constexpr std::array<Symbology, kSymbologyCount> kSymbologies{{
    {1, text_id::kFirstSymbology},          // Code 3 of 9
    {2, text_id::kFirstSymbology + 1},      // Code 2 of 5
    {4, text_id::kFirstSymbology + 2},      // Code 128
    {8, text_id::kFirstSymbology + 3},      // Codabar
    {16, text_id::kFirstSymbology + 4},     // UPC-A
    {32, text_id::kFirstSymbology + 5},     // EAN-13
    {64, text_id::kFirstSymbology + 6},     // Code 93
    {128, text_id::kFirstSymbology + 7},    // Code 2 of 5 IATA
    {256, text_id::kFirstSymbology + 8},    // Code 93 Type 2
    {512, text_id::kFirstSymbology + 9},    // Code 3 of 9 Nude
    {1024, text_id::kFirstSymbology + 10},  // EAN-8
}};
// The bits of all eleven.
inline constexpr int kAllSymbologies = (1 << kSymbologyCount) - 1;

// The mask a BARCODEVAL value gives, without bits that name no symbology.
int SymbologyMask(std::string_view barcodeval);

// The model of the "Bar Code Recognition" dialog.
class BarcodeTypes {
public:
    explicit BarcodeTypes(std::string_view barcodeval) : mask_(SymbologyMask(barcodeval)) {}

    bool Checked(int index) const { return (mask_ & kSymbologies[index].bit) != 0; }
    void SetChecked(int index, bool checked);
    void SelectAll() { mask_ = kAllSymbologies; }
    void DeselectAll() { mask_ = 0; }

    int mask() const { return mask_; }
    // The BARCODEVAL text of the checked boxes.
    std::string Value() const { return std::to_string(mask_); }

private:
    int mask_;
};

// The dialog's caption, group and button texts.
struct BarcodeTypesLabels {
    std::string caption;
    std::string group;
    std::string select_all;
    std::string deselect_all;
    std::array<std::string, kSymbologyCount> names;
};
BarcodeTypesLabels BarcodeTypesTexts(const InterfaceTexts& texts);

}  // namespace scantora
