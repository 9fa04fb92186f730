// Outputs of a rung: coil groups, edge numbering, control functions and their labels.
#include "tests/translator/ladder_helpers.h"

#include <gtest/gtest.h>

namespace translator::testing {
namespace {

const std::string A = "%I0001";
const std::string B = "%I0002";

TEST(OutputGroupTest, CoilsStackedUnderOneConditionShareIt) {
    const Outcome outcome = translate(Ladder()
                                          .contact(0, 0, A)
                                          .wires(0, 1, 7)
                                          .wire(0, 8, kDown)
                                          .coil(0, "%Q0001")
                                          .wire(1, 8, kUp)
                                          .coil(1, "%Q0002", 11));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{load(A), coilLine(3, "%Q0001"),
                                                       coilLine(11, "%Q0002"), kRule}));
}

TEST(OutputGroupTest, BranchWithItsOwnContactIsAGroupOfItsOwn) {
    const Outcome outcome = translate(Ladder()
                                          .contact(0, 0, A)
                                          .wire(0, 1, kDown)
                                          .wires(0, 2, 8)
                                          .coil(0, "%Q0001")
                                          .wire(1, 1, kUp)
                                          .contact(1, 2, B)
                                          .wires(1, 3, 8)
                                          .coil(1, "%Q0002"));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.lines,
              (std::vector<std::string>{load(A), coilLine(3, "%Q0001"), kRule, load(B), andLine(A),
                                        coilLine(3, "%Q0002"), kRule}));
}

TEST(OutputGroupTest, EightCoilsUnderOneConditionAreAccepted) {
    Ladder ladder(12);
    ladder.contact(0, 0, A).wires(0, 1, 7);
    for (int row = 0; row < 8; ++row) {
        ladder.wire(row, 8, row == 0 ? kDown : (row == 7 ? kUp : kBoth));
        ladder.coil(row, "%Q000" + std::to_string(row + 1));
    }
    const Outcome outcome = translate(ladder);
    ASSERT_EQ(outcome.result, 0) << outcome.errorCode;
    EXPECT_EQ(outcome.lines.size(), 10u);
}

TEST(OutputGroupTest, EdgeCoilsAreNumberedInEmissionOrder) {
    const Outcome outcome = translate(Ladder()
                                          .contact(0, 0, A)
                                          .wires(0, 1, 8)
                                          .coil(0, "%Q0001", 15)
                                          .contact(1, 0, B)
                                          .wires(1, 1, 7)
                                          .wire(1, 8, kDown)
                                          .coil(1, "%Q0002", 16)
                                          .wire(2, 8, kUp)
                                          .coil(2, "%M0003", 15));
    ASSERT_EQ(outcome.result, 0);
    const std::vector<std::int32_t> expected = {-1, -10, 0,   0,  -7, 15,  0,  -11, 0,
                                                0,  -1,  -10, 0,  1,  -7,  16, 1,   -11,
                                                0,  1,   -7,  15, 2,  -15, 0,  2,   -255};
    EXPECT_EQ(outcome.words, expected);
    EXPECT_EQ(outcome.edgeCount, 3);
}

TEST(OutputGroupTest, LinkedCoilIsStillAssigned) {
    // A stray link flag on the coil must not make the output vanish.
    const Outcome outcome =
        translate(Ladder().contact(0, 0, A).wires(0, 1, 8).put(0, 9, 103, "#A%Q0001#"));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{load(A), coilLine(3, "%Q0001"), kRule}));
}

TEST(OutputGroupTest, DescriptionLinesNeverChangeTheOperand) {
    const Outcome outcome = translate(Ladder()
                                          .put(0, 0, 1, "#A%I0001##1Pompa#2Alarm A%I0009#")
                                          .wires(0, 1, 8)
                                          .put(0, 9, 3, "#1%Q0007#A%Q0001##3Silnik#"));
    ASSERT_EQ(outcome.result, 0);
    const std::vector<std::int32_t> expected = {-1, -10, 0, 0, -7, 3, -11, 0, 0, -255};
    EXPECT_EQ(outcome.words, expected);
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{load(A), coilLine(3, "%Q0001"), kRule}));
}

