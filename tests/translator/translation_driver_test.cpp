// The driver from the document, the two listing views, and the trace file.
#include "translator/translation_driver.h"

#include "tests/translator/ladder_helpers.h"

#include "translator/node_analysis.h"
#include "translator/translator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <utility>

namespace translator::testing {
namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Ladder sampleLadder() {
    return Ladder()
        .contact(0, 0, "%I0001")
        .wire(0, 1, kDown)
        .contact(0, 2, "%I0002")
        .wires(0, 3, 8)
        .coil(0, "%Q0001", 15)
        .contact(1, 0, "%I0005")
        .wire(1, 1, kUp)
        .contact(3, 0, "%I0003")
        .wires(3, 1, 8)
        .put(3, 9, 73, "#ASKOK#")
        .put(4, 0, 74, "#ASKOK#");
}

TEST(TranslationDriverTest, SuccessFillsBothViewsAndTheProgram) {
    const TranslationResult result = translateDocument(
        Ladder().contact(0, 0, "%I0001").wires(0, 1, 8).coil(0, "%Q0001").document(),
        TranslationOptions{{}});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.report, "");
    EXPECT_EQ(
        result.instructionList,
        (std::vector<std::string>{"  POSTAĆ PROGRAMU", "  W FORMACIE LISTY", "     INSTRUKCJI", "",
                                  kRule, load("%I0001"), coilLine(3, "%Q0001"), kRule}));
    EXPECT_EQ(result.programListing,
              (std::vector<std::string>{" POSTAĆ PROGRAMU", "  W FORMACIE DLA", "   INTERPRETERA",
                                        "", kRule, "   0:  -1", "   1:  -10", "   2:  0",
                                        "   3:  0", "   4:  -7", "   5:  3", "   6:  -11",
                                        "   7:  0", "   8:  0", "   9:  -255", kRule, ""}));
    const std::vector<std::int32_t> words(result.program.words().begin(),
                                          result.program.words().end());
    EXPECT_EQ(words, (std::vector<std::int32_t>{-1, -10, 0, 0, -7, 3, -11, 0, 0, -255}));
}

TEST(TranslationDriverTest, CountsComeWithTheProgram) {
    const TranslationResult result = translateDocument(sampleLadder().document(), {{}});
    ASSERT_TRUE(result.ok()) << result.report;
    EXPECT_EQ(result.program.edgeCount(), 1);
    EXPECT_EQ(result.program.timerCount(), 0);
}

TEST(TranslationDriverTest, FailureGivesOnlyTheReport) {
    Ladder ladder(8);
    ladder.contact(0, 0, "%I0001").wires(0, 1, 8).coil(0, "%Q0001").put(6, 1, 1);
    const TranslationResult result = translateDocument(ladder.document(), {{}});
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.errorCode, 4);
    EXPECT_EQ(result.errorRow, 6);
    EXPECT_EQ(result.errorCol, 1);
    EXPECT_EQ(result.report, "Błąd 4 (w7k2): Brak opisu elementu");
    EXPECT_TRUE(result.instructionList.empty());
    EXPECT_TRUE(result.programListing.empty());
    EXPECT_TRUE(result.program.empty());
}

TEST(TranslationDriverTest, LabelTextsAreShownInUtf8) {
    // Cell texts are code page 1250: 0xB9 is "ą".
    Ladder ladder;
    ladder.contact(0, 0, "%I0001")
        .wires(0, 1, 8)
        .put(0, 9, 73, "#Ap\xB9#")
        .put(1, 0, 74, "#Ap\xB9#");
    const TranslationResult result = translateDocument(ladder.document(), {{}});
    ASSERT_TRUE(result.ok()) << result.report;
    EXPECT_EQ(result.instructionList[6], "   ->  JUMP pą");
}

TEST(InstructionListViewTest, ListEndsAtTheFirstEmptyLine) {
    const std::vector<std::string> view = instructionListView({"a", "b", "", "c"});
    EXPECT_EQ(view.size(), 7u);
    EXPECT_EQ(view.back(), "b");
    EXPECT_EQ(joinLines({"x", ""}), "x\n\n");
}

