// Function-block execution: timers, counters, arithmetic, relations, word logic, shifts,
// bit operations, moves, table search, array move and conversions.
//
// Each execution starts after the enable input, with the enable in the accumulator, and ends
// after the block's last word with the power-flow output in the accumulator. Everything is
// read before anything is decided, so every path leaves the program counter in the same place.
#include "plc/block_layout.h"
#include "plc/memory_layout.h"
#include "plc/plc.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace plc {
namespace {

using document::BlockKind;
using document::kindNumber;

constexpr std::uint16_t kStarted = 0x0001;
constexpr std::uint16_t kOutputOn = 0x4000;
constexpr std::uint16_t kEnabled = 0x8000;

std::uint16_t controlWord(bool started, bool q, bool enabled) {
    return static_cast<std::uint16_t>((started ? kStarted : 0) | (q ? kOutputOn : 0) |
                                      (enabled ? kEnabled : 0));
}

// CV wraps around at the ends of the 16-bit range.
std::int16_t wrap16(std::int64_t value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

std::int32_t wrap32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value & 0xFFFFFFFF));
}

std::int64_t integerSquareRoot(std::int64_t value) {
    auto root = static_cast<std::int64_t>(std::sqrt(static_cast<double>(value)));
    while (root * root > value) {
        --root;
    }
    while ((root + 1) * (root + 1) <= value) {
        ++root;
    }
    return root;
}

// A bit string `count` bits long, starting `first` bits after an address's own bit: true if it
// lies wholly inside the address's area.
bool bitsFit(ProgramWord area, ProgramWord byteOffset, ProgramWord bit, std::int64_t first,
             std::int64_t count) {
    if (bit < 0 || bit > 7 || first < 0 || count <= 0) {
        return false;
    }
    const std::int64_t last = bit + first + count - 1;
    return fits(slotOf(area), byteOffset, static_cast<std::uint64_t>(last / 8 + 1));
}

// The byte offset `delta` bytes after `byteOffset`, if that is still a possible offset.
bool shiftedOffset(ProgramWord byteOffset, std::int64_t delta, ProgramWord& out) {
    const std::int64_t value = static_cast<std::int64_t>(byteOffset) + delta;
    if (value < 0 || value > static_cast<std::int64_t>(kMemorySize)) {
        return false;
    }
    out = static_cast<ProgramWord>(value);
    return true;
}

}  // namespace

void Plc::storeInt(const Operand& q, std::int16_t value) {
    if (!q.constant) {
        writeInt(q.area, q.byteOffset, value);
    }
}

void Plc::storeDint(const Operand& q, std::int32_t value) {
    if (!q.constant) {
        writeDint(q.area, q.byteOffset, value);
    }
}

void Plc::storeWord(const Operand& q, std::uint16_t value) {
    if (!q.constant) {
        writeWord(q.area, q.byteOffset, value);
    }
}

int Plc::runInnerInput() {
    // An inner input that nothing is wired to is off; only the enable input takes the power
    // flow of the block before it.
    m_accumulator = 0;
    runInput();
    return m_accumulator;
}

void Plc::runBlock(ProgramWord code) {
    const std::optional<BlockKind> kind = document::blockKindOf(code);
    if (!kind) {
        return;  // no kind has this number: the block has no items, the enable flows on
    }
    switch (*kind) {
        case BlockKind::Ondtr: runTimer(true); return;
        case BlockKind::Tmr: runTimer(false); return;
        case BlockKind::UpCtr: runCounter(true); return;
        case BlockKind::DnCtr: runCounter(false); return;
        case BlockKind::Add:
        case BlockKind::Sub:
        case BlockKind::Mul:
        case BlockKind::Div:
        case BlockKind::Mod: runArithmetic(*kind); return;
        case BlockKind::Sqrt: runSqrt(); return;
        case BlockKind::Eq:
        case BlockKind::Ne:
        case BlockKind::Gt:
        case BlockKind::Ge:
        case BlockKind::Lt:
        case BlockKind::Le: runRelation(*kind); return;
        case BlockKind::And:
        case BlockKind::Or:
        case BlockKind::Xor:
        case BlockKind::Not: runWordLogic(*kind); return;
        case BlockKind::Shl:
        case BlockKind::Shr:
        case BlockKind::Rol:
        case BlockKind::Ror: runShift(*kind); return;
        case BlockKind::BitTst:
        case BlockKind::BitSet:
        case BlockKind::BitClr:
        case BlockKind::BitPos: runBitOperation(*kind); return;
        case BlockKind::Move: runMove(); return;
        case BlockKind::BlkMv: runBlockMove(); return;
        case BlockKind::BlkClr: runBlockClear(); return;
        case BlockKind::SrhEq: runSearch(); return;
        case BlockKind::ArrMv: runArrayMove(); return;
        case BlockKind::ToBcd: runToBcd(); return;
        case BlockKind::ToInt: runToInt(); return;
        case BlockKind::Shfr:
        case BlockKind::BitSeq:
        case BlockKind::ComRq:
        case BlockKind::SrhNe:
        case BlockKind::SrhGt:
        case BlockKind::SrhGe:
        case BlockKind::SrhLt:
        case BlockKind::SrhLe:
        case BlockKind::Call:
        case BlockKind::DoIo:
        case BlockKind::SvcRq:
            // No execution: the words are passed over unevaluated and the enable flows on.
            m_pc = skipBlockItems(m_words.data(), m_pc, code);
            return;
    }
}

