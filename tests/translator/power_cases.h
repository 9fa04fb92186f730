// Hand-made ladders with the power maps their scans must give, tick by tick. One table for
// the core (translator, controller, power map) and for the command-line tool's --power lines.
#pragma once

#include "tests/translator/ladder_helpers.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace translator::testing {

/// One tick: the panel's inputs during it, and the map's rows after it ('#' powered, '-' an
/// element without power, '.' no element); rows not listed are all '.'.
struct PowerTick {
    std::uint16_t inputs = 0;
    std::vector<std::string> rows;
};

/// A ladder run in RUN from its first tick, the clock advancing `tickMs` per tick.
struct PowerCase {
    std::string name;
    std::function<Ladder()> ladder;
    std::uint32_t tickMs = 20;
    std::vector<PowerTick> ticks;
};

/// Names a case in test output.
inline void PrintTo(const PowerCase& c, std::ostream* os) {
    *os << c.name;
}

/// Every case.
[[nodiscard]] const std::vector<PowerCase>& powerCases();

/// The map lines a tick must print: every row of a ladder of `rows` rows.
[[nodiscard]] std::vector<std::string> expectedLines(const PowerTick& tick, int rows);

}  // namespace translator::testing
