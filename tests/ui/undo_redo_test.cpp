// Undo and redo in the main window: every kind of edit comes back exactly with its cursor, a long
// chain of edits undone to the start saves byte for byte as before, and the keyboard reaches the
// commands.
#include "tests/ui/editor_fixture.h"

#include "document/editing.h"
#include "document/element_catalogue.h"
#include "document/program_file.h"
#include "ui/cross_reference_window.h"
#include "ui/description_window.h"
#include "ui/help_window.h"
#include "ui/ladder_grid.h"
#include "ui/main_window.h"
#include "ui/parameters_window.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <random>

namespace {

struct Editor : EditorFixture {
    void enterOperand(const QString& text) {
        entryLine()->setText(text);
        QTest::keyClick(entryLine(), Qt::Key_Return);
    }
    /// Makes the main window active again (after a window of its own took the focus), with the
    /// keyboard in the grid: window shortcuts reach only the active window.
    void activateWithGridFocus() {
        activate();
        grid().setFocus();
        QTRY_VERIFY(grid().hasFocus());
    }
    /// A small program: a branch of two contacts into a coil, an ONDTR and an ADD.
    void drawProgram() {
        document::LadderDocument& d = doc();
        document::PlaceContact(d, 1, 0, 0);
        d.SetCellText(0, 0, "#A%I0001#");
        document::PlaceLink(d, 100, 0, 0);
        document::PlaceContact(d, 2, 1, 0);
        d.SetCellText(1, 0, "#A%I0002##1opis#");
        document::PlaceCoil(d, 3, 0, 1);
        d.SetCellText(0, 9, "#A%Q0001#");
        document::PlaceBlock(d, document::BlockKind::Ondtr, 3, 4);
        document::PlaceBlock(d, document::BlockKind::Add, 6, 2);
        grid().setRowCount(d.rowCount());
    }
};

// Empty when both documents hold the same rows, codes and texts; else the first difference.
QString gridDifference(const document::LadderDocument& a, const document::LadderDocument& b) {
    if (a.rowCount() != b.rowCount()) {
        return QStringLiteral("rows %1 vs %2").arg(a.rowCount()).arg(b.rowCount());
    }
    for (int row = 0; row < a.rowCount(); ++row) {
        for (int col = 0; col < document::kColumns; ++col) {
            if (a.CellCode(row, col) != b.CellCode(row, col) ||
                a.CellText(row, col) != b.CellText(row, col)) {
                return QStringLiteral("w%1 k%2: %3 %4 vs %5 %6")
                    .arg(row + 1)
                    .arg(col + 1)
                    .arg(a.CellCode(row, col))
                    .arg(QString::fromStdString(a.CellText(row, col)))
                    .arg(b.CellCode(row, col))
                    .arg(QString::fromStdString(b.CellText(row, col)));
            }
        }
    }
    return {};
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class UndoRedoTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void everyKindOfEditIsUndoneAndRedoneWithItsCursor();
    void toolWindowsShowTheCellAsBeforeTheUndoneEdit();
    void chainOfEditsUndoneToTheStartSavesByteForByte();
    void newEditDropsRedoAndNewOrOpenStartsAFreshHistory();
    void shortcutsReachTheirCommands();
    void undoKeyInTheEntryLineUndoesTheLineWhileItHoldsText();
    void operandThatFitsNoFormIsReportedInTheHintPanel();
};

void UndoRedoTest::everyKindOfEditIsUndoneAndRedoneWithItsCursor() {
    struct Case {
        const char* name;
        QPoint cursor;  // (col, row)
        std::function<void(Editor&)> act;
    };
    const Case cases[] = {
        {"contact button", {3, 2}, [](Editor& e) { e.click("SpeedButton53"); }},
        {"coil button", {1, 2}, [](Editor& e) { e.click("SpeedButton84"); }},
        {"block over a block", {4, 2}, [](Editor& e) { e.click("SpeedButton26"); }},
        {"down link", {5, 1}, [](Editor& e) { e.click("SpeedButton56"); }},
        {"right click on a block",
         {4, 4},
         [](Editor& e) {
             QTest::mouseClick(e.grid().viewport(), Qt::RightButton, Qt::NoModifier,
                               e.grid().cellRect(4, 4).center());
         }},
        {"delete element", {0, 0}, [](Editor& e) { e.trigger("Usunelement1"); }},
        {"operand entry", {0, 1}, [](Editor& e) { e.enterOperand(QStringLiteral("%m5")); }},
        {"data type in the parameters window",
         {2, 7},
         [](Editor& e) {
             e.click("SpeedButton9");
             auto* dint = e.window->parametersWindow().findChild<QRadioButton*>(
                 QStringLiteral("RadioButton6"));
             QTest::mouseClick(dint, Qt::LeftButton);
         }},
        {"description window",
         {0, 0},
         [](Editor& e) {
             auto& form = e.window->descriptionWindow();
             form.findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(QStringLiteral("Pompa"));
             form.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
         }},
        {"row inserted across a link", {0, 1}, [](Editor& e) { e.click("SpeedButton4"); }},
        {"row deleted through a block", {0, 4}, [](Editor& e) { e.click("SpeedButton7"); }},
        {"cut of a rectangle",
         {0, 0},
         [](Editor& e) {
             QTest::mouseClick(e.grid().viewport(), Qt::LeftButton, Qt::ShiftModifier,
                               e.grid().cellRect(1, 9).center());
             e.click("SpeedButton5");
         }},
        {"paste that grows the program",
         {0, 9},
         [](Editor& e) {
             document::CopyRange(e.doc(), 0, 0, 4, 9);
             e.click("SpeedButton90");
         }},
    };
    for (const Case& c : cases) {
        Editor e;
        e.drawProgram();
        e.grid().setCursorCell(c.cursor.y(), c.cursor.x());
        const document::LadderDocument before = e.doc();
        c.act(e);
        const document::LadderDocument after = e.doc();
        QVERIFY2(!gridDifference(before, after).isEmpty(), c.name);
        QVERIFY2(e.action("Cofnij1")->isEnabled(), c.name);
        QVERIFY2(!e.action("Ponow1")->isEnabled(), c.name);

        e.grid().setCursorCell(9, 9);
        e.trigger("Cofnij1");
        QVERIFY2(gridDifference(before, e.doc()).isEmpty(),
                 qPrintable(QString::fromUtf8(c.name) + QStringLiteral(": ") +
                            gridDifference(before, e.doc())));
        QCOMPARE(e.grid().rowCount(), before.rowCount());
        QVERIFY2(QPoint(e.grid().Col(), e.grid().Row()) == c.cursor, c.name);
        QVERIFY2(!e.action("Cofnij1")->isEnabled(), c.name);

        e.trigger("Ponow1");
        QVERIFY2(gridDifference(after, e.doc()).isEmpty(),
                 qPrintable(QString::fromUtf8(c.name) + QStringLiteral(": ") +
                            gridDifference(after, e.doc())));
        QCOMPARE(e.grid().rowCount(), after.rowCount());
        QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zmieniony"));
    }
}

void UndoRedoTest::toolWindowsShowTheCellAsBeforeTheUndoneEdit() {
    Editor e;
    e.drawProgram();
    e.grid().setCursorCell(7, 2);
    e.click("SpeedButton9");
    auto& parameters = e.window->parametersWindow();
    auto* intButton = parameters.findChild<QRadioButton*>(QStringLiteral("RadioButton5"));
    auto* dintButton = parameters.findChild<QRadioButton*>(QStringLiteral("RadioButton6"));
    QTest::mouseClick(dintButton, Qt::LeftButton);
    QVERIFY(dintButton->isChecked());
    e.grid().setCursorCell(0, 0);
    e.trigger("Cofnij1");
    QCOMPARE(e.grid().Row(), 7);
    QVERIFY(intButton->isChecked());
    QVERIFY(!dintButton->isChecked());

    auto& description = e.window->descriptionWindow();
    auto* line1 = description.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    e.grid().setCursorCell(1, 0);
    line1->setText(QStringLiteral("Zawór"));
    description.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    e.trigger("Cofnij1");
    QCOMPARE(line1->text(), QStringLiteral("opis"));
}

void UndoRedoTest::chainOfEditsUndoneToTheStartSavesByteForByte() {
    QTemporaryDir dir;
    Editor e;
    e.drawProgram();
    e.prompts->fileNames = {dir.filePath(QStringLiteral("start.jar"))};
    e.trigger("SaveAs1");
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zapisany"));

    // Buttons of every toolbar, the clipboard, rows, operands and descriptions at random cells.
    const char* const buttons[] = {
        "SpeedButton53", "SpeedButton54", "SpeedButton84",  "SpeedButton100", "SpeedButton56",
        "SpeedButton57", "SpeedButton58", "SpeedButton104", "SpeedButton26",  "SpeedButton46",
        "SpeedButton67", "SpeedButton4",  "SpeedButton7",   "SpeedButton5",   "SpeedButton90"};
    std::mt19937 random(7);
    const auto pick = [&random](int below) {
        return static_cast<int>(random() % static_cast<unsigned>(below));
    };
    int actions = 0;
    while (e.window->history().undoCount() < 200 && actions++ < 1000) {
        e.grid().setCursorCell(pick(e.grid().rowCount()), pick(document::kColumns));
        switch (pick(5)) {
            case 0: e.enterOperand(QStringLiteral("%m%1").arg(pick(100))); break;
            case 1: e.trigger("Usunelement1"); break;
            case 2: {
                auto& form = e.window->descriptionWindow();
                form.findChild<QLineEdit*>(QStringLiteral("Edit3"))
                    ->setText(QStringLiteral("ł%1").arg(pick(9)));
                form.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
                break;
            }
            case 3: e.trigger("Kopiuj1"); break;
            default: e.click(buttons[pick(static_cast<int>(std::size(buttons)))]); break;
        }
    }
    QCOMPARE(e.window->history().undoCount(), std::size_t{200});
    const document::LadderDocument end = e.doc();

    while (e.action("Cofnij1")->isEnabled()) {
        e.trigger("Cofnij1");
    }
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zapisany"));
    e.prompts->fileNames = {dir.filePath(QStringLiteral("back.jar"))};
    e.trigger("SaveAs1");
    const QByteArray program = fileBytes(dir.filePath(QStringLiteral("start.jar")));
    QVERIFY(!program.isEmpty());
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("back.jar"))), program);
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("back.jar.str"))),
             fileBytes(dir.filePath(QStringLiteral("start.jar.str"))));

    while (e.action("Ponow1")->isEnabled()) {
        e.trigger("Ponow1");
    }
    QCOMPARE(gridDifference(end, e.doc()), QString());
    QCOMPARE(e.grid().rowCount(), end.rowCount());
}

