// wirtualon-cli run --power: the power maps of the hand-made ladders, tick by tick, as the
// core gives them; and the option refused where there is no ladder to map.
#include "tests/cli/cli_test_helpers.h"
#include "tests/translator/power_cases.h"

#include "app/cli/cli_runner.h"
#include "document/program_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace cli {
namespace {

namespace fs = std::filesystem;
using translator::testing::PowerCase;

using testing::runTool;
using testing::TempFolder;
using testing::ToolRun;

class CliPowerTest : public ::testing::TestWithParam<PowerCase> {};

TEST_P(CliPowerTest, PowerLinesFollowEachTick) {
    const PowerCase& c = GetParam();
    const translator::testing::Ladder ladder = c.ladder();
    const TempFolder folder("wirtualon-power");
    const fs::path file = folder.path() / "ladder.jar";
    document::LadderDocument saved = ladder.document();
    ASSERT_EQ(document::SaveProgram(saved, file), document::FileResult::Success);

    std::vector<std::string> args = {"run",     file.string(),
                                     "--scans", std::to_string(c.ticks.size()),
                                     "--tick",  std::to_string(c.tickMs),
                                     "--power"};
    // The inputs change only where a tick's inputs differ from the one before.
    std::uint16_t held = 0;
    for (std::size_t k = 0; k < c.ticks.size(); ++k) {
        for (int bit = 0; bit < 16; ++bit) {
            const int now = (c.ticks[k].inputs >> bit) & 1;
            if (now != ((held >> bit) & 1)) {
                args.push_back("--set");
                args.push_back(std::to_string(k) + ":%I" + std::to_string(bit + 1) + "=" +
                               std::to_string(now));
            }
        }
        held = c.ticks[k].inputs;
    }
    const ToolRun run = runTool(args);
    ASSERT_EQ(run.status, 0) << run.err;

    std::istringstream lines(run.out);
    std::string line;
    const int rows = ladder.document().rowCount();
    for (std::size_t k = 0; k < c.ticks.size(); ++k) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_EQ(line.rfind(std::to_string(k) + " t=", 0), 0u) << line;
        std::vector<std::string> map;
        for (int row = 0; row < rows && std::getline(lines, line); ++row) {
            map.push_back(line);
        }
        EXPECT_EQ(map, translator::testing::expectedLines(c.ticks[k], rows)) << "tick " << k;
    }
    EXPECT_FALSE(std::getline(lines, line)) << line;
}

INSTANTIATE_TEST_SUITE_P(Ladders, CliPowerTest,
                         ::testing::ValuesIn(translator::testing::powerCases()),
                         [](const ::testing::TestParamInfo<PowerCase>& c) { return c.param.name; });

TEST(CliPowerOptionTest, InterpreterProgramHasNoLadderToMap) {
    const TempFolder folder("wirtualon-power");
    const ToolRun run =
        runTool({"run", folder.write("program.txt", "-1 -10 0 0 -7 3 -11 0 0 -255\n"), "--power"});
    EXPECT_EQ(run.status, kExitBadInput);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("--power"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace cli
