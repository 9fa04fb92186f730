// The translator's state, its primitives, the driver loop and the rung search.
#include "translator/translator.h"

#include "document/cell_code.h"
#include "document/cell_text.h"
#include "document/cp1250.h"
#include "operands/memory_area.h"
#include "plc/program.h"
#include "translator/cell_rules.h"
#include "translator/listing_text.h"
#include "translator/translation_error.h"

#include <cerrno>

namespace translator {

namespace {

using document::ElementKind;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Life cycle and results

void Translator::init(int rowCount) {
    release();
    m_rowCount = rowCount > 0 ? rowCount : 0;
    const std::size_t cells = static_cast<std::size_t>(m_rowCount) * 10;
    m_cellCode.assign(cells, 0);
    m_cellText.assign(cells, std::string());
    m_emitted.assign(cells, 0);
    m_explored.assign(cells, 0);
    m_visited.assign(cells, 0);
    m_written.assign(cells, 0);

    m_traceError.clear();
    if (!m_tracePath.empty()) {
        // A trace that cannot be opened leaves the stream closed; trace() then writes nothing.
        errno = 0;
        m_trace.open(m_tracePath, std::ios::out | std::ios::trunc);
        if (!m_trace.is_open()) {
            noteTraceFailure();
        }
    }

    m_row = 0;
    m_col = 0;
    m_StosS.fill(0);
    m_StosP.fill(0);
    m_IndexS = 0;
    m_IndexP = 0;
    clearOutputTable();
    m_coilCount = 0;
    m_groupIndex = 0;
    m_BylStyk = false;
    m_newLoad = false;
    m_errorCode = 0;
    m_errorPos = 0;
    m_foundAny = false;
    m_blockChained = false;
    m_regArea = 0;
    m_regOffset = 0;
    m_headPos = 0;
    m_edgeCount = 0;
    m_timerCount = 0;
    m_words.clear();
    m_words.reserve(kMaxWords);
    m_lines.clear();
    m_lines.reserve(256);
    m_sourceCell = kNoCell;
    m_wordCells.clear();
    m_wordCells.reserve(kMaxWords);
    m_lineCells.clear();
    m_lineCells.reserve(256);
    m_jumps.clear();
    m_jumps.reserve(static_cast<std::size_t>(m_jumpCount > 0 ? m_jumpCount : 0) + 1);
    m_mcrs.clear();
    m_mcrs.reserve(static_cast<std::size_t>(m_mcrCount > 0 ? m_mcrCount : 0) + 1);
    m_notes = {};
}

void Translator::setCell(int row, int col, std::int32_t code, std::string_view text) {
    if (!inGrid(row, col)) {
        return;
    }
    const std::size_t i = cellIndex(row, col);
    m_cellCode[i] = code;
    m_cellText[i] = std::string(text);
}

void Translator::release() {
    if (m_trace.is_open()) {
        m_trace.flush();
        if (!m_trace) {
            noteTraceFailure();
        }
        m_trace.close();
        if (m_trace.fail()) {
            noteTraceFailure();
        }
    }
    m_trace.clear();
    m_rowCount = 0;
    m_cellCode = {};
    m_cellText = {};
    m_emitted = {};
    m_explored = {};
    m_visited = {};
    m_written = {};
    m_jumps = {};
    m_mcrs = {};
}

std::string Translator::line(int i) const {
    if (i < 0 || i >= lineCount()) {
        return {};
    }
    return m_lines[static_cast<std::size_t>(i)];
}

std::int32_t Translator::word(int i) const {
    if (i == wordCount()) {
        return plc::kEnd;
    }
    if (i < 0 || i > wordCount()) {
        return 0;
    }
    return m_words[static_cast<std::size_t>(i)];
}

std::vector<std::int32_t> Translator::programWords() const {
    std::vector<std::int32_t> words = m_words;
    words.push_back(plc::kEnd);
    return words;
}

std::vector<TranslationWarning> Translator::warnings() const {
    return failed() ? std::vector<TranslationWarning>{} : m_notes.warnings();
}

SourceMap Translator::sourceMap() const {
    SourceMap map{m_lineCells, m_wordCells};
    map.wordCells.push_back(kNoCell);  // the end word that closes the program
    return map;
}

// ---------------------------------------------------------------------------------------------
// Grid and relations

bool Translator::inGrid(int row, int col) const {
    return row >= 0 && row < m_rowCount && col >= 0 && col < 10;
}

std::size_t Translator::cellIndex(int row, int col) const {
    return static_cast<std::size_t>(row) * 10 + static_cast<std::size_t>(col);
}

std::int32_t Translator::codeAt(int row, int col) const {
    return inGrid(row, col) ? m_cellCode[cellIndex(row, col)] : 0;
}

const std::string& Translator::textAt(int row, int col) const {
    static const std::string kEmpty;
    return inGrid(row, col) ? m_cellText[cellIndex(row, col)] : kEmpty;
}

void Translator::setPosition(int pos) {
    m_row = pos / 10;
    m_col = pos % 10;
}

int Translator::firstOutput() const {
    const int entry = m_outputTable[0][0];
    return entry == kNoOutput ? 0 : entry;
}

std::uint8_t Translator::mark(Mark which, int row, int col) const {
    if (!inGrid(row, col)) {
        return 0;
    }
    const std::size_t i = cellIndex(row, col);
    switch (which) {
        case Mark::Emitted: return m_emitted[i];
        case Mark::Explored: return m_explored[i];
    }
    return 0;
}

void Translator::setMark(Mark which, int row, int col, std::uint8_t value) {
    if (!inGrid(row, col)) {
        return;
    }
    const std::size_t i = cellIndex(row, col);
    switch (which) {
        case Mark::Emitted: m_emitted[i] = value; return;
        case Mark::Explored: m_explored[i] = value; return;
    }
}

bool Translator::linkUp() const {
    return m_row > 0 && document::hasUpFlag(code()) && document::hasLink(codeAt(m_row - 1, m_col));
}

bool Translator::linkDown() const {
    return m_row < m_rowCount - 1 && document::hasDownFlag(code()) &&
           document::hasUpFlag(codeAt(m_row + 1, m_col));
}

bool Translator::connectedLeft() const {
    const std::int32_t c = code();
    return m_col > 0 && (isConductor(c) || document::hasLink(c)) &&
           isConductor(codeAt(m_row, m_col - 1));
}

bool Translator::connectedRight() const {
    const std::int32_t right = codeAt(m_row, m_col + 1);
    return m_col < 9 && isConductor(code()) && (isConductor(right) || document::hasLink(right));
}

// ---------------------------------------------------------------------------------------------
// Outputs, trace, errors, stacks

void Translator::trace(std::string_view text) {
    if (m_trace.is_open()) {
        m_trace << text << '\n';
        if (!m_trace) {
            noteTraceFailure();
        }
    }
}

void Translator::noteTraceFailure() {
    // The first failure is the reason; the stream writes nothing more after it. The system's
    // error is read at once, before another call can overwrite it.
    if (!m_traceError) {
        m_traceError = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    }
}

void Translator::traceOutputTable() {
    if (!m_trace.is_open()) {
        return;
    }
    for (int g = 0; g < kOutputGroups; ++g) {
        std::string row;
        for (int i = 0; i < kOutputGroups; ++i) {
            const int entry = output(g, i);
            if (i > 0) {
                row += ' ';
            }
            row += number(entry == kNoOutput ? 0 : entry);
        }
        trace(row);
    }
}

void Translator::addLine(std::string text) {
    if (static_cast<int>(m_lines.size()) >= kMaxLines) {
        fail(static_cast<int>(TranslationError::ProgramTooLarge));
        return;
    }
    m_lines.push_back(std::move(text));
    m_lineCells.push_back(m_sourceCell);
}

void Translator::addRule() {
    const SourceScope none(*this, kNoCell);
    addLine(kRule);
}

void Translator::addWord(std::int32_t value) {
    // One entry stays free for the end word that closes the program.
    if (static_cast<int>(m_words.size()) >= kMaxWords - 1) {
        fail(static_cast<int>(TranslationError::ProgramTooLarge));
        return;
    }
    m_words.push_back(value);
    m_wordCells.push_back(m_sourceCell);
}

void Translator::addAddressWords(std::string_view operand) {
    addWord(areaCode(operand));
    if (isWordAddress(operand)) {
        addWord(wordOffset(operand));
        addWord(0);
    } else {
        addWord(bitByte(operand));
        addWord(bitIndex(operand));
    }
}

void Translator::fail(int code, int pos) {
    if (m_errorCode == 0) {
        m_errorCode = code;
        m_errorPos = pos;
    }
}

int Translator::stepLimit() const {
    return 8 * m_rowCount * 10 + 64;
}

std::int32_t Translator::topS() const {
    return m_IndexS > 0 ? m_StosS[static_cast<std::size_t>(m_IndexS - 1)] : 0;
}

std::int32_t Translator::topP() const {
    return m_IndexP > 0 ? m_StosP[static_cast<std::size_t>(m_IndexP - 1)] : 0;
}

void Translator::pushS(std::int32_t value) {
    if (m_IndexS >= kStackSize) {
        fail(static_cast<int>(TranslationError::ProgramTooLarge));
        return;
    }
    m_StosS[static_cast<std::size_t>(m_IndexS++)] = value;
}

void Translator::pushP(std::int32_t value) {
    if (m_IndexP >= kStackSize) {
        fail(static_cast<int>(TranslationError::ProgramTooLarge));
        return;
    }
    m_StosP[static_cast<std::size_t>(m_IndexP++)] = value;
}

void Translator::popS() {
    if (m_IndexS > 0) {
        --m_IndexS;
    }
}

void Translator::popP() {
    if (m_IndexP > 0) {
        --m_IndexP;
    }
}

void Translator::clearOutputTable() {
    for (auto& group : m_outputTable) {
        group.fill(kNoOutput);
    }
}

// ---------------------------------------------------------------------------------------------
// The driver loop

int Translator::Translate() {
    if (checkOperands() != 0 || resolveLabels() != 0) {
        return 1;
    }
    // Every rung marks its start visited, so there are at most as many rungs as rows.
    for (int rung = 0; rung <= m_rowCount; ++rung) {
        if (findBlockStart() != 0) {
            return 1;
        }
        if (output(0, 0) == kNoOutput) {
            return checkWrittenOutputs();  // the end word is implied at index wordCount
        }
        if (Pozostale() != 0) {
            return 1;
        }
        // Chained blocks add groups as they go; a rung cannot need more groups than cells.
        int groups = 0;
        do {
            if (++groups > m_rowCount * 10 + kOutputGroups) {
                fail(static_cast<int>(TranslationError::BrokenConnection));
                return 1;
            }
            m_headPos = output(0, 0);
            setPosition(m_headPos);
            const std::int32_t head = code();
            int result = 0;
            if (document::isCoil(head)) {
                result = emitCondition();
                if (result == 0) {
                    emitCoils();
                }
            } else if (document::isBlockTop(head)) {
                result = emitBlock();
            } else if (document::isControl(head)) {
                result = emitControl();
            }
            if (result != 0 || failed()) {
                return 1;
            }
        } while (CzyWiecej());
    }
    return failed() ? 1 : checkWrittenOutputs();
}

int Translator::checkWrittenOutputs() {
    for (int row = 0; row < m_rowCount; ++row) {
        for (int col = 0; col < 10; ++col) {
            const std::int32_t c = codeAt(row, col);
            // A contact or coil on a word reads or writes its bit 0 alone.
            const bool inProgram = document::isCoil(c) ? m_written[cellIndex(row, col)] != 0
                                                       : m_visited[cellIndex(row, col)] != 0;
            if (document::takesOperand(c) && inProgram &&
                isWordAddress(wyluskaj(textAt(row, col)))) {
                m_notes.wordBit(row * 10 + col, document::isCoil(c), wyluskaj(textAt(row, col)));
            }
            const bool output =
                document::isCoil(c) || document::isBlockTop(c) || document::isControl(c);
            if (!output || m_written[cellIndex(row, col)] != 0) {
                continue;
            }
            // An END or LABEL away from the first column is misplaced wherever it stands; any
            // other output is cut off from the rail.
            const std::int32_t kind = document::kindOf(c);
            const bool misplaced =
                (kind == ElementKind::End || kind == ElementKind::Label) && col != 0;
            trace("Blad " + number(misplaced ? 28 : 2) + " w" + number(row + 1) + " k" +
                  number(col + 1));
            fail(static_cast<int>(misplaced ? TranslationError::MisplacedEndOrLabel
                                            : TranslationError::BrokenConnection),
                 row * 10 + col);
            return 1;
        }
    }
    return 0;
}

int Translator::checkOperands() {
    // Every contact and coil needs an address to read or write, linked or not: one that names
    // a reference of a known area, or it would silently read or write some other bit.
    for (int col = 0; col < 10; ++col) {
        for (int row = 0; row < m_rowCount; ++row) {
            const std::int32_t c = codeAt(row, col);
            if ((document::isContact(c) || document::isCoil(c)) &&
                !operands::readAddress(wyluskaj(textAt(row, col)))) {
                fail(static_cast<int>(TranslationError::MissingOperand), row * 10 + col);
                return 1;
            }
        }
    }
    return 0;
}

int Translator::resolveLabels() {
    const int savedRow = m_row;
    const int savedCol = m_col;
    for (int col = 0; col < 10; ++col) {
        for (int row = 0; row < m_rowCount; ++row) {
            const std::int32_t kind = document::kindOf(codeAt(row, col));
            if (kind == ElementKind::Mcr) {
                m_mcrs.push_back({document::fieldOf(textAt(row, col), 'A'), row * 10 + col, false});
            } else if (kind == ElementKind::Jump) {
                m_jumps.push_back(
                    {document::fieldOf(textAt(row, col), 'A'), row * 10 + col, false});
            }
        }
    }
    for (int col = 0; col < 10; ++col) {
        for (int row = 0; row < m_rowCount; ++row) {
            const std::int32_t kind = document::kindOf(codeAt(row, col));
            if (kind != ElementKind::EndMcr && kind != ElementKind::Label) {
                continue;
            }
            auto& table = kind == ElementKind::Label ? m_jumps : m_mcrs;
            const int found = labelIndex(table, document::fieldOf(textAt(row, col), 'A'));
            if (found < 0) {
                fail(static_cast<int>(kind == ElementKind::Label
                                          ? TranslationError::LabelWithoutJump
                                          : TranslationError::EndMcrWithoutMcr),
                     row * 10 + col);
                return 1;
            }
            LabelEntry& entry = table[static_cast<std::size_t>(found)];
            if (entry.matched) {
                fail(static_cast<int>(TranslationError::DuplicateLabel), row * 10 + col);
                return 1;
            }
            entry.matched = true;
        }
    }
    for (const LabelEntry& jump : m_jumps) {
        if (!jump.matched) {
            fail(static_cast<int>(TranslationError::JumpWithoutLabel), jump.pos);
            return 1;
        }
    }
    for (const LabelEntry& mcr : m_mcrs) {
        if (!mcr.matched) {
            fail(static_cast<int>(TranslationError::McrWithoutEndMcr), mcr.pos);
            return 1;
        }
    }
    m_row = savedRow;
    m_col = savedCol;
    return 0;
}

int Translator::labelIndex(const std::vector<LabelEntry>& table, std::string_view label) const {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].label == label) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// The rung search

int Translator::findBlockStart() {
    m_row = 0;
    m_col = 0;
    Move last = Move::Side;
    clearOutputTable();
    m_coilCount = 0;
    if (m_rowCount == 0) {
        trace("Nie znalazłem początku. Jestem w wierszu " + number(1));
        if (m_foundAny) {
            return 0;
        }
        fail(static_cast<int>(TranslationError::NoRungStart), 0);
        return 1;
    }

    auto startable = [this] { return isRungStart(code()) && m_visited[cellIndex(m_row, 0)] == 0; };
    while (!startable() && m_row < m_rowCount - 1) {
        ++m_row;
    }
    if (!startable()) {
        trace("Nie znalazłem początku. Jestem w wierszu " + number(m_row + 1));
        if (m_foundAny) {
            return 0;
        }
        fail(static_cast<int>(TranslationError::NoRungStart));
        return 1;
    }
    trace("Znalazlem poczatek bloku w wierszu nr " + number(m_row + 1));
    m_visited[cellIndex(m_row, m_col)] = 1;

    const int limit = stepLimit();
    for (int step = 0; step < limit; ++step) {
        const std::int32_t c = code();
        if (document::isBlockTop(c) || document::isCoil(c) || document::isControl(c)) {
            const std::int32_t kind = document::kindOf(c);
            if (document::isCoil(c) && m_col != 9) {
                fail(static_cast<int>(TranslationError::CoilNotInLastColumn));
                return 1;
            }
            if (document::isControl(c) &&
                (kind == ElementKind::End || kind == ElementKind::Label) && m_col != 0) {
                fail(static_cast<int>(TranslationError::MisplacedEndOrLabel));
                return 1;
            }
            const std::string where =
                " wiersz : " + number(m_row + 1) + " kolumna: " + number(m_col + 1);
            if (document::isControl(c)) {
                trace("Znalazlem funkcje sterujaca!" + where);
            } else if (document::isBlockTop(c)) {
                trace("Znalazlem funkcje!" + where);
            } else {
                trace("Znalazlem przekaźnik!" + where);
                ++m_coilCount;
            }
            output(0, 0) = position();
            m_foundAny = true;
            m_visited[cellIndex(m_row, m_col)] = 1;
            return 0;
        }
        if (m_col == 9 && c == ElementKind::ContinuationCoil && PrzeniesDoStyku() != 0) {
            last = Move::Side;
            continue;
        }
        if (isConductor(c) && !connectedRight()) {
            trace("Blad 2");
            fail(static_cast<int>(TranslationError::BrokenConnection));
            return 1;
        }
        if (!stepRightward(last)) {
            if (m_col != 9 || document::isBlockTop(c) || document::isCoil(c)) {
                trace("Brak ciągłości szczebla drabiny");
                fail(static_cast<int>(TranslationError::BrokenConnection));
            } else {
                fail(static_cast<int>(TranslationError::NoOutput));
            }
            return 1;
        }
    }
    fail(static_cast<int>(TranslationError::BrokenConnection));
    return 1;
}

bool Translator::stepRightward(Move& last) {
    if (linkUp() && last != Move::Down) {
        trace(" gora ");
        --m_row;
        last = Move::Up;
    } else if (connectedRight()) {
        trace(" w prawo ");
        ++m_col;
        last = Move::Side;
    } else if (linkDown() && last != Move::Up) {
        trace(" w dol ");
        ++m_row;
        last = Move::Down;
    } else {
        return false;
    }
    return true;
}

int Translator::PrzeniesDoStyku() {
    trace("PrzeniesDoStyku()");
    // Move first, then test: the row of the continuation coil itself may hold a continuation
    // contact that belongs to this very rung's start.
    int row = m_row;
    while (row < m_rowCount - 1) {
        ++row;
        if (codeAt(row, 0) == ElementKind::ContinuationContact &&
            m_visited[cellIndex(row, 0)] == 0) {
            m_row = row;
            m_col = 0;
            trace("PrzeniesDoStyku() YES");
            return position();
        }
    }
    trace("PrzeniesDoStyku() NO");
    return 0;
}

int Translator::PrzeniesDoPrzekaznika() {
    trace("PrzeniesDoPrzekaznika()");
    m_visited[cellIndex(m_row, m_col)] = 1;
    int row = m_row;
    while (row > 0) {
        --row;
        if (codeAt(row, 9) == ElementKind::ContinuationCoil && m_visited[cellIndex(row, 9)] == 0) {
            m_row = row;
            m_col = 9;
            trace("PrzeniesDoPrzekaznika() YES");
            return position();
        }
    }
    trace("PrzeniesDoPrzekaznika() NO");
    return 0;
}

}  // namespace translator
