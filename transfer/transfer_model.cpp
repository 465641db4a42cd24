#include "transfer/transfer_model.h"

#include <algorithm>
#include <cstdio>

#include "acquisition/naming_text.h"
#include "config/numeric_text.h"
#include "config/text_encoding.h"
#include "transfer/job_patterns.h"
#include "transfer/work_area_walk.h"

namespace scantora {

namespace {

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

bool SameShownValues(const LevelValues& a, const LevelValues& b, std::size_t shown) {
    for (std::size_t i = 0; i < shown; ++i) {
        if (!SameText(a[i], b[i])) return false;
    }
    return true;
}

// The order of both lists and of the accumulator: the entry texts, ignoring ASCII case as the
// sorted lists of the dialog always did.
std::string SortKey(const LevelValues& values, std::size_t shown) {
    std::string key;
    for (std::size_t i = 0; i < shown; ++i)
        key += UpperAscii(values[i]);
    return key;
}

void DiscoverIn(const std::string& directory, bool subdirectories,
                const DiscoveryPatterns& patterns, DocumentAccumulator& accumulator) {
    for (const WalkEntry& entry : ListDirectory(directory)) {
        if (entry.directory) {
            if (subdirectories) {
                DiscoverIn(directory + entry.name + '/', true, patterns, accumulator);
            }
            continue;
        }
        if (auto values = MatchDiscoveryPath(DiscoveryPath(directory, entry.name), patterns)) {
            accumulator.Count(*values);
        }
    }
}

}  // namespace

std::size_t ShownLevelCount(const JobRecord& job, bool automatic) {
    long shown = LeadingNumber(job.viewnlivelli);
    if (automatic && LeadingNumber(job.chiusuradopotrasf) != 0) {
        const bool multi_page = !job.multitiff.empty() && job.multitiff.front() == 'Y';
        shown = job.LevelCount() - (multi_page ? 0 : 1);
    }
    return static_cast<std::size_t>(std::clamp<long>(shown, 0, kMaxLevels));
}

std::vector<ListColumn> ListColumns(const JobRecord& job, std::size_t shown) {
    std::vector<ListColumn> columns;
    for (std::size_t i = 0; i < std::min<std::size_t>(shown, kMaxLevels); ++i) {
        const std::string& header = job.levels[i].descrizione;
        columns.push_back({header, CharCount(header) + kColumnMargin});
    }
    columns.push_back({std::string(kPageCountHeader), kPageCountHeader.size() + kColumnMargin});
    return columns;
}

void DocumentAccumulator::Count(const LevelValues& values) {
    LevelValues key;
    for (std::size_t i = 0; i < std::min(shown_, kLevelSlots); ++i)
        key[i] = values[i];
    const std::string sort_key = SortKey(key, shown_);
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), sort_key,
                                     [this](const Entry& entry, const std::string& k) {
                                         return SortKey(entry.values, shown_) < k;
                                     });
    if (at != entries_.end() && SameShownValues(at->values, key, shown_)) {
        ++at->count;
        return;
    }
    entries_.insert(at, {std::move(key), 1});
}

std::string DocumentAccumulator::Text(const Entry& entry) const {
    std::string text;
    for (std::size_t i = 0; i < shown_; ++i)
        text += entry.values[i];
    char count[16];
    std::snprintf(count, sizeof count, "%05d", entry.count);
    return text + count;
}

std::vector<DocumentRow> DocumentAccumulator::Rows() const {
    return RowsWhere([](const Entry&) { return true; });
}

std::vector<DocumentRow> DocumentAccumulator::RowsOf(const LevelValues& values) const {
    return RowsWhere(
        [&](const Entry& entry) { return SameShownValues(entry.values, values, shown_); });
}

std::vector<DocumentRow> DocumentAccumulator::RowsWhere(
    const std::function<bool(const Entry&)>& wanted) const {
    std::vector<DocumentRow> rows;
    for (const Entry& entry : entries_) {
        if (!wanted(entry)) continue;
        if (!rows.empty() && SameShownValues(rows.back().values, entry.values, shown_)) {
            rows.back().page_count += entry.count;
            continue;
        }
        rows.push_back({entry.values, entry.count});
    }
    return rows;
}

void DiscoverDocuments(const std::string& directory, bool subdirectories,
                       const DiscoveryPatterns& patterns, DocumentAccumulator& accumulator) {
    const std::string searched = SearchedDirectory(directory);
    if (searched.empty()) return;
    DiscoverIn(searched, subdirectories, patterns, accumulator);
}

bool RowShows(const DocumentRow& row, const LevelValues& codes, std::size_t levels) {
    return SameShownValues(row.values, codes, std::min(levels, kLevelSlots));
}

TransferModel::TransferModel(const JobRecord& job, bool automatic)
    : job_(job),
      automatic_(automatic),
      shown_(ShownLevelCount(job, automatic)),
      columns_(ListColumns(job, shown_)),
      patterns_(BuildJobDiscoveryPatterns(job, shown_)),
      accumulator_(shown_) {}

void TransferModel::Refresh() {
    found_.clear();
    chosen_.clear();
    accumulator_.Clear();
    DiscoverDocuments(job_.disco_scarico, true, patterns_, accumulator_);
    found_ = accumulator_.Rows();
}

std::vector<std::string> TransferModel::Cells(const DocumentRow& row) const {
    std::vector<std::string> cells(row.values.begin(), row.values.begin() + shown_);
    cells.push_back(std::to_string(row.page_count));
    return cells;
}

void TransferModel::MoveDown(std::span<const std::size_t> selected) {
    MoveRows(found_, chosen_, selected);
}

void TransferModel::MoveUp(std::span<const std::size_t> selected) {
    MoveRows(chosen_, found_, selected);
}

std::size_t TransferModel::ChooseMatching(const LevelValues& codes, std::size_t levels) {
    std::vector<std::size_t> matching;
    for (std::size_t i = 0; i < found_.size(); ++i) {
        if (RowShows(found_[i], codes, std::min(levels, shown_))) matching.push_back(i);
    }
    if (!matching.empty()) MoveDown(matching);
    return matching.size();
}

void TransferModel::MoveRows(std::vector<DocumentRow>& source, std::vector<DocumentRow>& target,
                             std::span<const std::size_t> selected) {
    std::vector<std::size_t> rows(selected.begin(), selected.end());
    std::erase_if(rows, [&](std::size_t i) { return i >= source.size(); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) {
        source.clear();
        target = accumulator_.Rows();
    } else {
        // Last to first, so that the indexes still to come stay valid.
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
            const LevelValues values = source[*it].values;
            source.erase(source.begin() + static_cast<std::ptrdiff_t>(*it));
            std::erase_if(target, [&](const DocumentRow& row) {
                return SameShownValues(row.values, values, shown_);
            });
            for (DocumentRow& row : accumulator_.RowsOf(values))
                target.push_back(std::move(row));
        }
    }
    Sort(source);
    Sort(target);
}

void TransferModel::Sort(std::vector<DocumentRow>& rows) const {
    std::stable_sort(rows.begin(), rows.end(), [this](const DocumentRow& a, const DocumentRow& b) {
        return SortKey(a.values, shown_) < SortKey(b.values, shown_);
    });
}

}  // namespace scantora
