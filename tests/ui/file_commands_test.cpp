// File commands of the main window: open, save, new and quit with their dialogs and questions,
// in both forms of a ladder.
#include "tests/ui/editor_fixture.h"

#include "document/editing.h"
#include "document/ladder_text.h"
#include "document/program_file.h"
#include "ui/examples_folder.h"
#include "ui/ladder_file_dialogs.h"
#include "ui/ladder_grid.h"
#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace {

const QString kSaveQuestion = QString::fromUtf8("Czy chcesz zapisać obecny program?");
const QString kQuitQuestion = QString::fromUtf8("Czy na pewno chcesz wyjść z programu?");
const QString kProgramFilter = QStringLiteral("Drabina (*.jar)");
const QString kTextFilter = QString::fromUtf8("Drabina w tekście (*.lad.txt)");
const QString kBothFormsFilter = QStringLiteral("Drabiny (*.jar *.lad.txt)");
const QString kExamples = QStringLiteral(WIRTUALON_TEST_SOURCE_DIR "/../examples/");

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

/// Picks `filter` in the dialog's file type list as the user does.
void chooseFilter(QFileDialog& dialog, const QString& filter) {
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types != nullptr);
    const int index = types->findText(filter);
    QVERIFY(index >= 0);
    types->setCurrentIndex(index);
    emit types->activated(index);
    emit types->textActivated(filter);
}

struct Editor : EditorFixture {
    QTemporaryDir dir;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    /// Draws one contact with an operand and leaves the document Modified.
    void draw() {
        document::PlaceContact(doc(), 1, 0, 0);
        doc().SetCellText(0, 0, "#A%I0001#");
        doc().setStatus(document::DocumentStatus::Modified);
    }
    /// Returns true when a close request was accepted.
    bool closeAccepted() {
        QCloseEvent event;
        QApplication::sendEvent(window.get(), &event);
        return event.isAccepted();
    }
};

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void saveWritesFilesAndShowsNameInCaption();
    void failedSaveReportsAndKeepsCaptionAndStatus();
    void openLoadsAndMovesCursorHome();
    void cancelledOpenChangesNothing();
    void failedOpenReportsAndKeepsDocument();
    void eachFormSavesAsTheToolConvertsIt_data();
    void eachFormSavesAsTheToolConvertsIt();
    void saveKeepsTheFormTheProgramCameIn();
    void brokenTextIsRefusedWithItsLineAndChangesNothing();
    void saveDialogNameFollowsTheChosenForm_data();
    void saveDialogNameFollowsTheChosenForm();
    void openWithUnsavedChangesAsksFirst();
    void toolbarNewAlwaysAsks_data();
    void toolbarNewAlwaysAsks();
    void menuNewAsksOnlyWithUnsavedChanges();
    void closeWithoutChangesAsksOnlyQuitQuestion();
    void closeWithChangesAsksSaveQuestion_data();
    void closeWithChangesAsksSaveQuestion();
    void quitMenuStaysOpenWhenSaveIsCancelled();
    void examplesOpenInTheOpenDialogStartingInTheirFolder();
    void examplesFolderIsFoundBesideOrAboveTheEditor_data();
    void examplesFolderIsFoundBesideOrAboveTheEditor();
};

void FileCommandsTest::saveWritesFilesAndShowsNameInCaption() {
    Editor e;
    e.draw();
    // A name without extension gets the program file's one.
    e.prompts->fileNames = {e.path("prog")};
    e.click("SpeedButton3");
    QCOMPARE(e.prompts->fileDialogs, std::vector<QString>{QStringLiteral("SaveDialog1")});
    QVERIFY(QFile::exists(e.path("prog.jar")));
    QVERIFY(QFile::exists(e.path("prog.jar.str")));
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - ") + e.path("prog.jar"));
    QCOMPARE(e.doc().status(), document::DocumentStatus::Saved);
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zapisany"));
    QVERIFY(e.prompts->messages.empty());

    // A program with a name is saved under it without the dialog; the menu's save also shows
    // the true status word.
    document::PlaceContact(e.doc(), 2, 1, 1);
    e.doc().setStatus(document::DocumentStatus::Modified);
    e.trigger("Save1");
    QCOMPARE(e.prompts->fileDialogs.size(), std::size_t{1});
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zapisany"));
    document::LadderDocument reloaded;
    QVERIFY(document::LoadProgram(reloaded, e.path("prog.jar").toStdString()) ==
            document::FileResult::Success);
    QCOMPARE(reloaded.CellCode(1, 1), 2);

    // "Zapisz jako..." always asks for the name.
    e.prompts->fileNames = {e.path("second.jar")};
    e.trigger("SaveAs1");
    QCOMPARE(e.prompts->fileDialogs.size(), std::size_t{2});
    QVERIFY(QFile::exists(e.path("second.jar")));
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - ") + e.path("second.jar"));
}

