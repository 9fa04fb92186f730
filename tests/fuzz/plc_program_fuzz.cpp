// Runs arbitrary interpreter programs through the scan cycle for a few scans: the controller
// must never crash, read or write outside its memory, or hang; the decoder and the program
// checker read the same words.
#include "plc/clock.h"
#include "plc/plc.h"
#include "plc/program.h"
#include "plc/scan_cycle.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// Words that mean something somewhere in a program, so that mutations build real
// instructions often.
constexpr std::array<plc::ProgramWord, 64> kInteresting{
    -1,  -2,  -3,  -4,  -5,  -6,  -7,  -8,  -9,  -255, -10, -11, -12, -13,  -14, -15,
    -16, -17, -18, -25, -26, -40, -41, -42, -43, -44,  -46, -47, -48, -100, 0,   1,
    2,   3,   4,   5,   7,   8,   10,  11,  12,  13,   14,  15,  16,  17,   18,  19,
    20,  21,  24,  26,  37,  41,  45,  46,  47,  51,   57,  58,  71,  72,   73,  74};

constexpr std::array<plc::ProgramWord, 6> kExtremes{std::numeric_limits<plc::ProgramWord>::min(),
                                                    std::numeric_limits<plc::ProgramWord>::max(),
                                                    -32768,
                                                    32767,
                                                    65535,
                                                    1023};

class FuzzIo : public plc::IoTransfer {
public:
    explicit FuzzIo(std::uint16_t inputs) : m_inputs(inputs) {}
    void readInputs(plc::Plc& plc) override {
        plc.setInputWord(m_inputs);
        plc.setAnalogInputs(static_cast<std::int16_t>(m_inputs), -1);
        m_inputs = static_cast<std::uint16_t>(m_inputs * 31 + 7);
    }
    void writeOutputs(const plc::Plc& plc) override {
        m_sink = static_cast<std::uint16_t>(m_sink ^ plc.outputWord() ^ plc.analogOutput1());
    }

private:
    std::uint16_t m_inputs;
    std::uint16_t m_sink = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const int edges = data[0] % 8;
    const int timers = data[1] % 8;
    const auto inputs = static_cast<std::uint16_t>(data[2] | (data[3] << 8));
    std::vector<plc::ProgramWord> words;
    for (std::size_t i = 4; i + 2 < size && words.size() <= plc::kMaxProgramWords; i += 3) {
        const std::uint8_t selector = data[i];
        const auto low = static_cast<std::uint16_t>(data[i + 1] | (data[i + 2] << 8));
        if (selector < 160) {
            words.push_back(kInteresting[data[i + 1] % kInteresting.size()]);
        } else if (selector < 248) {
            words.push_back(static_cast<std::int16_t>(low));
        } else {
            words.push_back(kExtremes[data[i + 1] % kExtremes.size()]);
        }
    }

    plc::FakeClock clock(0xFFFFFF00u);
    plc::Plc controller(clock);
    plc::ScanCycle cycle(controller, clock);
    FuzzIo panel(inputs);
    cycle.setPanel(&panel);
    controller.setProgram(plc::Program(words, edges, timers));
    if (!cycle.startSimulator()) {
        return 0;
    }
    cycle.nextMode();
    for (int tick = 0; tick < 4; ++tick) {
        clock.advance(20 + static_cast<std::uint32_t>(tick) * 250);
        cycle.tick();
    }
    cycle.nextMode();  // the last scan and the power-down
    cycle.tick();
    (void)plc::decodeProgram(words);
    (void)plc::checkProgram(plc::Program(words, edges, timers));
    cycle.endSimulation();
    return 0;
}
