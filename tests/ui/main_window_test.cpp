// Main window: start-up state, element buttons, operand entry, deletion, strips and status bar.
#include "ui/main_window.h"

#include "tests/ui/editor_fixture.h"

#include "document/editing.h"
#include "document/element_catalogue.h"
#include "ui/about_box.h"
#include "ui/description_window.h"
#include "ui/help_window.h"
#include "ui/ladder_grid.h"
#include "ui/main_commands.h"
#include "ui/parameters_window.h"
#include "ui/qt_translations.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <array>

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

struct Editor : EditorFixture {
    QToolButton* button(std::string_view name) { return window->findChild<QToolButton*>(qs(name)); }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpShowsOnlyFirstElementToolbarAndNewDocument();
    void everyCatalogueButtonSitsOnItsToolbarWithItsHint();
    void mainToolbarButtonsStandInOrderWithTheirHints();
    void elementToolbarButtonsStandInTheirGroups_data();
    void elementToolbarButtonsStandInTheirGroups();
    void menusHoldTheirItemsAndSeparators();
    void everyCommandOfTheTableHasItsItemAndButton();
    void statusBarPanelsHaveTheirWidths();
    void elementButtonWritesItsCodeAndMovesCursorByItsRefresh_data();
    void elementButtonWritesItsCodeAndMovesCursorByItsRefresh();
    void refusedPlacementLeavesStatusUnchanged();
    void typedOperandGoesToEntryLineAndJumpsToNextContactOrCoil();
    void emptyEntryLineDoesNothing();
    void nextOperandCellSearch_data();
    void nextOperandCellSearch();
    void rightClickOnMiddleRowDeletesWholeBlock();
    void doubleClickShowsDescriptionOnlyForElements();
    void gridLinesToggleWithMenuCheck();
    void hideAllAndShowKeepElementToolbarsHidden();
    void fullScreenAlsoHidesParametersWindow();
    void toolbarSwitchesAreEnabledOnlyWhileTheirToolbarIsHidden();
    void statusTipGoesToHintPanel();
    void statusPanelsFollowCursorAndSelection();
    void insertAndDeleteRowFollowTheDocument();
    void cutAndPasteMarkModifiedAndKeepCursor();
    void helpShowsTheShippedPolishPage();
    void helpClosesWithEscapeAndItsButtonAndListsTheShortcuts();
    void aboutBoxIsTallEnoughForAllItsText();
    void qtsOwnButtonsSpeakPolish();
};

void MainWindowTest::startUpShowsOnlyFirstElementToolbarAndNewDocument() {
    Editor e;
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - Program1"));
    QVERIFY(e.window->windowState().testFlag(Qt::WindowMaximized));
    QVERIFY(!e.find<QFrame>("Panel1")->isHidden());
    QVERIFY(!e.find<QFrame>("Panel6")->isHidden());
    QVERIFY(!e.find<QFrame>("Panel7")->isHidden());
    QVERIFY(e.find<QFrame>("Panel3")->isHidden());
    QVERIFY(e.find<QFrame>("Panel4")->isHidden());
    QVERIFY(e.find<QFrame>("Panel5")->isHidden());
    QVERIFY(e.find<QAction>("Panel11")->isChecked());
    QVERIFY(!e.find<QAction>("Panel21")->isChecked());
    QVERIFY(e.find<QAction>("Siatka1")->isChecked());
    QVERIFY(!e.find<QAction>("Odkryj1")->isEnabled());
    QVERIFY(e.find<QAction>("Ukryjwszystko1")->isEnabled());
    QCOMPARE(e.grid().rowCount(), 10);
    QCOMPARE(e.grid().gridLineWidth(), 1);
    QCOMPARE(e.doc().rowCount(), 10);
    QCOMPARE(e.doc().status(), document::DocumentStatus::New);
    QCOMPARE(e.window->statusPanelText(0), QStringLiteral("w1  k1"));
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("Nowy"));
    QCOMPARE(e.window->statusPanelText(3),
             QString::fromUtf8(" Witaj w programie Wirtualon! - symulatorze sterowników "
                               "programowalnych rodziny GEFanuc"));
    QVERIFY(e.button("SpeedButton15")->isEnabled());
    QVERIFY(e.button("SpeedButton6")->isEnabled());
    QVERIFY(e.find<QAction>("UruchomSymulator1")->isEnabled());
    QVERIFY(e.find<QAction>("DDE1")->isEnabled());
    QVERIFY(e.find<QAction>("Testujprogram1")->isEnabled());
    // Tool windows exist but wait hidden.
    QVERIFY(!e.window->parametersWindow().isVisible());
    QVERIFY(!e.window->descriptionWindow().isVisible());
}

