// The memory image: value forms, panel access, retentive copies, system bits and the checks
// that keep every access inside its area.
#include "tests/plc/program_builder.h"

#include "plc/plc.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace plc::test {
namespace {

class MemoryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plc.allocate()); }
    FakeClock clock{5000};
    Plc plc{clock};
};

TEST_F(MemoryTest, AreasHaveTheirSizesInKindOrder) {
    const std::vector<std::size_t> sizes{64, 64, 128, 16, 160, 32, 128, 64, 1024};
    for (int kind = 0; kind < kAreaKindCount; ++kind) {
        EXPECT_EQ(plc.areaBytes(kind), sizes[static_cast<std::size_t>(kind)]) << kind;
        EXPECT_EQ(areaKindOf(areaCodeOf(static_cast<AreaKind>(kind))), static_cast<AreaKind>(kind));
    }
    EXPECT_EQ(plc.areaBytes(9), 0u);
    EXPECT_EQ(plc.areaBytes(-1), 0u);
    EXPECT_FALSE(areaKindOf(0).has_value());
    EXPECT_FALSE(areaKindOf(-19).has_value());
    EXPECT_FALSE(areaKindOf(std::numeric_limits<ProgramWord>::min()).has_value());
}

TEST_F(MemoryTest, AreasDoNotOverlap) {
    for (int kind = 0; kind < kAreaKindCount; ++kind) {
        const ProgramWord code = areaCodeOf(static_cast<AreaKind>(kind));
        const auto size = static_cast<ProgramWord>(plc.areaBytes(kind));
        plc.writeByte(code, 0, static_cast<std::uint8_t>(kind + 1));
        plc.writeByte(code, size - 1, static_cast<std::uint8_t>(kind + 101));
    }
    for (int kind = 0; kind < kAreaKindCount; ++kind) {
        const auto bytes = plc.area(kind);
        EXPECT_EQ(bytes.front(), kind + 1);
        EXPECT_EQ(bytes.back(), kind + 101);
    }
}

TEST_F(MemoryTest, ValueFormsAreLittleEndian) {
    plc.writeDint(kAreaR, 0, 0x12345678);
    EXPECT_EQ(plc.readWord(kAreaR, 0), 0x5678);
    EXPECT_EQ(plc.readWord(kAreaR, 2), 0x1234);
    EXPECT_EQ(plc.readByte(kAreaR, 0), 0x78);
    plc.writeInt(kAreaR, 4, -2);
    EXPECT_EQ(plc.readWord(kAreaR, 4), 0xFFFE);
    EXPECT_EQ(plc.readInt(kAreaR, 4), -2);
    plc.writeDint(kAreaR, 8, -70000);
    EXPECT_EQ(plc.readDint(kAreaR, 8), -70000);
}

TEST_F(MemoryTest, Bcd4ReadsNibblesUncheckedAndWritesOnlyValidValues) {
    plc.writeWord(kAreaR, 0, 0x1234);
    EXPECT_EQ(plc.readBcd4(kAreaR, 0), 1234);
    plc.writeWord(kAreaR, 0, 0x00FF);
    EXPECT_EQ(plc.readBcd4(kAreaR, 0), 165);
    plc.writeBcd4(kAreaR, 2, 950);
    EXPECT_EQ(plc.readWord(kAreaR, 2), 0x0950);
    plc.writeBcd4(kAreaR, 2, 10000);
    plc.writeBcd4(kAreaR, 2, -1);
    EXPECT_EQ(plc.readWord(kAreaR, 2), 0x0950);
    EXPECT_TRUE(isBcd4Digits(0x9999));
    EXPECT_FALSE(isBcd4Digits(0x12A4));
}

