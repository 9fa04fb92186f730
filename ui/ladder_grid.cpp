// The owner-drawn ladder grid widget.
#include "ui/ladder_grid.h"

#include "document/ladder_document.h"
#include "ui/cell_geometry.h"
#include "ui/cell_painter.h"
#include "ui/element_pictures.h"
#include "ui/live_overlay.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

const QColor kGridLineColour(192, 192, 192);

// Text typed with Ctrl or Alt alone is a shortcut, not a character for the entry line; Ctrl
// and Alt together stand for AltGr, which types the Polish letters on some systems.
bool isTypedCharacter(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty() || !text.front().isPrint()) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    return control == alt && !modifiers.testFlag(Qt::MetaModifier);
}

}  // namespace

LadderGrid::LadderGrid(const document::LadderDocument& document, QWidget* parent)
    : QAbstractScrollArea(parent),
      m_document(document),
      m_painter(std::make_unique<ui::CellPainter>(ui::ElementPictures::shared())) {
    setObjectName(QStringLiteral("DrawGrid1"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // Every pixel of the view is painted by the grid itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    // The view follows the thumb while it is dragged.
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setTracking(true);
    m_rowCount = std::max(m_document.rowCount(), 1);
    updateScrollBars();
}

LadderGrid::~LadderGrid() = default;

QRect LadderGrid::Selection() const {
    return QRect(QPoint(std::min(m_cursorCol, m_cornerCol), std::min(m_cursorRow, m_cornerRow)),
                 QPoint(std::max(m_cursorCol, m_cornerCol), std::max(m_cursorRow, m_cornerRow)));
}

void LadderGrid::setCursorCell(int row, int col) {
    const QRect before = Selection();
    m_cursorRow = m_cornerRow = std::clamp(row, 0, m_rowCount - 1);
    m_cursorCol = m_cornerCol = std::clamp(col, 0, ui::kGridColumns - 1);
    ensureVisible(m_cursorRow, m_cursorCol);
    repaintSelectionChange(before);
    emit cellSelected(m_cursorRow, m_cursorCol);
}

void LadderGrid::setRowCount(int rows) {
    rows = std::max(rows, 1);
    if (rows == m_rowCount) {
        return;
    }
    m_rowCount = rows;
    m_cursorRow = std::min(m_cursorRow, rows - 1);
    m_cornerRow = std::min(m_cornerRow, rows - 1);
    updateScrollBars();
    viewport()->update();
}

void LadderGrid::setGridLineWidth(int width) {
    width = width > 0 ? 1 : 0;
    if (width == m_lineWidth) {
        return;
    }
    m_lineWidth = width;
    updateScrollBars();
    viewport()->update();
}

int LadderGrid::topRow() const {
    return verticalScrollBar()->value();
}

int LadderGrid::leftCol() const {
    return horizontalScrollBar()->value();
}

ui::GridLayout LadderGrid::layout() const {
    return ui::GridLayout{m_lineWidth, topRow(), leftCol(), m_rowCount};
}

QRect LadderGrid::cellRect(int row, int col) const {
    const ui::GridLayout grid = layout();
    return QRect(grid.cellLeft(col), grid.cellTop(row), ui::kCellWidth, ui::kCellHeight);
}

void LadderGrid::setLiveOverlay(const ui::LiveOverlay* overlay) {
    m_live = overlay;
    viewport()->update();
}

void LadderGrid::DrawGrid1DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                                   bool selected) const {
    m_painter->paint(painter, m_document, row, col, rect, selected, palette());
    if (m_live != nullptr) {
        m_live->paint(painter, m_document, row, col, rect);
    }
}

QSize LadderGrid::sizeHint() const {
    const int frame = 2 * frameWidth();
    return QSize(
        ui::kGridColumns * (ui::kCellWidth + 1) + frame + verticalScrollBar()->sizeHint().width(),
        6 * (ui::kCellHeight + 1) + frame);
}

void LadderGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const ui::GridLayout grid = layout();
    const QRect selection = Selection();
    const bool focused = hasFocus();
    const QColor outside = palette().color(QPalette::Window);
    // Right and bottom edge of the grid in the view: what lies beyond is plain background.
    const int gridRight = grid.cellLeft(ui::kGridColumns);
    const int gridBottom = grid.cellTop(m_rowCount);

    for (const QRect& exposed : event->region()) {
        if (exposed.right() >= gridRight) {
            painter.fillRect(QRect(QPoint(gridRight, exposed.top()), exposed.bottomRight()),
                             outside);
        }
        if (exposed.bottom() >= gridBottom) {
            painter.fillRect(QRect(QPoint(exposed.left(), gridBottom), exposed.bottomRight()),
                             outside);
        }
        const ui::CellRange cells =
            grid.cellsIn(exposed.x(), exposed.y(), exposed.width(), exposed.height());
        if (cells.isEmpty()) {
            continue;
        }
        for (int row = cells.firstRow; row <= cells.lastRow; ++row) {
            for (int col = cells.firstCol; col <= cells.lastCol; ++col) {
                const QRect rect(grid.cellLeft(col), grid.cellTop(row), ui::kCellWidth,
                                 ui::kCellHeight);
                const bool isCursor = row == m_cursorRow && col == m_cursorCol;
                // As in any grid, the focused cursor cell is framed instead of highlighted.
                const bool highlighted = selection.contains(col, row) && !(isCursor && focused);
                DrawGrid1DrawCell(painter, col, row, rect, highlighted);
                if (m_lineWidth > 0) {
                    painter.fillRect(rect.right() + 1, rect.top(), m_lineWidth,
                                     ui::kCellHeight + m_lineWidth, kGridLineColour);
                    painter.fillRect(rect.left(), rect.bottom() + 1, ui::kCellWidth, m_lineWidth,
                                     kGridLineColour);
                }
                if (isCursor && focused) {
                    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
                    painter.setBrush(Qt::NoBrush);
                    painter.drawRect(rect.adjusted(0, 0, -1, -1));
                }
            }
        }
    }
    painter.end();
    emit cellsPainted();
}

void LadderGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LadderGrid::scrollContentsBy(int dx, int dy) {
    const ui::GridLayout grid = layout();
    // Move what is already drawn and repaint only the strip that comes into view.
    viewport()->scroll(dx * grid.columnPitch(), dy * grid.rowPitch());
}

void LadderGrid::keyPressEvent(QKeyEvent* event) {
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    // Keys always move the cursor; with Shift the selection's other corner stays where it was,
    // so the rectangle grows or shrinks with the cursor.
    int row = m_cursorRow;
    int col = m_cursorCol;
    const int page = layout().fullRowsIn(viewport()->height());
    switch (event->key()) {
        case Qt::Key_Up: --row; break;
        case Qt::Key_Down: ++row; break;
        case Qt::Key_Left: --col; break;
        case Qt::Key_Right: ++col; break;
        case Qt::Key_Home:
            col = 0;
            if (control) {
                row = 0;
            }
            break;
        case Qt::Key_End:
            col = ui::kGridColumns - 1;
            if (control) {
                row = m_rowCount - 1;
            }
            break;
        case Qt::Key_PageUp:
            row -= page;
            verticalScrollBar()->setValue(topRow() - page);
            break;
        case Qt::Key_PageDown:
            row += page;
            verticalScrollBar()->setValue(topRow() + page);
            break;
        default:
            if (isTypedCharacter(*event)) {
                emit characterTyped(event->text());
                event->accept();
            } else {
                QAbstractScrollArea::keyPressEvent(event);
            }
            return;
    }
    if (extend) {
        moveCursorKeepingCorner(row, col);
    } else {
        moveTo(row, col, false);
    }
    event->accept();
}

void LadderGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint cell = cellAt(event->position().toPoint());
    if (cell.x() < 0) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
        moveTo(cell.y(), cell.x(), extend);
        m_dragging = true;
    } else if (event->button() == Qt::RightButton) {
        moveTo(cell.y(), cell.x(), false);
        emit cellRightClicked(cell.y(), cell.x());
    }
}

void LadderGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !event->buttons().testFlag(Qt::LeftButton)) {
        return;
    }
    const ui::GridLayout grid = layout();
    const QPoint point = event->position().toPoint();
    const int row = std::clamp(grid.rowAt(point.y()), 0, m_rowCount - 1);
    const int col = std::clamp(grid.colAt(point.x()), 0, ui::kGridColumns - 1);
    if (row != m_cornerRow || col != m_cornerCol) {
        moveTo(row, col, true);
    }
}

void LadderGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
    }
}

void LadderGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        // A second quick right click is another right click.
        mousePressEvent(event);
        return;
    }
    const QPoint cell = cellAt(event->position().toPoint());
    if (cell.x() < 0) {
        return;
    }
    moveTo(cell.y(), cell.x(), false);
    emit cellDoubleClicked(cell.y(), cell.x());
}

void LadderGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    updateCells(QRect(m_cursorCol, m_cursorRow, 1, 1));
}

void LadderGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    m_dragging = false;
    updateCells(QRect(m_cursorCol, m_cursorRow, 1, 1));
}

void LadderGrid::moveTo(int row, int col, bool extend) {
    row = std::clamp(row, 0, m_rowCount - 1);
    col = std::clamp(col, 0, ui::kGridColumns - 1);
    const QRect before = Selection();
    const bool cursorMoves = !extend && (row != m_cursorRow || col != m_cursorCol);
    if (!extend) {
        m_cursorRow = row;
        m_cursorCol = col;
    }
    m_cornerRow = row;
    m_cornerCol = col;
    ensureVisible(row, col);
    repaintSelectionChange(before);
    if (cursorMoves) {
        emit cellSelected(row, col);
    }
}

void LadderGrid::moveCursorKeepingCorner(int row, int col) {
    row = std::clamp(row, 0, m_rowCount - 1);
    col = std::clamp(col, 0, ui::kGridColumns - 1);
    if (row == m_cursorRow && col == m_cursorCol) {
        return;
    }
    const QRect before = Selection();
    m_cursorRow = row;
    m_cursorCol = col;
    ensureVisible(row, col);
    repaintSelectionChange(before);
    emit cellSelected(row, col);
}

void LadderGrid::updateScrollBars() {
    const ui::GridLayout grid = layout();
    const int rowsShown = grid.fullRowsIn(viewport()->height());
    const int colsShown = grid.fullColsIn(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(m_rowCount - rowsShown, 0));
    verticalScrollBar()->setPageStep(rowsShown);
    horizontalScrollBar()->setRange(0, std::max(ui::kGridColumns - colsShown, 0));
    horizontalScrollBar()->setPageStep(colsShown);
}

void LadderGrid::ensureVisible(int row, int col) {
    const ui::GridLayout grid = layout();
    const int rowsShown = grid.fullRowsIn(viewport()->height());
    const int colsShown = grid.fullColsIn(viewport()->width());
    if (row < grid.topRow) {
        verticalScrollBar()->setValue(row);
    } else if (row >= grid.topRow + rowsShown) {
        verticalScrollBar()->setValue(row - rowsShown + 1);
    }
    if (col < grid.leftCol) {
        horizontalScrollBar()->setValue(col);
    } else if (col >= grid.leftCol + colsShown) {
        horizontalScrollBar()->setValue(col - colsShown + 1);
    }
}

void LadderGrid::repaintSelectionChange(const QRect& before) {
    // Both rectangles are repainted: cells leave the old one and enter the new one, and the
    // cursor frame moves. The parts outside the view cost nothing.
    updateCells(before);
    updateCells(Selection());
}

void LadderGrid::updateCells(const QRect& cells) {
    const QRect first = cellRect(cells.top(), cells.left());
    const QRect last = cellRect(cells.bottom(), cells.right());
    const QRect pixels = QRect(first.topLeft(), last.bottomRight()).adjusted(0, 0, 1, 1);
    viewport()->update(pixels.intersected(viewport()->rect()));
}

QPoint LadderGrid::cellAt(const QPoint& point) const {
    const ui::GridLayout grid = layout();
    const int row = grid.rowAt(point.y());
    const int col = grid.colAt(point.x());
    if (row < 0 || row >= m_rowCount || col < 0 || col >= ui::kGridColumns) {
        return QPoint(-1, -1);
    }
    return QPoint(col, row);
}