void UndoRedoTest::newEditDropsRedoAndNewOrOpenStartsAFreshHistory() {
    QTemporaryDir dir;
    Editor e;
    e.grid().setCursorCell(0, 0);
    e.click("SpeedButton53");
    e.click("SpeedButton53");
    e.trigger("Cofnij1");
    QVERIFY(e.action("Ponow1")->isEnabled());
    e.grid().setCursorCell(4, 4);
    e.click("SpeedButton54");
    QVERIFY(!e.action("Ponow1")->isEnabled());
    e.trigger("Cofnij1");
    e.trigger("Cofnij1");
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("nowy"));

    QVERIFY(document::SaveProgram(e.doc(), dir.filePath(QStringLiteral("p.jar")).toStdString()) ==
            document::FileResult::Success);
    e.prompts->fileNames = {dir.filePath(QStringLiteral("p.jar"))};
    e.trigger("Open1");
    QVERIFY(!e.action("Cofnij1")->isEnabled());
    QVERIFY(!e.action("Ponow1")->isEnabled());
    e.click("SpeedButton53");
    e.trigger("Cofnij1");
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("wczytany"));

    e.click("SpeedButton53");
    e.prompts->answers = {QMessageBox::No};
    e.trigger("New1");
    QVERIFY(!e.action("Cofnij1")->isEnabled());
}

