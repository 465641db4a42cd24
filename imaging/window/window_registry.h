// The library-wide registry of image windows: 32 slots, the owner of each window, every owner's
// current window, the most recently used window, and the guard of the export that is running.
// One instance, reached through Windows(); tests start from ResetWindows().
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "imaging/window/window_state.h"
#include "pixdoc32_window_host.h"

namespace pixdoc {

inline constexpr int32_t kMaxWindows = 32;

struct WindowRegistry {
    // A window in use by a running export outlives its slot until the export ends.
    std::array<std::shared_ptr<WindowState>, kMaxWindows> slots;
    std::map<uintptr_t, int32_t> current_by_owner;  // owner -> slot
    int32_t last_used = -1;                         // slot, -1: none
    // Exports running, nested through callbacks and host functions, and their window.
    int32_t hold_depth = 0;
    std::shared_ptr<WindowState> held;
    PixdocWindowHost host{};
    bool host_installed = false;
};

WindowRegistry& Windows();
// Frees every window and forgets the host (tests).
void ResetWindows();

int32_t WindowCount();
// The slot of a native handle, or -1.
int32_t SlotOf(PixdocWindow handle);
// A free slot, or -1 when all 32 are taken.
int32_t FreeSlot();
// Makes the window in `slot` current for its owner and the most recently used one.
void MakeCurrent(int32_t slot);
// Frees the window in `slot` (a running export keeps using it until it ends).
void CloseSlot(int32_t slot);

// True while an export runs: the exports that change which window or page is in use refuse.
bool OperationInProgress();

// Holds the caller's window for the duration of an export: the window already held by a running
// export, else the current window of the owner of the most recently used window, failing that
// of the owner of the active window.
class ExportHold {
public:
    ExportHold();
    ~ExportHold();
    ExportHold(const ExportHold&) = delete;
    ExportHold& operator=(const ExportHold&) = delete;

    // Null when there is no window.
    WindowState* window() const { return window_.get(); }

private:
    std::shared_ptr<WindowState> window_;
    std::shared_ptr<WindowState> outer_;
};

// Holds a given window (events from the host, which name their window).
class WindowHold {
public:
    explicit WindowHold(std::shared_ptr<WindowState> window);
    ~WindowHold();
    WindowHold(const WindowHold&) = delete;
    WindowHold& operator=(const WindowHold&) = delete;

    WindowState& window() const { return *window_; }

private:
    std::shared_ptr<WindowState> window_;
    std::shared_ptr<WindowState> outer_;
};

}  // namespace pixdoc
