// Saving what the job setup edited: the property sheet's OK writes the job file with the main
// writer and reads it again at once; the tabbed form's OK writes it with the second writer and
// asks for a restart.
#pragma once

#include "app/app_state.h"
#include "app/setup_sheet.h"
#include "app/text_lookup.h"
#include "operator/operator.h"

namespace scantora {

// A working copy of the current job for the sheet of `form`.
SetupSheet OpenJobSetup(const AppState& state, const TextLookup& texts, SetupForm form);

// Writes the sheet's record into the current job's file (composed in the rewrite temporary
// file); the property sheet's form then reloads the job into `state`. Returns false when the
// file could not be written or read back; each failure has shown its message.
bool SaveJobSetup(AppState& state, const SetupSheet& sheet, Operator& op, const TextLookup& texts);

}  // namespace scantora
