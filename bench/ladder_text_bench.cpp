// Converting a 5,000-row ladder to its text and back, in memory: the goal is 20 ms either way.
#include "bench/bench_programs.h"

#include "document/ladder_document.h"
#include "document/ladder_text.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

constexpr int kRows = 5000;

// Argument 0, the worst case: every row a rung of contacts with operands and two description
// lines (one with Polish letters in code page 1250) as the editor appends them, and a coil, so
// that every cell of the text has fields to write and read. Argument 1: rungs four rows apart as
// users draw them, with timers and ADD blocks.
document::LadderDocument bigProgram(const benchmark::State& state) {
    if (state.range(0) == 0) {
        return bench::denseLadder(kRows, "##1opis##2\xB3\xF3\x64\xBC#");
    }
    document::LadderDocument ladder;
    bench::fillLongLadder(ladder, kRows);
    return ladder;
}

void BM_LadderToText5000Rows(benchmark::State& state) {
    const document::LadderDocument program = bigProgram(state);
    for (auto _ : state) {
        const std::string text = document::ladderText(program);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_LadderToText5000Rows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LadderFromText5000Rows(benchmark::State& state) {
    const std::string text = document::ladderText(bigProgram(state));
    document::LadderDocument read;
    for (auto _ : state) {
        if (document::readLadderText(read, text)) {
            state.SkipWithError("the text was refused");
            break;
        }
        benchmark::DoNotOptimize(read.rowCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_LadderFromText5000Rows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
