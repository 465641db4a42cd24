// The system's SANE library behind SaneBackend.
#include <mutex>

#include "acquisition/scanner/sane_device.h"

namespace scantora {
namespace {

class LibraryDevice : public SaneDevice {
public:
    LibraryDevice(SANE_Handle handle, std::shared_ptr<SaneBackend> library)
        : handle_(handle), library_(std::move(library)) {}
    ~LibraryDevice() override { sane_close(handle_); }

    const SANE_Option_Descriptor* Describe(SANE_Int option) override {
        return sane_get_option_descriptor(handle_, option);
    }
    SANE_Status Control(SANE_Int option, SANE_Action action, void* value, SANE_Int* info) override {
        return sane_control_option(handle_, option, action, value, info);
    }
    SANE_Status Start() override { return sane_start(handle_); }
    SANE_Status Parameters(SANE_Parameters& parameters) override {
        return sane_get_parameters(handle_, &parameters);
    }
    SANE_Status Read(SANE_Byte* data, SANE_Int max_length, SANE_Int& length) override {
        return sane_read(handle_, data, max_length, &length);
    }
    void Cancel() override { sane_cancel(handle_); }

private:
    SANE_Handle handle_;
    std::shared_ptr<SaneBackend> library_;  // sane_exit waits for the last device
};

class Library : public SaneBackend, public std::enable_shared_from_this<Library> {
public:
    Library() { initialised_ = sane_init(nullptr, nullptr) == SANE_STATUS_GOOD; }
    ~Library() override {
        if (initialised_) sane_exit();
    }

    std::vector<SaneDeviceEntry> ListDevices() override {
        std::vector<SaneDeviceEntry> entries;
        const SANE_Device** list = nullptr;
        if (!initialised_ || sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list)
            return entries;
        for (; *list; ++list) {
            const SANE_Device& d = **list;
            entries.push_back(
                {d.name ? d.name : "", d.vendor ? d.vendor : "", d.model ? d.model : ""});
        }
        return entries;
    }

    SANE_Status Open(const std::string& name, std::unique_ptr<SaneDevice>& device) override {
        if (!initialised_) return SANE_STATUS_INVAL;
        SANE_Handle handle = nullptr;
        const SANE_Status status = sane_open(name.c_str(), &handle);
        if (status != SANE_STATUS_GOOD) return status;
        device = std::make_unique<LibraryDevice>(handle, shared_from_this());
        return SANE_STATUS_GOOD;
    }

private:
    bool initialised_ = false;
};

}  // namespace

std::shared_ptr<SaneBackend> SystemSaneBackend() {
    // One initialisation of the library at a time: a second caller shares the first's.
    static std::mutex mutex;
    static std::weak_ptr<Library> current;
    std::lock_guard lock(mutex);
    if (auto library = current.lock()) return library;
    auto library = std::make_shared<Library>();
    current = library;
    return library;
}

}  // namespace scantora