Plc::RegisterBlock Plc::fetchRegisterBlock() {
    RegisterBlock block;
    block.cvIn = fetchOperand();
    block.pvCopyIn = fetchOperand();
    block.controlIn = fetchOperand();
    block.pv = fetchInt();
    block.cv = fetchOperand();
    block.pvCopy = fetchOperand();
    block.control = fetchOperand();
    return block;
}

void Plc::runTimer(bool onDelay) {
    const bool en = m_accumulator != 0;
    const bool reset = onDelay && runInnerInput() != 0;
    const ProgramWord k = m_words[m_pc++];
    const ProgramWord base = m_words[m_pc++];
    const auto [cvIn, pvCopyIn, controlIn, pv, cv, pvCopy, control] = fetchRegisterBlock();
    m_accumulator = 0;
    if (k < 0 || static_cast<std::size_t>(k) >= m_timerStarts.size()) {
        return;  // no start time to measure from
    }
    std::uint32_t& start = m_timerStarts[static_cast<std::size_t>(k)];
    const std::uint32_t unit = base == kTimeBase10ms ? 10 : base == kTimeBase100ms ? 100 : 1000;
    std::int16_t value = cvIn.constant ? 0 : readInt(cvIn.area, cvIn.byteOffset);
    const std::uint16_t stored =
        controlIn.constant ? 0 : readWord(controlIn.area, controlIn.byteOffset);

    bool q = false;
    if (reset) {
        storeInt(cv, 0);
        storeInt(pvCopy, pv);
        q = 0 >= pv;
        storeWord(control, controlWord(true, q, false));
    } else if (!en) {
        if (onDelay) {
            if ((stored & kStarted) == 0) {
                return;
            }
            const std::int16_t preset =
                pvCopyIn.constant ? 0 : readInt(pvCopyIn.area, pvCopyIn.byteOffset);
            q = value >= preset;
            storeWord(control, controlWord(true, q, false));
        } else {
            storeInt(cv, 0);
            q = 0 >= pv;
            storeWord(control, controlWord(false, q, false));
        }
    } else if ((stored & kEnabled) == 0) {
        if (!onDelay) {
            storeInt(cv, 0);
        }
        storeInt(pvCopy, pv);
        start = m_clock.now();
        q = value >= pv;
        storeWord(control, controlWord(onDelay, q, true));
    } else {
        const std::uint32_t now = m_clock.now();
        const std::uint32_t increments = (now - start) / unit;
        if (increments >= 1) {
            value = wrap16(static_cast<std::int64_t>(value) + increments);
            // Only the units counted are used up: the part of a unit left over counts towards
            // the next increment, so ticks that are no multiple of the unit lose no time.
            start += increments * unit;
        }
        storeInt(cv, value);
        q = value >= pv;
        storeWord(control, controlWord(onDelay, q, true));
    }
    m_accumulator = q ? 1 : 0;
}

