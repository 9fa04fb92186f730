// One RUN tick of a full-size program followed by the answers to the Modbus requests that came
// in since the tick before: none, and one from each of eight clients reading 100 holding
// registers. The difference is what the server costs the simulation's thread per tick.
#include "iolink/modbus_server.h"

#include "document/block_kind.h"
#include "plc/clock.h"
#include "plc/plc.h"
#include "plc/program.h"
#include "plc/scan_cycle.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <modbus/modbus.h>
#include <thread>
#include <vector>

namespace {

using plc::ProgramWord;

// Rungs of contacts and coils over %I, %M and %Q, every fourth one an ADD that counts up one
// of %R0001..%R0016, until the 5000-word limit.
std::vector<ProgramWord> fullProgram() {
    std::vector<ProgramWord> w;
    int n = 0;
    while (w.size() + 40 < plc::kMaxProgramWords) {
        if (n % 4 == 3) {
            const int reg = (n / 4) % 16;
            w.insert(w.end(),
                     {plc::kBlock, document::kindNumber(document::BlockKind::Add), plc::kLoad,
                      plc::kAreaS, 0, 6, plc::kEndOfInput, plc::kTypeInt, plc::kAreaR, 2 * reg, 0,
                      plc::kConstant, 1, plc::kAreaR, 2 * reg, 0});
        } else {
            w.insert(w.end(), {plc::kLoad, plc::kAreaI, 0, n % 8, plc::kAndNot, plc::kAreaM, n % 64,
                               n % 8, plc::kLoad, plc::kAreaQ, 1, n % 8, plc::kOrStack, plc::kCoil,
                               plc::kCoilNormal, plc::kAreaQ, n % 2, (n / 2) % 8});
        }
        ++n;
    }
    w.push_back(plc::kEnd);
    return w;
}

class Panel final : public plc::IoTransfer {
public:
    explicit Panel(iolink::PanelInputs& inputs) : m_inputs(inputs) {}
    void readInputs(plc::Plc& plc) override {
        plc.setInputWord(m_inputs.discrete);
        plc.setAnalogInputs(m_inputs.analog[0], m_inputs.analog[1]);
    }
    void writeOutputs(const plc::Plc& plc) override { benchmark::DoNotOptimize(plc.outputWord()); }

private:
    iolink::PanelInputs& m_inputs;
};

void BM_TickAndServe(benchmark::State& state) {
    const auto clients = static_cast<std::size_t>(state.range(0));
    plc::FakeClock clock(1000);
    plc::Plc controller(clock);
    plc::ScanCycle cycle(controller, clock);
    iolink::PanelInputs inputs;
    Panel panel(inputs);
    cycle.setPanel(&panel);
    controller.setProgram(plc::Program(fullProgram(), 0, 0));
    iolink::ModbusServer server;
    if (!cycle.startSimulator() ||
        server.open({"127.0.0.1", 0}) != iolink::ModbusOpenResult::Listening) {
        state.SkipWithError("no simulation or no server");
        return;
    }
    cycle.nextMode();

    std::atomic<bool> stop{false};
    std::atomic<std::size_t> running{0};
    std::vector<std::thread> pollers;
    for (std::size_t i = 0; i < clients; ++i) {
        pollers.emplace_back([&] {
            modbus_t* client = modbus_new_tcp("127.0.0.1", server.port());
            if (modbus_connect(client) == 0) {
                ++running;
                std::uint16_t registers[100];
                while (!stop && modbus_read_registers(client, 0, 100, registers) == 100) {
                }
                --running;
            }
            modbus_close(client);
            modbus_free(client);
        });
    }
    while (server.clientCount() < clients) {
        std::this_thread::yield();
    }

    std::size_t served = 0;
    for (auto _ : state) {
        // Outside the measure: every client's next request has arrived.
        state.PauseTiming();
        while (server.waitingRequests() < clients) {
            server.waitForRequests(std::chrono::steady_clock::now() + std::chrono::milliseconds(1));
        }
        state.ResumeTiming();
        clock.advance(20);
        cycle.tick();
        served += server.serve(controller, inputs);
    }
    state.counters["requests_per_tick"] =
        static_cast<double>(served) / static_cast<double>(state.iterations());

    stop = true;
    while (running > 0) {
        server.waitForRequests(std::chrono::steady_clock::now() + std::chrono::milliseconds(1));
        server.serve(controller, inputs);
    }
    for (std::thread& poller : pollers) {
        poller.join();
    }
}
BENCHMARK(BM_TickAndServe)->Arg(0)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace
