#include "acquisition/ui/page_window_host.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>
#include <mutex>

#include "acquisition/scanner/pixdoc_lock.h"
#include "acquisition/ui/page_window_widget.h"
#include "pixdoc32_window_host.h"

namespace scantora {
namespace {

// A top-level image window made without a size.
constexpr QSize kDefaultTopLevelSize(640, 480);

QWidget* WidgetOf(PixdocWindow handle) {
    return reinterpret_cast<QWidget*>(handle);
}

PixdocWindow CreateWindow(void*, PixdocWindow parent, int32_t kind, int32_t flags, int32_t x,
                          int32_t y, int32_t width, int32_t height, const char* title) {
    QWidget* parent_widget = WidgetOf(parent);
    if (kind == PIXDOC_WINDOW_CHILD) {
        if (!parent_widget) return 0;
        auto* window = new PageWindowWidget(parent_widget, Qt::Widget);
        if (flags & PIXDOC_CREATE_COVER_PARENT)
            window->CoverParent();
        else
            window->setGeometry(x, y, width, height);
        window->show();
        return window->Handle();
    }
    Qt::WindowFlags window_flags = Qt::Window;
    if (flags & PIXDOC_CREATE_NO_CAPTION) window_flags |= Qt::CustomizeWindowHint;
    auto* window = new PageWindowWidget(parent_widget, window_flags);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QString::fromLocal8Bit(title));
    if (width > 0 && height > 0)
        window->setGeometry(x, y, width, height);
    else
        window->resize(kDefaultTopLevelSize);
    window->show();
    return window->Handle();
}

void SetTitle(void*, PixdocWindow window, const char* title) {
    if (PageWindowWidget* w = PageWindowWidget::Find(window))
        w->setWindowTitle(QString::fromLocal8Bit(title));
}

void ClientSize(void*, PixdocWindow window, int32_t* width, int32_t* height) {
    const PageWindowWidget* w = PageWindowWidget::Find(window);
    const QSize size = w ? w->ClientSize() : QSize();
    *width = size.width();
    *height = size.height();
}

void SetScrollBar(void*, PixdocWindow window, int32_t bar, int32_t shown, int32_t maximum,
                  int32_t position, int32_t page) {
    if (PageWindowWidget* w = PageWindowWidget::Find(window))
        w->SetScrollBar(bar, shown != 0, maximum, position, page);
}

void Invalidate(void*, PixdocWindow window, int32_t, int32_t immediate) {
    if (PageWindowWidget* w = PageWindowWidget::Find(window)) w->Invalidate(immediate != 0);
}

void ShowPixels(void*, PixdocWindow window, const uint32_t* pixels, int32_t width, int32_t height,
                int32_t stride) {
    if (PageWindowWidget* w = PageWindowWidget::Find(window))
        w->ShowPixels(pixels, width, height, stride);
}

void DrawText(void*, PixdocWindow window, int32_t x, int32_t y, const char* text) {
    if (PageWindowWidget* w = PageWindowWidget::Find(window))
        w->DrawText(x, y, QString::fromLatin1(text));
}

// Every top-level window (the main window, a dialog) owns the image windows inside it.
uintptr_t OwnerOf(void*, PixdocWindow window) {
    const QWidget* w = WidgetOf(window);
    return w ? HandleOf(w->window()) : 0;
}

PixdocWindow ActiveWindow(void*) {
    return HandleOf(QApplication::activeWindow());
}

}  // namespace

bool InstallPageWindowHost() {
    PixdocWindowHost host{};
    host.create_window = &CreateWindow;
    host.set_title = &SetTitle;
    host.client_size = &ClientSize;
    host.set_scroll_bar = &SetScrollBar;
    host.invalidate = &Invalidate;
    host.show_pixels = &ShowPixels;
    host.draw_text = &DrawText;
    host.owner_of = &OwnerOf;
    host.active_window = &ActiveWindow;
    host.scroll_bar_extent = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const std::lock_guard<std::recursive_mutex> hold(PixdocLock());
    return PX_SetWindowHost(&host) == 0;
}

PixdocWindow HandleOf(const QWidget* widget) {
    return reinterpret_cast<PixdocWindow>(widget);
}

}  // namespace scantora