void Plc::runCounter(bool up) {
    const bool en = m_accumulator != 0;
    const bool reset = runInnerInput() != 0;
    const auto [cvIn, pvCopyIn, controlIn, pv, cv, pvCopy, control] = fetchRegisterBlock();

    std::int16_t value = cvIn.constant ? 0 : readInt(cvIn.area, cvIn.byteOffset);
    std::int16_t preset = pvCopyIn.constant ? 0 : readInt(pvCopyIn.area, pvCopyIn.byteOffset);
    const std::uint16_t stored =
        controlIn.constant ? 0 : readWord(controlIn.area, controlIn.byteOffset);
    const bool rising = en && (stored & kEnabled) == 0;
    const bool started = (stored & kStarted) != 0;

    if (reset) {
        value = up ? std::int16_t{0} : pv;
        preset = pv;
        storeInt(cv, value);
        storeInt(pvCopy, preset);
    } else if (rising && started) {
        value = wrap16(static_cast<std::int64_t>(value) + (up ? 1 : -1));
        storeInt(cv, value);
    } else if (rising) {
        value = up ? wrap16(static_cast<std::int64_t>(value) + 1)
                   : wrap16(static_cast<std::int64_t>(pv) - 1);
        preset = pv;
        storeInt(cv, value);
        storeInt(pvCopy, preset);
    } else if (!started) {
        m_accumulator = 0;
        return;
    }
    // Without a rising edge a started counter still rewrites its control word, so that EN
    // falls with the enable and the next rising edge is seen.
    const bool q = up ? value >= preset : value <= 0;
    storeWord(control, controlWord(true, q, en));
    m_accumulator = q ? 1 : 0;
}

void Plc::runArithmetic(BlockKind kind) {
    const bool isInt = m_words[m_pc++] == kTypeInt;
    if (m_accumulator == 0) {
        skipOperand();
        skipOperand();
        skipOperand();
        return;
    }
    const std::int64_t a = isInt ? fetchInt() : fetchDint();
    const std::int64_t b = isInt ? fetchInt() : fetchDint();
    const Operand q = fetchOperand();
    const std::int64_t low =
        isInt ? std::numeric_limits<std::int16_t>::min() : std::numeric_limits<std::int32_t>::min();
    const std::int64_t high =
        isInt ? std::numeric_limits<std::int16_t>::max() : std::numeric_limits<std::int32_t>::max();
    // Values too wide for the type wrap, which is how the one quotient that can overflow
    // (the minimum by -1) comes out: the minimum again.
    auto store = [&](std::int64_t value) {
        if (isInt) {
            storeInt(q, wrap16(value));
        } else {
            storeDint(q, wrap32(value));
        }
    };
    std::int64_t result = 0;
    switch (kind) {
        case BlockKind::Add: result = a + b; break;
        case BlockKind::Sub: result = a - b; break;
        case BlockKind::Mul: result = a * b; break;
        case BlockKind::Div:
        case BlockKind::Mod:
            if (b == 0) {
                m_accumulator = 0;
                return;
            }
            result = kind == BlockKind::Div ? a / b : a % b;
            store(result);
            m_accumulator = 1;
            return;
        default: break;
    }
    if (result >= low && result <= high) {
        store(result);
        m_accumulator = 1;
        return;
    }
    if (kind == BlockKind::Mul) {
        store((a > 0) == (b > 0) ? high : low);
    } else if (a > 0) {
        store(high);
    } else if (a < 0) {
        store(low);
    }
    m_accumulator = 0;
}

void Plc::runSqrt() {
    const bool isInt = m_words[m_pc++] == kTypeInt;
    if (m_accumulator == 0) {
        skipOperand();
        skipOperand();
        return;
    }
    const std::int64_t value = isInt ? fetchInt() : fetchDint();
    const Operand q = fetchOperand();
    if (value < 0) {
        m_accumulator = 0;
        return;
    }
    const std::int64_t root = integerSquareRoot(value);
    if (isInt) {
        storeInt(q, static_cast<std::int16_t>(root));
    } else {
        storeDint(q, static_cast<std::int32_t>(root));
    }
    m_accumulator = 1;
}

void Plc::runRelation(BlockKind kind) {
    const bool isInt = m_words[m_pc++] == kTypeInt;
    if (m_accumulator == 0) {
        skipOperand();
        skipOperand();
        return;
    }
    const std::int32_t a = isInt ? fetchInt() : fetchDint();
    const std::int32_t b = isInt ? fetchInt() : fetchDint();
    bool result = false;
    switch (kind) {
        case BlockKind::Eq: result = a == b; break;
        case BlockKind::Ne: result = a != b; break;
        case BlockKind::Gt: result = a > b; break;
        case BlockKind::Ge: result = a >= b; break;
        case BlockKind::Lt: result = a < b; break;
        default: result = a <= b; break;
    }
    m_accumulator = result ? 1 : 0;
}

