// ui/toolbar_glyphs.cpp — simple line drawings for the toolbar buttons.
#include "ui/toolbar_glyphs.h"

#include "document/element_catalogue.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kS = kGlyphSize;
constexpr int kMid = kS / 2;

QPixmap blankPixmap() {
    QPixmap pixmap(kS, kS);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void setupPainter(QPainter& painter, int width = 1) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
}

// Writes a short text centred in `area`, squeezed horizontally when it is too wide.
void drawFittedText(QPainter& painter, const QRect& area, const QString& text, int pixelSize) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(text);
    painter.save();
    if (width > area.width() && width > 0) {
        const qreal scale = static_cast<qreal>(area.width()) / width;
        painter.translate(area.left(), 0);
        painter.scale(scale, 1.0);
        painter.drawText(QRect(0, area.top(), width, area.height()), Qt::AlignCenter, text);
    } else {
        painter.drawText(area, Qt::AlignCenter, text);
    }
    painter.restore();
}

void drawWire(QPainter& painter, int from, int to) {
    painter.drawLine(from, kMid, to, kMid);
}

void drawCoil(QPainter& painter, const QString& letters) {
    drawWire(painter, 0, 3);
    drawWire(painter, kS - 4, kS - 1);
    painter.drawArc(QRect(3, 3, 6, kS - 6), 90 * 16, 180 * 16);
    painter.drawArc(QRect(kS - 10, 3, 6, kS - 6), 270 * 16, 180 * 16);
    if (!letters.isEmpty()) {
        drawFittedText(painter, QRect(4, 4, kS - 8, kS - 8), letters, 7);
    }
}

void drawContact(QPainter& painter, bool closed) {
    drawWire(painter, 0, 5);
    drawWire(painter, kS - 6, kS - 1);
    painter.drawLine(6, 3, 6, kS - 4);
    painter.drawLine(kS - 7, 3, kS - 7, kS - 4);
    if (closed) {
        painter.drawLine(4, kS - 3, kS - 5, 2);
    }
}

void drawDiamond(QPainter& painter, int centreX) {
    QPolygon diamond;
    diamond << QPoint(centreX - 4, kMid) << QPoint(centreX, kMid - 4) << QPoint(centreX + 4, kMid)
            << QPoint(centreX, kMid + 4);
    painter.drawPolygon(diamond);
    painter.drawLine(centreX - 2, kMid, centreX + 2, kMid);
    painter.drawLine(centreX, kMid - 2, centreX, kMid + 2);
}

void drawBoxedText(QPainter& painter, const QString& text) {
    painter.drawRect(1, 3, kS - 3, kS - 7);
    drawFittedText(painter, QRect(2, 4, kS - 4, kS - 8), text, 7);
}

// A block glyph: the frame of a block with its name; long names take two lines (ONDTR as ON over
// DTR, SRH EQ as SRH over EQ) so that they stay readable at this size.
void drawBlockName(QPainter& painter, const QString& name) {
    painter.drawRect(0, 0, kS - 1, kS - 1);
    if (name.size() <= 4) {
        drawFittedText(painter, QRect(1, 1, kS - 2, kS - 2), name, 8);
        return;
    }
    qsizetype split = name.indexOf(QLatin1Char(' '));
    QString second;
    if (split >= 0) {
        second = name.mid(split + 1);
    } else {
        const bool twoLetterPrefix =
            name.startsWith(QLatin1String("ON")) || name.startsWith(QLatin1String("UP")) ||
            name.startsWith(QLatin1String("DN")) || name.startsWith(QLatin1String("TO"));
        split = twoLetterPrefix ? 2 : 3;
        second = name.mid(split);
    }
    drawFittedText(painter, QRect(1, 1, kS - 2, 7), name.left(split), 7);
    drawFittedText(painter, QRect(1, 8, kS - 2, 7), second, 7);
}

void drawLink(QPainter& painter, int link) {
    drawWire(painter, 3, kS - 1);
    const int top = link == document::LinkFlag::LinkDown ? kMid : 0;
    const int bottom = link == document::LinkFlag::LinkUp ? kMid : kS - 1;
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(3, top, 3, bottom);
}

