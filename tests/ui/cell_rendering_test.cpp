// Drawing of single grid cells: the geometry of the pictures, the combination of link pictures
// with element pictures, and where each text field lands.
#include "document/element_catalogue.h"
#include "document/ladder_document.h"
#include "ui/cell_geometry.h"
#include "ui/cell_painter.h"
#include "ui/element_pictures.h"

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QtTest>

#include <string>

namespace {

constexpr int kW = ui::kCellWidth;
constexpr int kH = ui::kCellHeight;
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGuard = qRgb(10, 200, 10);  // what lies outside the cell under test

// A one-row document of three cells: (0, 0), the cell under test (0, 1) and (0, 2), unless the
// test places the cell in column 0 or 9.
struct Row {
    int left = 0;
    int code = 0;
    int right = 0;
    std::string text;
    int col = 1;
};

// Draws the cell under test into an image of exactly one cell.
QImage render(const Row& row, bool selected = false) {
    document::LadderDocument document;
    if (row.col > 0) {
        document.SetCellCode(0, row.col - 1, row.left);
    }
    if (row.col < ui::kGridColumns - 1) {
        document.SetCellCode(0, row.col + 1, row.right);
    }
    document.SetCellCode(0, row.col, row.code);
    document.SetCellText(0, row.col, row.text);
    const ui::CellPainter painter(ui::ElementPictures::shared());
    QImage image(kW, kH, QImage::Format_RGB32);
    image.fill(kGuard);
    QPainter canvas(&image);
    painter.paint(canvas, document, 0, row.col, QRect(0, 0, kW, kH), selected, QPalette());
    return image;
}

QImage renderCode(int code) {
    return render(Row{0, code, 0, {}, 1});
}

bool isBlack(const QImage& image, int x, int y) {
    return image.pixel(x, y) == kBlack;
}

// True when every pixel of the rectangle (inclusive corners) has colour `colour`.
bool allOf(const QImage& image, QRect area, QRgb colour) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != colour) {
                return false;
            }
        }
    }
    return true;
}

bool anyBlack(const QImage& image, QRect area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == kBlack) {
                return true;
            }
        }
    }
    return false;
}

// The bounding box of the pixels inside `area` in which two images differ (null when none).
QRect difference(const QImage& a, const QImage& b, QRect area = QRect(0, 0, kW, kH)) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

QRect wireRows(int firstCol, int lastCol) {
    return QRect(QPoint(firstCol, ui::kWireTop), QPoint(lastCol, ui::kWireBottom));
}

}  // namespace

class CellRenderingTest : public QObject {
    Q_OBJECT
private slots:
    void gridCellsTouchedByARectangle_data();
    void gridCellsTouchedByARectangle();

    void operandPlaceFollowsTheNeighbouringBlockRows_data();
    void operandPlaceFollowsTheNeighbouringBlockRows();
    void fieldsSplitAtEveryHashAndTheFirstOfATagCounts_data();
    void fieldsSplitAtEveryHashAndTheFirstOfATagCounts();
    void codePageTextBecomesPolishLetters();

    void everyCataloguePictureIsDrawnTwoColouredAtItsSize();
    void elementPicturesJoinTheWireAtBothCellEdges_data();
    void elementPicturesJoinTheWireAtBothCellEdges();
    void contactBarsStandWhereTheyShould();
    void kindsWithoutPictureAndUnknownCodesDrawOnlyTheBackground_data();
    void kindsWithoutPictureAndUnknownCodesDrawOnlyTheBackground();

    void blockFramesFollowTheirRole_data();
    void blockFramesFollowTheirRole();
    void linkLinesRunAtTheLeftEdge_data();
    void linkLinesRunAtTheLeftEdge();
    void linkPicturesAreAddedWithoutErasing_data();
    void linkPicturesAreAddedWithoutErasing();

