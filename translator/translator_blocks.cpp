// Function blocks: the header, the enable network, each block's inputs, parameters and operands
// checked against the areas it accepts, and the walk along its power-flow output.
#include "document/cell_code.h"
#include "document/cell_text.h"
#include "operands/operand_syntax.h"
#include "translator/cell_rules.h"
#include "translator/translation_error.h"
#include "translator/translator.h"

namespace translator {

namespace {

std::string number(int value) {
    return std::to_string(value);
}

const std::string kRule = "-----------------------------------";

// Operand checks by number: which areas, and whether a constant, an input or output accepts.
bool isEightAreas(std::string_view area) {
    return area == "I" || area == "Q" || area == "M" || area == "T" || area == "G" || area == "R" ||
           area == "AI" || area == "AQ";
}

bool isWordArea(std::string_view area) {
    return area == "R" || area == "AI" || area == "AQ";
}

bool isSystemArea(std::string_view area) {
    return area == "S" || area == "SA" || area == "SB" || area == "SC";
}

bool isSystemAbc(std::string_view area) {
    return area == "SA" || area == "SB" || area == "SC";
}

// The byte at which a multi-word operand starts, as an address operand's words give it: in a
// word area two bytes per reference, in a bit area the byte holding the reference's bit (%M0017
// starts at byte 2), so that the words that follow it are the ones next to it in memory.
std::int32_t startByte(std::string_view operand) {
    return isWordAddress(operand) ? wordOffset(operand) : bitByte(operand);
}

bool isOutputCheck(int check) {
    return check == 2 || check == 4 || check == 6;
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

bool accepts(int check, std::string_view address, std::string_view constant) {
    if (address.empty()) {
        const bool constantAllowed = check == 1 || check == 3 || check == 5 || check == 12;
        return constantAllowed && isConstant(constant);
    }
    const std::string_view area = addressArea(address);
    if (area.empty()) {
        return false;
    }
    switch (check) {
        case 1:
        case 2:
        case 11: return isEightAreas(area);
        case 3:
        case 4:
        case 10: return isWordArea(area);
        case 5:
        case 7: return isEightAreas(area) || isSystemArea(area);
        case 6:
        case 8: return isEightAreas(area) || isSystemAbc(area);
        default: return false;
    }
}

}  // namespace

int Translator::emitBlock() {
    const int head = output(0, 0);
    m_headPos = head;
    setPosition(head);
    const std::int32_t kind = document::kindOf(code());
    addLine("FUNKCJA" + number(kind) + " - " + document::fieldOf(text(), 'N'));
    addWord(-8);
    addWord(kind);
    addLine("enable: ");
    if (m_blockChained) {
        addLine("     <<<<<");
        m_blockChained = false;
    } else if (walkNetwork() != 0) {
        return 1;
    }
    addWord(-100);
    setPosition(head);
    if (failed() || emitBlockItems(kind) != 0) {
        return 1;
    }
    addLine(kRule);
    return failed() ? 1 : 0;
}

int Translator::emitBlockItems(std::int32_t kind) {
    const int headRow = m_headPos / 10;
    const int headCol = m_headPos % 10;
    auto ok = [this] { return !failed(); };

    switch (kind) {
        case 17:  // ONDTR
            if (powerFlowInput(1, "reset") != 0)
                return 1;
            addWord(m_timerCount++);
            if (blockParameter(1, 'T', "time", "T: ", 23) != 0)
                return 1;
            if (blockParameter(2, 'G', "address", "A: ", 24) != 0)
                return 1;
            if (presetValue(2) != 0)
                return 1;
            registerTriple();
            return followOutput("Q:", 0);
        case 18:  // TMR
            addWord(m_timerCount++);
            if (blockParameter(1, 'T', "time", "T: ", 23) != 0)
                return 1;
            if (blockParameter(1, 'G', "address", "A: ", 24) != 0)
                return 1;
            if (presetValue(1) != 0)
                return 1;
            registerTriple();
            return followOutput("Q:", 0);
        case 19:  // UPCTR
        case 20:  // DNCTR
            if (powerFlowInput(1, "reset") != 0)
                return 1;
            if (blockParameter(2, 'G', "address", "A: ", 24) != 0)
                return 1;
            if (presetValue(2) != 0)
                return 1;
            registerTriple();
            return followOutput("Q:", 0);
        case 21:  // ADD, SUB, MUL, DIV, MOD
        case 22:
        case 23:
        case 24:
        case 25: {
            const bool isInt = blockType() == "INT";
            addWord(isInt ? -43 : -44);
            if (blockOperand(1, Side::Left, isInt ? 1 : 3, "I1") != 0)
                return 1;
            if (blockOperand(2, Side::Left, isInt ? 1 : 3, "I2") != 0)
                return 1;
            if (blockOperand(1, Side::Right, isInt ? 2 : 4, "Q") != 0)
                return 1;
            return followOutput("ok:", 0);
        }
        case 26: {  // SQRT
            const bool isInt = blockType() == "INT";
            addWord(isInt ? -43 : -44);
            if (blockOperand(1, Side::Left, isInt ? 1 : 3, "IN") != 0)
                return 1;
            if (blockOperand(1, Side::Right, isInt ? 2 : 4, "Q") != 0)
                return 1;
            return followOutput("ok:", 0);
        }
        case 27:  // EQ, NE, GT, GE, LT, LE
        case 28:
        case 29:
        case 30:
        case 31:
        case 32: {
            const bool isInt = blockType() == "INT";
            addWord(isInt ? -43 : -44);
            if (blockOperand(1, Side::Left, isInt ? 1 : 3, "I1") != 0)
                return 1;
            if (blockOperand(2, Side::Left, isInt ? 1 : 3, "I2") != 0)
                return 1;
            return followOutput("Q:", 1);
        }
        case 33:  // AND, OR, XOR
        case 34:
        case 35:
            static_cast<void>(blockType());
            addWord(-42);
            if (blockOperand(1, Side::Left, 5, "I1") != 0)
                return 1;
            if (blockOperand(2, Side::Left, 5, "I2") != 0)
                return 1;
            if (blockOperand(1, Side::Right, 6, "Q") != 0)
                return 1;
            return followOutput("ok:", 0);
        case 36:  // NOT
            static_cast<void>(blockType());
            addWord(-42);
            if (blockOperand(1, Side::Left, 5, "I1") != 0)
                return 1;
            if (blockOperand(1, Side::Right, 6, "Q") != 0)
                return 1;
            return followOutput("ok:", 0);
        case 37:  // SHL, SHR
        case 38:
            static_cast<void>(blockType());
            addWord(-42);
            lengthParameter(2);
            if (blockOperand(1, Side::Left, 7, "IN") != 0)
                return 1;
            if (blockOperand(2, Side::Left, 1, "N") != 0)
                return 1;
            if (powerFlowInput(3, "B1") != 0)
                return 1;
            if (blockOperand(2, Side::Right, 6, "Q") != 0)
                return 1;
            return followOutput("B2:", 1);
        case 39:  // ROL, ROR
        case 40:
            static_cast<void>(blockType());
            addWord(-42);
            lengthParameter(2);
            if (blockOperand(1, Side::Left, 7, "IN") != 0)
                return 1;
            if (blockOperand(2, Side::Left, 1, "N") != 0)
                return 1;
            if (blockOperand(1, Side::Right, 6, "Q") != 0)
                return 1;
            return followOutput("ok:", 0);
        case 41:  // BITTST
            static_cast<void>(blockType());
            addWord(-42);
            lengthParameter(2);
            if (blockOperand(1, Side::Left, 7, "IN") != 0)
                return 1;
            if (blockOperand(2, Side::Left, 1, "BIT") != 0)
                return 1;
            return followOutput("Q:", 1);
        case 42:  // BITSET, BITCLR
        case 43:
            static_cast<void>(blockType());
            addWord(-42);
            lengthParameter(2);
            if (blockOperand(1, Side::Left, 8, "IN") != 0)
                return 1;
            if (blockOperand(2, Side::Left, 1, "BIT") != 0)
                return 1;
            return followOutput("ok:", 0);
        case 44:  // BITPOS
            static_cast<void>(blockType());
            addWord(-42);
            lengthParameter(2);
            if (blockOperand(1, Side::Left, 7, "IN") != 0)
                return 1;
            if (blockOperand(2, Side::Right, 2, "POS") != 0)
                return 1;
            return followOutput("ok:", 0);
        case 45: {  // MOVE
            const std::string type = blockType();
            int inCheck = 0;
            int qCheck = 0;
            if (type == "INT") {
                addWord(-43);
                inCheck = 1;
                qCheck = 2;
            } else if (type == "WORD" || type == "BIT") {
                addWord(type == "WORD" ? -42 : -40);
                inCheck = 5;
                qCheck = 6;
            }
            if (inCheck != 0) {
                lengthParameter(1);
                if (blockOperand(1, Side::Left, inCheck, "IN") != 0)
                    return 1;
                if (blockOperand(1, Side::Right, qCheck, "Q") != 0)
                    return 1;
            }
            return followOutput("ok:", 0);
        }
        case 46: {  // BLKMV
            const bool isInt = blockType() == "INT";
            addWord(isInt ? -43 : -42);
            for (int i = 1; i <= 7; ++i) {
                if (blockOperand(i, Side::Left, 12, "IN" + number(i)) != 0)
                    return 1;
            }
            if (blockOperand(1, Side::Right, isInt ? 2 : 6, "Q") != 0)
                return 1;
            const std::string q = document::fieldOf(textAt(headRow + 1, headCol + 1), 'A');
            for (int i = 0; i < 6; ++i) {
                addWord(areaCode(q));
                addWord(startByte(q) + 2 * (i + 1));
                addWord(0);
            }
            return followOutput("ok:", 0);
        }
        case 47:  // BLKCLR
            static_cast<void>(blockType());
            addWord(-42);
            lengthParameter(1);
            if (blockOperand(1, Side::Left, 5, "IN") != 0)
                return 1;
            return followOutput("ok:", 0);
        case 48:  // SHFR
            addWord(blockType() == "WORD" ? -42 : -40);
            lengthParameter(2);
            if (powerFlowInput(1, "R") != 0)
                return 1;
            if (blockOperand(2, Side::Left, 5, "IN") != 0)
                return 1;
            if (blockOperand(3, Side::Left, 8, "ST") != 0)
                return 1;
            if (blockOperand(1, Side::Right, 6, "Q") != 0)
                return 1;
            return followOutput("ok:", 0);
        case 49:  // BITSEQ
            if (blockParameter(4, 'G', "address", "A: ", 24) != 0)
                return 1;
            if (powerFlowInput(1, "R") != 0)
                return 1;
            if (powerFlowInput(2, "DIR") != 0)
                return 1;
            if (optionalOperand(3, 1, "STEP") != 0)
                return 1;
            if (optionalOperand(4, 6, "ST") != 0)
                return 1;
            return followOutput("ok:", 0);
        case 50:  // COMRQ
            // Each input is read beside the row that is labelled with it: IN, SYSID, TASK.
            if (blockOperand(1, Side::Left, 10, "IN") != 0)
                return 1;
            if (blockOperand(2, Side::Left, 1, "SYSID") != 0)
                return 1;
            if (blockOperand(3, Side::Left, 3, "TASK") != 0)
                return 1;
            return followOutput("FT:", 1);
        case 51:  // SRH EQ .. SRH LE
        case 52:
        case 53:
        case 54:
        case 55:
        case 56: {
            const std::string type = blockType();
            int arCheck = 0;
            int inCheck = 0;
            if (type == "INT") {
                addWord(-43);
                arCheck = 11;
                inCheck = 1;
            } else if (type == "DINT") {
                addWord(-44);
                arCheck = 10;
                inCheck = 3;
            } else if (type == "BYTE" || type == "WORD") {
                addWord(type == "BYTE" ? -41 : -42);
                arCheck = 7;
                inCheck = 5;
            }
            if (arCheck != 0) {
                lengthParameter(2);
                if (blockOperand(1, Side::Left, arCheck, "AR") != 0)
                    return 1;
                if (blockOperand(2, Side::Left, 1, "NXWE") != 0)
                    return 1;
                if (blockOperand(3, Side::Left, inCheck, "IN") != 0)
                    return 1;
                if (blockOperand(2, Side::Right, 2, "NXWY") != 0)
                    return 1;
            }
            return followOutput("FD:", 1);
        }
        case 57: {  // ARRAY_MOVE
            const std::string type = blockType();
            int srCheck = 0;
            int dsCheck = 0;
            if (type == "INT") {
                addWord(-43);
                srCheck = 11;
                dsCheck = 6;
            } else if (type == "DINT") {
                addWord(-44);
                srCheck = 10;
                dsCheck = 4;
            } else if (type == "BYTE" || type == "WORD" || type == "BIT") {
                addWord(type == "BYTE" ? -41 : (type == "WORD" ? -42 : -40));
                srCheck = 8;
                dsCheck = 6;
            }
            if (srCheck != 0) {
                lengthParameter(2);
                if (blockOperand(1, Side::Left, srCheck, "SR") != 0)
                    return 1;
                if (blockOperand(2, Side::Left, 1, "SNX") != 0)
                    return 1;
                if (blockOperand(3, Side::Left, 1, "DNX") != 0)
                    return 1;
                if (blockOperand(4, Side::Left, 1, "N") != 0)
                    return 1;
                if (blockOperand(1, Side::Right, dsCheck, "DS") != 0)
                    return 1;
            }
            return followOutput("ok:", 0);
        }
        case 58:  // TO BCD, TO INT
        case 59:
            static_cast<void>(blockType());
            if (blockOperand(1, Side::Left, 1, "IN") != 0)
                return 1;
            if (blockOperand(1, Side::Right, 2, "Q") != 0)
                return 1;
            return followOutput("ok:", 0);
        case 60:  // CALL
            addLine("   ->  CALL " + document::fieldOf(textAt(headRow, headCol + 1), 'Z'));
            return ok() ? 0 : 1;
        default: return ok() ? 0 : 1;
    }
}

int Translator::blockOperand(int rowOffset, Side side, int check, std::string_view label) {
    const int row = m_headPos / 10 + rowOffset;
    const int col = m_headPos % 10 + (side == Side::Left ? -1 : 1);
    const int pos = inGrid(row, col) ? row * 10 + col : m_headPos;
    const std::string& cell = textAt(row, col);
    const std::string address = document::fieldOf(cell, 'A');
    const std::string constant = document::fieldOf(cell, 'S');
    const bool isOutput = isOutputCheck(check);
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
    if (!address.empty()) {
        // Taking an element's operand is traced the same way for contacts and block operands.
        trace("f.wyluskaj");
        addLine(std::string(label) + ": " + address);
        addAddressWords(address);
    } else {
        addLine(std::string(label) + ": " + constant);
        addWord(-25);
        addWord(constantValue(constant));
    }
    return failed() ? 1 : 0;
}

int Translator::optionalOperand(int rowOffset, int check, std::string_view label) {
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
    return blockOperand(rowOffset, Side::Left, check, label);
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
    addWord(-100);
    return failed() ? 1 : 0;
}

int Translator::blockParameter(int rowOffset, char key, std::string_view placeholder,
                               std::string_view label, int missingError) {
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
        missing = reg.empty();
    }
    const bool timeBase01 = value.find("0.01") != std::string::npos;
    const bool timeBase10 = value.find("0.10") != std::string::npos;
    const bool timeBase100 = value.find("1.00") != std::string::npos;
    if (!missing && key == 'T' && !timeBase01 && !timeBase10 && !timeBase100) {
        missing = true;  // without its time-base word the timer's words would be misread
    }
    if (missing) {
        fail(missingError, pos);
        return 1;
    }
    addLine(std::string(label) + value);
    if (timeBase01) {
        addWord(-46);
    } else if (timeBase10) {
        addWord(-47);
    } else if (timeBase100) {
        addWord(-48);
    }
    if (key == 'G') {
        m_regArea = areaCode(reg);
        m_regOffset = startByte(reg);
        registerTriple();
    }
    return failed() ? 1 : 0;
}

void Translator::registerTriple() {
    for (int i = 0; i < 3; ++i) {
        addWord(m_regArea);
        addWord(m_regOffset + 2 * i);
        addWord(0);
    }
}

int Translator::presetValue(int rowOffset) {
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
    addLine("PV: " + address + constant);
    if (!address.empty()) {
        addAddressWords(address);
    } else {
        addWord(-25);
        addWord(constantValue(constant));
    }
    return failed() ? 1 : 0;
}

void Translator::lengthParameter(int rowOffset) {
    const std::string value =
        document::fieldOf(textAt(m_headPos / 10 + rowOffset, m_headPos % 10), 'D');
    addLine("LEN: " + value);
    addWord(-26);
    addWord(constantValue(value));
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
        if (m_col == 9 && code() == 8 && PrzeniesDoStyku() != 0) {
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
