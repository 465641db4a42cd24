// An image window inside a widget, as the program's views use it: the pixdoc32 exports they need,
// each under the program-wide pixdoc32 lock and with this window made current first, since other
// modules (the Barlynx control's correction dialog) make their own windows current meanwhile.
#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>

#include "acquisition/ui/page_window_widget.h"

namespace scantora {

class PageWindow {
public:
    // Makes an image window over the whole of `frame`; null when pixdoc32 refuses (32 windows,
    // or no host installed).
    static std::unique_ptr<PageWindow> Open(QWidget* frame);
    ~PageWindow();
    PageWindow(const PageWindow&) = delete;
    PageWindow& operator=(const PageWindow&) = delete;

    // Shows page `page` (from 1) of a file fitted into the window: pixdoc32's result (0 shown,
    // 2 not an image: the window is then empty).
    int32_t ShowPage(const QString& file, int32_t page = 1);
    // Fits an area of the page (page pixels) into the window.
    int32_t ShowArea(const QRect& area);
    // Zooms around the centre of the view: 2 doubles the size, 0.5 halves it.
    int32_t Zoom(double factor);
    // The decoding options of reduced bilevel pages (PX_SetImageScaling).
    int32_t SetScaling(int32_t mode);

    PageWindowWidget* Widget() const { return widget_; }

private:
    explicit PageWindow(PageWindowWidget* widget) : widget_(widget) {}
    QPointer<PageWindowWidget> widget_;
};

}  // namespace scantora
