#include "transfer/ui/transfer_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "acquisition/ui/qt_text.h"
#include "operator/text_ids.h"
#include "transfer/transfer_model.h"

namespace scantora {
namespace {

constexpr int kListMinimumWidth = 720;
constexpr int kListMinimumHeight = 150;

QTreeWidget* DocumentList(const QString& name, const std::vector<ListColumn>& columns,
                          QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setMinimumSize(kListMinimumWidth, kListMinimumHeight);
    // The model keeps both lists in order; the rows are shown as they come.
    list->setSortingEnabled(false);
    QStringList headers;
    for (const ListColumn& column : columns)
        headers << ToQt(column.header);
    list->setHeaderLabels(headers);
    list->header()->setStretchLastSection(false);
    // As wide as the heading and a margin of characters.
    const QFontMetrics metrics = list->header()->fontMetrics();
    const int margin = metrics.horizontalAdvance(QString(kColumnMargin, QChar('0')));
    for (int i = 0; i < headers.size(); ++i)
        list->setColumnWidth(i, metrics.horizontalAdvance(headers[i]) + margin);
    return list;
}

void Fill(QTreeWidget& list, const TransferModel& model, const std::vector<DocumentRow>& rows) {
    list.clear();
    for (const DocumentRow& row : rows) {
        QStringList cells;
        for (const std::string& cell : model.Cells(row))
            cells << ToQt(cell);
        auto* item = new QTreeWidgetItem(cells);
        item->setTextAlignment(static_cast<int>(cells.size()) - 1, Qt::AlignRight);
        list.addTopLevelItem(item);
    }
}

std::vector<std::size_t> SelectedRows(const QTreeWidget& list) {
    std::vector<std::size_t> rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->isSelected()) rows.push_back(static_cast<std::size_t>(i));
    return rows;
}

QToolButton* MoveButton(const QString& name, QStyle::StandardPixmap icon, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    return button;
}

// Runs `change` on the widget's thread: at once there, queued from the run's thread, which
// goes on without waiting.
template <typename Change>
void OnInterface(QObject* widget, Change change) {
    if (QThread::currentThread() == widget->thread())
        change();
    else
        QMetaObject::invokeMethod(widget, std::move(change), Qt::QueuedConnection);
}

}  // namespace

TransferDialog::TransferDialog(TransferModel& model, SendDocuments send, Operator& op,
                               const InterfaceTexts& texts, QWidget* parent)
    : QDialog(parent),
      model_(model),
      send_documents_(std::move(send)),
      op_(op),
      found_(DocumentList("found", model.columns(), this)),
      chosen_(DocumentList("chosen", model.columns(), this)),
      move_down_(MoveButton("move_down", QStyle::SP_ArrowDown, this)),
      move_up_(MoveButton("move_up", QStyle::SP_ArrowUp, this)),
      progress_(new QProgressBar(this)),
      send_(new QPushButton(this)),
      cancel_(new QPushButton(QtText(texts, text_id::kCancel), this)),
      status_(new QLineEdit(this)) {
    const QString title = QtText(texts, text_id::kTransferFiles);
    setWindowTitle(title);
    send_->setObjectName("send");
    send_->setText(title);
    send_->setDefault(true);
    cancel_->setObjectName("cancel");
    cancel_->setAutoDefault(false);
    progress_->setObjectName("progress");
    progress_->setTextVisible(false);
    progress_->hide();
    status_->setObjectName("status");
    status_->setReadOnly(true);
    SetStatus(FromQt(title));

    connect(move_down_, &QToolButton::clicked, this, [this] { MoveDown(); });
    connect(move_up_, &QToolButton::clicked, this, [this] { MoveUp(); });
    connect(found_, &QTreeWidget::itemDoubleClicked, this, [this] { MoveDown(); });
    connect(chosen_, &QTreeWidget::itemDoubleClicked, this, [this] { MoveUp(); });
    connect(send_, &QPushButton::clicked, this, [this] { Send(); });
    connect(cancel_, &QPushButton::clicked, this, &TransferDialog::reject);

    auto* layout = new QGridLayout(this);
    constexpr int kColumns = 5;
    layout->addWidget(found_, 0, 0, 1, kColumns);
    layout->addWidget(move_down_, 1, 0);
    layout->addWidget(move_up_, 1, 1);
    layout->addWidget(progress_, 1, 2);
    layout->addWidget(send_, 1, 3);
    layout->addWidget(cancel_, 1, 4);
    layout->addWidget(chosen_, 2, 0, 1, kColumns);
    layout->addWidget(status_, 3, 0, 1, kColumns);
    layout->setColumnStretch(2, 1);

    setCursor(Qt::WaitCursor);
    model_.Refresh();
    ShowLists();
    unsetCursor();
}

