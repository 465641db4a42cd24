#include "imaging/window/window_registry.h"

#include <utility>

#include "imaging/window/window_host.h"

namespace pixdoc {
namespace {

std::shared_ptr<WindowState> CurrentOf(uintptr_t owner) {
    WindowRegistry& r = Windows();
    const auto it = r.current_by_owner.find(owner);
    return it == r.current_by_owner.end() ? nullptr : r.slots[it->second];
}

std::shared_ptr<WindowState> SelectCurrent() {
    WindowRegistry& r = Windows();
    if (r.last_used >= 0 && r.slots[r.last_used]) {
        if (auto w = CurrentOf(r.slots[r.last_used]->owner)) return w;
    }
    const PixdocWindow active = host::ActiveWindow();
    if (active == 0) return nullptr;
    const int32_t slot = SlotOf(active);
    return CurrentOf(slot >= 0 ? r.slots[slot]->owner : host::OwnerOf(active));
}

void Enter(std::shared_ptr<WindowState> window, std::shared_ptr<WindowState>& outer) {
    WindowRegistry& r = Windows();
    outer = std::exchange(r.held, std::move(window));
    ++r.hold_depth;
}

void Leave(std::shared_ptr<WindowState>& outer) {
    WindowRegistry& r = Windows();
    r.held = std::move(outer);
    --r.hold_depth;
}

}  // namespace

WindowRegistry& Windows() {
    static WindowRegistry registry;
    return registry;
}

void ResetWindows() {
    Windows() = WindowRegistry{};
}

int32_t WindowCount() {
    int32_t n = 0;
    for (const auto& w : Windows().slots)
        n += w ? 1 : 0;
    return n;
}

int32_t SlotOf(PixdocWindow handle) {
    if (handle == 0) return -1;
    const WindowRegistry& r = Windows();
    for (int32_t i = 0; i < kMaxWindows; ++i)
        if (r.slots[i] && r.slots[i]->own == handle) return i;
    return -1;
}

int32_t FreeSlot() {
    const WindowRegistry& r = Windows();
    for (int32_t i = 0; i < kMaxWindows; ++i)
        if (!r.slots[i]) return i;
    return -1;
}

void MakeCurrent(int32_t slot) {
    WindowRegistry& r = Windows();
    r.current_by_owner[r.slots[slot]->owner] = slot;
    r.last_used = slot;
}

void CloseSlot(int32_t slot) {
    WindowRegistry& r = Windows();
    for (auto it = r.current_by_owner.begin(); it != r.current_by_owner.end();)
        it = it->second == slot ? r.current_by_owner.erase(it) : std::next(it);
    if (r.last_used == slot) r.last_used = -1;
    r.slots[slot].reset();
}

bool OperationInProgress() {
    return Windows().hold_depth > 0;
}

ExportHold::ExportHold() {
    WindowRegistry& r = Windows();
    std::shared_ptr<WindowState> window = r.hold_depth > 0 ? r.held : SelectCurrent();
    if (window && r.hold_depth == 0) {
        const int32_t slot = SlotOf(window->own);
        if (slot >= 0) r.last_used = slot;
    }
    window_ = window;
    Enter(std::move(window), outer_);
}

ExportHold::~ExportHold() {
    Leave(outer_);
}

WindowHold::WindowHold(std::shared_ptr<WindowState> window) : window_(window) {
    Enter(std::move(window), outer_);
}

WindowHold::~WindowHold() {
    Leave(outer_);
}

}  // namespace pixdoc
