// Ladders built in code for the translator tests.
#include "tests/translator/ladder_helpers.h"

#include "document/editing.h"
#include "document/element_catalogue.h"
#include "translator/translator.h"

#include <atomic>
#include <unistd.h>

namespace translator::testing {

Ladder::Ladder(int rows) {
    if (rows > m_document.rowCount()) {
        m_document.AddRows(rows - m_document.rowCount());
    } else if (rows < m_document.rowCount()) {
        m_document.RemoveLastRows(m_document.rowCount() - rows);
    }
}

Ladder& Ladder::put(int row, int col, std::int32_t code, const std::string& text) {
    m_document.SetCellCode(row, col, code);
    m_document.SetCellText(row, col, text);
    return *this;
}

Ladder& Ladder::contact(int row, int col, const std::string& operand, int link) {
    return put(row, col, 1 + link, "#A" + operand + "#");
}

Ladder& Ladder::contactNot(int row, int col, const std::string& operand, int link) {
    return put(row, col, 2 + link, "#A" + operand + "#");
}

Ladder& Ladder::wire(int row, int col, int link) {
    return put(row, col, 7 + link);
}

Ladder& Ladder::wires(int row, int from, int to) {
    for (int col = from; col <= to; ++col) {
        wire(row, col);
    }
    return *this;
}

Ladder& Ladder::coil(int row, const std::string& operand, int kind) {
    return put(row, 9, kind, "#A" + operand + "#");
}

Ladder& Ladder::operand(int row, int col, const std::string& value) {
    const bool constant = !value.empty() && (value[0] == '+' || value[0] == '-');
    return put(row, col, m_document.CellCode(row, col),
               std::string(constant ? "#S" : "#A") + value + "#");
}

Ladder& Ladder::block(int row, int col, int kind) {
    document::PlaceBlock(m_document, kind, row, col);
    return *this;
}

Ladder& Ladder::field(int row, int col, char tag, const std::string& value) {
    m_document.SetField(row, col, tag, value);
    return *this;
}

Outcome translate(const Ladder& ladder, const std::filesystem::path& tracePath) {
    const document::LadderDocument& doc = ladder.document();
    Translator translator;
    translator.setTracePath(tracePath);
    translator.init(doc.rowCount());
    for (int row = 0; row < doc.rowCount(); ++row) {
        for (int col = 0; col < 10; ++col) {
            translator.setCell(row, col, doc.CellCode(row, col), doc.CellText(row, col));
        }
    }
    Outcome outcome;
    outcome.result = translator.Translate();
    outcome.errorCode = translator.errorCode();
    outcome.errorRow = translator.errorPos() / 10;
    outcome.errorCol = translator.errorPos() % 10;
    outcome.lines = translator.lines();
    outcome.words = translator.programWords();
    outcome.edgeCount = translator.edgeCount();
    outcome.timerCount = translator.timerCount();
    translator.release();
    return outcome;
}

std::string load(const std::string& operand) {
    return "   LOAD        " + operand;
}
std::string loadNot(const std::string& operand) {
    return "   LOAD NOT " + operand;
}
std::string andLine(const std::string& operand) {
    return "   AND          " + operand;
}
std::string andNot(const std::string& operand) {
    return "   AND NOT   " + operand;
}
std::string coilLine(int kind, const std::string& operand) {
    return "   = (" + std::to_string(kind) + ") " + operand;
}

std::filesystem::path uniqueTempPath(const std::string& stem) {
    static std::atomic<int> counter{0};
    return std::filesystem::temp_directory_path() /
           (stem + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
}

}  // namespace translator::testing
