// The ladder as text: the exact text of a ladder with every kind of cell, what a hand-written
// text reads as, every refusal with its line, round trips over random and damaged ladders, the
// locality of an edit, and opening and saving either form.
#include "document/ladder_text.h"

#include "document_test_helpers.h"
#include "tests/support/random_ladder.h"

#include "document/editing.h"
#include "document/element_catalogue.h"
#include "document/ladder_file.h"
#include "document/program_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace document {
namespace {

using testing::readBytes;
using testing::sameDocument;
using testing::TempDir;
using testing::writeBytes;

// A rung with a parallel branch, a timer with its preset beside it, a jump to a label, and the
// cells only damaged files bring: unknown codes, texts that are no fields, bytes that need
// quoting, Polish letters (code page 1250).
LadderDocument sampleLadder() {
    LadderDocument d;
    const auto put = [&](int row, int col, std::int32_t code, std::string text) {
        d.SetCellCode(row, col, code);
        d.SetCellText(row, col, std::move(text));
    };
    put(0, 0, 1, "#A%I0001##1Przycisk##2START#");
    put(0, 1, 102, "#A%I0002##1Stop#");
    for (int col = 2; col < 9; ++col) {
        put(0, col, 7, "");
    }
    put(0, 9, 3, "#A%Q0001##1Silnik#");
    put(1, 0, 1, "#A%Q0001#");
    put(1, 1, 200, "");
    put(3, 0, 1, "#A%I0003#");
    put(3, 1, 418, "#NTMR#");
    put(4, 0, 0, "#S+00005##10,5 s#");
    put(4, 1, 918, "#LPV#G%R0001#T0.10s#");
    put(3, 2, 7, "");
    put(3, 9, 13, "#A%M0001#");
    put(5, 0, 1, "#A%I0004#");
    put(5, 9, 73, "#AL1#");
    put(6, 0, 74, "#AL1#");
    put(7, 0, 99999, "");
    put(7, 1, 6, "#1\"cytat\"#");
    put(7, 2, 0, "#LPV#Gaddress##A%R0001#");
    put(7, 3, 1, "#A%I0001#1bez ko\xF1\x63\x61");
    put(7, 4, -5, "#1za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1#");
    put(7, 5, 1160, "#NCALL#");
    put(7, 6, 0, "#1a\xA0\x62\x01##R\\#");
    put(7, 7, 307, "#A#");
    return d;
}

constexpr std::string_view kSampleText = R"(Wirtualon! drabina 1
wiersze 10
w1 k1     styk                      operand=%I0001 opis1=Przycisk opis2=START
w1 k2     styk negowany, łącznik w dół operand=%I0002 opis1=Stop
w1 k3     łącznik poziomy
w1 k4     łącznik poziomy
w1 k5     łącznik poziomy
w1 k6     łącznik poziomy
w1 k7     łącznik poziomy
w1 k8     łącznik poziomy
w1 k9     łącznik poziomy
w1 k10    cewka                     operand=%Q0001 opis1=Silnik
w2 k1     styk                      operand=%Q0001
w2 k2     łącznik w górę
w4 k1     styk                      operand=%I0003
w4 k2     TMR góra                  nazwa=TMR
w4 k3     łącznik poziomy
w4 k10    cewka set                 operand=%M0001
w5 k1     bez elementu              stała=+00005 opis1="0,5 s"
w5 k2     TMR dół bez wyjścia       wejście=PV rejestr=%R0001 typ=0.10s
w6 k1     styk                      operand=%I0004
w6 k10    JUMP                      etykieta=L1
w7 k1     LABEL                     etykieta=L1
w8 k1     kod 99999
w8 k2     kod 6                     opis1="\"cytat\""
w8 k3     bez elementu              tekst=#LPV#Gaddress##A%R0001#
w8 k4     styk                      tekst="#A%I0001#1bez końca"
w8 k5     kod -5                    opis1="zażółć gęślą jaźń"
w8 k6     CALL lewa góra            nazwa=CALL
w8 k7     bez elementu              opis1="a\xA0b\x01" R="\\"
w8 k8     łącznik poziomy, łącznik pionowy operand=""
)";

