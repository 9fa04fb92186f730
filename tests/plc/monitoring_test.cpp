// Monitoring: a monitored scan does exactly what an unmonitored one does, and its trace tells
// what each instruction did in the last scan.
#include "tests/plc/program_builder.h"

#include "plc/power_trace.h"

#include <gtest/gtest.h>

namespace plc::test {
namespace {

// Every kind of instruction the trace records: contacts and stack instructions, the coils
// (an edge coil among them), an MCR zone, a JUMP over a rung, a timer whose reset input has
// a contact, an ADD enabled by a contact and a block chained to it. `at` notes where the
// instructions a test looks at begin.
struct Everything {
    Builder program;
    std::size_t loadI2, orStack, andNotI3, coilQ1, loadI4, edgeCoil, mcrContact, zoneContact,
        zoneCoil, endMcr, jump, skippedContact, skippedCoil, label, timer, resetContact, add, sqrt;

    Everything() {
        Builder& b = program;
        b.load(I(1));
        loadI2 = mark();
        b.load(I(2));
        orStack = mark();
        b.orStack();
        andNotI3 = mark();
        b.andNot(I(3));
        coilQ1 = mark();
        b.coil(kCoilNormal, Q(1));
        loadI4 = mark();
        b.load(I(4));
        edgeCoil = mark();
        b.edgeCoil(kCoilPositive, 0, Q(2));
        mcrContact = mark();
        b.load(I(5)).control(kControlMcr, 0);
        zoneContact = mark();
        b.load(I(1));
        zoneCoil = mark();
        b.coil(kCoilNegated, Q(3));
        endMcr = mark();
        b.control(kControlEndMcr, 0);
        b.load(I(6));
        jump = mark();
        b.control(kControlJump, 0);
        skippedContact = mark();
        b.load(I(1));
        skippedCoil = mark();
        b.coil(kCoilSet, Q(4));
        label = mark();
        b.control(kControlLabel, 0);
        timer = mark();
        b.block(BlockKind::Ondtr, I(1));
        resetContact = mark();
        b.input(I(7)).words({0, kTimeBase10ms}).triple(R(1)).operand(3).triple(R(1));
        add = mark();
        b.block(BlockKind::Add, I(1)).word(kTypeInt).operand(R(10)).operand(1).operand(R(10));
        sqrt = mark();
        b.chainedBlock(BlockKind::Sqrt).word(kTypeInt).operand(R(10)).operand(R(11));
        b.coil(kCoilNormal, Q(5)).end();
    }
    std::size_t mark() const { return program.size(); }
};

TEST(MonitoringTest, MonitoredScansDoWhatUnmonitoredScansDo) {
    Rig plain;
    Rig monitored;
    monitored.plc.setMonitoring(true);
    plain.run(Everything().program, 1, 1);
    monitored.run(Everything().program, 1, 1);
    const std::uint16_t inputs[] = {0x00, 0x01, 0x09, 0x19, 0x11, 0x31, 0x71, 0x41, 0x00, 0x7F};
    for (const std::uint16_t word : inputs) {
        plain.scanWith(word);
        monitored.scanWith(word);
        for (int kind = 0; kind < kAreaKindCount; ++kind) {
            const auto a = plain.plc.area(kind);
            const auto b = monitored.plc.area(kind);
            ASSERT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << word << " " << kind;
        }
        EXPECT_EQ(plain.plc.accumulator(), monitored.plc.accumulator());
    }
    EXPECT_FALSE(plain.plc.hasTrace());
    EXPECT_EQ(plain.plc.traceAt(0), 0);
}

TEST(MonitoringTest, TraceTellsWhatEachInstructionDidInTheLastScan) {
    Rig rig;
    rig.plc.setMonitoring(true);
    const Everything e;
    rig.run(e.program, 1, 1);
    EXPECT_FALSE(rig.plc.hasTrace());
    auto bits = [&](std::size_t word) { return rig.plc.traceAt(word); };
    using B = TraceBit;

    rig.scanWith(0x0001 | 0x0004 | 0x0008);  // %I1, %I3, %I4
    EXPECT_EQ(bits(0), B::Ran | B::Operand);
    EXPECT_EQ(bits(e.loadI2), B::Ran);
    EXPECT_EQ(bits(e.orStack), 0);                     // stack instructions record nothing
    EXPECT_EQ(bits(e.andNotI3), B::Ran | B::Operand);  // read 1, so no power after it
    EXPECT_EQ(bits(e.coilQ1), B::Ran);
    EXPECT_EQ(bits(e.edgeCoil), B::Ran | B::Flow | B::Output);  // the pulse
    EXPECT_EQ(bits(e.skippedContact), B::Ran | B::Operand);     // no JUMP
    // The timer with its enable and output, its reset input's contact inside it.
    EXPECT_EQ(bits(e.timer), B::Ran | B::Flow);
    EXPECT_EQ(bits(e.timer + 2), B::Ran | B::Operand);
    EXPECT_EQ(bits(e.resetContact), B::Ran);
    EXPECT_EQ(bits(e.add), B::Ran | B::Flow | B::Output);
    EXPECT_EQ(bits(e.sqrt), B::Ran | B::Flow | B::Output);

    rig.scanWith(0x0001 | 0x0008 | 0x0010 | 0x0020);  // MCR zone on, JUMP taken
    EXPECT_EQ(bits(e.mcrContact), B::Ran | B::Operand);
    EXPECT_EQ(bits(e.zoneContact), B::Ran | B::Operand | B::ZoneOff);  // read 1, forced to 0
    EXPECT_EQ(bits(e.zoneCoil), B::Ran | B::ZoneOff);
    EXPECT_EQ(bits(e.edgeCoil), B::Ran | B::Flow);  // held on: no pulse
    EXPECT_EQ(bits(e.endMcr), B::Ran | B::ZoneOff);
    EXPECT_EQ(bits(e.jump), B::Ran | B::Flow);
    EXPECT_EQ(bits(e.skippedCoil), 0);
    EXPECT_EQ(bits(e.label), B::Ran | B::Flow);  // the power flow the JUMP had
    // Jumped over in this and many more scans: nothing of the earlier scan comes back.
    for (int scan = 0; scan < 20; ++scan) {
        EXPECT_EQ(bits(e.skippedContact), 0) << scan;
        rig.scanWith(0x0001 | 0x0008 | 0x0010 | 0x0020);
    }
    rig.scanWith(0x0001);
    EXPECT_EQ(bits(e.skippedContact), B::Ran | B::Operand);
}

}  // namespace
}  // namespace plc::test
