// The network walk: from an output back to the left rail, emitting the contact logic with the
// two branch stacks (positions of branches still to walk, columns where parallel blocks close).
#include "document/cell_code.h"
#include "document/cp1250.h"
#include "plc/program.h"
#include "translator/cell_rules.h"
#include "translator/listing_text.h"
#include "translator/translation_error.h"
#include "translator/translator.h"

#include <vector>

namespace translator {

namespace {

using document::ElementKind;

// The system bit that every scan sets to 1.
constexpr std::string_view kAlwaysOn = "%S0007";

}  // namespace

int Translator::walkNetwork() {
    m_IndexS = 0;
    m_IndexP = 0;
    m_coilCount = 0;
    m_groupIndex = 0;
    m_BylStyk = false;
    m_newLoad = false;
    Move last = Move::Side;
    setPosition(output(0, 0));
    Zapisz();

    const int limit = stepLimit();
    for (int step = 0; step < limit; ++step) {
        if (failed()) {
            return 1;
        }
        if (!(m_col != 0 || m_IndexS != 0 || m_IndexP != 0 ||
              code() == ElementKind::ContinuationContact)) {
            return 0;
        }
        if (m_col == 0 && code() == ElementKind::ContinuationContact &&
            PrzeniesDoPrzekaznika() != 0) {
            continue;
        }
        const bool closing = (m_col == 0 || (linkDown() && topP() == m_col)) && topS() == -1;
        if (closing || m_IndexS == 0 || !probeUp()) {
            if (topP() == m_col && (linkDown() || m_col == 0)) {
                bool closed = false;
                // The stack instructions come from the cell where the parallel block closes.
                const SourceScope junction(*this, position());
                while (topP() == m_col && (linkDown() || m_col == 0) && m_IndexP > 0) {
                    popP();
                    addLine("   OR (S)");
                    addWord(plc::kOrStack);
                    trace(" OR !!!!");
                    last = Move::Side;
                    closed = true;
                }
                if (topP() == -1) {
                    popP();
                    closed = true;
                    addLine("   AND (S)");
                    addWord(plc::kAndStack);
                    trace(" AND !!!!");
                }
                if (topS() == -1) {
                    popS();
                    closed = true;
                }
                if (!closed) {
                    // Nothing left to close here and nothing moves: the walk would repeat this
                    // very step for ever (a continuation contact without its coil).
                    fail(static_cast<int>(TranslationError::BrokenConnection));
                    return 1;
                }
                trace("bywam tutaj w" + number(m_row) + "k" + number(m_col) +
                      " indexP=" + number(m_IndexP - 1) + " StosP[IndexP]=" + number(topP()));
            } else if (rozgalezienie()) {
                if (crossing() != 0) {
                    return 1;
                }
            } else {
                trace(" Idz w>" + number(m_row + 1) + "k>" + number(m_col + 1));
                if (linkUp() && last != Move::Down) {
                    trace("idz gora");
                    --m_row;
                    last = Move::Up;
                } else if (connectedLeft()) {
                    trace("idz lewo");
                    --m_col;
                    last = Move::Side;
                    Zapisz();
                } else if (linkDown() && last != Move::Up) {
                    trace("idz dol");
                    ++m_row;
                    last = Move::Down;
                } else {
                    return 0;
                }
            }
        } else {
            // A branch has arrived under a rail that goes on above it.
            GoraPrawo();
            trace("Punkt1");
            if (popBranch() != 0) {
                return 1;
            }
            Zapisz();
        }
    }
    fail(static_cast<int>(TranslationError::BrokenConnection));
    return 1;
}

int Translator::emitCondition() {
    const std::size_t before = m_words.size();
    const int head = output(0, 0);
    if (walkNetwork() != 0) {
        return 1;
    }
    if (m_words.size() != before) {
        return failed() ? 1 : 0;
    }
    // Nothing but wires between the rail and the output: on a controller it is always
    // energised. Without an instruction of its own it would take whatever the rung before
    // left in the accumulator, so it reads the system bit that is always 1, as a contact on it
    // would be read, noted as coming from the output it serves.
    const SourceScope served(*this, head);
    addLine("   LOAD        " + std::string(kAlwaysOn));
    addWord(plc::kLoad);
    addAddressWords(kAlwaysOn);
    trace("LOAD " + std::string(kAlwaysOn));
    return failed() ? 1 : 0;
}

void Translator::Zapisz() {
    m_visited[cellIndex(m_row, m_col)] = 1;
    if (m_trace.is_open()) {
        for (int k = m_IndexP - 1; k >= 0; --k) {
            trace("IndexP " + number(k) + " =" + number(m_StosP[static_cast<std::size_t>(k)]));
        }
    }
    if (topS() == -2) {
        trace(" BylStyk = 1");
        m_BylStyk = true;
        popS();
    }
    if (document::isContact(code()) && m_emitted[cellIndex(m_row, m_col)] == 0) {
        trace("Funkcja Zapisz w>" + number(m_row + 1) + "k>" + number(m_col + 1));
        emitContact();
        m_emitted[cellIndex(m_row, m_col)] = 1;
        m_BylStyk = true;
    }
    m_newLoad = false;
}

void Translator::emitContact() {
    const SourceScope contact(*this, position());
    const std::string operand = wyluskaj(text());
    const bool negated = document::kindOf(code()) == ElementKind::ContactNC;
    const bool load = !m_BylStyk || m_newLoad;
    std::string prefix;
    std::string traced;
    std::int32_t instruction = 0;
    if (load) {
        prefix = negated ? "   LOAD NOT " : "   LOAD        ";
        traced = negated ? "LOAD NOT " : "LOAD ";
        instruction = negated ? plc::kLoadNot : plc::kLoad;
    } else {
        prefix = negated ? "   AND NOT   " : "   AND          ";
        traced = negated ? "AND NOT " : "AND  ";
        instruction = negated ? plc::kAndNot : plc::kAnd;
    }
    addLine(prefix + operand);
    addWord(instruction);
    // The operand words come from the contact's own address; the trace notes the extraction.
    trace("f.wyluskaj");
    addAddressWords(operand);
    if (m_trace.is_open()) {
        trace(traced + document::cp1250ToUtf8(operand));
    }
}

bool Translator::rozgalezienie() {
    const std::int32_t c = code();
    const bool conductor = isConductor(c);
    if (conductor && linkDown() && connectedLeft()) {
        trace("rozgalezienie1");
        return true;
    }
    if (conductor && linkDown() && linkUp()) {
        trace("rozgalezienie2");
        return true;
    }
    if (conductor && linkUp() && connectedLeft()) {
        trace("rozgalezienie3");
        return true;
    }
    if (document::linkPart(c) == document::LinkFlag::LinkBoth && connectedLeft()) {
        trace("rozgalezienie4");
        return true;
    }
    return false;
}

int Translator::crossing() {
    constexpr int kMaxFound = 10;
    const int startCol = m_col;
    std::array<int, kMaxFound> found{};
    int foundCount = 0;
    bool cameLeft = false;
    bool mayGoLeft = true;
    // Power reaches from this branch point without passing a contact: the rail (a wire in the
    // first column), or a contact's left side along a wire that leads round it.
    int railCell = kNoCell;
    int bypassCell = kNoCell;
    int previous = kNoCell;
    bool cameDownOrUp = false;
    std::vector<int> passed;

    const int limit = stepLimit();
    int step = 0;
    for (; step < limit; ++step) {
        trace("  funkcja skrzyżowanie: adres w" + number(m_row + 1) + " k" + number(m_col + 1));
        if (m_col == 0 && code() == ElementKind::ContinuationContact &&
            PrzeniesDoPrzekaznika() != 0) {
            continue;
        }
        const bool contact = document::isContact(code());
        if (m_col == 0 && !contact && railCell == kNoCell) {
            railCell = position();
        }
        const int from = position();
        passed.push_back(from);
        if (contact && cameLeft) {
            if (cameDownOrUp && bypassCell == kNoCell) {
                // Reached along the link at its left edge: the branch just left holds wires
                // alone and leads round the contact.
                bypassCell = previous;
            }
            if (foundCount >= kMaxFound) {
                fail(static_cast<int>(TranslationError::ProgramTooLarge));
                return 1;
            }
            found[static_cast<std::size_t>(foundCount++)] = position();
            ++m_col;
            cameLeft = false;
            mayGoLeft = false;
            trace(" prawo");
        } else if (linkDown() && m_explored[cellIndex(m_row + 1, m_col)] == 0) {
            ++m_row;
            mayGoLeft = true;
            trace(" dol");
        } else if (connectedLeft() && m_explored[cellIndex(m_row, m_col - 1)] == 0 && mayGoLeft) {
            --m_col;
            cameLeft = true;
            trace(" lewo");
        } else if (linkUp()) {
            m_explored[cellIndex(m_row, m_col)] = 1;
            --m_row;
            mayGoLeft = true;
            trace(" gora");
        } else if (connectedRight() && m_col < startCol) {
            m_explored[cellIndex(m_row, m_col)] = 1;
            ++m_col;
            cameLeft = false;
            trace(" prawo");
        } else {
            break;
        }
        cameDownOrUp = position() / 10 != from / 10;
        previous = from;
    }
    if (step >= limit) {
        fail(static_cast<int>(TranslationError::BrokenConnection));
        return 1;
    }
    if (foundCount == 0 && railCell != kNoCell) {
        // Wires alone lead from here to the rail: the rung conducts, and what has been emitted
        // so far is its whole condition. The walk goes on from the rail, and the wires it took
        // are walked: none of them may start a rung of its own.
        for (const int pos : passed) {
            m_visited[cellIndex(pos / 10, pos % 10)] = 1;
        }
        setPosition(railCell);
        Zapisz();
        return 0;
    }
    if (bypassCell != kNoCell || (foundCount > 0 && railCell != kNoCell)) {
        // A branch without a contact beside branches with contacts: the block would always
        // conduct, whatever its contacts read.
        fail(static_cast<int>(TranslationError::BranchWithoutContact),
             bypassCell != kNoCell ? bypassCell : railCell);
        return 1;
    }

    if (m_BylStyk && foundCount > 1) {
        pushP(-1);
        pushS(-1);
    } else if (m_BylStyk && foundCount == 1) {
        pushS(-2);
    }
    for (int i = foundCount - 1; i >= 0; --i) {
        pushS(found[static_cast<std::size_t>(i)]);
    }
    if (failed()) {
        return 1;
    }
    if (m_trace.is_open()) {
        for (int k = m_IndexS - 1; k >= 0; --k) {
            trace("IndexS " + number(k) + " =" + number(m_StosS[static_cast<std::size_t>(k)]));
        }
    }
    if (popBranch() != 0) {
        return 1;
    }
    Zapisz();
    return 0;
}

int Translator::popBranch() {
    const std::int32_t pos = topS();
    // A marker or an empty stack means a branch without a contact: there is nothing to walk.
    if (m_IndexS == 0 || pos < 0 || pos >= m_rowCount * 10) {
        fail(static_cast<int>(TranslationError::BrokenConnection));
        return 1;
    }
    setPosition(pos);
    popS();
    m_BylStyk = false;
    return 0;
}

bool Translator::probeUp() {
    if (m_col == 0) {
        return true;
    }
    if (!linkUp()) {
        return false;
    }
    const int savedRow = m_row;
    const int savedCol = m_col;
    Move last = Move::Side;
    bool answer = false;
    const int limit = stepLimit();
    for (int step = 0; step < limit; ++step) {
        if (isRunLine(code()) && last == Move::Up) {
            answer = true;
            break;
        }
        if (linkUp() && last != Move::Down) {
            --m_row;
            last = Move::Up;
        } else if (connectedLeft()) {
            --m_col;
            last = Move::Side;
        } else if (linkDown() && last != Move::Up) {
            ++m_row;
            last = Move::Down;
        } else {
            break;
        }
    }
    m_row = savedRow;
    m_col = savedCol;
    return answer;
}

void Translator::GoraPrawo() {
    if (m_col == 0) {
        pushP(0);
        trace("GoraPrawoKolumna0 Yes");
        m_newLoad = true;
        return;
    }
    if (!linkUp()) {
        return;
    }
    const int savedRow = m_row;
    const int savedCol = m_col;
    Move last = Move::Side;
    const int limit = stepLimit();
    for (int step = 0; step < limit; ++step) {
        if (isRunLine(code()) && last == Move::Up) {
            const int reached = m_col;
            m_row = savedRow;
            m_col = savedCol;
            pushP(reached);
            trace("GoraPrawo Yes");
            m_newLoad = true;
            return;
        }
        if (linkUp() && last != Move::Down) {
            trace("GoraPrawo gora");
            --m_row;
            last = Move::Up;
        } else if (connectedLeft()) {
            trace("GoraPrawo lewo");
            --m_col;
            last = Move::Side;
        } else if (linkDown() && last != Move::Up) {
            trace("GoraPrawo dol");
            ++m_row;
            last = Move::Down;
        } else {
            break;
        }
    }
    m_row = savedRow;
    m_col = savedCol;
    trace("GoraPrawo NO");
}

}  // namespace translator
