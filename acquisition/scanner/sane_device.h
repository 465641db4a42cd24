// The SANE calls the control makes, behind classes that the system's library, the tests and
// the fuzzer each provide.
#pragma once

#include <sane/sane.h>

#include <memory>
#include <string>
#include <vector>

namespace scantora {

struct SaneDeviceEntry {
    std::string name;  // what sane_open takes
    std::string vendor;
    std::string model;
};

// One open device (sane_open to sane_close).
class SaneDevice {
public:
    virtual ~SaneDevice() = default;
    // The descriptor of option `option`, null past the last one.
    virtual const SANE_Option_Descriptor* Describe(SANE_Int option) = 0;
    virtual SANE_Status Control(SANE_Int option, SANE_Action action, void* value,
                                SANE_Int* info) = 0;
    virtual SANE_Status Start() = 0;
    virtual SANE_Status Parameters(SANE_Parameters& parameters) = 0;
    virtual SANE_Status Read(SANE_Byte* data, SANE_Int max_length, SANE_Int& length) = 0;
    virtual void Cancel() = 0;
};

// The library: its device list and sane_open.
class SaneBackend {
public:
    virtual ~SaneBackend() = default;
    virtual std::vector<SaneDeviceEntry> ListDevices() = 0;
    virtual SANE_Status Open(const std::string& name, std::unique_ptr<SaneDevice>& device) = 0;
};

// The system's SANE library: initialised while any returned backend lives (devices opened
// through it keep it alive too), exited after the last.
std::shared_ptr<SaneBackend> SystemSaneBackend();

}  // namespace scantora
