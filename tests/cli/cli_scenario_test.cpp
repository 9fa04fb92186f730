// The test subcommand end to end, in process: scenario files and their programs in temporary
// folders, the exact failure lines, summary, exit status and JUnit report.
#include "tests/cli/cli_test_helpers.h"

#include "app/cli/junit_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace cli {
namespace {

namespace fs = std::filesystem;

// LOAD %I0001, -( )- %Q0001.
constexpr const char* kRung = "-1 -10 0 0 -7 3 -11 0 0 -255";
// LOAD %I0001, TMR of 10 ms units with PV 2 and register %R0001, -( )- %Q0002.
constexpr const char* kTimer =
    "-1 -10 0 0 -8 18 -100 0 -46 -18 0 0 -18 2 0 -18 4 0 -25 2 -18 0 0 -18 2 0 -18 4 0 "
    "-7 3 -11 0 1 -255";
// LABEL 0, LOAD %S0007, JUMP 0: a scan that never ends.
constexpr const char* kLoop = "-9 74 0 -1 -12 0 6 -9 73 0 -255";

using testing::ToolRun;

class ScenarioTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text) {
        return m_folder.write(name, text);
    }

    ToolRun test(const std::vector<std::string>& files) {
        std::vector<std::string> args = {"test"};
        args.insert(args.end(), files.begin(), files.end());
        return testing::runTool(args);
    }

    // A scenario on the rung program beside it.
    ToolRun rungScenario(const std::string& statements) {
        write("rung.txt", kRung);
        return test({write("s.scenario", "program rung.txt\n" + statements)});
    }

    const testing::TempFolder m_folder{"wirtualon-scenario"};
    const fs::path m_dir = m_folder.path();
};

TEST_F(ScenarioTest, EveryComparisonHoldsExactlyAsWritten) {
    struct Case {
        const char* op;
        bool less, equal, greater;  // holds when the value is below, at, above the expected one
    };
    const Case cases[] = {{"=", false, true, false}, {"==", false, true, false},
                          {"!=", true, false, true}, {"<", true, false, false},
                          {"<=", true, true, false}, {">", false, false, true},
                          {">=", false, true, true}};
    for (const Case& c : cases) {
        for (const int expected : {-5, -4, -3}) {
            const bool holds = expected > -4 ? c.less : expected == -4 ? c.equal : c.greater;
            // The blanks around the operator are optional.
            const ToolRun run = rungScenario("at 1 set %R7=-4\nat 1 expect %R7" +
                                             std::string(c.op) + std::to_string(expected) + "\n");
            const std::string shown = std::string(c.op) == "==" ? "=" : c.op;
            EXPECT_EQ(run.status, holds ? 0 : 1) << c.op << ' ' << expected << run.err;
            EXPECT_EQ(run.out, (holds ? ""
                                      : m_dir.string() + "/s.scenario:3: at 1 expected %R0007 " +
                                            shown + ' ' + std::to_string(expected) + ", got -4\n") +
                                   "1 scenarios, 1 expectations, " + (holds ? "0" : "1") +
                                   " failed\n")
                << c.op << ' ' << expected;
        }
    }
}

TEST_F(ScenarioTest, FailuresNameFileLineTickAndValuesInTheOrderTheyHappen) {
    write("rung.txt", kRung);
    const std::string file = write("s.scenario",
                                   "# the rung follows its input\n"
                                   "program rung.txt   # beside the scenario\n"
                                   "\n"
                                   "at 5 expect %Q1 = 0\r\n"
                                   "AT 2 SET %i1=1\n"
                                   "at 2 expect %Q0001 = 0\n"
                                   "  at 2 expect 1q != 0   \n"
                                   "at 3 expect %R1:WORD >= 1\n");
    const ToolRun run = test({file});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, file + ":6: at 2 expected %Q0001 = 0, got 1\n" + file +
                           ":8: at 3 expected %R0001:WORD >= 1, got 0\n" + file +
                           ":4: at 5 expected %Q0001 = 0, got 1\n" +
                           "1 scenarios, 4 expectations, 3 failed\n");
}

TEST_F(ScenarioTest, SetHoldsPanelInputsAndWritesOtherOperandsOnceAsRunDoes) {
    const ToolRun run = rungScenario(
        "at 1 set %Q1=1\n"  // the scan rewrites the coil at once
        "at 1 expect %Q1 = 0\n"
        "at 1 set %M9=1\n"  // nothing writes it: it stays
        "at 4 expect %M9 = 1\n"
        "at 2 set %I1=1\n"  // held from its tick on
        "at 4 expect %Q1 = 1\n"
        "at 3 set %AI2=-300\n"
        "at 4 expect %AI2 = -300\n");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "1 scenarios, 4 expectations, 0 failed\n");
}

