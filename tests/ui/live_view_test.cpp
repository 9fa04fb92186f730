// The running program on the grid: powered cells drawn while the simulation runs, dimmed while
// it is stopped, forced operands marked, the grid as before once it ends; and listing lines that
// lead to their cells.
#include "tests/ui/editor_fixture.h"

#include "document/ladder_document.h"
#include "ui/element_pictures.h"
#include "ui/ladder_grid.h"
#include "ui/listing_window.h"
#include "ui/live_monitor.h"
#include "ui/live_overlay.h"
#include "ui/main_window.h"
#include "ui/simulator_panel.h"
#include "ui/watch_forcing.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <tuple>
#include <vector>

namespace {

struct Editor : EditorFixture {
    // A seal-in: (%I0001 or %Q0001) and not %I0002 -> %Q0001.
    void latch() { sealIn(0, "%I0001", "%I0002", "%Q0001"); }
    QImage gridImage() { return grid().viewport()->grab().toImage(); }
    QImage gridBesideTheCursor() {
        QImage image = gridImage();
        const LadderGrid& view = grid();
        QPainter(&image).fillRect(view.cellRect(view.Row(), view.Col()), Qt::white);
        return image;
    }
    // The colour in the middle of a cell's rung wire.
    QRgb wireColour(const QImage& image, int row, int col) {
        const QRect cell = grid().cellRect(row, col);
        return image.pixel(cell.left() + 60, cell.top() + 64);
    }
};

}  // namespace

class LiveViewTest : public QObject {
    Q_OBJECT
private slots:
    void gridShowsTheRunningProgramThenTheStoppedOneDimmedThenNothing();
    void onlyCellsWhoseStateChangedAreDrawnAgain();
    void forcedInputIsMarkedOnItsContactUntilReleased();
    void listingLinesLeadToTheirCells();
};

void LiveViewTest::gridShowsTheRunningProgramThenTheStoppedOneDimmedThenNothing() {
    Editor e;
    e.latch();
    e.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(e.window.get()));
    e.window->grid().setRowCount(e.window->ladderDocument().rowCount());
    const QImage before = e.gridImage();
    const QImage beforeBesideTheCursor = e.gridBesideTheCursor();
    const QRgb black = e.wireColour(before, 0, 3);
    LiveMonitor& live = e.window->liveMonitor();

    bool ran = false;
    e.prompts->whileModal = [&](QDialog& dialog) {
        auto& panel = static_cast<SimulatorPanel&>(dialog);
        panel.timer().stop();  // ticks by hand
        QVERIFY(panel.controller().monitoring());
        QVERIFY(live.active());
        child<QPushButton>(panel, QStringLiteral("Button3"))->click();  // RUN
        child<QCheckBox>(panel, QStringLiteral("CheckBox1"))->setChecked(true);
        panel.Timer1Timer();
        live.refresh();
        QVERIFY(live.overlay().map().at(0, 9).has(translator::CellPower::RightPowered));
        QVERIFY(!live.overlay().dimmed());
        const QRgb powered = e.wireColour(e.gridImage(), 0, 3);
        QVERIFY(qGreen(powered) > 150 && qRed(powered) < 60);

        child<QCheckBox>(panel, QStringLiteral("CheckBox1"))->setChecked(false);
        child<QCheckBox>(panel, QStringLiteral("CheckBox2"))->setChecked(true);  // stop
        panel.Timer1Timer();
        live.refresh();
        QCOMPARE(e.wireColour(e.gridImage(), 0, 3), black);
        child<QCheckBox>(panel, QStringLiteral("CheckBox2"))->setChecked(false);
        child<QCheckBox>(panel, QStringLiteral("CheckBox1"))->setChecked(true);
        panel.Timer1Timer();

        // STOP I/O SCAN after the last scan: the same map, dimmed.
        child<QPushButton>(panel, QStringLiteral("Button3"))->click();
        live.refresh();
        QVERIFY(live.overlay().dimmed());
        QVERIFY(live.overlay().map().at(0, 9).has(translator::CellPower::RightPowered));
        const QRgb dimmed = e.wireColour(e.gridImage(), 0, 3);
        QVERIFY(dimmed != powered && dimmed != black);
        QVERIFY(qGreen(dimmed) > qRed(dimmed));
        ran = true;
        child<QPushButton>(panel, QStringLiteral("Button2"))->click();  // "Koniec"
    };
    e.window->findChild<QToolButton*>(QStringLiteral("SpeedButton15"))->click();
    QVERIFY(ran);
    QVERIFY(!live.active());
    QVERIFY(!e.window->simulatorPanel().controller().monitoring());
    // Pixel for pixel as before, but for the cursor cell, which shows where the focus went.
    QCOMPARE(e.gridBesideTheCursor(), beforeBesideTheCursor);
}