void MainWindowTest::everyCatalogueButtonSitsOnItsToolbarWithItsHint() {
    Editor e;
    int buttons = 0;
    for (const document::ElementEntry& entry : document::elementCatalogue()) {
        if (entry.button.empty()) {
            continue;
        }
        ++buttons;
        QToolButton* button = e.button(entry.button);
        QVERIFY2(button, entry.button.data());
        QCOMPARE(button->parentWidget()->objectName(), qs(entry.toolbar));
        QCOMPARE(button->toolTip(), qs(document::hintTooltip(entry.hint)));
        QCOMPARE(button->statusTip(), qs(document::hintStatusText(entry.hint)));
        QCOMPARE(button->size(), QSize(23, 23));
        QVERIFY(!button->icon().isNull());
    }
    QVERIFY(buttons >= 60);
    for (const document::ToolbarEntry& toolbar : document::elementToolbars()) {
        QToolButton* close = e.button(toolbar.closeButton);
        QVERIFY(close);
        QCOMPARE(close->size(), QSize(10, 10));
        QCOMPARE(close->parentWidget()->objectName(), qs(toolbar.panel));
    }
}

void MainWindowTest::elementButtonWritesItsCodeAndMovesCursorByItsRefresh_data() {
    QTest::addColumn<QString>("button");
    for (const document::ElementEntry& entry : document::elementCatalogue()) {
        if (!entry.button.empty()) {
            QTest::newRow(entry.button.data()) << qs(entry.button);
        }
    }
}

void MainWindowTest::elementButtonWritesItsCodeAndMovesCursorByItsRefresh() {
    QFETCH(QString, button);
    const document::ElementEntry* entry = document::findElementByButton(button.toStdString());
    QVERIFY(entry);
    Editor e;
    constexpr int row = 2;
    constexpr int col = 3;
    e.grid().setCursorCell(row, col);
    e.button(button.toStdString())->click();

    const auto& doc = e.doc();
    switch (entry->placement) {
        case document::Placement::Contact: QCOMPARE(doc.CellCode(row, col), entry->code); break;
        case document::Placement::Coil:
            QCOMPARE(doc.CellCode(row, 9), entry->code);
            for (int c = col; c < 9; ++c) {
                QCOMPARE(doc.CellCode(row, c), document::ElementKind::HLink);
            }
            break;
        case document::Placement::Link:
            if (entry->code == document::LinkFlag::LinkUp) {
                QCOMPARE(doc.CellCode(row, col), 200);
                QCOMPARE(doc.CellCode(row - 1, col), 100);
            } else {
                QCOMPARE(doc.CellCode(row, col), entry->code);
                QCOMPARE(doc.CellCode(row + 1, col), 200);
            }
            break;
        case document::Placement::Block: {
            const document::BlockTemplate* block = document::findBlockTemplate(entry->code);
            QVERIFY(block);
            const document::RoleLayout* layout = document::findLayout(block->layout);
            QVERIFY(layout);
            for (int i = 0; i < layout->height; ++i) {
                QCOMPARE(doc.CellCode(row + i, col), entry->code + layout->roles[i]);
                QCOMPARE(doc.CellText(row + i, col), std::string(block->texts[i]));
            }
            QCOMPARE(e.grid().rowCount(), doc.rowCount());
            QVERIFY(doc.rowCount() >= row + layout->height + 3);
            break;
        }
    }

    QPoint expected(col, row);
    switch (entry->refresh) {
        case document::Refresh::AfterContact: expected = {col + 1, row}; break;
        case document::Refresh::AfterCoil: expected = {0, row + 1}; break;
        case document::Refresh::AfterLinkDown: expected = {col, row + 1}; break;
        case document::Refresh::AfterLinkUp: expected = {col, row - 1}; break;
        default: QFAIL("an element button with a refresh that moves no cursor");
    }
    QCOMPARE(QPoint(e.grid().Col(), e.grid().Row()), expected);
    // Every placement changed the grid, so the status bar says so.
    QCOMPARE(doc.status(), document::DocumentStatus::Modified);
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zmieniony"));
    QCOMPARE(e.window->statusPanelText(0),
             QStringLiteral("w%1  k%2").arg(expected.y() + 1).arg(expected.x() + 1));
}

void MainWindowTest::refusedPlacementLeavesStatusUnchanged() {
    Editor e;
    // Blocks never stand in column 0: nothing changes, so the document is still new.
    e.grid().setCursorCell(0, 0);
    e.button("SpeedButton26")->click();
    QCOMPARE(e.doc().CellCode(0, 0), 0);
    QCOMPARE(e.doc().status(), document::DocumentStatus::New);
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("nowy"));
    // A through link on row 0 is refused as well.
    e.grid().setCursorCell(0, 4);
    e.button("SpeedButton58")->click();
    QCOMPARE(e.doc().CellCode(0, 4), 0);
    QCOMPARE(e.doc().status(), document::DocumentStatus::New);
}

