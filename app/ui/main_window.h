// The main window: caption "Scantora [<job>]", the translated menu bar, the small and big tool
// bars, the status bar, the viewer's page area and the identification panel beside it. It loads
// the job at its start, keeps the scanner menu's check marks with the scanner settings, and runs
// the acquisition loop off the user-interface thread so that scanning never freezes it.
#pragma once

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>

#include "acquisition/acquisition_loop.h"
#include "acquisition/batch_file_list.h"
#include "acquisition/identification_model.h"
#include "acquisition/scanner/imaging_control.h"
#include "acquisition/viewer.h"
#include "app/app_state.h"
#include "app/menu_table.h"
#include "app/text_lookup.h"
#include "app/ui/qt_operator.h"
#include "config/scanner_options.h"

class QAction;
class QDockWidget;
class QLabel;
class QToolBar;

namespace scantora {

class IdentificationPanel;
class PageView;
class QtScanOptionsDialog;
class ScanRunner;
class Separation;
struct IdentificationView;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // `state`, `texts` and `control` must outlive the window. The image window host must be
    // installed (InstallPageWindowHost).
    MainWindow(AppState& state, const TextLookup& texts, ImagingControl& control,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Loads the job (the selection dialog when none is named) with its scanner settings, sets
    // the check marks, makes the identification panel, the caption and chooses the scanner
    // source. False when no job could be loaded: the program ends.
    bool Initialise();

    // The menu and tool-bar commands.
    void Run(MenuCommand command);
    // The open command with its file chosen.
    void OpenFile(const QString& file);
    void Navigate(PageStep step);
    // The panel's start, stop and next-document commands. A scan runs on a thread of its own;
    // the window hears of its pages as they are saved.
    void StartScan();
    void StopScan();
    void NextDocument();
    bool scanning() const;
    // The transfer dialog, for the send command and the end of a batch: true when the transfer
    // ran to its end. Without one the send command is not offered.
    using TransferDialog = std::function<bool()>;
    void SetTransferDialog(TransferDialog dialog);
    // Small or big tool-bar icons.
    void SetBigIcons(bool big);
    // Exit: after "Exit ?" (when `ask`) saves the identification values and closes. A scan in
    // progress is stopped first and the window closes when it has ended.
    void Exit(bool ask);

    Viewer& viewer() { return *viewer_; }
    PageView* page_view() const { return page_view_; }
    IdentificationPanel* panel() const { return panel_; }
    IdentificationModel* identification() const { return identification_.get(); }
    const BatchFileList& batch_files() const { return batch_files_; }
    QAction* action(MenuCommand command) const;
    QAction* tool(int text_id) const;
    QToolBar* small_tools() const { return small_tools_; }
    QToolBar* big_tools() const { return big_tools_; }
    QString StatusText() const;
    const ScannerOptionMarks& marks() const { return marks_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBars();
    QToolBar* ToolBar(const QString& name, int icon_size);
    void SetUpJob();
    void HandTransferToLoop();
    void ShowMarks();
    void ChooseScannerSource(bool reset);
    void ScannerSetup();
    void ScannerOption(ScannerOption option);
    void JobSetup();
    void JobSelect();
    void ShowAbout();
    void ChooseFile();
    void ShowBatchFile(int index);
    void DeleteBatchFile();
    void FillBatchList();
    void SetStatus(const QString& text);
    void SetScanning(bool scanning);
    void PageSaved(const PageSavedEvent& event, const IdentificationView& view);
    void ScanEnded(const ScanResult& result);
    ScannerValues JobScannerValues() const;
    std::filesystem::path JobFile() const;
    std::filesystem::path ScannerSettingsFile() const;
    std::string SavedIdentificationFile() const;

    AppState& state_;
    const TextLookup& texts_;
    ImagingControl& control_;
    QtOperator op_;
    std::unique_ptr<QtScanOptionsDialog> scan_options_;
    PageView* page_view_ = nullptr;
    std::unique_ptr<Viewer> viewer_;
    BatchFileList batch_files_;
    std::unique_ptr<IdentificationModel> identification_;
    std::unique_ptr<Separation> separation_;
    std::unique_ptr<AcquisitionLoop> loop_;
    std::unique_ptr<ScanRunner> runner_;
    IdentificationPanel* panel_ = nullptr;
    QDockWidget* panel_dock_ = nullptr;
    std::map<MenuCommand, QAction*> actions_;
    std::map<int, QAction*> tools_;  // tool-bar actions of their own, by text identifier
    QToolBar* small_tools_ = nullptr;
    QToolBar* big_tools_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* counter_ = nullptr;
    ScannerOptionMarks marks_;
    TransferDialog transfer_dialog_;
    bool closing_ = false;
    bool exit_after_scan_ = false;
};

}  // namespace scantora
