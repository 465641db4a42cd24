// Separator sheets as the acquisition loop sees them. The loop hands every saved page to this
// interface when separation is active and applies a matched separator before the next page; the
// implementation (recognition through the barcode reader, removal of separator pages) lives in
// a higher layer and is given to the loop when the program is put together.
#pragma once

#include <string>

#include "acquisition/identification_model.h"

namespace scantora {

// A page just saved by the loop.
struct SavedPage {
    std::string file;       // the file the page went to
    int pages_in_file = 1;  // multi-page documents: pages written to the file so far, this one
                            // the last; one file per page: 1
    AcquiredPage side;      // duplex scanning and the side of the sheet
};

// What the loop learns about a saved page.
struct SeparatorCheck {
    int matched = 0;        // the separator (1 to 3) to apply before the next page, 0 for none
    int pages_in_file = 1;  // pages left in the file once separator pages were removed
};

class PageSeparation {
public:
    virtual ~PageSeparation() = default;

    // At the start of scanning: whether separation is active for this job. Forgets a separator
    // pending from the first side of a sheet.
    virtual bool StartScanning() = 0;
    // Recognises the page, removes it when it is a separator page the job does not keep, and
    // tells which separator takes effect now (with duplex scanning, after a sheet's second side).
    virtual SeparatorCheck PageSaved(const SavedPage& page) = 0;
    // Steps the code of the separator's level and empties the deeper levels; a separator of
    // level 1, or whose operation is not "+" or "-", changes nothing.
    virtual void Apply(int matched, IdentificationModel& identification) = 0;
};

}  // namespace scantora
