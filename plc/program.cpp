// The program store and the decoder of interpreter programs.
#include "plc/program.h"

#include "plc/block_layout.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <utility>

namespace plc {
namespace {

// The decoder reads a padded copy, exactly as the engine does, so that an instruction cut off
// by the end of the words still decodes.
constexpr std::size_t kPadding = 64;

std::string number(long long value) {
    return std::to_string(value);
}

std::string reference(ProgramWord area, ProgramWord byteOffset, ProgramWord bit) {
    const operands::MemoryArea* known = operands::areaWithCode(area);
    if (known == nullptr) {
        return "?(" + number(area) + "," + number(byteOffset) + "," + number(bit) + ")";
    }
    const std::string name = "%" + std::string(known->name);
    const bool wordArea = known->wordArea;
    long long ref = -1;
    if (wordArea && byteOffset >= 0 && byteOffset % 2 == 0 && bit == 0) {
        ref = byteOffset / 2 + 1;
    } else if (!wordArea && byteOffset >= 0 && bit >= 0 && bit <= 7) {
        ref = static_cast<long long>(byteOffset) * 8 + bit + 1;
    }
    if (ref < 0 || ref > 9999) {
        return name + "@" + number(byteOffset) + "." + number(bit);
    }
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04lld", ref);
    return name + digits;
}

std::string typeName(ProgramWord word) {
    for (const operands::DataType type : operands::kDataTypes) {
        if (word != 0 && typeWordOf(type) == word) {
            return std::string(operands::dataTypeWord(type));
        }
    }
    return "TYPE(" + number(word) + ")";
}

std::string timeBaseName(ProgramWord word) {
    switch (word) {
        case kTimeBase10ms: return "0.01s";
        case kTimeBase100ms: return "0.10s";
        case kTimeBase1s: return "1.00s";
        default: return "BASE(" + number(word) + ")";
    }
}

std::string coilName(ProgramWord code) {
    switch (code) {
        case kCoilNormal: return "-( )-";
        case kCoilNegated: return "-(/)-";
        case kCoilRetentive: return "-(M)-";
        case kCoilNegatedRetentive: return "-(/M)-";
        case kCoilSet: return "-(S)-";
        case kCoilReset: return "-(R)-";
        case kCoilSetRetentive: return "-(SM)-";
        case kCoilResetRetentive: return "-(RM)-";
        case kCoilPositive: return "-(^)-";
        case kCoilNegative: return "-(v)-";
        default: return "COIL(" + number(code) + ")";
    }
}

std::string controlName(ProgramWord code) {
    switch (code) {
        case kControlMcr: return "MCR";
        case kControlEndMcr: return "ENDMCR";
        case kControlJump: return "JUMP";
        case kControlLabel: return "LABEL";
        default: return "CONTROL(" + number(code) + ")";
    }
}

class Decoder {
public:
    explicit Decoder(std::span<const ProgramWord> words) : m_size(words.size()) {
        m_words.assign(words.begin(), words.end());
        m_words.insert(m_words.end(), kPadding, kEnd);
    }

    std::vector<DecodedInstruction> run() {
        std::vector<DecodedInstruction> out;
        std::size_t pc = 0;
        while (pc < m_size) {
            DecodedInstruction instruction;
            instruction.first = pc;
            const ProgramWord op = m_words[pc];
            instruction.text = decodeOne(pc);
            instruction.count = std::min(pc, m_size) - instruction.first;
            out.push_back(std::move(instruction));
            if (op == kEnd) {
                break;
            }
        }
        return out;
    }

private:
    // Decodes the instruction at `pc` and moves `pc` past it.
    std::string decodeOne(std::size_t& pc) {
        const ProgramWord op = m_words[pc++];
        switch (op) {
            case kLoad:
            case kLoadNot:
            case kAnd:
            case kAndNot:
            case kOrStack:
            case kAndStack: return logic(op, pc);
            case kCoil: {
                const ProgramWord code = m_words[pc++];
                std::string text = coilName(code);
                if (code == kCoilPositive || code == kCoilNegative) {
                    text += " #" + number(m_words[pc++]);
                }
                return text + " " + address(pc);
            }
            case kBlock: return block(pc);
            case kControl: {
                const ProgramWord code = m_words[pc];
                const ProgramWord name = m_words[pc + 1];
                pc += 2;
                return controlName(code) + " " + number(name);
            }
            case kEnd: return "END";
            default: return "WORD " + number(op);
        }
    }