    void textFieldsStandAtTheirPositions_data();
    void textFieldsStandAtTheirPositions();
    void lengthAndConstantCarryTheirWords();
    void operandBesideABlockHidesTheOtherFields();
    void emptyAndRepeatedFieldsAddNothing();
    void textBelowKeepsTheDescendersOfTheDescriptionAbove();
    void longTextStaysInsideItsCell();
    void selectedCellsShowTheHighlightBehindTheirPictures();
};

void CellRenderingTest::gridCellsTouchedByARectangle_data() {
    QTest::addColumn<int>("lineWidth");
    QTest::addColumn<int>("topRow");
    QTest::addColumn<int>("leftCol");
    QTest::addColumn<QRect>("exposed");
    QTest::addColumn<QRect>("cells");  // columns as x, rows as y; null when none

    QTest::newRow("first cell only") << 1 << 0 << 0 << QRect(0, 0, 77, 90) << QRect(0, 0, 1, 1);
    QTest::newRow("grid line joins the cell before")
        << 1 << 0 << 0 << QRect(77, 90, 1, 1) << QRect(0, 0, 1, 1);
    QTest::newRow("one pixel past the line")
        << 1 << 0 << 0 << QRect(78, 91, 1, 1) << QRect(1, 1, 1, 1);
    QTest::newRow("without lines the next cell starts at 77")
        << 0 << 0 << 0 << QRect(77, 90, 1, 1) << QRect(1, 1, 1, 1);
    QTest::newRow("whole view clamps to ten columns")
        << 1 << 0 << 0 << QRect(0, 0, 2000, 300) << QRect(0, 0, 10, 4);
    QTest::newRow("scrolled view") << 1 << 100 << 2 << QRect(0, 0, 78, 91) << QRect(2, 100, 1, 1);
    QTest::newRow("strip exposed by scrolling one row")
        << 1 << 7 << 0 << QRect(0, 455, 780, 91) << QRect(0, 12, 10, 1);
    QTest::newRow("above the view is the row scrolled away")
        << 1 << 5 << 0 << QRect(0, -91, 78, 91) << QRect(0, 4, 1, 1);
    QTest::newRow("below the last row") << 1 << 0 << 0 << QRect(0, 200 * 91, 780, 50) << QRect();
    QTest::newRow("right of the last column") << 1 << 0 << 0 << QRect(780, 0, 100, 100) << QRect();
    QTest::newRow("empty rectangle") << 1 << 0 << 0 << QRect(10, 10, 0, 5) << QRect();
}

void CellRenderingTest::gridCellsTouchedByARectangle() {
    QFETCH(int, lineWidth);
    QFETCH(int, topRow);
    QFETCH(int, leftCol);
    QFETCH(QRect, exposed);
    QFETCH(QRect, cells);
    const ui::GridLayout grid{lineWidth, topRow, leftCol, 200};
    const ui::CellRange range =
        grid.cellsIn(exposed.x(), exposed.y(), exposed.width(), exposed.height());
    if (cells.isNull()) {
        QVERIFY(range.isEmpty());
        return;
    }
    QVERIFY(!range.isEmpty());
    QCOMPARE(QRect(QPoint(range.firstCol, range.firstRow), QPoint(range.lastCol, range.lastRow)),
             cells);
}

