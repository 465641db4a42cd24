// The seven scanner options of the menu (rotate 0/90/180/270, front/back, deskew, negative)
// as operations on the scanner settings and the menu's check marks.
#pragma once

#include <filesystem>

#include "config/scanner_settings.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"

namespace scantora {

enum class ScannerOption {
    kRotate0,
    kRotate90,
    kRotate180,
    kRotate270,
    kFrontBack,
    kDeskew,
    kNegative
};

// The check marks of the scanner options menu.
struct ScannerOptionMarks {
    bool rotate0 = true;
    bool rotate90 = false;
    bool rotate180 = false;
    bool rotate270 = false;
    bool front_back = false;
    bool deskew = false;
    bool negative = false;

    bool operator==(const ScannerOptionMarks&) const = default;
};

// The marks that show `settings`: a toggle is checked when its value is 1; rotate 0 when
// GRADI is 0 or less, else the rotation equal to GRADI.
ScannerOptionMarks MarksFromSettings(const ScannerSettings& settings);

// A rotation checks its item alone and sets GRADI to its angle; a toggle flips its mark and
// sets its value to 1 when checked, 0 when not.
void ApplyScannerOption(ScannerOption option, ScannerOptionMarks& marks, ScannerSettings& settings);

// The menu command: applies the option, then writes the settings file. When the write fails
// the change stays for this run and, after the write's own message, text 117 is shown when
// the language table has it. Returns whether the file was written.
bool RunScannerOptionCommand(ScannerOption option, ScannerOptionMarks& marks,
                             ScannerSettings& settings, const std::filesystem::path& path,
                             Operator& op, const InterfaceTexts& texts);

}  // namespace scantora