TEST_F(ScenarioTest, StopPowersDownAndEndsTheScans) {
    const ToolRun run = rungScenario(
        "at 0 set %I1=1\n"
        "at 1 expect %Q1 = 1\n"
        "at 2 stop\n"
        "at 2 expect %Q1 = 0\n"
        "at 3 set %M1=1\n"
        "at 4 expect %Q1 = 0\n");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
}

TEST_F(ScenarioTest, TickSetsTheSimulatedTimeBetweenTicks) {
    // The timer's PV of two 10 ms units is reached at tick 2 at 10 ms a tick, at tick 4 at 5 ms.
    write("timer.txt", kTimer);
    const std::string expectations =
        "at 0 set %I1=1\n"
        "at 1 expect %Q2 = 0\n"
        "at 2 expect %Q2 = 1\n"
        "at 3 expect %R1 = 3\n";
    const std::string fast = write("fast.scenario", "program timer.txt\ntick 10\n" + expectations);
    const std::string slow = write("slow.scenario", "program timer.txt\ntick 5\n" + expectations);
    const ToolRun run = test({fast, slow});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, slow + ":5: at 2 expected %Q0002 = 1, got 0\n" + slow +
                           ":6: at 3 expected %R0001 = 3, got 1\n" +
                           "2 scenarios, 6 expectations, 2 failed\n");
}

TEST_F(ScenarioTest, ProgramIsFoundBesideTheScenarioWhereverTheToolRuns) {
    write("plant/programs/rung.txt", kRung);
    write("plant/shared.txt", kRung);
    const std::string absolute = write("elsewhere/abs.txt", kRung);
    const std::string statements = "at 0 set %I1=1\nat 0 expect %Q1 = 1\n";
    write("plant/a.scenario", "program programs/rung.txt\n" + statements);
    write("plant/programs/b.scenario", "program ../shared.txt\n" + statements);
    write("plant/c.scenario", "program " + absolute + "\n" + statements);
    const fs::path before = fs::current_path();
    fs::current_path(m_dir);
    const ToolRun run =
        test({"plant/a.scenario", "plant/programs/b.scenario", "./plant/c.scenario"});
    fs::current_path(before);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3 scenarios, 3 expectations, 0 failed\n");
}

TEST_F(ScenarioTest, LadderThatBreaksARuleFailsItsScenarioAtTheProgramLine) {
    testing::saveLadder(m_dir / "broken.jar", {{0, 0, 1, "#A%I0001#"}, {6, 1, 1, ""}});
    ASSERT_FALSE(HasFailure());
    const std::string file = write("s.scenario", "\nprogram broken.jar\nat 1 expect %Q1 = 0\n");
    const ToolRun run = test({file});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, file + ":2: Błąd 4 (w7k2): Brak opisu elementu\n" +
                           "1 scenarios, 1 expectations, 1 failed\n");
}

TEST_F(ScenarioTest, WatchdogFailsTheScenarioAtItsTickAndEndsTheRun) {
    write("loop.txt", kLoop);
    const std::string file =
        write("s.scenario", "program loop.txt\nat 0 expect %Q1 = 1\nat 3 expect %Q1 = 1\n");
    const ToolRun run = test({file});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, file + ":1: at 0 WATCHDOG\n1 scenarios, 2 expectations, 1 failed\n");
}

struct BadScenario {
    std::string name;
    std::string text;
    std::string problem;  // after "FILE:"
};

void PrintTo(const BadScenario& c, std::ostream* os) {
    *os << c.name;
}

class BadScenarioTest : public ScenarioTest, public ::testing::WithParamInterface<BadScenario> {};

TEST_P(BadScenarioTest, IsRefusedWithItsLineAndNothingRuns) {
    write("rung.txt", kRung);
    const std::string file = write("s.scenario", GetParam().text);
    const ToolRun run = test({file});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, file + GetParam().problem + "\n");
    EXPECT_EQ(run.out, "1 scenarios, 0 expectations, 0 failed\n");
}

