#include "bench/ratio_reporter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace bench {

std::string MadePage(const std::string& folder, const std::string& file, const std::string& script,
                     const std::string& extra) {
    const std::string dir = std::string(BENCH_BINARY_DIR) + "/" + folder;
    const std::string path = dir + "/" + file;
    if (!std::filesystem::exists(path)) {
        std::string command = std::string(BENCH_SOURCE_DIR) + "/" + script + " " + dir;
        if (!extra.empty()) command += " " + extra;
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "page generation failed\n");
    }
    return path;
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& r : runs) {
        if (r.error_occurred) continue;
        // Without the repetition and time-type parts, so that a name is what BENCHMARK gave.
        std::string name = r.run_name.function_name;
        if (!r.run_name.args.empty()) name += "/" + r.run_name.args;
        const Times t{r.GetAdjustedCPUTime(), r.GetAdjustedRealTime()};
        if (r.run_type == Run::RT_Iteration)
            singles_[name] = t;
        else if (r.aggregate_name == "median")
            medians_[name] = t;
    }
    ConsoleReporter::ReportRuns(runs);
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    const auto find = [this](const std::string& name) -> const Times* {
        if (const auto m = medians_.find(name); m != medians_.end()) return &m->second;
        if (const auto s = singles_.find(name); s != singles_.end()) return &s->second;
        return nullptr;
    };
    for (const auto& [ours, peer] : pairs_) {
        const Times* a = find(ours);
        const Times* b = find(peer);
        if (!a || !b || b->cpu <= 0 || b->real <= 0) continue;
        std::printf("ratio %s / %s: CPU %.3f, wall-clock %.3f\n", ours.c_str(), peer.c_str(),
                    a->cpu / b->cpu, a->real / b->real);
    }
}

int RunWithRatios(int argc, char** argv, std::vector<RatioPair> pairs) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
