// Runs every benchmark, then prints for each pair "X" and "X_SDL" (or "X_memcpy") measured in
// this run the ratio of their times: below 1.0 the project is the faster.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions, the medians stand for their benchmarks.
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
            times_[r.run_name.str()] = r.GetAdjustedCPUTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nratios (project / peer, same run):\n");
        for (const auto& [name, t] : times_) {
            for (const char* suffix : {"_SDL", "_memcpy"}) {
                auto peer = times_.find(name + suffix);
                if (peer != times_.end() && peer->second > 0)
                    std::printf("  %-40s %6.3f  (%s)\n", name.c_str(), t / peer->second, suffix + 1);
            }
        }
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