void TransferDialog::ChooseForAutomaticTransfer(const LevelValues& codes) {
    model_.ChooseMatching(codes, model_.shown_levels());
    ShowLists();
    send_at_once_ = model_.CanSend();
}

int TransferDialog::exec() {
    if (send_at_once_) {
        QTimer::singleShot(0, this, [this] {
            Send();
            accept();
        });
    }
    return QDialog::exec();
}

void TransferDialog::MoveDown() {
    if (sending_) return;
    model_.MoveDown(SelectedRows(*found_));
    ShowLists();
}

void TransferDialog::MoveUp() {
    if (sending_) return;
    model_.MoveUp(SelectedRows(*chosen_));
    ShowLists();
}

void TransferDialog::ShowLists() {
    Fill(*found_, model_, model_.found());
    Fill(*chosen_, model_, model_.chosen());
    ShowButtons();
}

void TransferDialog::ShowButtons() {
    move_down_->setVisible(!sending_ && model_.CanMoveDown());
    move_up_->setVisible(!sending_ && model_.CanMoveUp());
    send_->setVisible(model_.CanSend());
    send_->setEnabled(!sending_);
    cancel_->setEnabled(!sending_);
}

void TransferDialog::Send() {
    if (sending_ || !model_.CanSend()) return;
    sending_ = true;
    ShowButtons();
    setCursor(Qt::WaitCursor);
    QThread* run = QThread::create([this] { send_documents_(model_, *this, op_); });
    QEventLoop waiting;
    connect(run, &QThread::finished, &waiting, &QEventLoop::quit);
    run->start();
    waiting.exec();
    run->wait();
    delete run;
    // What the run left queued for the bar and the status field lands before the lists refill.
    QCoreApplication::sendPostedEvents(progress_);
    QCoreApplication::sendPostedEvents(status_);
    unsetCursor();
    sending_ = false;
    ShowLists();
}

void TransferDialog::reject() {
    // The dialog stays until the run has ended: its progress and questions need the window.
    if (sending_) return;
    QDialog::reject();
}

void TransferDialog::closeEvent(QCloseEvent* event) {
    if (sending_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TransferDialog::SetRange(int low, int high) {
    OnInterface(progress_, [this, low, high] { progress_->setRange(low, high); });
}

void TransferDialog::SetPosition(int position) {
    OnInterface(progress_, [this, position] {
        position_ = position;
        progress_->setValue(position_);
    });
}

void TransferDialog::Step() {
    OnInterface(progress_, [this] { progress_->setValue(++position_); });
}

void TransferDialog::ShowBar(bool shown) {
    OnInterface(progress_, [this, shown] { progress_->setVisible(shown); });
}

void TransferDialog::SetStatus(std::string_view text) {
    {
        const std::lock_guard lock(status_mutex_);
        status_text_ = text;
    }
    OnInterface(status_, [this, shown = ToQt(text)] { status_->setText(shown); });
}

std::string TransferDialog::Status() const {
    const std::lock_guard lock(status_mutex_);
    return status_text_;
}

}  // namespace scantora