void FileCommandsTest::failedSaveReportsAndKeepsCaptionAndStatus() {
    Editor e;
    e.draw();
    e.prompts->fileNames = {e.path("missing-folder/prog.jar")};
    e.click("SpeedButton3");
    QCOMPARE(e.prompts->messages.size(), std::size_t{1});
    QCOMPARE(e.prompts->messages[0].title, QStringLiteral("Wirtualon!"));
    QCOMPARE(e.prompts->messages[0].icon, QMessageBox::Critical);
    QVERIFY(!e.prompts->messages[0].text.isEmpty());
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - Program1"));
    QCOMPARE(e.doc().status(), document::DocumentStatus::Modified);
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zmieniony"));
}

void FileCommandsTest::openLoadsAndMovesCursorHome() {
    Editor e;
    e.draw();
    document::PlaceBlock(e.doc(), document::BlockKind::BlkMv, 10, 4);  // 21 rows
    QVERIFY(document::SaveProgram(e.doc(), e.path("big.jar").toStdString()) ==
            document::FileResult::Success);
    e.doc().NewDocument();
    e.window->grid().setRowCount(10);
    e.window->grid().setCursorCell(5, 5);

    e.prompts->fileNames = {e.path("big.jar")};
    e.trigger("Open1");
    QCOMPARE(e.prompts->fileDialogs, std::vector<QString>{QStringLiteral("OpenDialog1")});
    QCOMPARE(e.doc().rowCount(), 21);
    QCOMPARE(e.window->grid().rowCount(), 21);
    QCOMPARE(e.doc().CellText(0, 0), std::string("#A%I0001#"));
    QCOMPARE(e.window->grid().Row(), 0);
    QCOMPARE(e.window->grid().Col(), 0);
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - ") + e.path("big.jar"));
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("wczytany"));
    QVERIFY(e.prompts->questions.empty());
}

void FileCommandsTest::cancelledOpenChangesNothing() {
    Editor e;
    document::PlaceContact(e.doc(), 1, 3, 3);
    e.doc().setStatus(document::DocumentStatus::Saved);
    e.prompts->fileNames = {QString()};
    e.click("SpeedButton2");
    QCOMPARE(e.doc().CellCode(3, 3), 1);
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - Program1"));
    QVERIFY(e.prompts->messages.empty());
}