void CellRenderingTest::operandPlaceFollowsTheNeighbouringBlockRows_data() {
    QTest::addColumn<bool>("hasOperand");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("place");
    const int before = static_cast<int>(ui::OperandPlace::BeforeBlockInput);
    const int after = static_cast<int>(ui::OperandPlace::AfterBlockOutput);
    const int above = static_cast<int>(ui::OperandPlace::AboveWire);

    QTest::newRow("before an inner row") << true << 0 << 3 << 0 << 621 << before;
    QTest::newRow("before the lowest input code") << true << 0 << 3 << 0 << 601 << before;
    QTest::newRow("inner row without kind is no input") << true << 0 << 3 << 0 << 600 << above;
    QTest::newRow("before a bottom row") << true << 0 << 3 << 0 << 999 << before;
    QTest::newRow("before a bottom row without input") << true << 0 << 3 << 0 << 1044 << above;
    QTest::newRow("before a top row") << true << 0 << 3 << 0 << 421 << above;
    QTest::newRow("input wins over an output on the left")
        << true << 0 << 3 << 621 << 721 << before;
    QTest::newRow("after an inner row") << true << 0 << 3 << 621 << 0 << after;
    QTest::newRow("after a row without output") << true << 0 << 3 << 721 << 0 << above;
    QTest::newRow("after a bottom row") << true << 0 << 3 << 826 << 0 << after;
    QTest::newRow("after a bottom row without output") << true << 0 << 3 << 917 << 0 << above;
    QTest::newRow("after the two-column block") << true << 0 << 3 << 1260 << 0 << after;
    QTest::newRow("column 9 has no right neighbour") << true << 0 << 9 << 0 << 621 << above;
    QTest::newRow("column 0 has no left neighbour") << true << 0 << 0 << 621 << 0 << above;
    QTest::newRow("element cell") << true << 1 << 3 << 621 << 621 << above;
    QTest::newRow("no operand draws the other fields") << false << 0 << 3 << 0 << 621 << above;
}

void CellRenderingTest::operandPlaceFollowsTheNeighbouringBlockRows() {
    QFETCH(bool, hasOperand);
    QFETCH(int, code);
    QFETCH(int, col);
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(int, place);
    QCOMPARE(static_cast<int>(ui::operandPlace(hasOperand, code, col, left, right)), place);
}

void CellRenderingTest::fieldsSplitAtEveryHashAndTheFirstOfATagCounts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("value");

    QTest::newRow("block row") << "#LI1#PQ#TINT#"
                               << "P"
                               << "Q";
    QTest::newRow("after an empty field") << "#LI2##A%R0001#"
                                          << "A"
                                          << "%R0001";
    QTest::newRow("first of two wins") << "#A%I0001##A%I0002#"
                                       << "A"
                                       << "%I0001";
    QTest::newRow("empty value then a real one") << "#A#A%I0003#"
                                                 << "A"
                                                 << "%I0003";
    QTest::newRow("unclosed field is no field") << "#LPV#A%R1"
                                                << "A"
                                                << "";
    QTest::newRow("text before the first hash is ignored") << "A%R1#LPV#"
                                                           << "A"
                                                           << "";
    QTest::newRow("description line") << "#2druga#"
                                      << "2"
                                      << "druga";
    QTest::newRow("unknown tag") << "#Kx#"
                                 << "K"
                                 << "";
    QTest::newRow("no text") << ""
                             << "N"
                             << "";
}

void CellRenderingTest::fieldsSplitAtEveryHashAndTheFirstOfATagCounts() {
    QFETCH(QString, text);
    QFETCH(QString, tag);
    QFETCH(QString, value);
    const std::string bytes = text.toStdString();
    const ui::CellFields fields(bytes);
    QCOMPARE(QString::fromStdString(std::string(fields[tag.front().toLatin1()])), value);
}

void CellRenderingTest::codePageTextBecomesPolishLetters() {
    const ui::CellPainter painter(ui::ElementPictures::shared());
    // ą ę ł ż Ś in code page 1250.
    QCOMPARE(painter.toQString("\xB9\xEA\xB3\xBF\x8C"), QStringLiteral(u"ąęłżŚ"));
    QCOMPARE(painter.toQString("%I0001"), QStringLiteral("%I0001"));
}

