// Every ladder rule the translator enforces, each at the exact cell it reports, and the order
// in which the rule groups win over one another.
#include "tests/translator/ladder_helpers.h"

#include <gtest/gtest.h>

#include <functional>

namespace translator::testing {
namespace {

struct RuleCase {
    std::string name;
    std::function<Ladder()> build;
    int error = 0;
    int row = 0;
    int col = 0;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << c.name;
}

Ladder rungTo(int row, const std::string& coil = "%Q0001") {
    Ladder ladder(12);
    ladder.contact(row, 0, "%I0001").wires(row, 1, 8).coil(row, coil);
    return ladder;
}

// A main rung on row 0 and `branches` rows below it, each hanging off column 1 with a contact
// of its own and a coil, so that every branch forms an output group of its own.
Ladder contactBranches(int branches) {
    Ladder ladder(12);
    ladder.contact(0, 0, "%I0001").wire(0, 1, kDown).wires(0, 2, 8).coil(0, "%Q0001");
    for (int row = 1; row <= branches; ++row) {
        ladder.wire(row, 1, row == branches ? kUp : kBoth)
            .contact(row, 2, "%I000" + std::to_string(row + 1))
            .wires(row, 3, 8)
            .coil(row, "%M000" + std::to_string(row));
    }
    return ladder;
}

std::vector<RuleCase> ruleCases() {
    return {
        {"ContactWithoutOperandColumnBeforeRow",
         [] {
             Ladder l = rungTo(0);
             l.put(6, 1, 1).put(0, 2, 2);
             return l;
         },
         4, 6, 1},
        {"LinkedContactWithoutOperand",
         [] {
             Ladder l = rungTo(0);
             l.put(0, 1, 101);
             return l;
         },
         4, 0, 1},
        {"CoilWithoutOperand",
         [] {
             Ladder l = rungTo(0);
             l.put(0, 9, 13);
             return l;
         },
         4, 0, 9},
        {"DescriptionIsNoOperand",
         [] {
             Ladder l = rungTo(0);
             l.put(0, 0, 1, "#1Pompa %I0001#");
             return l;
         },
         4, 0, 0},
        {"EmptyGridHasNoRungStart", [] { return Ladder(10); }, 8, 9, 0},
        {"RowsWithoutAStartElement", [] { return Ladder(4).put(1, 0, 9).put(2, 0, 100); }, 8, 3, 0},
        {"RungBrokenBeforeTheCoilColumn",
         [] { return Ladder().contact(0, 0, "%I0001").wire(0, 1); }, 2, 0, 1},
        {"ContinuationCoilWithoutItsContact",
         [] { return Ladder().contact(0, 0, "%I0001").wires(0, 1, 8).put(0, 9, 8); }, 2, 0, 9},
        {"ContinuationThatNeverEnds",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wires(0, 1, 8)
                 .put(0, 9, 8)
                 .put(1, 0, 9)
                 .wires(1, 1, 8)
                 .put(1, 9, 8);
         },
         2, 1, 9},
        {"CoilOutsideTheLastColumn",
         [] { return Ladder().contact(0, 0, "%I0001").wires(0, 1, 4).put(0, 5, 3, "#A%Q0001#"); },
         11, 0, 5},
        {"BranchCoilOutsideTheLastColumn",
         [] {
             Ladder l = rungTo(0);
             l.wire(0, 1, kDown).wire(1, 1, kUp).wires(1, 2, 4).put(1, 5, 3, "#A%Q0002#");
             return l;
         },
         11, 1, 5},
        {"NineCoilsUnderOneCondition",
         [] {
             Ladder l(12);
             l.contact(0, 0, "%I0001").wires(0, 1, 7);
             for (int row = 0; row < 9; ++row) {
                 l.wire(row, 8, row == 0 ? kDown : (row == 8 ? kUp : kBoth));
                 l.coil(row, "%Q000" + std::to_string(row + 1));
             }
             return l;
         },
         13, 8, 9},
        {"RungEndingInAPureLinkBeforeTheCoilColumn",
         [] { return Ladder().contact(0, 0, "%I0001").put(0, 1, 100).wires(0, 2, 8); }, 2, 0, 1},
        {"BranchBelowTheRungLeadsNowhere",
         [] {
             Ladder l = rungTo(0);
             l.wire(0, 1, kDown).put(1, 1, 200);
             return l;
         },
         2, 1, 1},
        {"BranchEndsBeforeReachingACoil",
         [] {
             Ladder l = rungTo(0);
             l.wire(0, 1, kDown).wire(1, 1, kUp).wires(1, 2, 4);
             return l;
         },
         2, 1, 4},
        {"NinthOutputGroupWouldNeverBeTranslated", [] { return contactBranches(8); }, 13, 8, 9},
        {"RungEndingInALinkWithoutOutput",
         [] { return Ladder().contact(0, 0, "%I0001").wires(0, 1, 8).put(0, 9, 100); }, 14, 0, 9},
        {"BranchCoilBesideAJumpWouldReplaceIt",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wire(0, 1, kDown)
                 .wires(0, 2, 8)
                 .put(0, 9, 73, "#AL1#")
                 .wire(1, 1, kUp)
                 .wires(1, 2, 8)
                 .coil(1, "%Q0001")
                 .put(2, 0, 74, "#AL1#");
         },
         16, 1, 9},
        {"BranchCoilBesideABlockWouldReplaceIt",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wire(0, 1, kDown)
                 .wire(0, 2)
                 .block(0, 3, 45)
                 .wire(1, 1, kBoth)
                 .wire(2, 1, kUp)
                 .wires(2, 2, 8)
                 .coil(2, "%Q0001");
         },
         22, 2, 9},
        {"CoilWithEmptyCellsToItsLeft",
         [] {
             Ladder l = rungTo(0);
             l.coil(1, "%Q0002");
             return l;
         },
         2, 1, 9},
        {"CoilOnTheTopRowOfAComparisonWhoseOutputIsTheSecond",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wires(0, 1, 2)
                 .block(0, 3, 31)
                 .operand(1, 2, "%R0001")
                 .operand(2, 2, "+00005")
                 .wires(0, 4, 8)
                 .coil(0, "%Q0001");
         },
         2, 0, 9},
        {"BlockNoRungLeadsTo",
         [] {
             Ladder l = rungTo(0);
             l.block(2, 4, 45).operand(3, 3, "+00001").operand(3, 5, "%R0001");
             return l;
         },
         2, 2, 4},
        {"JumpNoRungLeadsTo",
         [] {
             Ladder l = rungTo(0);
             l.put(1, 9, 73, "#AL1#").put(2, 0, 74, "#AL1#");
             return l;
         },
         2, 1, 9},
        {"LabelInTheLastColumnBelowAJump",
         [] {
             Ladder l = rungTo(2);
             l.contact(0, 0, "%I0002").wires(0, 1, 8).put(0, 9, 73, "#AL1#").put(1, 9, 74, "#AL1#");
             return l;
         },
         28, 1, 9},
        {"EndInTheLastColumnNoRungLeadsTo",
         [] {
             Ladder l = rungTo(0);
             l.put(1, 9, 64);
             return l;
         },
         28, 1, 9},
        {"BlockTopOfNoKnownKind",
         [] { return Ladder().contact(0, 0, "%I0001").wires(0, 1, 2).put(0, 3, 462, "#NXYZ#"); }, 2,
         0, 3},
        {"ContactLedRoundByAWire",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0003")
                 .contact(0, 1, "%I0001", kDown)
                 .wire(0, 2, kDown)
                 .wires(0, 3, 8)
                 .coil(0, "%Q0001")
                 .wire(1, 1, kUp)
                 .wire(1, 2, kUp);
         },
         27, 1, 1},
        {"WireFromTheRailBesideAContact",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001", kDown)
                 .contact(0, 1, "%I0002", kDown)
                 .wires(0, 2, 8)
                 .coil(0, "%Q0001")
                 .wire(1, 0, kUp)
                 .wire(1, 1, kUp);
         },
         27, 1, 0},
        {"EndOutsideTheFirstColumn",
         [] { return Ladder().contact(0, 0, "%I0001").wires(0, 1, 2).put(0, 3, 64); }, 28, 0, 3},
        {"LabelWithoutJumpWinsOverRungErrors",
         [] {
             Ladder l = rungTo(0);
             l.put(2, 0, 74, "#AL2#").put(4, 5, 3, "#A%Q0002#");
             return l;
         },
         29, 2, 0},
        {"EndMcrWithoutMcr",
         [] {
             Ladder l = rungTo(0);
             l.put(2, 0, 72, "#AZ#");
             return l;
         },
         30, 2, 0},
        {"SecondLabelForOneJumpInColumnOrder",
         [] {
             Ladder l = rungTo(0);
             l.put(0, 9, 73, "#AL1#").put(5, 0, 74, "#AL1#").put(3, 0, 74, "#AL1#");
             return l;
         },
         31, 5, 0},
        {"JumpsAreCheckedBeforeMcrs",
         [] {
             Ladder l = rungTo(0);
             l.put(0, 9, 71, "#AZ#");
             l.contact(2, 0, "%I0002").wires(2, 1, 8).put(2, 9, 73, "#AL1#");
             return l;
         },
         32, 2, 9},
        {"McrWithoutEndMcr",
         [] {
             Ladder l = rungTo(0);
             l.put(0, 9, 71, "#AZ#");
             return l;
         },
         33, 0, 9},
        {"MoreThanTenParallelBranches",
         [] {
             Ladder l(14);
             for (int row = 0; row < 11; ++row) {
                 l.contact(row, 0, "%I000" + std::to_string(row % 9 + 1));
                 l.wire(row, 1, row == 0 ? kDown : (row == 10 ? kUp : kBoth));
             }
             l.wires(0, 2, 8).coil(0, "%Q0001");
             return l;
         },
         34, 0, 0},
    };
}

class RuleErrorTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RuleErrorTest, StopsAtTheOffendingCell) {
    const RuleCase& c = GetParam();
    const Outcome outcome = translate(c.build());
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.errorCode, c.error);
    EXPECT_EQ(outcome.errorRow, c.row);
    EXPECT_EQ(outcome.errorCol, c.col);
}

INSTANTIATE_TEST_SUITE_P(Rules, RuleErrorTest, ::testing::ValuesIn(ruleCases()),
                         [](const auto& p) { return p.param.name; });

TEST(OutputGroupLimitTest, EightGroupsAreTranslatedEachWithItsCondition) {
    const Outcome outcome = translate(contactBranches(7));
    ASSERT_EQ(outcome.result, 0) << outcome.errorCode;
    int rules = 0;
    for (const std::string& line : outcome.lines) {
        rules += line == kRule ? 1 : 0;
    }
    EXPECT_EQ(rules, 8);
}

TEST(ProgramSizeTest, MoreThanFiveThousandWordsIsTooLarge) {
    // Each rung of one contact and one coil takes nine words.
    const int rungs = 560;
    Ladder ladder(rungs);
    for (int row = 0; row < rungs; ++row) {
        ladder.contact(row, 0, "%I0001").wires(row, 1, 8).coil(row, "%Q0001");
    }
    const Outcome outcome = translate(ladder);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.errorCode, 34);
}