    std::string logic(ProgramWord op, std::size_t& pc) {
        switch (op) {
            case kLoad: return "LOAD " + address(pc);
            case kLoadNot: return "LOAD NOT " + address(pc);
            case kAnd: return "AND " + address(pc);
            case kAndNot: return "AND NOT " + address(pc);
            case kOrStack: return "OR (S)";
            default: return "AND (S)";
        }
    }

    // A contact or coil operand: always three words.
    std::string address(std::size_t& pc) {
        const std::string text = reference(m_words[pc], m_words[pc + 1], m_words[pc + 2]);
        pc += 3;
        return text;
    }

    // A block operand, read by its first word.
    std::string operand(std::size_t& pc) {
        if (m_words[pc] == kConstant) {
            const std::string text = number(m_words[pc + 1]);
            pc += 2;
            return text;
        }
        return address(pc);
    }

    std::string input(std::size_t& pc) {
        std::string text = "[";
        for (;;) {
            const ProgramWord op = m_words[pc];
            if (op == kEnd) {
                break;
            }
            ++pc;
            if (op == kEndOfInput) {
                break;
            }
            if (text.size() > 1) {
                text += ", ";
            }
            text += op >= kAndStack && op <= kLoad ? logic(op, pc) : "WORD " + number(op);
        }
        return text + "]";
    }

    std::string block(std::size_t& pc) {
        const ProgramWord code = m_words[pc++];
        const BlockLayout& layout = blockLayout(code);
        std::string text =
            layout.name == "?" ? "BLOCK(" + number(code) + ")" : std::string(layout.name);
        text += " " + input(pc);
        for (LayoutItem item : layout.items) {
            switch (item) {
                case LayoutItem::Input: text += " " + input(pc); break;
                case LayoutItem::Operand:
                case LayoutItem::Address: text += " " + operand(pc); break;
                case LayoutItem::Index: text += " #" + number(m_words[pc++]); break;
                case LayoutItem::TimeBase: text += " " + timeBaseName(m_words[pc++]); break;
                case LayoutItem::Type: text += " " + typeName(m_words[pc++]); break;
                case LayoutItem::TypeOrEnd:
                    if (!acceptsType(layout, m_words[pc])) {
                        return text;
                    }
                    text += " " + typeName(m_words[pc++]);
                    break;
                case LayoutItem::Length:
                    text += " LEN " + number(m_words[pc + 1]);
                    pc += 2;
                    break;
                case LayoutItem::Optional:
                    if (startsOperand(m_words[pc])) {
                        text += " " + operand(pc);
                    }
                    break;
            }
        }
        return text;
    }

    std::vector<ProgramWord> m_words;
    std::size_t m_size;
};

}  // namespace

Program::Program(std::vector<ProgramWord> words, std::int32_t edgeCount, std::int32_t timerCount)
    : m_words(std::move(words)), m_edgeCount(edgeCount), m_timerCount(timerCount) {}

bool Program::allocateWords(std::size_t count) {
    try {
        m_words.assign(count, kEnd);
    } catch (const std::bad_alloc&) {
        m_words.clear();
        return false;
    } catch (const std::length_error&) {
        m_words.clear();
        return false;
    }
    return true;
}

void Program::setWord(std::size_t index, ProgramWord word) {
    if (index < m_words.size()) {
        m_words[index] = word;
    }
}

void Program::setTableSizes(std::int32_t edgeCount, std::int32_t timerCount) {
    m_edgeCount = edgeCount;
    m_timerCount = timerCount;
}

void Program::clear() {
    m_words = {};
    m_edgeCount = 0;
    m_timerCount = 0;
}

std::vector<DecodedInstruction> decodeProgram(std::span<const ProgramWord> words) {
    return Decoder(words).run();
}

std::string formatProgram(std::span<const ProgramWord> words) {
    std::string out;
    for (const DecodedInstruction& instruction : decodeProgram(words)) {
        out += number(static_cast<long long>(instruction.first)) + ": " + instruction.text + "\n";
    }
    return out;
}

}  // namespace plc