TEST(LadderTextTest, SampleLadderGivesItsTextAndComesBackFromIt) {
    const LadderDocument sample = sampleLadder();
    EXPECT_EQ(ladderText(sample), kSampleText);

    LadderDocument read;
    read.SetCellText(0, 0, "#1schowek#");
    CopyRange(read, 0, 0, 0, 0);
    ASSERT_EQ(readLadderText(read, kSampleText), std::nullopt);
    LadderDocument expected = sample;
    expected.setStatus(DocumentStatus::Loaded);
    EXPECT_TRUE(sameDocument(expected, read));
    EXPECT_EQ(read.clipboard().texts.at(0), "#1schowek#");
}

// As a person may type it: a byte order mark and Windows line ends from an editor, blanks of any
// width, blank lines, cells out of order, letters for tags, escapes where none are needed.
TEST(LadderTextTest, HandWrittenTextReadsAsMeant) {
    const std::string text =
        "\xEF\xBB\xBFWirtualon! drabina 1\r\n"
        "\r\n"
        "wiersze   3\r\n"
        "w1 k10 cewka negowana operand=%Q0002\r\n"
        "\tw1  k1\tstyk, łącznik w dół   A=%I0001   1=\"Łącznik \\x22A\\x22\"\r\n"
        "w2 k1 styk negowany, łącznik w górę etykieta=%M0001 opis2=\"\"\r\n"
        "w3 k2 ADD środek wejście=I1 P=Q typ=INT\r\n"
        "w3 k3 kod 7\r\n";
    LadderDocument read;
    ASSERT_EQ(readLadderText(read, text), std::nullopt);
    EXPECT_EQ(read.rowCount(), 3);
    EXPECT_EQ(read.CellCode(0, 0), 101);
    EXPECT_EQ(read.CellText(0, 0), "#A%I0001##1\xA3\xB9\x63znik \"A\"#");
    EXPECT_EQ(read.CellCode(0, 9), 11);
    EXPECT_EQ(read.CellText(0, 9), "#A%Q0002#");
    EXPECT_EQ(read.CellCode(1, 0), 202);
    EXPECT_EQ(read.CellText(1, 0), "#A%M0001##2#");
    EXPECT_EQ(read.CellCode(2, 1), 621);
    EXPECT_EQ(read.CellText(2, 1), "#LI1#PQ#TINT#");
    EXPECT_EQ(read.CellCode(2, 2), 7);
    EXPECT_EQ(read.status(), DocumentStatus::Loaded);
    EXPECT_EQ(ladderText(read),
              "Wirtualon! drabina 1\n"
              "wiersze 3\n"
              "w1 k1     styk, łącznik w dół       operand=%I0001 opis1=\"Łącznik \\\"A\\\"\"\n"
              "w1 k10    cewka negowana            operand=%Q0002\n"
              "w2 k1     styk negowany, łącznik w górę operand=%M0001 opis2=\"\"\n"
              "w3 k2     ADD środek                wejście=I1 wyjście=Q typ=INT\n"
              "w3 k3     łącznik poziomy\n");
}

// Every code, also those no editor writes, comes back from its words; and every element and
// block role the catalogue places has words rather than a bare code.
TEST(LadderTextTest, EveryCodeComesBackAndEveryPlacedElementHasWords) {
    std::vector<std::int32_t> codes = {INT32_MIN, -1, INT32_MAX, 2000, 99999};
    for (std::int32_t code = 0; code < 1600; ++code) {
        codes.push_back(code);
    }
    for (const std::int32_t code : codes) {
        LadderDocument document;
        document.SetCellCode(9, 9, code);
        LadderDocument read;
        ASSERT_EQ(readLadderText(read, ladderText(document)), std::nullopt) << code;
        EXPECT_EQ(read.CellCode(9, 9), code);
    }
    const auto hasWords = [](std::int32_t code) {
        return cellLine(0, 0, code, "").find(" kod ") == std::string::npos;
    };
    for (const ElementEntry& entry : elementCatalogue()) {
        if (entry.placement == Placement::Block) {
            const RoleLayout* layout = findLayout(findBlockTemplate(entry.code)->layout);
            for (int i = 0; i < layout->cellCount; ++i) {
                EXPECT_TRUE(hasWords(layout->roles[static_cast<std::size_t>(i)] + entry.code))
                    << entry.kindName;
            }
        } else {
            EXPECT_TRUE(hasWords(entry.code)) << entry.kindName;
            for (const int link : {100, 200, 300}) {
                EXPECT_TRUE(hasWords(entry.code % 100 + link)) << entry.kindName << link;
            }
        }
    }
}

