// Function blocks: normal results, refusals, saturation, timing under a fake clock, and the
// words every block spans whether it runs, is disabled or has no execution at all.
#include "tests/plc/program_builder.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace plc::test {
namespace {

constexpr std::int32_t kDintMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kDintMax = std::numeric_limits<std::int32_t>::max();

// --- Arithmetic -----------------------------------------------------------------------------

struct ArithmeticCase {
    std::string name;
    BlockKind code;
    bool dint;
    std::int32_t a;
    std::int32_t b;
    bool written;
    std::int32_t result;
    int output;
};

class ArithmeticTest : public ::testing::TestWithParam<ArithmeticCase> {};

TEST_P(ArithmeticTest, WritesTheResultOrItsSaturationAndGivesTheOutput) {
    const ArithmeticCase& c = GetParam();
    Builder b;
    b.block(c.code, I(1))
        .word(c.dint ? kTypeDint : kTypeInt)
        .operand(c.a)
        .operand(c.b)
        .address(R(10))
        .coil(kCoilNormal, Q(1))
        .end();
    Rig rig;
    rig.run(b);
    const std::int32_t sentinel = c.dint ? 0x12345678 : 1234;
    c.dint ? rig.setDint(R(10), sentinel) : rig.setInt(R(10), sentinel);
    rig.scanWith(1);
    const std::int32_t value = c.dint ? rig.dintAt(R(10)) : rig.intAt(R(10));
    EXPECT_EQ(value, c.written ? c.result : sentinel);
    EXPECT_EQ(rig.bit(Q(1)), c.output);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArithmeticTest,
    ::testing::Values(
        ArithmeticCase{"AddInt", BlockKind::Add, false, 100, 23, true, 123, 1},
        ArithmeticCase{"AddIntSaturatesHigh", BlockKind::Add, false, 32767, 1, true, 32767, 0},
        ArithmeticCase{"AddIntConstantTakesLow16Bits", BlockKind::Add, false, 65537, 1, true, 2, 1},
        ArithmeticCase{"SubIntSaturatesLow", BlockKind::Sub, false, -32768, 1, true, -32768, 0},
        ArithmeticCase{"SubZeroMinusMinWritesNothing", BlockKind::Sub, false, 0, -32768, false, 0,
                       0},
        ArithmeticCase{"MulIntSaturatesLowOnMixedSigns", BlockKind::Mul, false, 300, -200, true,
                       -32768, 0},
        ArithmeticCase{"MulIntSaturatesHighOnEqualSigns", BlockKind::Mul, false, -300, -200, true,
                       32767, 0},
        ArithmeticCase{"DivIntTruncatesTowardZero", BlockKind::Div, false, 7, -2, true, -3, 1},
        ArithmeticCase{"DivIntMinByMinusOneWraps", BlockKind::Div, false, -32768, -1, true, -32768,
                       1},
        ArithmeticCase{"DivByZeroIsRefused", BlockKind::Div, false, 7, 0, false, 0, 0},
        ArithmeticCase{"ModTakesTheSignOfTheDividend", BlockKind::Mod, false, -7, 2, true, -1, 1},
        ArithmeticCase{"ModByZeroIsRefused", BlockKind::Mod, false, 7, 0, false, 0, 0},
        ArithmeticCase{"AddDint", BlockKind::Add, true, 70000, 70000, true, 140000, 1},
        ArithmeticCase{"AddDintSaturatesHigh", BlockKind::Add, true, kDintMax, 1, true, kDintMax,
                       0},
        ArithmeticCase{"SubDintSaturatesLow", BlockKind::Sub, true, kDintMin, 1, true, kDintMin, 0},
        ArithmeticCase{"MulDintSaturatesHigh", BlockKind::Mul, true, 70000, 70000, true, kDintMax,
                       0},
        ArithmeticCase{"DivDintMinByMinusOneWrapsWithoutStopping", BlockKind::Div, true, kDintMin,
                       -1, true, kDintMin, 1},
        ArithmeticCase{"ModDintMinByMinusOneIsZero", BlockKind::Mod, true, kDintMin, -1, true, 0,
                       1},
        ArithmeticCase{"ModDintByZeroIsRefused", BlockKind::Mod, true, 5, 0, false, 0, 0}),
    [](const auto& testCase) { return testCase.param.name; });

struct SqrtCase {
    bool dint;
    std::int32_t in;
    bool written;
    std::int32_t result;
};

class SqrtTest : public ::testing::TestWithParam<SqrtCase> {};

TEST_P(SqrtTest, TruncatedRootOrRefusalOfNegatives) {
    const SqrtCase& c = GetParam();
    Rig rig;
    rig.run(Builder()
                .block(BlockKind::Sqrt, I(1))
                .word(c.dint ? kTypeDint : kTypeInt)
                .operand(c.in)
                .address(R(10))
                .coil(kCoilNormal, Q(1))
                .end());
    rig.setDint(R(10), 777);
    rig.scanWith(1);
    const std::int32_t value = c.dint ? rig.dintAt(R(10)) : rig.intAt(R(10));
    EXPECT_EQ(value, c.written ? c.result : 777);
    EXPECT_EQ(rig.bit(Q(1)), c.written ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqrtTest,
    ::testing::Values(SqrtCase{false, 15, true, 3}, SqrtCase{false, 16, true, 4},
                      SqrtCase{false, 0, true, 0}, SqrtCase{false, -1, false, 0},
                      SqrtCase{true, 2147395600, true, 46340},
                      SqrtCase{true, kDintMax, true, 46340}, SqrtCase{true, kDintMin, false, 0}));

struct RelationCase {
    BlockKind code;
    bool dint;
    std::int32_t a;
    std::int32_t b;
    int output;
};

class RelationTest : public ::testing::TestWithParam<RelationCase> {};

TEST_P(RelationTest, ComparesSigned) {
    const RelationCase& c = GetParam();
    Rig rig;
    rig.run(Builder()
                .block(c.code, I(1))
                .word(c.dint ? kTypeDint : kTypeInt)
                .operand(c.a)
                .operand(c.b)
                .coil(kCoilNormal, Q(1))
                .end());
    rig.scanWith(1);
    EXPECT_EQ(rig.bit(Q(1)), c.output);
}

INSTANTIATE_TEST_SUITE_P(Cases, RelationTest,
                         ::testing::Values(RelationCase{BlockKind::Eq, false, 5, 5, 1},
                                           RelationCase{BlockKind::Eq, false, 5, 6, 0},
                                           RelationCase{BlockKind::Eq, false, 65541, 5,
                                                        1},  // low 16 bits
                                           RelationCase{BlockKind::Ne, false, 5, 6, 1},
                                           RelationCase{BlockKind::Gt, false, -1, 1, 0},
                                           RelationCase{BlockKind::Ge, false, 3, 3, 1},
                                           RelationCase{BlockKind::Lt, false, -2, -1, 1},
                                           RelationCase{BlockKind::Le, false, 4, 3, 0},
                                           RelationCase{BlockKind::Gt, true, 70000, 65536, 1},
                                           RelationCase{BlockKind::Lt, true, kDintMin, kDintMax, 1},
                                           RelationCase{BlockKind::Eq, true, 65541, 5, 0}));

struct WordLogicCase {
    BlockKind code;
    int a;
    int b;
    int result;
};

class WordLogicTest : public ::testing::TestWithParam<WordLogicCase> {};

TEST_P(WordLogicTest, AllSixteenBits) {
    const WordLogicCase& c = GetParam();
    Builder b;
    b.block(c.code, I(1)).word(kTypeWord).operand(c.a);
    if (c.code != BlockKind::Not) {
        b.operand(R(1));
    }
    b.address(R(10)).coil(kCoilNormal, Q(1)).end();
    Rig rig;
    rig.run(b);
    rig.setWord(R(1), c.b);
    rig.scanWith(1);
    EXPECT_EQ(rig.wordAt(R(10)), c.result);
    EXPECT_EQ(rig.bit(Q(1)), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, WordLogicTest,
                         ::testing::Values(WordLogicCase{BlockKind::And, 0xF0F0, 0x0FF0, 0x00F0},
                                           WordLogicCase{BlockKind::Or, 0xF0F0, 0x0FF0, 0xFFF0},
                                           WordLogicCase{BlockKind::Xor, 0xF0F0, 0x0FF0, 0xFF00},
                                           WordLogicCase{BlockKind::Not, 0x00FF, 0, 0xFF00}));

// --- Shifts and rotations -------------------------------------------------------------------

struct ShiftCase {
    std::string name;
    BlockKind code;
    int in0;
    int in1;
    int n;
    int fill;  // the B1 input
    int q0;
    int q1;
};

class ShiftTest : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(ShiftTest, ShiftsTheTwoWordStringIntoQ) {
    const ShiftCase& c = GetParam();
    const bool isShift = c.code == BlockKind::Shl || c.code == BlockKind::Shr;
    Builder b;
    b.block(c.code, I(1)).word(kTypeWord).length(2).address(R(1)).operand(c.n);
    if (isShift) {
        b.input(I(2));
    }
    b.address(R(5)).coil(kCoilNormal, Q(1)).end();
    Rig rig;
    rig.run(b);
    rig.setWord(R(1), c.in0);
    rig.setWord(R(2), c.in1);
    rig.scanWith(static_cast<std::uint16_t>(1 | (c.fill << 1)));
    EXPECT_EQ(rig.wordAt(R(5)), c.q0);
    EXPECT_EQ(rig.wordAt(R(6)), c.q1);
    EXPECT_EQ(rig.bit(Q(1)), 1);
    EXPECT_EQ(rig.wordAt(R(1)), c.in0) << "IN is left as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShiftTest,
    ::testing::Values(ShiftCase{"ShlCarriesIntoTheNextWord", BlockKind::Shl, 0x8001, 0x0001, 1, 1,
                                0x0003, 0x0003},
                      ShiftCase{"ShlByZeroCopies", BlockKind::Shl, 0x1234, 0x5678, 0, 1, 0x1234,
                                0x5678},
                      ShiftCase{"ShlPastTheLengthFillsWithB1", BlockKind::Shl, 0x1234, 0x5678, 100,
                                1, 0xFFFF, 0xFFFF},
                      ShiftCase{"ShrCarriesIntoTheNextWord", BlockKind::Shr, 0x8001, 0x0001, 1, 1,
                                0xC000, 0x8000},
                      ShiftCase{"ShrByFour", BlockKind::Shr, 0x00F0, 0x0000, 4, 0, 0x000F, 0x0000},
                      ShiftCase{"RolWrapsTheLastBitToTheFirst", BlockKind::Rol, 0x0001, 0x8000, 1,
                                0, 0x0003, 0x0000},
                      ShiftCase{"RolByTheWholeLengthIsNoChange", BlockKind::Rol, 0x1234, 0x5678, 32,
                                0, 0x1234, 0x5678},
                      ShiftCase{"RolByLengthPlusOneIsByOne", BlockKind::Rol, 0x0001, 0x8000, 33, 0,
                                0x0003, 0x0000},
                      ShiftCase{"RorWrapsTheLastBitToTheFirst", BlockKind::Ror, 0x0002, 0x0001, 1,
                                0, 0x8001, 0x0000},
                      ShiftCase{"RorCarriesIntoTheNextWord", BlockKind::Ror, 0x0001, 0x8000, 1, 0,
                                0x0000, 0xC000}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(ShiftTest, StringsReachingPastTheAreaOrTheWorkBufferAreRefused) {
    for (const auto& [in, len] : {std::pair{R(512), 2}, std::pair{R(1), 257}}) {
        Rig rig;
        rig.run(Builder()
                    .block(BlockKind::Rol, I(1))
                    .word(kTypeWord)
                    .length(len)
                    .address(in)
                    .operand(1)
                    .address(R(100))
                    .coil(kCoilNormal, Q(1))
                    .end());
        rig.setWord(R(512), 0x0101);
        rig.setWord(R(100), 0x4444);
        rig.scanWith(1);
        EXPECT_EQ(rig.wordAt(R(100)), 0x4444);
        EXPECT_EQ(rig.bit(Q(1)), 0);
    }
}

TEST(ShiftTest, DisabledShiftWritesNothingButStillReadsItsB1Input) {
    Rig rig;
    rig.run(Builder()
                .block(BlockKind::Shl, I(1))
                .word(kTypeWord)
                .length(1)
                .address(R(1))
                .operand(1)
                .input(I(2))
                .address(R(5))
                .coil(kCoilNormal, Q(1))
                .load(I(2))
                .coil(kCoilNormal, Q(2))
                .end());
    rig.setWord(R(1), 0x0F0F);
    rig.scanWith(0b10);
    EXPECT_EQ(rig.wordAt(R(5)), 0);
    EXPECT_EQ(rig.plc.outputWord(), 0b10);
}

// --- Bit operations -------------------------------------------------------------------------

struct BitCase {
    std::string name;
    BlockKind code;
    int len;
    int bit;
    int r10;    // %R10 before
    int after;  // %R10 after
    int output;
};

class BitOperationTest : public ::testing::TestWithParam<BitCase> {};

TEST_P(BitOperationTest, CountsBitsFromOneAcrossTheString) {
    const BitCase& c = GetParam();
    Rig rig;
    rig.run(Builder()
                .block(c.code, I(1))
                .word(kTypeWord)
                .length(c.len)
                .address(R(10))
                .operand(c.bit)
                .coil(kCoilNormal, Q(1))
                .end());
    rig.setWord(R(10), c.r10);
    rig.scanWith(1);
    EXPECT_EQ(rig.wordAt(R(10)), c.after);
    EXPECT_EQ(rig.bit(Q(1)), c.output);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BitOperationTest,
    ::testing::Values(
        BitCase{"TestFirstBit", BlockKind::BitTst, 1, 1, 0x0001, 0x0001, 1},
        BitCase{"TestClearBit", BlockKind::BitTst, 1, 2, 0x0001, 0x0001, 0},
        BitCase{"TestBitSixteen", BlockKind::BitTst, 1, 16, 0x8000, 0x8000, 1},
        BitCase{"TestBitSeventeenOfOneWordIsOutOfRange", BlockKind::BitTst, 1, 17, 0xFFFF, 0xFFFF,
                0},
        BitCase{"TestBitZeroIsOutOfRange", BlockKind::BitTst, 1, 0, 0xFFFF, 0xFFFF, 0},
        BitCase{"SetNinthBitIsFirstOfSecondByte", BlockKind::BitSet, 1, 9, 0, 0x0100, 1},
        BitCase{"SetOutOfRangeWritesNothing", BlockKind::BitSet, 1, 17, 0, 0, 0},
        BitCase{"ClearBit", BlockKind::BitClr, 1, 4, 0xFFFF, 0xFFF7, 1},
        BitCase{"ClearNegativeBitWritesNothing", BlockKind::BitClr, 1, -3, 0xFFFF, 0xFFFF, 0},
        BitCase{"LengthReachingPastTheAreaIsRefused", BlockKind::BitSet, 600, 1, 0, 0, 0}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(BitPositionTest, WritesTheFirstSetBitOrZero) {
    for (const auto& [r10, r11, pos] :
         {std::tuple{0x0100, 0, 9}, std::tuple{0, 0x0002, 18}, std::tuple{0, 0, 0}}) {
        Rig rig;
        rig.run(Builder()
                    .block(BlockKind::BitPos, I(1))
                    .word(kTypeWord)
                    .length(2)
                    .address(R(10))
                    .address(R(20))
                    .coil(kCoilNormal, Q(1))
                    .end());
        rig.setWord(R(10), r10);
        rig.setWord(R(11), r11);
        rig.setInt(R(20), 99);
        rig.scanWith(1);
        EXPECT_EQ(rig.intAt(R(20)), pos);
        EXPECT_EQ(rig.bit(Q(1)), 1);
    }
}

// --- Moves ----------------------------------------------------------------------------------

TEST(MoveTest, IntWordsAndConstants) {
    Builder b;
    b.block(BlockKind::Move, I(1)).word(kTypeInt).length(3).operand(R(1)).address(R(10));
    b.coil(kCoilNormal, Q(1));
    b.block(BlockKind::Move, I(1)).word(kTypeWord).length(2).operand(-1).address(R(20));
    b.end();
    Rig rig;
    rig.run(b);
    for (int i = 0; i < 4; ++i) {
        rig.setInt(R(1 + i), 11 * (i + 1));
    }
    rig.scanWith(1);
    EXPECT_EQ(rig.intAt(R(10)), 11);
    EXPECT_EQ(rig.intAt(R(11)), 22);
    EXPECT_EQ(rig.intAt(R(12)), 33);
    EXPECT_EQ(rig.intAt(R(13)), 0);
    EXPECT_EQ(rig.wordAt(R(20)), 0xFFFF);
    EXPECT_EQ(rig.wordAt(R(21)), 0xFFFF);
    EXPECT_EQ(rig.wordAt(R(22)), 0);
    EXPECT_EQ(rig.bit(Q(1)), 1);
}

TEST(MoveTest, BitsCrossByteBoundariesAndTheOutputIsTheLastBitCopied) {
    Builder b;
    b.block(BlockKind::Move, I(1)).word(kTypeBit).length(4).operand(M(6)).address(Q(7));
    b.coil(kCoilNormal, Q(1));
    b.block(BlockKind::Move, I(1)).word(kTypeBit).length(10).operand(5).address(M(20));
    b.coil(kCoilNormal, Q(2));
    b.end();
    Rig rig;
    rig.run(b);
    rig.setBit(M(6), 1);
    rig.setBit(M(8), 1);  // M6..M9 = 1 0 1 0
    rig.scanWith(1);
    EXPECT_EQ(rig.bit(Q(7)), 1);
    EXPECT_EQ(rig.bit(Q(8)), 0);
    EXPECT_EQ(rig.bit(Q(9)), 1);
    EXPECT_EQ(rig.bit(Q(10)), 0);
    EXPECT_EQ(rig.bit(Q(1)), 0);  // the last bit copied
    for (int m = 19; m <= 30; ++m) {
        EXPECT_EQ(rig.bit(M(m)), m >= 20 && m <= 29 ? 1 : 0) << m;
    }
    EXPECT_EQ(rig.bit(Q(2)), 1);
}

TEST(MoveTest, TypeWithoutOperandsPassesTheEnableOn) {
    // A DINT MOVE is emitted as its header alone: the enable reaches the coil.
    Rig rig;
    rig.run(Builder().block(BlockKind::Move, I(1)).coil(kCoilNormal, Q(1)).end());
    rig.scanWith(1);
    EXPECT_EQ(rig.bit(Q(1)), 1);
}

TEST(MoveTest, WordMoveIntoOutputsIsNotRetentiveButArithmeticIs) {
    Builder b;
    b.block(BlockKind::Add, I(1)).word(kTypeInt).operand(5).operand(6).address(Q(17));
    b.block(BlockKind::Move, I(1)).word(kTypeInt).length(1).operand(7).address(Q(33));
    b.end();
    Rig rig;
    rig.run(b);
    rig.scanWith(1);
    rig.cycle.nextMode();  // last scan, then power-down
    EXPECT_EQ(rig.plc.readInt(kAreaQ, 2), 11);
    EXPECT_EQ(rig.plc.readInt(kAreaQ, 4), 0);
}

TEST(BlockMoveTest, SevenValuesWhenEnabledNothingWhenNot) {
    Builder b;
    b.block(BlockKind::BlkMv, I(1)).word(kTypeInt);
    for (int v : {1, -1, -9, -255, 5, 6, 7}) {
        b.operand(v);
    }
    for (int i = 0; i < 7; ++i) {
        b.address(R(20 + i));
    }
    b.coil(kCoilNormal, Q(1)).end();
    Rig rig;
    rig.run(b);
    rig.scanWith(0);
    EXPECT_EQ(rig.intAt(R(20)), 0);
    rig.scanWith(1);
    const std::vector<int> expected{1, -1, -9, -255, 5, 6, 7};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(rig.intAt(R(20 + i)), expected[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(rig.bit(Q(1)), 1);
}

TEST(BlockClearTest, ClearsLenWordsAndAConstantInClearsNothing) {
    Builder b;
    b.block(BlockKind::BlkClr, I(1))
        .word(kTypeWord)
        .length(3)
        .address(R(2))
        .coil(kCoilNormal, Q(1));
    b.block(BlockKind::BlkClr, I(1)).word(kTypeWord).length(3).operand(-1).coil(kCoilNormal, Q(2));
    b.load(I(1)).coil(kCoilNormal, Q(3)).end();
    Rig rig;
    rig.run(b);
    for (int i = 1; i <= 5; ++i) {
        rig.setInt(R(i), i);
    }
    rig.scanWith(1);
    EXPECT_EQ(rig.intAt(R(1)), 1);
    EXPECT_EQ(rig.intAt(R(2)), 0);
    EXPECT_EQ(rig.intAt(R(4)), 0);
    EXPECT_EQ(rig.intAt(R(5)), 5);
    EXPECT_EQ(rig.plc.outputWord(), 0b101);
}

// --- Table search and array move ------------------------------------------------------------

struct SearchCase {
    ProgramWord type;
    int start;
    std::int32_t wanted;
    int result;  // -1: not written
    int output;
};

class SearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchTest, FindsTheFirstEqualElementAfterNx) {
    const SearchCase& c = GetParam();
    Rig rig;
    rig.run(Builder()
                .block(BlockKind::SrhEq, I(1))
                .word(c.type)
                .length(3)
                .address(R(1))
                .operand(c.start)
                .operand(c.wanted)
                .address(R(20))
                .coil(kCoilNormal, Q(1))
                .end());
    if (c.type == kTypeDint) {
        rig.setDint(R(1), 5);
        rig.setDint(R(3), 70000);
        rig.setDint(R(5), -9);
    } else {
        rig.setInt(R(1), 5);
        rig.setInt(R(2), 7);
        rig.setInt(R(3), 9);
    }
    rig.setInt(R(20), 99);
    rig.scanWith(1);
    EXPECT_EQ(rig.intAt(R(20)), c.result < 0 ? 99 : c.result);
    EXPECT_EQ(rig.bit(Q(1)), c.output);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchTest,
    ::testing::Values(SearchCase{kTypeInt, 0, 7, 2, 1}, SearchCase{kTypeInt, 2, 9, 3, 1},
                      SearchCase{kTypeInt, 1, 5, 0, 0}, SearchCase{kTypeInt, 3, 9, 0, 0},
                      SearchCase{kTypeInt, -1, 5, -1, 0}, SearchCase{kTypeInt, 4, 5, -1, 0},
                      SearchCase{kTypeWord, 0, 9, 3, 1}, SearchCase{kTypeDint, 0, 70000, 2, 1},
                      SearchCase{kTypeDint, 0, -9, 3, 1}, SearchCase{kTypeDint, 0, 7, 0, 0},
                      SearchCase{kTypeByte, 0, 5, -1, 1}));

struct ArrayMoveCase {
    int sourceIndex;
    int destIndex;
    int count;
    std::vector<int> dest;  // %R10 .. %R14 afterwards
    int output;
};

class ArrayMoveTest : public ::testing::TestWithParam<ArrayMoveCase> {};

TEST_P(ArrayMoveTest, MovesWithinTheBoundsOrRefuses) {
    const ArrayMoveCase& c = GetParam();
    Rig rig;
    rig.run(Builder()
                .block(BlockKind::ArrMv, I(1))
                .word(kTypeInt)
                .length(5)
                .address(R(1))
                .operand(c.sourceIndex)
                .operand(c.destIndex)
                .operand(c.count)
                .address(R(10))
                .coil(kCoilNormal, Q(1))
                .end());
    for (int i = 0; i < 5; ++i) {
        rig.setInt(R(1 + i), i + 1);
    }
    rig.scanWith(1);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(rig.intAt(R(10 + i)), c.dest[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(rig.bit(Q(1)), c.output);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArrayMoveTest,
    ::testing::Values(ArrayMoveCase{2, 1, 3, {2, 3, 4, 0, 0}, 1},
                      ArrayMoveCase{1, 3, 2, {0, 0, 1, 2, 0}, 1},
                      ArrayMoveCase{3, 1, 3, {0, 0, 0, 0, 0}, 0},  // 3 + 3 > LEN
                      ArrayMoveCase{1, 1, 5, {0, 0, 0, 0, 0}, 0},  // the last element never
                      ArrayMoveCase{0, 1, 1, {0, 0, 0, 0, 0}, 0},
                      // N below 1 passes the bounds and moves nothing.
                      ArrayMoveCase{1, 1, -1, {0, 0, 0, 0, 0}, 1},
                      ArrayMoveCase{4, 1, 0, {0, 0, 0, 0, 0}, 1},
                      ArrayMoveCase{0, 1, -1, {0, 0, 0, 0, 0}, 0}));

TEST(ArrayMoveTest, BitAndDintElements) {
    Builder b;
    b.block(BlockKind::ArrMv, I(1))
        .word(kTypeBit)
        .length(16)
        .address(M(1))
        .operand(1)
        .operand(2)
        .operand(3)
        .address(Q(1));
    b.block(BlockKind::ArrMv, I(1))
        .word(kTypeDint)
        .length(4)
        .address(R(1))
        .operand(2)
        .operand(1)
        .operand(2)
        .address(R(20));
    b.end();
    Rig rig;
    rig.run(b);
    rig.setBit(M(1), 1);
    rig.setBit(M(3), 1);
    rig.setDint(R(3), 70000);
    rig.setDint(R(5), -70000);
    rig.scanWith(1);
    EXPECT_EQ(rig.plc.outputWord(), 0b1010);
    EXPECT_EQ(rig.dintAt(R(20)), 70000);
    EXPECT_EQ(rig.dintAt(R(22)), -70000);
}

TEST(ArrayMoveTest, ElementsReachingPastTheAreaAreRefused) {
    Rig rig;
    rig.run(Builder()
                .block(BlockKind::ArrMv, I(1))
                .word(kTypeDint)
                .length(1000)
                .address(R(1))
                .operand(1)
                .operand(500)
                .operand(10)
                .address(R(1))
                .coil(kCoilNormal, Q(1))
                .end());
    rig.setDint(R(1), 42);
    rig.scanWith(1);
    EXPECT_EQ(rig.bit(Q(1)), 0);
    EXPECT_EQ(rig.dintAt(R(1)), 42);
}

// --- Conversions ----------------------------------------------------------------------------

TEST(ConversionTest, ToBcdPacksDigitsAndRefusesOutsideItsRange) {
    for (const auto& [in, out, ok] :
         {std::tuple{1234, 0x1234, 1}, std::tuple{0, 0, 1}, std::tuple{9999, 0x9999, 1},
          std::tuple{10000, 0x7777, 0}, std::tuple{-1, 0x7777, 0}}) {
        Rig rig;
        rig.run(Builder()
                    .block(BlockKind::ToBcd, I(1))
                    .operand(in)
                    .address(R(20))
                    .coil(kCoilNormal, Q(1))
                    .end());
        rig.setWord(R(20), 0x7777);
        rig.scanWith(1);
        EXPECT_EQ(rig.wordAt(R(20)), out) << in;
        EXPECT_EQ(rig.bit(Q(1)), ok) << in;
    }
}

TEST(ConversionTest, ToIntReadsTheNibblesOfAnAddressAndTheValueOfAConstant) {
    Builder b;
    b.block(BlockKind::ToInt, I(1)).operand(R(1)).address(R(20)).coil(kCoilNormal, Q(1));
    b.block(BlockKind::ToInt, I(1)).operand(950).address(R(21)).end();
    Rig rig;
    rig.run(b);
    rig.setWord(R(1), 0x0950);
    rig.scanWith(1);
    EXPECT_EQ(rig.intAt(R(20)), 950);
    EXPECT_EQ(rig.intAt(R(21)), 950);
    EXPECT_EQ(rig.bit(Q(1)), 1);
}

// --- Timers ---------------------------------------------------------------------------------

Builder timer(BlockKind code, ProgramWord base, int pv) {
    Builder b;
    b.block(code, I(1));
    if (code == BlockKind::Ondtr) {
        b.input(I(2));
    }
    b.word(0).word(base).triple(R(1)).operand(pv).triple(R(1)).coil(kCoilNormal, Q(1)).end();
    return b;
}

TEST(TimerTest, TmrWithTenthsTurnsOnAfterOneSecondAtTwentyMillisecondTicks) {
    Rig rig;
    rig.run(timer(BlockKind::Tmr, kTimeBase100ms, 10), 0, 1);
    int ticks = 0;
    while (rig.bit(Q(1)) == 0 && ticks < 200) {
        rig.scanWith(1);
        ++ticks;
    }
    // Enabled in the first tick; on at the tick 1.0 .. 1.2 s later.
    EXPECT_GE(ticks - 1, 50);
    EXPECT_LE(ticks - 1, 60);
    EXPECT_EQ(rig.intAt(R(1)), 10);
    EXPECT_EQ(rig.intAt(R(2)), 10);
    EXPECT_EQ(rig.wordAt(R(3)), 0xC000);
    rig.scanWith(0);
    EXPECT_EQ(rig.intAt(R(1)), 0);
    EXPECT_EQ(rig.bit(Q(1)), 0);
    EXPECT_EQ(rig.wordAt(R(3)), 0x0000);
}

struct TimerClockCase {
    std::string name;
    ProgramWord base = kTimeBase10ms;
    std::uint32_t unit = 10;
    std::vector<std::uint32_t> ticks;  // tick lengths in ms, repeated
};

void PrintTo(const TimerClockCase& c, std::ostream* os) {
    *os << c.name;
}

class TimerClockTest : public ::testing::TestWithParam<TimerClockCase> {};

TEST_P(TimerClockTest, CountsEveryWholeUnitSinceEnablingWhateverTheTicks) {
    const TimerClockCase& c = GetParam();
    Rig rig;
    rig.run(timer(BlockKind::Tmr, c.base, 30000), 0, 1);
    rig.scanWith(1);  // enabled: counting starts at this tick's clock
    std::uint32_t elapsed = 0;
    for (int i = 0; i < 60; ++i) {
        const std::uint32_t ms = c.ticks[static_cast<std::size_t>(i) % c.ticks.size()];
        rig.ticks(1, ms);
        elapsed += ms;
        ASSERT_EQ(rig.intAt(R(1)), static_cast<std::int16_t>(elapsed / c.unit))
            << "after " << elapsed << " ms";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Timers, TimerClockTest,
    ::testing::Values(TimerClockCase{"Hundredths10", kTimeBase10ms, 10, {10}},
                      TimerClockCase{"Hundredths7", kTimeBase10ms, 10, {7}},
                      TimerClockCase{"HundredthsUneven", kTimeBase10ms, 10, {25, 9, 1000}},
                      TimerClockCase{"Tenths20", kTimeBase100ms, 100, {20}},
                      TimerClockCase{"Tenths30", kTimeBase100ms, 100, {30}},
                      TimerClockCase{"TenthsJitter", kTimeBase100ms, 100, {17, 23, 41, 19}},
                      TimerClockCase{"Seconds500", kTimeBase1s, 1000, {500}},
                      TimerClockCase{"Seconds400", kTimeBase1s, 1000, {400}},
                      TimerClockCase{"SecondsJitter", kTimeBase1s, 1000, {333, 20, 999}}),
    [](const auto& p) { return p.param.name; });

TEST(TimerTest, OutputComesOnAtTheFirstTickPastThePresetTime) {
    // ONDTR 0.1 s, preset 10, 30 ms ticks: on at 1.02 s; TMR 1 s, preset 3, 400 ms ticks: on
    // at 3.2 s.
    for (const auto& [kind, base, pv, tick, onAfter] :
         {std::tuple{BlockKind::Ondtr, kTimeBase100ms, 10, 30u, 1020u},
          std::tuple{BlockKind::Tmr, kTimeBase1s, 3, 400u, 3200u}}) {
        Rig rig;
        rig.run(timer(kind, base, pv), 0, 1);
        rig.scanWith(1);
        std::uint32_t elapsed = 0;
        while (rig.bit(Q(1)) == 0 && elapsed < 10000) {
            rig.ticks(1, tick);
            elapsed += tick;
        }
        EXPECT_EQ(elapsed, onAfter) << pv;
    }
}

TEST(TimerTest, OndtrAccumulatesOverEnabledPeriodsAndHoldsWhileDisabled) {
    Rig rig;
    rig.run(timer(BlockKind::Ondtr, kTimeBase100ms, 10), 0, 1);
    rig.panel.inputs = 1;
    rig.ticks(31);  // 600 ms after enabling
    EXPECT_EQ(rig.intAt(R(1)), 6);
    rig.panel.inputs = 0;
    rig.ticks(100);
    EXPECT_EQ(rig.intAt(R(1)), 6);
    EXPECT_EQ(rig.bit(Q(1)), 0);
    EXPECT_EQ(rig.wordAt(R(3)), 0x0001);
    rig.panel.inputs = 1;
    int ticks = 0;
    while (rig.bit(Q(1)) == 0 && ticks < 100) {
        rig.ticks(1);
        ++ticks;
    }
    EXPECT_GE(ticks - 1, 20);
    EXPECT_LE(ticks - 1, 25);
    rig.panel.inputs = 0;
    rig.ticks(1);
    EXPECT_EQ(rig.bit(Q(1)), 1) << "a held ONDTR keeps its output";
    rig.panel.inputs = 0b10;  // reset
    rig.ticks(1);
    EXPECT_EQ(rig.intAt(R(1)), 0);
    EXPECT_EQ(rig.bit(Q(1)), 0);
    EXPECT_EQ(rig.wordAt(R(3)), 0x0001);
}

TEST(TimerTest, TimerIndexOutsideTheTableIsRefused) {
    Builder b;
    b.block(BlockKind::Tmr, I(1)).word(3).word(kTimeBase10ms).triple(R(1)).operand(0).triple(R(1));
    b.coil(kCoilNormal, Q(1)).end();
    Rig rig;
    rig.run(b, 0, 0);  // a table of one entry: index 0 only
    rig.scanWith(1);
    EXPECT_EQ(rig.bit(Q(1)), 0);
    EXPECT_EQ(rig.wordAt(R(3)), 0);
}

// --- Counters -------------------------------------------------------------------------------

Builder counter(BlockKind code, int pv, bool wiredReset = true) {
    Builder b;
    b.block(code, I(1));
    if (wiredReset) {
        b.input(I(2));
    } else {
        b.emptyInput();
    }
    b.triple(R(1)).operand(pv).triple(R(1)).coil(kCoilNormal, Q(1)).end();
    return b;
}

TEST(CounterTest, UpCounterTurnsOnAtTheThirdRisingEdgeAfterReset) {
    Rig rig;
    rig.run(counter(BlockKind::UpCtr, 3));
    rig.scanWith(0b10);
    EXPECT_EQ(rig.intAt(R(1)), 0);
    EXPECT_EQ(rig.intAt(R(2)), 3);
    const std::vector<std::uint16_t> enable{1, 1, 1, 0, 1, 0, 0, 1, 1};
    const std::vector<int> cv{1, 1, 1, 1, 2, 2, 2, 3, 3};
    for (std::size_t s = 0; s < enable.size(); ++s) {
        rig.scanWith(enable[s]);
        EXPECT_EQ(rig.intAt(R(1)), cv[s]) << s;
        EXPECT_EQ(rig.bit(Q(1)), cv[s] >= 3 ? 1 : 0) << s;
    }
    EXPECT_EQ(rig.wordAt(R(3)), 0xC001);
}

TEST(CounterTest, EveryRisingEdgeCountsWithoutAReset) {
    // No reset ever: the first count sets bit 0; later scans without an edge must let EN fall.
    Rig rig;
    rig.run(counter(BlockKind::UpCtr, 100, false));
    for (int pulse = 0; pulse < 5; ++pulse) {
        rig.scanWith(1);
        rig.scanWith(0);
    }
    EXPECT_EQ(rig.intAt(R(1)), 5);
    EXPECT_EQ(rig.intAt(R(2)), 100);
    EXPECT_EQ(rig.wordAt(R(3)), 0x0001);
}

TEST(CounterTest, DownCounterFromItsPresetTurnsOnAtZero) {
    Rig rig;
    rig.run(counter(BlockKind::DnCtr, 2));
    rig.scanWith(0b10);
    EXPECT_EQ(rig.intAt(R(1)), 2);
    rig.scanWith(1);
    rig.scanWith(0);
    EXPECT_EQ(rig.intAt(R(1)), 1);
    EXPECT_EQ(rig.bit(Q(1)), 0);
    rig.scanWith(1);
    EXPECT_EQ(rig.intAt(R(1)), 0);
    EXPECT_EQ(rig.bit(Q(1)), 1);
}

TEST(CounterTest, FirstDownCountWithoutResetStartsFromThePreset) {
    Rig rig;
    rig.run(counter(BlockKind::DnCtr, 5));
    rig.scanWith(0);
    EXPECT_EQ(rig.wordAt(R(3)), 0) << "never started: nothing written";
    rig.scanWith(1);
    EXPECT_EQ(rig.intAt(R(1)), 4);
    EXPECT_EQ(rig.intAt(R(2)), 5);
}

TEST(CounterTest, CurrentValueWrapsAtTheEndsOfSixteenBits) {
    Rig rig;
    rig.run(counter(BlockKind::UpCtr, 5));
    rig.scanWith(0b10);
    rig.setInt(R(1), 32767);
    rig.scanWith(1);
    EXPECT_EQ(rig.intAt(R(1)), -32768);
}

// --- Layout: every block spans exactly the words the translator emits ------------------------

struct LayoutCase {
    std::string name;
    ProgramWord code;
    std::function<void(Builder&)> items;  // the words after the enable input
    bool writesWhenDisabled = false;
    bool executes = true;
};

class BlockLayoutTest : public ::testing::TestWithParam<LayoutCase> {
protected:
    // -8, code, enable %I1, the items, then an end marker; returns the block's length.
    static std::size_t build(const LayoutCase& c, ProgramWord code, Builder& b) {
        b.block(code, I(1));
        c.items(b);
        const std::size_t length = b.size();
        b.end();
        return length;
    }
};

TEST_P(BlockLayoutTest, EngineAndDecoderEndTheBlockAtTheSameWordEnabledOrNot) {
    const LayoutCase& c = GetParam();
    const ProgramWord code = c.code;
    for (std::uint16_t enable : {0, 1}) {
        Builder b;
        const std::size_t length = build(c, code, b);
        Rig rig;
        rig.run(b, 0, 1);
        for (int r = 1; r <= 512; ++r) {
            rig.setWord(R(r), 0x5A5A);
        }
        std::vector<std::uint8_t> before;
        for (int kind : {1, 2, 4, 5, 6, 7, 8}) {
            const auto bytes = rig.plc.area(kind);
            before.insert(before.end(), bytes.begin(), bytes.end());
        }
        rig.scanWith(enable);
        EXPECT_EQ(rig.plc.programCounter(), length) << "enable " << enable;

        std::vector<std::uint8_t> after;
        for (int kind : {1, 2, 4, 5, 6, 7, 8}) {
            const auto bytes = rig.plc.area(kind);
            after.insert(after.end(), bytes.begin(), bytes.end());
        }
        if (enable == 0 && !c.writesWhenDisabled) {
            EXPECT_EQ(before, after) << "a disabled block writes nothing";
        }
        if (!c.executes) {
            EXPECT_EQ(before, after);
            EXPECT_EQ(rig.plc.accumulator(), enable) << "the enable flows through";
        }
        const auto decoded = decodeProgram(b.build());
        ASSERT_EQ(decoded.size(), 2u);
        EXPECT_EQ(decoded[0].count, length);
        EXPECT_EQ(decoded[1].text, "END");
    }
}

LayoutCase executes(std::string name, BlockKind kind, std::function<void(Builder&)> items) {
    return {std::move(name), document::kindNumber(kind), std::move(items), false, true};
}
LayoutCase passesOver(std::string name, ProgramWord code, std::function<void(Builder&)> items) {
    return {std::move(name), code, std::move(items), false, false};
}
LayoutCase passesOver(std::string name, BlockKind kind, std::function<void(Builder&)> items) {
    return passesOver(std::move(name), document::kindNumber(kind), std::move(items));
}

// Every operand position holds a constant that looks like an instruction where the format
// allows a constant.
INSTANTIATE_TEST_SUITE_P(
    AllBlocks, BlockLayoutTest,
    ::testing::Values(
        executes(
            "ONDTR", BlockKind::Ondtr,
            [](Builder& b) {
                b.input(I(3)).word(0).word(kTimeBase100ms).triple(R(1)).operand(-1).triple(R(1));
            }),
        LayoutCase{
            "TMR", document::kindNumber(BlockKind::Tmr),
            [](Builder& b) { b.word(0).word(kTimeBase1s).triple(R(1)).operand(-255).triple(R(1)); },
            true, true},
        executes("UPCTR", BlockKind::UpCtr,
                 [](Builder& b) { b.input(I(3)).triple(R(7)).operand(-9).triple(R(7)); }),
        executes("DNCTR", BlockKind::DnCtr,
                 [](Builder& b) { b.emptyInput().triple(R(7)).operand(-1).triple(R(7)); }),
        executes("ADD", BlockKind::Add,
                 [](Builder& b) { b.word(kTypeInt).operand(-1).operand(-255).address(R(20)); }),
        executes("SUB", BlockKind::Sub,
                 [](Builder& b) { b.word(kTypeDint).operand(R(1)).operand(-9).address(R(20)); }),
        executes("MUL", BlockKind::Mul,
                 [](Builder& b) { b.word(kTypeInt).operand(-1).operand(-1).address(R(20)); }),
        executes("DIV", BlockKind::Div,
                 [](Builder& b) { b.word(kTypeInt).operand(-1).operand(0).address(R(20)); }),
        executes("MOD", BlockKind::Mod,
                 [](Builder& b) { b.word(kTypeDint).operand(-9).operand(-1).address(R(20)); }),
        executes("SQRT", BlockKind::Sqrt,
                 [](Builder& b) { b.word(kTypeInt).operand(-1).address(R(20)); }),
        executes("EQ", BlockKind::Eq, [](Builder& b) { b.word(kTypeInt).operand(-1).operand(-9); }),
        executes("LE", BlockKind::Le,
                 [](Builder& b) { b.word(kTypeDint).operand(-255).operand(R(1)); }),
        executes("AND", BlockKind::And,
                 [](Builder& b) { b.word(kTypeWord).operand(-1).operand(-255).address(R(20)); }),
        executes("NOT", BlockKind::Not,
                 [](Builder& b) { b.word(kTypeWord).operand(-1).address(R(20)); }),
        executes("SHL", BlockKind::Shl,
                 [](Builder& b) {
                     b.word(kTypeWord).length(2).address(R(1)).operand(-1).input(I(3)).address(
                         R(20));
                 }),
        executes("SHR", BlockKind::Shr,
                 [](Builder& b) {
                     b.word(kTypeWord).length(1).address(R(1)).operand(-9).emptyInput().address(
                         R(20));
                 }),
        executes("ROL", BlockKind::Rol,
                 [](Builder& b) {
                     b.word(kTypeWord).length(2).address(R(1)).operand(-9).address(R(20));
                 }),
        executes("ROR", BlockKind::Ror,
                 [](Builder& b) {
                     b.word(kTypeWord).length(2).address(R(1)).operand(-1).address(R(20));
                 }),
        executes("BITTST", BlockKind::BitTst,
                 [](Builder& b) { b.word(kTypeWord).length(1).address(R(1)).operand(-1); }),
        executes("BITSET", BlockKind::BitSet,
                 [](Builder& b) { b.word(kTypeWord).length(1).address(R(20)).operand(-9); }),
        executes("BITPOS", BlockKind::BitPos,
                 [](Builder& b) { b.word(kTypeWord).length(1).address(R(1)).address(R(20)); }),
        executes("MOVE", BlockKind::Move,
                 [](Builder& b) { b.word(kTypeInt).length(2).operand(-1).address(R(20)); }),
        executes("MOVE_BIT", BlockKind::Move,
                 [](Builder& b) { b.word(kTypeBit).length(3).operand(-1).address(M(9)); }),
        passesOver("MOVE_DINT", BlockKind::Move, [](Builder&) {}),
        executes("BLKMV", BlockKind::BlkMv,
                 [](Builder& b) {
                     b.word(kTypeInt);
                     for (int v : {-1, -9, -255, -100, -25, 3, -7}) {
                         b.operand(v);
                     }
                     for (int i = 0; i < 7; ++i) {
                         b.address(R(20 + i));
                     }
                 }),
        executes("BLKCLR", BlockKind::BlkClr,
                 [](Builder& b) { b.word(kTypeWord).length(2).address(R(20)); }),
        executes("BLKCLR_CONSTANT", BlockKind::BlkClr,
                 [](Builder& b) { b.word(kTypeWord).length(2).operand(-1); }),
        passesOver("SHFR", BlockKind::Shfr,
                   [](Builder& b) {
                       b.word(kTypeWord).length(4).input(I(3)).operand(-1).address(M(1)).address(
                           R(20));
                   }),
        passesOver("BITSEQ", BlockKind::BitSeq,
                   [](Builder& b) {
                       b.triple(R(30)).input(I(3)).input(I(4)).operand(-1).address(M(1));
                   }),
        passesOver("BITSEQ_NO_STEP_OR_ST", BlockKind::BitSeq,
                   [](Builder& b) { b.triple(R(30)).input(I(3)).emptyInput(); }),
        passesOver("BITSEQ_STEP_ONLY", BlockKind::BitSeq,
                   [](Builder& b) { b.triple(R(30)).emptyInput().input(I(4)).operand(-9); }),
        passesOver("COMRQ", BlockKind::ComRq,
                   [](Builder& b) { b.address(R(1)).operand(-1).operand(-255); }),
        executes("SRH_EQ", BlockKind::SrhEq,
                 [](Builder& b) {
                     b.word(kTypeInt).length(3).address(R(1)).operand(0).operand(-1).address(R(20));
                 }),
        passesOver("SRH_NE", BlockKind::SrhNe,
                   [](Builder& b) {
                       b.word(kTypeDint).length(3).address(R(1)).operand(-1).operand(-9).address(
                           R(20));
                   }),
        passesOver("SRH_LE", BlockKind::SrhLe,
                   [](Builder& b) {
                       b.word(kTypeWord).length(3).address(R(1)).operand(0).operand(-1).address(
                           R(20));
                   }),
        passesOver("SRH_GT_UNTYPED", BlockKind::SrhGt, [](Builder&) {}),
        executes(
            "ARRAY_MOVE", BlockKind::ArrMv,
            [](Builder& b) {
                b.word(kTypeInt).length(5).address(R(1)).operand(1).operand(2).operand(-1).address(
                    R(20));
            }),
        passesOver("ARRAY_MOVE_UNTYPED", BlockKind::ArrMv, [](Builder&) {}),
        executes("TO_BCD", BlockKind::ToBcd, [](Builder& b) { b.operand(-1).address(R(20)); }),
        executes("TO_INT", BlockKind::ToInt, [](Builder& b) { b.operand(-9).address(R(20)); }),
        passesOver("CALL", BlockKind::Call, [](Builder&) {}),
        passesOver("DO_IO", BlockKind::DoIo, [](Builder&) {}),
        passesOver("SVCRQ", BlockKind::SvcRq, [](Builder&) {}),
        passesOver("UNKNOWN_99", 99, [](Builder&) {})),
    [](const auto& testCase) { return testCase.param.name; });

}  // namespace
}  // namespace plc::test
