// Scenario files: a program and what to do to it and expect of it at which tick, one statement
// a line, read into a Scenario that the scenario runner plays under the simulated clock.
#pragma once

#include "app/cli/run_command.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

/// The comparison of an expectation.
enum class Comparison : int { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

/// Returns the comparison's operator as a scenario writes it ("=", "!=", "<", ...).
[[nodiscard]] std::string_view comparisonText(Comparison comparison);

/// Returns true when `actual` compares with `expected` as `comparison` says.
[[nodiscard]] bool comparisonHolds(Comparison comparison, std::int64_t actual,
                                   std::int64_t expected);

/// One "at K expect OPERAND[:TYPE] OP VALUE".
struct Expectation {
    int line = 0;  ///< counted from 1
    std::uint64_t tick = 0;
    Watch operand;            ///< where and as what the value is read
    std::string operandText;  ///< as reports show it: the normal form, ":TYPE" when given
    Comparison comparison = Comparison::Equal;
    std::int64_t value = 0;
};

/// A scenario file read whole.
struct Scenario {
    std::string program;  ///< as written, relative to the scenario file unless absolute
    int programLine = 0;
    std::uint32_t tickMs = 20;
    std::string plant;  ///< "plant NAME": the machine run beside the program; empty for none
    int plantLine = 0;
    std::vector<InputSetting> settings;  ///< "at K set", in the order of the file
    std::optional<std::uint64_t> stopTick;
    std::vector<Expectation> expectations;  ///< in the order of the file
    std::uint64_t lastTick = 0;             ///< the highest tick named; the run lasts one more
};

/// Why a scenario file could not be read.
struct ScenarioProblem {
    int line = 0;      ///< counted from 1; 0 when the file as a whole is at fault
    std::string text;  ///< Polish, UTF-8; quotes the file only as short excerpts, bytes that
                       ///< are no text escaped
};

/// The highest tick a statement may name: at 20 ms over two days of simulated time.
inline constexpr std::uint64_t kMaxScenarioTick = 10'000'000;

/// Returns the scenario written in `text` (UTF-8, one statement a line, "#" starts a comment),
/// or nothing with `problem` set for the first statement that cannot be read: the first
/// statement must be "program NAME", followed by "tick MS" and "plant NAME" (each at most once)
/// and statements "at K set OPERAND=VALUE", "at K expect OPERAND[:TYPE] OP VALUE" (or
/// "plant:QUANTITY OP VALUE") and "at K stop" (at most once), K from 0 to kMaxScenarioTick.
[[nodiscard]] std::optional<Scenario> parseScenario(std::string_view text,
                                                    ScenarioProblem& problem);

}  // namespace cli
