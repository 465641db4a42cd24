// Separator sheets: the job's three separator records, the recognition of each saved page
// through a hidden barcode reader, the removal of separator pages the job does not keep, the
// duplex rule (a separator on either side of a sheet acts after its second side), and the step
// of the separator's level when it is applied.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "acquisition/page_separation.h"
#include "config/job_record.h"
#include "operator/operator.h"
#include "transfer/barlynx_wrapper.h"

namespace scantora {

struct SeparatorRecord {
    int level = 0;           // SEPnn_LIV, counted from 1; 0 takes no part
    std::string value;       // SEPnn_VAL
    std::string operation;   // SEPnn_OP: its first character "+" or "-" gives the step
    bool keep_page = false;  // SEPnn_SAVEIMG other than 0 or empty
};
using SeparatorRecords = std::array<SeparatorRecord, kSeparatorCount>;

SeparatorRecords SeparatorRecordsOf(const JobRecord& job);

// BARCODE above 0 and a record with a level above 0 and a value.
bool SeparationActive(const JobRecord& job);

// The first record (1 to 3) with a level above 0 whose value stands in the search text framed by
// asterisks; 0 for none.
int MatchSeparator(const SeparatorRecords& records, std::string_view search_text);

// Reads the barcodes of page `page` of a file for separation: no export files, no images path.
using SeparatorPageReader = std::function<BarcodeRead(const std::string& file, int16_t page)>;

// A reader that creates a hidden Barlynx control for every page, reads it as the program does
// and destroys the control. A control that cannot be created is reported once, and its pages
// carry no separator.
SeparatorPageReader BarlynxSeparatorReader(const JobRecord& job, Operator& op);

class Separation final : public PageSeparation {
public:
    // `job` and `op` must outlive the separation.
    Separation(const JobRecord& job, Operator& op, SeparatorPageReader reader);

    bool StartScanning() override;
    SeparatorCheck PageSaved(const SavedPage& page) override;
    void Apply(int matched, IdentificationModel& identification) override;

private:
    // The first side of a duplex sheet, until its second side comes.
    struct FirstSide {
        std::string file;
        int pages_in_file = 0;
        int matched = 0;
        bool removed = false;
    };

    int Recognise(const SavedPage& page);
    bool Keeps(int matched) const { return records_[matched - 1].keep_page; }
    // Removes the last page of `file` (the whole file when it holds one page); `pages_in_file`
    // follows. False, with the message shown, when it could not be removed.
    bool RemoveLastPage(const std::string& file, int& pages_in_file);
    void SecondSide(const SavedPage& page, int matched, bool removed, SeparatorCheck& check);

    const JobRecord& job_;
    Operator& operator_;
    SeparatorPageReader reader_;
    SeparatorRecords records_;
    FirstSide first_side_;
};

}  // namespace scantora
