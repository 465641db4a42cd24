#include "app/batch_operator.h"

#include "operator/choice_labels.h"
#include "operator/text_ids.h"

namespace scantora {

BatchOperator::BatchOperator(const BatchOptions& options, const InterfaceTexts& texts,
                             bool multi_page, std::ostream& out)
    : options_(options), texts_(texts), multi_page_(multi_page), out_(out) {}

void BatchOperator::ShowMessage(std::string_view text, MessageIcon icon) {
    out_ << (icon == MessageIcon::kStop ? "[stop] " : "[info] ") << text << '\n';
    out_.flush();
}

bool BatchOperator::AskYesNo(std::string_view text, bool default_yes) {
    bool answer = default_yes;
    if (text == texts_.Text(text_id::kEndOfBatch))
        answer = options_.end_of_batch == EndOfBatchAnswer::kTransfer;
    out_ << "[question] " << text << " -> " << (answer ? "yes" : "no") << '\n';
    out_.flush();
    return answer;
}

int BatchOperator::ChooseOne(std::string_view text, const ChoiceLabels& labels) {
    int index = 0;
    if (labels == ChoiceButtons(ChoiceUse::kFileExists, multi_page_, texts_)) {
        index = static_cast<int>(options_.on_existing);
    } else if (labels == ChoiceButtons(ChoiceUse::kEndOfDocument, multi_page_, texts_)) {
        index = static_cast<int>(options_.on_end_of_document);
    }
    // One file per page has no "next document" button: going on is the nearest answer.
    if (!ChoiceShown(labels, index)) index = 0;
    out_ << "[choice] " << text << "\n  -> " << index + 1 << ") " << labels[index] << '\n';
    out_.flush();
    return index;
}

}  // namespace scantora
