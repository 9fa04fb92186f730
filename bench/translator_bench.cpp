// Translation of a ladder close to the 5,000-word limit: 200 rungs, each a series contact
// before three contacts in parallel, driving a coil (24 words a rung); and the power map of
// the same ladder after a monitored scan, as the live view builds it up to 25 times a second.
#include "document/ladder_document.h"
#include "plc/clock.h"
#include "plc/plc.h"
#include "translator/power_map_builder.h"
#include "translator/translation_driver.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

document::LadderDocument largeLadder(int rungs) {
    document::LadderDocument ladder;
    ladder.AddRows(rungs * 3 - ladder.rowCount());
    for (int rung = 0; rung < rungs; ++rung) {
        const int top = rung * 3;
        auto contact = [&](int row, int col, int code, int n) {
            ladder.SetCellCode(row, col, code);
            ladder.SetCellText(row, col, "#A%I000" + std::to_string(n % 9 + 1) + "#");
        };
        contact(top, 0, 1, rung);
        contact(top + 1, 0, 2, rung + 1);
        contact(top + 2, 0, 1, rung + 2);
        ladder.SetCellCode(top, 1, 107);
        ladder.SetCellCode(top + 1, 1, 307);
        ladder.SetCellCode(top + 2, 1, 207);
        contact(top, 2, 1, rung + 3);
        for (int col = 3; col <= 8; ++col) {
            ladder.SetCellCode(top, col, 7);
        }
        ladder.SetCellCode(top, 9, 3);
        ladder.SetCellText(top, 9, "#A%Q00" + std::to_string(10 + rung % 90) + "#");
    }
    return ladder;
}

void BM_TranslateNearWordLimit(benchmark::State& state) {
    const document::LadderDocument ladder = largeLadder(200);
    std::size_t words = 0;
    for (auto _ : state) {
        const translator::TranslationResult result = translator::translateDocument(ladder, {{}});
        if (!result.ok()) {
            state.SkipWithError(result.report.c_str());
            return;
        }
        words = result.program.size();
        benchmark::DoNotOptimize(words);
    }
    state.counters["words"] = static_cast<double>(words);
}
BENCHMARK(BM_TranslateNearWordLimit)->Unit(benchmark::kMillisecond);

void BM_TranslateNearWordLimitWithTrace(benchmark::State& state) {
    const document::LadderDocument ladder = largeLadder(200);
    const std::filesystem::path trace =
        std::filesystem::temp_directory_path() / "wirtualon-bench-EMU.txt";
    for (auto _ : state) {
        const translator::TranslationResult result = translator::translateDocument(ladder, {trace});
        benchmark::DoNotOptimize(result.errorCode);
    }
    std::filesystem::remove(trace);
}
BENCHMARK(BM_TranslateNearWordLimitWithTrace)->Unit(benchmark::kMillisecond);

void BM_PowerMapOfLadderNearWordLimit(benchmark::State& state) {
    const document::LadderDocument ladder = largeLadder(200);
    const translator::TranslationResult result = translator::translateDocument(ladder, {{}});
    plc::FakeClock clock;
    plc::Plc controller(clock);
    controller.setMonitoring(true);
    controller.setProgram(result.program);
    if (!result.ok() || !controller.allocate()) {
        state.SkipWithError("no program");
        return;
    }
    controller.setInputWord(0x0155);
    controller.runProgram();
    translator::PowerMapBuilder builder(ladder, result.program.words(), result.sourceMap);
    translator::PowerMap map;
    for (auto _ : state) {
        builder.build(controller, map);
        benchmark::DoNotOptimize(map.cells().data());
    }
    state.counters["cells"] = static_cast<double>(map.cells().size());
}
BENCHMARK(BM_PowerMapOfLadderNearWordLimit)->Unit(benchmark::kMicrosecond);

}  // namespace
