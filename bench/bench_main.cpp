// bench/bench_main.cpp — the core benchmarks' main: Google Benchmark's own main exits 0 even when
// a benchmark gave up with SkipWithError, so a broken benchmark would pass `make bench` unseen.
// This one reports as usual and exits 1 when any run ended in an error.
#include <benchmark/benchmark.h>

#include <vector>

namespace {

// The library marks a failed run with `error_occurred` up to 1.7 and with `skipped` since 1.8.
template <typename Run>
bool failed(const Run& run) {
    if constexpr (requires { run.error_occurred; }) {
        return run.error_occurred;
    } else {
        return run.skipped != decltype(run.skipped){};
    }
}

class FailureCountingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (failed(run)) {
                ++m_failures;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    [[nodiscard]] int failures() const { return m_failures; }

private:
    int m_failures = 0;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    FailureCountingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.failures() == 0 ? 0 : 1;
}
