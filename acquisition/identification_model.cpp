#include "acquisition/identification_model.h"

#include <algorithm>
#include <filesystem>

#include "acquisition/code_advance.h"
#include "acquisition/input_control_file.h"
#include "acquisition/naming_text.h"
#include "acquisition/naming_token.h"
#include "acquisition/saved_identification.h"
#include "config/numeric_text.h"
#include "config/text_encoding.h"
#include "operator/text_ids.h"

namespace scantora {

namespace {

constexpr std::string_view kBatchCounterFormat = "Num. Img. nel Bacth: ";
constexpr std::string_view kCaptionPrefix = "ID. Doc. - ";
constexpr std::string_view kCaptionSuffix = " -";

}  // namespace

IdentificationModel::IdentificationModel(const JobRecord& job, const InterfaceTexts& texts,
                                         Operator& op)
    : job_(job), texts_(texts), operator_(op) {}

void IdentificationModel::Initialise(std::string_view saved_file,
                                     std::span<const std::string> presets) {
    levels_.assign(static_cast<std::size_t>(job_.LevelCount()), {});
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        IdentificationLevel& level = levels_[i];
        level.label = job_.levels[i].descrizione;
        if (LeadingNumber(job_.levels[i].lockuser) != 0) {
            level.locked = level.lock_fixed = true;
            level.entry_enabled = false;
        }
        LoadEntryList(i);
    }
    Restore(saved_file);
    for (std::size_t i = 0; i < std::min(levels_.size(), presets.size()); ++i) {
        if (presets[i].empty()) continue;
        levels_[i].entry = levels_[i].display = presets[i];
    }
}

void IdentificationModel::LoadEntryList(std::size_t index) {
    const std::string& file = job_.levels[index].nomefileinput;
    if (file.empty()) return;
    InputControlList list = ReadInputControlFile(file);
    switch (list.status) {
        case InputControlStatus::kMissing:
            operator_.Stop(FillPlaceholder(texts_.Text(text_id::kControlTableNotLoaded), file));
            return;
        case InputControlStatus::kUnreadable:
            operator_.Stop(FillPlaceholder(texts_.Text(text_id::kControlTableOpenError), file));
            return;
        case InputControlStatus::kLoaded:
            levels_[index].entry_list = std::move(list.codes);
            return;
    }
}

std::vector<std::string> IdentificationModel::Codes() const {
    std::vector<std::string> codes;
    for (const IdentificationLevel& level : levels_)
        codes.push_back(level.display);
    return codes;
}

void IdentificationModel::SetEntry(std::size_t index, std::string_view text) {
    if (index < levels_.size()) levels_[index].entry = std::string(text);
}

void IdentificationModel::SetLocked(std::size_t index, bool locked) {
    if (index >= levels_.size() || levels_[index].lock_fixed) return;
    levels_[index].locked = locked;
    levels_[index].entry_enabled = !locked;
}

long IdentificationModel::WidthOf(std::size_t index) const {
    return index < levels_.size() ? static_cast<long>(LevelWidth(job_.levels[index].nmaxcar)) : 0;
}

std::optional<std::string> IdentificationModel::CheckedCode(std::size_t index,
                                                            std::string_view text) {
    const std::string trimmed = TrimEntry(text);
    const long width = WidthOf(index);
    if (static_cast<long>(CharCount(trimmed)) <= width) return AdvanceCode(trimmed, width, 0);
    const std::string message = texts_.Text(text_id::kMaxCharactersPrefix) + " " +
                                std::to_string(width) + " " + texts_.Text(text_id::kCharacters) +
                                "!";
    focus_level_ = index;
    operator_.Stop(message);
    return std::nullopt;
}

bool IdentificationModel::LeaveEntry(std::size_t index) {
    if (index >= levels_.size()) return false;
    const auto checked = CheckedCode(index, levels_[index].entry);
    if (!checked) return false;
    levels_[index].entry = levels_[index].display = *checked;
    return true;
}

void IdentificationModel::RunLevelCommand(std::size_t index) {
    for (std::size_t j = 0; j < levels_.size(); ++j) {
        if (j < index) levels_[j].display = levels_[j].entry;
        if (j > index) levels_[j].entry.clear(), levels_[j].display.clear();
    }
}

bool IdentificationModel::Refuse(std::size_t index, std::string_view message, MessageIcon icon) {
    operator_.ShowMessage(message, icon);
    levels_[index].entry_enabled = true;
    focus_level_ = index;
    return false;
}

