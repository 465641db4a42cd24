#include "app/window_program.h"

#include <QApplication>

#include "acquisition/scanner/imaging_control.h"
#include "acquisition/ui/page_window_host.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_operator.h"
#include "app/ui/transfer_window.h"
#include "transfer/ui/reject_correction_dialog.h"

namespace scantora {

int RunWindowProgram(int argc, char** argv, const StartupOptions& options) {
    constexpr int kExitFailure = 1;
    QApplication application(argc, argv);
    if (!InstallPageWindowHost()) return kExitFailure;
    TextLookup texts;
    AppState state;
    QtOperator op(texts);
    if (StartUp(options, state, texts, op) != StartupResult::kOk) return kExitFailure;
    const std::unique_ptr<ImagingControl> control = MakeImagingControl();
    MainWindow window(state, texts, *control);
    if (!window.Initialise()) return kExitFailure;
    QtRejectCorrection correction(texts, &window);
    window.SetTransferDialog(
        [&] { return RunTransferWindow(state.utilita.job, texts, op, &correction, &window); });
    window.showMaximized();
    return application.exec();
}

}  // namespace scantora