TEST(TraceTest, TwoTranslationsInARowGiveTheSameOutputsAndTrace) {
    const std::filesystem::path first = uniqueTempPath("emu-first");
    const std::filesystem::path second = uniqueTempPath("emu-second");
    const Ladder ladder = sampleLadder();
    const Outcome a = translate(ladder, first);
    const Outcome b = translate(ladder, second);
    ASSERT_EQ(a.result, 0);
    EXPECT_EQ(a.lines, b.lines);
    EXPECT_EQ(a.words, b.words);
    const std::string traceA = readFile(first);
    EXPECT_EQ(traceA, readFile(second));
    EXPECT_NE(traceA.find("Znalazlem poczatek bloku w wierszu nr 1\n"), std::string::npos);
    EXPECT_NE(traceA.find("Znalazlem przekaźnik! wiersz : 1 kolumna: 10\n"), std::string::npos);
    EXPECT_NE(traceA.find("rozgalezienie1\n"), std::string::npos);
    EXPECT_NE(traceA.find("LOAD %I0002\n"), std::string::npos);
    std::filesystem::remove(first);
    std::filesystem::remove(second);
}

TEST(TraceTest, ReusedTranslatorKeepsNothingFromTheLastRun) {
    const std::filesystem::path path = uniqueTempPath("emu-reuse");
    Translator translator;
    translator.setTracePath(path);
    auto run = [&](const Ladder& ladder) {
        const document::LadderDocument& doc = ladder.document();
        translator.init(doc.rowCount());
        for (int row = 0; row < doc.rowCount(); ++row) {
            for (int col = 0; col < 10; ++col) {
                translator.setCell(row, col, doc.CellCode(row, col), doc.CellText(row, col));
            }
        }
        const int result = translator.Translate();
        std::vector<std::int32_t> words = translator.programWords();
        translator.release();
        return std::make_pair(result, words);
    };
    const auto first = run(sampleLadder());
    const std::string firstTrace = readFile(path);
    static_cast<void>(run(Ladder().put(0, 0, 2)));  // fails with error 4 in between
    const auto again = run(sampleLadder());
    EXPECT_EQ(first, again);
    EXPECT_EQ(firstTrace, readFile(path));
    std::filesystem::remove(path);
}

TEST(TraceTest, NoTraceFileUnlessTheCallerNamesOne) {
    const std::filesystem::path folder = uniqueTempPath("no-trace");
    std::filesystem::create_directories(folder);
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const TranslationResult result = translateDocument(sampleLadder().document());
    std::filesystem::current_path(saved);
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    std::filesystem::remove_all(folder);
}

TEST(TraceTest, UnopenableTraceDoesNotStopTheTranslation) {
    const Outcome outcome = translate(sampleLadder(), "/nonexistent-dir/sub/EMU.txt");
    EXPECT_EQ(outcome.result, 0);
}

// A trace that cannot be opened, and one whose writes fail on a full disk (the system's full
// device takes every open and refuses every write): the translation and the analysis go on and
// say why the trace is missing.
TEST(TraceTest, TraceThatCannotBeWrittenIsANoteWithItsReason) {
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {"/nonexistent-dir/sub/EMU.txt", "nie ma takiego folderu"},
        {"/dev/full", "brak miejsca na dysku"},
    };
    for (const auto& [path, reason] : cases) {
        const std::string note = "Nie można zapisać pliku śladu " + path.string() + ": " + reason;
        const TranslationResult result = translateDocument(sampleLadder().document(), {path});
        EXPECT_TRUE(result.ok()) << result.report;
        EXPECT_FALSE(result.program.words().empty());
        EXPECT_EQ(result.traceProblem, note);
        const TranslationResult broken =
            translateDocument(Ladder().contact(0, 0, "%I0001").document(), {path});
        EXPECT_FALSE(broken.ok());
        EXPECT_EQ(broken.traceProblem, note);
        EXPECT_EQ(AnalyseNodesAndSegments(sampleLadder().document(), {path}).traceProblem, note);
    }
    const std::filesystem::path writable = uniqueTempPath("trace-ok");
    EXPECT_EQ(translateDocument(sampleLadder().document(), {writable}).traceProblem, "");
    std::filesystem::remove(writable);
}

}  // namespace
}  // namespace translator::testing
