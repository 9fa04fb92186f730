// Speed of the simulated machines: one 20 ms step of each under terminals that change as a
// program would change them, and the tank's example run for a million ticks with and without
// its machine (the printed lines formatted and thrown away).
#include "plant/plant_catalogue.h"

#include "app/cli/cli_runner.h"
#include "app/cli/run_command.h"

#include <benchmark/benchmark.h>

#include <ostream>
#include <sstream>
#include <streambuf>
#include <vector>

namespace {

// Outputs and inputs that change every 35 steps, from a fixed sequence, so that every machine
// travels, fills, faults and recovers over the run.
std::vector<plant::Terminals> schedule() {
    std::vector<plant::Terminals> result;
    std::uint32_t state = 2024;
    for (int segment = 0; segment < 256; ++segment) {
        state = state * 1103515245u + 12345u;
        plant::Terminals terminals;
        const auto bits = static_cast<std::uint16_t>(state >> 16);
        terminals.outputs = static_cast<std::uint16_t>((bits & (bits >> 5) & 0x1F) | (bits & 1));
        terminals.inputs = static_cast<std::uint16_t>(bits & 0x8);
        terminals.running = true;
        result.insert(result.end(), 35, terminals);
    }
    return result;
}

void BM_PlantStep(benchmark::State& state) {
    const plant::PlantEntry& entry =
        plant::plantCatalogue()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(entry.name));
    const std::unique_ptr<plant::Plant> machine = entry.make(0);
    const std::vector<plant::Terminals> terminals = schedule();
    std::size_t next = 0;
    for (auto _ : state) {
        machine->step(20, terminals[next]);
        next = next + 1 == terminals.size() ? 0 : next + 1;
        benchmark::DoNotOptimize(machine->sensors());
    }
    state.counters["awarie"] = static_cast<double>(machine->faultCount());
}
BENCHMARK(BM_PlantStep)->DenseRange(0, 3);

// Accepts and forgets everything, so that the lines are formatted as for a terminal.
class Discard : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void BM_RunTankExample(benchmark::State& state) {
    plc::Program program;
    std::ostringstream report;
    if (cli::loadRunProgram(WIRTUALON_SOURCE_DIR "/examples/zbiornik.jar", program, report,
                            report) != cli::kExitOk) {
        state.SkipWithError("the example cannot be loaded");
        return;
    }
    std::string problem;
    std::vector<std::string> args = {"zbiornik.jar", "--scans", "1000000", "--set",
                                     "0:%I3=1",      "--watch", "%AI1"};
    if (state.range(0) != 0) {
        args.insert(args.end(), {"--plant", "zbiornik"});
    }
    const std::optional<cli::RunOptions> options = cli::parseRunOptions(args, problem);
    if (!options) {
        state.SkipWithError(problem.c_str());
        return;
    }
    state.SetLabel(state.range(0) != 0 ? "--plant zbiornik" : "no plant");
    Discard discard;
    std::ostream out(&discard);
    for (auto _ : state) {
        if (cli::runSimulation(program, *options, out, report) != cli::kExitOk) {
            state.SkipWithError("the run failed");
            return;
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1'000'000);
}
BENCHMARK(BM_RunTankExample)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
