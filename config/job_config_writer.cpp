#include "config/job_config_writer.h"

#include <algorithm>

#include "config/atomic_file.h"
#include "config/numeric_text.h"
#include "config/path_text.h"
#include "config/text_encoding.h"
#include "operator/fixed_messages.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// A value never carries a line end into the file, where it would start a line of its own.
std::string OneLine(std::string_view value) {
    std::string line(value);
    line.erase(
        std::remove_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }),
        line.end());
    return line;
}

std::string YesNo(bool yes) {
    return yes ? "Y" : "N";
}

std::string PlusMinusOrEmpty(std::string_view value) {
    if (!value.empty() && (value.front() == '+' || value.front() == '-'))
        return std::string(1, value.front());
    return {};
}

std::string ByForm(const KeyDef& key, const std::string& value) {
    switch (key.form) {
        case WriterForm::kInteger:
            return std::to_string(LeadingNumber(value));
        case WriterForm::kOneChar:
            return TruncateChars(value, 1);
        case WriterForm::kText:
            break;
    }
    return value;
}

// The value of `key` as `writer` prints it.
std::string Formatted(const KeyDef& key, const JobRecord& job, JobWriter writer) {
    const std::string& value = key.Value(job);
    if (StartsWith(key.key, "OBBLIGATORIO_")) {
        // Both writers print the flag as the reader understands it, so that a "Y" written by
        // one is not turned into 0 by the other.
        LevelSettings level;
        level.obbligatorio = value;
        return writer == JobWriter::kSecond ? YesNo(level.IsMandatory())
                                            : (level.IsMandatory() ? "1" : "0");
    }
    if (writer == JobWriter::kSecond) {
        if (key.key == "MULTITIFF=") return YesNo(StartsWith(value, "Y"));
        if (key.key == "MAXDOC_OP=" || StartsWith(key.key, "OPFINESCANDOC_"))
            return PlusMinusOrEmpty(value);
    }
    return ByForm(key, value);
}

void AppendKey(std::string& out, const KeyDef& key, std::string_view value) {
    out.append(key.key).append(OneLine(value)).push_back('\n');
}

void AppendSection(std::string& out, const KeySection& section, const JobRecord& job,
                   JobWriter writer, bool blank_line_before) {
    if (blank_line_before) out.push_back('\n');
    out.append(section.header).push_back('\n');
    for (const KeyDef& key : section.keys)
        AppendKey(out, key, Formatted(key, job, writer));
}

void AppendEmptySection(std::string& out, const KeySection& section) {
    out.append("\n").append(section.header).push_back('\n');
    for (const KeyDef& key : section.keys)
        AppendKey(out, key, "");
}

// Separators are written in groups of four keys; one without a level (below 1) is written
// as level 0 with empty values.
void AppendBarcodeSection(std::string& out, const KeySection& section, const JobRecord& job,
                          JobWriter writer) {
    out.append("\n").append(section.header).push_back('\n');
    for (const KeyDef& key : section.keys) {
        const bool separator_key = StartsWith(key.key, "SEP");
        if (separator_key) {
            const int index = (key.key[3] - '0') * 10 + (key.key[4] - '0') - 1;
            if (LeadingNumber(job.separators[index].liv) < 1) {
                AppendKey(out, key, StartsWith(key.key.substr(5), "_LIV=") ? "0" : "");
                continue;
            }
        }
        AppendKey(out, key, Formatted(key, job, writer));
    }
}

}  // namespace

std::string ComposeJobFile(const KeyTable& table, const JobRecord& job, JobWriter writer) {
    std::string out;
    AppendSection(out, *table.FindSection("[GENERALE]"), job, writer, false);
    // The sections written with values follow the NLIVELLI line as it is written, so that the
    // file reads back to itself even when the value held a line end the file cannot keep.
    const int levels = LevelCountOf(OneLine(job.nlivelli));
    for (int n = 0; n < kMaxLevels; ++n) {
        const KeySection& level = *table.FindSection(LevelHeader(n));
        if (n < levels)
            AppendSection(out, level, job, writer, true);
        else
            AppendEmptySection(out, level);
    }
    AppendSection(out, *table.FindSection("[TRASFERIMENTO]"), job, writer, true);
    AppendBarcodeSection(out, *table.FindSection("[BARCODE]"), job, writer);
    AppendSection(out, *table.FindSection("[VARIE]"), job, writer, true);
    return out;
}

bool WriteJobConfig(const KeyTable& table, const JobRecord& job, JobWriter writer,
                    const std::filesystem::path& setup_dir, std::string_view job_path,
                    const std::filesystem::path& temp, Operator& op, const InterfaceTexts& texts) {
    const std::string content = ComposeJobFile(table, job, writer);
    const std::string name = FileNamePart(job_path);
    if (name.empty() || RewriteThroughTemp(setup_dir / name, content, temp) != RewriteResult::kOk) {
        op.Stop(texts.Text(text_id::kSaveJobError));
        return false;
    }
    op.Inform(writer == JobWriter::kMain ? fixed_message::kRestartScantora
                                         : fixed_message::kRestartToApply);
    return true;
}

}  // namespace scantora