TEST(ProgramSizeTest, JustUnderTheLimitStillTranslates) {
    const int rungs = 555;  // 4995 words and the end word
    Ladder ladder(rungs);
    for (int row = 0; row < rungs; ++row) {
        ladder.contact(row, 0, "%I0001").wires(row, 1, 8).coil(row, "%Q0001");
    }
    const Outcome outcome = translate(ladder);
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.words.size(), 4996u);
}

// Odd grids must end with a result, never hang; these are shapes the rules do not foresee.
TEST(OddGridTest, WalksEndOnOddGrids) {
    std::vector<Ladder> ladders;
    ladders.push_back(Ladder().put(0, 0, 9).contact(1, 0, "%I0001").wires(1, 1, 8).put(1, 9, 8));
    ladders.push_back(Ladder()
                          .contact(0, 0, "%I0001")
                          .wire(0, 1, kDown)
                          .wire(0, 2, kDown)
                          .wires(0, 3, 8)
                          .coil(0, "%Q0001")
                          .wire(1, 1, kUp)
                          .wire(1, 2, kUp));
    ladders.push_back(Ladder()
                          .contact(0, 0, "%I0001")
                          .put(0, 1, 300)
                          .put(1, 1, 300)
                          .wires(0, 2, 8)
                          .coil(0, "%Q0001")
                          .put(1, 0, 9, "")
                          .put(0, 9, 108));
    ladders.push_back(Ladder()
                          .contact(0, 0, "%I0001")
                          .wires(0, 1, 8)
                          .coil(0, "%Q0001")
                          .wire(1, 0)
                          .wire(1, 1, kDown)
                          .wire(2, 1, kUp)
                          .wire(2, 0));
    for (const Ladder& ladder : ladders) {
        const Outcome outcome = translate(ladder);
        EXPECT_TRUE(outcome.result == 0 || outcome.errorCode != 0);
    }
}

}  // namespace
}  // namespace translator::testing
