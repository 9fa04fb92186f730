// The test subcommand: plays scenario files against their programs under the simulated clock of
// run, reports every failed expectation with its file, line, tick and values, and sums up.
#pragma once

#include "app/cli/scenario_file.h"
#include "plc/program.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

/// What made a scenario fail.
enum class FailureKind : int {
    Expectation = 0,  ///< a value compared otherwise than expected
    Watchdog = 1,     ///< a scan did not end; the run stopped there
    Translation = 2,  ///< the program breaks a ladder rule; nothing ran
};

/// One failure of a scenario, reported as "SCENARIO:LINE: TEXT".
struct ScenarioFailure {
    int line = 0;  ///< the statement's line: the expectation's, or the program's
    FailureKind kind = FailureKind::Expectation;
    std::string text;  ///< "at 6 expected %Q0001 = 1, got 0", "at 3 WATCHDOG", the error report
};

/// The faults of the machine a scenario ran beside (which by themselves fail nothing).
struct PlantFaults {
    /// The first kReportedPlantFaults, as run prints them: "! 2501 t=50001 zbiornik: ...".
    std::vector<std::string> lines;
    std::uint64_t count = 0;  ///< all of them
};

/// Faults listed in a report; the rest are counted.
inline constexpr std::size_t kReportedPlantFaults = 20;

/// What one scenario file came to.
struct ScenarioOutcome {
    std::string file;  ///< as named on the command line
    int expectations = 0;
    std::vector<ScenarioFailure> failures;
    PlantFaults plantFaults;
    /// Set when the file, a statement or the program could not be read: "SCENARIO:LINE: TEXT".
    std::optional<std::string> error;
    double seconds = 0;  ///< the time it took, for the report
};

/// Plays `scenario` on `program` for scenario.lastTick + 1 ticks; returns its failures in the
/// order they happened (by tick, then by line). The values are read after each tick's scan.
/// `problem` is set (Polish, UTF-8) when the controller cannot take the program at all. The
/// machine's faults go to `plantFaults` when given.
[[nodiscard]] std::vector<ScenarioFailure> playScenario(const Scenario& scenario,
                                                        const plc::Program& program,
                                                        std::string& problem,
                                                        PlantFaults* plantFaults = nullptr);

/// Runs the scenario file `file`: reads it, loads its program (relative to the file's folder)
/// and plays it.
[[nodiscard]] ScenarioOutcome runScenarioFile(const std::string& file);

/// The subcommand: `args` are the scenario files and "--junit FILE"; prints the failures and
/// the summary "N scenarios, M expectations, F failed" to `out`, problems to `err` (followed
/// by `usage` for wrong arguments). Returns kExitOk when every scenario passed,
/// kExitScenarioFailed when one failed, kExitBadInput when a file, a statement or a program could
/// not be read, the arguments are wrong or the report cannot be written.
[[nodiscard]] int testCommand(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err, std::string_view usage);

}  // namespace cli
