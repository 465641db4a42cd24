// What the move tests share: a job over a scratch work area and destination, the pages written
// into it, and a progress that records what the move reported.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "config/job_record.h"
#include "transfer/transfer_progress.h"

namespace scantora::testing {

class RecordingProgress : public TransferProgress {
public:
    void SetRange(int low, int high) override { range = {low, high}; }
    void SetPosition(int value) override { position = value; }
    void Step() override { ++steps; }
    void ShowBar(bool shown) override { bar_shown = shown; }
    void SetStatus(std::string_view text) override {
        status = text;
        statuses.push_back(status);
    }
    std::string Status() const override { return status; }

    std::pair<int, int> range{0, 0};
    int position = 0;
    int steps = 0;
    bool bar_shown = false;
    std::string status;
    std::vector<std::string> statuses;
};

// Years, boxes and sheets: "<work>/2024/BAX/AX017/0001fro.tif"; documents are boxes (two shown
// levels), so a document path is a directory.
inline JobRecord BoxJob(const std::filesystem::path& work, const std::filesystem::path& out) {
    JobRecord job;
    job.nlivelli = "3";
    job.viewnlivelli = "2";
    job.disco_scarico = work.string() + "\\";
    job.invioa = out.string();
    job.levels[0] = {"Anno", "", "4", "$1#*%\\", "", "1", "", "0"};
    job.levels[1] = {"Scatola", "", "5", "B$2#1%$2#2%\\$2#*%\\", "", "1", "", "0"};
    job.levels[2] = {"Foglio", "", "4", "$3#*%$F#*%.tif", "+", "1", "", "0"};
    return job;
}

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WritePage(const std::filesystem::path& path, const std::string& content) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// Every regular file under `root`, by its path relative to `root`, with its content.
inline std::map<std::string, std::string> TreeOf(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    if (!std::filesystem::exists(root)) return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), root).string()] = ReadAll(entry.path());
    }
    return files;
}

// A page's content that tells it from every other page.
inline std::string PageContent(const std::string& name, std::size_t size) {
    std::string content = name + ":";
    while (content.size() < size)
        content += static_cast<char>('a' + content.size() * 7 % 26);
    content.resize(size);
    return content;
}

}  // namespace scantora::testing
