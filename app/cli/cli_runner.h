// The command-line tool's entry: check, list and program translate a ladder file, analyse shows
// the node and segment analysis of its first rung, run drives the simulated controller for a
// number of ticks and prints the outputs of each, test runs scenario files against programs,
// totext and fromtext carry a ladder between its program file pair and its text.
#pragma once

#include "app/cli/power_lines.h"
#include "plc/program.h"

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace cli {

/// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitTranslationError = 1;
inline constexpr int kExitScenarioFailed = 1;  ///< test: an expectation or a program failed
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitWatchdog = 3;

/// Runs the tool on `args` (the subcommand first, without the program name), writing results to
/// `out` and complaints to `err`, both UTF-8; returns the exit status.
[[nodiscard]] int runCli(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err);

/// Reads at most `limit` + 1 bytes of a file into `bytes`, so that a device or an endless pipe
/// ends the reading too; returns false when the file cannot be read.
[[nodiscard]] bool readBytes(const std::string& fileName, std::size_t limit, std::string& bytes);

/// Returns true when the file begins as a saved ladder does (the rest is not checked).
[[nodiscard]] bool isLadderFile(const std::string& fileName);

/// Reads the program that run and test simulate: a ladder, translated (a broken rule gives its
/// report on `out` and kExitTranslationError), or an interpreter program in text. Returns
/// kExitOk with `program` filled, or kExitBadInput with the complaint on `err`. With `power`
/// given, a ladder also gets its power map there and a program in text is refused.
[[nodiscard]] int loadRunProgram(const std::string& fileName, plc::Program& program,
                                 std::ostream& out, std::ostream& err,
                                 std::optional<PowerLines>* power = nullptr);

}  // namespace cli
