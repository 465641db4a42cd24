#include "app/program_transfer.h"

#include <memory>

#include "config/numeric_text.h"
#include "transfer/barlynx_factory.h"
#include "transfer/move_files.h"

namespace scantora {

TransferRunResult SendWithProgramMove(TransferModel& model, const JobRecord& job,
                                      const InterfaceTexts& texts, Operator& op,
                                      TransferProgress& progress,
                                      barlynx::CorrectionDialog* correction) {
    std::unique_ptr<CBarlynx> barlynx;
    PageExport page_export;
    if (LeadingNumber(job.barcode) != 0) {
        CreatedBarlynx created = CreateBarlynxControl();
        if (!created.control) {
            op.Stop(created.error);
            return {};
        }
        barlynx = std::make_unique<CBarlynx>(std::move(created.control), op, correction);
        page_export = BarlynxPageExport(*barlynx, job);
    }
    const MoveContext moves{job, op, progress, page_export, &model.patterns()};
    TransferRunContext context{job, texts, op, progress, [&](const std::string& document_path) {
                                   return MoveFiles2(moves, document_path, job.invioa, "/s");
                               }};
    context.automatic = model.automatic();
    return SendChosen(model, context);
}

}  // namespace scantora
