// The owner-drawn ladder grid: ten columns of cells showing the document, with a cursor, a
// selected rectangle and row-wise scrolling. It reads the document and never writes it.
#pragma once

#include <QAbstractScrollArea>
#include <QRect>
#include <QString>

#include <memory>

namespace document {
class LadderDocument;
}

namespace ui {
class CellPainter;
class LiveOverlay;
struct GridLayout;
}  // namespace ui

class QPainter;

/// The ladder grid "DrawGrid1". The cursor is the focused cell; the selection is the rectangle
/// between the cursor and a second corner. Shift + cursor keys move the cursor and leave the
/// corner where it was; Shift + click and dragging with the left button move the corner and leave
/// the cursor where the selection was started. A plain click or cursor key collapses the
/// selection onto the new cursor cell.
class LadderGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LadderGrid(const document::LadderDocument& document, QWidget* parent = nullptr);
    ~LadderGrid() override;

    /// Returns the cursor row (0-based).
    int Row() const { return m_cursorRow; }
    /// Returns the cursor column (0-based).
    int Col() const { return m_cursorCol; }
    /// Returns the selected cells: left = first column, top = first row, both corners inclusive.
    QRect Selection() const;
    /// Collapses the selection onto (row, col), scrolls it into view and emits cellSelected.
    /// Positions outside the grid are clamped into it.
    void setCursorCell(int row, int col);

    /// Returns the number of grid rows.
    int rowCount() const { return m_rowCount; }
    /// Sets the number of grid rows (at least 1); cursor and selection are clamped into them.
    void setRowCount(int rows);
    /// Returns the width of the grid lines, 1 or 0.
    int gridLineWidth() const { return m_lineWidth; }
    /// Sets the grid lines to 1 pixel (any positive width) or none (0) and repaints.
    void setGridLineWidth(int width);

    /// Returns the row shown at the view's top (the vertical scroll position).
    int topRow() const;
    /// Returns the first visible column (the horizontal scroll position).
    int leftCol() const;
    /// Returns the rectangle of a cell in viewport coordinates (it may lie outside the viewport).
    QRect cellRect(int row, int col) const;

    /// Draws the running program over the cells with `overlay` (which must outlive its use),
    /// or nothing more when null; repaints the whole view.
    void setLiveOverlay(const ui::LiveOverlay* overlay);

    /// Draws one cell into `rect` on `painter`: the background (highlighted when `selected`),
    /// the element, block and link pictures and the texts of the cell's fields.
    void DrawGrid1DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                           bool selected) const;

    QSize sizeHint() const override;

signals:
    /// Every cursor move by mouse or keys, Shift + keys included (and setCursorCell).
    void cellSelected(int row, int col);
    /// The right button was pressed on a cell; the cursor has already moved there.
    void cellRightClicked(int row, int col);
    /// A double click on a cell; the cursor has already moved there.
    void cellDoubleClicked(int row, int col);
    /// A printable character was typed in the grid.
    void characterTyped(const QString& text);
    /// A paint of the grid has finished (the window refreshes its status bar and toolbars).
    /// Emitted from within the paint: a slot must not repaint the grid itself.
    void cellsPainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    /// Moves the cursor, collapses or extends the selection and keeps the moved corner in view.
    void moveTo(int row, int col, bool extend);
    /// Moves the cursor and keeps the selection's second corner, so the rectangle follows.
    void moveCursorKeepingCorner(int row, int col);
    [[nodiscard]] ui::GridLayout layout() const;
    void updateScrollBars();
    void ensureVisible(int row, int col);
    void repaintSelectionChange(const QRect& before);
    void updateCells(const QRect& cells);
    /// Returns the cell (x = column, y = row) under a viewport point, (-1, -1) outside the grid.
    QPoint cellAt(const QPoint& point) const;

    const document::LadderDocument& m_document;
    std::unique_ptr<ui::CellPainter> m_painter;
    const ui::LiveOverlay* m_live = nullptr;
    int m_rowCount = 10;
    int m_lineWidth = 1;
    int m_cursorRow = 0;
    int m_cursorCol = 0;
    int m_cornerRow = 0;  // the selection's second corner, moved by Shift and dragging
    int m_cornerCol = 0;
    bool m_dragging = false;
};
