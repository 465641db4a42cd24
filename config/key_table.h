// The key table of the job configuration file: its sections in file order, each key with its
// text (the "=" included), mandatory flag, width in characters, the form the writer prints it
// in, and the job record field that receives it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/job_record.h"

namespace scantora {

enum class WriterForm {
    kText,     // printed as it stands
    kInteger,  // printed as the decimal value of its leading digits (empty prints 0)
    kOneChar,  // its first character, nothing when empty
};

struct KeyDef {
    std::string key;  // e.g. "APPLICAZIONE=", "DESCRIZIONE_3="
    bool mandatory;
    std::size_t width;
    WriterForm form;
    std::function<std::string&(JobRecord&)> field;

    const std::string& Value(const JobRecord& job) const {
        return field(const_cast<JobRecord&>(job));
    }
};

struct KeySection {
    std::string header;  // e.g. "[GENERALE]", "[LIVELLO 0]"
    std::vector<KeyDef> keys;

    std::size_t MandatoryCount() const;
};

class KeyTable {
public:
    static constexpr std::size_t kMaxSections = 20;

    // The table with exactly the job file's sections in order: [GENERALE], [TRASFERIMENTO],
    // [BARCODE], [VARIE], [LIVELLO 0] to [LIVELLO 8].
    static KeyTable Build();

    const std::vector<KeySection>& sections() const { return sections_; }
    // The section whose header equals `header` exactly, or null.
    const KeySection* FindSection(std::string_view header) const;
    // The key whose text (with "=") equals `key`, or null.
    const KeyDef* FindKey(std::string_view key) const;

private:
    std::vector<KeySection> sections_;
};

// The level section header for level `n`: "[LIVELLO n]".
std::string LevelHeader(int n);

}  // namespace scantora
