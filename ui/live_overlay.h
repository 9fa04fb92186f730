// The running program drawn over the grid's cells: wires, links and contacts that power
// reached in green and thicker, contacts that conduct, coils and blocks that are on, and the
// values beside block operands. Holds the map it shows; the grid asks it to paint each cell
// after the cell's own picture.
#pragma once

#include "translator/power_map.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>

#include <functional>
#include <unordered_map>

class QPainter;
class QRect;

namespace document {
class LadderDocument;
}

namespace ui {

class ElementPictures;

/// The live state of the grid's cells and how it is drawn. Dimmed, it shows the last scan of a
/// stopped controller.
class LiveOverlay {
public:
    /// Draws with `pictures` (which must outlive the overlay).
    explicit LiveOverlay(const ElementPictures& pictures);

    /// Returns the map shown.
    [[nodiscard]] const translator::PowerMap& map() const { return m_map; }
    /// Returns true while the map is shown dimmed.
    [[nodiscard]] bool dimmed() const { return m_dimmed; }

    /// Shows `next` (dimmed or not) instead of the map shown, which goes into `next`, and
    /// calls `changed` for every cell that must be drawn again: whose state differs, or, when
    /// the dimming changes, that shows anything.
    void show(translator::PowerMap& next, bool dimmed,
              const std::function<void(int row, int col)>& changed);

    /// Draws the live state of cell (row, col) of `document` over its picture in `rect`.
    void paint(QPainter& painter, const document::LadderDocument& document, int row, int col,
               const QRect& rect) const;

private:
    const QImage& tinted(const QImage& picture, int key) const;
    void paintValue(QPainter& painter, const document::LadderDocument& document, int row, int col,
                    const QRect& rect, const translator::CellPower& cell) const;

    const ElementPictures& m_pictures;
    translator::PowerMap m_map;
    bool m_dimmed = false;
    QFont m_valueFont;
    QFontMetrics m_valueMetrics;
    // Pictures in the powered colour, made on first use (a few dozen, small).
    mutable std::unordered_map<int, QImage> m_tinted;
    QString m_currentValue;
    mutable QString m_text;
};

}  // namespace ui
