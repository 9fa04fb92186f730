// The Modbus data model over the controller's memory and the panel's inputs.
#include "iolink/modbus_map.h"

#include <algorithm>
#include <modbus/modbus.h>

namespace iolink {

namespace {

enum class Target { Memory, PanelBoxes, PanelBars };

// A run of consecutive addresses of one table, standing for consecutive references of one
// area (or the panel's inputs) from the first on.
struct Block {
    std::uint16_t first;
    std::uint16_t count;
    Target target;
    plc::AreaKind kind;
};

using plc::AreaKind;
constexpr Block kCoils[] = {{0, 512, Target::Memory, AreaKind::Q},
                            {1000, 1024, Target::Memory, AreaKind::M},
                            {3000, 16, Target::PanelBoxes, AreaKind::I}};
constexpr Block kDiscreteInputs[] = {{0, 512, Target::Memory, AreaKind::I}};
constexpr Block kHoldingRegisters[] = {{0, 512, Target::Memory, AreaKind::R},
                                       {1000, 32, Target::Memory, AreaKind::AQ},
                                       {3000, 2, Target::PanelBars, AreaKind::AI}};
constexpr Block kInputRegisters[] = {{0, 64, Target::Memory, AreaKind::AI}};

// The block that holds all of `count` addresses from `address`, if one does.
const Block* find(std::span<const Block> blocks, unsigned address, unsigned count) {
    for (const Block& block : blocks) {
        if (address >= block.first && address + count <= block.first + block.count) {
            return &block;
        }
    }
    return nullptr;
}

std::uint16_t word(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

void putWord(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

// Reads and writes one address of a block, `index` counted from the block's first address.
class Access {
public:
    Access(plc::Plc& plc, PanelInputs& panel) : m_plc(plc), m_panel(panel) {}

    bool bit(const Block& block, unsigned index) const {
        switch (block.target) {
            case Target::Memory:
                return m_plc.readBit(plc::areaCodeOf(block.kind), static_cast<int>(index / 8),
                                     static_cast<int>(index % 8)) != 0;
            case Target::PanelBoxes:
                return (static_cast<unsigned>(m_panel.discrete) >> index & 1u) != 0;
            case Target::PanelBars: break;
        }
        return false;
    }

    void setBit(const Block& block, unsigned index, bool value) {
        switch (block.target) {
            case Target::Memory:
                m_plc.writeBit(plc::areaCodeOf(block.kind), static_cast<int>(index / 8),
                               static_cast<int>(index % 8), value ? 1 : 0);
                return;
            case Target::PanelBoxes: {
                const auto mask = static_cast<std::uint16_t>(1u << index);
                m_panel.discrete = static_cast<std::uint16_t>(value ? (m_panel.discrete | mask)
                                                                    : (m_panel.discrete & ~mask));
                return;
            }
            case Target::PanelBars: return;
        }
    }

    std::uint16_t reg(const Block& block, unsigned index) const {
        switch (block.target) {
            case Target::Memory:
                return m_plc.readWord(plc::areaCodeOf(block.kind), static_cast<int>(2 * index));
            case Target::PanelBars: return static_cast<std::uint16_t>(m_panel.analog[index]);
            case Target::PanelBoxes: break;
        }
        return 0;
    }

    void setReg(const Block& block, unsigned index, std::uint16_t value) {
        switch (block.target) {
            case Target::Memory:
                m_plc.writeWord(plc::areaCodeOf(block.kind), static_cast<int>(2 * index), value);
                return;
            case Target::PanelBars:
                m_panel.analog[index] = static_cast<std::int16_t>(value);
                return;
            case Target::PanelBoxes: return;
        }
    }

private:
    plc::Plc& m_plc;
    PanelInputs& m_panel;
};

std::size_t exception(std::uint8_t function, ModbusException code,
                      std::span<std::uint8_t> response) {
    response[0] = static_cast<std::uint8_t>(function | 0x80);
    response[1] = static_cast<std::uint8_t>(code);
    return 2;
}

std::size_t echo(std::span<const std::uint8_t> request, std::span<std::uint8_t> response,
                 std::size_t length) {
    std::copy_n(request.begin(), length, response.begin());
    return length;
}

}  // namespace

std::size_t ModbusMap::answer(std::span<const std::uint8_t> request,
                              std::span<std::uint8_t, kModbusMaxPdu> response) {
    if (request.empty()) {
        return 0;
    }
    Access access(m_plc, m_panel);
    const std::uint8_t function = request[0];
    const std::size_t size = request.size();
    // The order of the checks is the protocol's: function, quantity, address.
    switch (function) {
        case MODBUS_FC_READ_COILS:
        case MODBUS_FC_READ_DISCRETE_INPUTS: {
            if (size != 5) {
                return 0;
            }
            const unsigned address = word(request, 1);
            const unsigned count = word(request, 3);
            if (count < 1 || count > MODBUS_MAX_READ_BITS) {
                return exception(function, ModbusException::IllegalDataValue, response);
            }
            const Block* block = function == MODBUS_FC_READ_COILS
                                     ? find(kCoils, address, count)
                                     : find(kDiscreteInputs, address, count);
            if (block == nullptr) {
                return exception(function, ModbusException::IllegalDataAddress, response);
            }
            const unsigned bytes = (count + 7) / 8;
            response[0] = function;
            response[1] = static_cast<std::uint8_t>(bytes);
            std::fill_n(response.begin() + 2, bytes, std::uint8_t{0});
            for (unsigned i = 0; i < count; ++i) {
                if (access.bit(*block, address - block->first + i)) {
                    response[2 + i / 8] =
                        static_cast<std::uint8_t>(response[2 + i / 8] | 1u << (i % 8));
                }
            }
            return 2 + bytes;
        }
        case MODBUS_FC_READ_HOLDING_REGISTERS:
        case MODBUS_FC_READ_INPUT_REGISTERS: {
            if (size != 5) {
                return 0;
            }
            const unsigned address = word(request, 1);
            const unsigned count = word(request, 3);
            if (count < 1 || count > MODBUS_MAX_READ_REGISTERS) {
                return exception(function, ModbusException::IllegalDataValue, response);
            }
            const Block* block = function == MODBUS_FC_READ_HOLDING_REGISTERS
                                     ? find(kHoldingRegisters, address, count)
                                     : find(kInputRegisters, address, count);
            if (block == nullptr) {
                return exception(function, ModbusException::IllegalDataAddress, response);
            }
            response[0] = function;
            response[1] = static_cast<std::uint8_t>(2 * count);
            for (unsigned i = 0; i < count; ++i) {
                putWord(response, 2 + 2 * i, access.reg(*block, address - block->first + i));
            }
            return 2 + 2 * count;
        }
        case MODBUS_FC_WRITE_SINGLE_COIL: {
            if (size != 5) {
                return 0;
            }
            const unsigned address = word(request, 1);
            const std::uint16_t value = word(request, 3);
            if (value != 0x0000 && value != 0xFF00) {
                return exception(function, ModbusException::IllegalDataValue, response);
            }
            const Block* block = find(kCoils, address, 1);
            if (block == nullptr) {
                return exception(function, ModbusException::IllegalDataAddress, response);
            }
            access.setBit(*block, address - block->first, value != 0);
            return echo(request, response, 5);
        }
        case MODBUS_FC_WRITE_SINGLE_REGISTER: {
            if (size != 5) {
                return 0;
            }
            const unsigned address = word(request, 1);
            const Block* block = find(kHoldingRegisters, address, 1);
            if (block == nullptr) {
                return exception(function, ModbusException::IllegalDataAddress, response);
            }
            access.setReg(*block, address - block->first, word(request, 3));
            return echo(request, response, 5);
        }
        case MODBUS_FC_WRITE_MULTIPLE_COILS: {
            if (size < 6 || size != 6u + request[5]) {
                return 0;
            }
            const unsigned address = word(request, 1);
            const unsigned count = word(request, 3);
            if (count < 1 || count > MODBUS_MAX_WRITE_BITS || request[5] != (count + 7) / 8) {
                return exception(function, ModbusException::IllegalDataValue, response);
            }
            const Block* block = find(kCoils, address, count);
            if (block == nullptr) {
                return exception(function, ModbusException::IllegalDataAddress, response);
            }
            for (unsigned i = 0; i < count; ++i) {
                access.setBit(*block, address - block->first + i,
                              (static_cast<unsigned>(request[6 + i / 8]) >> (i % 8) & 1u) != 0);
            }
            return echo(request, response, 5);
        }
        case MODBUS_FC_WRITE_MULTIPLE_REGISTERS: {
            if (size < 6 || size != 6u + request[5]) {
                return 0;
            }
            const unsigned address = word(request, 1);
            const unsigned count = word(request, 3);
            if (count < 1 || count > MODBUS_MAX_WRITE_REGISTERS || request[5] != 2 * count) {
                return exception(function, ModbusException::IllegalDataValue, response);
            }
            const Block* block = find(kHoldingRegisters, address, count);
            if (block == nullptr) {
                return exception(function, ModbusException::IllegalDataAddress, response);
            }
            for (unsigned i = 0; i < count; ++i) {
                access.setReg(*block, address - block->first + i, word(request, 6 + 2 * i));
            }
            return echo(request, response, 5);
        }
        case MODBUS_FC_MASK_WRITE_REGISTER: {
            if (size != 7) {
                return 0;
            }
            const unsigned address = word(request, 1);
            const Block* block = find(kHoldingRegisters, address, 1);
            if (block == nullptr) {
                return exception(function, ModbusException::IllegalDataAddress, response);
            }
            const unsigned index = address - block->first;
            const std::uint16_t andMask = word(request, 3);
            const std::uint16_t orMask = word(request, 5);
            access.setReg(*block, index,
                          static_cast<std::uint16_t>((access.reg(*block, index) & andMask) |
                                                     (orMask & ~andMask)));
            return echo(request, response, 7);
        }
        case MODBUS_FC_WRITE_AND_READ_REGISTERS: {
            if (size < 10 || size != 10u + request[9]) {
                return 0;
            }
            const unsigned readAddress = word(request, 1);
            const unsigned readCount = word(request, 3);
            const unsigned writeAddress = word(request, 5);
            const unsigned writeCount = word(request, 7);
            if (readCount < 1 || readCount > MODBUS_MAX_WR_READ_REGISTERS || writeCount < 1 ||
                writeCount > MODBUS_MAX_WR_WRITE_REGISTERS || request[9] != 2 * writeCount) {
                return exception(function, ModbusException::IllegalDataValue, response);
            }
            const Block* readBlock = find(kHoldingRegisters, readAddress, readCount);
            const Block* writeBlock = find(kHoldingRegisters, writeAddress, writeCount);
            if (readBlock == nullptr || writeBlock == nullptr) {
                return exception(function, ModbusException::IllegalDataAddress, response);
            }
            // The write comes first, so the read sees it.
            for (unsigned i = 0; i < writeCount; ++i) {
                access.setReg(*writeBlock, writeAddress - writeBlock->first + i,
                              word(request, 10 + 2 * i));
            }
            response[0] = function;
            response[1] = static_cast<std::uint8_t>(2 * readCount);
            for (unsigned i = 0; i < readCount; ++i) {
                putWord(response, 2 + 2 * i,
                        access.reg(*readBlock, readAddress - readBlock->first + i));
            }
            return 2 + 2 * readCount;
        }
        default: return exception(function, ModbusException::IllegalFunction, response);
    }
}

}  // namespace iolink
