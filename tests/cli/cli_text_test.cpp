// A ladder's text form through the tool: the examples agree with their texts, totext and fromtext
// write whole files or nothing, every translating command and scenario takes a text, and the
// diff driver's view of each file of a pair on its own.
#include "tests/cli/cli_test_helpers.h"

#include "document/ladder_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace cli {
namespace {

namespace fs = std::filesystem;

using testing::runTool;
using testing::ToolRun;

const fs::path kExamples = fs::path(WIRTUALON_SOURCE_DIR) / "examples";

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CliTextTest : public ::testing::Test {
protected:
    const testing::TempFolder m_folder{"wirtualon-text"};
    const fs::path m_dir = m_folder.path();
};

// Every example program is kept in both forms, so that a change to one shows in a diff of the
// other; a program without its text (or a text without its program) fails here.
TEST_F(CliTextTest, EveryExampleAgreesWithItsText) {
    int programs = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kExamples)) {
        const fs::path path = entry.path();
        const std::string name = path.filename().string();
        if (name.ends_with(".lad.txt")) {
            EXPECT_TRUE(fs::exists(kExamples / (name.substr(0, name.size() - 8) + ".jar")))
                << name << " has no program beside it";
        }
        if (path.extension() != ".jar") {
            continue;
        }
        ++programs;
        const fs::path text = kExamples / (path.stem().string() + ".lad.txt");
        ASSERT_TRUE(fs::exists(text)) << name << " has no text beside it: wirtualon-cli totext "
                                      << name << " -o " << text.filename().string();
        const ToolRun totext = runTool({"totext", path.string()});
        EXPECT_EQ(totext.status, 0) << totext.err;
        EXPECT_EQ(totext.out, bytesOf(text)) << name;
        const fs::path written = m_dir / name;
        const ToolRun fromtext = runTool({"fromtext", text.string(), "-o", written.string()});
        EXPECT_EQ(fromtext.status, 0) << fromtext.err;
        EXPECT_EQ(bytesOf(written), bytesOf(path)) << name;
        EXPECT_EQ(bytesOf(written.string() + ".str"), bytesOf(path.string() + ".str")) << name;
    }
    EXPECT_GE(programs, 5);
}

TEST_F(CliTextTest, TranslatingCommandsAndScenariosTakeTheTextAsTheProgram) {
    const std::string program = (kExamples / "migacz.jar").string();
    const std::string text = (kExamples / "migacz.lad.txt").string();
    for (const std::string command : {"check", "list", "program", "analyse"}) {
        const ToolRun fromProgram = runTool({command, program});
        const ToolRun fromText = runTool({command, text});
        EXPECT_EQ(fromText.status, 0) << command << fromText.err;
        EXPECT_EQ(fromText.out, fromProgram.out) << command;
    }
    const std::vector<std::string> run = {"--scans", "40", "--set", "0:%I1=1", "--power"};
    std::vector<std::string> runProgram = {"run", program};
    std::vector<std::string> runText = {"run", text};
    runProgram.insert(runProgram.end(), run.begin(), run.end());
    runText.insert(runText.end(), run.begin(), run.end());
    const ToolRun ranText = runTool(runText);
    EXPECT_EQ(ranText.status, 0) << ranText.err;
    EXPECT_EQ(ranText.out, runTool(runProgram).out);

    // The scenario of the example, with its program line naming the text instead.
    std::string scenario = bytesOf(kExamples / "migacz.scenario");
    const std::size_t at = scenario.find("migacz.jar");
    ASSERT_NE(at, std::string::npos);
    scenario.replace(at, 10, text);
    const ToolRun tested = runTool({"test", m_folder.write("migacz.scenario", scenario)});
    EXPECT_EQ(tested.status, 0) << tested.out << tested.err;
}

TEST_F(CliTextTest, ALineTheReaderDoesNotTakeIsNamedAndNothingIsWritten) {
    const std::string broken = m_folder.write(
        "zly.lad.txt", "Wirtualon! drabina 1\nwiersze 2\nw1 k1 styk operand=%I0001\nw1 k1 cewka\n");
    const std::string message =
        "Plik " + broken + ", linia 4: druga linia dla komórki w1 k1; pierwsza jest w linii 3\n";
    for (const std::string command : {"check", "list", "program", "analyse", "run", "totext"}) {
        const ToolRun run = runTool({command, broken});
        EXPECT_EQ(run.status, 2) << command;
        EXPECT_EQ(run.out, "") << command;
        EXPECT_EQ(run.err, message) << command;
    }
    const std::string kept =
        testing::saveLadder(m_dir / "stary.jar", testing::rungCells(0, "%I1", "%Q1"));
    const std::string keptProgram = bytesOf(kept);
    const std::string keptText = bytesOf(kept + ".str");
    const ToolRun fromtext = runTool({"fromtext", broken, "-o", kept});
    EXPECT_EQ(fromtext.status, 2);
    EXPECT_EQ(fromtext.err, message);
    EXPECT_EQ(bytesOf(kept), keptProgram);
    EXPECT_EQ(bytesOf(kept + ".str"), keptText);
    EXPECT_EQ(runTool({"fromtext", broken, "-o", (m_dir / "nowy.jar").string()}).status, 2);
    EXPECT_FALSE(fs::exists(m_dir / "nowy.jar"));
    EXPECT_FALSE(fs::exists(m_dir / "nowy.jar.str"));
}

