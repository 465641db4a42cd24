// What every benchmark program shares: its pages made on first use by a script beside it, and
// a console report that ends with each pixdoc32 time as a ratio to its peer's on the same work.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// BENCH_BINARY_DIR/folder/file, made first by running BENCH_SOURCE_DIR/script with the folder
// (and `extra`, when given) when it is not there yet.
std::string MadePage(const std::string& folder, const std::string& file, const std::string& script,
                     const std::string& extra = "");

// (ours, peer): benchmark names, as given to BENCHMARK or BENCHMARK_CAPTURE.
using RatioPair = std::pair<std::string, std::string>;

// Console output, then a line per pair with the CPU and wall-clock ratios: of the medians when
// the benchmarks repeat, else of their single runs. CPU time counts where the machine is shared.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<RatioPair> pairs) : pairs_(std::move(pairs)) {}
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Times {
        double cpu = 0;
        double real = 0;
    };
    std::vector<RatioPair> pairs_;
    std::map<std::string, Times> singles_;
    std::map<std::string, Times> medians_;
};

// The body of a benchmark program's main: runs the benchmarks selected on the command line and
// reports them with the ratios of `pairs`.
int RunWithRatios(int argc, char** argv, std::vector<RatioPair> pairs);

}  // namespace bench
