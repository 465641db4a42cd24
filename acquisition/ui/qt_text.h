// Texts between the logic (UTF-8 std::string) and Qt, and the buttons every dialog shares.
#pragma once

#include <QDialogButtonBox>
#include <QString>

#include <string>
#include <string_view>

#include "operator/interface_texts.h"

class QDialog;

namespace scantora {

inline QString ToQt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQt(const QString& text) {
    return text.toStdString();
}

// The text `id` of the lookup.
inline QString QtText(const InterfaceTexts& texts, int id) {
    return ToQt(texts.Text(id));
}

// OK and Cancel with their translated labels, wired to the dialog's accept and reject.
QDialogButtonBox* OkCancelButtons(QDialog& dialog, const InterfaceTexts& texts);

}  // namespace scantora
