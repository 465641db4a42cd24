#include "app/job_summary.h"

#include <sstream>

#include "config/numeric_text.h"

namespace scantora {
namespace {

constexpr int kLevelLabel = 61456;      // "Livello" / "Level"
constexpr int kMandatoryLabel = 61468;  // "Obbligatorio"
constexpr int kWorkDiskLabel = 61477;   // "Disco/Directory di scarico"
constexpr int kSendToLabel = 61482;     // "Invio A"

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

void DescribeLevel(std::ostringstream& out, int n, const LevelSettings& level,
                   const TextLookup& texts) {
    out << "  " << texts.Text(kLevelLabel) << ' ' << n + 1 << ": " << Quoted(level.descrizione)
        << '\n';
    out << "    max characters " << LeadingNumber(level.nmaxcar) << ", "
        << texts.Text(kMandatoryLabel) << ' ' << (level.IsMandatory() ? "yes" : "no")
        << ", end of document " << Quoted(level.opfinescandoc) << ", locked "
        << (LeadingNumber(level.lockuser) != 0 ? "yes" : "no") << '\n';
    out << "    composition " << Quoted(level.composnome) << ", when empty " << Quoted(level.avuoto)
        << ", input control file " << Quoted(level.nomefileinput) << '\n';
}

}  // namespace

std::string DescribeJob(const AppState& state, const TextLookup& texts) {
    const JobRecord& job = state.utilita.job;
    std::ostringstream out;
    out << "Job: " << Quoted(job.applicazione) << '\n';
    out << "Job file: " << state.job_file_path << '\n';
    out << "Setup directory: " << state.setup_dir.string() << '\n';
    out << "Operator: " << state.user_name << '\n';
    out << "Levels: " << job.LevelCount() << '\n';
    for (int n = 0; n < job.LevelCount(); ++n)
        DescribeLevel(out, n, job.levels[n], texts);
    out << "Work area root (DISCO_SCARICO, " << texts.Text(kWorkDiskLabel)
        << "): " << job.disco_scarico << '\n';
    out << "Destination root (INVIOA, " << texts.Text(kSendToLabel) << "): " << job.invioa << '\n';
    out << "Multi-page TIFF: " << (job.multitiff.rfind('Y', 0) == 0 ? "yes" : "no")
        << ", max images per document " << LeadingNumber(job.maxdoc_num) << ", front/back names "
        << Quoted(job.nomefronte) << '/' << Quoted(job.nomeretro) << '\n';
    out << "Transfer log: " << (LeadingNumber(job.log) != 0 ? job.nomefilelog : "off")
        << ", barcode separation: " << (LeadingNumber(job.barcode) != 0 ? "on" : "off")
        << " (symbologies " << LeadingNumber(job.barcodeval) << ")\n";
    const ScannerSettings& scan = state.scanner;
    out << "Scanner: " << scan.risoluzione << " dpi, duplex " << scan.duplex << ", negative "
        << scan.invert << ", deskew " << scan.deskew << ", rotation " << scan.gradi << ", source "
        << Quoted(job.twainsource) << '\n';
    for (int n = 0; n < kMaxLevels; ++n)
        if (!state.preset_levels[n].empty())
            out << "Preset code of level " << n + 1 << ": " << state.preset_levels[n] << '\n';
    return out.str();
}

}  // namespace scantora
