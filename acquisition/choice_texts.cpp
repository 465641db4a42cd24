#include "acquisition/choice_texts.h"

#include "acquisition/scan_report.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

constexpr std::size_t kWideLabel = 30;
constexpr std::size_t kNarrowLabel = 20;
constexpr std::string_view kAcquireAgain = "Riacquisirlo/i???";

// One line per level with a code, up to `last` (all levels when empty).
std::string LevelLines(const IdentificationModel& identification, std::optional<std::size_t> last,
                       std::size_t label_width, std::string_view gap) {
    std::string lines;
    for (std::size_t i = 0; i < identification.level_count(); ++i) {
        if (last && i > *last) break;
        const IdentificationLevel& level = identification.level(i);
        if (level.display.empty()) continue;
        lines += FixedField(level.label, label_width);
        lines += gap;
        lines += level.display + " \n";
    }
    return lines;
}

}  // namespace

std::string DocumentExistsText(const IdentificationModel& identification,
                               std::optional<std::size_t> working_level, int pages,
                               const InterfaceTexts& texts) {
    using namespace text_id;
    std::string text = texts.Text(kImageExists) + "." + texts.Text(kWith) + " " +
                       std::to_string(pages) + " " + texts.Text(kImages) + ". \n";
    text += LevelLines(identification, working_level, kWideLabel, "\t");
    return text + texts.Text(kWhichOperation);
}

std::string PageExistsText(const IdentificationModel& identification, bool after_acquisition,
                           const InterfaceTexts& texts) {
    using namespace text_id;
    std::string text = texts.Text(kImageExists) + "\n\n";
    text += LevelLines(identification, std::nullopt, kNarrowLabel, "\t\t");
    text += "\n";
    return text + (after_acquisition ? std::string(kAcquireAgain) : texts.Text(kRescan) + "?");
}

std::string EndOfDocumentText(const IdentificationModel& identification,
                              std::optional<std::size_t> working_level, int pages,
                              const InterfaceTexts& texts) {
    using namespace text_id;
    std::string text = texts.Text(kEndOfDocuments) + "\n";
    text += LevelLines(identification, working_level, kWideLabel, "\t");
    text += "\n" + texts.Text(kImagesAcquired) + ": \t" + std::to_string(pages) + " . \n";
    return text + texts.Text(kWhichOperation);
}

}  // namespace scantora