void drawJump(QPainter& painter, const QString& prefix) {
    drawWire(painter, 0, kS - 3);
    painter.drawLine(kS - 6, kMid - 3, kS - 3, kMid);
    painter.drawLine(kS - 6, kMid + 3, kS - 3, kMid);
    painter.drawLine(kS - 4, kMid - 3, kS - 1, kMid);
    painter.drawLine(kS - 4, kMid + 3, kS - 1, kMid);
    if (!prefix.isEmpty()) {
        drawFittedText(painter, QRect(1, 0, 8, kMid), prefix, 7);
    }
}

QString coilLetters(int code) {
    using K = document::ElementKind;
    switch (code) {
        case K::CoilSM: return QStringLiteral("SM");
        case K::CoilRM: return QStringLiteral("RM");
        case K::CoilNotM: return QStringLiteral("/M");
        case K::CoilNot: return QStringLiteral("/");
        case K::CoilM: return QStringLiteral("M");
        case K::CoilS: return QStringLiteral("S");
        case K::CoilR: return QStringLiteral("R");
        case K::CoilPos: return QString(QChar(0x2191));
        case K::CoilNeg: return QString(QChar(0x2193));
        default: return {};
    }
}

void drawElement(QPainter& painter, const document::ElementEntry& entry) {
    using K = document::ElementKind;
    if (entry.placement == document::Placement::Block) {
        const document::BlockTemplate* block = document::findBlockTemplate(entry.code);
        const QString name =
            block ? QString::fromLatin1(block->name.data(), static_cast<int>(block->name.size()))
                  : QString::number(entry.code);
        drawBlockName(painter, name);
        return;
    }
    if (entry.placement == document::Placement::Link) {
        drawLink(painter, entry.code);
        return;
    }
    switch (entry.code) {
        case K::ContactNO: drawContact(painter, false); return;
        case K::ContactNC: drawContact(painter, true); return;
        case K::HLink: drawWire(painter, 0, kS - 1); return;
        case K::ContinuationCoil:
            drawWire(painter, 0, kS - 10);
            drawDiamond(painter, kS - 6);
            return;
        case K::ContinuationContact:
            drawDiamond(painter, 5);
            drawWire(painter, 9, kS - 1);
            return;
        case K::End: drawBoxedText(painter, QStringLiteral("END")); return;
        case K::Mcr: drawBoxedText(painter, QStringLiteral("MCR")); return;
        case K::McrN: drawBoxedText(painter, QStringLiteral("MCRN")); return;
        case K::EndMcr: drawBoxedText(painter, QStringLiteral("EMCR")); return;
        case K::EndMcrN: drawBoxedText(painter, QStringLiteral("EMCN")); return;
        case K::Jump: drawJump(painter, {}); return;
        case K::JumpN: drawJump(painter, QStringLiteral("N")); return;
        case K::Label:
            drawFittedText(painter, QRect(0, 0, kS, kS), QStringLiteral("??"), 9);
            return;
        default: drawCoil(painter, coilLetters(entry.code)); return;
    }
}

void drawPage(QPainter& painter, int x, int y) {
    QPolygon page;
    page << QPoint(x, y) << QPoint(x + 7, y) << QPoint(x + 10, y + 3) << QPoint(x + 10, y + 13)
         << QPoint(x, y + 13);
    painter.setBrush(Qt::white);
    painter.drawPolygon(page);
    painter.setBrush(Qt::NoBrush);
}

void drawRows(QPainter& painter) {
    for (int y = 2; y <= 12; y += 5) {
        painter.drawRect(1, y, 9, 3);
    }
}

