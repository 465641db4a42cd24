#include "acquisition/ui/page_window_widget.h"

#include <QApplication>
#include <QGridLayout>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>

#include "acquisition/scanner/pixdoc_lock.h"
#include "acquisition/ui/page_window_host.h"
#include "pixdoc32_window_host.h"

namespace scantora {
namespace {

// How soon a repaint that found pixdoc32 busy tries again.
constexpr int kRetryMilliseconds = 50;
constexpr int kWheelNotch = 120;

using Lock = std::lock_guard<std::recursive_mutex>;

// The page windows alive, so that a handle of one that is gone finds nothing.
std::set<const QWidget*>& Alive() {
    static std::set<const QWidget*> alive;
    return alive;
}

int32_t ScrollActionOf(int slider_action) {
    switch (slider_action) {
        case QAbstractSlider::SliderSingleStepSub:
            return PIXDOC_SCROLL_LINE_BACK;
        case QAbstractSlider::SliderSingleStepAdd:
            return PIXDOC_SCROLL_LINE_FORWARD;
        case QAbstractSlider::SliderPageStepSub:
            return PIXDOC_SCROLL_PAGE_BACK;
        case QAbstractSlider::SliderPageStepAdd:
            return PIXDOC_SCROLL_PAGE_FORWARD;
        case QAbstractSlider::SliderToMinimum:
            return PIXDOC_SCROLL_TO_START;
        case QAbstractSlider::SliderToMaximum:
            return PIXDOC_SCROLL_TO_END;
        case QAbstractSlider::SliderMove:
            return PIXDOC_SCROLL_BOX_DRAGGED;
        default:
            return -1;
    }
}

}  // namespace

// The drawing area: its events go to the window.
class PageViewport : public QWidget {
public:
    explicit PageViewport(PageWindowWidget* window) : QWidget(window), window_(window) {
        // The library paints every pixel of the client.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override { window_->PaintViewport(); }
    void resizeEvent(QResizeEvent* event) override { window_->ViewportResized(event->size()); }
    void wheelEvent(QWheelEvent* event) override {
        const QPoint delta = event->angleDelta();
        const bool horizontal = delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
        const int amount = delta.y() != 0 ? delta.y() : delta.x();
        window_->Wheel(amount / kWheelNotch, horizontal);
        event->accept();
    }

private:
    PageWindowWidget* window_;
};

PageWindowWidget::PageWindowWidget(QWidget* parent, Qt::WindowFlags window_flags)
    : QWidget(parent, window_flags), viewport_(new PageViewport(this)) {
    Alive().insert(this);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(viewport_, 0, 0);
    bars_[PIXDOC_BAR_HORIZONTAL] = new QScrollBar(Qt::Horizontal, this);
    bars_[PIXDOC_BAR_VERTICAL] = new QScrollBar(Qt::Vertical, this);
    grid->addWidget(bars_[PIXDOC_BAR_VERTICAL], 0, 1);
    grid->addWidget(bars_[PIXDOC_BAR_HORIZONTAL], 1, 0);
    for (int32_t bar : {PIXDOC_BAR_HORIZONTAL, PIXDOC_BAR_VERTICAL}) {
        bars_[bar]->hide();
        connect(bars_[bar], &QAbstractSlider::actionTriggered, this,
                [this, bar](int action) { ScrollAction(bar, action); });
        connect(bars_[bar], &QAbstractSlider::sliderReleased, this,
                [this, bar] { ScrollReleased(bar); });
    }
}

PageWindowWidget::~PageWindowWidget() {
    Alive().erase(this);
    const Lock hold(PixdocLock());
    PX_WindowDestroyed(Handle());
}

PixdocWindow PageWindowWidget::Handle() const {
    return HandleOf(this);
}

PageWindowWidget* PageWindowWidget::Find(PixdocWindow handle) {
    const auto* widget = reinterpret_cast<const QWidget*>(handle);
    return Alive().count(widget)
               ? const_cast<PageWindowWidget*>(static_cast<const PageWindowWidget*>(widget))
               : nullptr;
}

void PageWindowWidget::CoverParent() {
    QWidget* parent = parentWidget();
    if (!parent) return;
    parent->installEventFilter(this);
    setGeometry(parent->rect());
}

bool PageWindowWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

QSize PageWindowWidget::ClientSize() const {
    // The library asks right after making the window, before Qt laid it out.
    if (layout()) layout()->activate();
    return viewport_->size();
}

void PageWindowWidget::SetScrollBar(int32_t bar, bool shown, int32_t maximum, int32_t position,
                                    int32_t page) {
    if (bar != PIXDOC_BAR_HORIZONTAL && bar != PIXDOC_BAR_VERTICAL) return;
    QScrollBar* b = bars_[bar];
    const QSignalBlocker quiet(b);
    b->setRange(0, std::max(maximum, 0));
    b->setPageStep(std::max(page, 1));
    b->setSingleStep(std::max(page / 10, 1));
    b->setValue(position);
    // A bar that comes or goes resizes the drawing area, which tells the library.
    b->setHidden(!shown);
}

void PageWindowWidget::Invalidate(bool immediate) {
    if (immediate)
        viewport_->repaint();
    else
        viewport_->update();
}

void PageWindowWidget::ShowPixels(const uint32_t* pixels, int32_t width, int32_t height,
                                  int32_t stride) {
    if (picture_.width() != width || picture_.height() != height)
        picture_ = QImage(width, height, QImage::Format_RGB32);
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(picture_.scanLine(y), pixels + static_cast<size_t>(y) * stride,
                    static_cast<size_t>(width) * sizeof(uint32_t));
    texts_.clear();
    if (!painting_) viewport_->update();
}

void PageWindowWidget::DrawText(int32_t x, int32_t y, const QString& text) {
    texts_.push_back({x, y, text});
    if (!painting_) viewport_->update();
}

QImage PageWindowWidget::Picture() const {
    return viewport_->grab().toImage();
}

QScrollBar* PageWindowWidget::ScrollBar(int32_t bar) const {
    return bars_[bar == PIXDOC_BAR_VERTICAL ? PIXDOC_BAR_VERTICAL : PIXDOC_BAR_HORIZONTAL];
}

void PageWindowWidget::PaintViewport() {
    std::unique_lock<std::recursive_mutex> hold(PixdocLock(), std::try_to_lock);
    if (hold.owns_lock()) {
        painting_ = true;
        PX_WindowPaint(Handle());
        painting_ = false;
        hold.unlock();
    } else if (!retry_pending_) {
        retry_pending_ = true;
        QTimer::singleShot(kRetryMilliseconds, this, [this] {
            retry_pending_ = false;
            viewport_->update();
        });
    }
    QPainter painter(viewport_);
    if (picture_.width() < viewport_->width() || picture_.height() < viewport_->height())
        painter.fillRect(viewport_->rect(), Qt::white);
    painter.drawImage(0, 0, picture_);
    painter.setPen(Qt::black);
    const int ascent = painter.fontMetrics().ascent();
    for (const Text& t : texts_)
        painter.drawText(t.x, t.y + ascent, t.text);
}

void PageWindowWidget::ViewportResized(QSize size) {
    const Lock hold(PixdocLock());
    PX_WindowResized(Handle(), size.width(), size.height());
}

void PageWindowWidget::Wheel(int notches, bool horizontal) {
    const int32_t bar = horizontal ? PIXDOC_BAR_HORIZONTAL : PIXDOC_BAR_VERTICAL;
    const int32_t action = notches > 0 ? PIXDOC_SCROLL_LINE_BACK : PIXDOC_SCROLL_LINE_FORWARD;
    const Lock hold(PixdocLock());
    for (int i = 0; i < std::abs(notches); ++i)
        PX_WindowScrolled(Handle(), bar, action, 0);
}

void PageWindowWidget::ScrollAction(int32_t bar, int action) {
    const int32_t scroll = ScrollActionOf(action);
    if (scroll < 0) return;
    const Lock hold(PixdocLock());
    PX_WindowScrolled(Handle(), bar, scroll, bars_[bar]->sliderPosition());
}

void PageWindowWidget::ScrollReleased(int32_t bar) {
    const Lock hold(PixdocLock());
    PX_WindowScrolled(Handle(), bar, PIXDOC_SCROLL_BOX_RELEASED, bars_[bar]->sliderPosition());
}

}  // namespace scantora
