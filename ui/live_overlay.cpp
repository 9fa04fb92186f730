// Drawing of the running program over the grid's cells.
#include "ui/live_overlay.h"

#include "document/cell_code.h"
#include "document/ladder_document.h"
#include "ui/cell_geometry.h"
#include "ui/element_pictures.h"

#include <QPainter>
#include <QRect>

namespace ui {
namespace {

using translator::CellPower;

const QColor kPowered(0, 170, 0);
const QColor kPoweredDim(150, 205, 150);
const QColor kConducts(190, 240, 190);
const QColor kConductsDim(228, 242, 228);
const QColor kValue(0, 60, 190);
const QColor kValueDim(135, 145, 175);
const QColor kForcedMark(230, 120, 0);

// A powered wire is drawn a pixel thicker on both sides of the three-pixel rung wire.
constexpr int kThickTop = kWireTop - 1;
constexpr int kThickHeight = kWireBottom - kWireTop + 3;
// The link line at a cell's left edge, thickened likewise.
constexpr int kLinkWidth = 4;
// Contact: the wire ends, the two bars and the gap between them (cell coordinates).
constexpr int kContactLeftEnd = 28;
constexpr int kContactRightStart = 46;
constexpr int kBarLeft = 29;
constexpr int kBarRight = 43;
constexpr int kBarWidth = 3;
constexpr int kSymbolTop = kElementPictureTop + 13;
constexpr int kSymbolHeight = 23;
constexpr int kGapLeft = 32;
constexpr int kGapWidth = 11;
// Coil: the wire ends and the brackets between them.
constexpr int kCoilLeftEnd = 22;
constexpr int kCoilRightStart = 55;
constexpr int kBracketsLeft = 22;
constexpr int kBracketsWidth = 33;
constexpr int kCoilInsideLeft = 28;
constexpr int kCoilInsideWidth = 22;
// Block: the stubs of the power-flow input and output.
constexpr int kStubLength = 7;
// Operand values: small type below the operand's own text, which ends above this row.
constexpr int kValueTop = 70;
constexpr int kValueFontPixels = 10;
// A block's register value stands inside the frame, clear of the block's labels.
constexpr CellPoint kRegisterValue{8, 38};
// The corner kept for marks on an operand (forcing): the cell's top right.
constexpr int kMarkSize = 11;

QFont valueFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kValueFontPixels);
    return font;
}

}  // namespace

LiveOverlay::LiveOverlay(const ElementPictures& pictures)
    : m_pictures(pictures),
      m_valueFont(valueFont()),
      m_valueMetrics(m_valueFont),
      m_currentValue(QStringLiteral("CV=")) {}

void LiveOverlay::show(translator::PowerMap& next, bool dimmed,
                       const std::function<void(int row, int col)>& changed) {
    const bool dimChanged = dimmed != m_dimmed;
    const int rows = std::max(next.rowCount(), m_map.rowCount());
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < kGridColumns; ++col) {
            const CellPower& before = m_map.at(row, col);
            const CellPower& after = next.at(row, col);
            const bool shows = (before.bits | after.bits) & ~CellPower::Element;
            if (!(before == after) || (dimChanged && shows)) {
                changed(row, col);
            }
        }
    }
    std::swap(m_map, next);
    m_dimmed = dimmed;
}

const QImage& LiveOverlay::tinted(const QImage& picture, int key) const {
    const int slot = key * 2 + (m_dimmed ? 1 : 0);
    auto found = m_tinted.find(slot);
    if (found != m_tinted.end()) {
        return found->second;
    }
    // The picture's black lines in the powered colour, everything else transparent.
    QImage image(picture.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb colour = (m_dimmed ? kPoweredDim : kPowered).rgb();
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            image.setPixel(x, y, qGray(picture.pixel(x, y)) < 128 ? colour : qRgba(0, 0, 0, 0));
        }
    }
    return m_tinted.emplace(slot, std::move(image)).first->second;
}

