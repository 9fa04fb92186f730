// Live runs: the pacing of ticks under a test's clock, and the bounds of the options that
// pace them and hold Modbus clients.
#include "app/cli/live_run.h"
#include "app/cli/run_command.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace cli {
namespace {

struct PacingCase {
    const char* name;
    std::uint32_t start;                        // the clock at the first tick
    std::uint32_t late;                         // how late every wake-up comes
    std::map<std::size_t, std::uint32_t> runs;  // tick -> how long it runs, when it takes time
    std::vector<std::uint64_t> times;           // what the pacer returns, tick by tick
};

void PrintTo(const PacingCase& c, std::ostream* os) {
    *os << c.name;
}

class TickPacerTest : public ::testing::TestWithParam<PacingCase> {};

TEST_P(TickPacerTest, TicksKeepToTheirScheduleAndSkipWhatAStallMissed) {
    const PacingCase& c = GetParam();
    plc::FakeClock clock(c.start);
    TickPacer pacer(20, clock);
    std::vector<std::uint64_t> times;
    for (std::size_t k = 0; k < c.times.size(); ++k) {
        times.push_back(pacer.waitForTick([&](std::uint32_t due) {
            const auto left = static_cast<std::int32_t>(due - clock.now());
            if (left > 0) {
                clock.advance(static_cast<std::uint32_t>(left) + c.late);
            }
        }));
        const auto run = c.runs.find(k);
        clock.advance(run == c.runs.end() ? 1 : run->second);
    }
    EXPECT_EQ(times, c.times);
}

INSTANTIATE_TEST_SUITE_P(
    Schedules, TickPacerTest,
    ::testing::Values(
        PacingCase{"OnTime", 0, 0, {}, {0, 20, 40, 60, 80}},
        // Late by 3 ms at every wake-up, never by more.
        PacingCase{"LateWakeUpsDoNotAddUp", 0, 3, {}, {0, 23, 43, 63, 83, 103}},
        // Tick 2 runs until 115: the ticks due at 60, 80 and 100 are one, at once, and the
        // next keeps to the schedule.
        PacingCase{"AStallSkipsTheTicksItMissed", 0, 0, {{2, 75}}, {0, 20, 40, 115, 120, 140}},
        // A tick that overruns by less than a tick only starts the next one late.
        PacingCase{"AnOverrunShortensOnlyTheNextWait", 0, 0, {{1, 30}}, {0, 20, 50, 60, 80}},
        PacingCase{"TheClockWrapsAround", 0xFFFFFFF0u, 3, {{1, 45}}, {0, 23, 68, 83, 103}}),
    [](const auto& p) { return std::string(p.param.name); });

struct OptionCase {
    std::vector<std::string> args;
    std::string problem;
};

TEST(LiveOptionsTest, TickAndModbusIdleTakeOnlyTheirRanges) {
    const OptionCase cases[] = {
        {{"--tick", "0"}, "--tick wymaga długości cyklu 1..60000 ms: 0"},
        {{"--tick", "60001"}, "--tick wymaga długości cyklu 1..60000 ms: 60001"},
        {{"--tick=99999999999"}, "--tick wymaga długości cyklu 1..60000 ms: 99999999999"},
        {{"--modbus", "1502", "--modbus-idle", "0"},
         "--modbus-idle wymaga liczby sekund 1..86400: 0"},
        {{"--modbus", "1502", "--modbus-idle", "86401"},
         "--modbus-idle wymaga liczby sekund 1..86400: 86401"},
        {{"--modbus", "1502", "--modbus-idle", "1.5"},
         "--modbus-idle wymaga liczby sekund 1..86400: 1.5"},
        {{"--modbus-idle", "5"}, "--modbus-idle wymaga --modbus"},
        {{"--link", "operator:Tajne123@host:99999"},
         "nieprawidłowy adres brokera w --link (HOST, HOST:PORT lub UŻYTKOWNIK:HASŁO@HOST:PORT): "
         "***@host:99999"},
    };
    for (const OptionCase& c : cases) {
        std::vector<std::string> args = {"p.jar"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string problem;
        EXPECT_FALSE(parseRunOptions(args, problem).has_value()) << c.args[0];
        EXPECT_EQ(problem, c.problem);
    }

    std::string problem;
    const std::optional<RunOptions> edges = parseRunOptions(
        {"p.jar", "--tick", "60000", "--modbus", "1502", "--modbus-idle", "86400"}, problem);
    ASSERT_TRUE(edges.has_value()) << problem;
    EXPECT_EQ(edges->tickMs, 60000u);
    EXPECT_EQ(edges->modbusLimits.close, std::chrono::hours(24));
    const std::optional<RunOptions> defaults = parseRunOptions({"p.jar", "--tick", "1"}, problem);
    ASSERT_TRUE(defaults.has_value()) << problem;
    EXPECT_EQ(defaults->modbusLimits.close, std::chrono::seconds(60));
}

}  // namespace
}  // namespace cli
