// The reader of program words.
#include "plc/instruction_reader.h"

namespace plc {

namespace {

constexpr bool isContactCode(ProgramWord word) {
    return word >= kAndNot && word <= kLoad;
}

constexpr bool isStackCode(ProgramWord word) {
    return word == kOrStack || word == kAndStack;
}

}  // namespace

Instruction InstructionReader::instructionAt(std::size_t first) const {
    const ProgramWord code = word(first);
    Instruction in{InstructionKind::Unknown, code, first, first + 1, first + 1};
    switch (code) {
        case kLoad:
        case kLoadNot:
        case kAnd:
        case kAndNot:
        case kOrStack:
        case kAndStack: return stepAt(first);
        case kCoil: {
            const ProgramWord coil = word(first + 1);
            // The edge coils carry their index in the edge table before the address.
            const bool edge = coil == kCoilPositive || coil == kCoilNegative;
            in.kind = InstructionKind::Coil;
            in.operand = first + (edge ? 3 : 2);
            in.end = in.operand + 3;
            return in;
        }
        case kBlock:
            in.kind = InstructionKind::Block;
            in.end = blockEnd(first);
            break;
        case kControl:
            in.kind = InstructionKind::Control;
            in.end = first + 3;
            break;
        case kEnd: in.kind = InstructionKind::End; break;
        default: break;
    }
    in.operand = in.end;
    return in;
}

Instruction InstructionReader::stepAt(std::size_t first) const {
    const ProgramWord code = word(first);
    if (isContactCode(code)) {
        return {InstructionKind::Contact, code, first, first + 4, first + 1};
    }
    const InstructionKind kind =
        isStackCode(code) ? InstructionKind::Stack : InstructionKind::Unknown;
    return {kind, code, first, first + 1, first + 1};
}

Input InstructionReader::inputAt(std::size_t first) const {
    std::size_t pc = first;
    for (;;) {
        const ProgramWord w = word(pc);
        if (w == kEnd) {
            return {first, pc, true};
        }
        if (w == kEndOfInput) {
            return {first, pc + 1, false};
        }
        pc = stepAt(pc).end;
    }
}

std::size_t InstructionReader::blockEnd(std::size_t first) const {
    const Instruction head{InstructionKind::Block, kBlock, first, first, first};
    std::size_t end = enableInput(head).end;
    for (const BlockPart& part : parts(head)) {
        end = part.end;
    }
    return end;
}

InstructionReader::InstructionCursor::InstructionCursor(const InstructionReader& reader) {
    if (reader.size() > 0) {
        m_reader = &reader;
        m_current = reader.instructionAt(0);
    }
}

void InstructionReader::InstructionCursor::advance() {
    const std::size_t next = m_current.end;
    if (next >= m_reader->size()) {
        m_reader = nullptr;
        return;
    }
    m_current = m_reader->instructionAt(next);
}

InstructionReader::StepCursor::StepCursor(const InstructionReader& reader, const Input& input)
    : m_reader(&reader), m_stop(input.cutShort ? input.end : input.end - 1) {
    readAt(input.first);
}

void InstructionReader::StepCursor::readAt(std::size_t first) {
    if (first >= m_stop) {
        m_reader = nullptr;
        return;
    }
    m_current = m_reader->stepAt(first);
}

void InstructionReader::StepCursor::advance() {
    readAt(m_current.end);
}

InstructionReader::PartCursor::PartCursor(const InstructionReader& reader, ProgramWord code,
                                          std::size_t first)
    : m_reader(&reader), m_layout(&blockLayout(code)), m_next(first) {
    advance();
}

void InstructionReader::PartCursor::advance() {
    const BlockLayout& layout = *m_layout;
    while (m_item < layout.items.size()) {
        const std::size_t index = m_item++;
        const LayoutItem item = layout.items[index];
        const std::size_t first = m_next;
        std::size_t end = first;
        switch (item) {
            case LayoutItem::Input: end = m_reader->inputAt(first).end; break;
            case LayoutItem::Operand:
            case LayoutItem::Address: end = m_reader->operandEnd(first); break;
            case LayoutItem::Index:
            case LayoutItem::TimeBase:
            case LayoutItem::Type: end = first + 1; break;
            case LayoutItem::TypeOrEnd:
                if (!acceptsType(layout, m_reader->word(first))) {
                    m_item = layout.items.size();  // a type without operands: the block ends
                    m_reader = nullptr;
                    return;
                }
                end = first + 1;
                break;
            case LayoutItem::Length: end = first + 2; break;
            case LayoutItem::Optional:
                if (!startsOperand(m_reader->word(first))) {
                    continue;
                }
                end = m_reader->operandEnd(first);
                break;
        }
        const std::uint8_t source = layout.sources[index];
        const bool again = index > 0 && layout.sources[index - 1] == source;
        m_current = {item, first, end, source,
                     static_cast<std::uint8_t>(again ? m_current.repeat + 1 : 0)};
        m_next = end;
        return;
    }
    m_reader = nullptr;
}

}  // namespace plc
