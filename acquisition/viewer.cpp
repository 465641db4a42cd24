#include "acquisition/viewer.h"

#include <algorithm>
#include <system_error>

#include "operator/fixed_messages.h"

namespace scantora {
namespace {

bool Exists(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error);
}

}  // namespace

bool Viewer::ShowFile(const std::filesystem::path& file, int page) {
    if (!Exists(file) || !Load(file, page)) return false;
    file_ = file;
    return true;
}

void Viewer::Navigate(PageStep step) {
    if (file_.empty()) return;
    if (!Exists(file_)) {
        op_.Stop(fixed_message::WithArgument(fixed_message::kViewFileMissing, file_.string()));
        return;
    }
    const std::optional<ViewedPage> info = display_.Inspect(file_, 1);
    if (!info || info->pages < 1) return;
    int target = page_;
    switch (step) {
        case PageStep::kFirst:
            target = 1;
            break;
        case PageStep::kPrevious:
            target = page_ - 1;
            break;
        case PageStep::kNext:
            target = page_ + 1;
            break;
        case PageStep::kLast:
            target = info->pages;
            break;
    }
    // Pages may have gone since the page was shown: stay inside the file as it is now.
    target = std::clamp(target, 1, info->pages);
    if (target == page_) return;
    Load(file_, target);
}

void Viewer::Close() {
    display_.Clear();
    file_.clear();
    page_ = 0;
    pages_ = 0;
    page_size_ = {};
}

void Viewer::ZoomTo(double percent) {
    mode_ = FixedZoomMode(percent);
    SetZoom(percent);
}

void Viewer::ZoomIn() {
    if (zoom_ > kZoomInLimit) return;
    mode_ = FixedZoomMode(zoom_ + kZoomStep);
    SetZoom(zoom_ + kZoomStep);
}

void Viewer::ZoomOut() {
    if (zoom_ < kZoomOutLimit) return;
    mode_ = FixedZoomMode(zoom_ - kZoomStep);
    SetZoom(zoom_ - kZoomStep);
}

void Viewer::WindowResized() {
    if (fitted() && page_ > 0) ShowFromTop();
}

void Viewer::SetMode(DisplayMode mode) {
    mode_ = mode;
    if (page_ > 0) ShowFromTop();
}

void Viewer::SetZoom(double zoom) {
    zoom_ = zoom;
    if (page_ > 0) ShowAroundCentre();
}

bool Viewer::Load(const std::filesystem::path& file, int page) {
    const std::optional<ViewedPage> info = display_.Inspect(file, page);
    if (!info || page < 1 || page > info->pages || !display_.LoadPage(file, page)) return false;
    page_ = page;
    pages_ = info->pages;
    page_size_ = info->size;
    ShowFromTop();
    return true;
}

// A new page, or a fit: the view starts at the page's top left.
void Viewer::ShowFromTop() {
    const PixelSize window = display_.WindowSize();
    if (fitted()) {
        const double fit = FitZoom(mode_, page_size_, window);
        if (fit > 0) zoom_ = fit;
        if (mode_ == DisplayMode::kFitToWindow) {
            display_.ShowArea({0, 0, page_size_.width, page_size_.height});
            return;
        }
    }
    display_.ShowArea(AreaAtZoom(zoom_, page_size_, window, 0, 0));
}

// A zoom keeps the middle of what was in view.
void Viewer::ShowAroundCentre() {
    const PageArea seen = display_.VisibleArea();
    const double centre_x = (seen.left + seen.right) / 2.0;
    const double centre_y = (seen.top + seen.bottom) / 2.0;
    display_.ShowArea(AreaAtZoom(zoom_, page_size_, display_.WindowSize(), centre_x, centre_y));
}

bool Viewer::fitted() const {
    return mode_ == DisplayMode::kFitToWindow || mode_ == DisplayMode::kFitToWidth;
}

}  // namespace scantora
