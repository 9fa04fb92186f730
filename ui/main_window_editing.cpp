// ui/main_window_editing.cpp — the main window's editing: element buttons, the grid's mouse and
// keys, the operand entry line, clipboard and rows, undo and redo.
#include "document/cp1250.h"
#include "document/editing.h"
#include "document/operand_entry.h"
#include "operands/operand_syntax.h"
#include "ui/cross_reference_window.h"
#include "ui/description_window.h"
#include "ui/ladder_grid.h"
#include "ui/main_window.h"
#include "ui/parameters_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <string>

namespace {

constexpr int kLastColumn = document::kColumns - 1;

// Undo and redo belong to the entry line while it holds text of its own; once it is empty (as
// after an operand was entered), Ctrl+Z takes back the last edit of the program instead.
class EntryLineKeys final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            auto* line = qobject_cast<QLineEdit*>(watched);
            auto* key = static_cast<QKeyEvent*>(event);
            if (line != nullptr && line->text().isEmpty() &&
                (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))) {
                // Not accepted: the window's shortcut runs.
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void MainWindow::placeElement(const document::ElementEntry& entry) {
    const int row = m_grid->Row();
    const int col = m_grid->Col();
    document::EditResult edit;
    switch (entry.placement) {
        case document::Placement::Contact:
            edit = document::PlaceContact(m_document, entry.code, row, col);
            break;
        case document::Placement::Coil:
            edit = document::PlaceCoil(m_document, entry.code, row, col);
            break;
        case document::Placement::Link:
            edit = document::PlaceLink(m_document, entry.code, row, col);
            break;
        case document::Placement::Block:
            edit = document::PlaceBlock(m_document, entry.code, row, col);
            break;
    }
    noteEdit(edit);
    refresh(entry.refresh);
}

void MainWindow::gridCellSelected(int row, int col) {
    m_parametersWindow->RefreshParameters(row, col);
    m_descriptionWindow->RefreshDescription(row, col);
    updateCursorPanels();
}

void MainWindow::gridRightClicked(int row, int col) {
    noteEdit(document::DeleteElement(m_document, row, col));
    m_parametersWindow->RefreshParameters(row, col);
    m_descriptionWindow->RefreshDescription(row, col);
    repaintGrid();
}

void MainWindow::gridDoubleClicked(int row, int col) {
    if (document::isBlockCell(m_document.CellCode(row, col))) {
        return;
    }
    m_descriptionWindow->RefreshDescription(row, col);
    placeToolWindow(*m_descriptionWindow);
    m_descriptionWindow->show();
    m_descriptionWindow->raise();
}

void MainWindow::gridCharacterTyped(const QString& text) {
    if (m_panel7->isHidden()) {
        return;
    }
    m_edit1->setText(text);
    m_edit1->setFocus();
    m_edit1->setCursorPosition(static_cast<int>(m_edit1->text().size()));
}

void MainWindow::entryLineReturn() {
    const QString text = m_edit1->text();
    if (text.isEmpty()) {
        return;
    }
    const std::string typed = document::utf8ToCp1250(text.toStdString());
    const std::int32_t code = m_document.CellCode(m_grid->Row(), m_grid->Col());
    // Text that fits no operand form is ignored, but the user is told why nothing happened.
    if (!operands::readOperand(typed, document::takesLabel(code))) {
        m_statusPanels[3]->setText(QString::fromUtf8("Nieprawidłowy operand: ") + text);
    }
    noteEdit(document::EnterOperand(m_document, typed, m_grid->Row(), m_grid->Col()));
    NextOperandCell();
}

void MainWindow::NextOperandCell() {
    const int rows = m_grid->rowCount();
    int row = m_grid->Row();
    int col = m_grid->Col();
    if (row == rows - 1 && col == kLastColumn) {
        return;
    }
    for (;;) {
        if (++col > kLastColumn) {
            col = 0;
            ++row;
        }
        if (row >= rows) {
            repaintGrid();
            m_edit1->clear();
            return;
        }
        if (document::takesOperand(m_document.CellCode(row, col))) {
            m_grid->setCursorCell(row, col);
            m_edit1->clear();
            return;
        }
    }
}

void MainWindow::CutClick() {
    const QRect s = m_grid->Selection();
    noteEdit(document::CutRange(m_document, s.top(), s.left(), s.bottom(), s.right()));
    refresh(document::refreshAfter(document::EditCommand::Cut));
}

void MainWindow::CopyClick() {
    const QRect s = m_grid->Selection();
    document::CopyRange(m_document, s.top(), s.left(), s.bottom(), s.right());
    refresh(document::refreshAfter(document::EditCommand::Copy));
}

void MainWindow::PasteClick() {
    noteEdit(document::Paste(m_document, m_grid->Row(), m_grid->Col()));
    refresh(document::refreshAfter(document::EditCommand::Paste));
}

void MainWindow::InsertRowClick() {
    const document::EditResult edit = m_document.InsertRow(m_grid->Row());
    if (!edit.changed()) {
        return;
    }
    m_grid->setRowCount(m_grid->rowCount() + 1);
    noteEdit(edit);
    repaintGrid();
}

void MainWindow::DeleteRowClick() {
    if (m_document.rowCount() <= 1) {
        return;
    }
    const document::EditResult edit = m_document.DeleteRow(m_grid->Row());
    m_grid->setRowCount(m_document.rowCount());
    noteEdit(edit);
    repaintGrid();
}

void MainWindow::watchEntryLineKeys() {
    m_edit1->installEventFilter(new EntryLineKeys(this));
}

void MainWindow::historyChanged() {
    updateCommandStates();
    m_crossReference->documentChanged();
}

void MainWindow::afterHistoryStep(document::CellPosition cursor) {
    followRowCount();
    // The cursor goes where the edit was made; moving it there also shows that cell in the
    // parameters and description windows.
    m_grid->setCursorCell(cursor.row, cursor.col);
    showStatusWord();
    repaintGrid();
    historyChanged();
}

void MainWindow::UndoClick() {
    if (const std::optional<document::CellPosition> cursor = m_history.undo(m_document)) {
        afterHistoryStep(*cursor);
    }
}

void MainWindow::RedoClick() {
    if (const std::optional<document::CellPosition> cursor = m_history.redo(m_document)) {
        afterHistoryStep(*cursor);
    }
}

void MainWindow::DeleteElementClick() {
    gridRightClicked(m_grid->Row(), m_grid->Col());
}