void MainWindowTest::typedOperandGoesToEntryLineAndJumpsToNextContactOrCoil() {
    Editor e;
    e.showAndActivate();
    e.button("SpeedButton53")->click();  // contact at (0,0), cursor to (0,1)
    e.button("SpeedButton84")->click();  // coil at (0,9), wires between
    e.grid().setCursorCell(0, 0);
    e.grid().setFocus();
    QTRY_VERIFY(e.grid().hasFocus());

    auto* edit = e.entryLine();
    QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Percent, Qt::NoModifier);
    QCOMPARE(edit->text(), QStringLiteral("%"));
    QVERIFY(edit->hasFocus());
    QTest::keyClicks(static_cast<QWidget*>(nullptr), QStringLiteral("i1"));
    QCOMPARE(edit->text(), QStringLiteral("%i1"));
    QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Return);

    QCOMPARE(e.doc().CellText(0, 0), std::string("#A%I0001#"));
    QCOMPARE(e.grid().Row(), 0);
    QCOMPARE(e.grid().Col(), 9);
    QVERIFY(edit->text().isEmpty());
    QVERIFY(edit->hasFocus());

    QTest::keyClicks(edit, QStringLiteral("%Q1"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(e.doc().CellText(0, 9), std::string("#A%Q0001#"));
    // Nothing further takes an operand: the cursor stays, the line is emptied.
    QCOMPARE(e.grid().Row(), 0);
    QCOMPARE(e.grid().Col(), 9);
    QVERIFY(edit->text().isEmpty());
    QCOMPARE(e.doc().status(), document::DocumentStatus::Modified);
}

void MainWindowTest::emptyEntryLineDoesNothing() {
    Editor e;
    document::PlaceContact(e.doc(), 1, 0, 0);
    document::PlaceContact(e.doc(), 1, 0, 4);
    e.doc().setStatus(document::DocumentStatus::Saved);
    e.grid().setCursorCell(0, 0);
    QTest::keyClick(e.entryLine(), Qt::Key_Return);
    QCOMPARE(e.grid().Col(), 0);
    QCOMPARE(e.doc().status(), document::DocumentStatus::Saved);
}

void MainWindowTest::nextOperandCellSearch_data() {
    QTest::addColumn<QPoint>("start");  // (col, row)
    QTest::addColumn<QPoint>("expected");
    QTest::addColumn<bool>("lineEmptied");
    // Grid: contact+down link at (1,2), ADD block at rows 3-5 of column 4, coil at (3,9).
    QTest::newRow("skips wires and empty cells to a linked contact")
        << QPoint(9, 0) << QPoint(2, 1) << true;
    QTest::newRow("skips block cells to the coil") << QPoint(2, 1) << QPoint(9, 3) << true;
    QTest::newRow("past the last row the cursor stays") << QPoint(9, 3) << QPoint(9, 3) << true;
    QTest::newRow("in the very last cell nothing happens") << QPoint(9, 9) << QPoint(9, 9) << false;
}

void MainWindowTest::nextOperandCellSearch() {
    QFETCH(QPoint, start);
    QFETCH(QPoint, expected);
    QFETCH(bool, lineEmptied);
    Editor e;
    auto& doc = e.doc();
    document::PlaceContact(doc, 1, 1, 2);
    document::PlaceLink(doc, 100, 1, 2);
    document::PlaceBlock(doc, document::BlockKind::Add, 3, 4);
    document::PlaceCoil(doc, 3, 3, 9);
    while (doc.rowCount() > 10) {
        doc.RemoveLastRows(1);
    }
    e.grid().setRowCount(doc.rowCount());
    QCOMPARE(doc.CellCode(1, 2), 101);

    auto* edit = e.entryLine();
    e.grid().setCursorCell(start.y(), start.x());
    edit->setText(QStringLiteral("x"));
    e.window->NextOperandCell();
    QCOMPARE(QPoint(e.grid().Col(), e.grid().Row()), expected);
    QCOMPARE(edit->text().isEmpty(), lineEmptied);
}

void MainWindowTest::rightClickOnMiddleRowDeletesWholeBlock() {
    Editor e;
    e.showAndActivate();
    e.grid().setCursorCell(1, 2);
    e.button("SpeedButton26")->click();  // ADD, rows 1-3 of column 2
    QCOMPARE(e.doc().CellCode(2, 2), 621);
    e.doc().setStatus(document::DocumentStatus::Saved);

    const QRect cell = e.grid().cellRect(2, 2);
    QTest::mouseClick(e.grid().viewport(), Qt::RightButton, Qt::NoModifier, cell.center());
    for (int row = 1; row <= 3; ++row) {
        QCOMPARE(e.doc().CellCode(row, 2), 0);
        QCOMPARE(e.doc().CellText(row, 2), std::string());
    }
    QCOMPARE(e.grid().Row(), 2);
    QCOMPARE(e.grid().Col(), 2);
    QCOMPARE(e.doc().status(), document::DocumentStatus::Modified);
    QCOMPARE(e.window->parametersWindow().row(), 2);
    QCOMPARE(e.window->descriptionWindow().col(), 2);

    // A right click on an empty cell changes nothing, so nothing is marked.
    e.doc().setStatus(document::DocumentStatus::Saved);
    QTest::mouseClick(e.grid().viewport(), Qt::RightButton, Qt::NoModifier,
                      e.grid().cellRect(0, 0).center());
    QCOMPARE(e.doc().status(), document::DocumentStatus::Saved);
}

void MainWindowTest::doubleClickShowsDescriptionOnlyForElements() {
    Editor e;
    e.showAndActivate();
    document::PlaceBlock(e.doc(), document::BlockKind::Tmr, 0, 3);
    QTest::mouseDClick(e.grid().viewport(), Qt::LeftButton, Qt::NoModifier,
                       e.grid().cellRect(0, 3).center());
    QVERIFY(!e.window->descriptionWindow().isVisible());

    document::PlaceContact(e.doc(), 1, 2, 1);
    QTest::mouseDClick(e.grid().viewport(), Qt::LeftButton, Qt::NoModifier,
                       e.grid().cellRect(2, 1).center());
    QVERIFY(e.window->descriptionWindow().isVisible());
    QCOMPARE(e.window->descriptionWindow().row(), 2);
    QCOMPARE(e.window->descriptionWindow().col(), 1);
}

void MainWindowTest::gridLinesToggleWithMenuCheck() {
    Editor e;
    e.button("SpeedButton8")->click();
    QCOMPARE(e.grid().gridLineWidth(), 0);
    QVERIFY(!e.find<QAction>("Siatka1")->isChecked());
    e.trigger("Siatka1");
    QCOMPARE(e.grid().gridLineWidth(), 1);
    QVERIFY(e.find<QAction>("Siatka1")->isChecked());
}

void MainWindowTest::hideAllAndShowKeepElementToolbarsHidden() {
    Editor e;
    e.trigger("Panel21");  // Panel5 shown as well
    QVERIFY(!e.find<QFrame>("Panel5")->isHidden());
    e.trigger("Ukryjwszystko1");
    for (const char* strip : {"Panel1", "Panel3", "Panel4", "Panel5", "Panel6", "Panel7"}) {
        QVERIFY2(e.find<QFrame>(strip)->isHidden(), strip);
    }
    QVERIFY(e.window->statusBar()->isHidden());
    for (const char* item : {"Panel11", "Panel21", "Panel31", "Panel41"}) {
        QVERIFY2(!e.find<QAction>(item)->isEnabled(), item);
        QVERIFY2(!e.find<QAction>(item)->isChecked(), item);
    }
    QVERIFY(!e.find<QAction>("Ukryjwszystko1")->isEnabled());
    QVERIFY(e.find<QAction>("Odkryj1")->isEnabled());

    e.trigger("Odkryj1");
    QVERIFY(!e.find<QFrame>("Panel1")->isHidden());
    QVERIFY(!e.find<QFrame>("Panel7")->isHidden());
    QVERIFY(!e.window->statusBar()->isHidden());
    for (const char* strip : {"Panel3", "Panel4", "Panel5", "Panel6"}) {
        QVERIFY2(e.find<QFrame>(strip)->isHidden(), strip);
    }
    for (const char* item : {"Panel11", "Panel21", "Panel31", "Panel41"}) {
        QVERIFY2(e.find<QAction>(item)->isEnabled(), item);
        QVERIFY2(!e.find<QAction>(item)->isChecked(), item);
    }
    QVERIFY(!e.find<QAction>("Odkryj1")->isEnabled());
}

void MainWindowTest::fullScreenAlsoHidesParametersWindow() {
    Editor e;
    e.showAndActivate();
    e.button("SpeedButton9")->click();
    QVERIFY(e.window->parametersWindow().isVisible());
    QVERIFY(e.find<QAction>("Panel51")->isChecked());
    QVERIFY(!e.button("SpeedButton9")->isEnabled());
    e.button("SpeedButton10")->click();
    QVERIFY(!e.window->parametersWindow().isVisible());
    QVERIFY(e.find<QFrame>("Panel1")->isHidden());
    QVERIFY(!e.find<QAction>("Panel51")->isChecked());
    QVERIFY(e.button("SpeedButton9")->isEnabled());
    // The menu item toggles the window.
    e.trigger("Panel51");
    QVERIFY(e.window->parametersWindow().isVisible());
    e.trigger("Panel51");
    QVERIFY(!e.window->parametersWindow().isVisible());
}

void MainWindowTest::toolbarSwitchesAreEnabledOnlyWhileTheirToolbarIsHidden() {
    Editor e;
    // SpeedButton109/111/112/113 show Panel6/5/3/4 and check menu items Panel1..4.
    const std::array<std::array<const char*, 3>, 4> switches = {{
        {"SpeedButton109", "Panel6", "Panel11"},
        {"SpeedButton111", "Panel5", "Panel21"},
        {"SpeedButton112", "Panel3", "Panel31"},
        {"SpeedButton113", "Panel4", "Panel41"},
    }};
    QVERIFY(!e.button(switches[0][0])->isEnabled());
    for (const auto& [button, panel, item] : switches) {
        if (!e.find<QFrame>(panel)->isHidden()) {
            continue;
        }
        QVERIFY2(e.button(button)->isEnabled(), button);
        e.button(button)->click();
        QVERIFY2(!e.find<QFrame>(panel)->isHidden(), panel);
        QVERIFY2(e.find<QAction>(item)->isChecked(), item);
        QVERIFY2(!e.button(button)->isEnabled(), button);
    }
    // A toolbar's close button hides it again and clears its menu check.
    e.button("SpeedButton59")->click();
    QVERIFY(e.find<QFrame>("Panel5")->isHidden());
    QVERIFY(!e.find<QAction>("Panel21")->isChecked());
    QVERIFY(e.button("SpeedButton111")->isEnabled());
}

void MainWindowTest::statusTipGoesToHintPanel() {
    Editor e;
    QToolButton* button = e.button("SpeedButton53");
    QStatusTipEvent tip(button->statusTip());
    QApplication::sendEvent(button, &tip);
    QCOMPARE(e.window->statusPanelText(3),
             QStringLiteral("Wstawia w miejscu kursora styk otwarty"));
    QCOMPARE(e.window->statusPanelText(0), QStringLiteral("w1  k1"));
}

void MainWindowTest::statusPanelsFollowCursorAndSelection() {
    Editor e;
    e.showAndActivate();
    e.grid().setCursorCell(2, 4);
    e.grid().setFocus();
    QTest::keyClick(&e.grid(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&e.grid(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&e.grid(), Qt::Key_Down, Qt::ShiftModifier);
    QCoreApplication::processEvents();
    QCOMPARE(e.window->statusPanelText(1), QStringLiteral("sz: 2 wy:3"));
    // The cursor went along with the keys.
    QCOMPARE(e.window->statusPanelText(0), QStringLiteral("w5  k6"));
    e.grid().setCursorCell(4, 7);
    QCOMPARE(e.window->statusPanelText(0), QStringLiteral("w5  k8"));
    QCOMPARE(e.window->statusPanelText(1), QStringLiteral("sz: 1 wy:1"));
}

void MainWindowTest::insertAndDeleteRowFollowTheDocument() {
    Editor e;
    document::PlaceBlock(e.doc(), document::BlockKind::Add, 2, 3);
    e.doc().setStatus(document::DocumentStatus::Saved);
    e.grid().setCursorCell(3, 0);  // inside the block: refused
    e.button("SpeedButton4")->click();
    QCOMPARE(e.doc().rowCount(), 10);
    QCOMPARE(e.grid().rowCount(), 10);
    QCOMPARE(e.doc().status(), document::DocumentStatus::Saved);

    e.grid().setCursorCell(2, 0);
    e.button("SpeedButton4")->click();
    QCOMPARE(e.doc().rowCount(), 11);
    QCOMPARE(e.grid().rowCount(), 11);
    QCOMPARE(e.doc().CellCode(3, 3), 421);
    QCOMPARE(e.grid().Row(), 2);
    QCOMPARE(e.doc().status(), document::DocumentStatus::Modified);

    // Deleting the inserted row (the cursor stayed on it) moves the block back up.
    e.trigger("Usunwiersz1");
    QCOMPARE(e.doc().rowCount(), 10);
    QCOMPARE(e.grid().rowCount(), 10);
    QCOMPARE(e.doc().CellCode(2, 3), 421);
}

void MainWindowTest::cutAndPasteMarkModifiedAndKeepCursor() {
    Editor e;
    document::PlaceContact(e.doc(), 1, 0, 0);
    e.doc().setStatus(document::DocumentStatus::Saved);
    e.grid().setCursorCell(0, 0);
    e.trigger("Kopiuj1");
    QCOMPARE(e.doc().status(), document::DocumentStatus::Saved);
    e.grid().setCursorCell(4, 5);
    e.button("SpeedButton90")->click();
    QCOMPARE(e.doc().CellCode(4, 5), 1);
    QCOMPARE(e.grid().Row(), 4);
    QCOMPARE(e.grid().Col(), 5);
    QCOMPARE(e.doc().status(), document::DocumentStatus::Modified);
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zmieniony"));

    e.doc().setStatus(document::DocumentStatus::Saved);
    e.trigger("Wytnij1");
    QCOMPARE(e.doc().CellCode(4, 5), 0);
    QCOMPARE(e.doc().status(), document::DocumentStatus::Modified);
}

void MainWindowTest::helpShowsTheShippedPolishPage() {
    Editor e;
    e.button("SpeedButton13")->click();
    HelpWindow& help = e.window->helpWindow();
    QVERIFY(help.isVisible());
    // The page comes from the program's own resources, whatever the working directory.
    for (const char* section : {"Rysowanie schematu", "Wpisywanie operandów",
                                "Sprawdzanie programu", "Lista instrukcji", "Symulacja"}) {
        QVERIFY2(help.pageText().contains(QString::fromUtf8(section)), section);
    }
}

void MainWindowTest::mainToolbarButtonsStandInOrderWithTheirHints() {
    struct Expected {
        const char* name;
        const char* tooltip;
        const char* statusText;
        bool enabled;  // right after start-up
    };
    // Left to right; the toolbar switches are off while their toolbar shows (only Panel6 does).
    const Expected expected[] = {
        {"SpeedButton1", "Nowy", "Usuwa zawartość aktualnego dokumentu i tworzy nowy", true},
        {"SpeedButton2", "Otwórz", "Ładuje program z dysku", true},
        {"SpeedButton3", "Zapisz", "Zapisuje program na dysk", true},
        {"SpeedButton5", "Wytnij", "Usuwa zaznaczony fragment programu i ładuje go do bufora",
         true},
        {"SpeedButton89", "Kopiuj", "Kopiuje zaznaczony fragment programu do bufora", true},
        {"SpeedButton90", "Wstaw",
         "Wstawia zawartość bufora w miejsce w którym znajduje się kursor ", true},
        {"SpeedButton4", "Wstaw wiersz", "Wstaw wiersz", true},
        {"SpeedButton7", "Usuń wiersz", "Usuń wiersz", true},
        {"SpeedButton11", "Sprawdź program", "Sprawdź poprawność programu", true},
        {"SpeedButton14", "Lista instrukcji",
         "Sprawdza poprawność programu i wyświetla go w postaci listy instrukcji", true},
        {"SpeedButton15", "Uruchom symulator", "Sprawdza poprawność programu i uruchamia symulator",
         true},
        {"SpeedButton6", "Połączenie DDE",
         "Umożliwia współpracę programu Wirtualon! z innymi programami przez łącze DDE", true},
        {"SpeedButton8", "Siatka", "Włącza i wyłącza siatkę", true},
        {"SpeedButton10", "Pełny ekran", "Usuwa z ekranu wszystkie paski narzędziowe", true},
        {"SpeedButton109", "Panel1",
         "Włącza pasek1 zawierający: styki, przekaźniki, timery i liczniki", false},
        {"SpeedButton111", "Panel2", "Operacje bitowe i tablicowe", true},
        {"SpeedButton112", "Panel3", "Funkcje sterujące i operacje na danych", true},
        {"SpeedButton113", "Panel4", "Funkcje i relacje matematyczne, funkcje konwersji", true},
        {"SpeedButton9", "Typy danych",
         "Wyświetla okno umożliwiające zmianę parametrów bloków funkcyjnych", true},
        {"SpeedButton12", "O programie", " Wyświetla okno z informacjami o programie Wirtualon!",
         true},
        {"SpeedButton13", "Pomoc ", " Uruchamia pomoc programu Wirtualon!", true},
        {"SpeedButton16", "", "", true},
    };
    Editor e;
    QLayout* layout = e.find<QFrame>("Panel1")->layout();
    int previous = -1;
    for (const Expected& item : expected) {
        QToolButton* button = e.button(item.name);
        QVERIFY2(button, item.name);
        QCOMPARE(button->parentWidget()->objectName(), QStringLiteral("Panel1"));
        QCOMPARE(button->toolTip(), QString::fromUtf8(item.tooltip));
        QCOMPARE(button->statusTip(), QString::fromUtf8(item.statusText));
        QCOMPARE(button->isEnabled(), item.enabled);
        QCOMPARE(button->size(), QSize(23, 23));
        QVERIFY(button->autoRaise());
        QVERIFY(!button->icon().isNull());
        const int index = layout->indexOf(button);
        QVERIFY2(index > previous, item.name);
        previous = index;
    }
    QCOMPARE(e.find<QFrame>("Panel1")->findChildren<QToolButton*>().size(),
             qsizetype(std::size(expected)));
}

void MainWindowTest::elementToolbarButtonsStandInTheirGroups_data() {
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QStringList>("buttons");
    const auto names = [](std::initializer_list<int> numbers) {
        QStringList list;
        for (int number : numbers) {
            list << QStringLiteral("SpeedButton%1").arg(number);
        }
        return list;
    };
    // Contacts, wires, coils, then timers and counters.
    QTest::newRow("Panel6") << QStringLiteral("Panel6")
                            << names({53,  54, 119, 55,  56,  57,  58,  84,  114, 115, 118,
                                      117, 85, 116, 100, 101, 102, 103, 104, 105, 106, 107});
    QTest::newRow("Panel5") << QStringLiteral("Panel5")
                            << names({26, 27, 28, 29, 30, 31, 32, 33, 91, 92, 93, 94, 98, 99});
    QTest::newRow("Panel3") << QStringLiteral("Panel3")
                            << names({34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48,
                                      49, 50, 51, 52});
    // The data blocks first, then the control functions.
    QTest::newRow("Panel4") << QStringLiteral("Panel4")
                            << names({78, 79, 80, 81, 82, 67, 74, 75, 76, 77});
}

void MainWindowTest::elementToolbarButtonsStandInTheirGroups() {
    QFETCH(QString, panel);
    QFETCH(QStringList, buttons);
    Editor e;
    auto* strip = e.window->findChild<QFrame*>(panel);
    QVERIFY(strip);
    QStringList shown;
    for (int i = 0; i < strip->layout()->count(); ++i) {
        if (auto* button = qobject_cast<QToolButton*>(strip->layout()->itemAt(i)->widget())) {
            shown << button->objectName();
        }
    }
    // The close button stands first, at the toolbar's left end.
    QVERIFY(!shown.isEmpty());
    shown.removeFirst();
    QCOMPARE(shown, buttons);
}

void MainWindowTest::menusHoldTheirItemsAndSeparators() {
    Editor e;
    QStringList menus;
    for (QAction* menuAction : e.window->menuBar()->actions()) {
        QString line = menuAction->text() + QLatin1Char(':');
        for (QAction* item : menuAction->menu()->actions()) {
            line += QLatin1Char(' ') + (item->isSeparator() ? QStringLiteral("-") : item->text());
            const QList<QKeySequence> keys = item->shortcuts();
            for (const QKeySequence& key : keys) {
                line += QLatin1Char('[') + key.toString() + QLatin1Char(']');
            }
        }
        menus << line;
    }
    // The items of the original menus keep their places; the new ones follow them.
    const QStringList expected = {
        QString::fromUtf8("Plik: Nowy[Ctrl+N] - Otwórz[Ctrl+O] Zapisz[Ctrl+S] - Koniec - "
                          "Zapisz jako...[Ctrl+Shift+S] - Drukuj...[Ctrl+P] Eksportuj do PDF... "
                          "Eksportuj obraz..."),
        QString::fromUtf8("Edycja: Kopiuj[Ctrl+C] Wytnij[Ctrl+X] Wstaw[Ctrl+V] - Wstaw wiersz "
                          "Usuń wiersz - Cofnij[Ctrl+Z] Ponów[Ctrl+Y][Ctrl+Shift+Z] - "
                          "Usuń element[Del]"),
        QString::fromUtf8("Widok: Panel1 Panel2 Panel3 Panel4 Okno Parametry - Ukryj wszystko "
                          "Odkryj - Siatka"),
        QString::fromUtf8("Program: Testuj program[F7] Lista instrukcji[F8] Uruchom "
                          "Symulator[F9] - DDE[Shift+F9] - Odsyłacze[Ctrl+F]"),
        QString::fromUtf8("Pomoc: Info Pomoc[F1] - Przykłady"),
    };
    QCOMPARE(menus, expected);
    for (const char* name : {"New1", "Open1", "Save1", "Quit1", "Panel51"}) {
        QVERIFY2(e.find<QAction>(name), name);
    }
}

void MainWindowTest::everyCommandOfTheTableHasItsItemAndButton() {
    Editor e;
    QList<QAction*> items;  // every menu's items in order, separators left out
    std::vector<std::pair<QMenu*, QList<QAction*>>> menus;
    for (QAction* menuAction : e.window->menuBar()->actions()) {
        QList<QAction*> own;
        for (QAction* item : menuAction->menu()->actions()) {
            if (!item->isSeparator()) {
                own << item;
            }
        }
        menus.emplace_back(menuAction->menu(), own);
        items << own;
    }
    QList<QToolButton*> buttons;
    QLayout* strip = e.find<QFrame>("Panel1")->layout();
    for (int i = 0; i < strip->count(); ++i) {
        if (auto* button = qobject_cast<QToolButton*>(strip->itemAt(i)->widget())) {
            buttons << button;
        }
    }

    qsizetype itemRows = 0;
    qsizetype buttonRows = 0;
    for (const MainCommand& command : mainCommands()) {
        const QString name =
            qs(command.objectName.empty() ? command.toolbar.button : command.objectName);
        if (!command.objectName.empty()) {
            ++itemRows;
            auto* item = e.find<QAction>(std::string(command.objectName).c_str());
            QVERIFY2(item, qPrintable(name));
            QCOMPARE(item->text(), qs(command.text));
            QCOMPARE(item->shortcuts(), command.keys);
            QCOMPARE(item->isCheckable(), command.check != CommandCheck::None);
            const auto menu = std::find_if(menus.begin(), menus.end(),
                                           [&](const auto& m) { return m.second.contains(item); });
            QVERIFY2(menu != menus.end(), qPrintable(name));
            const auto entry =
                std::find_if(mainMenus().begin(), mainMenus().end(),
                             [&](const MainMenuEntry& m) { return m.menu == command.menu.menu; });
            QVERIFY2(entry != mainMenus().end(), qPrintable(name));
            QCOMPARE(menu->first->objectName(), qs(entry->objectName));
            QCOMPARE(menu->second.indexOf(item), command.menu.position);
            const QList<QAction*> all = menu->first->actions();
            const qsizetype at = all.indexOf(item);
            QCOMPARE(at > 0 && all.at(at - 1)->isSeparator(), command.menu.separatorBefore);
        } else {
            QCOMPARE(command.menu.menu, MainMenu::None);
        }
        if (!command.toolbar.button.empty()) {
            ++buttonRows;
            QToolButton* button = e.button(command.toolbar.button);
            QVERIFY2(button, qPrintable(name));
            QCOMPARE(buttons.indexOf(button), command.toolbar.position);
            QCOMPARE(button->toolTip(), qs(document::hintTooltip(command.toolbar.hint)));
        }
        // Every command is reached from somewhere and does something.
        QVERIFY2(!command.objectName.empty() || !command.toolbar.button.empty(), qPrintable(name));
        QVERIFY2(command.handler != nullptr || command.elementToolbar >= 0, qPrintable(name));
    }
    // Nothing in the menus or on the toolbar comes from outside the table.
    QCOMPARE(items.size(), itemRows);
    QCOMPARE(buttons.size(), buttonRows);
}

void MainWindowTest::statusBarPanelsHaveTheirWidths() {
    Editor e;
    const std::array<int, 3> widths = {78, 77, 79};
    for (std::size_t i = 0; i < widths.size(); ++i) {
        auto* label = e.window->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i));
        QVERIFY(label);
        QCOMPARE(label->width(), widths[i]);
        QCOMPARE(label->alignment(), Qt::AlignCenter);
    }
    auto* hint = e.find<QLabel>("StatusPanel3");
    QVERIFY(hint->alignment().testFlag(Qt::AlignLeft));
    QCOMPARE(hint->minimumWidth(), 50);
    QCOMPARE(e.find<QStatusBar>("StatusBar1")->height(), 20);
}

void MainWindowTest::helpClosesWithEscapeAndItsButtonAndListsTheShortcuts() {
    Editor e;
    HelpWindow& help = e.window->helpWindow();
    e.trigger("Pomoc2");
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    for (const char* key : {"Ctrl+Z", "Ctrl+Y", "Ctrl+F", "F7", "F9", "Delete", "Ctrl+Home"}) {
        QVERIFY2(help.pageText().contains(QString::fromLatin1(key)), key);
    }
    help.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&help));
    QTest::keyClick(&help, Qt::Key_Escape);
    QVERIFY(!help.isVisible());
    e.trigger("Pomoc2");
    help.findChild<QPushButton*>(QStringLiteral("CloseButton"))->click();
    QVERIFY(!help.isVisible());
}

void MainWindowTest::aboutBoxIsTallEnoughForAllItsText() {
    Editor e;
    AboutBox& about = e.window->aboutBox();
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    for (QLabel* label : about.findChildren<QLabel*>()) {
        const int needed =
            label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        QVERIFY2(label->height() >= needed, qPrintable(label->text()));
        QVERIFY(about.rect().contains(label->geometry()));
    }
    about.hide();
}

void MainWindowTest::qtsOwnButtonsSpeakPolish() {
    QVERIFY(ui::installQtTranslations(*QCoreApplication::instance()));
    QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
    const auto caption = [&box](QDialogButtonBox::StandardButton which) {
        return box.button(which)->text().remove(QLatin1Char('&'));
    };
    QCOMPARE(caption(QDialogButtonBox::Yes), QStringLiteral("Tak"));
    QCOMPARE(caption(QDialogButtonBox::No), QStringLiteral("Nie"));
    QCOMPARE(caption(QDialogButtonBox::Cancel), QStringLiteral("Anuluj"));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