TEST_F(MemoryTest, InputWordAndAnalogueValuesMapToTheFirstReferences) {
    plc.setInputWord(0x0001);
    EXPECT_EQ(plc.readBit(kAreaI, 0, 0), 1);
    for (int i = 1; i < 16; ++i) {
        EXPECT_EQ(plc.readBit(kAreaI, i / 8, i % 8), 0) << i;
    }
    plc.setInputWord(0x8000);
    EXPECT_EQ(plc.readBit(kAreaI, 1, 7), 1);
    plc.setAnalogInputs(-25536, 300);
    EXPECT_EQ(plc.readInt(kAreaAI, 0), -25536);
    EXPECT_EQ(plc.readInt(kAreaAI, 2), 300);
    plc.writeWord(kAreaQ, 0, 0xA55A);
    EXPECT_EQ(plc.outputWord(), 0xA55A);
    plc.writeInt(kAreaAQ, 0, -5);
    plc.writeInt(kAreaAQ, 2, 32767);
    EXPECT_EQ(plc.analogOutput1(), -5);
    EXPECT_EQ(plc.analogOutput2(), 32767);
}

TEST_F(MemoryTest, PowerDownRestoresRetentiveValuesAndClearsTemporaries) {
    plc.writeBitRetentive(kAreaM, 0, 0, 1);  // %M1 through a retentive coil
    plc.writeBit(kAreaM, 0, 1, 1);           // %M2 through a normal coil
    plc.writeInt(kAreaQ, 2, 1234);           // a single-value write reaches the copy
    plc.writeBitRetentive(kAreaG, 0, 0, 1);  // %G has no copy
    plc.writeByte(kAreaT, 31, 0xFF);
    plc.workBuffer()[0] = 0xBEEF;
    ASSERT_TRUE(plc.copyWordsIn(kAreaQ, 4, 1));  // multi-word writes do not
    plc.powerDown();
    EXPECT_EQ(plc.readBit(kAreaM, 0, 0), 1);
    EXPECT_EQ(plc.readBit(kAreaM, 0, 1), 0);
    EXPECT_EQ(plc.readInt(kAreaQ, 2), 1234);
    EXPECT_EQ(plc.readWord(kAreaQ, 4), 0);
    EXPECT_EQ(plc.readBit(kAreaG, 0, 0), 1);
    for (std::uint8_t byte : plc.area(static_cast<int>(AreaKind::T))) {
        EXPECT_EQ(byte, 0);
    }
}

TEST_F(MemoryTest, AllocateZeroesEverythingIncludingTheRetentiveCopies) {
    plc.writeBitRetentive(kAreaM, 3, 3, 1);
    plc.writeDint(kAreaR, 100, 7);
    ASSERT_TRUE(plc.allocate());
    plc.powerDown();
    for (int kind = 0; kind < kAreaKindCount; ++kind) {
        for (std::uint8_t byte : plc.area(kind)) {
            ASSERT_EQ(byte, 0) << kind;
        }
    }
}

