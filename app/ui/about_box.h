// The information box ("?" of the menu bar): the program's name and the job in use. A thin
// view: its texts come from the text lookup and the application state.
#pragma once

#include <QDialog>

#include "app/text_lookup.h"

class QLabel;

namespace scantora {

class AboutBox : public QDialog {
public:
    AboutBox(const TextLookup& texts, const QString& job_name, QWidget* parent = nullptr);

    QString JobText() const;

private:
    QLabel* job_label_;
};

}  // namespace scantora
