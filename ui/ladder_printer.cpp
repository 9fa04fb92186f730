// Pages and pictures of the ladder, drawn cell by cell with the grid's own painter.
#include "ui/ladder_printer.h"

#include "document/ladder_document.h"
#include "ui/cell_geometry.h"
#include "ui/cell_painter.h"
#include "ui/element_pictures.h"
#include "ui/png_row_writer.h"

#include <QFile>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

const QColor kGridLineColour(192, 192, 192);
// Rows drawn at a time into the picture of writeImage: a grey strip of about 4 MB.
constexpr int kStripRows = 48;

// The last row holding a code or a text, plus one; at least one row.
int usedRows(const document::LadderDocument& document) {
    for (int row = document.rowCount() - 1; row > 0; --row) {
        for (int col = 0; col < document::kColumns; ++col) {
            if (document.CellCode(row, col) != 0 || !document.cellTextRef(row, col).empty()) {
                return row + 1;
            }
        }
    }
    return 1;
}

QFont labelFont(int pixelSize, bool bold) {
    QFont font = ui::CellPainter::gridFont();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

}  // namespace

LadderPrinter::LadderPrinter(const document::LadderDocument& document, Options options)
    : m_document(document), m_options(std::move(options)), m_rows(usedRows(document)) {}

int LadderPrinter::columnPitch() const {
    return ui::kCellWidth + (m_options.gridLines ? 1 : 0);
}

int LadderPrinter::rowPitch() const {
    return ui::kCellHeight + (m_options.gridLines ? 1 : 0);
}

int LadderPrinter::sheetWidth() const {
    // One more line closes the ladder on the left.
    return kRowNumberWidth + 1 + ui::kGridColumns * columnPitch();
}

int LadderPrinter::rowsPerPage(const QPagedPaintDevice& device) const {
    // The ladder fills the page's width; the height in grid pixels follows from that scale.
    const double scale = static_cast<double>(device.width()) / sheetWidth();
    const double height = device.height() / scale - kHeaderHeight;
    return std::max(static_cast<int>(height / rowPitch()), 1);
}

int LadderPrinter::pageCount(const QPagedPaintDevice& device) const {
    const int perPage = rowsPerPage(device);
    return (m_rows + perPage - 1) / perPage;
}

bool LadderPrinter::print(QPagedPaintDevice& device, int fromPage, int toPage) const {
    const int pages = pageCount(device);
    const int perPage = rowsPerPage(device);
    const int first = fromPage > 0 ? std::min(fromPage, pages) : 1;
    const int last = toPage > 0 ? std::clamp(toPage, first, pages) : pages;
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    // Printers know no pixel AND: the pictures' white must not cover what lies below it.
    const ui::CellPainter cells(ui::ElementPictures::sharedTransparent());
    const double scale = static_cast<double>(device.width()) / sheetWidth();
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        painter.scale(scale, scale);
        drawHeader(painter, page, pages);
        painter.translate(0, kHeaderHeight);
        const int top = (page - 1) * perPage;
        drawRows(painter, cells, top, std::min(top + perPage, m_rows));
        painter.restore();
    }
    return painter.end();
}

void LadderPrinter::drawHeader(QPainter& painter, int page, int pages) const {
    painter.setPen(Qt::black);
    painter.setFont(labelFont(12, false));
    const QRect line(0, 0, sheetWidth(), kHeaderHeight - 10);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, m_options.title);
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignVCenter, m_options.date);
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Strona %1 z %2").arg(page).arg(pages));
    painter.fillRect(QRect(0, kHeaderHeight - 8, sheetWidth(), 1), Qt::black);
}

void LadderPrinter::drawRows(QPainter& painter, const ui::CellPainter& cells, int first,
                             int last) const {
    const QPalette palette;
    const int left = kRowNumberWidth + 1;
    const int gridWidth = ui::kGridColumns * columnPitch();
    const int lineWidth = m_options.gridLines ? 1 : 0;
    if (lineWidth > 0) {
        // The grid draws a line right of and below every cell; the first row and column get one
        // above and left of them too, so that the printed ladder is closed.
        painter.fillRect(QRect(left - 1, 0, gridWidth + 1, 1), kGridLineColour);
        painter.fillRect(QRect(left - 1, 0, 1, (last - first) * rowPitch() + 1), kGridLineColour);
    }
    const QFont numberFont = labelFont(12, true);
    for (int row = first; row < last; ++row) {
        const int y = (row - first) * rowPitch() + lineWidth;
        painter.setFont(numberFont);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, y + ui::kWireTop - 7, kRowNumberWidth - 6, 16),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(row + 1));
        for (int col = 0; col < ui::kGridColumns; ++col) {
            const QRect rect(left + col * columnPitch(), y, ui::kCellWidth, ui::kCellHeight);
            cells.paint(painter, m_document, row, col, rect, false, palette);
            if (lineWidth > 0) {
                painter.fillRect(rect.right() + 1, rect.top(), 1, ui::kCellHeight + 1,
                                 kGridLineColour);
                painter.fillRect(rect.left(), rect.bottom() + 1, ui::kCellWidth, 1,
                                 kGridLineColour);
            }
        }
    }
}

QSize LadderPrinter::imageSize() const {
    return QSize(sheetWidth(), m_rows * rowPitch() + (m_options.gridLines ? 1 : 0));
}

bool LadderPrinter::writeImage(const QString& fileName) const {
    const QSize size = imageSize();
    PngRowWriter writer;
    if (!writer.open(QFile::encodeName(fileName).toStdString(),
                     static_cast<std::uint32_t>(size.width()),
                     static_cast<std::uint32_t>(size.height()))) {
        return false;
    }
    const ui::CellPainter cells(ui::ElementPictures::sharedTransparent());
    const int lineWidth = m_options.gridLines ? 1 : 0;
    // Grey from the start: the picture is black on white, and the strip's lines are the file's.
    QImage strip(size.width(), kStripRows * rowPitch() + lineWidth, QImage::Format_Grayscale8);
    for (int first = 0; first < m_rows; first += kStripRows) {
        const int last = std::min(first + kStripRows, m_rows);
        strip.fill(Qt::white);
        QPainter painter(&strip);
        // Every strip but the first starts one line lower: its top line is the bottom line of
        // the row above, already written.
        const int skip = first > 0 ? lineWidth : 0;
        painter.translate(0, -skip);
        drawRows(painter, cells, first, last);
        painter.end();
        const int height = (last - first) * rowPitch() + lineWidth - skip;
        for (int y = 0; y < height; ++y) {
            if (!writer.writeRow(
                    std::span(strip.constScanLine(y), static_cast<std::size_t>(size.width())))) {
                return false;
            }
        }
    }
    return writer.finish();
}