void LiveViewTest::forcedInputIsMarkedOnItsContactUntilReleased() {
    using translator::CellPower;
    Editor e;
    e.latch();
    e.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(e.window.get()));
    LiveMonitor& live = e.window->liveMonitor();
    // The top right corner of a cell, where the mark goes.
    const auto corner = [&](int row, int col) {
        const QRect cell = e.window->grid().cellRect(row, col);
        return e.gridImage().pixel(cell.right() - 1, cell.top() + 1);
    };
    const auto marked = [&](int row, int col) {
        return live.overlay().map().at(row, col).has(CellPower::Forced);
    };

    bool ran = false;
    e.prompts->whileModal = [&](QDialog& dialog) {
        auto& panel = static_cast<SimulatorPanel&>(dialog);
        panel.timer().stop();  // ticks by hand
        // The watch table opens on %I as BIT: its first row is %I0001.
        const auto choose = [&](const QString& item) {
            for (QAction* action : panel.watchForcing().menuForRow(0).actions()) {
                if (action->text() == item) {
                    action->trigger();
                    return;
                }
            }
            QFAIL(qPrintable(item));
        };
        const QRgb plain = corner(0, 0);
        choose(QString::fromUtf8("Wymuś 1"));
        live.refresh();  // STOP NO I/O, before any scan
        QVERIFY(marked(0, 0));
        QVERIFY(!marked(1, 0) && !marked(0, 9));  // %Q0001's contact and coil
        const QRgb mark = corner(0, 0);
        QVERIFY(qRed(mark) > 200 && qGreen(mark) > 90 && qGreen(mark) < 150 && qBlue(mark) < 40);

        // In RUN the forced input, not its box, drives the latch.
        child<QPushButton>(panel, QStringLiteral("Button3"))->click();
        panel.Timer1Timer();
        live.refresh();
        QVERIFY(marked(0, 0));
        QVERIFY(live.overlay().map().at(0, 9).has(CellPower::RightPowered));

        // Released between two scans: the mark goes at the next refresh.
        choose(QStringLiteral("Zwolnij"));
        live.refresh();
        QVERIFY(!marked(0, 0));
        QCOMPARE(corner(0, 0), plain);
        choose(QString::fromUtf8("Wymuś 0"));
        ran = true;
        child<QPushButton>(panel, QStringLiteral("Button2"))->click();  // "Koniec"
    };
    e.window->findChild<QToolButton*>(QStringLiteral("SpeedButton15"))->click();
    QVERIFY(ran);
    QVERIFY(!marked(0, 0));
}

void LiveViewTest::onlyCellsWhoseStateChangedAreDrawnAgain() {
    using translator::CellPower;
    ui::LiveOverlay overlay(ui::ElementPictures::shared());
    std::vector<std::pair<int, int>> changed;
    const auto note = [&](int row, int col) { changed.emplace_back(row, col); };
    const auto map = [](std::vector<std::tuple<int, int, std::uint16_t>> cells) {
        translator::PowerMap next;
        next.reset(3);
        for (const auto& [row, col, bits] : cells) {
            next.writableAt(row, col).bits = bits;
        }
        return next;
    };
    const std::uint16_t on = CellPower::Element | CellPower::RightPowered;

    translator::PowerMap next = map({{0, 0, on}, {1, 1, CellPower::Element}});
    overlay.show(next, false, note);
    QCOMPARE(changed, (std::vector<std::pair<int, int>>{{0, 0}, {1, 1}}));
    changed.clear();
    next = map({{0, 0, on}, {1, 1, CellPower::Element}, {2, 2, on}});
    overlay.show(next, false, note);
    QCOMPARE(changed, (std::vector<std::pair<int, int>>{{2, 2}}));
    // Dimmed, every cell that shows something is drawn again, and only those.
    changed.clear();
    next = overlay.map();
    overlay.show(next, true, note);
    QCOMPARE(changed, (std::vector<std::pair<int, int>>{{0, 0}, {2, 2}}));
    QVERIFY(overlay.dimmed());
}

void LiveViewTest::listingLinesLeadToTheirCells() {
    Editor e;
    e.latch();
    e.window->grid().setCursorCell(5, 5);
    bool listed = false;
    e.prompts->whileModal = [&](QDialog& dialog) {
        auto* memo1 = child<QPlainTextEdit>(dialog, QStringLiteral("Memo1"));
        auto* memo2 = child<QPlainTextEdit>(dialog, QStringLiteral("Memo2"));
        // Line 5 of the instruction list: LOAD NOT %I0002, from row 1, column 3.
        QCOMPARE(memo1->document()->findBlockByNumber(5).text(),
                 QStringLiteral("   LOAD NOT %I0002"));
        QTextCursor load(memo1->document()->findBlockByNumber(5));
        QTest::mouseDClick(memo1->viewport(), Qt::LeftButton, {}, memo1->cursorRect(load).center());
        QCOMPARE(e.window->grid().Row(), 0);
        QCOMPARE(e.window->grid().Col(), 2);

        // Enter on a header line does nothing and leaves the window open.
        memo1->setTextCursor(QTextCursor(memo1->document()->findBlockByNumber(1)));
        QTest::keyClick(memo1, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(e.window->grid().Col(), 2);

        // Enter on a word of the coil's instruction in the interpreter program.
        child<QPushButton>(dialog, QStringLiteral("Button2"))->click();
        QVERIFY(memo2->isVisible());
        const int coilWord = 4 + 4 + 4 + 1 + 1;  // three contacts, OR (S), AND (S); then -7
        QCOMPARE(memo2->document()->findBlockByNumber(5 + coilWord).text(),
                 QStringLiteral("   %1:  -7").arg(coilWord));
        memo2->setTextCursor(QTextCursor(memo2->document()->findBlockByNumber(5 + coilWord)));
        QTest::keyClick(memo2, Qt::Key_Return);
        QCOMPARE(e.window->grid().Row(), 0);
        QCOMPARE(e.window->grid().Col(), 9);
        QVERIFY(dialog.isVisible());
        listed = true;
        child<QPushButton>(dialog, QStringLiteral("Button1"))->click();
    };
    e.window->findChild<QToolButton*>(QStringLiteral("SpeedButton14"))->click();
    QVERIFY(listed);
}

QTEST_MAIN(LiveViewTest)
#include "live_view_test.moc"
