// The element, block and link pictures, drawn in code once at start-up.
#include "ui/element_pictures.h"

#include "document/element_catalogue.h"
#include "ui/cell_geometry.h"

#include <QFont>
#include <QPainter>
#include <QPolygon>

namespace ui {
namespace {

constexpr int kWidth = kCellWidth;
constexpr int kElementHeight = kElementPictureHeight;
constexpr int kLinkWidth = 10;
// The wire inside an element picture; the element picture starts 40 rows into the cell.
constexpr int kWireRow = kWireTop - kElementPictureTop;
// Symbols stand between these picture rows, centred on the wire.
constexpr int kSymbolTop = 13;
constexpr int kSymbolBottom = 35;

// Block frame geometry inside a 77 x 90 cell.
constexpr int kLeftSide = 3;
constexpr int kRightSide = 71;
constexpr int kLineThickness = 3;
constexpr int kTopEdge = 45;
constexpr int kBottomEdge = 71;
constexpr int kCallBottomEdge = 40;
constexpr int kStubLength = 6;

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

// Pictures are two-coloured: whatever the drawing left grey becomes black or white.
QImage monochrome(QImage image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = qGray(line[x]) < 128 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        }
    }
    return image;
}

// The lines alone: white becomes transparent, so that drawing the picture over anything only
// adds its black lines, as the pixel AND does on the screen.
QImage withoutWhite(const QImage& picture) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(line[x]) >= 128) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return image;
}

QFont symbolFont(int pixelSize) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// A painter with black solid lines and no smoothing, as bitmaps are drawn.
void prepare(QPainter& painter, int penWidth = 2) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setPen(QPen(Qt::black, penWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::black);
}

void wire(QPainter& painter, int firstCol, int lastCol) {
    painter.fillRect(firstCol, kWireRow, lastCol - firstCol + 1, kLineThickness, Qt::black);
}

void centredText(QPainter& painter, const QRect& box, const QString& text, int pixelSize) {
    painter.setFont(symbolFont(pixelSize));
    painter.drawText(box, Qt::AlignCenter, text);
}

QImage contact(bool closed) {
    QImage image = blank(kWidth, kElementHeight);
    QPainter painter(&image);
    prepare(painter);
    wire(painter, 0, 31);
    wire(painter, 43, kWidth - 1);
    const int height = kSymbolBottom - kSymbolTop + 1;
    painter.fillRect(29, kSymbolTop, 3, height, Qt::black);
    painter.fillRect(43, kSymbolTop, 3, height, Qt::black);
    if (closed) {
        painter.drawLine(33, kSymbolBottom - 1, 41, kSymbolTop + 1);
    }
    return image;
}

// The coil's brackets; `inner` draws what stands between them.
template <typename Inner>
QImage coil(Inner inner) {
    QImage image = blank(kWidth, kElementHeight);
    QPainter painter(&image);
    prepare(painter);
    wire(painter, 0, 23);
    wire(painter, 53, kWidth - 1);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRect(23, kSymbolTop - 1, 16, 25), 110 * 16, 140 * 16);
    painter.drawArc(QRect(38, kSymbolTop - 1, 16, 25), -70 * 16, 140 * 16);
    painter.setBrush(Qt::black);
    inner(painter);
    return image;
}

QImage letterCoil(const QString& letters) {
    return coil([&](QPainter& painter) {
        centredText(painter, QRect(26, kSymbolTop, 26, kSymbolBottom - kSymbolTop + 1), letters,
                    letters.size() > 1 ? 10 : 11);
    });
}

QImage arrowCoil(bool up) {
    return coil([&](QPainter& painter) {
        painter.fillRect(38, 17, 2, 15, Qt::black);
        const int tip = up ? 14 : 34;
        const int base = up ? 20 : 28;
        painter.drawPolygon(
            QPolygon({QPoint(34, base), QPoint(38, tip), QPoint(39, tip), QPoint(43, base)}));
    });
}

void diamond(QPainter& painter, int centreX) {
    const int centreY = kWireRow + 1;
    const int half = 9;
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(
        QPolygon({QPoint(centreX - half, centreY), QPoint(centreX, centreY - half),
                  QPoint(centreX + half, centreY), QPoint(centreX, centreY + half)}));
    painter.fillRect(centreX - 4, centreY - 1, 9, 2, Qt::black);
    painter.fillRect(centreX, centreY - 4, 2, 9, Qt::black);
    painter.setBrush(Qt::black);
}

QImage continuationCoil() {
    QImage image = blank(kWidth, kElementHeight);
    QPainter painter(&image);
    prepare(painter);
    wire(painter, 0, 42);
    wire(painter, 62, kWidth - 1);
    diamond(painter, 52);
    return image;
}

QImage continuationContact() {
    QImage image = blank(kWidth, kElementHeight);
    QPainter painter(&image);
    prepare(painter);
    // Clear of the left edge, where a vertical link may run.
    diamond(painter, 13);
    wire(painter, 22, kWidth - 1);
    return image;
}

