// Contact logic, the stack, coils, MCR zones and jumps, run through the scan cycle.
#include "tests/plc/program_builder.h"

#include <gtest/gtest.h>

#include <tuple>

namespace plc::test {
namespace {

// --- Contact logic --------------------------------------------------------------------------

// LOAD %I1, LOAD %I2, OR (S), AND NOT %M1, -( )- %Q1: the words given as the format's example.
class ContactLogicTest : public ::testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(ContactLogicTest, OrOfTwoInputsAndNotMarkerDrivesCoil) {
    const auto [i1, i2, m1] = GetParam();
    Rig rig;
    rig.run(
        Builder().words({-1, -10, 0, 0, -1, -10, 0, 1, -5, -4, -15, 0, 0, -7, 3, -11, 0, 0, -255}));
    rig.setBit(M(1), m1);
    rig.scanWith(static_cast<std::uint16_t>(i1 | (i2 << 1)));
    EXPECT_EQ(rig.bit(Q(1)), (i1 | i2) & (1 - m1));
    EXPECT_EQ(rig.panel.outputs & 1, (i1 | i2) & (1 - m1));
}

INSTANTIATE_TEST_SUITE_P(AllInputs, ContactLogicTest,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Values(0, 1),
                                            ::testing::Values(0, 1)));

TEST(EngineTest, SeriesAndParallelBranchesCombineThroughTheStack) {
    // (I1 AND NOT I2) OR (NOT I3 AND I4), then AND (S) with I5 loaded before: Q1.
    Builder b;
    b.load(I(5))
        .load(I(1))
        .andNot(I(2))
        .loadNot(I(3))
        .andBit(I(4))
        .orStack()
        .andStack()
        .coil(kCoilNormal, Q(1))
        .end();
    Rig rig;
    rig.run(b);
    for (unsigned in = 0; in < 32; ++in) {
        rig.scanWith(static_cast<std::uint16_t>(in));
        const bool i1 = in & 1, i2 = in & 2, i3 = in & 4, i4 = in & 8, i5 = in & 16;
        EXPECT_EQ(rig.bit(Q(1)), ((i1 && !i2) || (!i3 && i4)) && i5 ? 1 : 0) << in;
    }
}

TEST(EngineTest, EveryRungEvaluatesCorrectlyAfterMoreRungsThanTheStackHolds) {
    // 120 rungs of LOAD a, LOAD b, OR (S): each pushes one entry that is never popped, so the
    // stack overflows long before the last rungs, which must still see their own entries.
    Builder b;
    for (int r = 0; r < 120; ++r) {
        b.load(I(1 + r % 2)).load(I(3)).orStack().coil(kCoilNormal, M(r + 1));
    }
    b.end();
    Rig rig;
    rig.run(b);
    rig.scanWith(0b001);
    for (int r = 0; r < 120; ++r) {
        EXPECT_EQ(rig.bit(M(r + 1)), r % 2 == 0 ? 1 : 0) << "rung " << r;
    }
    rig.scanWith(0b100);
    for (int r = 0; r < 120; ++r) {
        EXPECT_EQ(rig.bit(M(r + 1)), 1) << "rung " << r;
    }
}

TEST(EngineTest, PopFromAnEmptyStackGivesZeroWhateverEarlierScansLeftInIt) {
    // AND (S) first thing in the scan pops nothing; the slots still hold the 1s pushed by the
    // LOADs of the scan before. A power-flow input starts with an empty stack as well.
    Builder b;
    b.word(kAndStack).coil(kCoilNormal, Q(1));
    b.load(I(1)).load(I(1)).load(I(1));
    b.words({kBlock, document::kindNumber(BlockKind::Eq), kAndStack, kEndOfInput, kTypeInt})
        .operand(1)
        .operand(1)
        .coil(kCoilNormal, Q(2))
        .load(I(1))
        .end();
    Rig rig;
    rig.run(b);
    for (int scan = 0; scan < 3; ++scan) {
        rig.scanWith(1);
        EXPECT_EQ(rig.bit(Q(1)), 0) << scan;
        EXPECT_EQ(rig.bit(Q(2)), 0) << scan;
    }
}

TEST(EngineTest, WordsThatAreNotInstructionsArePassedOver) {
    Builder b;
    b.words({17, 3, 0, -100, 74, 12345}).load(I(1)).coil(kCoilNormal, Q(1)).end();
    Rig rig;
    rig.run(b);
    rig.scanWith(1);
    EXPECT_EQ(rig.bit(Q(1)), 1);
}

TEST(EngineTest, EndMarkerInTheMiddleEndsTheScan) {
    Builder b;
    b.load(I(1)).coil(kCoilNormal, Q(1)).end().load(I(1)).coil(kCoilNormal, Q(2)).end();
    Rig rig;
    rig.run(b);
    rig.scanWith(1);
    EXPECT_EQ(rig.bit(Q(1)), 1);
    EXPECT_EQ(rig.bit(Q(2)), 0);
}

TEST(EngineTest, ProgramWithoutEndMarkerStopsAtItsLastWord) {
    // A LOAD cut off after its area code: the scan ends without reading past the program.
    Rig rig;
    rig.run(Builder().load(I(1)).coil(kCoilNormal, Q(1)).words({kLoad, kAreaI}));
    rig.scanWith(1);
    EXPECT_EQ(rig.bit(Q(1)), 1);
    EXPECT_FALSE(rig.plc.watchdogFault());
}

TEST(EngineTest, OperandsOutsideTheirAreaReadZeroAndWriteNothing) {
    Builder b;
    b.load(I(1))
        .coil(kCoilNormal, {kAreaQ, 64, 0})  // first byte past %Q
        .coil(kCoilNormal, {kAreaQ, -1, 0})  // before it
        .coil(kCoilNormal, {0, 0, 0})        // no area
        .coil(kCoilNormal, {kAreaQ, 0, 8})   // bit 8
        .coil(kCoilRetentive, {kAreaM, 128, 0})
        .loadNot({kAreaI, 1000000, 0})  // reads 0, NOT gives 1
        .coil(kCoilNormal, Q(2))
        .end();
    Rig rig;
    rig.run(b);
    rig.scanWith(1);
    for (int kind = 0; kind < kAreaKindCount; ++kind) {
        if (kind == static_cast<int>(AreaKind::I) || kind == static_cast<int>(AreaKind::Q) ||
            kind == static_cast<int>(AreaKind::S)) {
            continue;
        }
        for (std::uint8_t byte : rig.plc.area(kind)) {
            ASSERT_EQ(byte, 0) << "kind " << kind;
        }
    }
    EXPECT_EQ(rig.plc.outputWord(), 0b10);
}

// --- Coils ----------------------------------------------------------------------------------

struct CoilCase {
    ProgramWord code;
    int rung;        // the accumulator at the coil
    int before;      // the bit before the scan
    int after;       // the bit after
    bool retentive;  // whether the retentive copy follows
};

class CoilTest : public ::testing::TestWithParam<CoilCase> {};

TEST_P(CoilTest, WritesTheBitAsItsCodeSays) {
    const CoilCase c = GetParam();
    Rig rig;
    rig.run(Builder().load(I(1)).coil(c.code, M(3)).coil(kCoilNormal, Q(1)).end());
    rig.setBit(M(3), c.before);
    rig.scanWith(static_cast<std::uint16_t>(c.rung));
    EXPECT_EQ(rig.bit(M(3)), c.after);
    EXPECT_EQ(rig.bit(Q(1)), c.rung) << "the accumulator must pass through unchanged";
    const int retained = (rig.plc.retentiveCopy(AreaKind::M)[0] >> 2) & 1;
    EXPECT_EQ(retained, c.retentive ? c.after : 0);
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, CoilTest,
    ::testing::Values(
        CoilCase{kCoilNormal, 1, 0, 1, false}, CoilCase{kCoilNormal, 0, 1, 0, false},
        CoilCase{kCoilNegated, 1, 1, 0, false}, CoilCase{kCoilNegated, 0, 0, 1, false},
        CoilCase{kCoilRetentive, 1, 0, 1, true}, CoilCase{kCoilRetentive, 0, 1, 0, true},
        CoilCase{kCoilNegatedRetentive, 0, 0, 1, true},
        CoilCase{kCoilNegatedRetentive, 1, 1, 0, true}, CoilCase{kCoilSet, 1, 0, 1, false},
        CoilCase{kCoilSet, 0, 0, 0, false}, CoilCase{kCoilSet, 0, 1, 1, false},
        CoilCase{kCoilReset, 1, 1, 0, false}, CoilCase{kCoilReset, 0, 1, 1, false},
        CoilCase{kCoilSetRetentive, 1, 0, 1, true}, CoilCase{kCoilSetRetentive, 0, 0, 0, false},
        CoilCase{kCoilResetRetentive, 1, 1, 0, true}, CoilCase{kCoilResetRetentive, 0, 1, 1, false},
        CoilCase{99, 1, 0, 0, false}));

TEST(EdgeCoilTest, PositiveTransitionPulsesForOneScanAndLeavesThePulseInTheAccumulator) {
    Rig rig;
    rig.run(Builder()
                .words({-1, -10, 0, 0, -7, 15, 0, -11, 0, 1})  // LOAD %I1, -(^)- #0 %Q2
                .coil(kCoilNormal, Q(3))                       // sees the pulse
                .end(),
            1);
    const std::vector<std::uint16_t> inputs{0, 1, 1, 1, 0, 1, 1};
    const std::vector<int> expected{0, 1, 0, 0, 0, 1, 0};
    for (std::size_t s = 0; s < inputs.size(); ++s) {
        rig.scanWith(inputs[s]);
        EXPECT_EQ(rig.bit(Q(2)), expected[s]) << "scan " << s;
        EXPECT_EQ(rig.bit(Q(3)), expected[s]) << "scan " << s;
    }
}

TEST(EdgeCoilTest, PositiveTransitionPulsesInTheFirstScanIfTheRungIsAlreadyTrue) {
    Rig rig;
    rig.run(Builder().load(I(1)).edgeCoil(kCoilPositive, 0, Q(1)).end(), 1);
    rig.scanWith(1);
    EXPECT_EQ(rig.bit(Q(1)), 1);
}

TEST(EdgeCoilTest, NegativeTransitionPulsesInTheScanTheRungFalls) {
    Rig rig;
    rig.run(Builder().load(I(1)).edgeCoil(kCoilNegative, 0, Q(2)).coil(kCoilNormal, Q(3)).end(), 1);
    const std::vector<std::uint16_t> inputs{0, 1, 1, 0, 0, 1, 0};
    const std::vector<int> expected{0, 0, 0, 1, 0, 0, 1};
    for (std::size_t s = 0; s < inputs.size(); ++s) {
        rig.scanWith(inputs[s]);
        EXPECT_EQ(rig.bit(Q(2)), expected[s]) << "scan " << s;
        EXPECT_EQ(rig.bit(Q(3)), expected[s]) << "scan " << s;
    }
}

TEST(EdgeCoilTest, TwoEdgeCoilsKeepSeparateState) {
    Rig rig;
    rig.run(Builder()
                .load(I(1))
                .edgeCoil(kCoilPositive, 0, Q(1))
                .load(I(2))
                .edgeCoil(kCoilPositive, 1, Q(2))
                .end(),
            2);
    rig.scanWith(0b01);
    EXPECT_EQ(rig.plc.outputWord(), 0b01);
    rig.scanWith(0b11);
    EXPECT_EQ(rig.plc.outputWord(), 0b10);
}

TEST(EdgeCoilTest, EdgeIndexOutsideTheTableIsPassedOver) {
    Rig rig;
    rig.run(Builder()
                .load(I(1))
                .edgeCoil(kCoilPositive, 5, Q(1))
                .edgeCoil(kCoilNegative, -1, Q(2))
                .coil(kCoilNormal, Q(3))
                .end(),
            1);
    rig.scanWith(1);
    EXPECT_EQ(rig.plc.outputWord(), 0b100);
}

// --- MCR and JUMP ---------------------------------------------------------------------------

TEST(McrTest, ActiveZoneForcesCoilsOffUntilEndMcrAndKeepsSetCoilsQuiet) {
    Builder b;
    b.load(I(1))
        .control(kControlMcr, 0)
        .load(I(2))
        .coil(kCoilNormal, Q(1))
        .load(I(2))
        .coil(kCoilNegated, Q(2))
        .load(I(2))
        .coil(kCoilSet, Q(3))
        .control(kControlEndMcr, 0)
        .load(I(2))
        .coil(kCoilNormal, Q(4))
        .end();
    Rig rig;
    rig.run(b);
    rig.scanWith(0b10);  // MCR rung false: the zone works
    EXPECT_EQ(rig.plc.outputWord(), 0b1101);
    rig.plc.writeBit(kAreaQ, 0, 2, 0);
    rig.scanWith(0b11);  // MCR rung true
    EXPECT_EQ(rig.plc.outputWord(), 0b1010);
    EXPECT_FALSE(rig.plc.mcrActive());
}

TEST(McrTest, FlagSurvivesTheEndOfTheScanUntilAnEndMcr) {
    // No ENDMCR: the zone stays active into the next scan, even for rungs before the MCR.
    Builder b;
    b.load(I(2)).coil(kCoilNormal, Q(1)).load(I(1)).control(kControlMcr, 0).end();
    Rig rig;
    rig.run(b);
    rig.scanWith(0b10);
    EXPECT_EQ(rig.bit(Q(1)), 1);
    rig.scanWith(0b11);
    EXPECT_EQ(rig.bit(Q(1)), 1);  // the MCR comes after the coil in this scan
    rig.scanWith(0b10);
    EXPECT_EQ(rig.bit(Q(1)), 0);
    EXPECT_TRUE(rig.plc.mcrActive());
}

TEST(JumpTest, TakenJumpSkipsRungsUpToItsLabelAndTheirCoilsKeepTheirValues) {
    Builder b;
    b.load(I(2))
        .coil(kCoilNormal, Q(1))
        .load(I(1))
        .control(kControlJump, 1)
        .load(I(2))
        .coil(kCoilNormal, Q(2))
        .control(kControlLabel, 1)
        .load(I(2))
        .coil(kCoilNormal, Q(3))
        .end();
    Rig rig;
    rig.run(b);
    rig.scanWith(0b10);  // not taken
    EXPECT_EQ(rig.plc.outputWord(), 0b111);
    rig.scanWith(0b01);  // taken: Q2 keeps 1
    EXPECT_EQ(rig.plc.outputWord(), 0b010);
}

TEST(JumpTest, BackwardJumpRepeatsRungsUntilItsConditionFalls) {
    // LABEL 0; ADD %R1 + 1 -> %R1; GE %R1 >= 5 drives M1; JUMP 0 while NOT M1.
    Builder b;
    b.control(kControlLabel, 0)
        .block(BlockKind::Add, I(1))
        .word(kTypeInt)
        .operand(R(1))
        .operand(1)
        .address(R(1))
        .block(BlockKind::Ge, I(1))
        .word(kTypeInt)
        .operand(R(1))
        .operand(5)
        .coil(kCoilNormal, M(1))
        .loadNot(M(1))
        .control(kControlJump, 0)
        .end();
    Rig rig;
    rig.run(b);
    rig.scanWith(1);
    EXPECT_EQ(rig.intAt(R(1)), 5);
    EXPECT_FALSE(rig.plc.watchdogFault());
}

TEST(JumpTest, JumpToAMissingLabelEndsTheScan) {
    Builder b;
    b.load(I(1)).control(kControlJump, 7).load(I(2)).coil(kCoilNormal, Q(1)).end();
    Rig rig;
    rig.run(b);
    rig.scanWith(0b11);
    EXPECT_EQ(rig.bit(Q(1)), 0);
    EXPECT_FALSE(rig.plc.watchdogFault());
    rig.scanWith(0b10);
    EXPECT_EQ(rig.bit(Q(1)), 1);
}

TEST(JumpTest, JumpGoesToTheFirstLabelOfItsNumber) {
    Builder b;
    b.load(I(1))
        .control(kControlJump, 2)
        .load(I(1))
        .coil(kCoilNormal, Q(1))
        .control(kControlLabel, 2)
        .load(I(1))
        .coil(kCoilNormal, Q(2))
        .control(kControlLabel, 2)
        .load(I(1))
        .coil(kCoilNormal, Q(3))
        .end();
    Rig rig;
    rig.run(b);
    rig.scanWith(1);
    EXPECT_EQ(rig.plc.outputWord(), 0b110);
}

TEST(WatchdogTest, EndlessLoopEndsTheScanFaultsTheControllerAndStopsRunning) {
    Builder b;
    b.load(I(1))
        .coil(kCoilNormal, Q(1))
        .control(kControlLabel, 0)
        .load(I(1))
        .control(kControlJump, 0)
        .load(I(1))
        .coil(kCoilNormal, Q(2))
        .end();
    Rig rig;
    rig.run(b);
    rig.scanWith(1);
    EXPECT_TRUE(rig.plc.watchdogFault());
    EXPECT_TRUE(rig.cycle.watchdogFault());
    EXPECT_EQ(rig.cycle.mode(), Mode::StopNoIo);
    EXPECT_EQ(rig.bit(Q(1)), 1);
    EXPECT_EQ(rig.bit(Q(2)), 0);
    EXPECT_LE(rig.plc.wordsRun(), kWatchdogWords + b.size());
    const auto scans = rig.cycle.scanCount();
    rig.ticks(3);
    EXPECT_EQ(rig.cycle.scanCount(), scans) << "a faulted controller runs no scans";

    // Starting again clears the fault; with the loop's condition off the program runs.
    rig.cycle.nextMode();
    EXPECT_EQ(rig.cycle.mode(), Mode::Run);
    EXPECT_FALSE(rig.cycle.watchdogFault());
    rig.scanWith(0);
    EXPECT_FALSE(rig.cycle.watchdogFault());
    EXPECT_EQ(rig.cycle.scanCount(), scans + 1);
}

TEST(WatchdogTest, AFullLengthProgramWithManyForwardJumpsNeverTrips) {
    // 490 JUMPs taken in one scan of nearly 5000 words, each to the LABEL after it.
    Builder b;
    for (int j = 0; j < 490; ++j) {
        b.load(I(2)).control(kControlJump, j).control(kControlLabel, j);
    }
    b.load(I(1)).coil(kCoilNormal, Q(1)).end();
    Rig rig;
    rig.run(b);
    rig.scanWith(0b11);
    EXPECT_FALSE(rig.plc.watchdogFault());
    EXPECT_EQ(rig.bit(Q(1)), 1);
}

}  // namespace
}  // namespace plc::test
