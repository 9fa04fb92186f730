// A machine wired to the controller through the scan cycle: the order of a tick, the inputs it
// owns against the panel and the forces, and the modes in which its outputs reach it.
#include "plant/plant_link.h"

#include "plant/crossing.h"
#include "plant/tank.h"
#include "tests/plc/program_builder.h"

#include <gtest/gtest.h>

namespace plant {
namespace {

using namespace plc::test;
using plc::kCoilNormal;
using plc::kTypeInt;

TEST(PlantLinkTest, TheTankStopsItsPumpAtTheHighSwitchThroughTheScan) {
    // %Q1 = NOT %I2 (pump until the high switch); %Q3 = %I1; %Q4 = %I3; %AQ1 = %AI1 + 0.
    Builder program;
    program.loadNot(I(2)).coil(kCoilNormal, Q(1));
    program.load(I(1)).coil(kCoilNormal, Q(3));
    program.load(I(3)).coil(kCoilNormal, Q(4));
    program.block(BlockKind::Add, S(7)).word(kTypeInt).operand(AI(1)).operand(0).address(AQ(1));
    Rig rig;
    Tank tank;
    PlantLink link(tank);
    rig.cycle.setPlant(&link);
    rig.panel.inputs = 0xFFFF;  // the panel's boxes of the tank's switches count for nothing
    rig.run(program.end());

    // The first tick moves the tank by nothing; each later one by 20 ms of the pump the scan
    // before switched on. At 45 000 ms the high switch is on and that tick's scan stops it.
    rig.ticks(2250);
    EXPECT_EQ(tank.timeMs(), 44'980u);
    EXPECT_EQ(rig.bit(I(2)), 0);
    EXPECT_EQ(rig.bit(Q(1)), 1);
    EXPECT_EQ(rig.bit(Q(3)), 1);
    EXPECT_EQ(rig.bit(Q(4)), 1);  // an input the tank does not own stays the panel's
    rig.ticks(1);
    EXPECT_EQ(rig.bit(I(2)), 1);
    EXPECT_EQ(rig.bit(Q(1)), 0);
    EXPECT_EQ(rig.intAt(AQ(1)), 28800);
    rig.ticks(10);
    EXPECT_EQ(tank.levelMl(), 90'000);

    // A force beats the tank: the pump runs on into an overflow.
    ASSERT_EQ(rig.cycle.force({plc::AreaKind::I, 0, 1, plc::DataType::Bit}, 0),
              plc::ForceResult::Forced);
    rig.ticks(251);  // the first sees the pump off, 250 more fill the tank to the brim
    EXPECT_EQ(tank.faultCount(), 0u);
    rig.ticks(1);
    EXPECT_EQ(rig.bit(I(2)), 0);
    EXPECT_EQ(tank.levelMl(), Tank::kCapacityMl);
    EXPECT_EQ(tank.faultCount(), 1u);
}

TEST(PlantLinkTest, OutputsReachTheMachineOutsideStopNoIoOnly) {
    // Pedestrian green with car green: a collision whenever the lamps reach the crossing.
    Builder program;
    program.load(S(7)).coil(kCoilNormal, Q(3)).coil(kCoilNormal, Q(5));
    Rig rig;
    rig.plc.setProgram(plc::Program(program.end().build(), 0, 0));
    rig.cycle.setPanel(&rig.panel);
    Crossing crossing;
    PlantLink link(crossing);
    rig.cycle.setPlant(&link);
    ASSERT_TRUE(rig.cycle.startSimulator());

    // STOP NO I/O: time passes for the crossing, its lamps are dark, and not in RUN.
    rig.ticks(251);
    EXPECT_EQ(crossing.timeMs(), 5'000u);
    EXPECT_EQ(crossing.quantity(1), 1);  // a pedestrian waits
    EXPECT_EQ(crossing.faultCount(), 0u);
    rig.cycle.nextMode();  // RUN: the first scan lights both greens
    rig.ticks(1);
    EXPECT_EQ(crossing.faultCount(), 0u);
    rig.ticks(1);
    ASSERT_EQ(crossing.faultCount(), 1u);
    EXPECT_EQ(crossing.faults().back().timeMs, 5'020u);
    EXPECT_EQ(crossing.quantity(3), 1);  // the pedestrian crossed on the green

    // Leaving RUN: the last scan, then STOP I/O SCAN shows memory as the power-down left it.
    rig.cycle.nextMode();
    rig.cycle.nextMode();  // STOP NO I/O: the lamps go dark, but not in RUN: no fault
    rig.ticks(200);
    EXPECT_EQ(crossing.faultCount(), 1u);

    // A machine reset at a tick starts from its first state and counts time afresh.
    crossing.reset();
    link.restart();
    rig.ticks(3);
    EXPECT_EQ(crossing.timeMs(), 40u);
}

TEST(PlantLinkTest, TheClockWrappingAroundMovesTheMachineByTheTickOnly) {
    Tank tank;
    PlantLink link(tank);
    plc::FakeClock clock(0xFFFF'FFF0u);
    plc::Plc plc(clock);
    plc.setProgram(plc::Program(Builder().load(S(7)).coil(kCoilNormal, Q(1)).end().build(), 0, 0));
    ASSERT_TRUE(plc.allocate());
    plc.updateSystemBits(false);
    plc.runProgram();
    link.advance(plc, clock.now(), true, true);
    clock.advance(40);  // past 2^32
    link.advance(plc, clock.now(), true, true);
    EXPECT_EQ(tank.levelMl(), 80);
}

}  // namespace
}  // namespace plant
