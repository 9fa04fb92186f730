// The cross-reference window: the list of a hand-made program with its marks, the search in
// any operand form, a double click that moves the grid's cursor, and the list following edits.
#include "ui/cross_reference_window.h"

#include "tests/ui/editor_fixture.h"

#include "document/editing.h"
#include "document/element_catalogue.h"
#include "ui/ladder_grid.h"
#include "ui/main_window.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

struct Editor : EditorFixture {
    CrossReferenceWindow& references() { return window->crossReferenceWindow(); }
    QTreeWidget* tree() {
        return references().findChild<QTreeWidget*>(QStringLiteral("ReferenceTree"));
    }
    QLineEdit* search() { return references().findChild<QLineEdit*>(QStringLiteral("SearchEdit")); }
    void element(int code, int row, int col, const char* operand) {
        if (col == document::kColumns - 1) {
            document::PlaceCoil(doc(), code, row, col);
        } else {
            document::PlaceContact(doc(), code, row, col);
        }
        doc().SetCellText(row, col, operand);
    }
    /// Each shown operand with its places and marks: "%M0012 (w2 k10 cewka -( )- zapis, ...) !".
    QStringList shown() {
        QStringList lines;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = tree()->topLevelItem(i);
            if (item->isHidden()) {
                continue;
            }
            QStringList places;
            for (int c = 0; c < item->childCount(); ++c) {
                const QTreeWidgetItem* place = item->child(c);
                places << place->text(1) + QLatin1Char(' ') + place->text(2) + QLatin1Char(' ') +
                              place->text(3);
            }
            QString line = item->text(0) + QStringLiteral(" (") +
                           places.join(QStringLiteral(", ")) + QLatin1Char(')');
            if (!item->text(4).isEmpty()) {
                line += QStringLiteral(" ! ") + item->text(4);
            }
            lines << line;
        }
        return lines;
    }
};

}  // namespace

class CrossReferenceWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void listsEveryOperandWithItsPlacesAndMarks();
    void searchFindsTheOperandInAnyFormTheEntryLineAccepts();
    void doubleClickOnAPlaceMovesTheGridCursorThere();
    void listFollowsEditsAndUndo();
};

void CrossReferenceWindowTest::listsEveryOperandWithItsPlacesAndMarks() {
    Editor e;
    e.element(document::ElementKind::ContactNO, 0, 0, "#A%I0001#");
    e.element(document::ElementKind::Coil, 0, 9, "#A%Q0001#");
    e.element(document::ElementKind::ContactNC, 1, 0, "#A%Q0001#");
    e.element(document::ElementKind::Coil, 1, 9, "#A%M0012#");
    e.element(document::ElementKind::CoilS, 2, 9, "#A%M0012#");
    document::PlaceBlock(e.doc(), document::BlockKind::Ondtr, 4, 3);
    e.doc().SetBlockField(6, 3, 'G', "%R0007");
    e.doc().SetCellText(6, 2, "#A%R0001#");
    e.trigger("Odsylacze1");
    QVERIFY(e.references().isVisible());
    QCOMPARE(
        e.shown(),
        (QStringList{
            QString::fromUtf8("%I0001 (w1 k1 styk otwarty odczyt)"),
            QString::fromUtf8("%Q0001 (w1 k10 cewka -( )- zapis, w2 k1 styk zamknięty odczyt)"),
            QString::fromUtf8("%M0012 (w2 k10 cewka -( )- zapis, w3 k10 cewka -(S)- zapis) ! "
                              "podwójna cewka, nigdzie nie odczytywany"),
            QString::fromUtf8("%R0001 (w7 k3 blok ONDTR (w5 k4), wejście PV odczyt)"),
            QString::fromUtf8("%R0007 (w7 k4 blok ONDTR (w5 k4), rejestr odczyt i zapis)"),
            QString::fromUtf8("%R0008 (w7 k4 blok ONDTR (w5 k4), rejestr odczyt i zapis)"),
            QString::fromUtf8("%R0009 (w7 k4 blok ONDTR (w5 k4), rejestr odczyt i zapis)"),
        }));
    QCOMPARE(e.references().findChild<QLabel*>(QStringLiteral("SummaryLabel"))->text(),
             QStringLiteral("7 operandów, 9 miejsc"));
}

void CrossReferenceWindowTest::searchFindsTheOperandInAnyFormTheEntryLineAccepts() {
    Editor e;
    e.element(document::ElementKind::ContactNO, 0, 0, "#A%M0012#");
    e.element(document::ElementKind::ContactNO, 0, 1, "#A%M0001#");
    e.element(document::ElementKind::Coil, 0, 9, "#A%Q0012#");
    e.trigger("Odsylacze1");
    QVERIFY(e.search()->hasFocus() || !e.references().isActiveWindow());
    for (const char* query : {"%m12", "12m", "%M 12"}) {
        e.search()->setText(QString::fromUtf8(query));
        QCOMPARE(e.shown(), QStringList{QStringLiteral("%M0012 (w1 k1 styk otwarty odczyt)")});
    }
    QCOMPARE(e.references().findChild<QLabel*>(QStringLiteral("SummaryLabel"))->text(),
             QStringLiteral("1 operand, 1 miejsce (z 3)"));
    e.search()->setText(QStringLiteral("%m"));
    QCOMPARE(e.shown().size(), 2);
    e.search()->clear();
    QCOMPARE(e.shown().size(), 3);
}

void CrossReferenceWindowTest::doubleClickOnAPlaceMovesTheGridCursorThere() {
    Editor e;
    e.element(document::ElementKind::ContactNO, 0, 0, "#A%I0003#");
    e.element(document::ElementKind::ContactNO, 5, 6, "#A%I0003#");
    e.window->grid().setRowCount(e.doc().rowCount());
    e.trigger("Odsylacze1");
    QTreeWidgetItem* place = e.tree()->topLevelItem(0)->child(1);
    const QRect rect = e.tree()->visualItemRect(place);
    QVERIFY(rect.isValid());
    // A double click is a click followed by the second press.
    QTest::mouseClick(e.tree()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(e.tree()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCOMPARE(e.window->grid().Row(), 5);
    QCOMPARE(e.window->grid().Col(), 6);
}

void CrossReferenceWindowTest::listFollowsEditsAndUndo() {
    Editor e;
    e.trigger("Odsylacze1");
    QCOMPARE(e.tree()->topLevelItemCount(), 0);
    e.window->grid().setCursorCell(2, 2);
    e.window->findChild<QToolButton*>(QStringLiteral("SpeedButton53"))->click();
    e.window->grid().setCursorCell(2, 2);
    QLineEdit* entry = e.window->findChild<QFrame*>(QStringLiteral("Panel7"))
                           ->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    entry->setText(QStringLiteral("%i9"));
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(e.shown(), QStringList{QStringLiteral("%I0009 (w3 k3 styk otwarty odczyt)")});
    e.trigger("Cofnij1");
    QCOMPARE(e.tree()->topLevelItemCount(), 0);
}

QTEST_MAIN(CrossReferenceWindowTest)
#include "cross_reference_window_test.moc"
