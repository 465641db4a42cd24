// The transfer dialog: the documents of the work area in the upper list, those chosen for sending
// in the lower one, and the send button, which runs the transfer off the interface thread so that
// the window keeps repainting its progress bar and status field meanwhile.
#pragma once

#include <QDialog>

#include <functional>
#include <mutex>
#include <string>

#include "operator/interface_texts.h"
#include "operator/operator.h"
#include "transfer/transfer_model.h"
#include "transfer/transfer_progress.h"

class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;
class QTreeWidget;

namespace scantora {

// The transfer run over the model's chosen rows. It runs on a thread of its own: what it tells
// the operator goes through `op`, what it shows through `progress`.
using SendDocuments =
    std::function<void(TransferModel& model, TransferProgress& progress, Operator& op)>;

class TransferDialog : public QDialog, public TransferProgress {
public:
    // The run asks `op` from its own thread: an operator at the window puts the questions on the
    // window's thread itself, as QtOperator does. The model is refreshed when the dialog opens.
    TransferDialog(TransferModel& model, SendDocuments send, Operator& op,
                   const InterfaceTexts& texts, QWidget* parent = nullptr);

    // The automatic transfer: the documents showing `codes` on every shown level go to the lower
    // list; exec() then sends them at once and closes the dialog after the run.
    void ChooseForAutomaticTransfer(const LevelValues& codes);

    int exec() override;
    void reject() override;

    QTreeWidget* found_list() const { return found_; }
    QTreeWidget* chosen_list() const { return chosen_; }
    bool sending() const { return sending_; }

    // TransferProgress: callable from the run's thread.
    void SetRange(int low, int high) override;
    void SetPosition(int position) override;
    void Step() override;
    void ShowBar(bool shown) override;
    void SetStatus(std::string_view text) override;
    std::string Status() const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Send();
    void MoveDown();
    void MoveUp();
    void ShowLists();
    void ShowButtons();

    TransferModel& model_;
    SendDocuments send_documents_;
    Operator& op_;
    QTreeWidget* found_;
    QTreeWidget* chosen_;
    QToolButton* move_down_;
    QToolButton* move_up_;
    QProgressBar* progress_;
    QPushButton* send_;
    QPushButton* cancel_;
    QLineEdit* status_;
    bool sending_ = false;
    bool send_at_once_ = false;
    int position_ = 0;  // the bar's, on the interface thread: it ignores one below its range

    mutable std::mutex status_mutex_;
    std::string status_text_;
};

}  // namespace scantora