bool IdentificationModel::Validate() {
    focus_level_.reset();
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        IdentificationLevel& level = levels_[i];
        const LevelSettings& settings = job_.levels[i];
        if (level.display.empty() && !settings.avuoto.empty()) {
            level.entry = level.display = settings.avuoto;
        }
        // A code wider than its level would not fit the names the transfer recognises.
        const auto checked = CheckedCode(i, level.display);
        if (!checked) {
            level.entry_enabled = true;
            return false;
        }
        level.display = *checked;
        if (settings.IsMandatory() && level.display.empty()) {
            return Refuse(i, texts_.Text(text_id::kFillFieldsToScan), MessageIcon::kInformation);
        }
        const auto& list = level.entry_list;
        if (!level.display.empty() && !list.empty() &&
            std::find(list.begin(), list.end(), level.display) == list.end()) {
            return Refuse(
                i, FillPlaceholder(texts_.Text(text_id::kUnknownParameter), settings.descrizione),
                MessageIcon::kStop);
        }
    }
    return true;
}

std::optional<std::size_t> IdentificationModel::WorkingLevel() const {
    const long automatic = LeadingNumber(std::string_view(job_.automatico).substr(0, 1));
    if (automatic >= 0 && static_cast<std::size_t>(automatic) < levels_.size()) {
        return static_cast<std::size_t>(automatic);
    }
    for (std::size_t i = levels_.size(); i-- > 0;) {
        if (!levels_[i].display.empty()) return i;
    }
    return std::nullopt;
}

bool IdentificationModel::AnyDuplexSideToken() const {
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        if (HasDuplexSideToken(job_.levels[i].composnome)) return true;
    }
    return false;
}

void IdentificationModel::AdvancePage(const AcquiredPage& page) {
    if (multi_page()) {
        set_page_counter(page_counter_ + 1);
        return;
    }
    const auto working = WorkingLevel();
    if (!working) return;
    IdentificationLevel& level = levels_[*working];
    level.entry = level.display;
    // Front and back of one sheet share the code when the side name tells them apart.
    if (page.duplex && !page.back_side && AnyDuplexSideToken()) return;
    const int step = StepOfOperation(job_.levels[*working].opfinescandoc);
    level.display = AdvanceCode(level.display, WidthOf(*working), step);
}

void IdentificationModel::StepLevel(std::size_t index, int step) {
    if (index >= levels_.size()) return;
    levels_[index].display = AdvanceCode(levels_[index].display, WidthOf(index), step);
    for (std::size_t j = index + 1; j < levels_.size(); ++j) {
        levels_[j].entry.clear();
        levels_[j].display.clear();
    }
}

std::optional<PagePathParts> IdentificationModel::BuildPagePath(bool back_side) {
    std::vector<std::string> patterns;
    for (std::size_t i = 0; i < levels_.size(); ++i)
        patterns.push_back(job_.levels[i].composnome);
    const std::vector<std::string> codes = Codes();
    const PagePathRules rules{job_.disco_scarico, patterns, job_.nomefronte, job_.nomeretro};
    const auto path = ComposePagePath(rules, codes, back_side);
    if (!path) {
        operator_.Stop(texts_.Text(text_id::kNameStructureError));
        return std::nullopt;
    }
    // A directory that cannot be made shows up when the page is saved.
    CreatePathDirectories(*path);
    file_field_ = *path;
    return SplitPagePath(*path);
}

void IdentificationModel::set_page_counter(int pages) {
    page_counter_ = pages;
    const long limit = LeadingNumber(job_.maxdoc_num);
    if (limit > 0 && page_counter_ >= limit) document_complete_ = true;
}

std::string BatchCounterText(int count) {
    return std::string(kBatchCounterFormat) + std::to_string(count) + "  ";
}

std::string IdentificationModel::BatchCounterText() const {
    return scantora::BatchCounterText(page_counter_);
}

bool IdentificationModel::multi_page() const {
    return job_.multitiff.starts_with('Y');
}

std::string IdentificationModel::Caption() const {
    return std::string(kCaptionPrefix) + job_.applicazione + std::string(kCaptionSuffix);
}

bool IdentificationModel::Save(std::string_view saved_file) const {
    std::vector<SavedLevel> saved;
    for (const IdentificationLevel& level : levels_) {
        saved.push_back({level.locked, level.entry, level.display});
    }
    return WriteSavedIdentification(saved_file, saved);
}

bool IdentificationModel::Restore(std::string_view saved_file) {
    const auto saved = ReadSavedIdentification(saved_file, levels_.size());
    if (!saved) return false;
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        IdentificationLevel& level = levels_[i];
        level.locked = level.lock_fixed || (*saved)[i].locked;
        level.entry_enabled = !level.locked;
        level.entry = (*saved)[i].entry;
        level.display = (*saved)[i].display;
    }
    return true;
}

}  // namespace scantora