void CellRenderingTest::everyCataloguePictureIsDrawnTwoColouredAtItsSize() {
    const ui::ElementPictures& pictures = ui::ElementPictures::shared();
    int checked = 0;
    auto check = [&](std::string_view name, QSize size) {
        const QImage* picture = pictures.byName(name);
        QVERIFY2(picture != nullptr, std::string(name).c_str());
        QCOMPARE(picture->size(), size);
        for (int y = 0; y < picture->height(); ++y) {
            for (int x = 0; x < picture->width(); ++x) {
                const QRgb pixel = picture->pixel(x, y);
                QVERIFY2(pixel == kBlack || pixel == kWhite, std::string(name).c_str());
            }
        }
        ++checked;
    };
    for (const document::ElementEntry& entry : document::elementCatalogue()) {
        if (entry.picture.empty()) {
            continue;
        }
        if (entry.placement == document::Placement::Link) {
            check(entry.picture,
                  entry.code == document::LinkFlag::LinkBoth ? QSize(kW, kH) : QSize(10, kH));
        } else {
            check(entry.picture, QSize(kW, ui::kElementPictureHeight));
        }
    }
    for (const document::RoleEntry& role : document::blockRoles()) {
        check(role.picture, QSize(kW, kH));
    }
    QCOMPARE(checked, 23 + 3 + 11);
    QVERIFY(pictures.byName("O6X") == nullptr);
    QVERIFY(pictures.byName("") == nullptr);
}

void CellRenderingTest::elementPicturesJoinTheWireAtBothCellEdges_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("wireAtLeft");
    QTest::addColumn<bool>("wireAtRight");
    for (int code : {1, 2, 3, 4, 5, 7, 8, 10, 11, 12, 13, 14, 15, 16, 64, 67, 68, 71, 72}) {
        QTest::addRow("O%d", code) << code << true << true;
    }
    // The continuation contact starts a rung of its own; a jump ends its rung in arrows.
    QTest::newRow("O9") << 9 << false << true;
    QTest::newRow("O69") << 69 << true << false;
    QTest::newRow("O73") << 73 << true << false;
    QTest::newRow("O74") << 74 << false << false;
}

void CellRenderingTest::elementPicturesJoinTheWireAtBothCellEdges() {
    QFETCH(int, code);
    QFETCH(bool, wireAtLeft);
    QFETCH(bool, wireAtRight);
    const QImage cell = renderCode(code);
    QCOMPARE(allOf(cell, wireRows(0, 2), kBlack), wireAtLeft);
    QCOMPARE(allOf(cell, wireRows(kW - 3, kW - 1), kBlack), wireAtRight);
    // Nothing above the picture, nothing touching the wire from above or below at the edges.
    QVERIFY(allOf(cell, QRect(0, 0, kW, ui::kElementPictureTop), kWhite));
    QVERIFY(allOf(cell, QRect(0, ui::kWireTop - 1, 3, 1), kWhite));
    QVERIFY(allOf(cell, QRect(0, ui::kWireBottom + 1, 3, 1), kWhite));
}

void CellRenderingTest::contactBarsStandWhereTheyShould() {
    const QImage open = renderCode(1);
    QVERIFY(allOf(open, QRect(QPoint(29, 53), QPoint(31, 75)), kBlack));
    QVERIFY(allOf(open, QRect(QPoint(43, 53), QPoint(45, 75)), kBlack));
    QVERIFY(allOf(open, QRect(QPoint(32, 52), QPoint(42, 76)), kWhite));  // no wire between
    QVERIFY(allOf(open, QRect(QPoint(29, 52), QPoint(45, 52)), kWhite));
    const QImage closed = renderCode(2);
    QVERIFY(allOf(closed, QRect(QPoint(29, 53), QPoint(31, 75)), kBlack));
    QVERIFY(anyBlack(closed, QRect(QPoint(32, 53), QPoint(42, 75))));  // the diagonal stroke
}

void CellRenderingTest::kindsWithoutPictureAndUnknownCodesDrawOnlyTheBackground_data() {
    QTest::addColumn<int>("code");
    for (int code : {0, 6, 65, 70, 17, 62, 99, 400, 1500, -5, 106}) {
        QTest::addRow("%d", code) << code;
    }
}

void CellRenderingTest::kindsWithoutPictureAndUnknownCodesDrawOnlyTheBackground() {
    QFETCH(int, code);
    const QImage cell = renderCode(code);
    if (code == 106) {  // a link flag still draws its line although the kind has no picture
        QVERIFY(allOf(cell, QRect(QPoint(0, 63), QPoint(2, 89)), kBlack));
        QVERIFY(allOf(cell, QRect(QPoint(3, 0), QPoint(kW - 1, kH - 1)), kWhite));
        return;
    }
    QVERIFY(allOf(cell, QRect(0, 0, kW, kH), kWhite));
}

