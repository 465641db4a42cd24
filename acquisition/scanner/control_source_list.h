// The imaging control's sources as the list the job's source choice walks.
#pragma once

#include "acquisition/scanner/imaging_control.h"
#include "config/source_choice.h"

namespace scantora {

class ControlSourceList : public SourceList {
public:
    // Lists the sources afresh, as opening the source list does.
    explicit ControlSourceList(ImagingControl& control) : control_(control) {
        control_.RefreshSources();
    }
    int Count() override { return control_.SourceCount(); }
    std::string Name(int index) override { return control_.SourceName(index); }
    void Select(int index) override { control_.SelectSource(control_.SourceName(index)); }

private:
    ImagingControl& control_;
};

}  // namespace scantora
