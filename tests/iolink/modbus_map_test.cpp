// The Modbus data model without sockets: the edges of every block, bit and word order, the
// protocol's quantity limits, exceptions, malformed requests, and the two combined functions.
#include "iolink/modbus_map.h"

#include "tests/plc/program_builder.h"

#include <gtest/gtest.h>

#include <vector>

namespace iolink {
namespace {

using namespace plc::test;
using Bytes = std::vector<std::uint8_t>;

class ModbusMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.run(Builder().end());
        // %Q0001..%Q0010 = 1010000001 read from %Q0010 down; the last bit of each block set.
        for (int n : {1, 8, 10, 512}) {
            rig.setBit(Q(n), 1);
        }
        rig.setBit(M(1024), 1);
        rig.setBit(I(512), 1);
        rig.setWord(R(1), 0x1234);
        rig.setWord(R(2), 0xBEEF);
        rig.setWord(R(512), 0x0512);
        rig.setWord(AQ(32), 0x0032);
        rig.setWord(AI(64), 0x0064);
        panel.discrete = 0x8000;
        panel.analog = {-2, 7};
    }

    // The response, or an empty one for a request the map calls malformed.
    Bytes answer(const Bytes& request) {
        std::array<std::uint8_t, kModbusMaxPdu> response{};
        ModbusMap map(rig.plc, panel);
        const std::size_t size = map.answer(request, response);
        return Bytes(response.begin(), response.begin() + static_cast<std::ptrdiff_t>(size));
    }

    Rig rig;
    PanelInputs panel;
};

struct Exchange {
    const char* name;
    Bytes request;
    Bytes response;  // empty: malformed
};

class ModbusMapExchangeTest : public ModbusMapTest,
                              public ::testing::WithParamInterface<Exchange> {};