void FileCommandsTest::failedOpenReportsAndKeepsDocument() {
    Editor e;
    document::PlaceContact(e.doc(), 1, 3, 3);
    e.doc().setStatus(document::DocumentStatus::Saved);
    QFile junk(e.path("junk.jar"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a ladder program at all, just text");
    junk.close();
    for (const QString& name : {e.path("junk.jar"), e.path("nowhere.jar")}) {
        e.prompts->messages.clear();
        e.prompts->fileNames = {name};
        e.trigger("Open1");
        QCOMPARE(e.prompts->messages.size(), std::size_t{1});
        QCOMPARE(e.prompts->messages[0].title, QStringLiteral("Wirtualon!"));
        QCOMPARE(e.doc().CellCode(3, 3), 1);
        QCOMPARE(e.doc().status(), document::DocumentStatus::Saved);
        QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - Program1"));
        // Named on the command line, the same file is refused the same way, without a dialog.
        e.prompts->messages.clear();
        e.prompts->fileDialogs.clear();
        QVERIFY(!e.window->openProgram(name));
        QCOMPARE(e.prompts->messages.size(), std::size_t{1});
        QVERIFY(e.prompts->fileDialogs.empty());
        QCOMPARE(e.doc().CellCode(3, 3), 1);
    }
}

void FileCommandsTest::eachFormSavesAsTheToolConvertsIt_data() {
    QTest::addColumn<QString>("example");
    const QStringList texts = QDir(kExamples).entryList({QStringLiteral("*.lad.txt")});
    QVERIFY(!texts.isEmpty());
    for (const QString& text : texts) {
        const QString stem = text.chopped(8);
        QTest::newRow(qPrintable(stem)) << kExamples + stem;
    }
}

void FileCommandsTest::eachFormSavesAsTheToolConvertsIt() {
    // Every example's text and pair agree as the command-line tool converts them, so saving the
    // one form opened in the other must give the example's files byte for byte.
    QFETCH(QString, example);
    Editor e;
    const QString text = example + QStringLiteral(".lad.txt");
    const QString program = example + QStringLiteral(".jar");

    e.prompts->fileNames = {text};
    e.trigger("Open1");
    QVERIFY(e.prompts->messages.empty());
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - ") + text);
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("wczytany"));

    // A bare name takes the form of the filter chosen in the dialog.
    e.prompts->whileChoosingFile = [](QFileDialog& dialog) {
        chooseFilter(dialog, kProgramFilter);
    };
    e.prompts->fileNames = {e.path("pair")};
    e.trigger("SaveAs1");
    QVERIFY(e.prompts->messages.empty());
    QCOMPARE(fileBytes(e.path("pair.jar")), fileBytes(program));
    QCOMPARE(fileBytes(e.path("pair.jar.str")), fileBytes(program + QStringLiteral(".str")));
    QVERIFY(!QFile::exists(e.path("pair.lad.txt")));
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - ") + e.path("pair.jar"));
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zapisany"));

    e.prompts->whileChoosingFile = nullptr;
    e.prompts->fileNames = {program};
    e.trigger("Open1");
    e.prompts->whileChoosingFile = [](QFileDialog& dialog) { chooseFilter(dialog, kTextFilter); };
    e.prompts->fileNames = {e.path("back")};
    e.trigger("SaveAs1");
    QVERIFY(e.prompts->messages.empty());
    QCOMPARE(fileBytes(e.path("back.lad.txt")), fileBytes(text));
    QVERIFY(!QFile::exists(e.path("back.jar")));
    QVERIFY(!QFile::exists(e.path("back.lad.txt.str")));
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - ") + e.path("back.lad.txt"));
}

void FileCommandsTest::saveKeepsTheFormTheProgramCameIn() {
    Editor e;
    // Named without its usual ending: the content says it is text, and it stays text.
    const QString text = e.path("start.txt");
    writeFile(text, fileBytes(kExamples + QStringLiteral("start_stop.lad.txt")));
    QVERIFY(e.window->openProgram(text));
    e.grid().setCursorCell(4, 0);
    e.click("SpeedButton53");
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zmieniony"));
    e.trigger("Save1");
    QVERIFY(e.prompts->fileDialogs.empty());
    QVERIFY(e.prompts->messages.empty());
    const QByteArray saved = fileBytes(text);
    QCOMPARE(saved, QByteArray::fromStdString(document::ladderText(e.doc())));
    QVERIFY(saved.contains("w5 k1"));
    QVERIFY(!QFile::exists(text + QStringLiteral(".str")));
    QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zapisany"));

    // "Zapisz jako..." offers the text form again.
    e.prompts->fileNames = {QString()};
    e.trigger("SaveAs1");
    QCOMPARE(e.window->saveDialog().selectedNameFilter(), kTextFilter);

    // Saved as a program file (the name's ending outweighs the filter shown), it stays one.
    e.prompts->fileNames = {e.path("start.jar")};
    e.trigger("SaveAs1");
    QVERIFY(e.prompts->messages.empty());
    QVERIFY(QFile::exists(e.path("start.jar.str")));
    e.grid().setCursorCell(5, 0);
    e.click("SpeedButton53");
    e.click("SpeedButton3");
    QCOMPARE(e.prompts->fileDialogs.size(), std::size_t{2});
    document::LadderDocument reloaded;
    QVERIFY(document::LoadProgram(reloaded, e.path("start.jar").toStdString()) ==
            document::FileResult::Success);
    QCOMPARE(reloaded.CellCode(5, 0), e.doc().CellCode(5, 0));
    QVERIFY(reloaded.CellCode(5, 0) != 0);
    QCOMPARE(fileBytes(text), saved);
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - ") + e.path("start.jar"));
}

void FileCommandsTest::brokenTextIsRefusedWithItsLineAndChangesNothing() {
    Editor e;
    e.grid().setCursorCell(0, 0);
    e.click("SpeedButton53");
    const QString broken = e.path("zly.lad.txt");
    writeFile(broken, "Wirtualon! drabina 1\nwiersze 2\nw1 k1 stykk operand=%I0001\n");
    const std::function<void()> opens[] = {
        [&] {
            e.prompts->fileNames = {broken};
            e.trigger("Open1");
        },
        [&] { QVERIFY(!e.window->openProgram(broken)); },
        [&] { QVERIFY(!e.window->openProgramAsking(broken)); },
    };
    for (const auto& open : opens) {
        e.prompts->messages.clear();
        e.prompts->answers = {QMessageBox::No};
        open();
        QCOMPARE(e.prompts->messages.size(), std::size_t{1});
        QCOMPARE(e.prompts->messages[0].icon, QMessageBox::Critical);
        QVERIFY2(e.prompts->messages[0].text.startsWith(QStringLiteral("Plik ") + broken +
                                                        QStringLiteral(", linia 3: ")),
                 qPrintable(e.prompts->messages[0].text));
        QCOMPARE(e.doc().rowCount(), 10);
        QCOMPARE(e.doc().CellCode(0, 0), 1);
        QCOMPARE(e.window->statusPanelText(2), QStringLiteral("zmieniony"));
        QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - Program1"));
        QCOMPARE(e.window->history().undoCount(), std::size_t{1});
    }
}

void FileCommandsTest::saveDialogNameFollowsTheChosenForm_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("typedFirst");  // typed before the filter was chosen, or after
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<bool>("asText");
    QTest::newRow("program name switched to text")
        << "prog.jar" << true << kTextFilter << "prog.lad.txt" << true;
    QTest::newRow("text name switched to program")
        << "prog.lad.txt" << true << kProgramFilter << "prog.jar" << false;
    QTest::newRow("other name switched to text")
        << "prog.v2" << true << kTextFilter << "prog.lad.txt" << true;
    QTest::newRow("bare name under text")
        << "prog" << false << kTextFilter << "prog.lad.txt" << true;
    QTest::newRow("program ending typed under text")
        << "prog.jar" << false << kTextFilter << "prog.jar" << false;
    QTest::newRow("text ending typed under program")
        << "prog.LAD.TXT" << false << kProgramFilter << "prog.LAD.TXT" << true;
    QTest::newRow("other extension kept under text")
        << "prog.v2" << false << kTextFilter << "prog.v2" << true;
}

