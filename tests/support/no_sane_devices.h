// A SANE library without devices: the imaging control then lists only its feeder folders.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "acquisition/scanner/sane_device.h"

namespace scantora::testing {

class NoSaneDevices : public SaneBackend {
public:
    std::vector<SaneDeviceEntry> ListDevices() override { return {}; }
    SANE_Status Open(const std::string&, std::unique_ptr<SaneDevice>&) override {
        return SANE_STATUS_INVAL;
    }
};

}  // namespace scantora::testing
