// The transfer dialog as the program opens it, from the menu or at the end of a batch: over the
// current job's work area, sending with the program's move.
#pragma once

#include <QWidget>

#include "barcode_control/barlynx.h"
#include "config/job_record.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"

namespace scantora {

// Runs the dialog until the operator closes it. False when a send it ran ended without its
// success mark. `correction` (may be null) is the reader control's Reject Correction dialog.
bool RunTransferWindow(const JobRecord& job, const InterfaceTexts& texts, Operator& op,
                       barlynx::CorrectionDialog* correction, QWidget* parent);

}  // namespace scantora
