#include "transfer/separation.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <utility>

#include "acquisition/code_advance.h"
#include "acquisition/scanner/imaging_control.h"
#include "config/numeric_text.h"

namespace scantora {
namespace {

bool IsMultiPage(const JobRecord& job) {
    return job.multitiff.starts_with('Y');
}

}  // namespace

SeparatorRecords SeparatorRecordsOf(const JobRecord& job) {
    SeparatorRecords records;
    for (int i = 0; i < kSeparatorCount; ++i) {
        const SeparatorSettings& s = job.separators[i];
        records[i] = {static_cast<int>(std::clamp<long>(LeadingNumber(s.liv), 0, INT32_MAX)), s.val,
                      s.op, LeadingNumber(s.saveimg) != 0};
    }
    return records;
}

bool SeparationActive(const JobRecord& job) {
    if (LeadingNumber(job.barcode) <= 0) return false;
    const SeparatorRecords records = SeparatorRecordsOf(job);
    return std::any_of(records.begin(), records.end(),
                       [](const SeparatorRecord& r) { return r.level > 0 && !r.value.empty(); });
}

int MatchSeparator(const SeparatorRecords& records, std::string_view search_text) {
    for (int i = 0; i < kSeparatorCount; ++i) {
        const SeparatorRecord& r = records[i];
        if (r.level > 0 && search_text.find("*" + r.value + "*") != std::string_view::npos)
            return i + 1;
    }
    return 0;
}

SeparatorPageReader BarlynxSeparatorReader(const JobRecord& job, Operator& op) {
    auto reported = std::make_shared<bool>(false);
    return [&job, &op, reported](const std::string& file, int16_t page) {
        CreatedBarlynx created = CreateBarlynxControl();
        if (!created.control) {
            if (!std::exchange(*reported, true)) op.Stop("Barlynx: " + created.error);
            return BarcodeRead{{}, -1};
        }
        CBarlynx recogniser(std::move(created.control), op);
        return recogniser.ReadPage(job, file, page);
    };
}

Separation::Separation(const JobRecord& job, Operator& op, SeparatorPageReader reader)
    : job_(job), operator_(op), reader_(std::move(reader)), records_(SeparatorRecordsOf(job)) {}

bool Separation::StartScanning() {
    records_ = SeparatorRecordsOf(job_);
    first_side_ = {};
    return SeparationActive(job_);
}

int Separation::Recognise(const SavedPage& page) {
    const int read_page = IsMultiPage(job_) ? std::clamp(page.pages_in_file, 1, INT16_MAX) : 1;
    const BarcodeRead read = reader_(page.file, static_cast<int16_t>(read_page));
    // A reader error leaves the page an ordinary one; the control has shown its message.
    if (read.error != 0 || read.text.empty()) return 0;
    return MatchSeparator(records_, read.text);
}

bool Separation::RemoveLastPage(const std::string& file, int& pages_in_file) {
    if (IsMultiPage(job_) && pages_in_file > 1) {
        const ImagingStatus status = DeletePage(file, pages_in_file);
        if (status != ImagingStatus::kOk) {
            operator_.Inform("Error " + std::to_string(ToCode(status)) + " Delete Page " +
                             std::to_string(pages_in_file) + " in File: " + file);
            return false;
        }
        --pages_in_file;
        return true;
    }
    std::error_code error;
    if (!std::filesystem::remove(file, error)) {
        operator_.Inform("Error Delete File: " + file);
        return false;
    }
    if (IsMultiPage(job_)) pages_in_file = 0;
    return true;
}

SeparatorCheck Separation::PageSaved(const SavedPage& page) {
    SeparatorCheck check{0, page.pages_in_file};
    const int matched = Recognise(page);
    const bool removed =
        matched != 0 && !Keeps(matched) && RemoveLastPage(page.file, check.pages_in_file);
    if (!page.side.duplex)
        check.matched = matched;
    else if (!page.side.back_side)
        first_side_ = {page.file, check.pages_in_file, matched, removed};  // acts after the back
    else
        SecondSide(page, matched, removed, check);
    return check;
}

// Each side is removed at most once: a sheet recognised on both sides must not cost a page of
// the documents around it.
void Separation::SecondSide(const SavedPage& page, int matched, bool removed,
                            SeparatorCheck& check) {
    FirstSide first = std::exchange(first_side_, {});
    if (removed && !first.removed && !first.file.empty()) {
        // With the back gone the front is the last page of its file, which is the back's file
        // unless a new document began between the two sides.
        if (first.file == page.file)
            RemoveLastPage(page.file, check.pages_in_file);
        else
            RemoveLastPage(first.file, first.pages_in_file);
    }
    check.matched = matched;
    if (first.matched == 0) return;
    check.matched = first.matched;
    if (!Keeps(first.matched) && !removed) RemoveLastPage(page.file, check.pages_in_file);
}

void Separation::Apply(int matched, IdentificationModel& identification) {
    if (matched < 1 || matched > kSeparatorCount) return;
    const SeparatorRecord& record = records_[matched - 1];
    const int step = StepOfOperation(record.operation);
    if (step == 0 || record.level > job_.LevelCount()) return;
    if (record.level >= 2)
        identification.StepLevel(static_cast<std::size_t>(record.level - 1), step);
}

}  // namespace scantora