// A control-function box between two heavy bars, with one or two lines of text.
QImage functionBox(const QString& top, const QString& bottom) {
    QImage image = blank(kWidth, kElementHeight);
    QPainter painter(&image);
    prepare(painter, 1);
    wire(painter, 0, 14);
    wire(painter, 62, kWidth - 1);
    const int boxTop = kSymbolTop - 2;
    const int boxHeight = kSymbolBottom - kSymbolTop + 5;
    painter.fillRect(14, boxTop, 3, boxHeight, Qt::black);
    painter.fillRect(60, boxTop, 3, boxHeight, Qt::black);
    painter.fillRect(14, boxTop, 49, 1, Qt::black);
    painter.fillRect(14, boxTop + boxHeight - 1, 49, 1, Qt::black);
    if (bottom.isEmpty()) {
        centredText(painter, QRect(17, boxTop, 43, boxHeight), top, 10);
    } else {
        const int half = boxHeight / 2;
        centredText(painter, QRect(17, boxTop + 1, 43, half), top, 9);
        centredText(painter, QRect(17, boxTop + half, 43, half - 1), bottom, 9);
    }
    return image;
}

void doubleArrowHead(QPainter& painter, int tipX) {
    const int centreY = kWireRow + 1;
    for (const int tip : {tipX - 9, tipX}) {
        painter.drawPolygon(QPolygon(
            {QPoint(tip - 8, centreY - 7), QPoint(tip, centreY), QPoint(tip - 8, centreY + 7)}));
    }
}

QImage jump(bool withN) {
    QImage image = blank(kWidth, kElementHeight);
    QPainter painter(&image);
    prepare(painter, 1);
    if (withN) {
        wire(painter, 0, 44);
        centredText(painter, QRect(45, kSymbolTop, 12, kSymbolBottom - kSymbolTop + 1),
                    QStringLiteral("N"), 11);
        wire(painter, 57, 70);
    } else {
        wire(painter, 0, 70);
    }
    doubleArrowHead(painter, kWidth - 2);
    return image;
}

QImage label() {
    QImage image = blank(kWidth, kElementHeight);
    QPainter painter(&image);
    prepare(painter, 1);
    centredText(painter, QRect(0, kSymbolTop, kWidth, kSymbolBottom - kSymbolTop + 1),
                QStringLiteral("??????"), 11);
    return image;
}

QImage horizontalLink() {
    QImage image = blank(kWidth, kElementHeight);
    QPainter painter(&image);
    wire(painter, 0, kWidth - 1);
    return image;
}

// A block frame piece: sides (each from `sideTop` to `sideBottom`), horizontal edges and stubs.
struct FramePiece {
    bool leftSide = true;
    bool rightSide = true;
    int sideTop = 0;
    int sideBottom = kCellHeight - 1;
    int edgeRow = -1;  // no edge
    int edgeFirstCol = kLeftSide;
    int edgeLastCol = kRightSide + kLineThickness - 1;
    bool inputStub = false;
    bool outputStub = false;
};

QImage frame(const FramePiece& piece) {
    QImage image = blank(kWidth, kCellHeight);
    QPainter painter(&image);
    const int sideHeight = piece.sideBottom - piece.sideTop + 1;
    if (piece.leftSide) {
        painter.fillRect(kLeftSide, piece.sideTop, kLineThickness, sideHeight, Qt::black);
    }
    if (piece.rightSide) {
        painter.fillRect(kRightSide, piece.sideTop, kLineThickness, sideHeight, Qt::black);
    }
    if (piece.edgeRow >= 0) {
        painter.fillRect(piece.edgeFirstCol, piece.edgeRow,
                         piece.edgeLastCol - piece.edgeFirstCol + 1, kLineThickness, Qt::black);
    }
    if (piece.inputStub) {
        painter.fillRect(0, kWireTop, kStubLength, kLineThickness, Qt::black);
    }
    if (piece.outputStub) {
        painter.fillRect(kWidth - kStubLength, kWireTop, kStubLength, kLineThickness, Qt::black);
    }
    return image;
}

QImage blockPicture(const document::RoleEntry& role) {
    using document::BlockRole;
    FramePiece piece;
    piece.inputStub = role.inputStub;
    piece.outputStub = role.outputStub;
    switch (role.role) {
        case BlockRole::BlockTop:
        case BlockRole::BlockTopNoOut:
            piece.sideTop = kTopEdge;
            piece.edgeRow = kTopEdge;
            break;
        case BlockRole::BlockBottom:
        case BlockRole::BlockBottomNoOut:
        case BlockRole::BlockBottomNoIn:
            piece.sideBottom = kBottomEdge + kLineThickness - 1;
            piece.edgeRow = kBottomEdge;
            break;
        case BlockRole::CallTopLeft:
            piece.rightSide = false;
            piece.sideTop = kTopEdge;
            piece.edgeRow = kTopEdge;
            piece.edgeLastCol = kWidth - 1;
            break;
        case BlockRole::CallTopRight:
            piece.leftSide = false;
            piece.sideTop = kTopEdge;
            piece.edgeRow = kTopEdge;
            piece.edgeFirstCol = 0;
            break;
        case BlockRole::CallBottomLeft:
            piece.rightSide = false;
            piece.sideBottom = kCallBottomEdge + kLineThickness - 1;
            piece.edgeRow = kCallBottomEdge;
            piece.edgeLastCol = kWidth - 1;
            break;
        case BlockRole::CallBottomRight:
            piece.leftSide = false;
            piece.sideBottom = kCallBottomEdge + kLineThickness - 1;
            piece.edgeRow = kCallBottomEdge;
            piece.edgeFirstCol = 0;
            break;
        default:  // inner rows: sides over the full height
            break;
    }
    return frame(piece);
}

