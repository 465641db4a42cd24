#include "app/program_transfer.h"

#include <memory>

#include "config/numeric_text.h"
#include "transfer/barlynx_factory.h"
#include "transfer/move_files.h"

namespace scantora {

bool WithProgramMove(const JobRecord& job, Operator& op, TransferProgress& progress,
                     const DiscoveryPatterns& selection, barlynx::CorrectionDialog* correction,
                     const std::function<void(const DocumentMove&)>& send) {
    std::unique_ptr<CBarlynx> barlynx;
    PageExport page_export;
    if (LeadingNumber(job.barcode) != 0) {
        CreatedBarlynx created = CreateBarlynxControl();
        if (!created.control) {
            op.Stop(created.error);
            return false;
        }
        barlynx = std::make_unique<CBarlynx>(std::move(created.control), op, correction);
        page_export = BarlynxPageExport(*barlynx, job);
    }
    const MoveContext moves{job, op, progress, page_export, &selection};
    send([&](const std::string& document_path) {
        return MoveFiles2(moves, document_path, job.invioa, "/s");
    });
    return true;
}

TransferRunResult SendWithProgramMove(TransferModel& model, const JobRecord& job,
                                      const InterfaceTexts& texts, Operator& op,
                                      TransferProgress& progress,
                                      barlynx::CorrectionDialog* correction) {
    TransferRunResult result;
    WithProgramMove(job, op, progress, model.patterns(), correction, [&](const DocumentMove& move) {
        TransferRunContext context{job, texts, op, progress, move};
        context.automatic = model.automatic();
        result = SendChosen(model, context);
    });
    return result;
}

}  // namespace scantora
