#include "acquisition/ui/page_window.h"

#include <QFile>
#include <cmath>
#include <mutex>

#include "acquisition/scanner/pixdoc_lock.h"
#include "acquisition/ui/page_window_host.h"

namespace scantora {
namespace {

constexpr int32_t kNoWindow = 1;
constexpr double kScaleOne = 2048.0;
// A child over its parent's whole client area.
constexpr int32_t kChildKind = 1;

using Lock = std::lock_guard<std::recursive_mutex>;

}  // namespace

std::unique_ptr<PageWindow> PageWindow::Open(QWidget* frame) {
    const Lock hold(PixdocLock());
    if (PX_StartImageWindow(HandleOf(frame), kChildKind, 0, 0, 0, 0) != 0) return nullptr;
    PageWindowWidget* widget = PageWindowWidget::Find(PX_GetImageWindowHandle());
    if (!widget) return nullptr;
    return std::unique_ptr<PageWindow>(new PageWindow(widget));
}

PageWindow::~PageWindow() {
    delete widget_.data();
}

int32_t PageWindow::ShowPage(const QString& file, int32_t page) {
    const Lock hold(PixdocLock());
    if (!widget_ || PX_SetImageWindow(widget_->Handle()) != 0) return kNoWindow;
    const int32_t result = PX_SetImageMultPage(QFile::encodeName(file).constData(), page);
    // A window left empty is repainted too, so that the last page goes.
    if (result != 0 || PX_PaintImage(0) != 0) widget_->Invalidate(false);
    return result;
}

int32_t PageWindow::ShowArea(const QRect& area) {
    const Lock hold(PixdocLock());
    if (!widget_ || PX_SetImageWindow(widget_->Handle()) != 0) return kNoWindow;
    return PX_SetDisplayImageArea(area.left(), area.top(), area.right() + 1, area.bottom() + 1);
}

int32_t PageWindow::Zoom(double factor) {
    const Lock hold(PixdocLock());
    if (!widget_ || PX_SetImageWindow(widget_->Handle()) != 0) return kNoWindow;
    return PX_ZoomImage(static_cast<int32_t>(std::lround(factor * kScaleOne)));
}

int32_t PageWindow::SetScaling(int32_t mode) {
    const Lock hold(PixdocLock());
    if (!widget_ || PX_SetImageWindow(widget_->Handle()) != 0) return kNoWindow;
    const int32_t result = PX_SetImageScaling(mode);
    widget_->Invalidate(false);
    return result;
}

}  // namespace scantora