struct ArgumentCase {
    std::string name;
    std::vector<std::string> args;  // "@" stands for the example's program, "#" for its text
    std::string complaint;          // the first line of what the tool says
};

void PrintTo(const ArgumentCase& c, std::ostream* os) {
    *os << c.name;
}

class CliTextArgumentTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(CliTextArgumentTest, IsRefusedWithExit2AndWritesNothing) {
    const testing::TempFolder folder("wirtualon-text-args");
    // Copies, so that a refused write over its own input would show.
    const std::string program = folder.write("p.jar", bytesOf(kExamples / "start_stop.jar"));
    folder.write("p.jar.str", bytesOf(kExamples / "start_stop.jar.str"));
    const std::string text = folder.write("p.lad.txt", bytesOf(kExamples / "start_stop.lad.txt"));
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args) {
        arg = arg == "@" ? program : arg == "#" ? text : arg;
    }
    const ToolRun run = runTool(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    std::string complaint = GetParam().complaint;
    for (const auto& [mark, name] : {std::pair{"@", program}, std::pair{"#", text}}) {
        if (const std::size_t at = complaint.find(mark); at != std::string::npos) {
            complaint.replace(at, 1, name);
        }
    }
    EXPECT_EQ(testing::lines(run.err).at(0), complaint);
    EXPECT_EQ(bytesOf(program), bytesOf(kExamples / "start_stop.jar"));
    EXPECT_EQ(bytesOf(text), bytesOf(kExamples / "start_stop.lad.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliTextArgumentTest,
    ::testing::Values(
        ArgumentCase{"FromtextWithoutOutput",
                     {"fromtext", "#"},
                     "wirtualon-cli fromtext: brak -o PROGRAM.jar: nazwy pliku programu do "
                     "zapisania"},
        ArgumentCase{"FromtextOverItsOwnInput",
                     {"fromtext", "#", "-o", "#"},
                     "wirtualon-cli fromtext: plik wynikowy # jest tekstem drabiny; zapis by go "
                     "zniszczył"},
        ArgumentCase{
            "FromtextOfAProgramFile",
            {"fromtext", "@", "-o", "x.jar"},
            "Plik @, linia 1: brak nagłówka „Wirtualon! drabina 1”; to jest plik programu, "
            "nie jego tekst"},
        ArgumentCase{"TotextOverItsOwnInput",
                     {"totext", "@", "-o", "@"},
                     "wirtualon-cli totext: plik wynikowy @ jest plikiem programu; zapis by go "
                     "zniszczył"},
        ArgumentCase{"TotextOfTwoFiles",
                     {"totext", "@", "#"},
                     "wirtualon-cli totext: podano więcej niż jeden plik: #"},
        ArgumentCase{"TotextUnknownOption",
                     {"totext", "@", "--diff"},
                     "wirtualon-cli totext: nieznana opcja --diff"},
        ArgumentCase{"TotextOutputWithoutName",
                     {"totext", "@", "-o"},
                     "wirtualon-cli totext: po -o brak nazwy pliku"}),
    [](const ::testing::TestParamInfo<ArgumentCase>& param) { return param.param.name; });

// A diff driver hands over one file at a time, the older version as a temporary copy without its
// companion: a program file then shows its elements alone, a text file its texts by cell.
TEST_F(CliTextTest, TextconvShowsEachFileOfThePairOnItsOwn) {
    const std::string program = m_folder.write("a.jar", bytesOf(kExamples / "start_stop.jar"));
    const std::string texts = bytesOf(kExamples / "start_stop.jar.str");
    m_folder.write("a.jar.str", texts);
    const ToolRun codes = runTool({"totext", "--textconv", program});
    EXPECT_EQ(codes.status, 0) << codes.err;
    EXPECT_EQ(codes.err, "");
    EXPECT_EQ(
        testing::lines(codes.out),
        (std::vector<std::string>{
            "Wirtualon! drabina 1", "wiersze 10", "w1 k1     styk",
            "w1 k2     styk negowany, łącznik w dół", "w1 k3     łącznik poziomy",
            "w1 k4     łącznik poziomy", "w1 k5     łącznik poziomy", "w1 k6     łącznik poziomy",
            "w1 k7     łącznik poziomy", "w1 k8     łącznik poziomy", "w1 k9     łącznik poziomy",
            "w1 k10    cewka", "w2 k1     styk", "w2 k2     łącznik w górę"}));
    const ToolRun cells = runTool({"totext", "--textconv", (m_dir / "a.jar.str").string()});
    EXPECT_EQ(cells.status, 0);
    EXPECT_EQ(cells.out, document::textFileView(texts));
    EXPECT_EQ(testing::lines(cells.out).at(1),
              "w1 k2     operand=%I0002 opis1=Przycisk opis2=STOP");
    const std::string text = (kExamples / "start_stop.lad.txt").string();
    EXPECT_EQ(runTool({"totext", "--textconv", text}).out, bytesOf(text));
}

}  // namespace
}  // namespace cli
