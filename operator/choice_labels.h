// The buttons of the three-way choice by its use: a document file that exists already, and the
// end of a document. The answer is the button's index; its meaning is the caller's.
#pragma once

#include "operator/interface_texts.h"
#include "operator/operator.h"

namespace scantora {

enum class ChoiceUse {
    kFileExists,     // the page or document file of the identification exists
    kEndOfDocument,  // the feeder is empty: go on, next document or stop
};

// The labels for `use` with multi-page documents or one file per page; the end of a document
// of one file per page has no second button (its label is empty).
ChoiceLabels ChoiceButtons(ChoiceUse use, bool multi_page, const InterfaceTexts& texts);

// Whether button `index` of `labels` is shown.
bool ChoiceShown(const ChoiceLabels& labels, int index);

}  // namespace scantora
