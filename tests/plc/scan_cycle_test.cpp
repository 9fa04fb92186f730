// The scan cycle: modes, transfers, the last scan and power-down, cycle time, start and end.
#include "plc/scan_cycle.h"

#include "tests/plc/program_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plc::test {
namespace {

// Records what the cycle shows, and takes time on the clock when the watch is refreshed.
class RecordingView : public ScanView {
public:
    explicit RecordingView(FakeClock& clock) : m_clock(clock) {}
    void refreshWatch(const Plc&) override {
        ++refreshes;
        m_clock.advance(watchCostMs);
    }
    void clearOutputs() override { ++clears; }
    void showMode(Mode mode) override { modes.push_back(mode); }
    void showCycleTime(std::uint32_t cycleMs, std::uint32_t maxMs) override {
        lastCycle = cycleTimeText(cycleMs, maxMs);
    }
    void showWatchdogFault() override { ++faults; }

    int refreshes = 0;
    int clears = 0;
    int faults = 0;
    std::uint32_t watchCostMs = 0;
    std::vector<Mode> modes;
    std::string lastCycle;

private:
    FakeClock& m_clock;
};

// %Q1 = %I1; %AQ1 = %AI1 + 1; a retentive %M1 and a normal %M2 set by %I2; %T1 = %I1.
Builder echoProgram() {
    Builder b;
    b.load(I(1)).coil(kCoilNormal, Q(1));
    b.block(BlockKind::Add, I(1)).word(kTypeInt).operand(AI(1)).operand(1).address(AQ(1));
    b.load(I(2)).coil(kCoilSetRetentive, M(1)).coil(kCoilSet, M(2)).coil(kCoilSet, Q(2));
    b.load(I(1)).coil(kCoilNormal, T(1));
    b.load(S(2)).coil(kCoilNormal, M(3));
    return b.end();
}

struct CycleFixture : ::testing::Test {
    CycleFixture() {
        cycle.setPanel(&panel);
        cycle.setView(&view);
        plc.setProgram(Program(echoProgram().build(), 0, 0));
    }
    FakeClock clock{1000};
    Plc plc{clock};
    ScanCycle cycle{plc, clock};
    FakeIo panel;
    FakeIo dde;
    RecordingView view{clock};
};

using ScanCycleTest = CycleFixture;

TEST_F(ScanCycleTest, StopNoIoUpdatesSystemBitsButNeitherTransfersNorScans) {
    ASSERT_TRUE(cycle.startSimulator());
    EXPECT_EQ(cycle.mode(), Mode::StopNoIo);
    EXPECT_EQ(modeCaption(cycle.mode()), "Tryb STOP NO I/O");
    EXPECT_EQ(modeButtonCaption(cycle.mode()), "RUN");
    panel.inputs = 1;
    clock.advance(20);
    cycle.tick();
    EXPECT_EQ(panel.reads, 0);
    EXPECT_EQ(panel.writes, 0);
    EXPECT_EQ(cycle.scanCount(), 0u);
    EXPECT_EQ(plc.readBit(kAreaS, 0, 6), 1);
    EXPECT_EQ(view.refreshes, 1);
}

TEST_F(ScanCycleTest, RunTransfersAndScansOncePerTick) {
    ASSERT_TRUE(cycle.startSimulator());
    cycle.nextMode();
    EXPECT_EQ(cycle.mode(), Mode::Run);
    EXPECT_EQ(modeCaption(cycle.mode()), "Tryb RUN");
    EXPECT_EQ(modeButtonCaption(cycle.mode()), "STOP I/O SCAN");
    panel.inputs = 1;
    panel.analog1 = 41;
    clock.advance(20);
    cycle.tick();
    EXPECT_EQ(cycle.scanCount(), 1u);
    EXPECT_EQ(panel.outputs & 1, 1);
    EXPECT_EQ(panel.analogOut1, 42);
    EXPECT_EQ(plc.readBit(kAreaM, 0, 2), 1) << "%S0002 is 1 in a normal scan";
}

TEST_F(ScanCycleTest, StopIoScanTransfersWithoutRunningTheProgram) {
    ASSERT_TRUE(cycle.startSimulator());
    cycle.nextMode();
    cycle.nextMode();
    ASSERT_EQ(cycle.mode(), Mode::StopIoScan);
    EXPECT_EQ(modeCaption(cycle.mode()), "Tryb STOP I/O SCAN");
    EXPECT_EQ(modeButtonCaption(cycle.mode()), "STOP NO I/O");
    const auto scans = cycle.scanCount();
    panel.inputs = 1;
    const int writes = panel.writes;
    cycle.tick();
    EXPECT_EQ(cycle.scanCount(), scans);
    EXPECT_EQ(plc.readBit(kAreaI, 0, 0), 1);
    EXPECT_EQ(plc.readBit(kAreaQ, 0, 0), 0);
    EXPECT_EQ(panel.writes, writes + 1);
}

TEST_F(ScanCycleTest, LeavingRunRunsALastScanThenPowersDown) {
    ASSERT_TRUE(cycle.startSimulator());
    cycle.nextMode();
    panel.inputs = 0b11;
    cycle.tick();
    ASSERT_EQ(plc.readBit(kAreaM, 0, 1), 1);
    ASSERT_EQ(plc.readBit(kAreaT, 0, 0), 1);
    const auto scans = cycle.scanCount();
    cycle.nextMode();
    EXPECT_EQ(cycle.scanCount(), scans + 1);
    EXPECT_EQ(plc.readBit(kAreaM, 0, 2), 0) << "%S0002 was 0 in the last scan";
    EXPECT_EQ(plc.readBit(kAreaM, 0, 0), 1) << "retentive %M1 survives";
    EXPECT_EQ(plc.readBit(kAreaM, 0, 1), 0) << "%M2 was only set by a normal coil";
    EXPECT_EQ(plc.readBit(kAreaQ, 0, 1), 0);
    EXPECT_EQ(plc.readBit(kAreaT, 0, 0), 0);
}

TEST_F(ScanCycleTest, ThreePressesReturnToStopNoIoWithDisplaysClearedAndMemoryKept) {
    ASSERT_TRUE(cycle.startSimulator());
    cycle.nextMode();
    panel.inputs = 1;
    cycle.tick();
    cycle.nextMode();
    const int clears = view.clears;
    cycle.nextMode();
    EXPECT_EQ(cycle.mode(), Mode::StopNoIo);
    EXPECT_EQ(view.clears, clears + 1);
    EXPECT_EQ(plc.readInt(kAreaAQ, 0), 1) << "memory is not changed by clearing displays";
    EXPECT_EQ((std::vector<Mode>{Mode::StopNoIo, Mode::Run, Mode::StopIoScan, Mode::StopNoIo}),
              view.modes);
}

TEST_F(ScanCycleTest, RetentiveMemorySurvivesStopAndRunButNotANewStart) {
    ASSERT_TRUE(cycle.startSimulator());
    cycle.nextMode();
    panel.inputs = 0b10;
    cycle.tick();
    cycle.nextMode();
    cycle.nextMode();
    cycle.nextMode();
    panel.inputs = 0;
    cycle.tick();
    EXPECT_EQ(plc.readBit(kAreaM, 0, 0), 1);
    cycle.endSimulation();
    EXPECT_FALSE(plc.isAllocated());
    plc.setProgram(Program(echoProgram().build(), 0, 0));
    ASSERT_TRUE(cycle.startSimulator());
    EXPECT_EQ(plc.readBit(kAreaM, 0, 0), 0);
}

TEST_F(ScanCycleTest, CycleTimeCoversTheWatchRefreshAndKeepsItsMaximumAcrossSimulations) {
    ASSERT_TRUE(cycle.startSimulator());
    cycle.nextMode();
    view.watchCostMs = 16;
    cycle.tick();
    EXPECT_EQ(cycle.cycleTime(), 16u);
    view.watchCostMs = 0;
    cycle.tick();
    EXPECT_EQ(view.lastCycle, "Czas wykonania cyklu: 0ms max:16ms");
    cycle.endSimulation();
    plc.setProgram(Program(echoProgram().build(), 0, 0));
    ASSERT_TRUE(cycle.startSimulator());
    EXPECT_EQ(cycle.maxCycleTime(), 16u);
}

TEST_F(ScanCycleTest, DdeSimulationTransfersThroughTheLinkButTheLastScanUsesThePanel) {
    cycle.setDde(&dde);
    ASSERT_TRUE(cycle.startSimulatorDde());
    EXPECT_TRUE(cycle.ddeFlag());
    EXPECT_EQ(cycle.tickInterval(), kDdeTickMs);
    cycle.nextMode();
    dde.inputs = 1;
    cycle.tick();
    EXPECT_EQ(dde.reads, 1);
    EXPECT_EQ(dde.outputs & 1, 1);
    EXPECT_EQ(panel.reads, 0);
    cycle.nextMode();
    EXPECT_EQ(panel.reads, 1);
    EXPECT_EQ(panel.writes, 1);
    EXPECT_EQ(dde.reads, 1);
    cycle.endSimulation();
    EXPECT_FALSE(cycle.ddeFlag());
    EXPECT_EQ(cycle.tickInterval(), kTickMs);
}

TEST_F(ScanCycleTest, ClosedCycleIgnoresTicksAndTheModeButton) {
    panel.inputs = 1;
    cycle.tick();
    cycle.nextMode();
    EXPECT_EQ(cycle.mode(), Mode::Closed);
    EXPECT_EQ(panel.reads, 0);
    ASSERT_TRUE(cycle.startSimulator());
    cycle.nextMode();
    cycle.tick();
    cycle.endSimulation();
    EXPECT_EQ(cycle.mode(), Mode::Closed);
    const auto scans = cycle.scanCount();
    cycle.tick();
    EXPECT_EQ(cycle.scanCount(), scans);
}

TEST_F(ScanCycleTest, FailedAllocationKeepsTheSimulatorClosed) {
    plc.setProgram(Program({kEnd}, -5, 0));
    EXPECT_FALSE(cycle.startSimulator());
    EXPECT_EQ(cycle.mode(), Mode::Closed);
}

TEST_F(ScanCycleTest, WatchdogFaultIsShownOnce) {
    Builder b;
    b.control(kControlLabel, 3).load(I(1)).control(kControlJump, 3).end();
    plc.setProgram(Program(b.build(), 0, 0));
    ASSERT_TRUE(cycle.startSimulator());
    cycle.nextMode();
    panel.inputs = 1;
    cycle.tick();
    EXPECT_EQ(view.faults, 1);
    EXPECT_EQ(cycle.mode(), Mode::StopNoIo);
    EXPECT_EQ(view.modes.back(), Mode::StopNoIo);
    cycle.tick();
    EXPECT_EQ(view.faults, 1);
}

}  // namespace
}  // namespace plc::test
