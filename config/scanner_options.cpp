#include "config/scanner_options.h"

#include "operator/text_ids.h"

namespace scantora {
namespace {

void CheckRotation(ScannerOptionMarks& marks, int degrees) {
    marks.rotate0 = degrees == 0;
    marks.rotate90 = degrees == 90;
    marks.rotate180 = degrees == 180;
    marks.rotate270 = degrees == 270;
}

void Toggle(bool& mark, int& value) {
    mark = !mark;
    value = mark ? 1 : 0;
}

}  // namespace

ScannerOptionMarks MarksFromSettings(const ScannerSettings& settings) {
    ScannerOptionMarks marks;
    CheckRotation(marks, settings.gradi <= 0 ? 0 : settings.gradi);
    marks.front_back = settings.duplex == 1;
    marks.deskew = settings.deskew == 1;
    marks.negative = settings.invert == 1;
    return marks;
}

void ApplyScannerOption(ScannerOption option, ScannerOptionMarks& marks,
                        ScannerSettings& settings) {
    switch (option) {
        case ScannerOption::kRotate0:
        case ScannerOption::kRotate90:
        case ScannerOption::kRotate180:
        case ScannerOption::kRotate270: {
            constexpr int kQuarterTurn = 90;
            settings.gradi = static_cast<int>(option) * kQuarterTurn;
            CheckRotation(marks, settings.gradi);
            break;
        }
        case ScannerOption::kFrontBack:
            Toggle(marks.front_back, settings.duplex);
            break;
        case ScannerOption::kDeskew:
            Toggle(marks.deskew, settings.deskew);
            break;
        case ScannerOption::kNegative:
            Toggle(marks.negative, settings.invert);
            break;
    }
}

bool RunScannerOptionCommand(ScannerOption option, ScannerOptionMarks& marks,
                             ScannerSettings& settings, const std::filesystem::path& path,
                             Operator& op, const InterfaceTexts& texts) {
    ApplyScannerOption(option, marks, settings);
    if (WriteScannerSettings(path, settings, op)) return true;
    const std::string extra = texts.Text(text_id::kScannerSettingsNotWritten);
    if (!extra.empty()) op.Stop(extra);
    return false;
}

}  // namespace scantora
