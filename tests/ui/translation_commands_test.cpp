// Checking and listing from the main window: the progress window, the error report at its cell,
// "Program poprawny", and the listing window's two views.
#include "tests/ui/editor_fixture.h"

#include "document/editing.h"
#include "translator/node_analysis.h"
#include "translator/translation_driver.h"
#include "ui/description_window.h"
#include "ui/ladder_grid.h"
#include "ui/listing_window.h"
#include "ui/main_window.h"
#include "ui/parameters_window.h"
#include "ui/translation_progress_window.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

struct Editor : EditorFixture {
    /// One rung: %I0001 -| |- ... -( )- %Q0001.
    void drawSoundRung(int row) {
        document::PlaceContact(doc(), 1, row, 0);
        doc().SetCellText(row, 0, "#A%I0001#");
        document::PlaceCoil(doc(), 3, row, 1);
        doc().SetCellText(row, 9, "#A%Q0001#");
        grid().setRowCount(doc().rowCount());
    }
    QPlainTextEdit* memo(const char* name) {
        return window->listingWindow().findChild<QPlainTextEdit*>(QString::fromLatin1(name));
    }
};

QString joined(const std::vector<std::string>& lines) {
    return QString::fromStdString(translator::joinLines(lines));
}

}  // namespace

class TranslationCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void errorReportMovesCursorToTheCell();
    void soundProgramIsReportedAndListingsFilledButNotShown();
    void listingWindowShowsExactlyTheListingTexts();
    void listingViewsHoldTheirHeadersAndNumberedWords();
    void translationHidesToolWindows();
    void analysisIsShownWithoutModalityAndOkOnlyCloses();
};

void TranslationCommandsTest::errorReportMovesCursorToTheCell() {
    Editor e;
    // Two contacts without operands: column order wins, so the one in column 2 is reported.
    document::PlaceContact(e.doc(), 1, 6, 1);
    document::PlaceContact(e.doc(), 1, 0, 2);
    e.window->grid().setRowCount(e.doc().rowCount());
    const auto before = e.doc().CellText(6, 1);
    e.click("SpeedButton11");

    QCOMPARE(e.prompts->messages.size(), std::size_t{1});
    const auto& report = e.prompts->messages[0];
    QCOMPARE(report.title, QStringLiteral("Translator"));
    QCOMPARE(report.icon, QMessageBox::Critical);
    QCOMPARE(report.text, QString::fromUtf8("Błąd 4 (w7k2): Brak opisu elementu"));
    QCOMPARE(e.window->grid().Row(), 6);
    QCOMPARE(e.window->grid().Col(), 1);
    QVERIFY(!e.window->progressWindow().isVisible());
    QVERIFY(e.window->programStore().words().empty());
    QCOMPARE(e.doc().CellText(6, 1), before);
    // The same report comes from the listing command, which then shows no listing.
    e.window->grid().setCursorCell(0, 0);
    e.trigger("Listainstrukcji1");
    QCOMPARE(e.prompts->messages.size(), std::size_t{2});
    QVERIFY(e.prompts->modals.empty());
    QCOMPARE(e.window->grid().Row(), 6);
}

void TranslationCommandsTest::soundProgramIsReportedAndListingsFilledButNotShown() {
    Editor e;
    e.drawSoundRung(0);
    // The editor, unlike the core and the command-line tool, writes the trace file.
    QTemporaryDir folder;
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.path()));
    e.trigger("Testujprogram1");
    QVERIFY(QDir::setCurrent(saved));
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("EMU.txt"))));
    QCOMPARE(e.prompts->messages.size(), std::size_t{1});
    QCOMPARE(e.prompts->messages[0].title, QStringLiteral("Translator"));
    QCOMPARE(e.prompts->messages[0].text, QStringLiteral("Program poprawny"));
    QCOMPARE(e.prompts->messages[0].icon, QMessageBox::Information);
    QVERIFY(e.prompts->modals.empty());
    QVERIFY(!e.window->listingWindow().isVisible());
    QVERIFY(!e.window->progressWindow().isVisible());
    QVERIFY(e.window->listingWindow().instructionListText().contains(QStringLiteral("%I0001")));
    // The check frees the program store.
    QVERIFY(e.window->programStore().words().empty());
}

void TranslationCommandsTest::listingWindowShowsExactlyTheListingTexts() {
    Editor e;
    e.drawSoundRung(0);
    e.drawSoundRung(1);
    e.doc().SetCellText(1, 0, "#A%M0012#");
    const translator::TranslationResult expected =
        translator::translateDocument(e.doc(), translator::TranslationOptions{{}});
    QVERIFY(expected.ok());

    bool checkedWhileOpen = false;
    e.prompts->whileModal = [&](QDialog& dialog) {
        checkedWhileOpen = true;
        QCOMPARE(dialog.objectName(), QStringLiteral("TForm5"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Translator"));
        QPlainTextEdit* memo1 = e.memo("Memo1");
        QPlainTextEdit* memo2 = e.memo("Memo2");
        QVERIFY(memo1->isVisible());
        QVERIFY(!memo2->isVisible());
        QVERIFY(memo1->isReadOnly());
        QCOMPARE(memo1->toPlainText(), joined(expected.instructionList));
        QCOMPARE(memo2->toPlainText(), joined(expected.programListing));
        QVERIFY(!e.window->programStore().words().empty());

        auto* other = dialog.findChild<QPushButton*>(QStringLiteral("Button2"));
        QCOMPARE(other->text(), QString::fromUtf8("Inna postać"));
        other->click();
        QVERIFY(!memo1->isVisible());
        QVERIFY(memo2->isVisible());
        other->click();
        QVERIFY(memo1->isVisible());
        QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("Button3"))->isEnabled());
        other->click();  // leave the second view up: the next showing starts from the first
        dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    };
    e.click("SpeedButton14");
    QVERIFY(checkedWhileOpen);
    QCOMPARE(e.prompts->modals, std::vector<QString>{QStringLiteral("TForm5")});
    QVERIFY(e.prompts->messages.empty());
    QVERIFY(e.window->programStore().words().empty());

    e.prompts->whileModal = [&](QDialog&) {
        QVERIFY(e.memo("Memo1")->isVisible());
        QVERIFY(!e.memo("Memo2")->isVisible());
    };
    e.trigger("Listainstrukcji1");
    QCOMPARE(e.prompts->modals.size(), std::size_t{2});
}

