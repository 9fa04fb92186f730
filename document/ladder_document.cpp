// The ladder grid document: storage, cell access and row management.
#include "document/ladder_document.h"

#include "document/editing.h"

#include <algorithm>
#include <utility>

namespace document {

namespace {

const std::string kNoText;

}  // namespace

std::string_view statusWord(DocumentStatus status) {
    switch (status) {
        case DocumentStatus::Modified: return "zmieniony";
        case DocumentStatus::Loaded: return "wczytany";
        case DocumentStatus::New: return "nowy";
        case DocumentStatus::Saved: return "zapisany";
    }
    return {};
}

LadderDocument::LadderDocument() {
    resetGrid(kNewDocumentRows);
}

bool LadderDocument::contains(int row, int col) const {
    return row >= 0 && row < m_rowCount && col >= 0 && col < kColumns;
}

std::size_t LadderDocument::index(int row, int col) const {
    return static_cast<std::size_t>(row) * kColumns + static_cast<std::size_t>(col);
}

std::int32_t LadderDocument::CellCode(int row, int col) const {
    return contains(row, col) ? m_cells[index(row, col)] : 0;
}

std::string LadderDocument::CellText(int row, int col) const {
    return cellTextRef(row, col);
}

const std::string& LadderDocument::cellTextRef(int row, int col) const {
    return contains(row, col) ? m_texts[index(row, col)] : kNoText;
}

std::string LadderDocument::GetField(int row, int col, char tag) const {
    return fieldOf(cellTextRef(row, col), tag);
}

std::string LadderDocument::GetBlockField(int row, int col, char tag) const {
    if (!isBlockCell(CellCode(row, col)))
        return {};
    return GetField(row, col, tag);
}

void LadderDocument::recordCell(int row, int col) {
    if (m_journal.depth == 0) {
        return;
    }
    const std::size_t i = index(row, col);
    if (!m_journal.recorded.insert(i).second) {
        return;  // the cell's state before the edit is recorded already
    }
    m_journal.result.m_steps.push_back({EditStep::Kind::Cell, row, col, 0, m_cells[i], m_texts[i]});
}

void LadderDocument::recordRowsInserted(int row, int count) {
    if (m_journal.depth == 0) {
        return;
    }
    m_journal.recorded.clear();
    m_journal.result.m_steps.push_back({EditStep::Kind::RowsInserted, row, 0, count, 0, {}});
}

void LadderDocument::recordRowsRemoved(int row, int count) {
    if (m_journal.depth == 0) {
        return;
    }
    for (int r = row; r < row + count; ++r) {
        for (int col = 0; col < kColumns; ++col) {
            if (CellCode(r, col) != 0 || !cellTextRef(r, col).empty()) {
                recordCell(r, col);
            }
        }
    }
    m_journal.recorded.clear();
    m_journal.result.m_steps.push_back({EditStep::Kind::RowsRemoved, row, 0, count, 0, {}});
}

LadderDocument::Recording::Recording(LadderDocument& document) : m_document(document) {
    Journal& journal = m_document.m_journal;
    if (journal.depth++ == 0) {
        journal.result = EditResult();
        journal.recorded.clear();
    }
}

LadderDocument::Recording::~Recording() {
    static_cast<void>(finish());
}

EditResult LadderDocument::Recording::finish() {
    if (m_finished) {
        return {};
    }
    m_finished = true;
    Journal& journal = m_document.m_journal;
    if (--journal.depth > 0) {
        return {};
    }
    journal.recorded.clear();
    return std::exchange(journal.result, EditResult());
}

void LadderDocument::SetCellText(int row, int col, std::string text) {
    if (!contains(row, col) || m_texts[index(row, col)] == text)
        return;
    recordCell(row, col);
    m_texts[index(row, col)] = std::move(text);
}

EditResult LadderDocument::SetField(int row, int col, char tag, std::string_view value) {
    Recording edit(*this);
    if (contains(row, col))
        SetCellText(row, col, withField(cellTextRef(row, col), tag, value));
    return edit.finish();
}

EditResult LadderDocument::SetBlockField(int row, int col, char tag, std::string_view value) {
    Recording edit(*this);
    if (isBlockCell(CellCode(row, col)) && hasField(cellTextRef(row, col), tag))
        SetField(row, col, tag, value);
    return edit.finish();
}

void LadderDocument::SetCellCode(int row, int col, std::int32_t code) {
    if (!contains(row, col) || m_cells[index(row, col)] == code)
        return;
    recordCell(row, col);
    m_cells[index(row, col)] = code;
}

void LadderDocument::resetGrid(int rows) {
    m_rowCount = std::max(rows, 1);
    const std::size_t cells = static_cast<std::size_t>(m_rowCount) * kColumns;
    m_cells.assign(cells, 0);
    m_texts.assign(cells, std::string());
}

void LadderDocument::NewDocument() {
    resetGrid(kNewDocumentRows);
    m_status = DocumentStatus::New;
}

void LadderDocument::insertRows(int row, int count) {
    row = std::clamp(row, 0, m_rowCount);
    if (count <= 0)
        return;
    recordRowsInserted(row, count);
    const auto at = static_cast<std::ptrdiff_t>(index(row, 0));
    const auto cells = static_cast<std::size_t>(count) * kColumns;
    m_cells.insert(m_cells.begin() + at, cells, 0);
    m_texts.insert(m_texts.begin() + at, cells, std::string());
    m_rowCount += count;
}

void LadderDocument::removeRows(int row, int count) {
    if (row < 0 || row >= m_rowCount)
        return;
    count = std::min(count, m_rowCount - row);
    if (count <= 0)
        return;
    recordRowsRemoved(row, count);
    const auto at = static_cast<std::ptrdiff_t>(index(row, 0));
    const auto cells = static_cast<std::ptrdiff_t>(count) * kColumns;
    m_cells.erase(m_cells.begin() + at, m_cells.begin() + at + cells);
    m_texts.erase(m_texts.begin() + at, m_texts.begin() + at + cells);
    m_rowCount -= count;
}

void LadderDocument::AddRows(int n) {
    insertRows(m_rowCount, n);
}

void LadderDocument::RemoveLastRows(int n) {
    n = std::min(n, m_rowCount);
    if (n > 0)
        removeRows(m_rowCount - n, n);
}

void LadderDocument::EnsureRows(int row, int height) {
    // 64-bit sum: a huge row or height from a caller must not wrap around.
    const long long needed = static_cast<long long>(row) + height + kSpareRows;
    if (needed > m_rowCount)
        AddRows(static_cast<int>(needed - m_rowCount));
}

EditResult LadderDocument::InsertRow(int row) {
    Recording edit(*this);
    if (row < 0 || row >= m_rowCount)
        return edit.finish();
    for (int col = 0; col < kColumns; ++col) {
        const std::int32_t code = CellCode(row, col);
        // An inner or bottom row of a block, or the lower half of a CALL square: inserting
        // here would cut the block in two.
        const int role = blockRole(code);
        if ((role >= BlockRole::BlockMid && role <= BlockRole::BlockBottomNoIn) ||
            code > BlockRole::CallBottomLeft)
            return edit.finish();
    }
    insertRows(row, 1);
    // A link that joined the rows above and below the new one runs on through it.
    for (int col = 0; col < kColumns; ++col) {
        if (hasDownFlag(CellCode(row - 1, col)) && hasUpFlag(CellCode(row + 1, col)))
            SetCellCode(row, col, LinkFlag::LinkBoth);
    }
    return edit.finish();
}

EditResult LadderDocument::DeleteRow(int row) {
    Recording edit(*this);
    if (row < 0 || row >= m_rowCount || m_rowCount <= 1)
        return edit.finish();
    for (int col = 0; col < kColumns; ++col)
        DeleteElement(*this, row, col);
    removeRows(row, 1);
    return edit.finish();
}

EditResult LadderDocument::revert(const EditResult& edit) {
    Recording undoing(*this);
    const auto steps = edit.steps();
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        switch (step->kind) {
            case EditStep::Kind::Cell:
                SetCellCode(step->row, step->col, step->code);
                SetCellText(step->row, step->col, step->text);
                break;
            case EditStep::Kind::RowsInserted: removeRows(step->row, step->count); break;
            case EditStep::Kind::RowsRemoved: insertRows(step->row, step->count); break;
        }
    }
    return undoing.finish();
}

}  // namespace document