std::string programBytes(const LadderDocument& document) {
    std::ostringstream program;
    std::ostringstream text;
    EXPECT_TRUE(writeProgram(document, program, text));
    return program.str() + '|' + text.str();
}

TEST(LadderTextTest, RandomLaddersComeBackExactlyInBothForms) {
    std::mt19937 random(25);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(random); };
    for (int i = 0; i < 1000; ++i) {
        LadderDocument ladder = wirtualon::testing::randomLadder(pick);
        ladder.setStatus(DocumentStatus::Loaded);
        const std::string text = ladderText(ladder);
        LadderDocument read;
        ASSERT_EQ(readLadderText(read, text), std::nullopt) << text;
        ASSERT_TRUE(sameDocument(ladder, read)) << text;
        EXPECT_EQ(ladderText(read), text);
        EXPECT_EQ(programBytes(read), programBytes(ladder));
    }
}

// What the program file loader takes from damaged files (control bytes, lone line feeds, long
// lines, missing or short text files, trailing bytes, codes no editor writes) saves the same
// bytes after a trip through the text.
TEST(LadderTextTest, DamagedFilesTheLoaderTakesComeBackByteForByte) {
    std::string program = std::string("E\0\0\0M\0\0\0U\0\0\0!\0\0\0\0\0\0\0\2\0\0\0", 24);
    program += std::string(16, '\x07');  // reserved words the loader skips
    for (int i = 0; i < 20; ++i) {
        program += static_cast<char>(i * 37);
        program += static_cast<char>(0xFF - i);
        program += static_cast<char>(i % 3 == 0 ? 0x80 : 0);
        program += static_cast<char>(i % 2 == 0 ? 0xFF : 0);
    }
    const std::string trailing = program + "xyz";
    const std::optional<std::string> texts[] = {
        std::nullopt,
        "",
        "#A%I0001#\n#1a\tb\x01#\r\r\n" + std::string(70000, '\xFF') + "\n##\n#\n#A\n",
        std::string("#A%I0001##1\xB3\xF3\x64\xBC#\r\n") + "x#A#\r\n#A#B#\r\n",
    };
    for (const std::string& codes : {program, trailing}) {
        for (const std::optional<std::string>& text : texts) {
            LadderDocument loaded;
            ASSERT_TRUE(programLoaded(readProgram(
                loaded, codes, text ? std::optional<std::string_view>(*text) : std::nullopt)));
            LadderDocument read;
            ASSERT_EQ(readLadderText(read, ladderText(loaded)), std::nullopt);
            EXPECT_EQ(programBytes(read), programBytes(loaded));
        }
    }
}

// Lines of `text` other than the cell's own.
std::vector<std::string> linesWithout(const std::string& text, const std::string& place) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with(place)) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(LadderTextTest, EditingOneCellChangesOnlyItsOwnLine) {
    std::mt19937 random(30);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(random); };
    for (int i = 0; i < 300; ++i) {
        LadderDocument ladder = wirtualon::testing::randomLadder(pick);
        const std::string before = ladderText(ladder);
        const int row = pick(0, ladder.rowCount() - 1);
        const int col = pick(0, kColumns - 1);
        if (pick(0, 1) == 0) {
            ladder.SetCellCode(row, col, pick(-1, 1500));
        } else {
            ladder.SetCellText(row, col, wirtualon::testing::randomCellText(pick));
        }
        const std::string after = ladderText(ladder);
        const std::string place =
            "w" + std::to_string(row + 1) + " k" + std::to_string(col + 1) + " ";
        EXPECT_EQ(linesWithout(before, place), linesWithout(after, place)) << place;
        const std::string line =
            cellLine(row, col, ladder.CellCode(row, col), ladder.CellText(row, col));
        EXPECT_EQ(after.find("\n" + (line.empty() ? place : line + "\n")) != std::string::npos,
                  !line.empty());
    }
}

TEST(LadderTextTest, InsertingARowRenumbersTheRowsBelowAndChangesNothingElse) {
    LadderDocument ladder = sampleLadder();
    ASSERT_TRUE(ladder.InsertRow(3).changed());
    std::string expected(kSampleText);
    // From the bottom up, so that no line is renumbered twice.
    for (const char row : {'8', '7', '6', '5', '4'}) {
        const std::string from = std::string("\nw") + row + " ";
        for (std::size_t at = expected.find(from); at != std::string::npos;
             at = expected.find(from, at + 1)) {
            expected[at + 2] = static_cast<char>(row + 1);
        }
    }
    expected.replace(expected.find("wiersze 10"), 10, "wiersze 11");
    EXPECT_EQ(ladderText(ladder), expected);
}

