#include "app/ui/about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "acquisition/ui/qt_text.h"
#include "app/ui/language_box.h"

namespace scantora {
namespace {

constexpr int kProgramLabel = 61455;  // "Applicazione" / "Program"

}  // namespace

AboutBox::AboutBox(const TextLookup& texts, const QString& job_name, QWidget* parent)
    : QDialog(parent), texts_(texts), job_label_(new QLabel(this)), layout_(new QVBoxLayout(this)) {
    setWindowTitle(QStringLiteral("Scantora"));
    job_label_->setText(QtText(texts, kProgramLabel) + QStringLiteral(": ") + job_name);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout_->addWidget(new QLabel(QStringLiteral("Scantora"), this));
    layout_->addWidget(job_label_);
    layout_->addWidget(buttons);
}

void AboutBox::AddLanguageBox(const std::filesystem::path& setup_dir, const std::string& current,
                              Operator& op) {
    language_ = new LanguageBox(setup_dir, current, texts_, this);
    op_ = &op;
    // Above the buttons.
    layout_->insertWidget(layout_->count() - 1, language_);
}

void AboutBox::accept() {
    if (language_) language_->Apply(*op_);
    QDialog::accept();
}

QString AboutBox::JobText() const {
    return job_label_->text();
}

}  // namespace scantora
