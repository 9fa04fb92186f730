// One RUN tick of a full-size program followed by the answers to the Modbus requests that came
// in since the tick before: none, and one from each of eight clients reading 100 holding
// registers. The difference is what the server costs the simulation's thread per tick.
#include "bench/bench_programs.h"
#include "iolink/modbus_server.h"

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
    controller.setProgram(plc::Program(bench::fullSizeProgram(), 0, 0));
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
