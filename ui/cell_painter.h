// Draws one cell of the ladder grid: background, element or block picture, link picture and
// the texts of the cell's fields.
#pragma once

#include "ui/cell_geometry.h"

#include <QChar>
#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <array>
#include <string_view>

class QPainter;
class QPalette;
class QRect;

namespace document {
class LadderDocument;
}

namespace ui {

class ElementPictures;

/// Paints grid cells from the document. Holds the font, its metrics and the code page table,
/// so that painting a cell allocates nothing beyond the short strings of its texts.
class CellPainter {
public:
    /// Uses `pictures` (which must outlive the painter) and the grid's font.
    explicit CellPainter(const ElementPictures& pictures);

    /// Returns the grid's font: bold sans-serif, 13 pixels high.
    [[nodiscard]] static QFont gridFont();
    /// Returns the metrics of the grid's font.
    [[nodiscard]] const QFontMetrics& metrics() const { return m_metrics; }

    /// Draws cell (row, col) of `document` into `rect` (77 x 90): the background (the palette's
    /// highlight when `selected`, else white), the pictures and the texts. Cells outside the
    /// document are drawn empty.
    void paint(QPainter& painter, const document::LadderDocument& document, int row, int col,
               const QRect& rect, bool selected, const QPalette& palette) const;

    /// Returns a code page 1250 text as a QString (the conversion the painter uses).
    [[nodiscard]] QString toQString(std::string_view cp1250) const;

private:
    void text(QPainter& painter, const QRect& cell, CellPoint at, std::string_view cp1250) const;
    void text(QPainter& painter, const QRect& cell, CellPoint at, const QString& value) const;

    const ElementPictures& m_pictures;
    QFont m_font;
    QFontMetrics m_metrics;
    std::array<QChar, 256> m_codePage{};
    QString m_lenWord;
    QString m_constWord;
    mutable QString m_buffer;  // reused for every text, so its storage is allocated once
};

}  // namespace ui
