// Drawing of one ladder cell.
#include "ui/cell_painter.h"

#include "document/cp1250.h"
#include "document/ladder_document.h"
#include "ui/app_text.h"
#include "ui/element_pictures.h"

#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QStringList>

#include <string>

namespace ui {
namespace {

QColor background(bool selected, const QPalette& palette) {
    return selected ? palette.color(QPalette::Highlight) : QColor(Qt::white);
}

QColor foreground(bool selected, const QPalette& palette) {
    return selected ? palette.color(QPalette::HighlightedText) : QColor(Qt::black);
}

}  // namespace

CellPainter::CellPainter(const ElementPictures& pictures)
    : m_pictures(pictures),
      m_font(gridFont()),
      m_metrics(m_font),
      m_lenWord(QStringLiteral("LEN")),
      m_constWord(QStringLiteral("CONST")) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string utf8 = document::cp1250ToUtf8(std::string(1, static_cast<char>(byte)));
        const QString converted = fromUtf8(utf8);
        m_codePage[static_cast<std::size_t>(byte)] =
            converted.isEmpty() ? QChar(QChar::ReplacementCharacter) : converted.front();
    }
    m_buffer.reserve(64);
}

QFont CellPainter::gridFont() {
    QFont font;
    // Fonts with the narrow figures of the classic dialog font first, so that operands and
    // constants fit beside a block.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica"),
                      QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

QString CellPainter::toQString(std::string_view cp1250) const {
    QString result;
    result.resize(static_cast<qsizetype>(cp1250.size()));
    for (std::size_t i = 0; i < cp1250.size(); ++i) {
        result[static_cast<qsizetype>(i)] = m_codePage[static_cast<unsigned char>(cp1250[i])];
    }
    return result;
}

void CellPainter::paint(QPainter& painter, const document::LadderDocument& document, int row,
                        int col, const QRect& rect, bool selected, const QPalette& palette) const {
    painter.fillRect(rect, background(selected, palette));
    if (!document.contains(row, col)) {
        return;
    }
    const std::int32_t code = document.CellCode(row, col);
    const int x = rect.left();
    const int y = rect.top();

    // Pictures are white where they hold no line. Over the white background a plain copy and a
    // pixel AND give the same result; over the highlight the AND keeps the selection visible.
    // Transparent pictures (for printers, which know no pixel AND) are simply drawn over.
    const bool transparent = m_pictures.background() == ElementPictures::Background::Transparent;
    const auto plain = selected && !transparent ? QPainter::RasterOp_SourceAndDestination
                                                : QPainter::CompositionMode_SourceOver;
    const auto combined = transparent ? QPainter::CompositionMode_SourceOver
                                      : QPainter::RasterOp_SourceAndDestination;
    if (const QImage* picture = m_pictures.forPictureKind(document::pictureKind(code))) {
        painter.setCompositionMode(plain);
        painter.drawImage(x, document::isBlockCell(code) ? y : y + kElementPictureTop, *picture);
    }
    if (const QImage* link = m_pictures.forLink(document::linkPart(code))) {
        painter.setCompositionMode(combined);
        painter.drawImage(x, y, *link);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

    const std::string& cellText = document.cellTextRef(row, col);
    if (cellText.empty()) {
        return;
    }
    const CellFields fields(cellText);
    painter.setFont(m_font);
    painter.setPen(foreground(selected, palette));
    painter.setBrush(background(selected, palette));

    text(painter, rect, textpos::kInputLabel, fields['L']);
    text(painter, rect, textpos::kOutputLabel, fields['P']);
    text(painter, rect, textpos::kType, fields['T']);
    text(painter, rect, textpos::kBlockName, fields['N']);
    text(painter, rect, textpos::kCallQ, fields['Q']);
    text(painter, rect, textpos::kCallX, fields['X']);
    text(painter, rect, textpos::kCallZ, fields['Z']);
    if (!fields['D'].empty()) {
        text(painter, rect, textpos::kLenWord, m_lenWord);
        text(painter, rect, textpos::kLenValue, fields['D']);
    }

    const std::string_view operand = fields['A'];
    const std::int32_t left = col > 0 ? document.CellCode(row, col - 1) : 0;
    const std::int32_t right = col < kGridColumns - 1 ? document.CellCode(row, col + 1) : 0;
    switch (operandPlace(!operand.empty(), code, col, left, right)) {
        case OperandPlace::BeforeBlockInput:
            text(painter, rect, textpos::kOperandBeforeInput, operand);
            break;
        case OperandPlace::AfterBlockOutput:
            text(painter, rect, textpos::kOperandAfterOutput, operand);
            break;
        case OperandPlace::AboveWire:
            text(painter, rect, textpos::kOperand, operand);
            text(painter, rect, textpos::kFieldR, fields['R']);
            text(painter, rect, textpos::kFieldW, fields['W']);
            text(painter, rect, textpos::kRegister, fields['G']);
            if (!fields['S'].empty()) {
                text(painter, rect, textpos::kConstWord, m_constWord);
                text(painter, rect, textpos::kConstValue, fields['S']);
            }
            break;
    }
    // Description lines last and from the bottom up: each text's box would otherwise cut off
    // the descenders (g, j, p, y, ę) of the line standing above it.
    for (std::size_t line = textpos::kDescription.size(); line-- > 0;) {
        text(painter, rect, textpos::kDescription[line], fields[static_cast<char>('1' + line)]);
    }
}

void CellPainter::text(QPainter& painter, const QRect& cell, CellPoint at,
                       std::string_view cp1250) const {
    if (cp1250.empty()) {
        return;
    }
    m_buffer.resize(static_cast<qsizetype>(cp1250.size()));
    for (std::size_t i = 0; i < cp1250.size(); ++i) {
        m_buffer[static_cast<qsizetype>(i)] = m_codePage[static_cast<unsigned char>(cp1250[i])];
    }
    text(painter, cell, at, m_buffer);
}

void CellPainter::text(QPainter& painter, const QRect& cell, CellPoint at,
                       const QString& value) const {
    // The text stands on an opaque box of the cell's background, as high as the font's pixel
    // size, so that an operand above the wire does not cut into the symbol below it; a text
    // too long for the cell is cut at the cell's edge instead of running into the neighbour.
    const QRect box(cell.left() + at.x, cell.top() + at.y, m_metrics.horizontalAdvance(value),
                    m_font.pixelSize());
    const bool overflows = !cell.contains(box);
    if (overflows) {
        painter.save();
        painter.setClipRect(cell, Qt::IntersectClip);
    }
    painter.fillRect(box, painter.brush());
    painter.drawText(box.left(), box.top() + m_metrics.ascent(), value);
    if (overflows) {
        painter.restore();
    }
}

}  // namespace ui
