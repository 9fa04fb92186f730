// The execution engine: contact logic with the accumulator and the stack, coils, MCR, JUMP,
// power-flow inputs and the operand readers that the function blocks use.
#include "plc/block_layout.h"
#include "plc/memory_layout.h"
#include "plc/plc.h"
#include "plc/power_trace.h"

#include <algorithm>

namespace plc {
namespace {

constexpr std::size_t kStackMask = 63;

// Trace bytes are built from 0/1 values without branches; these are the bits they land on.
static_assert(TraceBit::Operand == 1 && TraceBit::Output == 1 && TraceBit::Flow == 1 << 1);

// The contact logic shared by the scan and by power-flow inputs, kept in locals so that the
// scan's inner loop runs out of registers. Monitored, each contact also notes its trace byte.
template <bool kMonitor>
struct Logic {
    int acc;
    int live;  // 0 while an MCR zone is active: every contact result is forced to 0
    std::size_t top;
    std::size_t count;
    int* stack;
    const std::uint8_t* memory;
    std::uint8_t* trace;  // monitored only
    // What every trace byte of the scan so far carries: its epoch and whether the MCR zone is
    // off; kept up to date with `live` (zone()).
    std::uint8_t mark;

    Logic(int accumulator, int mcr, std::size_t stackTop, int* stackSlots,
          const std::uint8_t* memoryBytes, std::uint8_t* traceBytes, std::uint8_t epochBits)
        : acc(accumulator),
          live(mcr != 0 ? 0 : 1),
          top(stackTop),
          count(0),
          stack(stackSlots),
          memory(memoryBytes),
          trace(traceBytes),
          mark(static_cast<std::uint8_t>(epochBits | (mcr != 0 ? TraceBit::ZoneOff : 0))) {}

    int bit(const ProgramWord* operand) const {
        const std::uint32_t slot = slotOf(operand[0]);
        const auto offset = static_cast<std::uint32_t>(operand[1]);
        const auto number = static_cast<std::uint32_t>(operand[2]);
        if (offset >= kSlotSize[slot] || number > 7) {
            return 0;
        }
        return (memory[kSlotBase[slot] + offset] >> number) & 1;
    }

    // A full stack drops its oldest entry: the ring keeps the newest kStackEntries values.
    void push() {
        top = (top + 1) & kStackMask;
        stack[top] = acc;
        count += count < kStackEntries ? 1 : 0;
    }

    int pop() {
        if (count == 0) {
            return 0;
        }
        const int value = stack[top];
        top = (top - 1) & kStackMask;
        --count;
        return value;
    }

    // An MCR zone begins (`on`) or ends.
    void zone(bool on) {
        live = on ? 0 : 1;
        mark = static_cast<std::uint8_t>(on ? (mark | TraceBit::ZoneOff)
                                            : (mark & ~TraceBit::ZoneOff));
    }

    // The trace byte of an instruction that received or left the power flow `flow`.
    [[nodiscard]] std::uint8_t flowByte(int flow) const {
        return static_cast<std::uint8_t>(mark | (flow << 1));
    }

    // The contact at `at` read `b`. Its power flow is not noted: the map of the running
    // program works it out along the rung, and the scan keeps its pace.
    void note(std::size_t at, int b) {
        if constexpr (kMonitor) {
            trace[at] = static_cast<std::uint8_t>(mark | b);
        }
    }

