// What forcing adds to a tick: the full table of 64 forced operands written into memory, which
// the scan cycle does twice a RUN tick (after the inputs and after the scan).
#include "plc/force_table.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ApplyFullForceTable(benchmark::State& state) {
    plc::FakeClock clock(1000);
    plc::Plc controller(clock);
    if (!controller.allocate()) {
        state.SkipWithError("allocate failed");
        return;
    }
    // Bits of %M, INTs and DINTs of %R: the three kinds of write, none overlapping another.
    plc::ForceTable table;
    for (int i = 0; i < static_cast<int>(plc::kMaxForcedOperands); ++i) {
        plc::ForceResult result = plc::ForceResult::Forced;
        switch (i % 3) {
            case 0:
                result = table.force({plc::AreaKind::M, i / 8, i % 8, plc::DataType::Bit}, 1);
                break;
            case 1:
                result = table.force({plc::AreaKind::R, 2 * i, 0, plc::DataType::Int}, -i);
                break;
            default:
                result = table.force({plc::AreaKind::R, 512 + 4 * i, 0, plc::DataType::Dint}, i);
                break;
        }
        if (result != plc::ForceResult::Forced) {
            state.SkipWithError("force refused");
            return;
        }
    }
    for (auto _ : state) {
        table.apply(controller);
        benchmark::ClobberMemory();
    }
    state.counters["forced"] = static_cast<double>(table.entries().size());
}
BENCHMARK(BM_ApplyFullForceTable)->Unit(benchmark::kMicrosecond);

}  // namespace