void Plc::runWordLogic(BlockKind kind) {
    ++m_pc;  // the type word is always WORD
    const bool unary = kind == BlockKind::Not;
    if (m_accumulator == 0) {
        skipOperand();
        if (!unary) {
            skipOperand();
        }
        skipOperand();
        return;
    }
    const std::uint16_t a = fetchWord();
    const std::uint16_t b = unary ? std::uint16_t{0} : fetchWord();
    const Operand q = fetchOperand();
    std::uint16_t result = 0;
    switch (kind) {
        case BlockKind::And: result = static_cast<std::uint16_t>(a & b); break;
        case BlockKind::Or: result = static_cast<std::uint16_t>(a | b); break;
        case BlockKind::Xor: result = static_cast<std::uint16_t>(a ^ b); break;
        default: result = static_cast<std::uint16_t>(~a); break;
    }
    storeWord(q, result);
    m_accumulator = 1;
}

void Plc::runShift(BlockKind kind) {
    const bool en = m_accumulator != 0;
    const bool isShift = kind == BlockKind::Shl || kind == BlockKind::Shr;
    const ProgramWord length = m_words[m_pc + 2];
    m_pc += 3;  // type word, -26, LEN
    const Operand in = fetchOperand();
    const std::int16_t steps = fetchInt();
    const std::uint16_t fill = isShift && runInnerInput() != 0 ? 1 : 0;
    const Operand q = fetchOperand();
    m_accumulator = 0;
    if (!en || in.constant || q.constant || !copyWordsOut(in.area, in.byteOffset, length)) {
        return;
    }
    const auto words = static_cast<std::size_t>(length);
    const std::int32_t bits = 16 * length;
    // Shifting by the whole string's length or more gives the same as by exactly that length;
    // a rotation by it is no change at all.
    std::int32_t n = steps <= 0 ? 0 : steps;
    n = isShift ? std::min(n, bits) : n % bits;
    std::uint16_t* w = m_work.data();
    for (std::int32_t step = 0; step < n; ++step) {
        std::uint16_t carry = isShift ? fill : 0;
        for (std::size_t j = 0; j < words; ++j) {
            const std::uint16_t old = w[j];
            if (kind == BlockKind::Shl || kind == BlockKind::Rol) {
                w[j] = static_cast<std::uint16_t>((old << 1) | carry);
                carry = static_cast<std::uint16_t>(old >> 15);
            } else {
                w[j] = static_cast<std::uint16_t>((old >> 1) | (carry << 15));
                carry = static_cast<std::uint16_t>(old & 1);
            }
        }
        if (kind == BlockKind::Rol && carry != 0) {
            w[0] = static_cast<std::uint16_t>(w[0] | 1);
        } else if (kind == BlockKind::Ror && carry != 0) {
            w[0] = static_cast<std::uint16_t>(w[0] | 0x8000);
        }
    }
    m_accumulator = copyWordsIn(q.area, q.byteOffset, length) ? 1 : 0;
}

void Plc::runBitOperation(BlockKind kind) {
    const bool en = m_accumulator != 0;
    const ProgramWord length = m_words[m_pc + 2];
    m_pc += 3;  // type word, -26, LEN
    const Operand in = fetchOperand();
    Operand position{};
    std::int16_t bit = 0;
    if (kind == BlockKind::BitPos) {
        position = fetchOperand();
    } else {
        bit = fetchInt();
    }
    m_accumulator = 0;
    // The string is LEN words from bit 0 of IN's byte; it must lie inside its area.
    if (!en || in.constant || length <= 0 ||
        !fits(slotOf(in.area), in.byteOffset, 2 * static_cast<std::uint64_t>(length))) {
        return;
    }
    const std::int64_t bits = 16 * static_cast<std::int64_t>(length);
    if (kind == BlockKind::BitPos) {
        std::int16_t found = 0;
        for (std::int64_t i = 0; i < bits; ++i) {
            const auto byte = static_cast<ProgramWord>(in.byteOffset + i / 8);
            if (readBit(in.area, byte, static_cast<ProgramWord>(i % 8)) != 0) {
                found = static_cast<std::int16_t>(i + 1);
                break;
            }
        }
        storeInt(position, found);
        m_accumulator = 1;
        return;
    }
    if (bit < 1 || bit > bits) {
        return;
    }
    const ProgramWord byte = in.byteOffset + (bit - 1) / 8;
    const ProgramWord number = (bit - 1) % 8;
    switch (kind) {
        case BlockKind::BitTst: m_accumulator = readBit(in.area, byte, number); break;
        case BlockKind::BitSet:
            writeBit(in.area, byte, number, 1);
            m_accumulator = 1;
            break;
        default:
            writeBit(in.area, byte, number, 0);
            m_accumulator = 1;
            break;
    }
}