struct ProblemCase {
    std::string name;
    std::string text;
    std::size_t line;
    std::string what;
};

void PrintTo(const ProblemCase& c, std::ostream* os) {
    *os << c.name;
}

class LadderTextProblemTest : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(LadderTextProblemTest, NamesTheLineAndWhatWasExpectedAndChangesNothing) {
    LadderDocument document = sampleLadder();
    const LadderDocument before = document;
    const std::optional<LadderTextProblem> problem = readLadderText(document, GetParam().text);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->line, GetParam().line);
    EXPECT_EQ(problem->what, GetParam().what);
    EXPECT_EQ(problem->message(),
              "linia " + std::to_string(GetParam().line) + ": " + GetParam().what);
    EXPECT_TRUE(sameDocument(before, document));
}

const std::string kHead = "Wirtualon! drabina 1\nwiersze 2\n";
const std::string kElementHelp =
    "; oczekiwano nazwy elementu (np. „styk”, „styk negowany, łącznik w dół”, „cewka set”, "
    "„łącznik poziomy”, „TMR góra”) albo „kod LICZBA”";
const std::string kOnlyField =
    "pole tekst podaje całą zawartość komórki i musi być jej jedynym polem";

INSTANTIATE_TEST_SUITE_P(
    Texts, LadderTextProblemTest,
    ::testing::Values(
        ProblemCase{"EmptyFile", "", 1, "brak nagłówka „Wirtualon! drabina 1”, jest „”"},
        ProblemCase{"MissingHeader", "wiersze 10\nw1 k1 styk\n", 1,
                    "brak nagłówka „Wirtualon! drabina 1”, jest „wiersze 10”"},
        ProblemCase{"ProgramFileGivenAsText", std::string("E\0\0\0M\0\xFF\0", 8), 1,
                    "brak nagłówka „Wirtualon! drabina 1”; to nie jest tekst drabiny"},
        ProblemCase{"UnknownVersion", "Wirtualon! drabina 2\nwiersze 1\n", 1,
                    "wersja formatu „2” nie jest znana; ten program czyta wersję 1"},
        ProblemCase{"NotUtf8", kHead + "w1 k1 styk\nw1 k2 styk opis1=\xB3\xF3\x64\xBC\n", 4,
                    "tekst nie jest zapisany w UTF-8 (bajt 0xB3)"},
        ProblemCase{"NoRowCount", "Wirtualon! drabina 1\n\n", 3,
                    "oczekiwano liczby wierszy „wiersze LICZBA”, a tekst się skończył"},
        ProblemCase{"RowCountMisspelt", "Wirtualon! drabina 1\nrzędy 5\n", 2,
                    "oczekiwano liczby wierszy „wiersze LICZBA”, jest „rzędy 5”"},
        ProblemCase{"RowCountNotANumber", "Wirtualon! drabina 1\nwiersze dziesięć\n", 2,
                    "liczba wierszy „dziesięć” nie jest liczbą"},
        ProblemCase{"RowCountZero", "Wirtualon! drabina 1\nwiersze 0\n", 2,
                    "liczba wierszy 0 poza zakresem 1..1000000"},
        ProblemCase{"RowCountAboveTheLimit", "Wirtualon! drabina 1\nwiersze 1000001\n", 2,
                    "liczba wierszy 1000001 poza zakresem 1..1000000"},
        ProblemCase{"RowCountBeyondAnyNumber",
                    "Wirtualon! drabina 1\nwiersze 99999999999999999999999\n", 2,
                    "liczba wierszy 99999999999999999999999 poza zakresem 1..1000000"},
        ProblemCase{"NoPlace", kHead + "styk w1 k1\n", 3,
                    "oczekiwano położenia komórki „wWIERSZ kKOLUMNA” (np. „w3 k10”), jest „styk w1 "
                    "k1”"},
        ProblemCase{"RowBelowTheGrid", kHead + "w3 k1 styk\n", 3,
                    "komórka w3 k1 leży poza siatką: wiersze 1..2, kolumny 1..10"},
        ProblemCase{"ColumnEleven", kHead + "w1 k11 styk\n", 3,
                    "komórka w1 k11 leży poza siatką: wiersze 1..2, kolumny 1..10"},
        ProblemCase{"RowZero", kHead + "w0 k1 styk\n", 3,
                    "komórka w0 k1 leży poza siatką: wiersze 1..2, kolumny 1..10"},
        ProblemCase{"TwoLinesForOneCell", kHead + "w1 k1 styk\nw1 k2 styk\n\nw1 k1 cewka\n", 6,
                    "druga linia dla komórki w1 k1; pierwsza jest w linii 3"},
        ProblemCase{"UnknownElement", kHead + "w1 k1 stykk operand=%I0001\n", 3,
                    "nieznany element „stykk”" + kElementHelp},
        ProblemCase{"LinkWithoutComma", kHead + "w1 k1 styk łącznik w dół\n", 3,
                    "nieznany element „styk łącznik w dół”" + kElementHelp},
        ProblemCase{"NoElement", kHead + "w1 k1\n", 3,
                    "brak elementu po położeniu komórki; oczekiwano nazwy elementu (np. „styk”) "
                    "albo „kod LICZBA”"},
        ProblemCase{"CodeNotANumber", kHead + "w1 k1 kod siedem\n", 3,
                    "po „kod” oczekiwano jednej liczby całkowitej 32-bitowej, jest „kod siedem”"},
        ProblemCase{"CodeBeyond32Bits", kHead + "w1 k1 kod 2147483648\n", 3,
                    "po „kod” oczekiwano jednej liczby całkowitej 32-bitowej, jest „kod "
                    "2147483648”"},
        ProblemCase{"UnknownField", kHead + "w1 k1 styk opis4=x\n", 3,
                    "nieznane pole „opis4”; oczekiwano operand, etykieta, stała, nazwa, wejście, "
                    "wyjście, typ, rejestr, długość, opis1, opis2, opis3, tekst albo pojedyncza "
                    "litera lub cyfra"},
        ProblemCase{"WordAfterTheFields", kHead + "w1 k1 styk operand=%I0001 Start\n", 3,
                    "oczekiwano pola NAZWA=WARTOŚĆ, jest „Start”"},
        ProblemCase{"FieldWithoutName", kHead + "w1 k1 styk =%I0001\n", 3,
                    "brak nazwy pola przed „=” w „=%I0001”"},
        ProblemCase{"NoValue", kHead + "w1 k1 styk opis1= opis2=a\n", 3,
                    "brak wartości pola „opis1” (pusta wartość to \"\")"},
        ProblemCase{"UnclosedQuote", kHead + "w1 k1 styk opis1=\"Start\n", 3,
                    "brak zamykającego cudzysłowu w wartości pola „opis1”"},
        ProblemCase{"TextAfterTheClosingQuote", kHead + "w1 k1 styk opis1=\"a\"b\n", 3,
                    "po zamykającym cudzysłowie wartości pola „opis1” oczekiwano odstępu"},
        ProblemCase{"QuoteInABareValue", kHead + "w1 k1 styk opis1=a\"b\n", 3,
                    "znak \" w wartości pola „opis1” bez cudzysłowu; ujmij wartość w cudzysłów "
                    "i zapisz go jako \\\""},
        ProblemCase{"UnknownEscape", kHead + "w1 k1 styk opis1=\"a\\qb\"\n", 3,
                    "nieznany zapis „\\qb” w wartości pola „opis1”; znane są \\\", \\\\ i \\xNN"},
        ProblemCase{"ControlCharacter", kHead + "w1 k1 styk opis1=\"a\x01\"\n", 3,
                    "znak sterujący w wartości pola „opis1”; zapisz go jako \\xNN"},
        ProblemCase{"CharacterOutsideTheCodePage", kHead + "w1 k1 styk opis1=a→b\n", 3,
                    "znak „→” w wartości pola „opis1” nie istnieje w stronie kodowej 1250, w "
                    "której program trzyma teksty"},
        ProblemCase{"HashInAField", kHead + "w1 k1 styk opis1=a#b\n", 3,
                    "znak # w wartości pola „opis1” (# rozdziela pola; całą zawartość komórki "
                    "można podać jako tekst=\"...\")"},
        ProblemCase{"EscapedHashInAField", kHead + "w1 k1 styk opis1=\"a\\x23\"\n", 3,
                    "znak # w wartości pola „opis1” (# rozdziela pola; całą zawartość komórki "
                    "można podać jako tekst=\"...\")"},
        ProblemCase{"RawTextAfterAField", kHead + "w1 k1 styk opis1=a tekst=#A#\n", 3, kOnlyField},
        ProblemCase{"FieldAfterRawText", kHead + "w1 k1 styk tekst=#A# opis1=a\n", 3, kOnlyField}),
    [](const ::testing::TestParamInfo<ProblemCase>& param) { return param.param.name; });

