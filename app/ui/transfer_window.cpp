#include "app/ui/transfer_window.h"

#include "app/program_transfer.h"
#include "transfer/ui/transfer_dialog.h"

namespace scantora {

bool RunTransferWindow(const JobRecord& job, const InterfaceTexts& texts, Operator& op,
                       barlynx::CorrectionDialog* correction, QWidget* parent) {
    bool completed = true;
    TransferModel model(job, false);
    const SendDocuments send = [&](TransferModel& chosen, TransferProgress& progress,
                                   Operator& asked) {
        const TransferRunResult result =
            SendWithProgramMove(chosen, job, texts, asked, progress, correction);
        completed = result.success;
    };
    TransferDialog dialog(model, send, op, texts, parent);
    dialog.exec();
    return completed;
}

}  // namespace scantora