void Plc::runMove() {
    const ProgramWord type = m_words[m_pc];
    if (!acceptsType(blockLayout(kindNumber(BlockKind::Move)), type)) {
        return;  // a type the translator emits no operands for: the enable flows on
    }
    const bool en = m_accumulator != 0;
    const ProgramWord length = m_words[m_pc + 2];
    m_pc += 3;
    const Operand in = fetchOperand();
    const Operand q = fetchOperand();
    m_accumulator = 0;
    if (!en || q.constant || length <= 0) {
        return;
    }
    if (type == kTypeBit) {
        if (!bitsFit(q.area, q.byteOffset, q.bit, 0, length)) {
            return;
        }
        if (!in.constant && !bitsFit(in.area, in.byteOffset, in.bit, 0, length)) {
            return;
        }
        int value = in.constant ? (in.value != 0 ? 1 : 0) : 0;
        for (ProgramWord i = 0; i < length; ++i) {
            if (!in.constant) {
                value = readBit(in.area, in.byteOffset + (in.bit + i) / 8, (in.bit + i) % 8);
            }
            writeBit(q.area, q.byteOffset + (q.bit + i) / 8, (q.bit + i) % 8, value);
        }
        m_accumulator = value;
        return;
    }
    if (in.constant) {
        if (length > static_cast<ProgramWord>(kWorkBufferWords)) {
            return;
        }
        const auto pattern =
            static_cast<std::uint16_t>(static_cast<std::uint32_t>(in.value) & 0xFFFF);
        std::fill_n(m_work.begin(), length, pattern);
    } else if (!copyWordsOut(in.area, in.byteOffset, length)) {
        return;
    }
    m_accumulator = copyWordsIn(q.area, q.byteOffset, length) ? 1 : 0;
}

void Plc::runBlockMove() {
    ++m_pc;  // type word: INT and WORD move alike
    std::array<std::int16_t, 7> values{};
    for (auto& value : values) {
        value = fetchInt();
    }
    if (m_accumulator == 0) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            skipOperand();
        }
        return;
    }
    for (std::int16_t value : values) {
        storeInt(fetchOperand(), value);
    }
    m_accumulator = 1;
}

void Plc::runBlockClear() {
    const bool en = m_accumulator != 0;
    const ProgramWord length = m_words[m_pc + 2];
    m_pc += 3;
    // IN is read by its first word: a constant, which the operand check lets through, names
    // no memory and clears nothing.
    const Operand in = fetchOperand();
    m_accumulator = 0;
    if (!en || in.constant || length <= 0 || length > static_cast<ProgramWord>(kWorkBufferWords)) {
        return;
    }
    std::fill_n(m_work.begin(), length, std::uint16_t{0});
    m_accumulator = copyWordsIn(in.area, in.byteOffset, length) ? 1 : 0;
}

void Plc::runSearch() {
    const ProgramWord type = m_words[m_pc];
    if (!acceptsType(blockLayout(kindNumber(BlockKind::SrhEq)), type)) {
        return;
    }
    const bool en = m_accumulator != 0;
    const ProgramWord length = m_words[m_pc + 2];
    m_pc += 3;
    const Operand array = fetchOperand();
    const std::int16_t start = fetchInt();
    std::uint32_t wanted = 0;
    switch (type) {
        case kTypeByte: wanted = fetchByte(); break;
        case kTypeWord: wanted = fetchWord(); break;
        case kTypeInt: wanted = static_cast<std::uint16_t>(fetchInt()); break;
        default: wanted = static_cast<std::uint32_t>(fetchDint()); break;
    }
    const Operand result = fetchOperand();
    if (!en) {
        m_accumulator = 0;
        return;
    }
    if (type == kTypeByte) {
        return;  // BYTE arrays are not searched; the enable flows on
    }
    m_accumulator = 0;
    const bool isDint = type == kTypeDint;
    const std::int64_t words = static_cast<std::int64_t>(length) * (isDint ? 2 : 1);
    if (array.constant || start < 0 || start > length || words > std::int64_t{kWorkBufferWords} ||
        !copyWordsOut(array.area, array.byteOffset, static_cast<std::int32_t>(words))) {
        return;
    }
    for (std::int32_t i = start; i < length; ++i) {
        const std::size_t at = static_cast<std::size_t>(i) * (isDint ? 2 : 1);
        const std::uint32_t element =
            isDint ? (m_work[at] | (static_cast<std::uint32_t>(m_work[at + 1]) << 16)) : m_work[at];
        if (element == wanted) {
            storeInt(result, static_cast<std::int16_t>(i + 1));
            m_accumulator = 1;
            return;
        }
    }
    storeInt(result, 0);
}

