// The language box of the information dialog: the language files of the setup directory, the
// current one shown; the choice is saved on OK and takes effect at the next start.
#pragma once

#include <QGroupBox>

#include <filesystem>
#include <string>

#include "app/text_lookup.h"
#include "operator/operator.h"

class QComboBox;

namespace scantora {

class LanguageBox : public QGroupBox {
public:
    LanguageBox(std::filesystem::path setup_dir, std::string current, const TextLookup& texts,
                QWidget* parent = nullptr);

    // Saves the chosen language when it differs from the current one (and asks for a
    // restart); returns whether it did.
    bool Apply(Operator& op);

private:
    std::filesystem::path setup_dir_;
    std::string current_;
    const TextLookup& texts_;
    QComboBox* list_;
};

}  // namespace scantora