void drawCommand(QPainter& painter, CommandGlyph glyph) {
    switch (glyph) {
        case CommandGlyph::New: drawPage(painter, 3, 1); return;
        case CommandGlyph::Open: {
            painter.setBrush(QColor(240, 200, 80));
            painter.drawRect(1, 5, 13, 9);
            painter.drawLine(1, 5, 4, 2);
            painter.drawLine(4, 2, 7, 2);
            painter.setBrush(Qt::NoBrush);
            return;
        }
        case CommandGlyph::Save: {
            painter.setBrush(QColor(60, 90, 170));
            painter.drawRect(1, 1, 14, 14);
            painter.setBrush(Qt::white);
            painter.drawRect(4, 1, 8, 5);
            painter.drawRect(3, 9, 10, 6);
            painter.setBrush(Qt::NoBrush);
            return;
        }
        case CommandGlyph::Cut:
            painter.drawLine(4, 1, 11, 10);
            painter.drawLine(12, 1, 5, 10);
            painter.drawEllipse(QRect(1, 10, 5, 5));
            painter.drawEllipse(QRect(10, 10, 5, 5));
            return;
        case CommandGlyph::Copy:
            drawPage(painter, 1, 0);
            drawPage(painter, 5, 3);
            return;
        case CommandGlyph::Paste:
            painter.setBrush(QColor(200, 160, 90));
            painter.drawRect(1, 2, 11, 13);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(4, 0, 5, 3);
            drawPage(painter, 6, 3);
            return;
        case CommandGlyph::InsertRow:
            drawRows(painter);
            painter.setPen(QPen(QColor(0, 120, 0), 2));
            painter.drawLine(13, 5, 13, 11);
            painter.drawLine(10, 8, 16, 8);
            return;
        case CommandGlyph::DeleteRow:
            drawRows(painter);
            painter.setPen(QPen(QColor(180, 0, 0), 2));
            painter.drawLine(10, 8, 16, 8);
            return;
        case CommandGlyph::Check:
            painter.setPen(QPen(QColor(0, 130, 0), 2));
            painter.drawLine(2, 8, 6, 13);
            painter.drawLine(6, 13, 15, 3);
            return;
        case CommandGlyph::List:
            for (int y = 3; y <= 14; y += 3) {
                painter.drawLine(2, y, y % 2 ? 14 : 11, y);
            }
            return;
        case CommandGlyph::Run: {
            QPolygon triangle;
            triangle << QPoint(4, 2) << QPoint(14, 8) << QPoint(4, 14);
            painter.setBrush(QColor(0, 140, 0));
            painter.drawPolygon(triangle);
            painter.setBrush(Qt::NoBrush);
            return;
        }
        case CommandGlyph::Dde:
            painter.drawLine(1, 5, 14, 5);
            painter.drawLine(11, 2, 14, 5);
            painter.drawLine(2, 11, 15, 11);
            painter.drawLine(2, 11, 5, 14);
            return;
        case CommandGlyph::Grid:
            for (int i = 1; i < kS; i += 5) {
                painter.drawLine(i, 1, i, kS - 1);
                painter.drawLine(1, i, kS - 1, i);
            }
            return;
        case CommandGlyph::FullScreen:
            painter.drawRect(2, 2, 12, 12);
            painter.drawLine(5, 5, 11, 11);
            painter.drawLine(11, 5, 5, 11);
            return;
        case CommandGlyph::Panel1:
        case CommandGlyph::Panel2:
        case CommandGlyph::Panel3:
        case CommandGlyph::Panel4: {
            const int number = static_cast<int>(glyph) - static_cast<int>(CommandGlyph::Panel1) + 1;
            painter.drawRect(1, 4, 14, 9);
            drawFittedText(painter, QRect(1, 4, 14, 9), QString::number(number), 8);
            return;
        }
        case CommandGlyph::Parameters: drawBoxedText(painter, QStringLiteral("T")); return;
        case CommandGlyph::About:
            painter.drawEllipse(QRect(1, 1, 14, 14));
            drawFittedText(painter, QRect(1, 1, 14, 14), QStringLiteral("i"), 10);
            return;
        case CommandGlyph::Help:
            painter.drawEllipse(QRect(1, 1, 14, 14));
            drawFittedText(painter, QRect(1, 1, 14, 14), QStringLiteral("?"), 10);
            return;
        case CommandGlyph::Analysis:
            drawFittedText(painter, QRect(0, 0, kS, kS), QStringLiteral("N"), 10);
            return;
        case CommandGlyph::Close:
            painter.drawLine(1, 1, 6, 6);
            painter.drawLine(6, 1, 1, 6);
            return;
    }
}

}  // namespace

QIcon commandGlyph(CommandGlyph glyph) {
    QPixmap pixmap = blankPixmap();
    QPainter painter(&pixmap);
    setupPainter(painter);
    drawCommand(painter, glyph);
    painter.end();
    return QIcon(pixmap);
}

QIcon elementGlyph(const document::ElementEntry& entry) {
    QPixmap pixmap = blankPixmap();
    QPainter painter(&pixmap);
    setupPainter(painter);
    drawElement(painter, entry);
    painter.end();
    return QIcon(pixmap);
}