void CellRenderingTest::blockFramesFollowTheirRole_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("leftSideTop");  // -1: no side
    QTest::addColumn<int>("leftSideBottom");
    QTest::addColumn<int>("rightSideTop");
    QTest::addColumn<int>("rightSideBottom");
    QTest::addColumn<QRect>("edge");  // null: no horizontal edge
    QTest::addColumn<bool>("inputStub");
    QTest::addColumn<bool>("outputStub");
    const QRect top(QPoint(3, 45), QPoint(73, 47));
    const QRect bottom(QPoint(3, 71), QPoint(73, 73));

    QTest::newRow("400 top") << 421 << 45 << 89 << 45 << 89 << top << true << true;
    QTest::newRow("500 top no output") << 527 << 45 << 89 << 45 << 89 << top << true << false;
    QTest::newRow("600 inner") << 621 << 0 << 89 << 0 << 89 << QRect() << true << true;
    QTest::newRow("700 inner no output") << 717 << 0 << 89 << 0 << 89 << QRect() << true << false;
    QTest::newRow("800 bottom") << 826 << 0 << 73 << 0 << 73 << bottom << true << true;
    QTest::newRow("900 bottom no output") << 921 << 0 << 73 << 0 << 73 << bottom << true << false;
    QTest::newRow("1000 bottom no input") << 1044 << 0 << 73 << 0 << 73 << bottom << false << true;
    QTest::newRow("1100 call top left")
        << 1160 << 45 << 89 << -1 << -1 << QRect(QPoint(3, 45), QPoint(76, 47)) << true << false;
    QTest::newRow("1200 call top right")
        << 1260 << -1 << -1 << 45 << 89 << QRect(QPoint(0, 45), QPoint(73, 47)) << false << false;
    QTest::newRow("1300 call bottom left")
        << 1360 << 0 << 42 << -1 << -1 << QRect(QPoint(3, 40), QPoint(76, 42)) << false << false;
    QTest::newRow("1400 call bottom right")
        << 1460 << -1 << -1 << 0 << 42 << QRect(QPoint(0, 40), QPoint(73, 42)) << false << false;
}

void CellRenderingTest::blockFramesFollowTheirRole() {
    QFETCH(int, code);
    QFETCH(int, leftSideTop);
    QFETCH(int, leftSideBottom);
    QFETCH(int, rightSideTop);
    QFETCH(int, rightSideBottom);
    QFETCH(QRect, edge);
    QFETCH(bool, inputStub);
    QFETCH(bool, outputStub);
    const QImage cell = renderCode(code);

    auto checkSide = [&](int firstCol, int sideTop, int sideBottom) {
        if (sideTop < 0) {
            // Only an edge or a stub may cross where a side would stand.
            QVERIFY(allOf(cell, QRect(QPoint(firstCol, 0), QPoint(firstCol + 2, 39)), kWhite));
            return;
        }
        QVERIFY(allOf(cell, QRect(QPoint(firstCol, sideTop), QPoint(firstCol + 2, sideBottom)),
                      kBlack));
        if (sideTop > 0) {
            QVERIFY(
                allOf(cell, QRect(QPoint(firstCol, 0), QPoint(firstCol + 2, sideTop - 1)), kWhite));
        }
        if (sideBottom < kH - 1) {
            QVERIFY(allOf(cell,
                          QRect(QPoint(firstCol, sideBottom + 1), QPoint(firstCol + 2, kH - 1)),
                          kWhite));
        }
    };
    checkSide(3, leftSideTop, leftSideBottom);
    checkSide(71, rightSideTop, rightSideBottom);
    if (!edge.isNull()) {
        QVERIFY(allOf(cell, edge, kBlack));
        QVERIFY(allOf(cell, edge.translated(0, -1).adjusted(3, 0, -3, -2), kWhite));
    }
    QCOMPARE(allOf(cell, wireRows(0, 2), kBlack), inputStub);
    QCOMPARE(allOf(cell, wireRows(74, 76), kBlack), outputStub);
    // Stubs are short: nothing joins them inside the frame.
    QVERIFY(allOf(cell, wireRows(7, 69), kWhite));
    QVERIFY(allOf(cell, QRect(QPoint(0, 62), QPoint(2, 62)), kWhite));
}