TEST_F(MemoryTest, DamagedTableSizesAreRefusedByAllocate) {
    plc.setProgram(Program({kEnd}, -1, 0));
    EXPECT_FALSE(plc.allocate());
    plc.setProgram(Program({kEnd}, 0, 1'000'000'000));
    EXPECT_FALSE(plc.allocate());
    plc.setProgram(Program({kLoad, kAreaI, 0, 0, kEnd}, 2, 3));
    ASSERT_TRUE(plc.allocate());
    EXPECT_EQ(plc.edgeTable().size(), 3u);
    EXPECT_EQ(plc.timerTable().size(), 4u);
    // A one-word program may still come with the fixed 64-entry tables of a hand-written one.
    plc.setProgram(Program({kEnd}, 64, 64));
    EXPECT_TRUE(plc.allocate());
    plc.setProgram(Program({kEnd}, 65, 0));
    EXPECT_FALSE(plc.allocate());
}

struct OutOfRangeCase {
    ProgramWord area;
    ProgramWord byteOffset;
    ProgramWord bit;
};

class OutOfRangeTest : public ::testing::TestWithParam<OutOfRangeCase> {};

TEST_P(OutOfRangeTest, ReadsGiveZeroAndWritesChangeNoArea) {
    const auto [area, byteOffset, bit] = GetParam();
    FakeClock clock;
    Plc plc(clock);
    ASSERT_TRUE(plc.allocate());
    for (int kind = 0; kind < kAreaKindCount; ++kind) {
        const ProgramWord code = areaCodeOf(static_cast<AreaKind>(kind));
        for (ProgramWord b = 0; b < static_cast<ProgramWord>(plc.areaBytes(kind)); ++b) {
            plc.writeByte(code, b, 0xFF);
        }
    }
    EXPECT_EQ(plc.readBit(area, byteOffset, bit), 0);
    EXPECT_EQ(plc.readDint(area, byteOffset), 0);
    plc.writeBit(area, byteOffset, bit, 0);
    plc.writeBitRetentive(area, byteOffset, bit, 0);
    plc.writeDint(area, byteOffset, 0);
    plc.writeBcd4(area, byteOffset, 0);
    plc.workBuffer()[0] = 0;
    EXPECT_FALSE(plc.copyWordsIn(area, byteOffset, 2));
    EXPECT_FALSE(plc.copyWordsOut(area, byteOffset, 2));
    for (int kind = 0; kind < kAreaKindCount; ++kind) {
        for (std::uint8_t byte : plc.area(kind)) {
            ASSERT_EQ(byte, 0xFF) << kind;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, OutOfRangeTest,
    ::testing::Values(OutOfRangeCase{kAreaR, 1024, 0}, OutOfRangeCase{kAreaR, 1023, 8},
                      OutOfRangeCase{kAreaS, 16, 0}, OutOfRangeCase{kAreaQ, -1, 0},
                      OutOfRangeCase{kAreaQ, std::numeric_limits<ProgramWord>::max(), 0},
                      OutOfRangeCase{kAreaM, 127, -1}, OutOfRangeCase{0, 0, 0},
                      OutOfRangeCase{-19, 0, 0}, OutOfRangeCase{-9, 0, 0},
                      OutOfRangeCase{std::numeric_limits<ProgramWord>::min(), 0, 0}));

TEST_F(MemoryTest, MultiByteValuesThatStraddleTheEndOfAnAreaAreRefusedWhole) {
    plc.writeByte(kAreaAQ, 63, 0x11);
    plc.writeWord(kAreaAQ, 63, 0xFFFF);
    plc.writeDint(kAreaAQ, 62, -1);
    EXPECT_EQ(plc.readByte(kAreaAQ, 63), 0x11);
    EXPECT_EQ(plc.readWord(kAreaAQ, 63), 0);
    EXPECT_EQ(plc.readDint(kAreaAQ, 61), 0);
    EXPECT_FALSE(plc.copyWordsOut(kAreaR, 1000, 13));
    EXPECT_TRUE(plc.copyWordsOut(kAreaR, 1000, 12));
    EXPECT_FALSE(plc.copyWordsOut(kAreaR, 0, 257));
    EXPECT_FALSE(plc.copyWordsOut(kAreaR, 0, 0));
}

TEST_F(MemoryTest, WatchReadsFollowTheType) {
    plc.writeWord(kAreaR, 0, 0xFFFE);
    plc.writeWord(kAreaR, 2, 0x0001);
    EXPECT_EQ(plc.readValue(AreaKind::R, 0, 0, DataType::Word), 0xFFFE);
    EXPECT_EQ(plc.readValue(AreaKind::R, 0, 0, DataType::Int), -2);
    EXPECT_EQ(plc.readValue(AreaKind::R, 0, 0, DataType::Dint), 0x1FFFE);
    EXPECT_EQ(plc.readValue(AreaKind::R, 0, 0, DataType::Byte), 0xFE);
    EXPECT_EQ(plc.readValue(AreaKind::R, 0, 1, DataType::Bit), 1);
    EXPECT_EQ(plc.readValue(AreaKind::R, 0, 0, DataType::Bit), 0);
    EXPECT_FALSE(plc.readValue(AreaKind::R, 1022, 0, DataType::Dint).has_value());
    EXPECT_TRUE(plc.readValue(AreaKind::R, 1022, 0, DataType::Int).has_value());
    EXPECT_FALSE(plc.readValue(AreaKind::I, 0, 8, DataType::Bit).has_value());
    EXPECT_FALSE(plc.readValue(AreaKind::I, -1, 0, DataType::Byte).has_value());
}

// --- System bits ----------------------------------------------------------------------------

int systemBit(const Plc& plc, int n) {
    return (plc.area(static_cast<int>(AreaKind::S))[0] >> (n - 1)) & 1;
}

TEST(SystemBitsTest, FirstUpdateFlagSetsOnceForTheLifeOfTheController) {
    FakeClock clock(100);
    Plc plc(clock);
    ASSERT_TRUE(plc.allocate());
    plc.updateSystemBits(false);
    EXPECT_EQ(systemBit(plc, 1), 1);
    plc.updateSystemBits(false);
    EXPECT_EQ(systemBit(plc, 1), 0);
    ASSERT_TRUE(plc.allocate());  // a new simulation start
    plc.updateSystemBits(false);
    EXPECT_EQ(systemBit(plc, 1), 0);
}

TEST(SystemBitsTest, LastScanClearsS2AndConstantsHold) {
    FakeClock clock(100);
    Plc plc(clock);
    ASSERT_TRUE(plc.allocate());
    plc.writeByte(kAreaS, 0, 0x80);
    plc.updateSystemBits(false);
    EXPECT_EQ(systemBit(plc, 2), 1);
    EXPECT_EQ(systemBit(plc, 7), 1);
    EXPECT_EQ(systemBit(plc, 8), 0);
    plc.updateSystemBits(true);
    EXPECT_EQ(systemBit(plc, 2), 0);
}

TEST(SystemBitsTest, ClockBitsToggleByTheirPeriodsAcrossTheClockWrap) {
    // Start close to the 32-bit wrap of the millisecond counter.
    FakeClock clock(0xFFFFFF00u);
    Plc plc(clock);
    ASSERT_TRUE(plc.allocate());
    plc.updateSystemBits(false);
    std::array<int, 4> toggles{};
    std::array<int, 4> last{systemBit(plc, 3), systemBit(plc, 4), systemBit(plc, 5),
                            systemBit(plc, 6)};
    for (int tick = 0; tick < 3000; ++tick) {  // 60 s of 20 ms ticks
        clock.advance(20);
        plc.updateSystemBits(false);
        for (int i = 0; i < 4; ++i) {
            const int now = systemBit(plc, 3 + i);
            toggles[static_cast<std::size_t>(i)] += now != last[static_cast<std::size_t>(i)];
            last[static_cast<std::size_t>(i)] = now;
        }
    }
    EXPECT_EQ(toggles[0], 3000);  // every tick
    EXPECT_EQ(toggles[1], 1000);  // every 60 ms: the first tick at or past 50 ms
    EXPECT_EQ(toggles[2], 120);   // every 500 ms
    EXPECT_EQ(toggles[3], 2);     // more than 29999 ms: at 30 s and at 60 s
}

// Each clock bit at the edge of its period: the gap since its last toggle that is just too
// short, and the one that toggles it.
struct ClockEdge {
    int reference;
    std::uint32_t quiet;
    std::uint32_t toggles;
};

class ClockEdgeTest : public ::testing::TestWithParam<ClockEdge> {};

TEST_P(ClockEdgeTest, TogglesFirstAtTheEdgeOfItsPeriod) {
    const ClockEdge c = GetParam();
    FakeClock clock(7000);
    Plc plc(clock);
    ASSERT_TRUE(plc.allocate());
    plc.updateSystemBits(false);  // the first update sets every stamp to now
    const int start = systemBit(plc, c.reference);
    clock.set(7000 + c.quiet);
    plc.updateSystemBits(false);
    EXPECT_EQ(systemBit(plc, c.reference), start) << "after " << c.quiet << " ms";
    // A bit that did not toggle keeps its stamp: the gap still counts from the first update.
    clock.set(7000 + c.toggles);
    plc.updateSystemBits(false);
    EXPECT_NE(systemBit(plc, c.reference), start) << "after " << c.toggles << " ms";
}

INSTANTIATE_TEST_SUITE_P(Periods, ClockEdgeTest,
                         ::testing::Values(ClockEdge{3, 4, 5}, ClockEdge{4, 49, 50},
                                           ClockEdge{5, 499, 500}, ClockEdge{6, 29999, 30000}));

}  // namespace
}  // namespace plc::test
