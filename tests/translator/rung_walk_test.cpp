// The rung walk: contacts in series and in parallel branches, continuation across rows, and
// the exact order of the emitted instructions.
#include "tests/translator/ladder_helpers.h"

#include <gtest/gtest.h>

#include <functional>

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

}  // namespace
}  // namespace translator::testing