TEST(LadderTextTest, TextFileOnItsOwnShowsEachTextAtItsCell) {
    // Two rows: column 0 holds rows 0 and 1, column 1 rows 0 and 1, and so on.
    const std::string textFile = "#A%I0001##1Start#\r\n\r\n#NTMR#\r\n#LPV#G%R0001#\r\n" +
                                 std::string(15, '\n') + "#A%Q0001#\n";
    EXPECT_EQ(textFileView(textFile),
              "w1 k1     operand=%I0001 opis1=Start\n"
              "w1 k2     nazwa=TMR\n"
              "w2 k2     wejście=PV rejestr=%R0001\n"
              "w2 k10    operand=%Q0001\n");
}

TEST(LadderFileTest, OpensEitherFormByContentWhateverTheName) {
    TempDir dir;
    LadderDocument sample = sampleLadder();
    // The program's text file keeps no control bytes.
    sample.SetCellText(7, 6, "#1a\xA0\x62##R\\#");
    ASSERT_EQ(SaveProgram(sample, dir.file("program.lad.txt")), FileResult::Success);
    writeBytes(dir.file("tekst.jar"), ladderText(sample));
    sample.setStatus(DocumentStatus::Loaded);
    for (const auto& [name, form] : {std::pair{"program.lad.txt", LadderForm::ProgramFile},
                                     std::pair{"tekst.jar", LadderForm::Text}}) {
        LadderDocument opened;
        const LadderFileOutcome outcome = openLadder(opened, dir.file(name));
        EXPECT_EQ(outcome.result, FileResult::Success) << outcome.message;
        EXPECT_EQ(outcome.form, form);
        EXPECT_EQ(outcome.message, "");
        EXPECT_TRUE(sameDocument(sample, opened)) << name;
    }
    writeBytes(dir.file("zly.lad.txt"), "Wirtualon! drabina 1\nwiersze 1\nw1 k1 stykk\n");
    LadderDocument untouched = sampleLadder();
    const LadderFileOutcome bad = openLadder(untouched, dir.file("zly.lad.txt"));
    EXPECT_EQ(bad.result, FileResult::BadText);
    EXPECT_FALSE(bad.loaded());
    EXPECT_EQ(bad.message, "Plik " + dir.file("zly.lad.txt").string() +
                               ", linia 3: nieznany element „stykk”" + kElementHelp);
    EXPECT_TRUE(sameDocument(sampleLadder(), untouched));
}