void TranslationCommandsTest::listingViewsHoldTheirHeadersAndNumberedWords() {
    Editor e;
    e.drawSoundRung(0);
    e.trigger("Testujprogram1");
    const QString rule(35, QLatin1Char('-'));
    const QString list = e.memo("Memo1")->toPlainText();
    QVERIFY2(list.startsWith(QString::fromUtf8("  POSTAĆ PROGRAMU\n  W FORMACIE LISTY\n     "
                                               "INSTRUKCJI\n\n") +
                             rule + QLatin1Char('\n')),
             qPrintable(list));
    QVERIFY(list.contains(QStringLiteral("%I0001")));
    QVERIFY(list.contains(QStringLiteral("%Q0001")));
    // One rung: LOAD %I0001, the coil %Q0001 and the end word, three blanks before each index
    // and two after its colon, no padding to a column.
    const QString expected = QString::fromUtf8(
                                 " POSTAĆ PROGRAMU\n  W FORMACIE DLA\n   "
                                 "INTERPRETERA\n\n") +
                             rule +
                             QStringLiteral(
                                 "\n   0:  -1\n   1:  -10\n   2:  0\n   3:  0\n"
                                 "   4:  -7\n   5:  3\n   6:  -11\n   7:  0\n"
                                 "   8:  0\n   9:  -255\n") +
                             rule + QStringLiteral("\n\n");
    QCOMPARE(e.memo("Memo2")->toPlainText(), expected);
}

void TranslationCommandsTest::translationHidesToolWindows() {
    Editor e;
    e.window->show();
    e.drawSoundRung(0);
    e.click("SpeedButton9");
    e.window->descriptionWindow().show();
    QVERIFY(e.window->parametersWindow().isVisible());
    e.click("SpeedButton11");
    QVERIFY(!e.window->parametersWindow().isVisible());
    QVERIFY(!e.window->descriptionWindow().isVisible());
    QVERIFY(e.window->findChild<QToolButton*>(QStringLiteral("SpeedButton9"))->isEnabled());
}

void TranslationCommandsTest::analysisIsShownWithoutModalityAndOkOnlyCloses() {
    Editor e;
    e.drawSoundRung(0);
    const translator::NodeAnalysisResult expected =
        translator::AnalyseNodesAndSegments(e.doc(), translator::TranslationOptions{{}});
    ListingWindow& listing = e.window->listingWindow();
    auto* start = listing.findChild<QPushButton*>(QStringLiteral("Button3"));
    // As if a simulator were there to start: the analysis must still keep it from starting.
    start->setEnabled(true);

    // Like a translation, the analysis's rung search writes the editor's trace file.
    QTemporaryDir folder;
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.path()));
    e.click("SpeedButton16");
    QVERIFY(QDir::setCurrent(saved));
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("EMU.txt"))));
    QVERIFY(listing.isVisible());
    QVERIFY(!listing.isModal());
    QVERIFY(e.prompts->modals.empty());
    QVERIFY(listing.showsAnalysis());
    QVERIFY(!start->isEnabled());
    QCOMPARE(e.memo("Memo1")->toPlainText(), joined(expected.firstView));
    QCOMPARE(e.memo("Memo2")->toPlainText(), joined(expected.secondView));
    QVERIFY(e.memo("Memo1")->toPlainText().contains(QString::fromUtf8(" - Postać sformatowana -")));

    // Run again while open on the second view: the trace comes back to the front.
    listing.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
    e.click("SpeedButton16");
    QVERIFY(e.memo("Memo1")->isVisible());
    QVERIFY(!e.memo("Memo2")->isVisible());

    listing.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    QVERIFY(!listing.isVisible());
    QCOMPARE(listing.result(), 0);
    QVERIFY(e.window->programStore().words().empty());

    // The next listing ends the analysis and gives "START!" back its state.
    bool listed = false;
    e.prompts->whileModal = [&](QDialog&) {
        listed = true;
        QVERIFY(!listing.showsAnalysis());
        QVERIFY(start->isEnabled());
        QVERIFY(e.memo("Memo1")->toPlainText().contains(QStringLiteral("INSTRUKCJI")));
    };
    e.click("SpeedButton16");
    e.click("SpeedButton14");
    QVERIFY(listed);
}

QTEST_MAIN(TranslationCommandsTest)
#include "translation_commands_test.moc"
