// The Reject Correction dialog: the page around a barcode read with a rejected character, shown
// through the image window host, and an edit field that takes digits; OK gives the corrected
// text, Cancel keeps the text as read. QtRejectCorrection is the reader control's hook for it.
#pragma once

#include <QDialog>

#include <memory>
#include <optional>
#include <string>

#include "acquisition/ui/page_window.h"
#include "barcode_control/barlynx.h"
#include "operator/interface_texts.h"
#include "transfer/reject_correction.h"

class QFrame;
class QLineEdit;

namespace scantora {

class RejectCorrectionDialog : public QDialog {
public:
    RejectCorrectionDialog(RejectCorrectionModel& model, const InterfaceTexts& texts,
                           QWidget* parent = nullptr);
    ~RejectCorrectionDialog() override;

    QLineEdit* edit() const { return edit_; }
    // The window showing the page; null when none is shown.
    PageWindow* page_window() const { return window_.get(); }

private:
    void ShowPage();

    RejectCorrectionModel& model_;
    QFrame* frame_;
    QLineEdit* edit_;
    std::unique_ptr<PageWindow> window_;
};

// The dialog as the reader control calls it, on the interface thread whichever thread reads.
class QtRejectCorrection : public barlynx::CorrectionDialog {
public:
    explicit QtRejectCorrection(const InterfaceTexts& texts, QWidget* parent = nullptr)
        : texts_(texts), parent_(parent) {}

    std::optional<std::string> Correct(const barlynx::CorrectionRequest& request) override;

private:
    std::optional<std::string> Run(const barlynx::CorrectionRequest& request);

    const InterfaceTexts& texts_;
    QWidget* parent_;
};

}  // namespace scantora