TEST_P(ModbusMapExchangeTest, AnswersAsTheProtocolAndTheMapSay) {
    EXPECT_EQ(answer(GetParam().request), GetParam().response);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ModbusMapExchangeTest,
    ::testing::Values(
        // Bits packed from the lowest address up, the first in bit 0; words high byte first.
        Exchange{"CoilsPackLowestFirst", {1, 0, 0, 0, 10}, {1, 2, 0x81, 0x02}},
        Exchange{"RegistersHighByteFirst", {3, 0, 0, 0, 2}, {3, 4, 0x12, 0x34, 0xBE, 0xEF}},
        // The last address of each block is in, the one after it out.
        Exchange{"LastQCoil", {1, 0x01, 0xFF, 0, 1}, {1, 1, 1}},
        Exchange{"CoilRangeAcrossTheGap", {1, 0x01, 0xFF, 0, 2}, {0x81, 2}},
        Exchange{"LastMCoil", {1, 0x07, 0xE7, 0, 1}, {1, 1, 1}},
        Exchange{"CoilAfterM", {1, 0x07, 0xE8, 0, 1}, {0x81, 2}},
        Exchange{"LastPanelBox", {1, 0x0B, 0xC7, 0, 1}, {1, 1, 1}},
        Exchange{"CoilAfterPanelBoxes", {1, 0x0B, 0xC8, 0, 1}, {0x81, 2}},
        Exchange{"CoilInTheGap", {5, 0x02, 0x00, 0xFF, 0x00}, {0x85, 2}},
        Exchange{"LastDiscreteInput", {2, 0x01, 0xFF, 0, 1}, {2, 1, 1}},
        Exchange{"DiscreteInputAfterI", {2, 0x02, 0x00, 0, 1}, {0x82, 2}},
        Exchange{"LastRRegister", {3, 0x01, 0xFF, 0, 1}, {3, 2, 0x05, 0x12}},
        Exchange{"LastAqRegister", {3, 0x04, 0x07, 0, 1}, {3, 2, 0x00, 0x32}},
        Exchange{"RegisterAfterAq", {6, 0x04, 0x08, 0, 1}, {0x86, 2}},
        Exchange{"PanelBarsAsTwosComplement", {3, 0x0B, 0xB8, 0, 2}, {3, 4, 0xFF, 0xFE, 0, 7}},
        Exchange{"RegisterAfterPanelBars", {16, 0x0B, 0xBA, 0, 1, 2, 0, 0}, {0x90, 2}},
        Exchange{"LastInputRegister", {4, 0x00, 0x3F, 0, 1}, {4, 2, 0x00, 0x64}},
        Exchange{"InputRegisterAfterAi", {4, 0x00, 0x40, 0, 1}, {0x84, 2}},
        // Quantity is checked before address, as the protocol orders it.
        Exchange{"NoCoils", {1, 0, 0, 0, 0}, {0x81, 3}},
        Exchange{"TooManyCoilsOutsideTheMap", {1, 0x20, 0, 0x07, 0xD1}, {0x81, 3}},
        Exchange{"TooManyRegisters", {3, 0, 0, 0, 126}, {0x83, 3}},
        Exchange{"CoilValueNeitherOnNorOff", {5, 0, 0, 0x12, 0x34}, {0x85, 3}},
        Exchange{"ByteCountDisagreesWithQuantity", {15, 0, 0, 0, 9, 1, 0xFF}, {0x8F, 3}},
        // Functions the server does not serve.
        Exchange{"ReadExceptionStatus", {7}, {0x87, 1}},
        Exchange{"ReportServerId", {0x11}, {0x91, 1}},
        Exchange{"EncapsulatedInterface", {0x2B, 0x0E, 1, 0}, {0xAB, 1}},
        // A request whose length its own function contradicts cannot be answered at all.
        Exchange{"ReadWithSurplusByte", {1, 0, 0, 0, 1, 0}, {}},
        Exchange{"ReadCutShort", {3, 0, 0, 0}, {}},
        Exchange{"WriteLongerThanItsByteCount", {16, 0, 0, 0, 1, 2, 0, 0, 0}, {}},
        Exchange{"WriteShorterThanItsByteCount", {15, 0, 0, 0, 16, 2, 0xFF}, {}},
        Exchange{"Empty", {}, {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(ModbusMapTest, WritesReachMemoryAndPanelAndEchoTheRequest) {
    // Coils %Q0002..%Q0004 = 1, 0, 1 over %Q0001's 1; %M0001; the panel's %I0003 box.
    EXPECT_EQ(answer({15, 0, 1, 0, 3, 1, 0b101}), (Bytes{15, 0, 1, 0, 3}));
    EXPECT_EQ(rig.bit(Q(1)), 1);
    EXPECT_EQ(rig.bit(Q(2)), 1);
    EXPECT_EQ(rig.bit(Q(3)), 0);
    EXPECT_EQ(rig.bit(Q(4)), 1);
    EXPECT_EQ(answer({5, 0x03, 0xE8, 0xFF, 0}), (Bytes{5, 0x03, 0xE8, 0xFF, 0}));
    EXPECT_EQ(rig.bit(M(1)), 1);
    EXPECT_EQ(answer({5, 0x0B, 0xBA, 0xFF, 0}), (Bytes{5, 0x0B, 0xBA, 0xFF, 0}));
    EXPECT_EQ(panel.discrete, 0x8004);
    // Registers: %AQ0001 = -1, the second track bar = -32768; writes never reach the copies
    // that survive a stop.
    EXPECT_EQ(answer({16, 0x03, 0xE8, 0, 1, 2, 0xFF, 0xFF}), (Bytes{16, 0x03, 0xE8, 0, 1}));
    EXPECT_EQ(rig.intAt(AQ(1)), -1);
    EXPECT_EQ(answer({6, 0x0B, 0xB9, 0x80, 0}), (Bytes{6, 0x0B, 0xB9, 0x80, 0}));
    EXPECT_EQ(panel.analog[1], -32768);
    rig.cycle.nextMode();  // RUN -> STOP I/O SCAN: last scan, power-down
    EXPECT_EQ(rig.bit(Q(2)), 0);
    EXPECT_EQ(rig.bit(M(1)), 0);
}

TEST_F(ModbusMapTest, MaskWriteAndWriteThenReadCombineInOneRequest) {
    // (0x1234 AND 0xF0F0) OR (0x0505 AND NOT 0xF0F0) = 0x1535.
    EXPECT_EQ(answer({0x16, 0, 0, 0xF0, 0xF0, 0x05, 0x05}),
              (Bytes{0x16, 0, 0, 0xF0, 0xF0, 0x05, 0x05}));
    EXPECT_EQ(rig.wordAt(R(1)), 0x1535);
    // Write %R0002..%R0003, then read %R0001..%R0003: the read sees the write.
    EXPECT_EQ(answer({0x17, 0, 0, 0, 3, 0, 1, 0, 2, 4, 0xAA, 0xAA, 0x55, 0x55}),
              (Bytes{0x17, 6, 0x15, 0x35, 0xAA, 0xAA, 0x55, 0x55}));
    // A read range outside the map refuses the whole request: nothing is written.
    EXPECT_EQ(answer({0x17, 0x02, 0, 0, 1, 0, 1, 0, 1, 2, 0, 0}), (Bytes{0x97, 2}));
    EXPECT_EQ(rig.wordAt(R(2)), 0xAAAA);
}

}  // namespace
}  // namespace iolink