void CellRenderingTest::linkLinesRunAtTheLeftEdge_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("lineTop");
    QTest::addColumn<int>("lineBottom");
    QTest::newRow("100 down") << 100 << 63 << 89;
    QTest::newRow("200 up") << 200 << 0 << 65;
    QTest::newRow("300 through") << 300 << 0 << 89;
}

void CellRenderingTest::linkLinesRunAtTheLeftEdge() {
    QFETCH(int, code);
    QFETCH(int, lineTop);
    QFETCH(int, lineBottom);
    const QImage cell = renderCode(code);
    QVERIFY(allOf(cell, QRect(QPoint(0, lineTop), QPoint(2, lineBottom)), kBlack));
    if (lineTop > 0) {
        QVERIFY(allOf(cell, QRect(QPoint(0, 0), QPoint(2, lineTop - 1)), kWhite));
    }
    if (lineBottom < kH - 1) {
        QVERIFY(allOf(cell, QRect(QPoint(0, lineBottom + 1), QPoint(2, kH - 1)), kWhite));
    }
    QVERIFY(allOf(cell, QRect(QPoint(3, 0), QPoint(kW - 1, kH - 1)), kWhite));
}

void CellRenderingTest::linkPicturesAreAddedWithoutErasing_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("link");
    for (int kind : {1, 3, 7, 9, 64, 73, 74}) {
        for (int link : {100, 200, 300}) {
            QTest::addRow("%d+%d", kind, link) << kind << link;
        }
    }
}

void CellRenderingTest::linkPicturesAreAddedWithoutErasing() {
    QFETCH(int, kind);
    QFETCH(int, link);
    const QImage element = renderCode(kind);
    const QImage line = renderCode(link);
    const QImage both = renderCode(kind + link);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const bool expectBlack = isBlack(element, x, y) || isBlack(line, x, y);
            if (isBlack(both, x, y) != expectBlack) {
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        }
    }
}

void CellRenderingTest::textFieldsStandAtTheirPositions_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("at");

    QTest::newRow("operand of a contact") << 0 << 1 << 0 << 1 << "#A%I0001#" << QPoint(8, 39);
    QTest::newRow("operand before a block input")
        << 0 << 0 << 621 << 1 << "#A%R0001#" << QPoint(17, 55);
    QTest::newRow("operand after a block output")
        << 621 << 0 << 0 << 7 << "#A%R0001#" << QPoint(3, 55);
    QTest::newRow("operand in column 9 after an output")
        << 621 << 0 << 0 << 9 << "#A%R0001#" << QPoint(3, 55);
    QTest::newRow("operand in column 0 before an input")
        << 0 << 0 << 621 << 0 << "#A%R0001#" << QPoint(17, 55);
    QTest::newRow("operand in an empty cell elsewhere")
        << 0 << 0 << 0 << 4 << "#A%R0001#" << QPoint(8, 39);
    QTest::newRow("block name") << 0 << 421 << 0 << 4 << "#NADD#" << QPoint(10, 50);
    QTest::newRow("input label") << 0 << 621 << 0 << 4 << "#LPV#" << QPoint(10, 55);
    QTest::newRow("output label") << 0 << 621 << 0 << 4 << "#PQ#" << QPoint(50, 55);
    QTest::newRow("data type") << 0 << 621 << 0 << 4 << "#TINT#" << QPoint(18, 4);
    QTest::newRow("register") << 0 << 917 << 0 << 4 << "#G%R0005#" << QPoint(8, 74);
    QTest::newRow("description 1") << 0 << 1 << 0 << 4 << "#1OPIS#" << QPoint(4, 0);
    QTest::newRow("description 2") << 0 << 1 << 0 << 4 << "#2OPIS#" << QPoint(4, 13);
    QTest::newRow("description 3") << 0 << 1 << 0 << 4 << "#3OPIS#" << QPoint(4, 26);
    QTest::newRow("call Q") << 0 << 1460 << 0 << 5 << "#QUTINE#" << QPoint(0, 20);
    QTest::newRow("call X") << 0 << 1360 << 0 << 4 << "#XSUBRO#" << QPoint(25, 20);
    QTest::newRow("call Z") << 0 << 1260 << 0 << 5 << "#ZPROC1#" << QPoint(0, 50);
    QTest::newRow("field R") << 0 << 0 << 0 << 4 << "#RABC#" << QPoint(17, 55);
    QTest::newRow("field W") << 0 << 0 << 0 << 4 << "#WABC#" << QPoint(4, 55);
}