void FileCommandsTest::saveDialogNameFollowsTheChosenForm() {
    QFETCH(QString, typed);
    QFETCH(bool, typedFirst);
    QFETCH(QString, filter);
    QFETCH(QString, saved);
    QFETCH(bool, asText);
    Editor e;
    QFileDialog& dialog = e.window->saveDialog();
    dialog.setDirectory(e.dir.path());
    if (typedFirst) {
        dialog.selectFile(typed);
        chooseFilter(dialog, filter);
    } else {
        chooseFilter(dialog, filter);
        dialog.selectFile(typed);
    }
    QCOMPARE(dialog.selectedNameFilter(), filter);
    const QStringList chosen = dialog.selectedFiles();
    QCOMPARE(chosen.size(), qsizetype{1});
    const ui::SaveTarget target = ui::saveTarget(chosen.front(), dialog.selectedNameFilter());
    QCOMPARE(QFileInfo(target.name).fileName(), saved);
    QCOMPARE(target.form == document::LadderForm::Text, asText);
}

void FileCommandsTest::openWithUnsavedChangesAsksFirst() {
    Editor e;
    e.draw();
    e.prompts->answers = {QMessageBox::Cancel};
    e.trigger("Open1");
    QCOMPARE(e.prompts->questions.size(), std::size_t{1});
    QCOMPARE(e.prompts->questions[0].text, kSaveQuestion);
    QVERIFY(e.prompts->fileDialogs.empty());
    QCOMPARE(e.doc().CellCode(0, 0), 1);
}

