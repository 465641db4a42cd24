// The transfer dialog's model: the documents that scanning left in the work area, found by
// walking it against the job's discovery patterns, in two lists: the documents found (upper)
// and the documents chosen for sending (lower). The view shows the lists and their columns and
// forwards the operator's selections; nothing here needs a window.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/job_record.h"
#include "transfer/discovery_patterns.h"

namespace scantora {

// One document as a list shows it.
struct DocumentRow {
    LevelValues values;  // the shown levels' values, level 1 first; the other slots empty
    int page_count = 0;  // the "NUM." column: the document's page files
};

// One column of both lists: a shown level's DESCRIZIONE_n, then "NUM.".
struct ListColumn {
    std::string header;
    std::size_t width = 0;  // in characters: the header's length plus four
};

inline constexpr std::string_view kPageCountHeader = "NUM.";
inline constexpr std::size_t kColumnMargin = 4;

// VIEWNLIVELLI; for an automatic transfer with CHIUSURADOPOTRASF not 0, NLIVELLI when MULTITIFF
// begins with "Y", else NLIVELLI - 1. Always within 0..9.
std::size_t ShownLevelCount(const JobRecord& job, bool automatic);

// The columns of `shown` levels and the "NUM." column.
std::vector<ListColumn> ListColumns(const JobRecord& job, std::size_t shown);

// The discovery accumulator: one entry per document, its shown levels' values and the number
// of page files found under them, kept in ascending order of their text.
class DocumentAccumulator {
public:
    struct Entry {
        LevelValues values;
        int count = 0;
    };

    explicit DocumentAccumulator(std::size_t shown = 0) : shown_(shown) {}

    // Counts one page file under `values`: values equal to an entry's, ignoring ASCII case,
    // count into that entry.
    void Count(const LevelValues& values);
    void Clear() { entries_.clear(); }

    const std::vector<Entry>& entries() const { return entries_; }
    std::size_t shown() const { return shown_; }

    // The entry's text: its shown values one after the other, then its count as "%05d".
    std::string Text(const Entry& entry) const;

    // The rows of all entries, consecutive entries with equal shown values merged into one row.
    std::vector<DocumentRow> Rows() const;
    // The rows of the entries whose shown values equal `values`, ignoring ASCII case.
    std::vector<DocumentRow> RowsOf(const LevelValues& values) const;

private:
    std::vector<DocumentRow> RowsWhere(const std::function<bool(const Entry&)>& wanted) const;

    std::size_t shown_;
    std::vector<Entry> entries_;
};

// Walks `directory` (with `subdirectories`, into every subdirectory; names beginning with "."
// are skipped) and counts every file whose path, its name in upper case, fits `patterns`.
// Unreadable directories are passed over.
void DiscoverDocuments(const std::string& directory, bool subdirectories,
                       const DiscoveryPatterns& patterns, DocumentAccumulator& accumulator);

// Whether `row` shows `codes` on each of its first `levels` levels, ignoring ASCII case.
bool RowShows(const DocumentRow& row, const LevelValues& codes, std::size_t levels);

class TransferModel {
public:
    // For `job`, which must outlive the model; `automatic` when the main window opens the dialog
    // to send the document just scanned.
    TransferModel(const JobRecord& job, bool automatic);

    bool automatic() const { return automatic_; }
    std::size_t shown_levels() const { return shown_; }
    const std::vector<ListColumn>& columns() const { return columns_; }
    const DiscoveryPatterns& patterns() const { return patterns_; }
    const DocumentAccumulator& accumulator() const { return accumulator_; }

    // Empties both lists, walks the work area again and lists every document found in the
    // upper list: the dialog's opening, and its refresh after a transfer run.
    void Refresh();

    const std::vector<DocumentRow>& found() const { return found_; }
    const std::vector<DocumentRow>& chosen() const { return chosen_; }

    // The texts of a row's cells: one per shown level, then the page count.
    std::vector<std::string> Cells(const DocumentRow& row) const;

    // Moves the rows at `selected` (indexes into the source list; others ignored) to the other
    // list; with nothing selected, every document found goes there and the source is emptied.
    void MoveDown(std::span<const std::size_t> selected);
    void MoveUp(std::span<const std::size_t> selected);

    // Moves every found row that shows `codes` on its first `levels` levels to the chosen list;
    // returns how many moved. The automatic transfer passes the current document's values and
    // all shown levels.
    std::size_t ChooseMatching(const LevelValues& codes, std::size_t levels);

    // Which buttons the view shows.
    bool CanMoveDown() const { return !found_.empty(); }
    bool CanMoveUp() const { return !chosen_.empty(); }
    bool CanSend() const { return !chosen_.empty(); }

private:
    void MoveRows(std::vector<DocumentRow>& source, std::vector<DocumentRow>& target,
                  std::span<const std::size_t> selected);
    void Sort(std::vector<DocumentRow>& rows) const;

    const JobRecord& job_;
    bool automatic_;
    std::size_t shown_;
    std::vector<ListColumn> columns_;
    DiscoveryPatterns patterns_;
    DocumentAccumulator accumulator_;
    std::vector<DocumentRow> found_;
    std::vector<DocumentRow> chosen_;
};

}  // namespace scantora
