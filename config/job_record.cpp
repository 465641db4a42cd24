#include "config/job_record.h"

#include <algorithm>

#include "config/numeric_text.h"

namespace scantora {

bool LevelSettings::IsMandatory() const {
    if (!obbligatorio.empty() && obbligatorio.front() == 'Y') return true;
    return LeadingNumber(obbligatorio) != 0;
}

int JobRecord::LevelCount() const {
    return LevelCountOf(nlivelli);
}

int LevelCountOf(std::string_view nlivelli) {
    return static_cast<int>(std::clamp<long>(LeadingNumber(nlivelli), 0, kMaxLevels));
}

}  // namespace scantora
