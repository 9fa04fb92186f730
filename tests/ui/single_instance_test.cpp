// A program named to a second editor goes to the one running: the name as it arrives, the
// clients that are refused or dropped, the files that wait for a modal window, and the save
// question the main window asks on the way in.
#include "ui/single_instance.h"

#include "tests/ui/editor_fixture.h"

#include "document/editing.h"
#include "document/program_file.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>

namespace {

// handOver blocks, and the listening side needs this thread's event loop: the sender runs on a
// thread of its own, as a second editor runs in a process of its own.
std::future<bool> handOverFrom(const QString& socket, const QString& name) {
    return std::async(std::launch::async,
                      [socket, name] { return SingleInstance(socket).handOver(name, 5000); });
}

bool ready(const std::future<bool>& result) {
    return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

struct Listener {
    QTemporaryDir dir;
    QString socket = dir.filePath(QStringLiteral("editor"));
    SingleInstance instance{socket};
    QSignalSpy requested{&instance, &SingleInstance::fileRequested};
};

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void namesArriveWholeAndAbsolute_data();
    void namesArriveWholeAndAbsolute();
    void withoutALiveEditorTheCallerOpensTheFile();
    void misbehavingClientsAreDroppedWhileOthersAreServed();
    void filesWaitForAModalWindowAndKeepTheirOrder();
    void handedOverProgramAsksAboutUnsavedWorkFirst();
};

void SingleInstanceTest::namesArriveWholeAndAbsolute_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("received");
    const QString polish = QString::fromUtf8("/tmp/Moje programy/Taśma załadunkowa – wersja 2.jar");
    QTest::newRow("spaces and Polish letters") << polish << polish;
    QTest::newRow("relative to the sender's folder")
        << QString::fromUtf8("programy/Żółw.jar")
        << QDir::current().absoluteFilePath(QString::fromUtf8("programy/Żółw.jar"));
}

void SingleInstanceTest::namesArriveWholeAndAbsolute() {
    QFETCH(QString, given);
    QFETCH(QString, received);
    Listener editor;
    QVERIFY(editor.instance.listen());
    std::future<bool> sent = handOverFrom(editor.socket, given);
    QTRY_VERIFY(ready(sent));
    QVERIFY(sent.get());
    QTRY_COMPARE(editor.requested.size(), 1);
    QCOMPARE(editor.requested.at(0).at(0).toString(), received);
}

void SingleInstanceTest::withoutALiveEditorTheCallerOpensTheFile() {
    Listener editor;
    const QString name = QStringLiteral("/tmp/a.jar");
    // No socket at all, then a file left where the socket of an editor that died was.
    QVERIFY(!SingleInstance(editor.socket).handOver(name, 1000));
    {
        QFile stale(editor.socket);
        QVERIFY(stale.open(QIODevice::WriteOnly));
    }
    QVERIFY(!SingleInstance(editor.socket).handOver(name, 1000));
    QVERIFY(editor.instance.listen());

    // A live editor keeps its socket: a later one does not take it over.
    SingleInstance later(editor.socket);
    QVERIFY(!later.listen());
    std::future<bool> sent = handOverFrom(editor.socket, name);
    QTRY_VERIFY(ready(sent));
    QVERIFY(sent.get());
    QTRY_COMPARE(editor.requested.size(), 1);
}

void SingleInstanceTest::misbehavingClientsAreDroppedWhileOthersAreServed() {
    Listener editor;
    editor.instance.setIdleTimeout(60000);
    QVERIFY(editor.instance.listen());
    const auto connected = [&editor](QLocalSocket& client) {
        client.connectToServer(editor.socket);
        return client.waitForConnected(1000);
    };
    QLocalSocket endless;
    QLocalSocket relative;
    QLocalSocket notUtf8;
    QVERIFY(connected(endless) && connected(relative) && connected(notUtf8));
    endless.write(QByteArray(SingleInstance::kMaxNameBytes + 100, 'a'));
    relative.write("programy/a.jar\n");
    notUtf8.write("/tmp/ta\xb6ma.jar\n");

    std::future<bool> sent = handOverFrom(editor.socket, QStringLiteral("/tmp/dobry.jar"));
    QTRY_VERIFY(ready(sent));
    QVERIFY(sent.get());
    // QTRY_ evaluates its expression once more after success: the answers are gathered.
    QByteArray relativeAnswer;
    QByteArray notUtf8Answer;
    QTRY_COMPARE(relativeAnswer += relative.readAll(), QByteArray("NO\n"));
    QTRY_COMPARE(notUtf8Answer += notUtf8.readAll(), QByteArray("NO\n"));
    // Too long a line is cut off at once, long before the idle time is up.
    QTRY_COMPARE_WITH_TIMEOUT(endless.state(), QLocalSocket::UnconnectedState, 2000);

    // A client that says nothing is dropped when the idle time is up.
    editor.instance.setIdleTimeout(300);
    QLocalSocket silent;
    QVERIFY(connected(silent));
    QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 2000);
    QCOMPARE(editor.requested.size(), 1);
    QCOMPARE(editor.requested.at(0).at(0).toString(), QStringLiteral("/tmp/dobry.jar"));
}

