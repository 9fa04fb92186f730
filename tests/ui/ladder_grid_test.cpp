// The ladder grid widget: cursor and selection by keys and mouse, the signals the main window
// listens to, scrolling, grid lines and what a repaint shows.
#include "ui/ladder_grid.h"

#include "document/ladder_document.h"
#include "ui/cell_geometry.h"

#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// A grid on a document of `rows` rows, shown in a view of `viewRows` whole rows.
struct Fixture {
    explicit Fixture(int rows = 10, int viewRows = 4) {
        if (rows > document.rowCount()) {
            document.AddRows(rows - document.rowCount());
        } else {
            document.RemoveLastRows(document.rowCount() - rows);
        }
        grid = std::make_unique<LadderGrid>(document);
        grid->setRowCount(document.rowCount());
        const int frame = 2 * grid->frameWidth();
        grid->resize(10 * 78 + frame + grid->verticalScrollBar()->sizeHint().width(),
                     viewRows * 91 + frame);
        grid->show();
        grid->setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    }
    QWidget* view() const { return grid->viewport(); }
    QPoint centre(int row, int col) const { return grid->cellRect(row, col).center(); }

    document::LadderDocument document;
    std::unique_ptr<LadderGrid> grid;
};

using Moves = QList<QList<QVariant>>;

QList<QVariant> cell(int row, int col) {
    return {row, col};
}

}  // namespace

class LadderGridTest : public QObject {
    Q_OBJECT
private slots:
    void startsAtTheFirstCellWithTheFixedName();
    void cursorKeysMoveTheCursorAndReportEachMove_data();
    void cursorKeysMoveTheCursorAndReportEachMove();
    void shiftAndCursorKeysGrowTheSelectionUntilAPlainKey();
    void pageKeysMoveByAViewOfRowsAndScroll();
    void clickSelectsACellAndShiftClickARectangle();
    void draggingSelectsTheRectangleBetweenPressAndRelease();
    void rightClickMovesTheCursorFirstThenReports();
    void doubleClickReportsTheCell();
    void clicksBelowTheLastRowAreIgnored();
    void printableCharactersAreOfferedToTheEntryLine();
    void setCursorCellClampsScrollsAndReports();
    void narrowViewScrollsColumnsIntoView();
    void shrinkingTheRowCountKeepsCursorAndSelectionInside();
    void gridLinesCanBeSwitchedOff();
    void scrollingShowsTheRowsUnderTheThumb();
    void paintingShowsTheDocumentAndReportsWhenDone();
};

void LadderGridTest::startsAtTheFirstCellWithTheFixedName() {
    Fixture f;
    QCOMPARE(f.grid->objectName(), QStringLiteral("DrawGrid1"));
    QCOMPARE(f.grid->Row(), 0);
    QCOMPARE(f.grid->Col(), 0);
    QCOMPARE(f.grid->Selection(), QRect(0, 0, 1, 1));
    QCOMPARE(f.grid->rowCount(), 10);
    QCOMPARE(f.grid->gridLineWidth(), 1);
    QCOMPARE(f.grid->cellRect(1, 2), QRect(2 * 78, 91, 77, 90));
}

void LadderGridTest::cursorKeysMoveTheCursorAndReportEachMove_data() {
    QTest::addColumn<QPoint>("start");  // x = column, y = row
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QPoint>("end");

    QTest::newRow("right") << QPoint(3, 4) << int(Qt::Key_Right) << 0 << QPoint(4, 4);
    QTest::newRow("left") << QPoint(3, 4) << int(Qt::Key_Left) << 0 << QPoint(2, 4);
    QTest::newRow("up") << QPoint(3, 4) << int(Qt::Key_Up) << 0 << QPoint(3, 3);
    QTest::newRow("down") << QPoint(3, 4) << int(Qt::Key_Down) << 0 << QPoint(3, 5);
    QTest::newRow("home goes to column 0")
        << QPoint(3, 4) << int(Qt::Key_Home) << 0 << QPoint(0, 4);
    QTest::newRow("end goes to column 9") << QPoint(3, 4) << int(Qt::Key_End) << 0 << QPoint(9, 4);
    QTest::newRow("ctrl home goes to the first cell")
        << QPoint(3, 4) << int(Qt::Key_Home) << int(Qt::ControlModifier) << QPoint(0, 0);
    QTest::newRow("ctrl end goes to the last cell")
        << QPoint(3, 4) << int(Qt::Key_End) << int(Qt::ControlModifier) << QPoint(9, 9);
    QTest::newRow("left edge stops") << QPoint(0, 4) << int(Qt::Key_Left) << 0 << QPoint(0, 4);
    QTest::newRow("right edge stops") << QPoint(9, 4) << int(Qt::Key_Right) << 0 << QPoint(9, 4);
    QTest::newRow("top stops") << QPoint(3, 0) << int(Qt::Key_Up) << 0 << QPoint(3, 0);
    QTest::newRow("last row stops") << QPoint(3, 9) << int(Qt::Key_Down) << 0 << QPoint(3, 9);
}

