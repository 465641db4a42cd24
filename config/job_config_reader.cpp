#include "config/job_config_reader.h"

#include <array>
#include <fstream>

#include "config/line_reader.h"
#include "config/path_text.h"
#include "config/text_encoding.h"
#include "operator/fixed_messages.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

constexpr char kCommentMark = '#';
constexpr char kHeaderMark = '[';

bool StartsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

struct Override {
    std::string_view key;
    const std::optional<std::string>& value;
};

// The job file keys the command line may override, each with its value from the command line.
std::array<Override, 3> Overrides(const BarcodeOverrides& overrides) {
    return {{{"BARCODE=", overrides.barcode},
             {"NOMEFILEBARCODE=", overrides.nomefilebarcode},
             {"BARCODEVAL=", overrides.barcodeval}}};
}

bool IsOverridden(std::string_view key, const BarcodeOverrides& overrides) {
    for (const Override& o : Overrides(overrides))
        if (o.key == key) return o.value.has_value();
    return false;
}

// Each value given is stored as its key's line would be: cut to the key's width.
void StoreOverrides(const KeyTable& table, const BarcodeOverrides& overrides, JobRecord& job) {
    for (const Override& o : Overrides(overrides)) {
        const KeyDef* def = table.FindKey(o.key);
        if (o.value && def) def->field(job) = FieldValue(*o.value, def->width);
    }
}

}  // namespace

std::vector<std::filesystem::path> JobFileCandidates(const std::filesystem::path& setup_dir,
                                                     std::string_view job_path) {
    const std::string name = FileNamePart(job_path);
    return {setup_dir / name, std::filesystem::path("/windows") / name,
            std::filesystem::path("/winnt") / name};
}

KeyCounts ApplyJobLines(std::istream& in, const KeyTable& table, const BarcodeOverrides& overrides,
                        JobRecord& job) {
    KeyCounts counts;
    const KeySection* section = nullptr;
    std::string line;
    while (ReadTextLine(in, line)) {
        if (line.empty() || line.front() == kCommentMark) continue;
        if (line.front() == kHeaderMark) {
            section = table.FindSection(line);
            if (section == nullptr) continue;
            ++counts.sections;
            counts.expected += section->MandatoryCount();
            continue;
        }
        if (section == nullptr) continue;
        for (const KeyDef& key : section->keys) {
            if (!StartsWith(line, key.key)) continue;
            if (!IsOverridden(key.key, overrides)) {
                key.field(job) =
                    FieldValue(std::string_view(line).substr(key.key.size()), key.width);
                ++counts.found;
            }
            break;
        }
    }
    return counts;
}

JobReadResult ReadJobConfig(const KeyTable& table, const std::filesystem::path& setup_dir,
                            std::string_view job_path, const BarcodeOverrides& overrides,
                            JobRecord& job, Operator& op, const InterfaceTexts& texts) {
    StoreOverrides(table, overrides, job);
    std::ifstream in;
    for (const auto& candidate : JobFileCandidates(setup_dir, job_path)) {
        // A name that is empty or a directory opens nothing useful.
        if (FileNamePart(job_path).empty() || std::filesystem::is_directory(candidate)) continue;
        in.open(candidate, std::ios::binary);
        if (in.is_open()) break;
    }
    if (!in.is_open()) {
        op.Beep();
        op.Stop(texts.Text(text_id::kJobSelectionCaption) +
                std::string(fixed_message::kJobFileOpenSuffix));
        return JobReadResult::kNotFound;
    }
    const KeyCounts counts = ApplyJobLines(in, table, overrides, job);
    if (counts.sections > 0 && counts.found >= counts.expected) return JobReadResult::kOk;
    op.Stop(fixed_message::kJobKeysMissing);
    return JobReadResult::kKeysMissing;
}

JobReadResult ReadJobConfig(Utilita& utilita, const std::filesystem::path& setup_dir,
                            std::string_view job_path, const BarcodeOverrides& overrides,
                            Operator& op, const InterfaceTexts& texts) {
    return ReadJobConfig(utilita.keys, setup_dir, job_path, overrides, utilita.job, op, texts);
}

}  // namespace scantora
