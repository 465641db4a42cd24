// The information box ("?" of the menu bar): the program's name, the job in use and the
// language box. A thin view: its texts come from the text lookup and the application state.
#pragma once

#include <QDialog>

#include <filesystem>
#include <string>

#include "app/text_lookup.h"
#include "operator/operator.h"

class QLabel;
class QVBoxLayout;

namespace scantora {

class LanguageBox;

class AboutBox : public QDialog {
public:
    AboutBox(const TextLookup& texts, const QString& job_name, QWidget* parent = nullptr);

    QString JobText() const;
    // Adds the language box, whose choice OK saves.
    void AddLanguageBox(const std::filesystem::path& setup_dir, const std::string& current,
                        Operator& op);

    void accept() override;

private:
    const TextLookup& texts_;
    QLabel* job_label_;
    QVBoxLayout* layout_;
    LanguageBox* language_ = nullptr;
    Operator* op_ = nullptr;
};

}  // namespace scantora
