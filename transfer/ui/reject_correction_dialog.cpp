#include "transfer/ui/reject_correction_dialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include "acquisition/ui/interface_thread.h"
#include "acquisition/ui/qt_text.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

// The picture frame: 254 x 120 dialog units.
constexpr QSize kFrameSize(508, 240);
constexpr int kEditWidth = 264;
const QString kNotAnImage = QStringLiteral("Error: Not an Image");

// Refuses a keystroke that would add anything but digits, leaving the edit as it was.
class DigitsAdded : public QValidator {
public:
    DigitsAdded(const RejectCorrectionModel& model, QObject* parent)
        : QValidator(parent), model_(model) {}
    State validate(QString& input, int&) const override {
        return model_.Accepts(input.toStdString()) ? Acceptable : Invalid;
    }

private:
    const RejectCorrectionModel& model_;
};

}  // namespace

RejectCorrectionDialog::RejectCorrectionDialog(RejectCorrectionModel& model,
                                               const InterfaceTexts& texts, QWidget* parent)
    : QDialog(parent), model_(model), frame_(new QFrame(this)), edit_(new QLineEdit(this)) {
    setWindowTitle(QtText(texts, text_id::kRejectCorrectionCaption));
    frame_->setObjectName("picture");
    frame_->setFixedSize(kFrameSize);
    frame_->setAutoFillBackground(true);
    frame_->setPalette(QPalette(Qt::white));
    edit_->setObjectName("text");
    edit_->setFixedWidth(kEditWidth);
    edit_->setText(ToQt(model.text()));
    edit_->setValidator(new DigitsAdded(model, edit_));
    connect(edit_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.Edit(text.toStdString()); });
    QDialogButtonBox* buttons = OkCancelButtons(*this, texts);
    buttons->setCenterButtons(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame_);
    layout->addWidget(edit_, 0, Qt::AlignHCenter);
    layout->addWidget(buttons);
    ShowPage();
}

RejectCorrectionDialog::~RejectCorrectionDialog() = default;

void RejectCorrectionDialog::ShowPage() {
    if (!model_.ShowsPage()) return;
    // Without an image window (none left, or no host) the frame stays empty.
    window_ = PageWindow::Open(frame_);
    if (!window_) return;
    const QString file = ToQt(model_.file());
    if (window_->ShowPage(file, model_.page()) != 0) {
        QMessageBox::warning(this, kNotAnImage, file);
        return;
    }
    const barlynx::PageArea area = model_.Area();
    window_->ShowArea(
        QRect(QPoint(static_cast<int>(area.left), static_cast<int>(area.top)),
              QPoint(static_cast<int>(area.right) - 1, static_cast<int>(area.bottom) - 1)));
}

std::optional<std::string> QtRejectCorrection::Correct(const barlynx::CorrectionRequest& request) {
    // A read on a worker thread waits for the operator on the interface thread.
    return OnInterfaceThread([&] { return Run(request); });
}

std::optional<std::string> QtRejectCorrection::Run(const barlynx::CorrectionRequest& request) {
    RejectCorrectionModel model(request);
    RejectCorrectionDialog dialog(model, texts_, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return model.text();
}

}  // namespace scantora
