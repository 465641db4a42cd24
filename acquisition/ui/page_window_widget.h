// One pixdoc32 image window on the screen: a drawing area and two scroll bars. The library
// decides everything shown; the widget shows the pixels and text it is given, keeps the scroll
// bars as told, and passes size changes, scroll bar use, the wheel and repaints back to it, each
// under the program-wide pixdoc32 lock. While another thread holds the lock (a barcode search of
// the scan loop), a repaint shows the last picture and tries again shortly, so the window never
// waits for it.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <vector>

#include "pixdoc32.h"

class QScrollBar;

namespace scantora {

class PageViewport;

class PageWindowWidget : public QWidget {
    Q_OBJECT

public:
    // window_flags: Qt::Widget for a child, Qt::Window for a top-level window.
    PageWindowWidget(QWidget* parent, Qt::WindowFlags window_flags);
    ~PageWindowWidget() override;

    PixdocWindow Handle() const;
    // The page window with this handle, or null when there is none (any more).
    static PageWindowWidget* Find(PixdocWindow handle);
    // Follows the parent's size (a child made over its parent's whole client area).
    void CoverParent();

    // Host functions (pixdoc32_window_host.h).
    QSize ClientSize() const;
    void SetScrollBar(int32_t bar, bool shown, int32_t maximum, int32_t position, int32_t page);
    void Invalidate(bool immediate);
    void ShowPixels(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride);
    void DrawText(int32_t x, int32_t y, const QString& text);

    // What the window shows now (tests, screenshots).
    QImage Picture() const;
    QScrollBar* ScrollBar(int32_t bar) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class PageViewport;
    void PaintViewport();
    void ViewportResized(QSize size);
    void Wheel(int notches, bool horizontal);
    void ScrollAction(int32_t bar, int action);
    void ScrollReleased(int32_t bar);

    struct Text {
        int32_t x, y;
        QString text;
    };
    PageViewport* viewport_;
    QScrollBar* bars_[2];
    QImage picture_;
    std::vector<Text> texts_;
    bool painting_ = false;
    bool retry_pending_ = false;
};

}  // namespace scantora
