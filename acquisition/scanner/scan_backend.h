// One kind of source behind the imaging control: a SANE device or a feeder folder. The
// control runs the acquisition; a back end opens its source, applies and reports values and
// gives pages one by one.
#pragma once

#include <string>

#include "acquisition/scanner/imaging_control.h"

namespace scantora {

struct BatchPlan {
    int page_limit = kAllPages;  // most pages the source gives in this batch
    bool duplex = false;         // the pages come as front and back of each sheet
};

class ScanBackend {
public:
    virtual ~ScanBackend() = default;

    // Opens the source when it is not open yet.
    virtual ImagingStatus Open() = 0;
    virtual ImagingStatus Apply(const ScannerValues& values) = 0;
    // What an open source holds; nothing for one that is not open.
    virtual ScannerValues Read() = 0;
    // What an open source offers; nothing is known of one that offers no settings.
    virtual ScannerLimits Limits() { return {}; }
    virtual int DuplexCapability() = 0;
    // Prepares a batch of `pages` (kAllPages: the feeder), duplex when asked and offered.
    virtual ImagingStatus BeginBatch(int pages, bool duplex, BatchPlan& plan) = 0;
    // The next page, or `feeder_empty` when there is none.
    virtual ImagingStatus NextPage(Page& page, bool& feeder_empty) = 0;
    // The handler is done with `page`; `keep_going` false ends the batch after it.
    virtual ImagingStatus PageHandled(const Page& page, bool& keep_going) = 0;
    virtual void EndBatch() = 0;
    virtual void Close() = 0;
    // Details of the last failure.
    virtual std::string ErrorText() const = 0;
};

}  // namespace scantora