void SingleInstanceTest::filesWaitForAModalWindowAndKeepTheirOrder() {
    Listener editor;
    QVERIFY(editor.instance.listen());
    QDialog question;
    question.setWindowModality(Qt::ApplicationModal);
    question.show();
    QVERIFY(QApplication::activeModalWidget() == &question);
    for (const char* name : {"/tmp/pierwszy.jar", "/tmp/drugi.jar"}) {
        std::future<bool> sent = handOverFrom(editor.socket, QString::fromLatin1(name));
        QTRY_VERIFY(ready(sent));
        QVERIFY(sent.get());  // taken at once, so the second editor need not wait for the user
    }
    QTest::qWait(600);
    QCOMPARE(editor.requested.size(), 0);
    question.hide();
    QTRY_COMPARE(editor.requested.size(), 2);
    QCOMPARE(editor.requested.at(0).at(0).toString(), QStringLiteral("/tmp/pierwszy.jar"));
    QCOMPARE(editor.requested.at(1).at(0).toString(), QStringLiteral("/tmp/drugi.jar"));
}

void SingleInstanceTest::handedOverProgramAsksAboutUnsavedWorkFirst() {
    Listener listener;
    QVERIFY(listener.instance.listen());
    EditorFixture e;
    connect(&listener.instance, &SingleInstance::fileRequested, e.window.get(),
            &MainWindow::openProgramAsking);
    const QString program =
        listener.dir.filePath(QString::fromUtf8("Moje programy/Taśma załadunkowa.jar"));
    QVERIFY(QDir().mkpath(QFileInfo(program).path()));
    document::LadderDocument saved;
    document::PlaceContact(saved, 1, 0, 0);
    saved.SetCellText(0, 0, "#A%I0001##1Przycisk żółty#");
    QVERIFY(document::SaveProgram(saved, QFile::encodeName(program).toStdString()) ==
            document::FileResult::Success);
    const auto handOver = [&] {
        std::future<bool> sent = handOverFrom(listener.socket, program);
        QTRY_VERIFY(ready(sent));
        QVERIFY(sent.get());
    };

    // Unsaved work, and Cancel to the question: nothing changes.
    document::PlaceContact(e.doc(), 2, 4, 4);
    e.doc().setStatus(document::DocumentStatus::Modified);
    e.prompts->answers = {QMessageBox::Cancel};
    handOver();
    QTRY_COMPARE(e.prompts->questions.size(), std::size_t{1});
    QCOMPARE(e.prompts->questions[0].text, QString::fromUtf8("Czy chcesz zapisać obecny program?"));
    QCOMPARE(e.doc().CellCode(4, 4), 2);
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - Program1"));

    // No: the program is opened, its Polish texts whole.
    e.prompts->answers = {QMessageBox::No};
    handOver();
    QTRY_COMPARE(e.window->windowTitle(), QStringLiteral("Wirtualon! - ") + program);
    QCOMPARE(e.prompts->questions.size(), std::size_t{2});
    QCOMPARE(e.doc().CellText(0, 0), std::string("#A%I0001##1Przycisk żółty#"));
    QCOMPARE(e.doc().CellCode(4, 4), 0);
    QVERIFY(e.prompts->messages.empty());

    // Nothing unsaved: opened again without a question.
    handOver();
    QTRY_COMPARE(listener.requested.size(), 3);
    QCOMPARE(e.prompts->questions.size(), std::size_t{2});
    QCOMPARE(e.doc().status(), document::DocumentStatus::Loaded);
}

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
