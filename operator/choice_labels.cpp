#include "operator/choice_labels.h"

#include "operator/text_ids.h"

namespace scantora {

ChoiceLabels ChoiceButtons(ChoiceUse use, bool multi_page, const InterfaceTexts& texts) {
    using namespace text_id;
    if (use == ChoiceUse::kFileExists) {
        if (multi_page) return {texts.Text(kAppend), texts.Text(kRescan), texts.Text(kCancelScan)};
        return {texts.Text(kYesToAll), texts.Text(kYes), texts.Text(kCancelScan)};
    }
    if (multi_page)
        return {texts.Text(kContinueBatch), texts.Text(kNextBatch), texts.Text(kEndScan)};
    return {texts.Text(kContinueScanning), "", texts.Text(kEndScan)};
}

bool ChoiceShown(const ChoiceLabels& labels, int index) {
    return index >= 0 && index < static_cast<int>(labels.size()) &&
           !labels[static_cast<std::size_t>(index)].empty();
}

}  // namespace scantora