void FileCommandsTest::toolbarNewAlwaysAsks_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saveConfirmed");
    QTest::addColumn<bool>("cleared");
    QTest::addColumn<int>("fileDialogs");
    QTest::newRow("cancel keeps everything") << int(QMessageBox::Cancel) << false << false << 0;
    QTest::newRow("no discards") << int(QMessageBox::No) << false << true << 0;
    QTest::newRow("yes and saved") << int(QMessageBox::Yes) << true << true << 1;
    QTest::newRow("yes but save cancelled") << int(QMessageBox::Yes) << false << false << 1;
}

void FileCommandsTest::toolbarNewAlwaysAsks() {
    QFETCH(int, answer);
    QFETCH(bool, saveConfirmed);
    QFETCH(bool, cleared);
    QFETCH(int, fileDialogs);
    Editor e;
    e.draw();
    e.window->setWindowTitle(QStringLiteral("Wirtualon! - /tmp/old.jar"));
    e.prompts->answers = {static_cast<QMessageBox::StandardButton>(answer)};
    e.prompts->fileNames = {saveConfirmed ? e.path("kept.jar") : QString()};
    e.click("SpeedButton1");
    QCOMPARE(e.prompts->questions.size(), std::size_t{1});
    QCOMPARE(e.prompts->questions[0].title, QStringLiteral("Wirtualon!"));
    QCOMPARE(e.prompts->questions[0].text, kSaveQuestion);
    QCOMPARE(static_cast<int>(e.prompts->fileDialogs.size()), fileDialogs);
    QCOMPARE(e.doc().CellCode(0, 0), cleared ? 0 : 1);
    QCOMPARE(QFile::exists(e.path("kept.jar")), saveConfirmed);
    if (cleared) {
        QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - Program1"));
        QCOMPARE(e.doc().status(), document::DocumentStatus::New);
    } else {
        QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - /tmp/old.jar"));
    }
}

void FileCommandsTest::menuNewAsksOnlyWithUnsavedChanges() {
    Editor e;
    document::PlaceContact(e.doc(), 1, 0, 0);
    e.doc().setStatus(document::DocumentStatus::Saved);
    e.window->setWindowTitle(QStringLiteral("Wirtualon! - /tmp/old.jar"));
    e.trigger("New1");
    QVERIFY(e.prompts->questions.empty());
    QCOMPARE(e.doc().CellCode(0, 0), 0);
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - Program1"));

    e.draw();
    e.prompts->answers = {QMessageBox::Cancel};
    e.trigger("New1");
    QCOMPARE(e.prompts->questions.size(), std::size_t{1});
    QCOMPARE(e.doc().CellCode(0, 0), 1);
}

void FileCommandsTest::closeWithoutChangesAsksOnlyQuitQuestion() {
    Editor e;
    e.prompts->answers = {QMessageBox::No};
    QVERIFY(!e.closeAccepted());
    QCOMPARE(e.prompts->questions.size(), std::size_t{1});
    QCOMPARE(e.prompts->questions[0].text, kQuitQuestion);
    e.prompts->answers = {QMessageBox::Yes};
    QVERIFY(e.closeAccepted());
}

void FileCommandsTest::closeWithChangesAsksSaveQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveAs");
    QTest::addColumn<bool>("closes");
    QTest::newRow("cancel keeps the program open") << int(QMessageBox::Cancel) << "" << false;
    QTest::newRow("no discards and closes") << int(QMessageBox::No) << "" << true;
    QTest::newRow("yes saves and closes") << int(QMessageBox::Yes) << "closing.jar" << true;
    QTest::newRow("yes with save cancelled stays") << int(QMessageBox::Yes) << "" << false;
}

void FileCommandsTest::closeWithChangesAsksSaveQuestion() {
    QFETCH(int, answer);
    QFETCH(QString, saveAs);
    QFETCH(bool, closes);
    Editor e;
    e.draw();
    e.prompts->answers = {static_cast<QMessageBox::StandardButton>(answer)};
    e.prompts->fileNames = {saveAs.isEmpty() ? QString() : e.path("closing.jar")};
    QCOMPARE(e.closeAccepted(), closes);
    QCOMPARE(e.prompts->questions.size(), std::size_t{1});
    QCOMPARE(e.prompts->questions[0].text, kSaveQuestion);
    QCOMPARE(QFile::exists(e.path("closing.jar")), !saveAs.isEmpty());
    QCOMPARE(e.doc().CellCode(0, 0), 1);
}