    // Executes the instruction `op` (-1 .. -6) whose operand starts at `pc`; returns the index
    // after it.
    std::size_t step(ProgramWord op, const ProgramWord* words, std::size_t pc) {
        switch (op) {
            case kLoad: {
                push();
                const int b = bit(words + pc);
                acc = b & live;
                note(pc - 1, b);
                return pc + 3;
            }
            case kLoadNot: {
                push();
                const int b = bit(words + pc);
                acc = (b ^ 1) & live;
                note(pc - 1, b);
                return pc + 3;
            }
            case kAnd: {
                const int b = bit(words + pc);
                acc = acc & b & live;
                note(pc - 1, b);
                return pc + 3;
            }
            case kAndNot: {
                const int b = bit(words + pc);
                acc = acc & (b ^ 1) & live;
                note(pc - 1, b);
                return pc + 3;
            }
            case kOrStack: acc = (acc | pop()) & live; return pc;
            case kAndStack: acc = acc & pop() & live; return pc;
            default: return pc;
        }
    }
};

}  // namespace

void Plc::indexLabels() {
    m_labels.clear();
    const auto words = m_program.words();
    for (std::size_t p = 0; p + 2 < words.size(); ++p) {
        if (words[p] == kControl && words[p + 1] == kControlLabel) {
            m_labels.emplace_back(words[p + 2], p);
        }
    }
    // The first LABEL of a number wins, as a search from word 0 would find it.
    std::stable_sort(m_labels.begin(), m_labels.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    m_labels.erase(std::unique(m_labels.begin(), m_labels.end(),
                               [](const auto& a, const auto& b) { return a.first == b.first; }),
                   m_labels.end());
}

std::size_t Plc::findLabel(ProgramWord number) const {
    const auto it =
        std::lower_bound(m_labels.begin(), m_labels.end(), number,
                         [](const auto& entry, ProgramWord value) { return entry.first < value; });
    if (it == m_labels.end() || it->first != number) {
        // A search that finds no LABEL stops at the end of the program, and so does the scan.
        return m_program.size();
    }
    return it->second;
}

void Plc::runInput() {
    if (tracing()) {
        runInputWith<true>();
    } else {
        runInputWith<false>();
    }
}

template <bool kMonitor>
void Plc::runInputWith() {
    Logic<kMonitor> logic(m_accumulator, m_mcr, m_stackTop, m_stack.data(), m_memory.data(),
                          m_trace.data(), traceEpochBits());
    const ProgramWord* const words = m_words.data();
    std::size_t pc = m_pc;
    for (;;) {
        const ProgramWord op = words[pc];
        if (op == kEnd) {
            break;
        }
        ++pc;
        if (op == kEndOfInput) {
            break;
        }
        pc = logic.step(op, words, pc);
    }
    m_pc = pc;
    m_accumulator = logic.acc;
    m_stackTop = logic.top;
    m_stackCount = logic.count;
}

void Plc::runProgram() {
    if (tracing()) {
        scan<true>();
    } else {
        scan<false>();
    }
}

template <bool kMonitor>
void Plc::scan() {
    [[maybe_unused]] std::uint8_t* const trace = m_trace.data();
    if constexpr (kMonitor) {
        nextTraceEpoch();
    }
    const ProgramWord* const words = m_words.data();
    std::uint8_t* const memory = m_memory.data();
    std::int32_t* const edges = m_edges.data();
    const std::size_t edgeCount = m_edges.size();
    Logic<kMonitor> logic(m_accumulator, m_mcr, m_stackTop, m_stack.data(), memory, trace,
                          traceEpochBits());
    std::size_t pc = 0;
    std::size_t segmentStart = 0;
    std::uint64_t wordsRun = 0;

    auto writeBitFast = [memory](const ProgramWord* operand, int value) {
        const std::uint32_t slot = slotOf(operand[0]);
        const auto offset = static_cast<std::uint32_t>(operand[1]);
        const auto number = static_cast<std::uint32_t>(operand[2]);
        if (offset >= kSlotSize[slot] || number > 7) {
            return;
        }
        std::uint8_t& byte = memory[kSlotBase[slot] + offset];
        const auto mask = static_cast<std::uint8_t>(1u << number);
        byte = static_cast<std::uint8_t>(value != 0 ? (byte | mask) : (byte & ~mask));
    };

    for (;;) {
        const ProgramWord op = words[pc];
        switch (op) {
            case kLoad:
            case kLoadNot:
            case kAnd:
            case kAndNot:
            case kOrStack:
            case kAndStack: pc = logic.step(op, words, pc + 1); break;
            case kCoil: {
                [[maybe_unused]] const std::size_t at = pc;
                const ProgramWord code = words[pc + 1];
                if (code == kCoilPositive || code == kCoilNegative) {
                    const ProgramWord k = words[pc + 2];
                    const ProgramWord* operand = words + pc + 3;
                    pc += 6;
                    // An edge index outside the table has no state to compare with: the coil
                    // is passed over.
                    if (k < 0 || static_cast<std::size_t>(k) >= edgeCount) {
                        if constexpr (kMonitor) {
                            trace[at] = logic.flowByte(logic.acc);
                        }
                        break;
                    }
                    std::int32_t& edge = edges[k];
                    int out;
                    if (code == kCoilPositive) {
                        out = logic.acc != 0 && edge == 0 ? 1 : 0;
                    } else {
                        out = logic.acc == 0 ? edge : 0;
                    }
                    edge = logic.acc;
                    writeBitFast(operand, out);
                    if constexpr (kMonitor) {
                        trace[at] = static_cast<std::uint8_t>(logic.flowByte(logic.acc) | out);
                    }
                    logic.acc = out;
                    break;
                }
                if constexpr (kMonitor) {
                    // The other coils leave the power flow as they found it.
                    trace[at] = static_cast<std::uint8_t>(logic.flowByte(logic.acc) | logic.acc);
                }
                const ProgramWord* operand = words + pc + 2;
                pc += 5;
                switch (code) {
                    case kCoilNormal: writeBitFast(operand, logic.acc); break;
                    case kCoilNegated: writeBitFast(operand, logic.acc ^ 1); break;
                    case kCoilSet:
                        if (logic.acc != 0) {
                            writeBitFast(operand, 1);
                        }
                        break;
                    case kCoilReset:
                        if (logic.acc != 0) {
                            writeBitFast(operand, 0);
                        }
                        break;
                    case kCoilRetentive:
                        writeBitRetentive(operand[0], operand[1], operand[2], logic.acc);
                        break;
                    case kCoilNegatedRetentive:
                        writeBitRetentive(operand[0], operand[1], operand[2], logic.acc ^ 1);
                        break;
                    case kCoilSetRetentive:
                        if (logic.acc != 0) {
                            writeBitRetentive(operand[0], operand[1], operand[2], 1);
                        }
                        break;
                    case kCoilResetRetentive:
                        if (logic.acc != 0) {
                            writeBitRetentive(operand[0], operand[1], operand[2], 0);
                        }
                        break;
                    default: break;
                }
                break;
            }
            case kBlock: {
                [[maybe_unused]] const std::size_t at = pc;
                const ProgramWord code = words[pc + 1];
                m_pc = pc + 2;
                m_accumulator = logic.acc;
                m_stackTop = logic.top;
                m_stackCount = logic.count;
                runInputWith<kMonitor>();
                [[maybe_unused]] const int enable = m_accumulator;
                runBlock(code);
                if constexpr (kMonitor) {
                    trace[at] = static_cast<std::uint8_t>(logic.flowByte(enable) | m_accumulator);
                }
                pc = m_pc;
                logic.acc = m_accumulator;
                logic.top = m_stackTop;
                logic.count = m_stackCount;
                break;
            }
            case kControl: {
                const ProgramWord code = words[pc + 1];
                const ProgramWord number = words[pc + 2];
                if constexpr (kMonitor) {
                    trace[pc] = logic.flowByte(logic.acc);
                }
                pc += 3;
                if (code == kControlMcr) {
                    if (logic.acc != 0) {
                        m_mcr = 1;
                        logic.zone(true);
                    }
                } else if (code == kControlEndMcr) {
                    m_mcr = 0;
                    logic.zone(false);
                } else if (code == kControlJump && logic.acc != 0) {
                    // Only a JUMP can lead backwards, so counting the words run between jumps
                    // bounds the whole scan.
                    wordsRun += pc - segmentStart;
                    if (wordsRun > kWatchdogWords) {
                        m_watchdogFault = true;
                        m_pc = pc;
                        m_accumulator = logic.acc;
                        m_stackTop = logic.top;
                        m_stackCount = logic.count;
                        m_wordsRun = wordsRun;
                        return;
                    }
                    pc = findLabel(number);
                    segmentStart = pc;
                }
                break;
            }
            case kEnd:
                if constexpr (kMonitor) {
                    trace[pc] = logic.flowByte(logic.acc);
                }
                m_pc = pc;
                m_accumulator = logic.acc;
                m_stackTop = logic.top;
                m_stackCount = logic.count;
                m_wordsRun = wordsRun + (pc - segmentStart);
                return;
            default: ++pc; break;
        }
    }
}

Plc::Operand Plc::fetchOperand() {
    const ProgramWord* operand = m_words.data() + m_pc;
    if (operand[0] == kConstant) {
        m_pc += 2;
        return {true, operand[1], 0, 0, 0};
    }
    m_pc += 3;
    return {false, 0, operand[0], operand[1], operand[2]};
}

void Plc::skipOperand() {
    m_pc = plc::skipOperand(m_words.data(), m_pc);
}

std::int16_t Plc::fetchInt() {
    const Operand o = fetchOperand();
    return o.constant ? static_cast<std::int16_t>(static_cast<std::uint32_t>(o.value) & 0xFFFF)
                      : readInt(o.area, o.byteOffset);
}

std::int32_t Plc::fetchDint() {
    const Operand o = fetchOperand();
    return o.constant ? o.value : readDint(o.area, o.byteOffset);
}

std::uint8_t Plc::fetchByte() {
    const Operand o = fetchOperand();
    return o.constant ? static_cast<std::uint8_t>(static_cast<std::uint32_t>(o.value) & 0xFF)
                      : readByte(o.area, o.byteOffset);
}

std::uint16_t Plc::fetchWord() {
    const Operand o = fetchOperand();
    return o.constant ? static_cast<std::uint16_t>(static_cast<std::uint32_t>(o.value) & 0xFFFF)
                      : readWord(o.area, o.byteOffset);
}

std::int32_t Plc::fetchBcd4() {
    const Operand o = fetchOperand();
    // A constant is the input's value already; it is held in the 16-bit register.
    return o.constant ? static_cast<std::int16_t>(static_cast<std::uint32_t>(o.value) & 0xFFFF)
                      : readBcd4(o.area, o.byteOffset);
}

}  // namespace plc
