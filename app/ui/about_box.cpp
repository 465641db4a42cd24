#include "app/ui/about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace scantora {
namespace {

constexpr int kProgramLabel = 61455;  // "Applicazione" / "Program"

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), text.size());
}

}  // namespace

AboutBox::AboutBox(const TextLookup& texts, const QString& job_name, QWidget* parent)
    : QDialog(parent), job_label_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Scantora"));
    job_label_->setText(FromUtf8(texts.Text(kProgramLabel)) + QStringLiteral(": ") + job_name);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Scantora"), this));
    layout->addWidget(job_label_);
    layout->addWidget(buttons);
}

QString AboutBox::JobText() const {
    return job_label_->text();
}

}  // namespace scantora