void CellRenderingTest::textFieldsStandAtTheirPositions() {
    QFETCH(int, left);
    QFETCH(int, code);
    QFETCH(int, right);
    QFETCH(int, col);
    QFETCH(QString, text);
    QFETCH(QPoint, at);
    const QImage bare = render(Row{left, code, right, {}, col});
    const QImage written = render(Row{left, code, right, text.toStdString(), col});
    const QRect ink = difference(bare, written);
    QVERIFY2(!ink.isNull(), "the text left no mark");
    const QFontMetrics metrics(ui::CellPainter::gridFont());
    // The glyphs lie in the text's box, starting near its top-left corner (capital letters
    // and digits begin a few pixels below the box's top).
    QVERIFY2(ink.left() >= at.x() && ink.left() <= at.x() + 3,
             qPrintable(QStringLiteral("left %1").arg(ink.left())));
    QVERIFY2(ink.top() >= at.y() && ink.top() <= at.y() + 5,
             qPrintable(QStringLiteral("top %1").arg(ink.top())));
    QVERIFY(ink.bottom() < at.y() + metrics.height());
}

void CellRenderingTest::lengthAndConstantCarryTheirWords() {
    const QImage lenBare = render(Row{0, 621, 0, {}, 4});
    const QImage len = render(Row{0, 621, 0, "#D00001#", 4});
    // "LEN" in rows 22.., the value from row 35.
    const QRect word = difference(lenBare, len, QRect(0, 0, kW, 35));
    const QRect value = difference(lenBare, len, QRect(0, 35, kW, kH - 35));
    QVERIFY(!word.isNull() && !value.isNull());
    QVERIFY(word.left() >= 22 && word.left() <= 24 && word.top() >= 22 && word.top() <= 26);
    QVERIFY(value.left() >= 17 && value.left() <= 19 && value.top() >= 35 && value.top() <= 39);

    // A constant in front of a block input: "CONST" at (23, 40) over the value at (25, 55).
    const QImage constBare = render(Row{0, 0, 621, {}, 1});
    const QImage constant = render(Row{0, 0, 621, "#S+00012#", 1});
    const QRect constWord = difference(constBare, constant, QRect(0, 0, kW, 55));
    const QRect constValue = difference(constBare, constant, QRect(0, 55, kW, kH - 55));
    QVERIFY(!constWord.isNull() && !constValue.isNull());
    QVERIFY(constWord.left() >= 23 && constWord.left() <= 25);
    QVERIFY(constWord.top() >= 40 && constWord.top() <= 44);
    QVERIFY(constValue.left() >= 25 && constValue.left() <= 28);
    QVERIFY(constValue.top() >= 55 && constValue.top() <= 59);
}

