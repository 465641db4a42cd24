#include "app/ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "acquisition/saved_identification.h"
#include "acquisition/scanner/control_source_list.h"
#include "acquisition/ui/identification_panel.h"
#include "acquisition/ui/interface_thread.h"
#include "acquisition/ui/page_view.h"
#include "acquisition/ui/qt_text.h"
#include "app/job_setup.h"
#include "app/startup.h"
#include "app/ui/about_box.h"
#include "app/ui/job_selection_dialog.h"
#include "app/ui/scan_options_dialog.h"
#include "app/ui/scan_runner.h"
#include "app/ui/setup_sheet_dialog.h"
#include "config/atomic_file.h"
#include "config/job_config_reader.h"
#include "config/source_choice.h"
#include "operator/fixed_messages.h"
#include "operator/text_ids.h"
#include "transfer/separation.h"

namespace scantora {
namespace {

constexpr int kSmallIconSize = 16;
constexpr int kBigIconSize = 32;
// The panel takes about a third of a wide screen; the page area the rest.
constexpr int kPanelWidth = 380;

const QString kCaptionFormat = QStringLiteral("Scantora [%1]");
const QString kOpenFilter = QStringLiteral("*.tif");

bool IsToggle(MenuCommand command) {
    switch (command) {
        case MenuCommand::kRotate0:
        case MenuCommand::kRotate90:
        case MenuCommand::kRotate180:
        case MenuCommand::kRotate270:
        case MenuCommand::kFrontBack:
        case MenuCommand::kDeskew:
        case MenuCommand::kNegative:
            return true;
        default:
            return false;
    }
}

ScannerOption OptionOf(MenuCommand command) {
    switch (command) {
        case MenuCommand::kRotate90:
            return ScannerOption::kRotate90;
        case MenuCommand::kRotate180:
            return ScannerOption::kRotate180;
        case MenuCommand::kRotate270:
            return ScannerOption::kRotate270;
        case MenuCommand::kFrontBack:
            return ScannerOption::kFrontBack;
        case MenuCommand::kDeskew:
            return ScannerOption::kDeskew;
        case MenuCommand::kNegative:
            return ScannerOption::kNegative;
        default:
            return ScannerOption::kRotate0;
    }
}

}  // namespace

MainWindow::MainWindow(AppState& state, const TextLookup& texts, ImagingControl& control,
                       QWidget* parent)
    : QMainWindow(parent), state_(state), texts_(texts), control_(control), op_(texts, this) {
    setObjectName("main_window");
    setWindowTitle(QStringLiteral("Scantora"));
    page_view_ = new PageView(this);
    page_view_->setObjectName("page_view");
    setCentralWidget(page_view_);
    viewer_ = std::make_unique<Viewer>(*page_view_, op_);
    connect(page_view_, &PageView::Resized, this, [this] { viewer_->WindowResized(); });
    scan_options_ = std::make_unique<QtScanOptionsDialog>(control_, texts_, this);
    control_.SetOptionsDialog(scan_options_.get());

    status_ = new QLabel(this);
    status_->setObjectName("status_text");
    counter_ = new QLabel(this);
    counter_->setObjectName("status_counter");
    statusBar()->addWidget(status_, 1);
    statusBar()->addPermanentWidget(counter_);
    BuildMenus();
    BuildToolBars();
    SetTransferDialog({});
}

MainWindow::~MainWindow() {
    // A scan still running is stopped and waited for before its parts go.
    runner_.reset();
    control_.SetOptionsDialog(nullptr);
}

bool MainWindow::Initialise() {
    const auto select = [this](std::string& path) {
        return RunJobSelection(state_.setup_dir, state_.utilita.keys, path, op_, texts_, this);
    };
    if (LoadJob(state_, select, op_, texts_) != JobLoadResult::kOk) return false;
    SetUpJob();
    ChooseScannerSource(false);
    return true;
}

// Everything that follows the job: check marks, panel, caption, page tools.
void MainWindow::SetUpJob() {
    const JobRecord& job = state_.utilita.job;
    marks_ = MarksFromSettings(state_.scanner);
    ShowMarks();

    runner_.reset();
    loop_.reset();
    separation_.reset();
    if (panel_dock_) {
        removeDockWidget(panel_dock_);
        delete panel_dock_;
        panel_ = nullptr;
    }
    identification_ = std::make_unique<IdentificationModel>(job, texts_, op_);
    identification_->Initialise(SavedIdentificationFile(), state_.preset_levels);
    separation_ = std::make_unique<Separation>(job, op_, BarlynxSeparatorReader(job, op_));
    loop_ = std::make_unique<AcquisitionLoop>(
        AcquisitionParts{job, state_.scanner, texts_, op_, control_, *identification_,
                         separation_.get()},
        AcquisitionOptions{state_.setup_dir, JobScannerValues(), state_.show_messages, false});
    ScanEvents events;
    events.page_saved = [this](const PageSavedEvent& event, const IdentificationView& view) {
        PageSaved(event, view);
    };
    events.counter = [this](const std::string& text) {
        counter_->setText(ToQt(text));
        panel_->ShowCounter(text);
    };
    events.status = [this](const std::string& text) { SetStatus(ToQt(text)); };
    events.identification = [this](const IdentificationView& view) { panel_->Show(view); };
    events.show_document = [this](const std::string& file) { viewer_->ShowFile(file); };
    events.ended = [this](const ScanResult& result, const IdentificationView&) {
        ScanEnded(result);
    };
    HandTransferToLoop();
    runner_ = std::make_unique<ScanRunner>(*loop_, *identification_, std::move(events), this);
    panel_dock_ = new QDockWidget(this);
    panel_dock_->setObjectName("identification_dock");
    panel_dock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    panel_ = new IdentificationPanel(*identification_, texts_, panel_dock_);
    panel_dock_->setWindowTitle(panel_->windowTitle());
    panel_dock_->setWidget(panel_);
    panel_dock_->setMinimumWidth(kPanelWidth);
    addDockWidget(Qt::LeftDockWidgetArea, panel_dock_);
    connect(panel_, &IdentificationPanel::StartRequested, this, &MainWindow::StartScan);
    connect(panel_, &IdentificationPanel::StopRequested, this, &MainWindow::StopScan);
    connect(panel_, &IdentificationPanel::NextDocumentRequested, this, &MainWindow::NextDocument);
    connect(panel_, &IdentificationPanel::FileChosen, this, &MainWindow::ShowBatchFile);
    connect(panel_, &IdentificationPanel::DeleteRequested, this, &MainWindow::DeleteBatchFile);
    connect(panel_, &IdentificationPanel::ShowImagesChanged, page_view_, &QWidget::setVisible);

    setWindowTitle(kCaptionFormat.arg(ToQt(job.applicazione)));
    // Page navigation belongs to multi-page files.
    const bool multi_page = identification_->multi_page();
    for (const int id :
         {text_id::kFirstPage, text_id::kPreviousPage, text_id::kNextPage, text_id::kLastPage})
        tools_.at(id)->setEnabled(multi_page);
    batch_files_.Clear();
    panel_->ShowFiles(batch_files_);
}

void MainWindow::BuildMenus() {
    std::map<int, QMenu*> menus;
    auto* rotations = new QActionGroup(this);
    for (const MenuEntry& entry : MenuEntries()) {
        const QString text = ToQt(MenuText(texts_, entry.id));
        QMenu* parent = entry.parent == 0 ? nullptr : menus.at(entry.parent);
        if (entry.command == MenuCommand::kSubMenu) {
            QMenu* menu = parent ? parent->addMenu(text) : menuBar()->addMenu(text);
            menu->setObjectName("menu" + QString::number(entry.id));
            menus[entry.id] = menu;
            continue;
        }
        QAction* action = parent ? parent->addAction(text) : menuBar()->addAction(text);
        action->setObjectName("command" + QString::number(entry.id));
        const MenuCommand command = entry.command;
        action->setCheckable(IsToggle(command));
        if (command >= MenuCommand::kRotate0 && command <= MenuCommand::kRotate270)
            rotations->addAction(action);
        connect(action, &QAction::triggered, this, [this, command] { Run(command); });
        actions_[command] = action;
    }
}

QToolBar* MainWindow::ToolBar(const QString& name, int icon_size) {
    auto* bar = new QToolBar(name, this);
    bar->setObjectName(name);
    bar->setIconSize(QSize(icon_size, icon_size));
    bar->setMovable(false);
    addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

void MainWindow::BuildToolBars() {
    const auto tool = [this](int id, QStyle::StandardPixmap icon, auto run) {
        QAction* action = new QAction(style()->standardIcon(icon), QtText(texts_, id), this);
        action->setObjectName("tool" + QString::number(id));
        connect(action, &QAction::triggered, this, run);
        tools_[id] = action;
        return action;
    };
    const QList<QAction*> file = {actions_.at(MenuCommand::kOpenFile),
                                  actions_.at(MenuCommand::kSendFiles)};
    actions_.at(MenuCommand::kOpenFile)
        ->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    actions_.at(MenuCommand::kSendFiles)->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    actions_.at(MenuCommand::kFitToWindow)
        ->setIcon(style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    actions_.at(MenuCommand::kFitToWidth)
        ->setIcon(style()->standardIcon(QStyle::SP_TitleBarMaxButton));
    const QList<QAction*> view = {
        actions_.at(MenuCommand::kFitToWindow), actions_.at(MenuCommand::kFitToWidth),
        tool(text_id::kZoomIn, QStyle::SP_ArrowUp, [this] { viewer_->ZoomIn(); }),
        tool(text_id::kZoomOut, QStyle::SP_ArrowDown, [this] { viewer_->ZoomOut(); })};
    const QList<QAction*> pages = {tool(text_id::kFirstPage, QStyle::SP_MediaSkipBackward,
                                        [this] { Navigate(PageStep::kFirst); }),
                                   tool(text_id::kPreviousPage, QStyle::SP_MediaSeekBackward,
                                        [this] { Navigate(PageStep::kPrevious); }),
                                   tool(text_id::kNextPage, QStyle::SP_MediaSeekForward,
                                        [this] { Navigate(PageStep::kNext); }),
                                   tool(text_id::kLastPage, QStyle::SP_MediaSkipForward,
                                        [this] { Navigate(PageStep::kLast); })};
    QAction* small =
        tool(text_id::kSmallIcons, QStyle::SP_FileDialogListView, [this] { SetBigIcons(false); });
    QAction* big =
        tool(text_id::kBigIcons, QStyle::SP_FileDialogDetailedView, [this] { SetBigIcons(true); });

    small_tools_ = ToolBar("small_tools", kSmallIconSize);
    big_tools_ = ToolBar("big_tools", kBigIconSize);
    for (QToolBar* bar : {small_tools_, big_tools_}) {
        bar->addActions(file);
        bar->addSeparator();
        bar->addActions(view);
        bar->addSeparator();
        bar->addActions(pages);
        bar->addSeparator();
    }
    small_tools_->addAction(big);
    big_tools_->addAction(small);
    SetBigIcons(false);
}

void MainWindow::SetTransferDialog(TransferDialog dialog) {
    transfer_dialog_ = std::move(dialog);
    actions_.at(MenuCommand::kSendFiles)->setEnabled(static_cast<bool>(transfer_dialog_));
    HandTransferToLoop();
}

// "Fine Batch?" answered Yes runs the transfer dialog; the loop asks from its own thread.
void MainWindow::HandTransferToLoop() {
    if (!loop_ || !transfer_dialog_) return;
    loop_->SetEndOfBatchTransfer(
        [this] { return OnInterfaceThread([this] { return transfer_dialog_(); }); });
}

void MainWindow::SetBigIcons(bool big) {
    small_tools_->setVisible(!big);
    big_tools_->setVisible(big);
}

QAction* MainWindow::action(MenuCommand command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* MainWindow::tool(int text_id) const {
    const auto it = tools_.find(text_id);
    return it == tools_.end() ? nullptr : it->second;
}

QString MainWindow::StatusText() const {
    return status_->text();
}

void MainWindow::SetStatus(const QString& text) {
    status_->setText(text);
}

void MainWindow::ShowMarks() {
    const std::pair<MenuCommand, bool> marks[] = {
        {MenuCommand::kRotate0, marks_.rotate0},      {MenuCommand::kRotate90, marks_.rotate90},
        {MenuCommand::kRotate180, marks_.rotate180},  {MenuCommand::kRotate270, marks_.rotate270},
        {MenuCommand::kFrontBack, marks_.front_back}, {MenuCommand::kDeskew, marks_.deskew},
        {MenuCommand::kNegative, marks_.negative}};
    for (const auto& [command, checked] : marks)
        actions_.at(command)->setChecked(checked);
}

void MainWindow::Run(MenuCommand command) {
    switch (command) {
        case MenuCommand::kOpenFile:
            ChooseFile();
            return;
        case MenuCommand::kSendFiles:
            if (transfer_dialog_) transfer_dialog_();
            return;
        case MenuCommand::kExit:
            Exit(true);
            return;
        case MenuCommand::kJobSetup:
            JobSetup();
            return;
        case MenuCommand::kJobSelect:
            JobSelect();
            return;
        case MenuCommand::kFitToWindow:
            viewer_->FitToWindow();
            return;
        case MenuCommand::kFitToWidth:
            viewer_->FitToWidth();
            return;
        case MenuCommand::kZoom25:
            viewer_->ZoomTo(25);
            return;
        case MenuCommand::kZoom50:
            viewer_->ZoomTo(50);
            return;
        case MenuCommand::kZoom100:
            viewer_->ZoomTo(100);
            return;
        case MenuCommand::kZoom200:
            viewer_->ZoomTo(200);
            return;
        case MenuCommand::kScannerSelect:
            ChooseScannerSource(true);
            return;
        case MenuCommand::kScannerSetup:
            ScannerSetup();
            return;
        case MenuCommand::kAbout:
            ShowAbout();
            return;
        case MenuCommand::kSubMenu:
            return;
        default:
            ScannerOption(OptionOf(command));
            return;
    }
}

void MainWindow::ChooseFile() {
    const QString file = QFileDialog::getOpenFileName(this, QString(), QString(), kOpenFilter);
    if (!file.isEmpty()) OpenFile(file);
}

void MainWindow::OpenFile(const QString& file) {
    viewer_->ShowFile(FromQt(file));
}

void MainWindow::Navigate(PageStep step) {
    viewer_->Navigate(step);
}

bool MainWindow::scanning() const {
    return runner_ && runner_->busy();
}

void MainWindow::StartScan() {
    if (scanning()) return;
    SetScanning(true);
    SetStatus(QtText(texts_, text_id::kScanningStarted));
    batch_files_.Clear();
    FillBatchList();
    runner_->Start();
}

void MainWindow::StopScan() {
    if (runner_) runner_->Stop();
}

void MainWindow::NextDocument() {
    if (scanning()) return;
    loop_->NextDocument();
    panel_->Refresh();
}

// While a scan runs its thread owns the job, the scanner settings and the identification:
// the commands that change them wait for its end.
void MainWindow::SetScanning(bool scanning) {
    panel_->SetScanning(scanning);
    for (const MenuCommand command :
         {MenuCommand::kJobSetup, MenuCommand::kJobSelect, MenuCommand::kScannerSelect,
          MenuCommand::kScannerSetup, MenuCommand::kRotate0, MenuCommand::kRotate90,
          MenuCommand::kRotate180, MenuCommand::kRotate270, MenuCommand::kFrontBack,
          MenuCommand::kDeskew, MenuCommand::kNegative})
        actions_.at(command)->setEnabled(!scanning);
    actions_.at(MenuCommand::kSendFiles)->setEnabled(!scanning && transfer_dialog_);
}

void MainWindow::PageSaved(const PageSavedEvent& event, const IdentificationView& view) {
    panel_->Show(view);
    const std::filesystem::path file(event.file);
    batch_files_.Fill(file.parent_path());
    FillBatchList();
    viewer_->ShowFile(file, event.page);
}

void MainWindow::ScanEnded(const ScanResult& result) {
    SetScanning(false);
    panel_->Refresh();
    if (!batch_files_.directory().empty()) batch_files_.Refill();
    FillBatchList();
    // "Fine Batch?" answered Yes closes the program without asking again.
    if (result.end == ScanEnd::kExit || exit_after_scan_) Exit(false);
}

// What the job's scanner settings ask of the scanner until it reports its own values.
ScannerValues MainWindow::JobScannerValues() const {
    ScannerValues values;
    if (state_.scanner.risoluzione > 0) values.resolution = state_.scanner.risoluzione;
    if (state_.scanner.tipo >= static_cast<int>(ColourMode::kLineArt) &&
        state_.scanner.tipo <= static_cast<int>(ColourMode::kColour))
        values.mode = static_cast<ColourMode>(state_.scanner.tipo);
    return values;
}

void MainWindow::ScannerOption(scantora::ScannerOption option) {
    RunScannerOptionCommand(option, marks_, state_.scanner, ScannerSettingsFile(), op_, texts_);
    // A toggle's action checked itself; the marks say what holds.
    ShowMarks();
}

void MainWindow::ChooseScannerSource(bool reset) {
    ControlSourceList sources(control_);
    ChooseSource(sources, reset, state_.utilita.job, JobFile(), JobRewriteTempPath(), op_);
}

// The operator sets the scanner up in the options dialog of the source, as the next scans
// will use it.
void MainWindow::ScannerSetup() {
    viewer_->FitToWidth();
    ScannerValues values = control_.ReadScannerValues();
    if (!scan_options_->Edit(control_.SelectedSource(), values)) return;
    control_.SetScannerValues(values);
    if (const ImagingStatus status = control_.ApplyScannerValues(); status != ImagingStatus::kOk)
        op_.Stop(fixed_message::WithNumber(fixed_message::kTwainError, ToCode(status)));
}

void MainWindow::JobSetup() {
    SetupSheet sheet = OpenJobSetup(state_, texts_, SetupForm::kPropertySheet);
    if (!RunSetupSheet(sheet, op_, texts_, this)) return;
    if (SaveJobSetup(state_, sheet, op_, texts_)) SetUpJob();
}

void MainWindow::JobSelect() {
    std::string path;
    if (!RunJobSelection(state_.setup_dir, state_.utilita.keys, path, op_, texts_, this)) return;
    const std::string previous = state_.job_file_path;
    state_.job_file_path = path;
    const auto no_dialog = [](std::string&) { return false; };
    if (LoadJob(state_, no_dialog, op_, texts_) != JobLoadResult::kOk) {
        state_.job_file_path = previous;
        LoadJob(state_, no_dialog, op_, texts_);
    }
    SetUpJob();
    ChooseScannerSource(false);
}

void MainWindow::ShowAbout() {
    AboutBox box(texts_, ToQt(state_.utilita.job.applicazione), this);
    box.AddLanguageBox(state_.setup_dir, state_.language_file, op_);
    box.exec();
}

void MainWindow::FillBatchList() {
    panel_->ShowFiles(batch_files_);
}

void MainWindow::ShowBatchFile(int index) {
    batch_files_.Select(static_cast<std::size_t>(index));
    if (const std::filesystem::path* file = batch_files_.SelectedFile()) viewer_->ShowFile(*file);
}

void MainWindow::DeleteBatchFile() {
    scantora::DeleteBatchFile(batch_files_, *viewer_, op_, texts_);
    FillBatchList();
}

void MainWindow::Exit(bool ask) {
    if (ask && !op_.AskYesNo(fixed_message::kExitQuestion, false)) return;
    if (scanning()) {
        // The window goes once the scan has ended after its current sheet.
        exit_after_scan_ = true;
        StopScan();
        return;
    }
    if (loop_) loop_->SaveIdentification();
    closing_ = true;
    QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window manager's close goes through Exit's question too.
    if (closing_) {
        event->accept();
        return;
    }
    event->ignore();
    Exit(true);
}

std::filesystem::path MainWindow::JobFile() const {
    for (const auto& candidate : JobFileCandidates(state_.setup_dir, state_.job_file_path))
        if (std::filesystem::exists(candidate)) return candidate;
    return state_.setup_dir / state_.job_file_path;
}

std::filesystem::path MainWindow::ScannerSettingsFile() const {
    return ScannerSettingsPath(state_.setup_dir, state_.utilita.job.inisetscan);
}

std::string MainWindow::SavedIdentificationFile() const {
    return SavedIdentificationPath(state_.setup_dir.string(), state_.utilita.job.inisaveparam);
}

}  // namespace scantora
