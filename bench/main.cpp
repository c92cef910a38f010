// Runs every benchmark, then prints for each pair "X" and "X_SDL" (or "X_SDL555", "X_memcpy")
// measured in this run the ratio of their times: below 1.0 the project is the faster; and for
// each pair "X/N" and "X_SDL/N" counting sprites_in_5ms, the ratio of the counts: above 1.0 the
// project holds more sprites.
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
            auto fit = r.counters.find("sprites_in_5ms");
            if (fit != r.counters.end()) sprites_[r.run_name.str()] = fit->second.value;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nratios (project / peer, same run):\n");
        for (const auto& [name, t] : times_) {
            for (const char* suffix : {"_SDL", "_SDL555", "_memcpy"}) {
                auto peer = times_.find(name + suffix);
                if (peer != times_.end() && peer->second > 0)
                    std::printf("  %-40s %6.3f  (%s)\n", name.c_str(), t / peer->second, suffix + 1);
            }
        }
        // Counts rather than times: above 1.0 the project holds the more sprites.
        bool heading = false;
        for (const auto& [name, n] : sprites_) {
            std::string peer_name = name;
            const size_t slash = peer_name.find('/');
            peer_name.insert(slash == std::string::npos ? peer_name.size() : slash, "_SDL");
            auto peer = sprites_.find(peer_name);
            if (peer == sprites_.end() || peer->second <= 0) continue;
            if (!heading) std::printf("\nsprites drawn in 5 ms of a 20 ms frame (project / SDL, same run):\n");
            heading = true;
            std::printf("  %-40s %8.0f / %8.0f = %6.3f\n", name.c_str(), n, peer->second, n / peer->second);
        }
    }

private:
    std::map<std::string, double> times_;
    std::map<std::string, double> sprites_;  // the counter sprites_in_5ms, where a run has it
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
