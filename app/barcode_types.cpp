#include "app/barcode_types.h"

#include "config/numeric_text.h"
#include "operator/text_ids.h"

namespace scantora {

int SymbologyMask(std::string_view barcodeval) {
    return static_cast<int>(LeadingNumber(barcodeval) & kAllSymbologies);
}

void BarcodeTypes::SetChecked(int index, bool checked) {
    const int bit = kSymbologies[static_cast<std::size_t>(index)].bit;
    mask_ = checked ? mask_ | bit : mask_ & ~bit;
}

BarcodeTypesLabels BarcodeTypesTexts(const InterfaceTexts& texts) {
    BarcodeTypesLabels labels{texts.Text(text_id::kBarcodeRecognitionCaption),
                              texts.Text(text_id::kBarcodeTypeGroup),
                              texts.Text(text_id::kSelectAll),
                              texts.Text(text_id::kDeselectAll),
                              {}};
    for (int i = 0; i < kSymbologyCount; ++i)
        labels.names[static_cast<std::size_t>(i)] = texts.Text(kSymbologies[i].label_id);
    return labels;
}

}  // namespace scantora
