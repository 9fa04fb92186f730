// The controller's memory image: lifecycle, checked access, system bits and power-down.
#include "plc/plc.h"

#include "plc/memory_layout.h"
#include "plc/power_trace.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace plc {
namespace {

constexpr std::uint32_t kSlotQ = static_cast<std::uint32_t>(kAreaI - kAreaQ);
constexpr std::uint32_t kSlotM = static_cast<std::uint32_t>(kAreaI - kAreaM);

std::uint16_t loadWord(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void saveWord(std::uint8_t* p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value & 0xFF);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

// Four decimal digits, one a nibble, thousands highest; `value` must be 0..9999.
std::uint16_t bcd4Pattern(std::int32_t value) {
    return static_cast<std::uint16_t>((value / 1000) << 12 | (value / 100 % 10) << 8 |
                                      (value / 10 % 10) << 4 | (value % 10));
}

std::int32_t bcd4Value(std::uint16_t pattern) {
    return ((pattern >> 12) & 0xF) * 1000 + ((pattern >> 8) & 0xF) * 100 +
           ((pattern >> 4) & 0xF) * 10 + (pattern & 0xF);
}

}  // namespace

ProgramWord areaCodeOf(AreaKind kind) {
    return areaOf(kind).code;
}

std::optional<AreaKind> areaKindOf(ProgramWord areaCode) {
    const std::uint32_t slot = slotOf(areaCode);
    if (slot == kInvalidSlot) {
        return std::nullopt;
    }
    return static_cast<AreaKind>(kSlotKind[slot]);
}

bool isWordArea(AreaKind kind) {
    return areaOf(kind).wordArea;
}

std::size_t areaSize(AreaKind kind) {
    return areaOf(kind).bytes;
}

bool isBcd4Digits(std::uint16_t pattern) {
    for (int shift = 12; shift >= 0; shift -= 4) {
        if (((pattern >> shift) & 0xF) > 9) {
            return false;
        }
    }
    return true;
}

Plc::Plc(Clock& clock) : m_clock(clock) {
    setProgram(Program{});
}

void Plc::setProgram(Program program) {
    m_program = std::move(program);
    m_pc = 0;
    m_programLost = false;
    try {
        const auto words = m_program.words();
        m_words.assign(words.begin(), words.end());
        m_words.insert(m_words.end(), kProgramPadding, kEnd);
        indexLabels();
    } catch (const std::bad_alloc&) {
        // Without its working copy the program cannot run; the next allocate says so.
        m_program.clear();
        m_labels.clear();
        m_words.assign(kProgramPadding, kEnd);
        m_programLost = true;
    }
    sizeTrace();
}

void Plc::setMonitoring(bool on) {
    m_monitoring = on;
    sizeTrace();
}

void Plc::sizeTrace() {
    m_traceEpoch = 0;
    if (!m_monitoring) {
        m_trace = {};
        return;
    }
    try {
        m_trace.assign(m_words.size(), 0);
    } catch (const std::bad_alloc&) {
        m_trace = {};  // the program runs unmonitored rather than not at all
    }
}

void Plc::nextTraceEpoch() {
    if (++m_traceEpoch > kLastTraceEpoch) {
        m_traceEpoch = 1;
        std::fill(m_trace.begin(), m_trace.end(), std::uint8_t{0});
    }
}

std::uint8_t Plc::traceAt(std::size_t word) const {
    if (!hasTrace() || word >= m_trace.size()) {
        return 0;
    }
    const std::uint8_t byte = m_trace[word];
    if (byte >> kTraceEpochShift != m_traceEpoch) {
        return 0;
    }
    return static_cast<std::uint8_t>(
        TraceBit::Ran | (byte & (TraceBit::Operand | TraceBit::Flow | TraceBit::ZoneOff)));
}

bool Plc::allocate() {
    m_allocated = false;
    m_memory.fill(0);
    m_retentiveM.fill(0);
    m_retentiveQ.fill(0);
    m_work.fill(0);
    m_pc = 0;
    m_accumulator = 0;
    m_mcr = 0;
    m_stack.fill(0);
    m_stackTop = 0;
    m_stackCount = 0;
    m_wordsRun = 0;
    m_watchdogFault = false;
    std::fill(m_trace.begin(), m_trace.end(), std::uint8_t{0});
    m_traceEpoch = 0;
    m_edges.clear();
    m_timerStarts.clear();
    // A table larger than the program could ever need is a damaged hand-over, not a program;
    // small fixed-size tables are always fine.
    const auto limit = std::max(static_cast<std::int64_t>(m_program.size()), kMinTableLimit);
    const std::int64_t edges = m_program.edgeCount();
    const std::int64_t timers = m_program.timerCount();
    if (m_programLost || edges < 0 || timers < 0 || edges > limit || timers > limit) {
        return false;
    }
    try {
        m_edges.assign(static_cast<std::size_t>(edges) + 1, 0);
        m_timerStarts.assign(static_cast<std::size_t>(timers) + 1, 0);
    } catch (const std::bad_alloc&) {
        m_edges.clear();
        m_timerStarts.clear();
        return false;
    }
    m_allocated = true;
    return true;
}

void Plc::release() {
    m_allocated = false;
    m_edges = {};
    m_timerStarts = {};
    setProgram(Program{});
}

void Plc::powerDown() {
    std::fill_n(m_memory.begin() + kKindBase[static_cast<int>(AreaKind::T)],
                kKindSize[static_cast<int>(AreaKind::T)], std::uint8_t{0});
    std::copy(m_retentiveM.begin(), m_retentiveM.end(),
              m_memory.begin() + kKindBase[static_cast<int>(AreaKind::M)]);
    std::copy(m_retentiveQ.begin(), m_retentiveQ.end(),
              m_memory.begin() + kKindBase[static_cast<int>(AreaKind::Q)]);
}

void Plc::updateSystemBits(bool lastScan) {
    std::uint8_t& bits = m_memory[kKindBase[static_cast<int>(AreaKind::S)]];
    auto set = [&bits](int bit, bool on) {
        bits = static_cast<std::uint8_t>(on ? (bits | (1u << bit)) : (bits & ~(1u << bit)));
    };
    if (!m_firstUpdateDone) {
        m_firstUpdateDone = true;
        set(0, true);
        m_clockStamps.fill(m_clock.now());
    } else {
        set(0, false);
    }
    set(1, !lastScan);
    const std::uint32_t now = m_clock.now();
    auto toggle = [&](int bit, std::size_t stamp, bool due) {
        if (due) {
            bits = static_cast<std::uint8_t>(bits ^ (1u << bit));
            m_clockStamps[stamp] = now;
        }
    };
    toggle(2, 0, now - m_clockStamps[0] > 4);
    toggle(3, 1, now - m_clockStamps[1] >= 50);
    toggle(4, 2, now - m_clockStamps[2] >= 500);
    toggle(5, 3, now - m_clockStamps[3] > 29999);
    set(6, true);
    set(7, false);
}

std::uint8_t* Plc::at(ProgramWord area, ProgramWord byteOffset, std::size_t bytes) {
    const std::uint32_t slot = slotOf(area);
    if (!fits(slot, byteOffset, bytes)) {
        return nullptr;
    }
    return m_memory.data() + kSlotBase[slot] + static_cast<std::uint32_t>(byteOffset);
}

const std::uint8_t* Plc::at(ProgramWord area, ProgramWord byteOffset, std::size_t bytes) const {
    const std::uint32_t slot = slotOf(area);
    if (!fits(slot, byteOffset, bytes)) {
        return nullptr;
    }
    return m_memory.data() + kSlotBase[slot] + static_cast<std::uint32_t>(byteOffset);
}

std::uint8_t* Plc::retentiveAt(ProgramWord area, ProgramWord byteOffset, std::size_t bytes) {
    const std::uint32_t slot = slotOf(area);
    if (!fits(slot, byteOffset, bytes)) {
        return nullptr;
    }
    const auto offset = static_cast<std::uint32_t>(byteOffset);
    if (slot == kSlotM) {
        return m_retentiveM.data() + offset;
    }
    if (slot == kSlotQ) {
        return m_retentiveQ.data() + offset;
    }
    return nullptr;
}

void Plc::storeBytes(ProgramWord area, ProgramWord byteOffset, const std::uint8_t* bytes,
                     std::size_t count) {
    std::uint8_t* p = at(area, byteOffset, count);
    if (p == nullptr) {
        return;
    }
    std::memcpy(p, bytes, count);
    if (std::uint8_t* r = retentiveAt(area, byteOffset, count)) {
        std::memcpy(r, bytes, count);
    }
}

int Plc::readBit(ProgramWord area, ProgramWord byteOffset, ProgramWord bit) const {
    const std::uint8_t* p = at(area, byteOffset, 1);
    if (p == nullptr || bit < 0 || bit > 7) {
        return 0;
    }
    return (*p >> bit) & 1;
}

void Plc::writeBit(ProgramWord area, ProgramWord byteOffset, ProgramWord bit, int value) {
    std::uint8_t* p = at(area, byteOffset, 1);
    if (p == nullptr || bit < 0 || bit > 7) {
        return;
    }
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    *p = static_cast<std::uint8_t>(value != 0 ? (*p | mask) : (*p & ~mask));
}

void Plc::writeBitRetentive(ProgramWord area, ProgramWord byteOffset, ProgramWord bit, int value) {
    writeBit(area, byteOffset, bit, value);
    std::uint8_t* r = retentiveAt(area, byteOffset, 1);
    if (r == nullptr || bit < 0 || bit > 7) {
        return;
    }
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    *r = static_cast<std::uint8_t>(value != 0 ? (*r | mask) : (*r & ~mask));
}

std::uint8_t Plc::readByte(ProgramWord area, ProgramWord byteOffset) const {
    const std::uint8_t* p = at(area, byteOffset, 1);
    return p == nullptr ? 0 : *p;
}

std::uint16_t Plc::readWord(ProgramWord area, ProgramWord byteOffset) const {
    const std::uint8_t* p = at(area, byteOffset, 2);
    return p == nullptr ? 0 : loadWord(p);
}

std::int16_t Plc::readInt(ProgramWord area, ProgramWord byteOffset) const {
    return static_cast<std::int16_t>(readWord(area, byteOffset));
}

std::int32_t Plc::readDint(ProgramWord area, ProgramWord byteOffset) const {
    const std::uint8_t* p = at(area, byteOffset, 4);
    if (p == nullptr) {
        return 0;
    }
    const std::uint32_t value = static_cast<std::uint32_t>(loadWord(p)) |
                                (static_cast<std::uint32_t>(loadWord(p + 2)) << 16);
    return static_cast<std::int32_t>(value);
}

std::int32_t Plc::readBcd4(ProgramWord area, ProgramWord byteOffset) const {
    return bcd4Value(readWord(area, byteOffset));
}

void Plc::writeByte(ProgramWord area, ProgramWord byteOffset, std::uint8_t value) {
    storeBytes(area, byteOffset, &value, 1);
}

void Plc::writeWord(ProgramWord area, ProgramWord byteOffset, std::uint16_t value) {
    std::uint8_t bytes[2];
    saveWord(bytes, value);
    storeBytes(area, byteOffset, bytes, 2);
}

void Plc::writeInt(ProgramWord area, ProgramWord byteOffset, std::int16_t value) {
    writeWord(area, byteOffset, static_cast<std::uint16_t>(value));
}

void Plc::writeDint(ProgramWord area, ProgramWord byteOffset, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    std::uint8_t bytes[4];
    saveWord(bytes, static_cast<std::uint16_t>(bits & 0xFFFF));
    saveWord(bytes + 2, static_cast<std::uint16_t>(bits >> 16));
    storeBytes(area, byteOffset, bytes, 4);
}

void Plc::writeBcd4(ProgramWord area, ProgramWord byteOffset, std::int32_t value) {
    if (value < 0 || value > 9999) {
        return;
    }
    writeWord(area, byteOffset, bcd4Pattern(value));
}

bool Plc::copyWordsOut(ProgramWord area, ProgramWord byteOffset, std::int32_t count) {
    if (count <= 0 || static_cast<std::size_t>(count) > kWorkBufferWords) {
        return false;
    }
    const auto words = static_cast<std::size_t>(count);
    const std::uint8_t* p = at(area, byteOffset, 2 * words);
    if (p == nullptr) {
        return false;
    }
    for (std::size_t i = 0; i < words; ++i) {
        m_work[i] = loadWord(p + 2 * i);
    }
    return true;
}

bool Plc::copyWordsIn(ProgramWord area, ProgramWord byteOffset, std::int32_t count) {
    if (count <= 0 || static_cast<std::size_t>(count) > kWorkBufferWords) {
        return false;
    }
    const auto words = static_cast<std::size_t>(count);
    std::uint8_t* p = at(area, byteOffset, 2 * words);
    if (p == nullptr) {
        return false;
    }
    for (std::size_t i = 0; i < words; ++i) {
        saveWord(p + 2 * i, m_work[i]);
    }
    return true;
}

void Plc::setInputWord(std::uint16_t w) {
    saveWord(m_memory.data() + kKindBase[static_cast<int>(AreaKind::I)], w);
}

void Plc::setAnalogInputs(std::int16_t a1, std::int16_t a2) {
    std::uint8_t* p = m_memory.data() + kKindBase[static_cast<int>(AreaKind::AI)];
    saveWord(p, static_cast<std::uint16_t>(a1));
    saveWord(p + 2, static_cast<std::uint16_t>(a2));
}

std::uint16_t Plc::outputWord() const {
    return loadWord(m_memory.data() + kKindBase[static_cast<int>(AreaKind::Q)]);
}

std::int16_t Plc::analogOutput1() const {
    return static_cast<std::int16_t>(
        loadWord(m_memory.data() + kKindBase[static_cast<int>(AreaKind::AQ)]));
}

std::int16_t Plc::analogOutput2() const {
    return static_cast<std::int16_t>(
        loadWord(m_memory.data() + kKindBase[static_cast<int>(AreaKind::AQ)] + 2));
}

std::span<const std::uint8_t> Plc::area(int kind) const {
    if (kind < 0 || kind >= kAreaKindCount) {
        return {};
    }
    const auto index = static_cast<std::size_t>(kind);
    return {m_memory.data() + kKindBase[index], kKindSize[index]};
}

std::size_t Plc::areaBytes(int kind) const {
    return area(kind).size();
}

std::span<const std::uint8_t> Plc::retentiveCopy(AreaKind kind) const {
    if (kind == AreaKind::M) {
        return m_retentiveM;
    }
    if (kind == AreaKind::Q) {
        return m_retentiveQ;
    }
    return {};
}

std::optional<std::int32_t> Plc::readValue(AreaKind kind, int byteOffset, int bit,
                                           DataType type) const {
    const ProgramWord code = areaCodeOf(kind);
    if (at(code, byteOffset, operands::dataTypeBytes(type)) == nullptr) {
        return std::nullopt;
    }
    switch (type) {
        case DataType::Bit:
            if (bit < 0 || bit > 7) {
                return std::nullopt;
            }
            return readBit(code, byteOffset, bit);
        case DataType::Byte: return readByte(code, byteOffset);
        case DataType::Word: return readWord(code, byteOffset);
        case DataType::Int: return readInt(code, byteOffset);
        case DataType::Dint: return readDint(code, byteOffset);
        case DataType::Bcd4: return readBcd4(code, byteOffset);
    }
    return std::nullopt;
}

bool Plc::writeValue(AreaKind kind, int byteOffset, int bit, DataType type, std::int32_t value) {
    const ProgramWord code = areaCodeOf(kind);
    std::uint8_t* p = at(code, byteOffset, operands::dataTypeBytes(type));
    if (p == nullptr) {
        return false;
    }
    const auto bits = static_cast<std::uint32_t>(value);
    switch (type) {
        case DataType::Bit:
            if (bit < 0 || bit > 7) {
                return false;
            }
            writeBit(code, byteOffset, bit, value);
            return true;
        case DataType::Byte: *p = static_cast<std::uint8_t>(bits & 0xFF); return true;
        case DataType::Word:
        case DataType::Int: saveWord(p, static_cast<std::uint16_t>(bits & 0xFFFF)); return true;
        case DataType::Dint:
            saveWord(p, static_cast<std::uint16_t>(bits & 0xFFFF));
            saveWord(p + 2, static_cast<std::uint16_t>(bits >> 16));
            return true;
        case DataType::Bcd4:
            if (value < 0 || value > 9999) {
                return false;
            }
            saveWord(p, bcd4Pattern(value));
            return true;
    }
    return false;
}

void Plc::setProgramCounter(std::size_t pc) {
    // Anywhere inside the program or on the end marker right after it.
    m_pc = std::min(pc, m_program.size());
}

}  // namespace plc
