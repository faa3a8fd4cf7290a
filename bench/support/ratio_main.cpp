#include "bench/support/ratio_main.h"

#include <cstdio>
#include <map>
#include <vector>

#include <benchmark/benchmark.h>

namespace harmovia::bench {
namespace {

struct Ratio {
    std::string name, numerator, denominator;
};

std::vector<Ratio>& Ratios() {
    static std::vector<Ratio> ratios;
    return ratios;
}

// Passes every run to the console and remembers its real time per iteration.
class RecordingReporter final : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                times_[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }
    const std::map<std::string, double>& times() const { return times_; }

  private:
    std::map<std::string, double> times_;
};

}  // namespace

void AddRatio(const std::string& name, const std::string& numerator,
              const std::string& denominator) {
    Ratios().push_back({name, numerator, denominator});
}

}  // namespace harmovia::bench

int main(int argc, char** argv) {
    using namespace harmovia::bench;
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& times = reporter.times();
    for (const Ratio& ratio : Ratios()) {
        const auto a = times.find(ratio.numerator);
        const auto b = times.find(ratio.denominator);
        if (a != times.end() && b != times.end() && b->second > 0) {
            std::printf("ratio %s: %s / %s = %.2f\n", ratio.name.c_str(), ratio.numerator.c_str(),
                        ratio.denominator.c_str(), a->second / b->second);
        }
    }
    benchmark::Shutdown();
    return 0;
}
