// Forcing: the force table's rules, the watch rows that name operands, and forced operands
// through the scan cycle's modes; "Jeden cykl".
#include "tests/plc/program_builder.h"

#include "plc/force_table.h"
#include "plc/scan_cycle.h"
#include "plc/watch_table.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace plc::test {
namespace {

OperandRef bitOf(AreaKind kind, int n) {
    return {kind, (n - 1) / 8, (n - 1) % 8, DataType::Bit};
}

OperandRef wordOf(AreaKind kind, int n, DataType type = DataType::Int) {
    return {kind, 2 * (n - 1), 0, type};
}

TEST(ForceValueTest, EachTypeTakesExactlyItsRange) {
    struct Case {
        DataType type;
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {DataType::Bit, "1", 1},
        {DataType::Bit, "2", std::nullopt},
        {DataType::Byte, "255", 255},
        {DataType::Byte, "256", std::nullopt},
        {DataType::Word, "65535", 65535},
        {DataType::Word, "-1", std::nullopt},
        {DataType::Int, "-32768", -32768},
        {DataType::Int, "32768", std::nullopt},
        {DataType::Dint, "-2147483648", INT32_MIN},
        {DataType::Dint, "2147483648", std::nullopt},
        {DataType::Dint, "99999999999999999999", std::nullopt},
        {DataType::Bcd4, "9999", 9999},
        {DataType::Bcd4, "10000", std::nullopt},
        {DataType::Int, " +12 ", 12},
        {DataType::Int, "+-5", std::nullopt},
        {DataType::Int, "12a", std::nullopt},
        {DataType::Int, "-", std::nullopt},
        {DataType::Int, "", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseForceValue(c.text, c.type), c.value)
            << c.text << " as " << operands::dataTypeWord(c.type);
    }
}

TEST(ForceTableTest, ANewForceReplacesEveryForceItOverlaps) {
    ForceTable table;
    ASSERT_EQ(table.force(bitOf(AreaKind::M, 1), 1), ForceResult::Forced);
    ASSERT_EQ(table.force(bitOf(AreaKind::M, 16), 1), ForceResult::Forced);
    ASSERT_EQ(table.force(bitOf(AreaKind::Q, 1), 1), ForceResult::Forced);
    // %M0001..%M0016 as one word takes the place of both bits; %Q0001 stays.
    ASSERT_EQ(table.force({AreaKind::M, 0, 0, DataType::Word}, 0x8001), ForceResult::Forced);
    EXPECT_EQ(table.entries().size(), 2u);
    EXPECT_TRUE(table.covers(bitOf(AreaKind::M, 9)));
    EXPECT_FALSE(table.covers(bitOf(AreaKind::M, 17)));
    EXPECT_TRUE(table.covers(bitOf(AreaKind::Q, 1)));
    EXPECT_FALSE(table.covers(bitOf(AreaKind::Q, 2)));
    // Forcing the same bit again replaces its value; a DINT reaching into the word replaces it.
    ASSERT_EQ(table.force(bitOf(AreaKind::Q, 1), 0), ForceResult::Forced);
    ASSERT_EQ(table.force({AreaKind::M, 1, 0, DataType::Dint}, 5), ForceResult::Forced);
    ASSERT_EQ(table.entries().size(), 2u);
    EXPECT_EQ(table.entries()[0].value, 0);
    EXPECT_EQ(table.entries()[1].ref, (OperandRef{AreaKind::M, 1, 0, DataType::Dint}));
    // Releasing one bit of the DINT releases all of it.
    EXPECT_EQ(table.release(bitOf(AreaKind::M, 20)), 1);
    EXPECT_EQ(table.release(bitOf(AreaKind::M, 20)), 0);
    EXPECT_EQ(table.entries().size(), 1u);
}

TEST(ForceTableTest, TheSixtyFifthOperandAndBadOperandsAreRefusedLeavingTheTableAsItWas) {
    ForceTable table;
    for (int n = 1; n <= 64; ++n) {
        ASSERT_EQ(table.force(bitOf(AreaKind::G, n), 1), ForceResult::Forced) << n;
    }
    EXPECT_EQ(table.force(bitOf(AreaKind::G, 65), 1), ForceResult::TableFull);
    EXPECT_FALSE(table.covers(bitOf(AreaKind::G, 65)));
    EXPECT_EQ(table.entries().size(), 64u);
    // An operand already forced takes a new value even with the table full.
    EXPECT_EQ(table.force(bitOf(AreaKind::G, 64), 0), ForceResult::Forced);
    table.release(bitOf(AreaKind::G, 1));
    EXPECT_EQ(table.force(bitOf(AreaKind::G, 65), 1), ForceResult::Forced);

    table.releaseAll();
    EXPECT_EQ(table.force({AreaKind::R, 1022, 0, DataType::Dint}, 1), ForceResult::OutsideArea);
    EXPECT_EQ(table.force({AreaKind::AQ, 64, 0, DataType::Word}, 1), ForceResult::OutsideArea);
    EXPECT_EQ(table.force({AreaKind::M, 0, 8, DataType::Bit}, 1), ForceResult::OutsideArea);
    EXPECT_EQ(table.force({AreaKind::M, -1, 0, DataType::Byte}, 1), ForceResult::OutsideArea);
    EXPECT_EQ(table.force(bitOf(AreaKind::M, 1), 2), ForceResult::ValueOutOfRange);
    EXPECT_EQ(table.force(wordOf(AreaKind::R, 1, DataType::Bcd4), 10000),
              ForceResult::ValueOutOfRange);
    EXPECT_TRUE(table.empty());
}

TEST(WatchTableTest, EachShownRowNamesItsOperandWhateverTheStart) {
    struct Case {
        AreaKind kind;
        DataType type;
        const char* start;
        int row;
        std::optional<OperandRef> ref;
        const char* name;
    };
    const Case cases[] = {
        {AreaKind::M, DataType::Bit, "100", 3, bitOf(AreaKind::M, 100), "%M0100"},
        {AreaKind::M, DataType::Byte, "100", 8, OperandRef{AreaKind::M, 13, 0, DataType::Byte},
         "%M0105"},
        {AreaKind::M, DataType::Byte, "100", 1, std::nullopt, ""},
        {AreaKind::Q, DataType::Bcd4, "1", 0, OperandRef{AreaKind::Q, 0, 0, DataType::Bcd4},
         "%Q0001"},
        {AreaKind::Q, DataType::Word, "1", 1, std::nullopt, ""},
        {AreaKind::R, DataType::Dint, "510", 14, wordOf(AreaKind::R, 511, DataType::Dint),
         "%R0511"},
        {AreaKind::R, DataType::Dint, "510", 15, std::nullopt, ""},
        {AreaKind::AQ, DataType::Word, "32", 15, wordOf(AreaKind::AQ, 32, DataType::Word),
         "%AQ0032"},
    };
    for (const Case& c : cases) {
        WatchTable watch;
        watch.selectKind(c.kind);
        watch.setType(c.type);
        ASSERT_TRUE(watch.takeStartAddress(c.start));
        const std::optional<OperandRef> ref = watch.rowOperand(c.row);
        EXPECT_EQ(ref, c.ref) << c.name << " row " << c.row;
        if (ref) {
            EXPECT_EQ(operandName(*ref), c.name);
        }
    }
}

// A cycle in RUN with a panel stand-in that counts what it is shown.
struct ForcingFixture : ::testing::Test {
    class CountingView : public ScanView {
    public:
        void refreshWatch(const Plc&) override { ++refreshes; }
        void showCycleTime(std::uint32_t cycleMs, std::uint32_t maxMs) override {
            cycleText = cycleTimeText(cycleMs, maxMs);
        }
        int refreshes = 0;
        std::string cycleText;
    };

