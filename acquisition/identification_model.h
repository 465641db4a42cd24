// The identification model: per level the lock state, entry text, entry list and code display
// that identify the document being scanned, with the checks, the page path and the advance of
// the codes from page to page. The identification panel is a thin view over it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/page_path.h"
#include "config/job_record.h"
#include "operator/interface_texts.h"
#include "operator/operator.h"

namespace scantora {

struct IdentificationLevel {
    std::string label;                    // DESCRIZIONE_n
    bool locked = false;                  // lock box checked
    bool lock_fixed = false;              // lock box disabled (LOCKUSER_n not 0)
    bool entry_enabled = true;            // entry field editable
    std::string entry;                    // entry field text
    std::vector<std::string> entry_list;  // lines of the input-control file
    std::string display;                  // effective code, used by the naming
};

// What the acquisition loop tells about the page just acquired.
struct AcquiredPage {
    bool duplex = false;     // the scan is duplex
    bool back_side = false;  // the page is the back of its sheet
};

// "Num. Img. nel Bacth: %d  " with `count`.
std::string BatchCounterText(int count);

class IdentificationModel {
public:
    // `job`, `texts` and `op` must outlive the model.
    IdentificationModel(const JobRecord& job, const InterfaceTexts& texts, Operator& op);

    // Sets the levels up from the job record, loads the input-control files (messages 61449,
    // 61450), restores `saved_file` when it exists and puts the preset codes of the command line
    // (slot n for level n, empty slots ignored) into entry and display.
    void Initialise(std::string_view saved_file, std::span<const std::string> presets);

    std::size_t level_count() const { return levels_.size(); }
    const IdentificationLevel& level(std::size_t index) const { return levels_.at(index); }
    // The code displays of the levels in use, level 1 first.
    std::vector<std::string> Codes() const;

    // The most characters the entry field of `index` takes (NMAXCAR_n, at most kMaxLevelValue).
    long entry_limit(std::size_t index) const { return WidthOf(index); }

    // Operator actions. Out-of-range levels are ignored.
    void SetEntry(std::size_t index, std::string_view text);
    void SetLocked(std::size_t index, bool locked);  // a fixed lock stays checked
    // The entry check when the operator leaves an entry he changed: trims it, refuses a code
    // wider than NMAXCAR_n (message 61509/61510, focus back), else zero-pads a trailing number
    // and puts it into the entry and the display. Returns whether the entry was accepted.
    bool LeaveEntry(std::size_t index);
    // The per-level command for `index`: shallower displays take their entries, deeper levels
    // are emptied, the level itself is left as it is.
    void RunLevelCommand(std::size_t index);

    // The checks before scanning (AVUOTO_n, width, mandatory levels, entry lists).
    bool Validate();

    // The level whose code advances: AUTOMATICO's first digit when it names a level in use,
    // else the deepest level with a code; nothing when there is none.
    std::optional<std::size_t> WorkingLevel() const;

    // The advance after each acquired page (multi-page counting, or the one-file-per-page step).
    void AdvancePage(const AcquiredPage& page);
    // Steps the code of `index` by `step` and empties every deeper level: the next-document
    // step and separator sheets.
    void StepLevel(std::size_t index, int step);

    // Builds the page path of the current codes (message 61519 when it is not a sound absolute
    // path), creates its missing directories and keeps it as the file field.
    std::optional<PagePathParts> BuildPagePath(bool back_side);
    const std::string& file_field() const { return file_field_; }

    // Pages of the current multi-page document; the loop sets it from an existing file.
    int page_counter() const { return page_counter_; }
    void set_page_counter(int pages);
    bool document_complete() const { return document_complete_; }
    void clear_document_complete() { document_complete_ = false; }
    // "Num. Img. nel Bacth: %d  " with the page counter.
    std::string BatchCounterText() const;

    bool multi_page() const;
    // The tool-bar buttons that make no sense for multi-page documents are disabled.
    bool multi_page_tools_disabled() const { return multi_page(); }
    std::string Caption() const;  // "ID. Doc. - %s -" with APPLICAZIONE
    // The level whose entry should get the focus after a refused check.
    std::optional<std::size_t> focus_level() const { return focus_level_; }

    bool Save(std::string_view saved_file) const;
    bool Restore(std::string_view saved_file);

private:
    long WidthOf(std::size_t index) const;
    void LoadEntryList(std::size_t index);
    std::optional<std::string> CheckedCode(std::size_t index, std::string_view text);
    bool Refuse(std::size_t index, std::string_view message, MessageIcon icon);
    bool AnyDuplexSideToken() const;

    const JobRecord& job_;
    const InterfaceTexts& texts_;
    Operator& operator_;
    std::vector<IdentificationLevel> levels_;
    std::string file_field_;
    int page_counter_ = 0;
    bool document_complete_ = false;
    std::optional<std::size_t> focus_level_;
};

}  // namespace scantora
