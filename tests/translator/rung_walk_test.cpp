// The rung walk: contacts in series and in parallel branches, continuation across rows, and
// the exact order of the emitted instructions.
#include "tests/translator/ladder_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace translator::testing {
namespace {

struct WalkCase {
    std::string name;
    std::function<Ladder()> build;
    std::vector<std::string> lines;
};

void PrintTo(const WalkCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string A = "%I0001";
const std::string B = "%I0002";
const std::string C = "%I0003";
const std::string D = "%I0004";
const std::string E = "%I0005";
const std::string F = "%I0006";
const std::string Q1 = "%Q0001";

std::vector<WalkCase> walkCases() {
    return {
        {"SeriesChainIsEmittedRightToLeft",
         [] { return Ladder().contact(0, 0, A).contact(0, 1, B).wires(0, 2, 8).coil(0, Q1); },
         {load(B), andLine(A), coilLine(3, Q1), kRule}},
        {"NormallyClosedContactsGiveNotForms",
         [] { return Ladder().contactNot(0, 0, A).contactNot(0, 1, B).wires(0, 2, 8).coil(0, Q1); },
         {loadNot(B), andNot(A), coilLine(3, Q1), kRule}},
        {"ParallelBlockAfterSeriesContact",
         [] {
             return Ladder()
                 .contact(0, 0, A)
                 .wire(0, 1, kDown)
                 .contact(0, 2, B)
                 .wires(0, 3, 8)
                 .coil(0, Q1)
                 .contact(1, 0, E)
                 .wire(1, 1, kUp);
         },
         {load(B), load(E), load(A), kOrS, kAndS, coilLine(3, Q1), kRule}},
        {"ParallelBlockAloneNeedsNoAndS",
         [] {
             return Ladder()
                 .contact(0, 0, A)
                 .wire(0, 1, kDown)
                 .wires(0, 2, 8)
                 .coil(0, Q1)
                 .contact(1, 0, E)
                 .wire(1, 1, kUp);
         },
         {load(E), load(A), kOrS, coilLine(3, Q1), kRule}},
        {"SeriesContactBeforeParallelPair",
         [] {
             return Ladder()
                 .contact(0, 0, A)
                 .contact(0, 1, B, kDown)
                 .wire(0, 2, kDown)
                 .wires(0, 3, 8)
                 .coil(0, Q1)
                 .contact(1, 1, C, kUp)
                 .wire(1, 2, kUp);
         },
         {load(C), load(B), kOrS, andLine(A), coilLine(3, Q1), kRule}},
        {"ParallelPairBetweenSeriesContacts",
         [] {
             return Ladder()
                 .contact(0, 0, A)
                 .contact(0, 1, B, kDown)
                 .wire(0, 2, kDown)
                 .contact(0, 3, D)
                 .wires(0, 4, 8)
                 .coil(0, Q1)
                 .contact(1, 1, C, kUp)
                 .wire(1, 2, kUp);
         },
         {load(D), load(C), load(B), kOrS, kAndS, andLine(A), coilLine(3, Q1), kRule}},
        {"SeriesPairInParallelWithOneContact",
         [] {
             return Ladder()
                 .contact(0, 0, A)
                 .contact(0, 1, B)
                 .wire(0, 2, kDown)
                 .wires(0, 3, 8)
                 .coil(0, Q1)
                 .contact(1, 0, C)
                 .wire(1, 1)
                 .wire(1, 2, kUp);
         },
         {load(C), load(B), andLine(A), kOrS, coilLine(3, Q1), kRule}},
        {"ThreeContactsInParallel",
         [] {
             return Ladder()
                 .contact(0, 0, A)
                 .wire(0, 1, kDown)
                 .wires(0, 2, 8)
                 .coil(0, Q1)
                 .contact(1, 0, E)
                 .wire(1, 1, kBoth)
                 .contact(2, 0, F)
                 .wire(2, 1, kUp);
         },
         {load(F), load(E), load(A), kOrS, kOrS, coilLine(3, Q1), kRule}},
        {"ContinuationCoilCarriesTheRungToALaterRow",
         [] {
             return Ladder()
                 .contact(0, 0, A)
                 .wires(0, 1, 8)
                 .put(0, 9, 8)
                 .put(2, 0, 9)
                 .contact(2, 1, B)
                 .wires(2, 2, 8)
                 .coil(2, Q1);
         },
         {load(B), andLine(A), coilLine(3, Q1), kRule}},
        {"RowWithContinuationContactAndCoilIsCrossedOnce",
         // Row 1 both continues the rung and breaks it again: each search must look past the
         // row it starts in.
         [] {
             return Ladder()
                 .contact(0, 0, A)
                 .wires(0, 1, 8)
                 .put(0, 9, 8)
                 .put(1, 0, 9)
                 .contact(1, 1, B)
                 .wires(1, 2, 8)
                 .put(1, 9, 8)
                 .put(2, 0, 9)
                 .contact(2, 1, C)
                 .wires(2, 2, 8)
                 .coil(2, Q1);
         },
         {load(C), andLine(B), andLine(A), coilLine(3, Q1), kRule}},
    };
}

class RungWalkTest : public ::testing::TestWithParam<WalkCase> {};

TEST_P(RungWalkTest, EmitsTheInstructionsInOrder) {
    const Outcome outcome = translate(GetParam().build());
    ASSERT_EQ(outcome.result, 0) << "error " << outcome.errorCode << " at " << outcome.errorRow
                                 << "," << outcome.errorCol;
    EXPECT_EQ(outcome.lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, RungWalkTest, ::testing::ValuesIn(walkCases()),
                         [](const auto& p) { return p.param.name; });

TEST(RungWalkWordsTest, TwoContactsAndACoilGiveTheirWordsAndTheEndWord) {
    const Outcome outcome =
        translate(Ladder().contact(0, 0, A).contact(0, 1, B).wires(0, 2, 8).coil(0, Q1));
    ASSERT_EQ(outcome.result, 0);
    const std::vector<std::int32_t> expected = {-1, -10, 0, 1,   -3, -10, 0,
                                                0,  -7,  3, -11, 0,  0,   -255};
    EXPECT_EQ(outcome.words, expected);
}

TEST(RungWalkWordsTest, ParallelBlockWordsFollowTheListing) {
    const Outcome outcome = translate(Ladder()
                                          .contact(0, 0, A)
                                          .wire(0, 1, kDown)
                                          .contact(0, 2, "%M0017")
                                          .wires(0, 3, 8)
                                          .coil(0, "%Q0009")
                                          .contactNot(1, 0, "%I0009")
                                          .wire(1, 1, kUp));
    ASSERT_EQ(outcome.result, 0);
    const std::vector<std::int32_t> expected = {-1, -15, 2,  0,  -2, -10, 1,   0, -1, -10,
                                                0,  0,   -5, -6, -7, 3,   -11, 1, 0,  -255};
    EXPECT_EQ(outcome.words, expected);
}

TEST(RungWalkWordsTest, EveryRungIsTranslatedOnceTopToBottom) {
    const Outcome outcome = translate(
        Ladder().contact(0, 0, A).wires(0, 1, 8).coil(0, Q1).contact(3, 0, B).wires(3, 1, 8).coil(
            3, "%Q0002"));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{load(A), coilLine(3, Q1), kRule, load(B),
                                                       coilLine(3, "%Q0002"), kRule}));
}

std::string traceOf(const Ladder& ladder) {
    const std::filesystem::path path = uniqueTempPath("emu-walk");
    static_cast<void>(translate(ladder, path));
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    in.close();
    std::filesystem::remove(path);
    return text.str();
}

Ladder workedExample() {
    Ladder ladder(3);
    ladder.contact(0, 0, A)
        .wire(0, 1, kDown)
        .contact(0, 2, B)
        .wires(0, 3, 8)
        .coil(0, Q1)
        .contact(1, 0, E)
        .wire(1, 1, kUp);
    return ladder;
}

TEST(RungWalkTraceTest, WorkedExampleWritesTheWholeCommentary) {
    std::string expected = "Znalazlem poczatek bloku w wierszu nr 1\n";
    for (int i = 0; i < 9; ++i) {
        expected += " w prawo \n";
    }
    expected +=
        "Znalazlem przekaźnik! wiersz : 1 kolumna: 10\n"
        " Pozostale ------------\n";
    for (int col = 10; col >= 2; --col) {
        expected += " w1 k " + std::to_string(col) + "\n";
    }
    const std::string emptyRow = "0 0 0 0 0 0 0 0\n";
    expected += " w2 k 2\n w2 k 1\n Pozostale zakonczone.\n9 0 0 0 0 0 0 0\n";
    for (int i = 0; i < 7; ++i) {
        expected += emptyRow;
    }
    for (int col = 10; col >= 4; --col) {
        expected += " Idz w>1k>" + std::to_string(col) + "\nidz lewo\n";
    }
    expected +=
        "Funkcja Zapisz w>1k>3\n"
        "f.wyluskaj\n"
        "LOAD %I0002\n"
        " Idz w>1k>3\n"
        "idz lewo\n"
        "rozgalezienie1\n"
        "  funkcja skrzyżowanie: adres w1 k2\n"
        " dol\n"
        "  funkcja skrzyżowanie: adres w2 k2\n"
        " lewo\n"
        "  funkcja skrzyżowanie: adres w2 k1\n"
        " prawo\n"
        "  funkcja skrzyżowanie: adres w2 k2\n"
        " gora\n"
        "  funkcja skrzyżowanie: adres w1 k2\n"
        " lewo\n"
        "  funkcja skrzyżowanie: adres w1 k1\n"
        " prawo\n"
        "  funkcja skrzyżowanie: adres w1 k2\n"
        "IndexS 2 =10\n"
        "IndexS 1 =0\n"
        "IndexS 0 =-1\n"
        "IndexP 0 =-1\n"
        "Funkcja Zapisz w>2k>1\n"
        "f.wyluskaj\n"
        "LOAD %I0005\n"
        "GoraPrawoKolumna0 Yes\n"
        "Punkt1\n"
        "IndexP 1 =0\n"
        "IndexP 0 =-1\n"
        "Funkcja Zapisz w>1k>1\n"
        "f.wyluskaj\n"
        "LOAD %I0001\n"
        " OR !!!!\n"
        " AND !!!!\n"
        "bywam tutaj w0k0 indexP=-1 StosP[IndexP]=0\n"
        "Funkcja CzyWiecej\n";
    for (int i = 0; i < 8; ++i) {
        expected += emptyRow;
    }
    expected += "Nie znalazłem początku. Jestem w wierszu 3\n";
    EXPECT_EQ(traceOf(workedExample()), expected);
}

struct TraceEndCase {
    std::string name;
    std::function<Ladder()> build;
    std::string lastLines;
};

void PrintTo(const TraceEndCase& c, std::ostream* os) {
    *os << c.name;
}

class RungWalkTraceEndTest : public ::testing::TestWithParam<TraceEndCase> {};

TEST_P(RungWalkTraceEndTest, FailureIsCommentedLast) {
    const std::string trace = traceOf(GetParam().build());
    const std::string& tail = GetParam().lastLines;
    ASSERT_GE(trace.size(), tail.size());
    EXPECT_EQ(trace.substr(trace.size() - tail.size()), tail) << trace;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RungWalkTraceEndTest,
    ::testing::Values(TraceEndCase{"WireWithoutRightNeighbour",
                                   [] { return Ladder().contact(0, 0, A).wire(0, 1); },
                                   "Znalazlem poczatek bloku w wierszu nr 1\n w prawo \nBlad 2\n"},
                      TraceEndCase{"PureLinkThatGoesNowhere",
                                   [] { return Ladder().contact(0, 0, A).put(0, 1, 100); },
                                   " w prawo \nBrak ciągłości szczebla drabiny\n"},
                      TraceEndCase{"NoRungStartAtAll", [] { return Ladder(4).put(1, 0, 9); },
                                   "Nie znalazłem początku. Jestem w wierszu 4\n"},
                      TraceEndCase{
                          "ContinuationCoilWithoutItsContact",
                          [] { return Ladder().contact(0, 0, A).wires(0, 1, 8).put(0, 9, 8); },
                          "PrzeniesDoStyku()\nPrzeniesDoStyku() NO\nBlad 2\n"},
                      TraceEndCase{"BranchWithoutCoil",
                                   [] {
                                       return Ladder()
                                           .contact(0, 0, A)
                                           .wire(0, 1, kDown)
                                           .wires(0, 2, 8)
                                           .coil(0, Q1)
                                           .wire(1, 1, kUp)
                                           .wire(1, 2);
                                   },
                                   " w2 k 2\nznalazlem odnoge\nBlad 2\n"}),
    [](const auto& p) { return p.param.name; });

}  // namespace
}  // namespace translator::testing