    void start(const Builder& program) {
        rig.plc.setProgram(Program(program.build(), 0, 0));
        rig.cycle.setPanel(&rig.panel);
        rig.cycle.setView(&view);
        ASSERT_TRUE(rig.cycle.startSimulator());
        rig.cycle.nextMode();
    }
    void force(const OperandRef& ref, std::int32_t value) {
        ASSERT_EQ(rig.cycle.force(ref, value), ForceResult::Forced) << operandName(ref);
    }

    Rig rig;
    CountingView view;
};

using ForcingTest = ForcingFixture;

TEST_F(ForcingTest, AForcedInputSetsASealInThatHoldsAfterTheRelease) {
    // %Q0001 = (%I0001 OR %Q0001) AND NOT %I0002.
    Builder b;
    b.load(I(1)).load(Q(1)).orStack().andNot(I(2)).coil(kCoilNormal, Q(1)).end();
    start(b);
    force(bitOf(AreaKind::I, 1), 1);
    rig.scanWith(0);
    EXPECT_EQ(rig.bit(Q(1)), 1);
    rig.cycle.release(bitOf(AreaKind::I, 1));
    rig.scanWith(0);
    EXPECT_EQ(rig.bit(I(1)), 0) << "the panel's input again";
    EXPECT_EQ(rig.bit(Q(1)), 1) << "the seal-in holds";
    // A forced input holds against the panel: the stop button pressed on the panel is not seen.
    force(bitOf(AreaKind::I, 2), 0);
    rig.scanWith(0b10);
    EXPECT_EQ(rig.bit(Q(1)), 1);
    rig.cycle.release(bitOf(AreaKind::I, 2));
    rig.scanWith(0b10);
    EXPECT_EQ(rig.bit(Q(1)), 0);
}

TEST_F(ForcingTest, AForcedOutputOverridesItsCoilUntilTheTickOfItsRelease) {
    // %Q0001 = %I0001; %AQ0001 = %AI0001 + 1.
    Builder b;
    b.load(I(1)).coil(kCoilNormal, Q(1));
    b.block(BlockKind::Add, I(1)).word(kTypeInt).operand(AI(1)).operand(1).address(AQ(1));
    b.end();
    start(b);
    rig.panel.analog1 = 10;
    force(bitOf(AreaKind::Q, 1), 1);
    force(wordOf(AreaKind::AQ, 1), -5);
    WatchTable watch;
    watch.selectKind(AreaKind::Q);
    rig.scanWith(0);
    EXPECT_EQ(rig.panel.outputs & 1, 1);
    EXPECT_EQ(rig.panel.analogOut1, -5);
    watch.refresh(rig.plc);
    EXPECT_EQ(watch.values()[0], "1");

    force(bitOf(AreaKind::Q, 1), 0);
    rig.scanWith(1);
    EXPECT_EQ(rig.panel.outputs & 1, 0) << "forced off against a powered coil";
    EXPECT_EQ(rig.panel.analogOut1, -5);

    rig.cycle.release(bitOf(AreaKind::Q, 1));
    rig.cycle.release(wordOf(AreaKind::AQ, 1));
    rig.scanWith(1);
    EXPECT_EQ(rig.panel.outputs & 1, 1);
    EXPECT_EQ(rig.panel.analogOut1, 11);
    watch.refresh(rig.plc);
    EXPECT_EQ(watch.values()[0], "1");
}

TEST_F(ForcingTest, AForcedRegisterIsWhatTheScanReadsAndWhatItShowsAfterwards) {
    // %R0002 = %R0001 + 1; %R0001 = %R0003 + 1; %R0010 (DINT) = %R0010 + 1.
    Builder b;
    b.block(BlockKind::Add, S(7)).word(kTypeInt).operand(R(1)).operand(1).address(R(2));
    b.block(BlockKind::Add, S(7)).word(kTypeInt).operand(R(3)).operand(1).address(R(1));
    b.block(BlockKind::Add, S(7)).word(kTypeDint).operand(R(10)).operand(1).address(R(10));
    b.end();
    start(b);
    force(wordOf(AreaKind::R, 1), 41);
    force(wordOf(AreaKind::R, 10, DataType::Dint), 100000);
    rig.ticks(2);
    EXPECT_EQ(rig.intAt(R(2)), 42);
    EXPECT_EQ(rig.intAt(R(1)), 41) << "the program's own write is overridden";
    EXPECT_EQ(rig.dintAt(R(10)), 100000);
    rig.cycle.release(wordOf(AreaKind::R, 1));
    rig.ticks(1);
    EXPECT_EQ(rig.intAt(R(2)), 42) << "read before the program wrote it";
    EXPECT_EQ(rig.intAt(R(1)), 1);
    rig.ticks(1);
    EXPECT_EQ(rig.intAt(R(2)), 2);
}

TEST_F(ForcingTest, ForcesHoldThroughTheModeCycleAndEndWithTheSimulation) {
    // %Q0001, %M0001 and %T0001 follow %I0001 through plain coils.
    Builder b;
    b.load(I(1)).coil(kCoilNormal, Q(1)).coil(kCoilNormal, M(1)).coil(kCoilNormal, T(1)).end();
    rig.plc.setProgram(Program(b.build(), 0, 0));
    rig.cycle.setPanel(&rig.panel);
    ASSERT_TRUE(rig.cycle.startSimulator());
    // Forced in STOP NO I/O: the memory takes the value at once.
    force(wordOf(AreaKind::R, 5), 7);
    EXPECT_EQ(rig.intAt(R(5)), 7);
    for (const OperandRef& ref :
         {bitOf(AreaKind::Q, 1), bitOf(AreaKind::M, 1), bitOf(AreaKind::T, 1)}) {
        force(ref, 1);
    }
    rig.cycle.nextMode();  // RUN
    rig.scanWith(0);
    rig.cycle.nextMode();  // last scan, power-down, STOP I/O SCAN
    ASSERT_EQ(rig.cycle.mode(), Mode::StopIoScan);
    EXPECT_EQ(rig.bit(Q(1)), 1);
    EXPECT_EQ(rig.bit(M(1)), 1);
    EXPECT_EQ(rig.bit(T(1)), 1);
    EXPECT_EQ(rig.plc.retentiveCopy(AreaKind::Q)[0], 0) << "forcing is not retentive";
    rig.scanWith(0);
    EXPECT_EQ(rig.panel.outputs & 1, 1);
    rig.cycle.nextMode();  // STOP NO I/O
    rig.ticks(1);
    rig.cycle.nextMode();  // RUN
    rig.scanWith(0);
    EXPECT_EQ(rig.panel.outputs & 1, 1);
    EXPECT_EQ(rig.intAt(R(5)), 7);
    rig.cycle.release(bitOf(AreaKind::Q, 1));
    rig.scanWith(0);
    EXPECT_EQ(rig.panel.outputs & 1, 0);

    rig.cycle.endSimulation();
    EXPECT_TRUE(rig.cycle.forces().empty());
    ASSERT_TRUE(rig.cycle.startSimulator());
    rig.cycle.nextMode();
    rig.scanWith(0);
    EXPECT_EQ(rig.bit(M(1)), 0);
    EXPECT_EQ(rig.intAt(R(5)), 0);
}

TEST_F(ForcingTest, SingleCycleRunsOneScanPerPressOnlyInStopIoScan) {
    // %Q0001 = %I0001; %M0003 = %S0002.
    Builder b;
    b.load(I(1)).coil(kCoilNormal, Q(1)).load(S(2)).coil(kCoilNormal, M(3)).end();
    rig.plc.setProgram(Program(b.build(), 0, 0));
    rig.cycle.setPanel(&rig.panel);
    rig.cycle.setView(&view);
    ASSERT_TRUE(rig.cycle.startSimulator());
    EXPECT_FALSE(rig.cycle.runSingleCycle()) << "STOP NO I/O";
    rig.cycle.nextMode();
    EXPECT_FALSE(rig.cycle.runSingleCycle()) << "RUN";
    rig.cycle.nextMode();
    ASSERT_EQ(rig.cycle.mode(), Mode::StopIoScan);
    const std::uint64_t scans = rig.cycle.scanCount();
    rig.panel.inputs = 1;
    rig.ticks(3);
    EXPECT_EQ(rig.cycle.scanCount(), scans);
    EXPECT_EQ(rig.bit(Q(1)), 0);

    view.cycleText.clear();
    const int refreshes = view.refreshes;
    const int writes = rig.panel.writes;
    rig.clock.advance(20);
    EXPECT_TRUE(rig.cycle.runSingleCycle());
    EXPECT_EQ(rig.cycle.scanCount(), scans + 1);
    EXPECT_EQ(rig.cycle.mode(), Mode::StopIoScan);
    EXPECT_EQ(rig.panel.outputs & 1, 1);
    EXPECT_EQ(rig.panel.writes, writes + 1);
    EXPECT_EQ(rig.bit(M(3)), 1) << "a normal scan, not a last one";
    EXPECT_EQ(view.refreshes, refreshes + 1);
    EXPECT_EQ(view.cycleText, "Czas wykonania cyklu: 0ms max:0ms");
    EXPECT_TRUE(rig.cycle.runSingleCycle());
    EXPECT_EQ(rig.cycle.scanCount(), scans + 2);
    EXPECT_EQ(rig.cycle.mode(), Mode::StopIoScan);
}

}  // namespace
}  // namespace plc::test
