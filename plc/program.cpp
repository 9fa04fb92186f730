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

// Reads a program instruction by instruction, as text; on the way it notes the first word that
// the engine would not read as the translator means it (`check`).
class Decoder {
public:
    explicit Decoder(std::span<const ProgramWord> words, std::int64_t edgeCount = 0,
                     std::int64_t timerCount = 0)
        : m_size(words.size()), m_edgeCount(edgeCount), m_timerCount(timerCount) {
        m_words.assign(words.begin(), words.end());
        m_words.insert(m_words.end(), kPadding, kEnd);
    }

    ProgramCheck check() {
        std::size_t pc = 0;
        bool ended = false;
        while (pc < m_size) {
            const std::size_t first = pc;
            const ProgramWord op = m_words[pc];
            decodeOne(pc);
            // Reading into the padding, or taking the closing end marker as an operand, means
            // the instruction's words were cut off; that says more than what was read there.
            const bool cutOff = pc > m_size || (op != kEnd && pc == m_size && m_size > 0 &&
                                                m_words[m_size - 1] == kEnd);
            if (cutOff) {
                return {ProgramFault::CutOff, first};
            }
            if (m_check.fault != ProgramFault::None) {
                return m_check;
            }
            ended = op == kEnd;
        }
        if (!ended) {
            return {ProgramFault::MissingEnd, m_size};
        }
        return {};
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
    void note(ProgramFault fault, std::size_t index) {
        if (m_check.fault == ProgramFault::None) {
            m_check = {fault, index};
        }
    }

    // Notes an index outside a table of `count` + 1 entries (the controller's sizes).
    void checkIndex(std::size_t pc, std::int64_t count) {
        if (m_words[pc] < 0 || m_words[pc] > count) {
            note(ProgramFault::TableIndex, pc);
        }
    }

    // True when three words -9 74 `number` stand anywhere among the words: the engine's
    // search for a JUMP's LABEL finds them there.
    bool hasLabel(ProgramWord number) const {
        for (std::size_t p = 0; p + 2 < m_size; ++p) {
            if (m_words[p] == kControl && m_words[p + 1] == kControlLabel &&
                m_words[p + 2] == number) {
                return true;
            }
        }
        return false;
    }

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
                if (text.front() != '-') {
                    note(ProgramFault::UnknownCoil, pc - 1);
                }
                if (code == kCoilPositive || code == kCoilNegative) {
                    checkIndex(pc, m_edgeCount);
                    text += " #" + number(m_words[pc++]);
                }
                return text + " " + address(pc);
            }
            case kBlock: return block(pc);
            case kControl: {
                const ProgramWord code = m_words[pc];
                const ProgramWord name = m_words[pc + 1];
                if (code < kControlMcr || code > kControlLabel) {
                    note(ProgramFault::UnknownControl, pc);
                } else if (code == kControlJump && !hasLabel(name)) {
                    note(ProgramFault::MissingLabel, pc + 1);
                }
                pc += 2;
                return controlName(code) + " " + number(name);
            }
            case kEnd: return "END";
            default: note(ProgramFault::UnknownInstruction, pc - 1); return "WORD " + number(op);
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
        checkAddress(pc);
        const std::string text = reference(m_words[pc], m_words[pc + 1], m_words[pc + 2]);
        pc += 3;
        return text;
    }

    void checkAddress(std::size_t pc) {
        const operands::MemoryArea* area = operands::areaWithCode(m_words[pc]);
        if (area == nullptr) {
            note(ProgramFault::UnknownArea, pc);
        } else if (m_words[pc + 1] < 0 ||
                   static_cast<std::uint32_t>(m_words[pc + 1]) >= area->bytes) {
            note(ProgramFault::OutsideArea, pc + 1);
        } else if (m_words[pc + 2] < 0 || m_words[pc + 2] > 7) {
            note(ProgramFault::OutsideArea, pc + 2);
        }
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
                note(ProgramFault::BadInputWord, pc);  // an input the end marker cuts short
                break;
            }
            ++pc;
            if (op == kEndOfInput) {
                break;
            }
            if (op < kAndStack || op > kLoad) {
                note(ProgramFault::BadInputWord, pc - 1);
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
        if (layout.name == "?") {
            note(ProgramFault::UnknownBlock, pc - 1);
        }
        std::string text =
            layout.name == "?" ? "BLOCK(" + number(code) + ")" : std::string(layout.name);
        text += " " + input(pc);
        for (LayoutItem item : layout.items) {
            switch (item) {
                case LayoutItem::Input: text += " " + input(pc); break;
                case LayoutItem::Operand: text += " " + operand(pc); break;
                case LayoutItem::Address:
                    if (m_words[pc] == kConstant) {
                        note(ProgramFault::ConstantAsAddress, pc);
                    }
                    text += " " + operand(pc);
                    break;
                case LayoutItem::Index:
                    checkIndex(pc, m_timerCount);
                    text += " #" + number(m_words[pc++]);
                    break;
                case LayoutItem::TimeBase: {
                    const std::string base = timeBaseName(m_words[pc]);
                    if (base.front() == 'B') {
                        note(ProgramFault::BadTimeBase, pc);
                    }
                    text += " " + base;
                    ++pc;
                    break;
                }
                case LayoutItem::Type: {
                    const std::string type = typeName(m_words[pc]);
                    if (type.rfind("TYPE(", 0) == 0) {
                        note(ProgramFault::BadType, pc);
                    }
                    text += " " + type;
                    ++pc;
                    break;
                }
                case LayoutItem::TypeOrEnd:
                    if (!acceptsType(layout, m_words[pc])) {
                        return text;
                    }
                    text += " " + typeName(m_words[pc++]);
                    break;
                case LayoutItem::Length:
                    if (m_words[pc] != kLength) {
                        note(ProgramFault::MissingLength, pc);
                    }
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
    std::int64_t m_edgeCount;
    std::int64_t m_timerCount;
    ProgramCheck m_check;
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

ProgramCheck checkProgram(const Program& program) {
    return Decoder(program.words(), program.edgeCount(), program.timerCount()).check();
}

std::string_view programFaultText(ProgramFault fault) {
    switch (fault) {
        case ProgramFault::None: return {};
        case ProgramFault::UnknownInstruction: return "nieznany kod instrukcji";
        case ProgramFault::UnknownCoil: return "nieznany kod cewki";
        case ProgramFault::UnknownBlock: return "nieznany kod bloku funkcyjnego";
        case ProgramFault::UnknownControl: return "nieznany kod funkcji sterującej";
        case ProgramFault::UnknownArea: return "nieznany kod obszaru pamięci";
        case ProgramFault::OutsideArea: return "adres poza obszarem pamięci";
        case ProgramFault::ConstantAsAddress: return "stała w miejscu adresu";
        case ProgramFault::BadInputWord:
            return "słowo niedozwolone w wejściu bloku (tylko -1 .. -6 z adresami i -100 na końcu)";
        case ProgramFault::BadType: return "nieznane słowo typu danych";
        case ProgramFault::BadTimeBase: return "nieznana podstawa czasu (-46, -47 lub -48)";
        case ProgramFault::MissingLength: return "brak znacznika długości -26";
        case ProgramFault::TableIndex: return "numer poza tablicą zboczy lub timerów";
        case ProgramFault::MissingLabel: return "JUMP do etykiety, której nie ma w programie";
        case ProgramFault::CutOff:
            return "instrukcja urwana: jej słowa sięgają poza koniec programu";
        case ProgramFault::MissingEnd: return "program nie kończy się słowem końca -255";
    }
    return {};
}

}  // namespace plc