INSTANTIATE_TEST_SUITE_P(
    Scenario, BadScenarioTest,
    ::testing::Values(
        BadScenario{"Empty", "# nothing\n\n", ": brak instrukcji program NAZWA.jar"},
        BadScenario{"ProgramNotFirst", "tick 10\nprogram rung.txt\n",
                    ":1: pierwszą instrukcją musi być program NAZWA.jar"},
        BadScenario{"SecondProgram", "program rung.txt\nprogram rung.txt\n",
                    ":2: drugi program w jednym scenariuszu"},
        BadScenario{"ProgramMissing", "program\n", ":1: brak nazwy pliku po program"},
        BadScenario{"TickZero", "program rung.txt\ntick 0\n",
                    ":2: tick wymaga długości cyklu 1..60000 ms"},
        BadScenario{"TickPastTheLimit", "program rung.txt\n\nat 10000001 stop\n",
                    ":3: at wymaga numeru cyklu 0..10000000: \"10000001\""},
        BadScenario{"UnknownVerb", "program rung.txt\nat 1 press %I1\n",
                    ":2: po at 1 oczekiwano set, expect lub stop: \"press\""},
        BadScenario{"UnknownStatement", "program rung.txt\nwait 5\n",
                    ":2: nieznana instrukcja \"wait\" (program, tick, at)"},
        BadScenario{"SecondStop", "program rung.txt\nat 1 stop\nat 2 stop\n",
                    ":3: drugi stop w jednym scenariuszu"},
        BadScenario{"SetWithoutValue", "program rung.txt\nat 1 set %I1\n",
                    ":2: set wymaga postaci OPERAND=WARTOŚĆ"},
        BadScenario{"SetUnknownOperand", "program rung.txt\nat 1 set %X1=1\n",
                    ":2: nieznany operand w set (%I, %Q, %M, %T, %G, %S, %AI, %AQ, %R w ich "
                    "zakresach): %X1"},
        BadScenario{"ExpectWithoutOperator", "program rung.txt\nat 1 expect %Q1 1\n",
                    ":2: expect wymaga postaci OPERAND[:TYP] OP WARTOŚĆ, OP to =, !=, <, <=, "
                    ">, >="},
        BadScenario{"ExpectUnknownType", "program rung.txt\nat 1 expect %R1:REAL = 1\n",
                    ":2: nieznany typ w expect (BIT, BYTE, WORD, INT, DINT, BCD4): REAL"},
        BadScenario{"ExpectValueOutsideItsType", "program rung.txt\nat 1 expect %R1:INT < 32768\n",
                    ":2: wartość poza zakresem -32768..32767 dla %R0001:INT: 32768"},
        BadScenario{"ExpectValueNoNumber", "program rung.txt\nat 1 expect %Q1 = on\n",
                    ":2: wartość dla %Q0001 nie jest liczbą: \"on\""},
        BadScenario{"ExpectValueBeyondAnyNumber",
                    "program rung.txt\nat 1 expect %R1 = -99999999999999999999999\n",
                    ":2: wartość poza zakresem -32768..32767 dla %R0001: -99999999999999999999999"},
        // Polish letters are quoted as text; bytes that are no text, and quotes, as escapes.
        BadScenario{"LetterOutsideAscii", "program rung.txt\nat 1 expect %Q1 = 1 \xC5\xBC\n",
                    ":2: niedozwolony znak w \"\xC5\xBC\""},
        BadScenario{"PolishWordCutAfterSixteenLetters",
                    "program rung.txt\nat 1 set %I1=naciśnięty_przycisk\n",
                    ":2: niedozwolony znak w \"%I1=naciśnięty_p...\""},
        BadScenario{"ByteThatIsNoText", "program rung.txt\nat 1 set %I1=\"\xFF\xC5\"\n",
                    ":2: niedozwolony znak w \"%I1=\\x22\\xFF\\xC5\\x22\""}),
    [](const auto& p) { return p.param.name; });

TEST_F(ScenarioTest, UnreadableProgramNamesItsPath) {
    const std::string file = write("s.scenario", "program sub/nowhere.jar\n");
    const ToolRun run = test({file});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              file + ":1: Nie można odczytać pliku " + (m_dir / "sub/nowhere.jar").string() + "\n");
}

TEST_F(ScenarioTest, BadFileDoesNotKeepTheOthersFromRunning) {
    write("rung.txt", kRung);
    const std::string failing = write("f.scenario", "program rung.txt\nat 0 expect %Q1 = 1\n");
    const std::string passing = write("p.scenario", "program rung.txt\nat 0 expect %Q1 = 0\n");
    const std::string missing = (m_dir / "missing.scenario").string();
    const ToolRun run = test({failing, missing, passing});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, missing + ": nie można odczytać pliku scenariusza\n");
    EXPECT_EQ(run.out, failing + ":2: at 0 expected %Q0001 = 1, got 0\n" +
                           "3 scenarios, 2 expectations, 1 failed\n");
}

