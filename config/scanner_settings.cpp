#include "config/scanner_settings.h"

#include <climits>
#include <fstream>

#include "config/atomic_file.h"
#include "config/line_reader.h"
#include "config/numeric_text.h"
#include "config/path_text.h"
#include "operator/fixed_messages.h"

namespace scantora {
namespace {

constexpr std::string_view kExtension = ".twn";

struct ScannerKey {
    std::string_view key;
    int ScannerSettings::*field;
};

constexpr ScannerKey kKeys[] = {
    {"TIPO=", &ScannerSettings::tipo},
    {"CONTRASTO=", &ScannerSettings::contrasto},
    {"LUMINOSITA=", &ScannerSettings::luminosita},
    {"RISOLUZIONE=", &ScannerSettings::risoluzione},
    {"DUPLEX=", &ScannerSettings::duplex},
    {"INVERT=", &ScannerSettings::invert},
    {"DESKEW=", &ScannerSettings::deskew},
    {"GRADI=", &ScannerSettings::gradi},
    {"LEFT=", &ScannerSettings::left},
    {"TOP=", &ScannerSettings::top},
    {"BOTTOM=", &ScannerSettings::bottom},
    {"RIGHT=", &ScannerSettings::right},
};

int ClampedInt(long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string Replaced(std::string_view format, std::string_view argument) {
    std::string text(format);
    const auto at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, argument);
    return text;
}

}  // namespace

std::filesystem::path ScannerSettingsPath(const std::filesystem::path& setup_dir,
                                          std::string_view inisetscan) {
    return setup_dir / (FileNamePart(inisetscan) + std::string(kExtension));
}

void ParseScannerSettings(std::istream& in, ScannerSettings& settings) {
    std::string line;
    while (ReadTextLine(in, line)) {
        for (const auto& key : kKeys) {
            const auto at = line.find(key.key);
            if (at == std::string::npos) continue;
            if (at == 0)
                settings.*key.field = ClampedInt(LeadingNumber(line.substr(key.key.size())));
            break;
        }
    }
}

std::string ComposeScannerSettings(const ScannerSettings& settings) {
    std::string text;
    for (const auto& key : kKeys)
        text.append(key.key).append(std::to_string(settings.*key.field)).push_back('\n');
    return text;
}

bool ReadScannerSettings(const std::filesystem::path& path, ScannerSettings& settings,
                         Operator& op) {
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) return true;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open() || std::filesystem::is_directory(path, error)) {
        op.Stop(Replaced(fixed_message::kScannerFileRead, path.string()));
        return false;
    }
    ParseScannerSettings(in, settings);
    return true;
}

bool WriteScannerSettings(const std::filesystem::path& path, const ScannerSettings& settings,
                          Operator& op) {
    if (WriteFileAtomically(path, ComposeScannerSettings(settings)) == RewriteResult::kOk)
        return true;
    op.Stop(fixed_message::kScannerFileWrite);
    return false;
}

}  // namespace scantora