void LadderGridTest::cursorKeysMoveTheCursorAndReportEachMove() {
    QFETCH(QPoint, start);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QPoint, end);
    Fixture f;
    f.grid->setCursorCell(start.y(), start.x());
    QSignalSpy selected(f.grid.get(), &LadderGrid::cellSelected);
    QTest::keyClick(f.grid.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(QPoint(f.grid->Col(), f.grid->Row()), end);
    QCOMPARE(f.grid->Selection(), QRect(end, QSize(1, 1)));
    if (end == start) {
        QCOMPARE(selected.count(), 0);  // no move, nothing to refresh
    } else {
        QCOMPARE(selected, Moves{cell(end.y(), end.x())});
    }
}

void LadderGridTest::shiftAndCursorKeysGrowTheSelectionUntilAPlainKey() {
    Fixture f;
    f.grid->setCursorCell(2, 3);
    QSignalSpy selected(f.grid.get(), &LadderGrid::cellSelected);
    QTest::keyClick(f.grid.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(f.grid.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(f.grid.get(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(f.grid->Selection(), QRect(QPoint(3, 2), QPoint(5, 3)));
    // The cursor moves with the keys, and each of its moves is a selection of that cell.
    QCOMPARE(f.grid->Row(), 3);
    QCOMPARE(f.grid->Col(), 5);
    QCOMPARE(selected, (Moves{cell(2, 4), cell(2, 5), cell(3, 5)}));
    // Passing back over the first corner keeps the rectangle normalised.
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(f.grid.get(), Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(f.grid.get(), Qt::Key_Up, Qt::ShiftModifier);
    }
    QCOMPARE(f.grid->Selection(), QRect(QPoint(2, 0), QPoint(3, 2)));
    QCOMPARE(f.grid->Row(), 0);
    QCOMPARE(f.grid->Col(), 2);
    QCOMPARE(selected.count(), 9);
    // At the grid's edge the cursor cannot move: no selection is reported.
    QTest::keyClick(f.grid.get(), Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(selected.count(), 9);
    // A plain key collapses the selection and moves on from the cursor.
    selected.clear();
    QTest::keyClick(f.grid.get(), Qt::Key_Right);
    QCOMPARE(f.grid->Selection(), QRect(3, 0, 1, 1));
    QCOMPARE(selected, Moves{cell(0, 3)});
}

void LadderGridTest::pageKeysMoveByAViewOfRowsAndScroll() {
    Fixture f(50, 4);
    f.grid->setCursorCell(1, 2);
    QTest::keyClick(f.grid.get(), Qt::Key_PageDown);
    QCOMPARE(f.grid->Row(), 5);
    QCOMPARE(f.grid->Col(), 2);
    QVERIFY(f.grid->topRow() <= 5 && f.grid->topRow() + 4 > 5);
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(f.grid.get(), Qt::Key_PageDown);
    }
    QCOMPARE(f.grid->Row(), 49);
    QCOMPARE(f.grid->topRow(), 46);
    QTest::keyClick(f.grid.get(), Qt::Key_PageUp);
    QCOMPARE(f.grid->Row(), 45);
    QVERIFY(f.grid->topRow() <= 45);
}

void LadderGridTest::clickSelectsACellAndShiftClickARectangle() {
    Fixture f;
    QSignalSpy selected(f.grid.get(), &LadderGrid::cellSelected);
    QTest::mouseClick(f.view(), Qt::LeftButton, {}, f.centre(1, 4));
    QCOMPARE(selected, Moves{cell(1, 4)});
    QTest::mouseClick(f.view(), Qt::LeftButton, Qt::ShiftModifier, f.centre(3, 2));
    QCOMPARE(f.grid->Selection(), QRect(QPoint(2, 1), QPoint(4, 3)));
    QCOMPARE(f.grid->Row(), 1);
    QCOMPARE(f.grid->Col(), 4);
    QCOMPARE(selected.count(), 1);
    // A click on a grid line belongs to the cell before it.
    QTest::mouseClick(f.view(), Qt::LeftButton, {}, QPoint(77, 90));
    QCOMPARE(f.grid->Selection(), QRect(0, 0, 1, 1));
}

void LadderGridTest::draggingSelectsTheRectangleBetweenPressAndRelease() {
    Fixture f;
    QTest::mousePress(f.view(), Qt::LeftButton, {}, f.centre(0, 1));
    QMouseEvent move(QEvent::MouseMove, f.centre(2, 3), f.view()->mapToGlobal(f.centre(2, 3)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.view(), &move);
    QTest::mouseRelease(f.view(), Qt::LeftButton, {}, f.centre(2, 3));
    QCOMPARE(f.grid->Selection(), QRect(QPoint(1, 0), QPoint(3, 2)));
    QCOMPARE(f.grid->Row(), 0);
    QCOMPARE(f.grid->Col(), 1);
    // Moving without the button held after the release selects nothing more.
    QMouseEvent hover(QEvent::MouseMove, f.centre(3, 5), f.view()->mapToGlobal(f.centre(3, 5)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.view(), &hover);
    QCOMPARE(f.grid->Selection(), QRect(QPoint(1, 0), QPoint(3, 2)));
}

void LadderGridTest::rightClickMovesTheCursorFirstThenReports() {
    Fixture f;
    QList<QString> order;
    connect(f.grid.get(), &LadderGrid::cellSelected, this,
            [&](int row, int col) { order << QStringLiteral("selected %1 %2").arg(row).arg(col); });
    connect(f.grid.get(), &LadderGrid::cellRightClicked, this,
            [&](int row, int col) { order << QStringLiteral("right %1 %2").arg(row).arg(col); });
    QTest::keyClick(f.grid.get(), Qt::Key_Right, Qt::ShiftModifier);
    order.clear();
    QTest::mouseClick(f.view(), Qt::RightButton, {}, f.centre(2, 6));
    QCOMPARE(order, (QList<QString>{"selected 2 6", "right 2 6"}));
    QCOMPARE(f.grid->Selection(), QRect(6, 2, 1, 1));
    // On the cursor cell itself only the right click is reported.
    order.clear();
    QTest::mouseClick(f.view(), Qt::RightButton, {}, f.centre(2, 6));
    QCOMPARE(order, (QList<QString>{"right 2 6"}));
}

void LadderGridTest::doubleClickReportsTheCell() {
    Fixture f;
    QSignalSpy doubled(f.grid.get(), &LadderGrid::cellDoubleClicked);
    QTest::mouseDClick(f.view(), Qt::LeftButton, {}, f.centre(3, 7));
    QCOMPARE(doubled, Moves{cell(3, 7)});
    QCOMPARE(f.grid->Row(), 3);
    QCOMPARE(f.grid->Col(), 7);
}

void LadderGridTest::clicksBelowTheLastRowAreIgnored() {
    Fixture f(3, 5);
    f.grid->setCursorCell(1, 1);
    QSignalSpy selected(f.grid.get(), &LadderGrid::cellSelected);
    QSignalSpy right(f.grid.get(), &LadderGrid::cellRightClicked);
    const QPoint below(40, 3 * 91 + 40);
    QTest::mouseClick(f.view(), Qt::LeftButton, {}, below);
    QTest::mouseClick(f.view(), Qt::RightButton, {}, below);
    QTest::mouseDClick(f.view(), Qt::LeftButton, {}, below);
    QCOMPARE(selected.count(), 0);
    QCOMPARE(right.count(), 0);
    QCOMPARE(f.grid->Selection(), QRect(1, 1, 1, 1));
}

void LadderGridTest::printableCharactersAreOfferedToTheEntryLine() {
    Fixture f;
    QSignalSpy typed(f.grid.get(), &LadderGrid::characterTyped);
    QTest::keyClick(f.grid.get(), Qt::Key_1);
    QTest::keyClick(f.grid.get(), 'I', Qt::ShiftModifier);
    QTest::keyClick(f.grid.get(), '%');
    QTest::sendKeyEvent(QTest::KeyAction::Click, f.grid.get(), Qt::Key_unknown,
                        QStringLiteral(u"ł"), Qt::NoModifier);
    // AltGr arrives as Ctrl + Alt on some systems and still types a letter.
    QTest::sendKeyEvent(QTest::KeyAction::Click, f.grid.get(), Qt::Key_unknown,
                        QStringLiteral(u"ą"), Qt::ControlModifier | Qt::AltModifier);
    // Shortcuts, control characters and navigation are not characters.
    QTest::keyClick(f.grid.get(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(f.grid.get(), Qt::Key_X, Qt::AltModifier);
    QTest::keyClick(f.grid.get(), Qt::Key_Return);
    QTest::keyClick(f.grid.get(), Qt::Key_Escape);
    QTest::keyClick(f.grid.get(), Qt::Key_Backspace);
    QTest::keyClick(f.grid.get(), Qt::Key_Down);
    QCOMPARE(typed, (Moves{{QStringLiteral("1")},
                           {QStringLiteral("I")},
                           {QStringLiteral("%")},
                           {QStringLiteral(u"ł")},
                           {QStringLiteral(u"ą")}}));
}

void LadderGridTest::setCursorCellClampsScrollsAndReports() {
    Fixture f(5000, 4);
    QSignalSpy selected(f.grid.get(), &LadderGrid::cellSelected);
    f.grid->setCursorCell(4000, 12);
    QCOMPARE(f.grid->Row(), 4000);
    QCOMPARE(f.grid->Col(), 9);
    QVERIFY(f.grid->topRow() <= 4000 && f.grid->topRow() + 4 > 4000);
    QVERIFY(f.view()->rect().contains(f.grid->cellRect(4000, 9)));
    f.grid->setCursorCell(-3, -1);
    QCOMPARE(f.grid->Selection(), QRect(0, 0, 1, 1));
    QCOMPARE(f.grid->topRow(), 0);
    QCOMPARE(selected, (Moves{cell(4000, 9), cell(0, 0)}));
}

void LadderGridTest::narrowViewScrollsColumnsIntoView() {
    Fixture f(10, 4);
    f.grid->resize(5 * 78, f.grid->height());
    QCoreApplication::processEvents();
    QVERIFY(f.grid->horizontalScrollBar()->maximum() > 0);
    f.grid->setCursorCell(0, 9);
    QVERIFY(f.grid->leftCol() > 0);
    QVERIFY(f.view()->rect().contains(f.grid->cellRect(0, 9)));
    QTest::mouseClick(f.view(), Qt::LeftButton, {}, f.centre(1, f.grid->leftCol()));
    QCOMPARE(f.grid->Col(), f.grid->leftCol());
    QTest::keyClick(f.grid.get(), Qt::Key_Home);
    QCOMPARE(f.grid->leftCol(), 0);
}

void LadderGridTest::shrinkingTheRowCountKeepsCursorAndSelectionInside() {
    Fixture f(30, 4);
    f.grid->setCursorCell(28, 2);
    QTest::keyClick(f.grid.get(), Qt::Key_Up, Qt::ShiftModifier);
    f.grid->setRowCount(10);
    QCOMPARE(f.grid->Row(), 9);
    QCOMPARE(f.grid->Selection(), QRect(2, 9, 1, 1));
    QCOMPARE(f.grid->verticalScrollBar()->maximum(), 6);
    f.grid->setRowCount(0);
    QCOMPARE(f.grid->rowCount(), 1);
    QCOMPARE(f.grid->Row(), 0);
}

void LadderGridTest::gridLinesCanBeSwitchedOff() {
    Fixture f;
    const QImage withLines = f.view()->grab().toImage();
    const QColor line = withLines.pixelColor(77, 10);
    QVERIFY(line != QColor(Qt::white));
    QCOMPARE(withLines.pixelColor(10, 90), line);
    f.grid->setGridLineWidth(0);
    QCOMPARE(f.grid->gridLineWidth(), 0);
    QCOMPARE(f.grid->cellRect(2, 3), QRect(3 * 77, 2 * 90, 77, 90));
    const QImage without = f.view()->grab().toImage();
    QCOMPARE(without.pixelColor(77, 10), QColor(Qt::white));
    QCOMPARE(without.pixelColor(10, 90), QColor(Qt::white));
    f.grid->setGridLineWidth(5);  // any width is on or off
    QCOMPARE(f.grid->gridLineWidth(), 1);
}

void LadderGridTest::scrollingShowsTheRowsUnderTheThumb() {
    Fixture f(5000, 4);
    f.document.SetCellCode(1000, 0, 300);  // a full-height line at the cell's left edge
    QScrollBar* bar = f.grid->verticalScrollBar();
    QCOMPARE(bar->maximum(), 5000 - 4);
    QVERIFY(bar->hasTracking());
    bar->setValue(998);
    QCOMPARE(f.grid->topRow(), 998);
    QCOMPARE(f.grid->cellRect(1000, 0).top(), 2 * 91);
    // Scroll one row at a time, as the thumb moves. What the window shows is the old picture
    // moved up plus the newly exposed strip, so read it back from the screen, not by a fresh
    // rendering of the widget.
    bar->setValue(999);
    QCoreApplication::processEvents();
    bar->setValue(1000);
    QCoreApplication::processEvents();
    const QPoint origin = f.view()->mapTo(f.grid.get(), QPoint(0, 0));
    const QImage shown = f.grid->screen()
                             ->grabWindow(f.grid->winId(), origin.x(), origin.y(),
                                          f.view()->width(), f.view()->height())
                             .toImage();
    QCOMPARE(shown.pixelColor(1, 5), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(1, 91 + 5), QColor(Qt::white));
    QCOMPARE(shown.pixelColor(1, 2 * 91 + 5), QColor(Qt::white));
    bar->setValue(997);
    QCoreApplication::processEvents();
    const QImage back = f.grid->screen()
                            ->grabWindow(f.grid->winId(), origin.x(), origin.y(), f.view()->width(),
                                         f.view()->height())
                            .toImage();
    QCOMPARE(back.pixelColor(1, 3 * 91 + 5), QColor(Qt::black));
    QCOMPARE(back.pixelColor(1, 2 * 91 + 5), QColor(Qt::white));
}

void LadderGridTest::paintingShowsTheDocumentAndReportsWhenDone() {
    Fixture f;
    f.document.SetCellCode(1, 2, 1);
    QSignalSpy painted(f.grid.get(), &LadderGrid::cellsPainted);
    f.view()->repaint();
    QVERIFY(painted.count() >= 1);
    const QImage shown = f.view()->grab().toImage();
    const QRect contact = f.grid->cellRect(1, 2);
    QCOMPARE(shown.pixelColor(contact.left() + 1, contact.top() + ui::kWireTop + 1),
             QColor(Qt::black));
    QCOMPARE(shown.pixelColor(contact.left() + 30, contact.top() + 60), QColor(Qt::black));
    // The focused cursor cell is framed, not filled; the rest of a selection is highlighted.
    QTest::keyClick(f.grid.get(), Qt::Key_Right, Qt::ShiftModifier);
    const QImage selected = f.view()->grab().toImage();
    QCOMPARE(selected.pixelColor(78 + 40, 20), QColor(Qt::white));
    QCOMPARE(selected.pixelColor(40, 20), f.grid->palette().color(QPalette::Highlight));
    // Without the focus the cursor cell is highlighted like the rest of the selection.
    f.grid->clearFocus();
    QTRY_COMPARE(f.view()->grab().toImage().pixelColor(78 + 40, 20),
                 f.grid->palette().color(QPalette::Highlight));
}

QTEST_MAIN(LadderGridTest)
#include "ladder_grid_test.moc"
