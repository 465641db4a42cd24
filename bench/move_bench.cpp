// Moving a transfer's worth of page files: 5,000 pages of 60 KB in 500 documents, each moved
// with MoveFiles2 as the transfer run does (rows from the last to the first), within the file
// system of the build folder and onto a tmpfs (/dev/shm), against `cp -r` of the same tree
// followed by `sync`, in the same run. Times are wall-clock: the flushes wait for the disk.
// Every repetition starts from a fresh work area (hard links of one generated tree) with the
// disk flushed, outside the timing. After the run the medians are printed with their ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/ratio_reporter.h"
#include "operator/scripted_operator.h"
#include "transfer/job_patterns.h"
#include "transfer/move_files.h"

namespace {

using namespace scantora;
namespace fs = std::filesystem;

constexpr int kDocuments = 500;
constexpr int kPagesPerDocument = 10;
constexpr std::size_t kPageBytes = 60 * 1024;
constexpr int kRepetitions = 5;

const fs::path kBenchRoot = fs::path(BENCH_BINARY_DIR) / "move_bench_tree";
const fs::path kOtherFileSystem = "/dev/shm/scantora_move_bench";

std::string DocumentName(int document) {
    char name[16];
    std::snprintf(name, sizeof name, "AX%03d", document);
    return name;
}

// The generated tree, made once: 2024/BAX/AXnnn/0001fro.tif ...
const fs::path& Pages() {
    static const fs::path pages = [] {
        const fs::path root = kBenchRoot / "pages";
        const fs::path done = kBenchRoot / "pages.done";
        if (fs::exists(done)) return root;
        fs::remove_all(root);
        std::string content(kPageBytes, '\0');
        unsigned seed = 1;
        for (int document = 0; document < kDocuments; ++document) {
            const fs::path directory = root / "2024/BAX" / DocumentName(document);
            fs::create_directories(directory);
            for (int page = 0; page < kPagesPerDocument; ++page) {
                for (char& c : content)
                    c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
                char name[32];
                std::snprintf(name, sizeof name, "%04d%s.tif", page / 2 + 1,
                              page % 2 == 0 ? "fro" : "bac");
                std::ofstream(directory / name, std::ios::binary) << content;
            }
        }
        std::ofstream(done) << "ok";
        return root;
    }();
    return pages;
}

void Run(benchmark::State& state, const std::string& command) {
    if (std::system(command.c_str()) != 0) state.SkipWithError(command.c_str());
}

// A fresh work area and an empty destination, with everything flushed.
void Prepare(benchmark::State& state, const fs::path& work, const fs::path& out) {
    fs::remove_all(work);
    fs::remove_all(out);
    Run(state, "cp -al '" + Pages().string() + "' '" + work.string() + "' && sync");
}

class NoProgress : public TransferProgress {
public:
    void SetRange(int, int) override {}
    void SetPosition(int) override {}
    void Step() override {}
    void ShowBar(bool) override {}
    void SetStatus(std::string_view text) override { status_ = text; }
    std::string Status() const override { return status_; }

private:
    std::string status_;
};

void Move(benchmark::State& state, const fs::path& out) {
    const fs::path work = kBenchRoot / "work";
    JobRecord job;
    job.viewnlivelli = "2";
    job.disco_scarico = work.string();
    job.invioa = out.string();
    job.levels[0] = {"Anno", "", "4", "\\$1#*%", "", "1", "", "0"};
    job.levels[1] = {"Scatola", "", "5", "\\B$2#1%$2#2%\\$2#*%", "", "1", "", "0"};
    const DiscoveryPatterns patterns = BuildJobDiscoveryPatterns(job, 2);
    ScriptedOperator op;
    NoProgress progress;
    int moved = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Prepare(state, work, out);
        state.ResumeTiming();
        const MoveContext context{job, op, progress, {}, &patterns};
        moved = 0;
        for (int document = kDocuments - 1; document >= 0; --document) {
            const std::string path = (work / "2024/BAX" / DocumentName(document)).string();
            moved += MoveFiles2(context, path, job.invioa, "/s");
        }
    }
    if (moved != kDocuments * kPagesPerDocument) state.SkipWithError("not every page moved");
    state.counters["pages"] = moved;
    fs::remove_all(out);
}

void CopyAndSync(benchmark::State& state, const fs::path& out) {
    const fs::path work = kBenchRoot / "work";
    for (auto _ : state) {
        state.PauseTiming();
        Prepare(state, work, out);
        state.ResumeTiming();
        Run(state, "cp -r '" + work.string() + "' '" + out.string() + "' && sync");
    }
    fs::remove_all(out);
}

void MoveWithinFileSystem(benchmark::State& state) {
    Move(state, kBenchRoot / "out");
}
void CpSyncWithinFileSystem(benchmark::State& state) {
    CopyAndSync(state, kBenchRoot / "out");
}
void MoveToTmpfs(benchmark::State& state) {
    Move(state, kOtherFileSystem);
}
void CpSyncToTmpfs(benchmark::State& state) {
    CopyAndSync(state, kOtherFileSystem);
}

#define MOVE_BENCHMARK(name)            \
    BENCHMARK(name)                     \
        ->Unit(benchmark::kMillisecond) \
        ->UseRealTime()                 \
        ->Iterations(1)                 \
        ->Repetitions(kRepetitions)

MOVE_BENCHMARK(CpSyncWithinFileSystem);
MOVE_BENCHMARK(MoveWithinFileSystem);
MOVE_BENCHMARK(CpSyncToTmpfs);
MOVE_BENCHMARK(MoveToTmpfs);

}  // namespace

// Wall-clock is the ratio to read: cp's work is done in child processes, outside this one's CPU
// time.
int main(int argc, char** argv) {
    const int status = bench::RunWithRatios(
        argc, argv,
        {{"MoveWithinFileSystem", "CpSyncWithinFileSystem"}, {"MoveToTmpfs", "CpSyncToTmpfs"}});
    fs::remove_all(kBenchRoot / "work");
    return status;
}