void FileCommandsTest::quitMenuStaysOpenWhenSaveIsCancelled() {
    Editor e;
    e.window->show();
    e.draw();
    e.prompts->answers = {QMessageBox::Yes};
    e.trigger("Quit1");
    QVERIFY(e.window->isVisible());
    e.prompts->answers = {QMessageBox::No};
    e.trigger("Quit1");
    QVERIFY(!e.window->isVisible());
    // "Koniec" asks only the save question, never the quit question as well.
    QCOMPARE(e.prompts->questions.size(), std::size_t{2});
}

void FileCommandsTest::examplesOpenInTheOpenDialogStartingInTheirFolder() {
    // The test runs from the build folder, as the editor does before it is installed.
    Editor e;
    e.draw();
    const QString folder = examplesFolder();
    QVERIFY(folder.endsWith(QStringLiteral("/examples")));
    e.prompts->answers = {QMessageBox::No};
    e.prompts->fileNames = {folder + QStringLiteral("/start_stop.jar")};
    e.window->openDialog().selectNameFilter(kProgramFilter);
    e.trigger("Przyklady1");
    QCOMPARE(e.window->openDialog().selectedNameFilter(), kBothFormsFilter);
    // Unsaved work is asked about first, as by "Otwórz".
    QCOMPARE(e.prompts->questions.size(), std::size_t{1});
    QCOMPARE(e.prompts->fileDialogs, std::vector<QString>{QStringLiteral("OpenDialog1")});
    QCOMPARE(e.window->openDialog().directory().canonicalPath(), folder);
    QCOMPARE(e.window->windowTitle(),
             QStringLiteral("Wirtualon! - ") + folder + QStringLiteral("/start_stop.jar"));
    QCOMPARE(e.doc().CellText(0, 9), std::string("#A%Q0001##1Silnik#"));
    QVERIFY(e.prompts->messages.empty());
}

void FileCommandsTest::examplesFolderIsFoundBesideOrAboveTheEditor_data() {
    QTest::addColumn<QStringList>("programs");  // example programs laid out under the root
    QTest::addColumn<QString>("editor");        // the editor's folder under the root
    QTest::addColumn<QString>("source");        // the source tree under the root, if any
    QTest::addColumn<QString>("found");         // the folder found under the root
    QTest::newRow("installed") << QStringList{"share/wirtualon/examples/a.jar", "examples/b.jar"}
                               << "bin"
                               << ""
                               << "share/wirtualon/examples";
    QTest::newRow("build folder in the source tree")
        << QStringList{"src/examples/a.jar"} << "src/build/app"
        << ""
        << "src/examples";
    QTest::newRow("folder without programs passed over")
        << QStringList{"src/build/examples/notes.txt", "src/examples/a.jar"} << "src/build/app"
        << ""
        << "src/examples";
    QTest::newRow("ladders in text only")
        << QStringList{"src/build/examples/notes.txt", "src/examples/a.lad.txt"} << "src/build/app"
        << ""
        << "src/examples";
    QTest::newRow("too far above") << QStringList{"examples/a.jar"} << "a/b/c/d/app"
                                   << ""
                                   << "";
    QTest::newRow("build folder elsewhere") << QStringList{"src/examples/a.jar"} << "tmp/build/app"
                                            << "src"
                                            << "src/examples";
}

void FileCommandsTest::examplesFolderIsFoundBesideOrAboveTheEditor() {
    QFETCH(QStringList, programs);
    QFETCH(QString, editor);
    QFETCH(QString, source);
    QFETCH(QString, found);
    QTemporaryDir root;
    const QDir dir(root.path());
    for (const QString& program : programs) {
        QVERIFY(dir.mkpath(QFileInfo(program).path()));
        QFile file(dir.filePath(program));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(dir.mkpath(editor));
    const QString expected =
        found.isEmpty() ? QString() : QDir(dir.filePath(found)).canonicalPath();
    QCOMPARE(findExamplesFolder(dir.filePath(editor),
                                source.isEmpty() ? QString() : dir.filePath(source)),
             expected);
}

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
