// The command-line tool end to end, in process: ladder files written by the program-file saver
// into temporary folders, exact output and exit status of every subcommand.
#include "tests/cli/cli_test_helpers.h"

#include "document/editing.h"
#include "document/element_catalogue.h"
#include "document/ladder_document.h"
#include "document/program_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace cli {
namespace {

namespace fs = std::filesystem;

using testing::LadderCell;
using testing::runTool;
using testing::ToolRun;

class CliTest : public ::testing::Test {
protected:
    // Saves a ladder of `rows` rows; `cells` are (row, col, code, text).
    std::string saveLadder(const std::string& name, const std::vector<LadderCell>& cells,
                           int rows = 10) {
        return testing::saveLadder(m_dir / name, cells, rows);
    }

    // Contact %I0001 in column 0, wires, a coil of `kind` on %Q0001.
    std::string simpleRung(int kind = 3) {
        return saveLadder("rung.jar", testing::rungCells(0, "%I0001", "%Q0001", kind));
    }

    std::string writeText(const std::string& name, const std::string& text) {
        return m_folder.write(name, text);
    }

    const testing::TempFolder m_folder{"wirtualon-cli"};
    const fs::path m_dir = m_folder.path();
};

TEST_F(CliTest, CheckAcceptsASoundProgram) {
    const ToolRun run = runTool({"check", simpleRung()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Program poprawny\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(CliTest, CheckPrintsTheRemarksAfterItsVerdict) {
    // Two TMRs a register apart, as in a star-delta starter drawn in haste.
    std::vector<LadderCell> cells;
    for (const auto& [row, reg] : {std::pair{0, "%R0001"}, std::pair{2, "%R0002"}}) {
        cells.emplace_back(row, 0, 1, "#A%I0001#");
        cells.emplace_back(row, 1, 418, "#NTMR#");
        cells.emplace_back(row + 1, 1, 818, std::string("#LPV#G") + reg + "#T1.00s#");
        cells.emplace_back(row + 1, 0, 0, "#S+00005#");
        for (int col = 2; col < 9; ++col) {
            cells.emplace_back(row, col, 7, "");
        }
        cells.emplace_back(row, 9, 3, row == 0 ? "#A%Q0001#" : "#A%Q0002#");
    }
    const ToolRun run = runTool({"check", saveLadder("gwiazda.jar", cells)});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "Program poprawny\n"
              "Uwaga (w3k2): Rejestry %R0002..%R0004 bloku TMR pokrywają się z rejestrami "
              "%R0001..%R0003 bloku TMR w w1k2\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(CliTest, ListPrintsTheInstructionListView) {
    const ToolRun run = runTool({"list", simpleRung()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "  POSTAĆ PROGRAMU\n  W FORMACIE LISTY\n     INSTRUKCJI\n\n"
              "-----------------------------------\n"
              "   LOAD        %I0001\n   = (3) %Q0001\n-----------------------------------\n");
}

TEST_F(CliTest, ProgramPrintsTheInterpreterViewWithItsClosingLines) {
    const ToolRun run = runTool({"program", simpleRung()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              " POSTAĆ PROGRAMU\n  W FORMACIE DLA\n   INTERPRETERA\n\n"
              "-----------------------------------\n"
              "   0:  -1\n   1:  -10\n   2:  0\n   3:  0\n   4:  -7\n   5:  3\n   6:  -11\n"
              "   7:  0\n   8:  0\n   9:  -255\n-----------------------------------\n\n");
}

TEST_F(CliTest, TranslationErrorIsReportedByEveryTranslatingCommand) {
    const std::string file = saveLadder("broken.jar", {{0, 0, 1, "#A%I0001#"}, {6, 1, 1, ""}});
    for (const std::string command : {"check", "list", "program", "run"}) {
        const ToolRun run = runTool({command, file});
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_EQ(run.out, "Błąd 4 (w7k2): Brak opisu elementu\n") << command;
    }
}

TEST_F(CliTest, AnalysePrintsBothViewsBetweenTheirSeparator) {
    std::string walk;
    for (int col = 8; col >= 0; --col) {
        walk += "w:0 k:" + std::to_string(col) + " lewo \n";
    }
    const std::string segment = "Odcinek 0 p:0 k:-1s:1 opis:   LOAD         %I0001\n";
    const std::string tables = "Węzeł nr0  w:0 k:9\n" + segment;
    const fs::path before = fs::current_path();
    fs::current_path(m_dir);
    const ToolRun run = runTool({"analyse", simpleRung()});
    fs::current_path(before);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "w:0 k:9 Początek w:0 k:9\n" + walk + walk +
                           " - Postać sformatowana -\n   LOAD         %I0001\n=====\n" + tables +
                           " - Postać ostateczna węzłów  i odcinki -\n" + tables +
                           " - Postać ostateczna -\n" + segment);
    EXPECT_FALSE(fs::exists(m_dir / "EMU.txt"));
}

TEST_F(CliTest, UnreadableFilesAreBadInput) {
    const std::string missing = (m_dir / "missing.jar").string();
    const std::string garbage = writeText("garbage.jar", "this is not a ladder");
    for (const std::string& file : {missing, garbage}) {
        for (const std::string command : {"check", "analyse"}) {
            const ToolRun run = runTool({command, file});
            EXPECT_EQ(run.status, 2) << command << ' ' << file;
            EXPECT_EQ(run.out, "") << command << ' ' << file;
            EXPECT_NE(run.err, "") << command << ' ' << file;
        }
    }
    const ToolRun run = runTool({"run", (m_dir / "missing.txt").string()});
    EXPECT_EQ(run.status, 2);
}

struct BadArgs {
    std::string name;
    std::vector<std::string> args;
};

void PrintTo(const BadArgs& c, std::ostream* os) {
    *os << c.name;
}

class CliBadArgumentsTest : public CliTest, public ::testing::WithParamInterface<BadArgs> {};

TEST_P(CliBadArgumentsTest, AreRefusedWithStatusTwo) {
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args) {
        if (arg == "PROGRAM") {
            arg = simpleRung();
        }
    }
    const ToolRun run = runTool(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliBadArgumentsTest,
    ::testing::Values(BadArgs{"NoArguments", {}},
                      BadArgs{"UnknownCommand", {"simulate", "PROGRAM"}},
                      BadArgs{"CheckWithoutFile", {"check"}},
                      BadArgs{"CheckWithTwoFiles", {"check", "PROGRAM", "PROGRAM"}},
                      BadArgs{"AnalyseWithoutFile", {"analyse"}},
                      BadArgs{"UnknownOption", {"run", "PROGRAM", "--fast"}},
                      BadArgs{"MissingValue", {"run", "PROGRAM", "--scans"}},
                      BadArgs{"NegativeScans", {"run", "PROGRAM", "--scans", "-1"}},
                      BadArgs{"SetPastTheLastTick", {"run", "PROGRAM", "--set", "1:%Q1=1"}},
                      BadArgs{"SetOfASystemMaintainedBit", {"run", "PROGRAM", "--set", "0:%S7=0"}},
                      BadArgs{"SetBeyondItsArea", {"run", "PROGRAM", "--set", "0:%R513=1"}},
                      BadArgs{"WordSetOutOfRange", {"run", "PROGRAM", "--set", "0:%R1=65536"}},
                      BadArgs{"BitValueTwo", {"run", "PROGRAM", "--set", "0:%I1=2"}},
                      BadArgs{"AnalogOutOfRange", {"run", "PROGRAM", "--set", "0:%AI2=32768"}},
                      BadArgs{"TwoSigns", {"run", "PROGRAM", "--set", "0:%AI1=+-5"}},
                      BadArgs{"TickWithTwoSigns", {"run", "PROGRAM", "--tick", "+-5"}},
                      BadArgs{"SetWithoutTick", {"run", "PROGRAM", "--set", "%I1=1"}},
                      BadArgs{"UnknownWatchOperand", {"run", "PROGRAM", "--watch", "%X1"}},
                      BadArgs{"WatchBeyondItsArea", {"run", "PROGRAM", "--watch", "%R0513"}},
                      BadArgs{"UnknownWatchType", {"run", "PROGRAM", "--watch", "%R1:REAL"}},
                      BadArgs{"NoProgram", {"run", "--scans", "2"}},
                      BadArgs{"TestWithoutScenario", {"test"}},
                      BadArgs{"TestJunitWithoutFile", {"test", "PROGRAM", "--junit"}},
                      BadArgs{"TestUnknownOption", {"test", "PROGRAM", "--fast"}}),
    [](const auto& p) { return p.param.name; });

TEST_F(CliTest, RunPrintsOneLinePerTickWithHeldInputs) {
    const ToolRun run = runTool({"run", simpleRung(), "--scans", "4", "--set", "1:%i1=1", "--set",
                                 "3:1I=0", "--watch", "%I1", "--watch", "%r1"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "0 t=0 Q=0 AQ1=0 AQ2=0 %I0001=0 %R0001=0\n"
              "1 t=20 Q=1 AQ1=0 AQ2=0 %I0001=1 %R0001=0\n"
              "2 t=40 Q=1 AQ1=0 AQ2=0 %I0001=1 %R0001=0\n"
              "3 t=60 Q=0 AQ1=0 AQ2=0 %I0001=0 %R0001=0\n");
}

TEST_F(CliTest, RunReadsAnInterpreterProgramFromText) {
    // LOAD %S0007 (always 1), MOVE INT of LEN 1 from %AI0001 to %AQ0002.
    const std::string file = writeText("move.txt",
                                       "-1 -12 0 6,\r\n-8, 45, -100, -43, -26, 1, -16, 0, 0, "
                                       "-17, 2, 0\n-255\n");
    const ToolRun run = runTool({"run", file, "--scans=2", "--tick=5", "--set", "1:%AI1=-5",
                                 "--watch", "%AQ2:WORD", "--watch", "%S7"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "0 t=0 Q=0 AQ1=0 AQ2=0 %AQ0002=0 %S0007=1\n"
              "1 t=5 Q=0 AQ1=0 AQ2=-5 %AQ0002=65531 %S0007=1\n");
}

TEST_F(CliTest, ShortTextProgramGetsItsEdgeAndTimerTables) {
    // Eleven words of a -(^)- coil on %Q0001, then a TMR of 10 ms units, PV 2, register %R0001,
    // driving %Q0002: far fewer words than the 64 table entries a text program is given.
    const std::string file = writeText(
        "tables.txt",
        "-1 -10 0 0 -7 15 0 -11 0 0\n"
        "-1 -10 0 0 -8 18 -100 0 -46 -18 0 0 -18 2 0 -18 4 0 -25 2 -18 0 0 -18 2 0 -18 4 0\n"
        "-7 3 -11 0 1 -255\n");
    const ToolRun run = runTool(
        {"run", file, "--scans", "5", "--tick", "10", "--set", "1:%I1=1", "--watch", "%R1"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "0 t=0 Q=0 AQ1=0 AQ2=0 %R0001=0\n"
              "1 t=10 Q=1 AQ1=0 AQ2=0 %R0001=0\n"
              "2 t=20 Q=0 AQ1=0 AQ2=0 %R0001=1\n"
              "3 t=30 Q=2 AQ1=0 AQ2=0 %R0001=2\n"
              "4 t=40 Q=2 AQ1=0 AQ2=0 %R0001=3\n");
}

struct MalformedText {
    std::string name;
    std::string text;
    std::string problem;
};

void PrintTo(const MalformedText& c, std::ostream* os) {
    *os << c.name;
}

class CliMalformedProgramTest : public CliTest,
                                public ::testing::WithParamInterface<MalformedText> {};

TEST_P(CliMalformedProgramTest, IsRefusedBeforeTheFirstTickNamingTheWord) {
    const std::string file = writeText("bad.txt", GetParam().text);
    const ToolRun run = runTool({"run", file, "--scans", "3"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Plik " + file + " nie jest plikiem programu ani programem interpretera: " +
                           GetParam().problem + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliMalformedProgramTest,
    ::testing::Values(
        MalformedText{"UnknownInstruction", "-9999 -255",
                      "słowo nr 0 (-9999): nieznany kod instrukcji"},
        MalformedText{"NoInstructionAtAll", "-10 -255",
                      "słowo nr 0 (-10): nieznany kod instrukcji"},
        MalformedText{"CutOff", "-1 -10 0 -255",
                      "słowo nr 0 (-1): instrukcja urwana: jej słowa sięgają poza koniec programu"},
        MalformedText{"AddressOutsideItsArea", "-1 -10 99999 99999 -255",
                      "słowo nr 2 (99999): adres poza obszarem pamięci"},
        MalformedText{"BinaryBytes", std::string("\x01\0\0\0a\"b\xC6\n-255", 13),
                      "słowo nr 0 (\"\\x01\\x00\\x00\\x00a\\x22b\\xC6\") nie jest liczbą "
                      "całkowitą 32-bitową"},
        MalformedText{"ViewWithAWordLeftOut",
                      " POSTAĆ PROGRAMU\n  W FORMACIE DLA\n   INTERPRETERA\n\n---\n   0:  -9\n"
                      "   2:  -255\n---\n",
                      "wiersz 7: numer słowa 2 zamiast 1"}),
    [](const auto& p) { return p.param.name; });

TEST_F(CliTest, ProgramViewRunsAsItsLadderDoes) {
    // LOAD %I0001 and a -(^)- coil on %Q0001; a TMR of 10 ms units, preset 2, register
    // %R0001, enabled by %I0001: an edge table and a timer table.
    std::vector<LadderCell> cells = {
        {0, 0, 1, "#A%I0001#"}, {0, 9, 15, "#A%Q0001#"}, {1, 0, 1, "#A%I0001#"}};
    for (int col = 1; col <= 8; ++col) {
        cells.emplace_back(0, col, 7, "");
    }
    const std::string ladder = saveLadder("timer.jar", cells);
    document::LadderDocument doc;
    ASSERT_TRUE(document::programLoaded(document::LoadProgram(doc, ladder)));
    ASSERT_TRUE(document::PlaceBlock(doc, 18, 1, 1).changed());
    doc.SetBlockField(2, 1, 'T', "0.01s");
    doc.SetBlockField(2, 1, 'G', "%R0001");
    doc.SetCellText(2, 0, "#S+00002#");
    ASSERT_EQ(document::SaveProgram(doc, ladder), document::FileResult::Success);

    const ToolRun view = runTool({"program", ladder});
    ASSERT_EQ(view.status, 0) << view.out;
    const std::string text = writeText("timer.txt", view.out);
    const std::vector<std::string> options = {"--scans", "5",       "--tick",  "10",
                                              "--set",   "1:%I1=1", "--watch", "%R1"};
    std::vector<std::string> fromLadder = {"run", ladder};
    std::vector<std::string> fromText = {"run", text};
    fromLadder.insert(fromLadder.end(), options.begin(), options.end());
    fromText.insert(fromText.end(), options.begin(), options.end());
    const ToolRun first = runTool(fromLadder);
    const ToolRun second = runTool(fromText);
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(first.out, second.out);
    EXPECT_NE(first.out.find("4 t=40 Q=0 AQ1=0 AQ2=0 %R0001=3"), std::string::npos) << first.out;
}

TEST_F(CliTest, LadderIsKnownByItsContentWhateverItsName) {
    const std::string ladder = simpleRung();
    const std::string renamed = (m_dir / "rung.txt").string();
    fs::copy_file(ladder, renamed);
    fs::copy_file(ladder + ".str", renamed + ".str");
    const ToolRun run = runTool({"run", renamed, "--scans", "2", "--set", "1:%I1=1"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0 t=0 Q=0 AQ1=0 AQ2=0\n1 t=20 Q=1 AQ1=0 AQ2=0\n");
}

TEST_F(CliTest, SetPresetsRegistersAndMarkersOnceBeforeTheScan) {
    // LOAD %S0007; MOVE INT LEN 1 from %R0001 to %AQ0001; LOAD %M0001, -( )- %Q0001;
    // LOAD %I0002, -( )- %M0002.
    const std::string file = writeText("preset.txt",
                                       "-1 -12 0 6 -8 45 -100 -43 -26 1 -18 0 0 -17 0 0 "
                                       "-1 -15 0 0 -7 3 -11 0 0 -1 -10 0 1 -7 3 -15 0 1 -255");
    const ToolRun run = runTool({"run", file, "--scans", "4", "--set", "1:%R1=-1234", "--set",
                                 "2:%M1=1", "--set", "2:%m2=1", "--watch", "%M2"});
    EXPECT_EQ(run.status, 0) << run.err;
    // %M0002 is the program's own coil: the preset lasts only until the scan writes it.
    EXPECT_EQ(run.out,
              "0 t=0 Q=0 AQ1=0 AQ2=0 %M0002=0\n"
              "1 t=20 Q=0 AQ1=-1234 AQ2=0 %M0002=0\n"
              "2 t=40 Q=1 AQ1=-1234 AQ2=0 %M0002=0\n"
              "3 t=60 Q=1 AQ1=-1234 AQ2=0 %M0002=0\n");
}

TEST_F(CliTest, SetValueThatIsNoNumberSaysSo) {
    const ToolRun run = runTool({"run", simpleRung(), "--set", "0:%R1=abc"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("wirtualon-cli run: wartość dla %R0001 nie jest liczbą: abc\n", 0), 0u)
        << run.err;
}

TEST_F(CliTest, TextThatIsNoProgramIsBadInput) {
    for (const std::string text : {"-1 -10 0 0", "-1 x -255", "", "99999999999 -255", "+-5 -255"}) {
        const ToolRun run = runTool({"run", writeText("bad.txt", text)});
        EXPECT_EQ(run.status, 2) << text;
        EXPECT_NE(run.err, "") << text;
    }
}

TEST_F(CliTest, StopRunsTheLastScanAndThePowerDown) {
    // A plain coil loses its output at the power-down; a retentive one keeps it.
    for (const auto& [kind, afterStop] : {std::pair{3, 0}, std::pair{12, 1}}) {
        const ToolRun run =
            runTool({"run", simpleRung(kind), "--scans", "4", "--set", "0:%I1=1", "--stop", "2"});
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string q = std::to_string(afterStop);
        EXPECT_EQ(run.out, "0 t=0 Q=1 AQ1=0 AQ2=0\n1 t=20 Q=1 AQ1=0 AQ2=0\n2 t=40 Q=" + q +
                               " AQ1=0 AQ2=0\n3 t=60 Q=" + q + " AQ1=0 AQ2=0\n")
            << kind;
    }
}

TEST_F(CliTest, WatchdogEndsTheRun) {
    // LABEL 0, LOAD %S0007, JUMP 0: a loop that never leaves the scan.
    const std::string file = writeText("loop.txt", "-9 74 0 -1 -12 0 6 -9 73 0 -255");
    const ToolRun run = runTool({"run", file, "--scans", "5"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "0 t=0 Q=0 AQ1=0 AQ2=0 WATCHDOG\n");
}

TEST_F(CliTest, WatchTypesReadTheOperandsBytes) {
    // LOAD %S0007; MOVE INT LEN 1 of the constant 4660 (0x1234) into %R0001.
    const std::string file =
        writeText("const.txt", "-1 -12 0 6 -8 45 -100 -43 -26 1 -25 4660 -18 0 0 -255");
    const ToolRun run = runTool({"run", file, "--watch", "%R1", "--watch", "%R1:BCD4", "--watch",
                                 "%R1:BYTE", "--watch", "%R1:DINT", "--watch", "%R1:BIT"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "0 t=0 Q=0 AQ1=0 AQ2=0 %R0001=4660 %R0001=1234 %R0001=52 %R0001=4660 %R0001=0\n");
}

TEST(CliBinaryTest, BinaryAnswersAsTheRunner) {
    const std::string binary = std::string(WIRTUALON_BINARY_DIR) + "/app/wirtualon-cli";
    if (!fs::exists(binary)) {
        GTEST_SKIP() << "wirtualon-cli not built";
    }
    FILE* pipe =
        ::popen((binary + " check /nonexistent/file.jar 2>/dev/null; echo status=$?").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    ::pclose(pipe);
    EXPECT_EQ(output, "status=2\n");
}

}  // namespace
}  // namespace cli
