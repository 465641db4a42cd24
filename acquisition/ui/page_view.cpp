#include "acquisition/ui/page_view.h"

#include <QFile>
#include <QScrollBar>
#include <QTimer>
#include <mutex>

#include "acquisition/scanner/pixdoc_lock.h"
#include "acquisition/scanner/imaging_control.h"
#include "pixdoc32_window_host.h"

namespace scantora {
namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

QByteArray NameOf(const std::filesystem::path& file) {
    return QFile::encodeName(QString::fromStdString(file.string()));
}

// [first, first + visible) along one bar; a hidden bar shows the whole extent.
void Extent(const QScrollBar* bar, int extent, int& start, int& end) {
    if (!bar || bar->isHidden()) {
        start = 0;
        end = extent;
        return;
    }
    start = bar->value();
    end = start + bar->pageStep();
}

}  // namespace

PageView::PageView(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setMinimumSize(64, 64);
    window_ = PageWindow::Open(this);
}

PageView::~PageView() = default;

PageWindowWidget* PageView::Window() const {
    return window_ ? window_->Widget() : nullptr;
}

std::optional<ViewedPage> PageView::Inspect(const std::filesystem::path& file, int page) {
    const QByteArray name = NameOf(file);
    ViewedPage info;
    // A file the scan is appending to may change without changing its size (the link to a new
    // page is written in place), which pixdoc32's page count cache cannot see: the control
    // counts the pages afresh; pixdoc32 counts what the control does not read.
    if (CountPages(file, info.pages) != ImagingStatus::kOk) info.pages = 0;
    const Lock hold(PixdocLock());
    if (info.pages < 1) info.pages = GetTiffPages(name.constData());
    if (info.pages < 1) return std::nullopt;
    int32_t width = 0;
    int32_t height = 0;
    if (PXGetImageInfo(name.constData(), page, &width, &height) != 0) return std::nullopt;
    info.size = {width, height};
    return info;
}

bool PageView::LoadPage(const std::filesystem::path& file, int page) {
    if (!window_) return false;
    // A page that cannot be opened would leave the window empty: the viewer keeps its view.
    const std::optional<ViewedPage> info = Inspect(file, page);
    if (!info) return false;
    if (window_->ShowPage(QString::fromStdString(file.string()), page) != 0) return false;
    page_size_ = info->size;
    return true;
}

void PageView::ShowArea(const PageArea& area) {
    if (!window_) return;
    window_->ShowArea(QRect(QPoint(area.left, area.top), QPoint(area.right - 1, area.bottom - 1)));
}

PixelSize PageView::WindowSize() const {
    const PageWindowWidget* widget = Window();
    if (!widget) return {};
    const QSize size = widget->ClientSize();
    return {size.width(), size.height()};
}

PageArea PageView::VisibleArea() const {
    PageArea area;
    const PageWindowWidget* widget = Window();
    if (!widget) return area;
    Extent(widget->ScrollBar(PIXDOC_BAR_HORIZONTAL), page_size_.width, area.left, area.right);
    Extent(widget->ScrollBar(PIXDOC_BAR_VERTICAL), page_size_.height, area.top, area.bottom);
    return area;
}

void PageView::Clear() {
    if (window_) window_->ShowPage(QString(), 1);
    page_size_ = {};
}

void PageView::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    // The image window follows this frame's size in its own resize handling; fit after it.
    QTimer::singleShot(0, this, [this] { emit Resized(); });
}

}  // namespace scantora