void Plc::runArrayMove() {
    const ProgramWord type = m_words[m_pc];
    if (!acceptsType(blockLayout(kindNumber(BlockKind::ArrMv)), type)) {
        return;
    }
    const bool en = m_accumulator != 0;
    const ProgramWord length = m_words[m_pc + 2];
    m_pc += 3;
    const Operand source = fetchOperand();
    const std::int32_t sourceIndex = fetchInt();
    const std::int32_t destIndex = fetchInt();
    const std::int32_t count = fetchInt();
    const Operand dest = fetchOperand();
    m_accumulator = 0;
    // The bounds as the block defines them (an array's last element is never moved). A count
    // of 0 or less passes them and moves nothing.
    if (!en || sourceIndex <= 0 || destIndex <= 0 ||
        static_cast<std::int64_t>(sourceIndex) + count > length ||
        static_cast<std::int64_t>(destIndex) + count > length || source.constant || dest.constant) {
        return;
    }
    if (count <= 0) {
        m_accumulator = 1;
        return;
    }
    if (type == kTypeBit) {
        if (!bitsFit(source.area, source.byteOffset, source.bit, sourceIndex - 1, count) ||
            !bitsFit(dest.area, dest.byteOffset, dest.bit, destIndex - 1, count)) {
            return;
        }
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t from = source.bit + sourceIndex - 1 + i;
            const std::int32_t to = dest.bit + destIndex - 1 + i;
            writeBit(dest.area, dest.byteOffset + to / 8, to % 8,
                     readBit(source.area, source.byteOffset + from / 8, from % 8));
        }
        m_accumulator = 1;
        return;
    }
    const std::int64_t elementBytes = type == kTypeByte ? 1 : type == kTypeDint ? 4 : 2;
    ProgramWord from = 0;
    ProgramWord to = 0;
    if (!shiftedOffset(source.byteOffset, (sourceIndex - 1) * elementBytes, from) ||
        !shiftedOffset(dest.byteOffset, (destIndex - 1) * elementBytes, to)) {
        return;
    }
    if (type == kTypeByte) {
        if (!fits(slotOf(source.area), from, static_cast<std::uint64_t>(count)) ||
            !fits(slotOf(dest.area), to, static_cast<std::uint64_t>(count))) {
            return;
        }
        // Element by element, into the area only, as the bits would be copied.
        for (std::int32_t i = 0; i < count; ++i) {
            std::uint8_t* target = at(dest.area, to + i, 1);
            *target = readByte(source.area, from + i);
        }
        m_accumulator = 1;
        return;
    }
    const std::int64_t words = count * elementBytes / 2;
    if (words > std::int64_t{kWorkBufferWords} ||
        !fits(slotOf(dest.area), to, static_cast<std::uint64_t>(2 * words)) ||
        !copyWordsOut(source.area, from, static_cast<std::int32_t>(words))) {
        return;
    }
    m_accumulator = copyWordsIn(dest.area, to, static_cast<std::int32_t>(words)) ? 1 : 0;
}

void Plc::runToBcd() {
    const bool en = m_accumulator != 0;
    const std::int16_t value = fetchInt();
    const Operand q = fetchOperand();
    m_accumulator = 0;
    if (!en || value < 0 || value > 9999) {
        return;
    }
    if (!q.constant) {
        writeBcd4(q.area, q.byteOffset, value);
    }
    m_accumulator = 1;
}

void Plc::runToInt() {
    const bool en = m_accumulator != 0;
    const std::int32_t value = fetchBcd4();
    const Operand q = fetchOperand();
    m_accumulator = 0;
    if (!en) {
        return;
    }
    storeInt(q, wrap16(value));
    m_accumulator = 1;
}

}  // namespace plc
