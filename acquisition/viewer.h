// The viewer: the file shown and its page, page navigation, and the display mode with its zoom
// factor. The window it shows pages in is behind ViewerDisplay, so the rules run without one.
#pragma once

#include <filesystem>
#include <optional>

#include "acquisition/display_scale.h"
#include "operator/operator.h"

namespace scantora {

// What the viewer reads of a page before showing it.
struct ViewedPage {
    int pages = 0;   // pages in the file
    PixelSize size;  // of the page asked for, in page pixels
};

// The window pages are shown in.
class ViewerDisplay {
public:
    virtual ~ViewerDisplay() = default;
    // The file's page count and the size of page `page` (from 1); nothing when it is no image.
    virtual std::optional<ViewedPage> Inspect(const std::filesystem::path& file, int page) = 0;
    // Shows page `page` of `file`; false when it cannot (the window then keeps what it had).
    virtual bool LoadPage(const std::filesystem::path& file, int page) = 0;
    // Fits `area` of the page shown into the window.
    virtual void ShowArea(const PageArea& area) = 0;
    // The drawable size, and the part of the page in view now.
    virtual PixelSize WindowSize() const = 0;
    virtual PageArea VisibleArea() const = 0;
    // Shows nothing.
    virtual void Clear() = 0;
};

enum class PageStep { kFirst, kPrevious, kNext, kLast };

// Zoom steps of the tool bar and their limits: a step in is taken while the factor is at
// most kZoomInLimit, a step out while it is at least kZoomOutLimit.
inline constexpr double kZoomStep = 3;
inline constexpr double kZoomInLimit = 500;
inline constexpr double kZoomOutLimit = 5;

class Viewer {
public:
    // `display` and `op` must outlive the viewer.
    Viewer(ViewerDisplay& display, Operator& op) : display_(display), op_(op) {}

    // Shows page `page` (from 1) of `file` in the current display mode; a missing file or one
    // that cannot be loaded leaves the previous view. Returns whether it is now the current view
    // file.
    bool ShowFile(const std::filesystem::path& file, int page = 1);
    // First, previous, next or last page of the current view file ("File [..] non esistente"
    // when it is gone); a step that would not change the page loads nothing.
    void Navigate(PageStep step);
    // Empties the window and forgets the view file.
    void Close();

    void FitToWindow() { SetMode(DisplayMode::kFitToWindow); }
    void FitToWidth() { SetMode(DisplayMode::kFitToWidth); }
    // A fixed zoom of the menu: 25, 50, 100 or 200 percent.
    void ZoomTo(double percent);
    void ZoomIn();
    void ZoomOut();
    // The window changed size: a fit mode fits again.
    void WindowResized();

    const std::filesystem::path& file() const { return file_; }
    int page() const { return page_; }
    int pages() const { return pages_; }
    DisplayMode mode() const { return mode_; }
    // The zoom factor in percent, also in the fit modes (then the fit's own).
    double zoom() const { return zoom_; }

private:
    void SetMode(DisplayMode mode);
    void SetZoom(double zoom);
    bool Load(const std::filesystem::path& file, int page);
    void ShowFromTop();
    void ShowAroundCentre();
    bool fitted() const;

    ViewerDisplay& display_;
    Operator& op_;
    std::filesystem::path file_;
    int page_ = 0;
    int pages_ = 0;
    PixelSize page_size_;
    DisplayMode mode_ = DisplayMode::kFitToWindow;
    double zoom_ = 100;
};

}  // namespace scantora