TEST_F(ScenarioTest, JunitReportHasACasePerScenarioAndAFailurePerFailure) {
    write("rung.txt", kRung);
    const std::string passing = write("p.scenario", "program rung.txt\nat 0 expect %Q1 = 0\n");
    const std::string failing = write("a&b<c>.scenario",
                                      "program rung.txt\nat 0 expect %Q1 = 1\n"
                                      "at 1 expect %Q1 != 0\nat 1 expect %Q1 < 1\n");
    const std::string broken = write("x.scenario", "program rung.txt\nat 1 set %I1=\"1\"\n");
    const std::string report = (m_dir / "report.xml").string();
    const ToolRun run = test({passing, failing, broken, "--junit", report});
    EXPECT_EQ(run.status, 2);
    std::ifstream in(report);
    std::stringstream xml;
    xml << in.rdbuf();
    const std::string times =
        std::regex_replace(xml.str(), std::regex("time=\"[0-9]+\\.[0-9]{3}\""), "time=\"T\"");
    const std::string dir = m_dir.string();
    const std::string escaped = dir + "/a&amp;b&lt;c&gt;.scenario";
    EXPECT_EQ(
        times,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<testsuites name=\"wirtualon-cli test\" tests=\"3\" failures=\"1\" errors=\"1\" "
        "time=\"T\">\n"
        "  <testsuite name=\"scenarios\" tests=\"3\" failures=\"1\" errors=\"1\" time=\"T\" "
        "skipped=\"0\">\n"
        "    <testcase name=\"" +
            dir +
            "/p.scenario\" classname=\"p\" time=\"T\"/>\n"
            "    <testcase name=\"" +
            escaped +
            "\" classname=\"a&amp;b&lt;c&gt;\" time=\"T\">\n"
            "      <failure message=\"at 0 expected %Q0001 = 1, got 0\" type=\"expectation\">" +
            escaped +
            ":2: at 0 expected %Q0001 = 1, got 0</failure>\n"
            "      <failure message=\"at 1 expected %Q0001 != 0, got 0\" type=\"expectation\">" +
            escaped +
            ":3: at 1 expected %Q0001 != 0, got 0</failure>\n"
            "    </testcase>\n"
            "    <testcase name=\"" +
            dir +
            "/x.scenario\" classname=\"x\" time=\"T\">\n"
            "      <error message=\"" +
            dir +
            "/x.scenario:2: wartość dla %I0001 nie jest "
            "liczbą: &quot;1&quot;\">" +
            dir +
            "/x.scenario:2: wartość dla %I0001 nie jest "
            "liczbą: &quot;1&quot;</error>\n"
            "    </testcase>\n"
            "  </testsuite>\n"
            "</testsuites>\n");
}

TEST_F(ScenarioTest, ReportThatCannotBeWrittenIsBadInput) {
    write("rung.txt", kRung);
    const std::string passing = write("p.scenario", "program rung.txt\n");
    const ToolRun run = test({passing, "--junit=" + (m_dir / "no/such/dir/r.xml").string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "Nie można zapisać raportu " + (m_dir / "no/such/dir/r.xml").string() + "\n");
}

TEST(XmlEscapedTest, KeepsWellFormedUtf8AndReplacesWhatXmlCannotHold) {
    const std::pair<std::string, std::string> cases[] = {
        {"Żółw & <tag attr='x' \"y\">", "Żółw &amp; &lt;tag attr=&apos;x&apos; &quot;y&quot;&gt;"},
        {"a\tb\nc\rd", "a\tb\nc\rd"},
        {std::string("nul\0bell\a", 9),
         "nul\xEF\xBF\xBD"
         "bell\xEF\xBF\xBD"},
        {"cp1250 \xBF\xF3\xB3", "cp1250 \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"cut \xC5", "cut \xEF\xBF\xBD"},
        {"overlong \xC0\xAF surrogate \xED\xA0\x80",
         "overlong \xEF\xBF\xBD\xEF\xBF\xBD surrogate "
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"emoji \xF0\x9F\x98\x80", "emoji \xF0\x9F\x98\x80"},
    };
    for (const auto& [text, escaped] : cases) {
        EXPECT_EQ(xmlEscaped(text), escaped) << text;
    }
}

}  // namespace
}  // namespace cli