TEST(ControlTest, JumpAndItsLabelCarryTheSameNumber) {
    const Outcome outcome = translate(Ladder()
                                          .contact(0, 0, A)
                                          .wires(0, 1, 8)
                                          .put(0, 9, 73, "#AL1#")
                                          .put(1, 0, 74, "#AL1#")
                                          .contact(2, 0, B)
                                          .wires(2, 1, 8)
                                          .coil(2, "%Q0001"));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.lines,
              (std::vector<std::string>{load(A), "   ->  JUMP L1", kRule, "   ->  LABEL L1", kRule,
                                        load(B), coilLine(3, "%Q0001"), kRule}));
    const std::vector<std::int32_t> expected = {-1, -10, 0, 0, -9, 73, 0,   -9, 74, 0,
                                                -1, -10, 0, 1, -7, 3,  -11, 0,  0,  -255};
    EXPECT_EQ(outcome.words, expected);
}

TEST(ControlTest, LabelNumbersFollowColumnOrder) {
    // Both JUMPs stand in column 9, so the upper one is entry 0 whatever the LABEL order.
    const Outcome outcome = translate(Ladder()
                                          .contact(0, 0, A)
                                          .wires(0, 1, 8)
                                          .put(0, 9, 73, "#AX#")
                                          .contact(1, 0, B)
                                          .wires(1, 1, 8)
                                          .put(1, 9, 73, "#AY#")
                                          .put(2, 0, 74, "#AY#")
                                          .put(3, 0, 74, "#AX#"));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.words,
              (std::vector<std::int32_t>{-1, -10, 0, 0,  -9, 73, 0,  -1, -10, 0,   1,
                                         -9, 73,  1, -9, 74, 1,  -9, 74, 0,   -255}));
}

TEST(ControlTest, McrZoneAndEndInTheMiddle) {
    const Outcome outcome = translate(Ladder()
                                          .contact(0, 0, A)
                                          .wires(0, 1, 8)
                                          .put(0, 9, 71, "#AZ1#")
                                          .put(1, 0, 72, "#AZ1#")
                                          .put(2, 0, 64)
                                          .contact(3, 0, B)
                                          .wires(3, 1, 8)
                                          .coil(3, "%Q0001"));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{
                                 load(A), "   ->  MCR Z1", kRule, "   ->  ENDMCR Z1", kRule,
                                 "   ->  END", kRule, load(B), coilLine(3, "%Q0001"), kRule}));
    EXPECT_EQ(outcome.words,
              (std::vector<std::int32_t>{-1, -10, 0, 0, -9, 71, 0,   -9, 72, 0,   -255,
                                         -1, -10, 0, 1, -7, 3,  -11, 0,  0,  -255}));
}

TEST(ControlTest, ControlInTheFirstCellIsTranslatedLikeAnyOther) {
    const Outcome outcome = translate(Ladder()
                                          .put(0, 0, 74, "#AL1#")
                                          .contact(1, 0, A)
                                          .wires(1, 1, 8)
                                          .put(1, 9, 73, "#AL1#")
                                          .contact(2, 0, B)
                                          .wires(2, 1, 8)
                                          .coil(2, "%Q0001"));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.words, (std::vector<std::int32_t>{-9,  74, 0, -1, -10, 0,   0, -9, 73,  0, -1,
                                                        -10, 0,  1, -7, 3,   -11, 0, 0,  -255}));
}

TEST(ControlTest, EndInTheFirstCellDoesNotDropTheRestOfTheProgram) {
    const Outcome outcome =
        translate(Ladder().put(0, 0, 64).contact(1, 0, A).wires(1, 1, 8).coil(1, "%Q0001"));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.words,
              (std::vector<std::int32_t>{-255, -1, -10, 0, 0, -7, 3, -11, 0, 0, -255}));
}

TEST(ControlTest, LinkedJumpIsTranslated) {
    const Outcome outcome = translate(
        Ladder().contact(0, 0, A).wires(0, 1, 8).put(0, 9, 173, "#AL1#").put(1, 0, 74, "#AL1#"));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.words,
              (std::vector<std::int32_t>{-1, -10, 0, 0, -9, 73, 0, -9, 74, 0, -255}));
}

TEST(ControlTest, EmptyGridAfterAllRungsEndsWithTheEndWordOnly) {
    const Outcome outcome = translate(Ladder().put(0, 0, 64));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.words, (std::vector<std::int32_t>{-255, -255}));
}

}  // namespace
}  // namespace translator::testing
