// Scan speed of the simulated controller on full-size programs: one of contacts and coils,
// one heavy with function blocks, each also with monitoring on (the trace the live view reads).
// Reports nanoseconds per instruction and per scan.
#include "plc/clock.h"
#include "plc/plc.h"
#include "plc/program.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using plc::ProgramWord;

struct Generated {
    std::vector<ProgramWord> words;
    int instructions = 0;  // per scan, counting each block as one
    int timers = 0;
    int edges = 0;
};

void address(std::vector<ProgramWord>& w, ProgramWord area, int byte, int bit) {
    w.insert(w.end(), {area, byte, bit});
}

// Rungs of three to five contacts in series and parallel ending in a coil, over %I, %M, %Q
// and %T, until the 5000-word limit.
Generated contactProgram() {
    Generated g;
    auto& w = g.words;
    const ProgramWord areas[] = {plc::kAreaI, plc::kAreaM, plc::kAreaQ, plc::kAreaT};
    const ProgramWord coils[] = {plc::kCoilNormal, plc::kCoilNegated, plc::kCoilSet,
                                 plc::kCoilReset};
    int n = 0;
    while (w.size() + 26 < plc::kMaxProgramWords) {
        auto contact = [&](ProgramWord op) {
            w.push_back(op);
            const ProgramWord area = areas[n % 4];
            const int bytes = area == plc::kAreaT ? 32 : 64;
            address(w, area, (n * 7) % bytes, n % 8);
            ++n;
            ++g.instructions;
        };
        contact(plc::kLoad);
        contact(plc::kAndNot);
        contact(plc::kLoad);
        contact(plc::kAnd);
        w.push_back(plc::kOrStack);
        ++g.instructions;
        contact(plc::kAnd);
        w.insert(w.end(), {plc::kCoil, coils[n % 4]});
        address(w, n % 3 == 0 ? plc::kAreaQ : plc::kAreaM, (n * 5) % 64, (n / 3) % 8);
        ++g.instructions;
    }
    w.push_back(plc::kEnd);
    return g;
}

