// The reader of `wirtualon-cli test`'s scenario files, which come from anywhere. It must never
// crash or hang; a refusal names a line of the file and words its problem briefly without
// control characters; a scenario it lets through names only ticks it will reach and values
// its operands can hold, and plays on a program without failures it cannot place.
#include "app/cli/program_text.h"
#include "app/cli/scenario_file.h"
#include "app/cli/scenario_runner.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

// A statement is at most 500 bytes; a problem quotes at most that much of it.
constexpr std::size_t kLongestProblem = 700;
// Scenarios that run longer are only read: the fuzzer looks for faults, not for slow tests.
constexpr std::uint64_t kLongestPlay = 300;

// LOAD %I0001, TMR of 10 ms units with PV 2 and register %R0001, -( )- %Q0002; LOAD %I0002,
// -( )- %Q0001.
constexpr std::string_view kProgram =
    "-1 -10 0 0 -8 18 -100 0 -46 -18 0 0 -18 2 0 -18 4 0 -25 2 -18 0 0 -18 2 0 -18 4 0 "
    "-7 3 -11 0 1 -1 -10 0 1 -7 3 -11 0 0 -255";

bool printable(std::string_view text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

int lineCount(std::string_view text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    cli::ScenarioProblem problem;
    const std::optional<cli::Scenario> scenario = cli::parseScenario(text, problem);
    if (!scenario) {
        if (problem.text.empty() || problem.text.size() > kLongestProblem ||
            !printable(problem.text) || problem.line < 0 || problem.line > lineCount(text)) {
            __builtin_trap();
        }
        return 0;
    }
    if (scenario->program.empty() || scenario->programLine < 1 || scenario->tickMs < 1 ||
        scenario->lastTick > cli::kMaxScenarioTick ||
        (scenario->stopTick && *scenario->stopTick > scenario->lastTick)) {
        __builtin_trap();
    }
    for (const cli::InputSetting& setting : scenario->settings) {
        if (setting.tick > scenario->lastTick) {
            __builtin_trap();
        }
    }
    for (const cli::Expectation& expectation : scenario->expectations) {
        if (expectation.tick > scenario->lastTick || expectation.line <= scenario->programLine ||
            expectation.operandText.empty() || expectation.operandText.front() != '%') {
            __builtin_trap();
        }
    }
    if (scenario->lastTick > kLongestPlay) {
        return 0;
    }
    std::string refusal;
    const std::optional<plc::Program> program = cli::parseProgramText(kProgram, refusal);
    if (!program) {
        __builtin_trap();
    }
    const std::vector<cli::ScenarioFailure> failures =
        cli::playScenario(*scenario, *program, refusal);
    if (!refusal.empty() || failures.size() > scenario->expectations.size()) {
        __builtin_trap();
    }
    for (const cli::ScenarioFailure& failure : failures) {
        const bool placed = std::any_of(
            scenario->expectations.begin(), scenario->expectations.end(),
            [&](const cli::Expectation& expectation) { return expectation.line == failure.line; });
        if (!placed || failure.kind != cli::FailureKind::Expectation) {
            __builtin_trap();
        }
    }
    return 0;
}
