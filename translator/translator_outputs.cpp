// The outputs of a rung: collecting them into groups, coil assignments and control functions.
#include "document/cell_code.h"
#include "document/cell_text.h"
#include "plc/program.h"
#include "translator/cell_rules.h"
#include "translator/listing_text.h"
#include "translator/translation_error.h"
#include "translator/translator.h"

#include <algorithm>

namespace translator {

namespace {

using document::ElementKind;

}  // namespace

int Translator::Pozostale() {
    m_groupIndex = 0;
    Move last = Move::Side;
    bool inGroup = false;
    trace(" Pozostale ------------");

    const int limit = stepLimit();
    for (int step = 0; step < limit; ++step) {
        trace(" w" + number(m_row + 1) + " k " + number(m_col + 1));
        if (document::isContact(code()) && !inGroup) {
            ++m_groupIndex;
            m_coilCount = 0;
            inGroup = true;
        }
        if (m_coilCount + m_groupIndex > kOutputGroups) {
            fail(static_cast<int>(TranslationError::TooManyOutputs));
            return 1;
        }
        if (last == Move::Down) {
            // The lower join cell of a parallel branch has no right neighbour of its own, so
            // only a cell that connects nowhere at all breaks the rung here.
            if (!connectedRight() && !linkDown() && !connectedLeft()) {
                trace("Blad 2");
                fail(static_cast<int>(TranslationError::BrokenConnection));
                return 1;
            }
            if (connectedRight()) {
                trace("znalazlem odnoge");
                if (followBranch(last, inGroup) != 0) {
                    return 1;
                }
            }
            if (document::isCoil(code())) {
                if (m_col != 9) {
                    fail(static_cast<int>(TranslationError::CoilNotInLastColumn));
                    return 1;
                }
                trace("Mam przekaznik! wiersz :" + number(m_row + 1) +
                      " kolumna: " + number(m_col + 1));
                // Entries beyond the table's eight groups of eight would never be translated.
                if (m_groupIndex >= kOutputGroups || m_coilCount >= kOutputGroups) {
                    fail(static_cast<int>(TranslationError::TooManyOutputs));
                    return 1;
                }
                if (m_groupIndex == 0 && m_coilCount == 0) {
                    // Entry (0, 0) holds the rung's head; a coil there would replace it.
                    const std::int32_t head = output(0, 0) == kNoOutput
                                                  ? 0
                                                  : codeAt(output(0, 0) / 10, output(0, 0) % 10);
                    if (document::isBlockTop(head)) {
                        fail(static_cast<int>(TranslationError::BadBlockWiring));
                        return 1;
                    }
                    if (document::isControl(head)) {
                        fail(static_cast<int>(TranslationError::ControlNotAlone));
                        return 1;
                    }
                }
                output(m_groupIndex, m_coilCount) = position();
                ++m_coilCount;
                inGroup = false;
            }
        }
        if (linkDown() && last != Move::Up) {
            ++m_row;
            last = Move::Down;
        } else if (connectedLeft()) {
            --m_col;
            last = Move::Side;
        } else if (linkUp() && last != Move::Down) {
            --m_row;
            last = Move::Up;
        } else {
            trace(" Pozostale zakonczone.");
            traceOutputTable();
            return 0;
        }
    }
    fail(static_cast<int>(TranslationError::BrokenConnection));
    return 1;
}

int Translator::followBranch(Move& last, bool& inGroup) {
    const int limit = stepLimit();
    for (int step = 0; step < limit; ++step) {
        if (document::isCoil(code())) {
            return 0;
        }
        if (document::isContact(code()) && !inGroup) {
            ++m_groupIndex;
            m_coilCount = 0;
            inGroup = true;
        }
        if (linkUp() && last != Move::Down) {
            --m_row;
            last = Move::Up;
        } else if (connectedRight()) {
            ++m_col;
            last = Move::Side;
        } else if (linkDown() && last != Move::Up) {
            ++m_row;
            last = Move::Down;
        } else {
            trace("Blad 2");
            fail(static_cast<int>(TranslationError::BrokenConnection));
            return 1;
        }
    }
    fail(static_cast<int>(TranslationError::BrokenConnection));
    return 1;
}

bool Translator::CzyWiecej() {
    for (int g = 1; g < kOutputGroups; ++g) {
        m_outputTable[static_cast<std::size_t>(g - 1)] = m_outputTable[static_cast<std::size_t>(g)];
    }
    m_outputTable[kOutputGroups - 1].fill(kNoOutput);
    std::fill(m_emitted.begin(), m_emitted.end(), std::uint8_t{0});
    std::fill(m_explored.begin(), m_explored.end(), std::uint8_t{0});
    trace("Funkcja CzyWiecej");
    traceOutputTable();
    return output(0, 0) != kNoOutput;
}

void Translator::emitCoils() {
    for (int i = 0; i < 10 && output(0, i) != kNoOutput; ++i) {
        const int pos = output(0, i);
        const std::int32_t kind = document::kindOf(codeAt(pos / 10, pos % 10));
        const std::string operand = wyluskaj(textAt(pos / 10, pos % 10));
        const SourceScope coil(*this, pos);
        m_written[cellIndex(pos / 10, pos % 10)] = 1;
        addLine("   = (" + number(kind) + ") " + operand);
        addWord(plc::kCoil);
        addWord(kind);
        if (kind == ElementKind::CoilPos || kind == ElementKind::CoilNeg) {
            addWord(m_edgeCount++);
        }
        addAddressWords(operand);
    }
    addRule();
}

int Translator::emitControl() {
    const int head = output(0, 0);
    setPosition(head);
    const std::int32_t kind = document::kindOf(code());
    if (kind == ElementKind::Mcr || kind == ElementKind::Jump) {
        if (emitCondition() != 0) {
            return 1;
        }
    }
    const SourceScope control(*this, head);
    m_written[cellIndex(head / 10, head % 10)] = 1;
    const std::string label = document::fieldOf(textAt(head / 10, head % 10), 'A');
    auto labelWords = [&](std::string_view name, const std::vector<LabelEntry>& table) {
        addLine("   ->  " + std::string(name) + " " + label);
        addWord(plc::kControl);
        addWord(kind);
        const int index = labelIndex(table, label);
        addWord(index < 0 ? 0 : index);
    };
    if (kind == ElementKind::Jump || kind == ElementKind::Label) {
        m_notes.control(head, kind == ElementKind::Jump, label, m_words.size());
    }
    switch (kind) {
        case ElementKind::End:
            addLine("   ->  END");
            addWord(plc::kEnd);
            break;
        case ElementKind::Mcr: labelWords("MCR", m_mcrs); break;
        case ElementKind::EndMcr: labelWords("ENDMCR", m_mcrs); break;
        case ElementKind::Jump: labelWords("JUMP", m_jumps); break;
        case ElementKind::Label: labelWords("LABEL", m_jumps); break;
        default: break;
    }
    addRule();
    return failed() ? 1 : 0;
}

}  // namespace translator
