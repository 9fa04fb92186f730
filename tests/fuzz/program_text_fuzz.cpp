// The reader of `wirtualon-cli run`'s program files, which come from anywhere: plain words, or
// (when the first byte is 'V') the interpreter-program view that `program` prints. It must never
// crash or hang, a refusal must quote the file only as a short escaped excerpt, and a program it
// lets through must pass the program checker and run.
#include "app/cli/program_text.h"
#include "plc/clock.h"
#include "plc/plc.h"
#include "plc/program.h"
#include "plc/scan_cycle.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

// Longer than any problem the reader words, shorter than any file excerpt left unbounded.
constexpr std::size_t kLongestProblem = 300;

class QuietIo : public plc::IoTransfer {
public:
    void readInputs(plc::Plc& plc) override { plc.setInputWord(0x5A5A); }
    void writeOutputs(const plc::Plc&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (!text.empty() && text.front() == 'V') {
        text.replace(0, 1, " POSTAĆ PROGRAMU\n  W FORMACIE DLA\n   INTERPRETERA\n\n---\n");
    }
    std::string problem;
    const std::optional<plc::Program> program = cli::parseProgramText(text, problem);
    if (!program) {
        if (problem.empty() || problem.size() > kLongestProblem) {
            __builtin_trap();
        }
        for (const char c : problem) {
            if (static_cast<unsigned char>(c) < 0x20) {
                __builtin_trap();
            }
        }
        return 0;
    }
    if (plc::checkProgram(*program).fault != plc::ProgramFault::None) {
        __builtin_trap();
    }
    plc::FakeClock clock;
    plc::Plc controller(clock);
    plc::ScanCycle cycle(controller, clock);
    QuietIo io;
    cycle.setPanel(&io);
    controller.setProgram(*program);
    if (!cycle.startSimulator()) {
        return 0;
    }
    cycle.nextMode();
    for (int tick = 0; tick < 3; ++tick) {
        clock.advance(30);
        cycle.tick();
    }
    cycle.endSimulation();
    return 0;
}