void LiveOverlay::paint(QPainter& painter, const document::LadderDocument& document, int row,
                        int col, const QRect& rect) const {
    const CellPower& cell = m_map.at(row, col);
    if ((cell.bits & ~CellPower::Element) == 0 || !document.contains(row, col)) {
        return;
    }
    const std::int32_t code = document.CellCode(row, col);
    const std::int32_t kind = document::kindOf(code);
    const int x = rect.left();
    const int y = rect.top();
    const QColor& powered = m_dimmed ? kPoweredDim : kPowered;
    const QColor& conducts = m_dimmed ? kConductsDim : kConducts;
    auto wire = [&](int first, int last) {
        painter.fillRect(x + first, y + kThickTop, last - first + 1, kThickHeight, powered);
    };
    // A fill that leaves the picture's black lines (a contact's stroke, a coil's letters).
    auto underlay = [&](int left, int top, int width, int height) {
        painter.setCompositionMode(QPainter::CompositionMode_Darken);
        painter.fillRect(x + left, y + top, width, height, conducts);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    };
    const QImage* picture = m_pictures.forPictureKind(document::pictureKind(code));
    const int last = kCellWidth - 1;

    if (document::isBlockCell(code)) {
        if (cell.has(CellPower::BlockEnabled) && picture != nullptr) {
            painter.drawImage(x, y, tinted(*picture, document::blockRole(code)));
        }
        if (document::isBlockTop(code) && cell.has(CellPower::LeftPowered)) {
            wire(0, kStubLength - 1);
        }
        if (cell.has(CellPower::FlowOut)) {
            wire(kCellWidth - kStubLength, last);
        }
    } else if (document::isContact(code)) {
        if (cell.has(CellPower::LeftPowered)) {
            wire(0, kContactLeftEnd);
        }
        if (cell.has(CellPower::Conducts)) {
            underlay(kGapLeft, kSymbolTop, kGapWidth, kSymbolHeight);
        }
        if (cell.has(CellPower::RightPowered)) {
            painter.fillRect(x + kBarLeft, y + kSymbolTop, kBarWidth, kSymbolHeight, powered);
            painter.fillRect(x + kBarRight, y + kSymbolTop, kBarWidth, kSymbolHeight, powered);
            wire(kContactRightStart, last);
        }
    } else if (document::isCoil(code)) {
        if (cell.has(CellPower::LeftPowered)) {
            wire(0, kCoilLeftEnd);
        }
        if (cell.has(CellPower::RightPowered) && picture != nullptr) {
            underlay(kCoilInsideLeft, kSymbolTop + 2, kCoilInsideWidth, kSymbolHeight - 4);
            painter.save();
            painter.setClipRect(x + kBracketsLeft, y + kElementPictureTop, kBracketsWidth,
                                kElementPictureHeight);
            painter.drawImage(x, y + kElementPictureTop, tinted(*picture, kind));
            painter.restore();
            wire(kCoilRightStart, last);
        }
    } else if (kind == document::ElementKind::HLink) {
        if (cell.has(CellPower::RightPowered)) {
            wire(0, last);
        }
    } else if (cell.has(CellPower::RightPowered) && picture != nullptr &&
               !document::isEmptyOrLinkOnly(code)) {
        // Continuation elements and control functions: the whole symbol lights up.
        painter.drawImage(x, y + kElementPictureTop, tinted(*picture, kind));
    }

    if (cell.has(CellPower::LinkPowered)) {
        switch (document::linkPart(code)) {
            case document::LinkFlag::LinkDown:
                painter.fillRect(x, y + kThickTop, kLinkWidth, kCellHeight - kThickTop, powered);
                break;
            case document::LinkFlag::LinkUp:
                painter.fillRect(x, y, kLinkWidth, kThickTop + kThickHeight, powered);
                break;
            case document::LinkFlag::LinkBoth:
                painter.fillRect(x, y, kLinkWidth, kCellHeight, powered);
                break;
            default: break;
        }
    }
    if (cell.has(CellPower::HasValue)) {
        paintValue(painter, document, row, col, rect, cell);
    }
    if (cell.has(CellPower::Forced)) {
        const QRect mark(x + kCellWidth - kMarkSize, y, kMarkSize, kMarkSize);
        painter.fillRect(mark, kForcedMark);
        painter.setFont(m_valueFont);
        painter.setPen(Qt::white);
        painter.drawText(mark, Qt::AlignCenter, QStringLiteral("F"));
    }
}

void LiveOverlay::paintValue(QPainter& painter, const document::LadderDocument& document, int row,
                             int col, const QRect& rect, const CellPower& cell) const {
    const std::int32_t code = document.CellCode(row, col);
    CellPoint at{textpos::kOperand.x, kValueTop};
    if (document::isBlockCell(code)) {
        at = kRegisterValue;
    } else {
        const std::int32_t left = col > 0 ? document.CellCode(row, col - 1) : 0;
        const std::int32_t right = col < kGridColumns - 1 ? document.CellCode(row, col + 1) : 0;
        switch (operandPlace(true, code, col, left, right)) {
            case OperandPlace::BeforeBlockInput: at.x = textpos::kOperandBeforeInput.x; break;
            case OperandPlace::AfterBlockOutput: at.x = textpos::kOperandAfterOutput.x; break;
            case OperandPlace::AboveWire: break;
        }
    }
    // In a block's own cell the value is its register's: the current value of a timer or
    // counter, named as the block names its preset.
    m_text = document::isBlockCell(code) ? m_currentValue : QString();
    m_text += QString::number(cell.value);
    const QRect box(rect.left() + at.x, rect.top() + at.y,
                    std::min(m_valueMetrics.horizontalAdvance(m_text) + 2, kCellWidth - at.x),
                    m_valueMetrics.height());
    painter.fillRect(box, Qt::white);
    painter.setFont(m_valueFont);
    painter.setPen(m_dimmed ? kValueDim : kValue);
    painter.drawText(box.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, m_text);
}

}  // namespace ui
