// The job setup dialog over a SetupSheet: one tab per page, its controls built from the
// sheet's fields. Serves both forms: the property sheet ("Settaggi Applicazioni") and the tabbed
// form ("Settaggi Applicazione"). OK accepts only what the sheet accepts; the caller saves.
#pragma once

#include <QDialog>
#include <QPointer>

#include <map>
#include <string>
#include <vector>

#include "app/setup_sheet.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"

class QComboBox;
class QTabWidget;

namespace scantora {

class SetupSheetDialog : public QDialog {
public:
    SetupSheetDialog(SetupSheet& sheet, Operator& op, const InterfaceTexts& texts,
                     QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    void accept() override;

private:
    QWidget* BuildPage(const SheetPage& page);
    QWidget* BuildField(const SheetField& field, QWidget* parent);
    void ShowLevelPages();
    void ShowLevelLists();

    SetupSheet& sheet_;
    Operator& op_;
    const InterfaceTexts& texts_;
    QTabWidget* tabs_;
    int level_tabs_ = 0;  // level pages follow the first tab
    std::vector<std::pair<SheetField, QComboBox*>> level_lists_;
    std::map<std::string, QPointer<QWidget>> editors_;  // by key, to show the field OK refuses
};

// The property sheet on `sheet` as the job setup command shows it: true for OK.
bool RunSetupSheet(SetupSheet& sheet, Operator& op, const InterfaceTexts& texts,
                   QWidget* parent = nullptr);

}  // namespace scantora