QImage linkPicture(int link) {
    using document::LinkFlag;
    QImage image = blank(link == LinkFlag::LinkBoth ? kWidth : kLinkWidth, kCellHeight);
    QPainter painter(&image);
    const int top = link == LinkFlag::LinkDown ? kWireTop : 0;
    const int bottom = link == LinkFlag::LinkUp ? kWireBottom : kCellHeight - 1;
    painter.fillRect(0, top, kLineThickness, bottom - top + 1, Qt::black);
    return image;
}

QImage elementPicture(int kind) {
    switch (kind) {
        case 1: return contact(false);
        case 2: return contact(true);
        case 3: return letterCoil(QString());
        case 4: return letterCoil(QStringLiteral("SM"));
        case 5: return letterCoil(QStringLiteral("RM"));
        case 7: return horizontalLink();
        case 8: return continuationCoil();
        case 9: return continuationContact();
        case 10: return letterCoil(QStringLiteral("/M"));
        case 11: return coil([](QPainter& painter) { painter.drawLine(34, 32, 43, 16); });
        case 12: return letterCoil(QStringLiteral("M"));
        case 13: return letterCoil(QStringLiteral("S"));
        case 14: return letterCoil(QStringLiteral("R"));
        case 15: return arrowCoil(true);
        case 16: return arrowCoil(false);
        case 64: return functionBox(QStringLiteral("END"), QString());
        case 67: return functionBox(QStringLiteral("MCRN"), QString());
        case 68: return functionBox(QStringLiteral("MCRN"), QStringLiteral("END"));
        case 69: return jump(true);
        case 71: return functionBox(QStringLiteral("MCR"), QString());
        case 72: return functionBox(QStringLiteral("MCR"), QStringLiteral("END"));
        case 73: return jump(false);
        case 74: return label();
        default: return QImage();
    }
}

}  // namespace

ElementPictures::ElementPictures(Background background) : m_background(background) {
    // The catalogue names the pictures; each name is drawn once.
    for (const document::ElementEntry& entry : document::elementCatalogue()) {
        if (entry.picture.empty() || byName(entry.picture) != nullptr) {
            continue;
        }
        QImage image = entry.placement == document::Placement::Link ? linkPicture(entry.code)
                                                                    : elementPicture(entry.code);
        if (!image.isNull()) {
            m_named.push_back({entry.picture, monochrome(std::move(image))});
        }
    }
    for (const document::RoleEntry& role : document::blockRoles()) {
        m_named.push_back({role.picture, blockPicture(role)});
    }
    if (m_background == Background::Transparent) {
        for (NamedPicture& picture : m_named) {
            picture.image = withoutWhite(picture.image);
        }
    }
    // Every code is then resolved to its picture, so that painting needs no look-up by name.
    const auto resolve = [this](auto& table, int slot, std::string_view name) {
        if (slot >= 0) {
            table[static_cast<std::size_t>(slot)] = byName(name);
        }
    };
    for (const document::ElementEntry& entry : document::elementCatalogue()) {
        if (entry.placement == document::Placement::Link) {
            resolve(m_links, document::linkSlot(entry.code), entry.picture);
        } else if (entry.placement != document::Placement::Block) {
            resolve(m_byKind, document::pictureKindSlot(entry.code), entry.picture);
        }
    }
    for (const document::RoleEntry& role : document::blockRoles()) {
        resolve(m_byKind, document::pictureKindSlot(role.role), role.picture);
    }
}

const ElementPictures& ElementPictures::shared() {
    static const ElementPictures pictures;
    return pictures;
}

const ElementPictures& ElementPictures::sharedTransparent() {
    static const ElementPictures pictures(Background::Transparent);
    return pictures;
}

const QImage* ElementPictures::forPictureKind(int kind) const {
    const int slot = document::pictureKindSlot(kind);
    return slot < 0 ? nullptr : m_byKind[static_cast<std::size_t>(slot)];
}

const QImage* ElementPictures::forLink(int linkPart) const {
    const int slot = document::linkSlot(linkPart);
    return slot < 0 ? nullptr : m_links[static_cast<std::size_t>(slot)];
}

const QImage* ElementPictures::byName(std::string_view name) const {
    if (name.empty()) {
        return nullptr;
    }
    for (const NamedPicture& picture : m_named) {
        if (picture.name == name) {
            return &picture.image;
        }
    }
    return nullptr;
}

}  // namespace ui
