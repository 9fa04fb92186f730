// The JUnit XML report of the test subcommand, which CI servers read: one test case per
// scenario, a failure element per failure, an error element for a scenario that could not run.
#pragma once

#include "app/cli/scenario_runner.h"

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace cli {

/// Returns `text` fit for XML character data and attribute values: the five special
/// characters as entities, every byte that is not well-formed UTF-8 and every control
/// character XML 1.0 forbids as U+FFFD.
[[nodiscard]] std::string xmlEscaped(std::string_view text);

/// Writes the report of `outcomes` to `out`.
void writeJunitReport(std::ostream& out, std::span<const ScenarioOutcome> outcomes);

}  // namespace cli
