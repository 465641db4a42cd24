// The viewer's window: a frame with an image window over it, as the viewer (acquisition/viewer.h)
// sees it. Page counts and sizes come from pixdoc32 too, so that the viewer knows a page exactly
// as the window will show it.
#pragma once

#include <QFrame>
#include <memory>

#include "acquisition/ui/page_window.h"
#include "acquisition/viewer.h"

namespace scantora {

class PageView : public QFrame, public ViewerDisplay {
    Q_OBJECT

public:
    // The image window host must be installed first (InstallPageWindowHost).
    explicit PageView(QWidget* parent = nullptr);
    ~PageView() override;

    // Null when pixdoc32 refused the window.
    PageWindowWidget* Window() const;

    std::optional<ViewedPage> Inspect(const std::filesystem::path& file, int page) override;
    bool LoadPage(const std::filesystem::path& file, int page) override;
    void ShowArea(const PageArea& area) override;
    PixelSize WindowSize() const override;
    PageArea VisibleArea() const override;
    void Clear() override;

signals:
    // The drawable area changed size (the viewer fits again).
    void Resized();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<PageWindow> window_;
    PixelSize page_size_;
};

}  // namespace scantora
