#include "config/source_choice.h"

#include <algorithm>
#include <fstream>

#include "config/atomic_file.h"
#include "config/line_reader.h"
#include "operator/fixed_messages.h"

namespace scantora {
namespace {

constexpr std::string_view kTwainSourceKey = "TWAINSOURCE=";

int FindByName(SourceList& sources, int count, const std::string& name) {
    for (int i = 0; i < count; ++i)
        if (sources.Name(i) == name) return i;
    return -1;
}

std::string WithoutLineEnds(std::string_view text) {
    std::string clean(text);
    clean.erase(
        std::remove_if(clean.begin(), clean.end(), [](char c) { return c == '\r' || c == '\n'; }),
        clean.end());
    return clean;
}

}  // namespace

bool ChooseSource(SourceList& sources, bool reset, JobRecord& job,
                  const std::filesystem::path& job_file, const std::filesystem::path& temp,
                  Operator& op) {
    const int count = std::max(0, sources.Count());
    if (reset) job.twainsource.clear();
    if (!job.twainsource.empty()) {
        const int index = FindByName(sources, count, job.twainsource);
        if (index >= 0) {
            sources.Select(index);
            return true;
        }
        job.twainsource.clear();
    }
    if (count == 0) {
        op.Stop(fixed_message::kNoTwainSource);
        return false;
    }
    if (count == 1) {
        sources.Select(0);
        return true;
    }
    for (int i = 0; i < count; ++i) {
        const std::string name = sources.Name(i);
        if (!op.AskYesNo(name, false)) continue;
        sources.Select(i);
        job.twainsource = name;
        SaveTwainSource(job_file, name, temp);
        return true;
    }
    return false;
}

bool SaveTwainSource(const std::filesystem::path& job_file, std::string_view name,
                     const std::filesystem::path& temp) {
    std::ifstream in(job_file, std::ios::binary);
    if (!in.is_open() || std::filesystem::is_directory(job_file)) return false;
    const std::string new_line = std::string(kTwainSourceKey) + WithoutLineEnds(name);
    std::string content;
    bool replaced = false;
    std::string line;
    while (ReadTextLine(in, line)) {
        if (line.compare(0, kTwainSourceKey.size(), kTwainSourceKey) == 0) {
            line = new_line;
            replaced = true;
        }
        content.append(line).push_back('\n');
    }
    if (!replaced) content.append("\n[VARIE]\n").append(new_line).push_back('\n');
    return RewriteThroughTemp(job_file, content, temp) == RewriteResult::kOk;
}

}  // namespace scantora
