// Function blocks: the header, the enable network, then each block's items as its description
// lists them (inputs, parameters, operands checked against the areas they accept) and the walk
// along its power-flow output.
#include "document/block_description.h"
#include "document/cell_code.h"
#include "document/cell_text.h"
#include "operands/memory_area.h"
#include "operands/operand_syntax.h"
#include "plc/program.h"
#include "translator/cell_rules.h"
#include "translator/listing_text.h"
#include "translator/translation_error.h"
#include "translator/translator.h"

#include <optional>

namespace translator {

namespace {

// A timer's or counter's register block: current value, preset copy, control word.
constexpr int kRegisterWords = 3;

// The byte at which a multi-word operand starts, as an address operand's words give it: in a
// word area two bytes per reference, in a bit area the byte holding the reference's bit (%M0017
// starts at byte 2), so that the words that follow it are the ones next to it in memory.
std::int32_t startByte(std::string_view operand) {
    return isWordAddress(operand) ? wordOffset(operand) : bitByte(operand);
}

bool isConstant(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    if (pos >= text.size()) {
        return false;
    }
    for (; pos < text.size(); ++pos) {
        if (text[pos] < '0' || text[pos] > '9') {
            return false;
        }
    }
    return true;
}

bool accepts(document::OperandCheck check, std::string_view address, std::string_view constant) {
    const document::CheckRule rule = document::checkRule(check);
    if (address.empty()) {
        return rule.constant && isConstant(constant);
    }
    const std::optional<operands::AreaReference> reference = operands::readAddress(address);
    return reference && operands::contains(rule.areas, *reference->area);
}

// True when `words` 16-bit words from the start of a (valid) address lie inside its area: the
// words a block addresses one by one after its operand (a register's three, BLKMV's seven)
// must all name memory.
bool wordsFit(std::string_view address, int words) {
    const operands::MemoryArea* area = operands::areaOfAddress(address);
    return area != nullptr && startByte(address) >= 0 &&
           static_cast<std::int64_t>(startByte(address)) + 2 * words <= area->bytes;
}

}  // namespace

int Translator::emitBlock() {
    const int head = output(0, 0);
    m_headPos = head;
    setPosition(head);
    const std::int32_t kind = document::kindOf(code());
    // A top cell of a kind no block has (a damaged file) has no words the controller could
    // read; it cannot carry the rung on.
    const std::optional<document::BlockKind> known = document::blockKindOf(kind);
    if (!known) {
        fail(static_cast<int>(TranslationError::BrokenConnection), head);
        return 1;
    }
    m_written[cellIndex(head / 10, head % 10)] = 1;
    m_blockName = document::describe(*known).placed.name;
    const SourceScope top(*this, head);
    addLine("FUNKCJA" + number(kind) + " - " + document::fieldOf(text(), 'N'));
    addWord(plc::kBlock);
    addWord(kind);
    addLine("enable: ");
    if (m_blockChained) {
        // The enable is the power-flow output of the block before; nothing is read for it.
        addLine("     <<<<<");
        m_blockChained = false;
    } else if (emitCondition() != 0) {
        return 1;
    }
    addWord(plc::kEndOfInput);
    setPosition(head);
    if (failed() || emitBlockItems(document::describe(*known)) != 0) {
        return 1;
    }
    addRule();
    return failed() ? 1 : 0;
}

int Translator::emitBlockItems(const document::BlockDescription& block) {
    using document::ItemKind;
    const int headRow = m_headPos / 10;
    const int headCol = m_headPos % 10;
    const document::TypeForm* form = nullptr;
    // A type the block does not take leaves it without items until its output.
    bool typed = true;
    m_length = 0;
    for (const document::BlockItem& item : block.items) {
        if (!typed && item.kind != ItemKind::Output) {
            continue;
        }
        int result = 0;
        const SourceScope source(*this, itemSource(block, item));
        switch (item.kind) {
            case ItemKind::PowerFlow: result = powerFlowInput(item.row, item.label); break;
            case ItemKind::TimerIndex: addWord(m_timerCount++); break;
            case ItemKind::TimeBase:
                result = blockParameter(item.row, 'T', operands::kTimePlaceholder,
                                        "T: ", TranslationError::MissingTimeBase);
                break;
            case ItemKind::Register:
                result = blockParameter(item.row, 'G', operands::kRegisterPlaceholder,
                                        "A: ", TranslationError::MissingRegister);
                break;
            case ItemKind::Preset:
                result = presetValue(item.row, document::constantLimits(item, form, m_length));
                break;
            case ItemKind::RegisterAgain: registerTriple(); break;
            case ItemKind::DataType:
                form = document::typeFormFor(block.typing, blockType());
                typed = form != nullptr;
                if (typed && block.typing.typeWord) {
                    addWord(plc::typeWordOf(form->type));
                }
                break;
            case ItemKind::Length: result = lengthParameter(item.row); break;
            case ItemKind::Operand:
                result = blockOperand(item.row, item.side, document::checkOf(item, form),
                                      item.label, document::constantLimits(item, form, m_length));
                noteOutput(item, document::checkOf(item, form), form);
                break;
            case ItemKind::OptionalOperand:
                result = optionalOperand(item.row, item.check, item.label,
                                         document::constantLimits(item, form, m_length));
                noteOutput(item, item.check, form);
                break;
            case ItemKind::FollowingWords: {
                // The words after a multi-word output: the next registers of its area.
                const std::string q =
                    document::fieldOf(textAt(headRow + item.row, headCol + 1), 'A');
                if (!wordsFit(q, item.count + 1)) {
                    fail(static_cast<int>(TranslationError::BadBlockOutput), m_headPos);
                    return 1;
                }
                for (int i = 0; i < item.count; ++i) {
                    addWord(areaCode(q));
                    addWord(startByte(q) + 2 * (i + 1));
                    addWord(0);
                }
                m_notes.widenLastOutput(2 * item.count);
                break;
            }
            case ItemKind::CallName:
                addLine("   ->  CALL " +
                        document::fieldOf(textAt(headRow + item.row, headCol + 1), 'Z'));
                break;
            case ItemKind::Output: result = followOutput(item.label, item.row); break;
        }
        if (result != 0) {
            return 1;
        }
    }
    return failed() ? 1 : 0;
}

void Translator::noteOutput(const document::BlockItem& item, document::OperandCheck check,
                            const document::TypeForm* form) {
    using document::BlockKind;
    const std::optional<BlockKind> kind =
        document::blockKindOf(document::kindOf(codeAt(m_headPos / 10, m_headPos % 10)));
    // Besides its outputs, BLKCLR clears the LEN words its IN names, and BITSET and BITCLR
    // write a bit among those of theirs.
    const bool writtenInput =
        item.side == document::Side::Left && item.row == 1 &&
        (kind == BlockKind::BlkClr || kind == BlockKind::BitSet || kind == BlockKind::BitClr);
    const bool output = document::checkRule(check).output;
    if (failed() || !(output || writtenInput)) {
        return;
    }
    const int row = m_headPos / 10 + item.row;
    const int col = m_headPos % 10 + (item.side == document::Side::Left ? -1 : 1);
    const std::string address = document::fieldOf(textAt(row, col), 'A');
    if (address.empty()) {
        return;  // an optional output left empty
    }
    // A typed output or a bit string holds elements of the block's type, LEN of them where the
    // block has a LEN; a fixed output holds one INT (a position or an index).
    const bool typed = item.source != document::CheckSource::Fixed ||
                       check == document::OperandCheck::BitStringOut || writtenInput;
    std::int64_t bits = 16;
    if (typed && form != nullptr) {
        bits = form->type == operands::DataType::Bit
                   ? 1
                   : 8 * static_cast<std::int64_t>(operands::dataTypeBytes(form->type));
    }
    if (typed && m_length > 0) {
        bits *= m_length;
    }
    const std::int64_t first = isWordAddress(address) ? 0 : bitIndex(address);
    const std::int32_t start = startByte(address);
    const auto end = static_cast<std::int32_t>(start + (first + bits + 7) / 8);
    m_notes.output(row * 10 + col, m_headPos, m_blockName, item.label, output, address,
                   areaCode(address), start, end);
}

int Translator::blockOperand(int rowOffset, document::Side side, document::OperandCheck check,
                             std::string_view label, document::ValueLimits limits) {
    const int row = m_headPos / 10 + rowOffset;
    const int col = m_headPos % 10 + (side == document::Side::Left ? -1 : 1);
    const int pos = inGrid(row, col) ? row * 10 + col : m_headPos;
    const std::string& cell = textAt(row, col);
    const std::string address = document::fieldOf(cell, 'A');
    const std::string constant = document::fieldOf(cell, 'S');
    const bool isOutput = document::checkRule(check).output;
    if (address.empty() && constant.empty()) {
        fail(static_cast<int>(isOutput ? TranslationError::MissingBlockOutput
                                       : TranslationError::MissingBlockInput),
             pos);
        return 1;
    }
    if (!accepts(check, address, constant)) {
        if (isOutput) {
            fail(static_cast<int>(TranslationError::BadBlockOutput), m_headPos);
        } else {
            fail(static_cast<int>(TranslationError::BadBlockInput), pos);
        }
        return 1;
    }
    // A constant the input cannot hold would reach the block cut to its word, or never let
    // the block act at all.
    if (address.empty() && !limits.contains(*wholeNumber(constant))) {
        fail(static_cast<int>(TranslationError::BadBlockInput), pos);
        return 1;
    }
    if (!address.empty()) {
        // Taking an element's operand is traced the same way for contacts and block operands.
        trace("f.wyluskaj");
        addLine(std::string(label) + ": " + address);
        addAddressWords(address);
    } else {
        addLine(std::string(label) + ": " + constant);
        addWord(plc::kConstant);
        addWord(constantValue(constant));
    }
    return failed() ? 1 : 0;
}

int Translator::optionalOperand(int rowOffset, document::OperandCheck check, std::string_view label,
                                document::ValueLimits limits) {
    const int row = m_headPos / 10 + rowOffset;
    const int col = m_headPos % 10 - 1;
    const int pos = inGrid(row, col) ? row * 10 + col : m_headPos;
    const std::string& cell = textAt(row, col);
    const std::string address = document::fieldOf(cell, 'A');
    const std::string constant = document::fieldOf(cell, 'S');
    if (address.empty() && constant.empty()) {
        addLine(std::string(label) + ":");
        return failed() ? 1 : 0;
    }
    if (!accepts(check, address, constant)) {
        fail(static_cast<int>(TranslationError::BadBlockInput), pos);
        return 1;
    }
    return blockOperand(rowOffset, document::Side::Left, check, label, limits);
}

int Translator::powerFlowInput(int rowOffset, std::string_view label) {
    addLine(std::string(label) + ": ");
    const int row = m_headPos / 10 + rowOffset;
    const int col = m_headPos % 10 - 1;
    if (inGrid(row, col)) {
        const int savedHead = output(0, 0);
        output(0, 0) = row * 10 + col;
        const int result = walkNetwork();
        output(0, 0) = savedHead;
        if (result != 0) {
            return 1;
        }
    }
    setPosition(m_headPos);
    addWord(plc::kEndOfInput);
    return failed() ? 1 : 0;
}

int Translator::blockParameter(int rowOffset, char key, std::string_view placeholder,
                               std::string_view label, TranslationError missingError) {
    const int row = m_headPos / 10 + rowOffset;
    const int col = m_headPos % 10;
    const int pos = inGrid(row, col) ? row * 10 + col : m_headPos;
    const std::string value = document::fieldOf(textAt(row, col), key);
    bool missing = value.empty() || value == placeholder;
    std::string reg;
    if (!missing && key == 'G') {
        // The register is typed without normalisation; any form the operand entry accepts
        // will do, anything else leaves the block without its working data.
        reg = operands::ParsePrefixedAddress(value);
        if (reg.empty()) {
            reg = operands::ParseSuffixedAddress(value);
        }
        // The block keeps its current value, preset copy and control word in three words
        // from the register on: all three must exist.
        missing = !operands::readAddress(reg) || !wordsFit(reg, kRegisterWords);
    }
    const bool timeBase01 = value.find("0.01") != std::string::npos;
    const bool timeBase10 = value.find("0.10") != std::string::npos;
    const bool timeBase100 = value.find("1.00") != std::string::npos;
    if (!missing && key == 'T' && !timeBase01 && !timeBase10 && !timeBase100) {
        missing = true;  // without its time-base word the timer's words would be misread
    }
    if (missing) {
        fail(static_cast<int>(missingError), pos);
        return 1;
    }
    addLine(std::string(label) + value);
    if (timeBase01) {
        addWord(plc::kTimeBase10ms);
    } else if (timeBase10) {
        addWord(plc::kTimeBase100ms);
    } else if (timeBase100) {
        addWord(plc::kTimeBase1s);
    }
    if (key == 'G') {
        m_regArea = areaCode(reg);
        m_regOffset = startByte(reg);
        m_notes.registers(m_headPos, m_blockName, reg, m_regArea, m_regOffset,
                          m_regOffset + 2 * kRegisterWords);
        registerTriple();
    }
    return failed() ? 1 : 0;
}

void Translator::registerTriple() {
    for (int i = 0; i < kRegisterWords; ++i) {
        addWord(m_regArea);
        addWord(m_regOffset + 2 * i);
        addWord(0);
    }
}

int Translator::presetValue(int rowOffset, document::ValueLimits limits) {
    const int row = m_headPos / 10 + rowOffset;
    const int col = m_headPos % 10 - 1;
    const int pos = inGrid(row, col) ? row * 10 + col : m_headPos;
    const std::string& cell = textAt(row, col);
    const std::string address = document::fieldOf(cell, 'A');
    const std::string constant = document::fieldOf(cell, 'S');
    if (address.empty() && constant.empty()) {
        // The controller always reads a preset; a block without one would be misread.
        fail(static_cast<int>(TranslationError::MissingBlockInput), pos);
        return 1;
    }
    if (!address.empty() && !operands::readAddress(address)) {
        fail(static_cast<int>(TranslationError::BadBlockInput), pos);
        return 1;
    }
    // A preset beyond the 16-bit word, below zero or no number at all would leave the block
    // done at the first scan or never.
    const std::optional<std::int64_t> value = wholeNumber(constant);
    if (address.empty() && (!value || !limits.contains(*value))) {
        fail(static_cast<int>(TranslationError::BadBlockInput), pos);
        return 1;
    }
    addLine("PV: " + address + constant);
    if (!address.empty()) {
        addAddressWords(address);
    } else {
        addWord(plc::kConstant);
        addWord(constantValue(constant));
    }
    return failed() ? 1 : 0;
}

int Translator::lengthParameter(int rowOffset) {
    const int row = m_headPos / 10 + rowOffset;
    const int col = m_headPos % 10;
    const std::string value = document::fieldOf(textAt(row, col), 'D');
    // The block works on LEN words or elements: at least one, counted in a whole number.
    const std::optional<std::int64_t> length = wholeNumber(value);
    if (!length || !document::kLengthLimits.contains(*length)) {
        fail(static_cast<int>(TranslationError::BadBlockInput),
             inGrid(row, col) ? row * 10 + col : m_headPos);
        return 1;
    }
    m_length = *length;
    addLine("LEN: " + value);
    addWord(plc::kLength);
    addWord(constantValue(value));
    return failed() ? 1 : 0;
}

std::string Translator::blockType() {
    const std::string type = document::fieldOf(textAt(m_headPos / 10 + 1, m_headPos % 10), 'T');
    addLine("T: " + type);
    return type;
}

int Translator::followOutput(std::string_view label, int rowOffset) {
    addLine(std::string(label));
    const int row = m_headPos / 10 + rowOffset;
    const int col = m_headPos % 10 + 1;
    if (codeAt(row, col) != 0) {
        m_row = row;
        m_col = col;
        if (WyjscieBloku() != 0) {
            return 1;
        }
    }
    return failed() ? 1 : 0;
}

int Translator::WyjscieBloku() {
    trace("Funkcja Wyjscie bloku");
    Move last = Move::Side;
    // A coil or block standing right at the output is where the power flow goes; moving off it
    // first would pass it by (a linked coil there, or a block chained without inputs).
    const bool atTarget = document::isBlockTop(code()) || document::isCoil(code());
    if (!atTarget && linkUp()) {
        trace(" gora ");
        --m_row;
        last = Move::Up;
    } else if (!atTarget && connectedRight()) {
        trace(" w prawo ");
        ++m_col;
    } else if (!atTarget && linkDown()) {
        trace(" w dol ");
        ++m_row;
        last = Move::Down;
    }

    const int limit = stepLimit();
    int step = 0;
    for (; step < limit && !document::isBlockTop(code()) && !document::isCoil(code()); ++step) {
        if (m_col == 9 && code() == document::ElementKind::ContinuationCoil &&
            PrzeniesDoStyku() != 0) {
            last = Move::Side;
            continue;
        }
        if (!stepRightward(last)) {
            if (m_col != 9) {
                trace("Brak ciągłości szczebla drabiny");
                fail(static_cast<int>(TranslationError::BrokenConnection));
            } else {
                fail(static_cast<int>(TranslationError::NoOutput));
            }
            return 1;
        }
    }
    if (step >= limit) {
        fail(static_cast<int>(TranslationError::BrokenConnection));
        return 1;
    }
    if (document::isCoil(code()) && m_col != 9) {
        fail(static_cast<int>(TranslationError::CoilNotInLastColumn));
        return 1;
    }
    if (document::isBlockTop(code())) {
        addLine("   >>>>>");
        return chainBlock();
    }
    // A coil takes the block's power flow as its condition: no network of its own.
    output(0, 0) = position();
    m_coilCount = 1;
    m_foundAny = true;
    m_visited[cellIndex(m_row, m_col)] = 1;
    if (Pozostale() != 0) {
        return 1;
    }
    emitCoils();
    return failed() ? 1 : 0;
}

int Translator::chainBlock() {
    // The chained block is translated next, as group 1; the groups waiting there move down.
    if (output(kOutputGroups - 1, 0) != kNoOutput) {
        fail(static_cast<int>(TranslationError::TooManyOutputs));
        return 1;
    }
    for (int g = kOutputGroups - 1; g > 1; --g) {
        m_outputTable[static_cast<std::size_t>(g)] = m_outputTable[static_cast<std::size_t>(g - 1)];
    }
    m_outputTable[1].fill(kNoOutput);
    output(1, 0) = position();
    m_blockChained = true;
    return failed() ? 1 : 0;
}

}  // namespace translator