// Rungs each driving one function block from a contact, cycling through the block kinds.
Generated blockProgram() {
    Generated g;
    auto& w = g.words;
    auto enable = [&](int n, document::BlockKind kind) {
        w.insert(w.end(), {plc::kBlock, document::kindNumber(kind), plc::kLoad, plc::kAreaI, 0,
                           n % 2 == 0 ? 0 : 1, plc::kEndOfInput});
        g.instructions += 2;
    };
    auto reg = [&](int ref) { address(w, plc::kAreaR, 2 * (ref - 1), 0); };
    auto constant = [&](int v) { w.insert(w.end(), {plc::kConstant, v}); };
    auto triple = [&](int ref) {
        reg(ref);
        reg(ref + 1);
        reg(ref + 2);
    };
    int n = 0;
    while (w.size() + 80 < plc::kMaxProgramWords) {
        const int base = 1 + (n * 13) % 400;
        switch (n % 12) {
            case 0:
                enable(n, document::BlockKind::Add);
                w.push_back(plc::kTypeInt);
                reg(base);
                constant(3);
                reg(base + 1);
                break;
            case 1:
                enable(n, document::BlockKind::Mul);
                w.push_back(plc::kTypeDint);
                reg(base);
                reg(base + 2);
                reg(base + 4);
                break;
            case 2:
                enable(n, document::BlockKind::Ge);
                w.push_back(plc::kTypeInt);
                reg(base);
                constant(100);
                break;
            case 3:
                enable(n, document::BlockKind::Move);
                w.insert(w.end(), {plc::kTypeWord, plc::kLength, 8});
                reg(base);
                reg(base + 20);
                break;
            case 4:
                enable(n, document::BlockKind::Tmr);
                w.insert(w.end(), {g.timers++, plc::kTimeBase10ms});
                triple(base);
                constant(500);
                triple(base);
                break;
            case 5:
                enable(n, document::BlockKind::UpCtr);
                w.insert(w.end(), {plc::kLoad, plc::kAreaI, 0, 2, plc::kEndOfInput});
                ++g.instructions;
                triple(base);
                constant(1000);
                triple(base);
                break;
            case 6:
                enable(n, document::BlockKind::Shl);
                w.insert(w.end(), {plc::kTypeWord, plc::kLength, 4});
                reg(base);
                constant(1);
                w.insert(w.end(), {plc::kLoad, plc::kAreaI, 0, 3, plc::kEndOfInput});
                ++g.instructions;
                reg(base + 10);
                break;
            case 7:
                enable(n, document::BlockKind::BitTst);
                w.insert(w.end(), {plc::kTypeWord, plc::kLength, 2});
                reg(base);
                constant(5);
                break;
            case 8:
                enable(n, document::BlockKind::SrhEq);
                w.insert(w.end(), {plc::kTypeInt, plc::kLength, 16});
                reg(base);
                constant(0);
                constant(7);
                reg(base + 30);
                break;
            case 9:
                enable(n, document::BlockKind::BlkMv);
                w.push_back(plc::kTypeInt);
                for (int i = 0; i < 7; ++i) {
                    constant(i);
                }
                for (int i = 0; i < 7; ++i) {
                    reg(base + i);
                }
                break;
            case 10:
                enable(n, document::BlockKind::ArrMv);
                w.insert(w.end(), {plc::kTypeInt, plc::kLength, 10});
                reg(base);
                constant(1);
                constant(2);
                constant(5);
                reg(base + 40);
                break;
            default:
                enable(n, document::BlockKind::ToBcd);
                reg(base);
                reg(base + 1);
                break;
        }
        w.insert(w.end(), {plc::kCoil, plc::kCoilNormal, plc::kAreaM, n % 128, n % 8});
        ++g.instructions;
        ++n;
    }
    w.push_back(plc::kEnd);
    return g;
}

void runScans(benchmark::State& state, const Generated& g, bool monitored = false) {
    plc::FakeClock clock(1000);
    plc::Plc controller(clock);
    controller.setMonitoring(monitored);
    controller.setProgram(plc::Program(g.words, g.edges, g.timers));
    if (!controller.allocate()) {
        state.SkipWithError("allocate failed");
        return;
    }
    controller.setInputWord(0x0005);
    for (auto _ : state) {
        clock.advance(20);
        controller.runProgram();
        benchmark::ClobberMemory();
    }
    state.counters["words"] = static_cast<double>(g.words.size());
    state.counters["instructions"] = g.instructions;
    // Seconds per instruction, printed with its prefix (for example "1.7n" for 1.7 ns).
    state.counters["time_per_instruction"] = benchmark::Counter(
        static_cast<double>(g.instructions) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["instructions_per_s"] = benchmark::Counter(
        static_cast<double>(g.instructions) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

void BM_ScanContactsAndCoils(benchmark::State& state) {
    static const Generated program = contactProgram();
    runScans(state, program);
}
BENCHMARK(BM_ScanContactsAndCoils)->Unit(benchmark::kMicrosecond);

void BM_ScanFunctionBlocks(benchmark::State& state) {
    static const Generated program = blockProgram();
    runScans(state, program);
}
BENCHMARK(BM_ScanFunctionBlocks)->Unit(benchmark::kMicrosecond);

void BM_ScanContactsAndCoilsMonitored(benchmark::State& state) {
    static const Generated program = contactProgram();
    runScans(state, program, true);
}
BENCHMARK(BM_ScanContactsAndCoilsMonitored)->Unit(benchmark::kMicrosecond);

void BM_ScanFunctionBlocksMonitored(benchmark::State& state) {
    static const Generated program = blockProgram();
    runScans(state, program, true);
}
BENCHMARK(BM_ScanFunctionBlocksMonitored)->Unit(benchmark::kMicrosecond);

}  // namespace