void CellRenderingTest::operandBesideABlockHidesTheOtherFields() {
    // With the operand drawn beside the block, a constant and a register in the same cell are
    // not drawn: the cell shows exactly what the operand alone shows.
    const QImage operandOnly = render(Row{0, 0, 621, "#A%R0001#", 1});
    const QImage withOthers = render(Row{0, 0, 621, "#A%R0001##S+00012##G%R0002##WX#", 1});
    QCOMPARE(withOthers, operandOnly);
    const QImage afterOnly = render(Row{621, 0, 0, "#A%R0001#", 1});
    const QImage afterOthers = render(Row{621, 0, 0, "#A%R0001##RX##S+1#", 1});
    QCOMPARE(afterOthers, afterOnly);
    // In an ordinary cell the register is drawn as well.
    QVERIFY(render(Row{0, 0, 0, "#A%R0001##G%R0002#", 1}) != render(Row{0, 0, 0, "#A%R0001#", 1}));
}

void CellRenderingTest::emptyAndRepeatedFieldsAddNothing() {
    const QImage bare = render(Row{0, 1, 0, {}, 1});
    QCOMPARE(render(Row{0, 1, 0, "#A##N##1#", 1}), bare);
    QCOMPARE(render(Row{0, 1, 0, "#K123#", 1}), bare);
    QCOMPARE(render(Row{0, 1, 0, "#A%I0001##A%Q0009#", 1}), render(Row{0, 1, 0, "#A%I0001#", 1}));
}

void CellRenderingTest::textBelowKeepsTheDescendersOfTheDescriptionAbove() {
    // A line of blanks paints only its box of background: the letters above must show whole.
    QCOMPARE(render(Row{0, 1, 0, "#A%I0001##1gjpy##2      #", 1}),
             render(Row{0, 1, 0, "#A%I0001##1gjpy#", 1}));
    QCOMPARE(render(Row{0, 1, 0, "#A%I0001##2gjpy##3      #", 1}),
             render(Row{0, 1, 0, "#A%I0001##2gjpy#", 1}));
}

void CellRenderingTest::longTextStaysInsideItsCell() {
    document::LadderDocument document;
    document.SetCellText(0, 1, "#1BARDZO DLUGI OPIS ELEMENTU#");
    document.SetCellText(0, 2, "#D12345678901234567890#");
    const ui::CellPainter painter(ui::ElementPictures::shared());
    QImage image(3 * kW, kH, QImage::Format_RGB32);
    image.fill(kGuard);
    QPainter canvas(&image);
    painter.paint(canvas, document, 0, 1, QRect(kW, 0, kW, kH), false, QPalette());
    canvas.end();
    QVERIFY(allOf(image, QRect(0, 0, kW, kH), kGuard));
    QVERIFY(allOf(image, QRect(2 * kW, 0, kW, kH), kGuard));
}

void CellRenderingTest::selectedCellsShowTheHighlightBehindTheirPictures() {
    const QRgb highlight = QPalette().color(QPalette::Highlight).rgb();
    QVERIFY(highlight != kWhite);
    const QImage empty = render(Row{0, 0, 0, {}, 1}, true);
    QVERIFY(allOf(empty, QRect(0, 0, kW, kH), highlight));
    const QImage block = render(Row{0, 621, 0, {}, 1}, true);
    QCOMPARE(block.pixel(40, 10), highlight);
    QVERIFY(allOf(block, QRect(QPoint(3, 0), QPoint(5, 89)), kBlack));
    const QImage contact = render(Row{0, 1, 0, {}, 1}, true);
    QCOMPARE(contact.pixel(38, 70), highlight);
    QVERIFY(allOf(contact, wireRows(0, 2), kBlack));
    // Text keeps a box of the highlight behind it, in the highlighted text colour.
    const QImage text = render(Row{0, 1, 0, "#A%I0001#", 1}, true);
    const QRect ink = difference(contact, text);
    QVERIFY(!ink.isNull());
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        for (int x = ink.left(); x <= ink.right(); ++x) {
            QVERIFY(text.pixel(x, y) != kBlack);
        }
    }
}

QTEST_MAIN(CellRenderingTest)
#include "cell_rendering_test.moc"
