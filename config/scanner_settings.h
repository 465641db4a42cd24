// The scanner settings file ("<INISETSCAN name>.twn" in the setup directory): twelve
// "KEY=value" lines of decimal integers.
#pragma once

#include <filesystem>
#include <istream>
#include <string>
#include <string_view>

#include "operator/operator.h"

namespace scantora {

inline constexpr int kDefaultResolution = 240;
// A stored resolution, brightness or contrast that is not set (the scanner dialog's mark).
inline constexpr int kScannerValueNotSet = 999;

struct ScannerSettings {
    int tipo = 0;                          // scan type
    int contrasto = 0;                     // contrast
    int luminosita = 0;                    // brightness
    int risoluzione = kDefaultResolution;  // DPI
    int duplex = 0;                        // 1: both sides
    int invert = 0;                        // 1: negative
    int deskew = 0;                        // 1: deskew every page
    int gradi = 0;                         // rotation: 0, 90, 180, 270
    int left = 0;
    int top = 0;
    int bottom = 0;
    int right = 0;

    bool operator==(const ScannerSettings&) const = default;
};

// "<setup_dir>/<file name of inisetscan>.twn".
std::filesystem::path ScannerSettingsPath(const std::filesystem::path& setup_dir,
                                          std::string_view inisetscan);

// Applies the lines of `in` to `settings`: on each line the first key (in file order) found
// anywhere in it gives its value when the line starts with it; other lines change nothing.
void ParseScannerSettings(std::istream& in, ScannerSettings& settings);

// The file text: the twelve lines in their fixed order, LF line ends.
std::string ComposeScannerSettings(const ScannerSettings& settings);

// A missing file keeps `settings` and succeeds; a file that cannot be read shows
// "Errore in Lettura file Scanner (<path>)" and fails.
bool ReadScannerSettings(const std::filesystem::path& path, ScannerSettings& settings,
                         Operator& op);

// Replaces the file atomically; on failure shows "Errore in registrazione file settaggi
// scanner" and fails, leaving the old file.
bool WriteScannerSettings(const std::filesystem::path& path, const ScannerSettings& settings,
                          Operator& op);

}  // namespace scantora
