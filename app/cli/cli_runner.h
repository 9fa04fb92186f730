// The command-line tool's entry: check, list and program translate a ladder file, analyse shows
// the node and segment analysis of its first rung, run drives the simulated controller for a
// number of ticks and prints the outputs of each.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

/// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitTranslationError = 1;
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitWatchdog = 3;

/// Runs the tool on `args` (the subcommand first, without the program name), writing results to
/// `out` and complaints to `err`, both UTF-8; returns the exit status.
[[nodiscard]] int runCli(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err);

}  // namespace cli
