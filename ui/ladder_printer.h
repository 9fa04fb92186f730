// Printing and export of the ladder: pages of whole rows with a header line and row numbers for
// a printer or a PDF file, and the whole ladder as one PNG picture, drawn as the grid draws it,
// black on white and without the selection.
#pragma once

#include <QSize>
#include <QString>

class QPagedPaintDevice;
class QPainter;

namespace document {
class LadderDocument;
}

namespace ui {
class CellPainter;
}

/// Lays the ladder out on pages or one picture. Only the rows up to the last one holding
/// anything are printed (at least one), so the spare empty rows below a program cost no paper.
class LadderPrinter {
public:
    /// What the header line names and whether grid lines are drawn.
    struct Options {
        QString title;          ///< the program's file name, or "Program1"
        QString date;           ///< as the header shows it
        bool gridLines = true;  ///< as the grid shows them
    };

    /// Width of the row-number column left of the ladder, in grid pixels.
    static constexpr int kRowNumberWidth = 40;
    /// Height of the header line above each page's rows, in grid pixels.
    static constexpr int kHeaderHeight = 32;

    LadderPrinter(const document::LadderDocument& document, Options options);

    /// Returns the number of rows printed.
    [[nodiscard]] int printedRows() const { return m_rows; }
    /// Returns the whole rows that fit on one page of `device` (at least one).
    [[nodiscard]] int rowsPerPage(const QPagedPaintDevice& device) const;
    /// Returns the number of pages the ladder takes on `device`.
    [[nodiscard]] int pageCount(const QPagedPaintDevice& device) const;
    /// Prints pages `fromPage` to `toPage` (counted from 1; 0 and 0 for every page) on `device`,
    /// each page scaled so that the ladder fills its width. Returns false when the device
    /// cannot be painted on (a file that cannot be written, a printer that is gone).
    [[nodiscard]] bool print(QPagedPaintDevice& device, int fromPage = 0, int toPage = 0) const;

    /// Returns the size in pixels of the picture writeImage writes: the row numbers and the
    /// ladder at the grid's own scale.
    [[nodiscard]] QSize imageSize() const;
    /// Writes the whole ladder as one grey PNG file, drawn in strips so that a long program
    /// never needs its whole picture in memory. Returns false when the file cannot be written.
    [[nodiscard]] bool writeImage(const QString& fileName) const;

private:
    [[nodiscard]] int columnPitch() const;
    [[nodiscard]] int rowPitch() const;
    [[nodiscard]] int sheetWidth() const;
    /// Draws rows [first, last) from the painter's origin down, with their numbers.
    void drawRows(QPainter& painter, const ui::CellPainter& cells, int first, int last) const;
    void drawHeader(QPainter& painter, int page, int pages) const;

    const document::LadderDocument& m_document;
    Options m_options;
    int m_rows = 1;
};