TEST(LadderFileTest, SavingTheTextGoesThroughLinksAndKeepsPermissionBits) {
    TempDir dir;
    LadderDocument sample = sampleLadder();
    ASSERT_TRUE(saveLadderText(sample, dir.file("a.lad.txt")).message.empty());
    std::filesystem::permissions(dir.file("a.lad.txt"), std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("a.lad.txt", dir.file("link.lad.txt"));
    sample.SetCellText(0, 0, "#A%I0009#");
    sample.setStatus(DocumentStatus::Modified);
    const LadderFileOutcome saved = saveLadder(sample, dir.file("link.lad.txt"), LadderForm::Text);
    EXPECT_EQ(saved.result, FileResult::Success) << saved.message;
    EXPECT_EQ(sample.status(), DocumentStatus::Saved);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.lad.txt")));
    EXPECT_EQ(readBytes(dir.file("a.lad.txt")), ladderText(sample));
    EXPECT_EQ(std::filesystem::status(dir.file("a.lad.txt")).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const LadderFileOutcome failed = saveLadderText(sample, dir.file("brak") / "a.lad.txt");
    EXPECT_EQ(failed.result, FileResult::CannotWrite);
    EXPECT_EQ(failed.message,
              "Nie można zapisać pliku " + (dir.file("brak") / "a.lad.txt").string() +
                  ": nie ma takiego folderu; poprzednia wersja pozostała bez zmian.");
}

}  // namespace
}  // namespace document
