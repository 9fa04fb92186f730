// wirtualon-cli with a machine beside the program: the fault lines of wrong programs at their
// ticks, quantities watched and expected, the faults in the JUnit report, and every refusal.
#include "tests/cli/cli_test_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace cli {
namespace {

using testing::lines;
using testing::rungCells;
using testing::runTool;
using testing::saveLadder;
using testing::TempFolder;
using testing::ToolRun;

// A ladder of one-contact rungs: each pair an input and the output it drives.
std::string ladder(const TempFolder& folder,
                   const std::vector<std::pair<std::string, std::string>>& rungs) {
    std::vector<testing::LadderCell> cells;
    int row = 0;
    for (const auto& [input, output] : rungs) {
        const std::vector<testing::LadderCell> rung = rungCells(row, input, output);
        cells.insert(cells.end(), rung.begin(), rung.end());
        row += 2;
    }
    return saveLadder(folder.path() / "wrong.jar", cells);
}

struct WrongProgram {
    const char* plant;
    std::vector<std::pair<std::string, std::string>> rungs;
    const char* faultLine;  // printed before the line of its tick, once
    int tick;
};

TEST(CliPlantTest, AWrongProgramFaultsItsMachineAtTheExpectedTick) {
    const WrongProgram cases[] = {
        // The pump without the high switch: full at 50 000 ms, spilling from the next ms.
        {"zbiornik", {{"%I0003", "%Q0001"}}, "! 2501 t=50001 zbiornik: Przelanie zbiornika", 2501},
        // The belt without the full bin: boxes every 4 s from 0, each 8 s on the belt.
        {"przenosnik",
         {{"%I0003", "%Q0001"}},
         "! 2400 t=48000 przenosnik: Przepełniony pojemnik",
         2400},
        // Both greens from the first scan: the lamps reach the crossing at the next tick.
        {"skrzyzowanie",
         {{"%I0003", "%Q0003"}, {"%I0003", "%Q0005"}},
         "! 1 t=0 skrzyzowanie: Kolizja",
         1},
        // No lamp at all in RUN: dark for 2 s.
        {"skrzyzowanie", {{"%I0003", "%M0001"}}, "! 100 t=2000 skrzyzowanie: Brak sygnału", 100},
        // The motor up held without the top limit: open at 10 000 ms, overloaded 501 ms on.
        {"brama", {{"%I0003", "%Q0001"}}, "! 526 t=10501 brama: Przeciążenie", 526},
    };
    for (const WrongProgram& c : cases) {
        const TempFolder folder("wirtualon-plant-fault");
        const ToolRun run =
            runTool({"run", ladder(folder, c.rungs), "--plant", c.plant, "--set", "0:%I3=1",
                     "--scans", std::to_string(c.tick + 5), "--watch", "plant:awarie"});
        ASSERT_EQ(run.status, 0) << c.plant << run.err;
        const std::vector<std::string> out = lines(run.out);
        const auto fault = std::find(out.begin(), out.end(), c.faultLine);
        ASSERT_NE(fault, out.end()) << c.faultLine;
        EXPECT_EQ(std::count_if(out.begin(), out.end(),
                                [](const std::string& line) { return line.rfind("! ", 0) == 0; }),
                  1)
            << c.faultLine;
        ASSERT_NE(fault + 1, out.end());
        EXPECT_EQ(fault[1].substr(0, fault[1].find(' ')), std::to_string(c.tick));
        EXPECT_NE(fault[1].find(" plant:awarie=1"), std::string::npos) << fault[1];
        EXPECT_NE(fault[-1].find(" plant:awarie=0"), std::string::npos) << fault[-1];
    }
}

TEST(CliPlantTest, TheMachineRunsWithForcesStopAndPowerMap) {
    const TempFolder folder("wirtualon-plant-options");
    // %Q1 = NOT %I2: pump until the high switch.
    std::vector<testing::LadderCell> cells = rungCells(0, "%I0002", "%Q0001");
    std::get<2>(cells[0]) = 2;
    const std::string program = saveLadder(folder.path() / "pump.jar", cells);
    // The forced high switch stops the pump from tick 3 to 5. The stop at 8 runs a last scan
    // with the pump on, and the power-down switches it off for STOP I/O SCAN.
    const ToolRun run =
        runTool({"run", program, "--plant", "zbiornik", "--scans", "10", "--power", "--force",
                 "3:%I2=1", "--release", "6:%I2", "--stop", "8", "--watch", "plant:poziom_ml"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> ticks;
    for (const std::string& line : lines(run.out)) {
        if (line.rfind("  w", 0) != 0) {
            ticks.push_back(line);
        } else if (line.rfind("  w1:", 0) == 0) {
            ticks.back() += " |" + line.substr(6);
        }
    }
    const std::vector<std::string> expected = {
        "0 t=0 Q=1 AQ1=0 AQ2=0 plant:poziom_ml=0 |##########",
        "1 t=20 Q=1 AQ1=0 AQ2=0 plant:poziom_ml=40 |##########",
        "2 t=40 Q=1 AQ1=0 AQ2=0 plant:poziom_ml=80 |##########",
        "3 t=60 Q=0 AQ1=0 AQ2=0 plant:poziom_ml=120 |----------",
        "4 t=80 Q=0 AQ1=0 AQ2=0 plant:poziom_ml=120 |----------",
        "5 t=100 Q=0 AQ1=0 AQ2=0 plant:poziom_ml=120 |----------",
        "6 t=120 Q=1 AQ1=0 AQ2=0 plant:poziom_ml=120 |##########",
        "7 t=140 Q=1 AQ1=0 AQ2=0 plant:poziom_ml=160 |##########",
        "8 t=160 Q=0 AQ1=0 AQ2=0 plant:poziom_ml=200 |##########",
        "9 t=180 Q=0 AQ1=0 AQ2=0 plant:poziom_ml=200 |##########",
    };
    EXPECT_EQ(ticks, expected);
}

TEST(CliPlantTest, ScenarioExpectsQuantitiesAndReportsFaultsWithoutFailingOnThem) {
    const TempFolder folder("wirtualon-plant-scenario");
    ladder(folder, {{"%I0003", "%Q0001"}});
    const std::string passing = folder.write("passing.scenario",
                                             "program wrong.jar\n"
                                             "PLANT zbiornik\n"
                                             "at 0 set %I3=1\n"
                                             "at 2600 expect plant:przelane_ml = 4000\n"
                                             "at 2600 expect plant:poziom_ml>=100000\n");
    const std::string failing = folder.write("failing.scenario",
                                             "program wrong.jar\n"
                                             "at 2600 expect plant:awarie = 0\n"
                                             "plant zbiornik\n"
                                             "at 0 set %I3=1\n");
    const std::string report = (folder.path() / "report.xml").string();
    const ToolRun run = runTool({"test", passing, failing, "--junit", report});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, failing +
                           ":2: at 2600 expected plant:awarie = 0, got 1\n"
                           "2 scenarios, 3 expectations, 1 failed\n");
    std::ifstream in(report);
    std::stringstream stream;
    stream << in.rdbuf();
    const std::string xml = stream.str();
    const std::string faults = "Awarie obiektu: 1\n! 2501 t=50001 zbiornik: Przelanie zbiornika";
    EXPECT_NE(xml.find("<failure message=\"at 2600 expected plant:awarie = 0, got 1\" "
                       "type=\"expectation\">" +
                       failing + ":2: at 2600 expected plant:awarie = 0, got 1\n" + faults +
                       "</failure>\n      <system-out>" + faults + "</system-out>"),
              std::string::npos)
        << xml;
    // The passing scenario shows its fault too, without a failure.
    EXPECT_NE(xml.find("classname=\"passing\" time=\""), std::string::npos);
    EXPECT_EQ(std::count(xml.begin(), xml.end(), '!'), 3) << xml;
}

TEST(CliPlantTest, BadMachineArgumentsAreRefusedBeforeAnythingRuns) {
    const TempFolder folder("wirtualon-plant-refusals");
    const std::string program = ladder(folder, {{"%I0003", "%Q0001"}});
    const std::string words = folder.write("words.txt", "-1 -10 0 0 -7 3 -11 0 0 -255");
    struct Case {
        std::vector<std::string> args;
        const char* problem;
    };
    const Case runs[] = {
        {{"--plant", "Zbiornik"},
         "nieznany obiekt w --plant: Zbiornik (znane: zbiornik, przenosnik, skrzyzowanie, brama)"},
        {{"--plant", "brama", "--plant", "brama"},
         "podano więcej niż jeden obiekt (--plant): brama"},
        {{"--watch", "plant:pozycja"}, "plant:pozycja wymaga obiektu (--plant NAZWA)"},
        {{"--plant", "brama", "--watch", "plant:poziom_ml"},
         "obiekt brama nie ma wielkości poziom_ml (ma: pozycja, awarie)"},
        {{"--plant", "zbiornik", "--set", "0:%AI1=5"},
         "%AI0001 ustawia obiekt zbiornik (przetwornik poziomu): --set nic by nie zmienił, "
         "przytrzyma je tylko --force"},
    };
    for (const Case& c : runs) {
        std::vector<std::string> args = {"run", program};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 2) << c.problem;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(lines(run.err).at(0), std::string("wirtualon-cli run: ") + c.problem);
    }
    const ToolRun words_run = runTool({"run", words, "--plant", "zbiornik"});
    EXPECT_EQ(words_run.status, 2);
    EXPECT_EQ(words_run.out, "");
    EXPECT_EQ(
        words_run.err,
        "wirtualon-cli run: --plant wymaga programu w postaci drabinkowej (.jar): " + words + "\n");

    const Case scenarios[] = {
        {{"plant zbiornik\nprogram wrong.jar\n"},
         ":1: pierwszą instrukcją musi być program NAZWA.jar"},
        {{"program wrong.jar\nplant brama\nplant brama\n"}, ":3: drugi plant w jednym scenariuszu"},
        {{"program wrong.jar\nplant tank\n"},
         ":2: nieznany obiekt w plant: tank (znane: zbiornik, przenosnik, skrzyzowanie, brama)"},
        {{"program wrong.jar\nat 5 expect plant:awarie = 0\n"},
         ":2: plant:awarie wymaga obiektu (plant NAZWA)"},
        {{"program wrong.jar\nat 5 expect plant:kolejka = 0\nplant skrzyzowanie\n"},
         ":2: obiekt skrzyzowanie nie ma wielkości kolejka (ma: kolejka_aut, czekajacy_piesi, "
         "przejechalo, przeszlo, awarie)"},
        {{"program wrong.jar\nat 0 set %I2=1\nplant przenosnik\n"},
         ":2: %I0002 ustawia obiekt przenosnik (pojemnik pełny): set nic by nie zmienił"},
        {{"program words.txt\nplant zbiornik\n"},
         ":2: plant wymaga programu w postaci drabinkowej (.jar): words.txt"},
    };
    for (const Case& c : scenarios) {
        const std::string file = folder.write("bad.scenario", c.args[0]);
        const ToolRun run = runTool({"test", file});
        EXPECT_EQ(run.status, 2) << c.problem;
        EXPECT_EQ(run.err, file + c.problem + "\n");
    }
}

}  // namespace
}  // namespace cli
