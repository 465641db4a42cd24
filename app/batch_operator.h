// The operator of the batch mode: messages go to a stream (stderr) as the console shows them,
// and every question is answered by the choices the command line gave: the existing-file and
// end-of-document choices by their buttons, "Fine Batch?" by --end-of-batch, any other
// question by its preselected answer. Each answer is written after its question.
#pragma once

#include <ostream>

#include "app/program_arguments.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"

namespace scantora {

class BatchOperator : public Operator {
public:
    // `texts` tells the questions apart; `multi_page` is the job's document kind.
    BatchOperator(const BatchOptions& options, const InterfaceTexts& texts, bool multi_page,
                  std::ostream& out);

    void ShowMessage(std::string_view text, MessageIcon icon) override;
    bool AskYesNo(std::string_view text, bool default_yes) override;
    int ChooseOne(std::string_view text, const ChoiceLabels& labels) override;
    void Beep() override {}

    void set_multi_page(bool multi_page) { multi_page_ = multi_page; }

private:
    const BatchOptions& options_;
    const InterfaceTexts& texts_;
    bool multi_page_;
    std::ostream& out_;
};

}  // namespace scantora
