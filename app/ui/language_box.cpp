#include "app/ui/language_box.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "acquisition/ui/qt_text.h"
#include "app/language_file.h"
#include "operator/text_ids.h"

namespace scantora {

LanguageBox::LanguageBox(std::filesystem::path setup_dir, std::string current,
                         const TextLookup& texts, QWidget* parent)
    : QGroupBox(QtText(texts, text_id::kLanguage), parent),
      setup_dir_(std::move(setup_dir)),
      current_(std::move(current)),
      texts_(texts),
      list_(new QComboBox(this)) {
    list_->setObjectName("languages");
    list_->setEditable(true);
    list_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& name : LanguageChoices(setup_dir_, current_))
        list_->addItem(ToQt(name));
    list_->setCurrentText(ToQt(current_));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
}

bool LanguageBox::Apply(Operator& op) {
    return ChangeLanguage(setup_dir_, current_, FromQt(list_->currentText()), op, texts_);
}

}  // namespace scantora