void UndoRedoTest::shortcutsReachTheirCommands() {
    Editor e;
    e.window->show();
    e.activateWithGridFocus();
    LadderGrid& grid = e.grid();
    QTRY_VERIFY(grid.hasFocus());

    // Ctrl+O and Ctrl+S open their dialogs (a program without a name asks for one).
    QTest::keyClick(&grid, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(e.prompts->fileDialogs,
             (std::vector<QString>{QStringLiteral("OpenDialog1"), QStringLiteral("SaveDialog1")}));

    // A contact, its operand and coil: a program that translates.
    e.click("SpeedButton53");
    e.click("SpeedButton84");
    e.doc().SetCellText(0, 0, "#A%I0001#");
    e.doc().SetCellText(0, 9, "#A%Q0001#");
    grid.setCursorCell(0, 0);
    grid.setFocus();

    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    grid.setCursorCell(2, 0);
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.doc().CellCode(2, 0), 1);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.doc().CellCode(2, 0), 0);
    QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(e.doc().CellCode(2, 0), 1);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(e.doc().CellCode(2, 0), 1);
    QTest::keyClick(&grid, Qt::Key_Delete);
    QCOMPARE(e.doc().CellCode(2, 0), 0);
    grid.setCursorCell(0, 0);
    QTest::keyClick(&grid, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(e.doc().CellCode(0, 0), 0);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.doc().CellCode(0, 0), 1);

    QTest::keyClick(&grid, Qt::Key_F7);
    QCOMPARE(e.prompts->messages.size(), std::size_t{1});
    QCOMPARE(e.prompts->messages[0].text, QStringLiteral("Program poprawny"));
    e.activateWithGridFocus();
    QTest::keyClick(&grid, Qt::Key_F8);
    e.activateWithGridFocus();
    QTest::keyClick(&grid, Qt::Key_F9);
    QCOMPARE(e.prompts->modals,
             (std::vector<QString>{QStringLiteral("TForm5"), QStringLiteral("TForm8")}));
    e.activateWithGridFocus();
    QTest::keyClick(&grid, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(e.prompts->printDialogs, std::vector<int>{1});
    QTest::keyClick(&grid, Qt::Key_F1);
    QVERIFY(e.window->helpWindow().isVisible());
    e.activateWithGridFocus();
    QTest::keyClick(&grid, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(e.window->crossReferenceWindow().isVisible());

    // Ctrl+N with unsaved changes asks first.
    e.activateWithGridFocus();
    QTest::keyClick(&grid, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(e.prompts->questions.size(), std::size_t{1});
}

void UndoRedoTest::undoKeyInTheEntryLineUndoesTheLineWhileItHoldsText() {
    Editor e;
    e.window->show();
    e.activateWithGridFocus();
    e.click("SpeedButton53");
    e.grid().setCursorCell(0, 0);
    QLineEdit* line = e.entryLine();
    line->setFocus();
    QTRY_VERIFY(line->hasFocus());
    QTest::keyClicks(line, QStringLiteral("%i1"));
    QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(line->text() != QStringLiteral("%i1"));
    QCOMPARE(e.doc().CellCode(0, 0), 1);
    line->clear();
    QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.doc().CellCode(0, 0), 0);
}

void UndoRedoTest::operandThatFitsNoFormIsReportedInTheHintPanel() {
    Editor e;
    e.click("SpeedButton53");
    e.grid().setCursorCell(0, 0);
    e.enterOperand(QStringLiteral("%x1"));
    QCOMPARE(e.window->statusPanelText(3), QString::fromUtf8("Nieprawidłowy operand: %x1"));
    QCOMPARE(e.doc().CellText(0, 0), std::string());
    QCOMPARE(e.window->history().undoCount(), std::size_t{1});
}

QTEST_MAIN(UndoRedoTest)
#include "undo_redo_test.moc"
