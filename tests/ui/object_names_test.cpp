// Every window and control the editor makes carries the object name that tests, the help and
// the users' own notes find it by: the whole tree of names, compared with a golden list.
#include "tests/ui/editor_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMetaObject>
#include <QTest>
#include <QTimer>

namespace {

// The Qt class a control is made from; the editor's own class names are not part of what a user
// or a test sees.
QString qtClassOf(const QObject& object) {
    const QMetaObject* meta = object.metaObject();
    while (meta != nullptr && !QByteArray(meta->className()).startsWith('Q')) {
        meta = meta->superClass();
    }
    return meta == nullptr ? QString() : QString::fromLatin1(meta->className());
}

// One line per named window, control, menu item and timer: its named ancestors, its name, its
// Qt class. Names Qt gives its own parts ("qt_..." and the like) are left out, and so is the
// inside of the file dialogs, which Qt builds.
void collect(const QObject& object, const QString& path, QStringList& lines) {
    for (const QObject* child : object.children()) {
        const QString name = child->objectName();
        const bool listed = !name.isEmpty() && !name.startsWith(QLatin1String("qt_")) &&
                            !name.startsWith(QLatin1Char('_')) &&
                            (child->isWidgetType() || qobject_cast<const QAction*>(child) ||
                             qobject_cast<const QTimer*>(child));
        const QString childPath = listed ? path + QLatin1Char('/') + name : path;
        if (listed) {
            lines << childPath + QLatin1Char(' ') + qtClassOf(*child);
        }
        if (qobject_cast<const QFileDialog*>(child) == nullptr) {
            collect(*child, childPath, lines);
        }
    }
}

}  // namespace

class ObjectNamesTest : public QObject {
    Q_OBJECT
private slots:
    void everyWindowAndControlKeepsItsObjectName();
};

void ObjectNamesTest::everyWindowAndControlKeepsItsObjectName() {
    EditorFixture e;
    QStringList lines{e.window->objectName() + QLatin1Char(' ') + qtClassOf(*e.window)};
    collect(*e.window, e.window->objectName(), lines);
    lines.sort();

    QFile golden(QStringLiteral(WIRTUALON_TEST_SOURCE_DIR "/ui/object_names.txt"));
    QVERIFY2(golden.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(golden.fileName()));
    const QStringList expected =
        QString::fromUtf8(golden.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines != expected) {
        // The listing beside the test, for a diff against the golden file.
        QFile actual(QDir::current().filePath(QStringLiteral("object_names.actual")));
        if (actual.open(QIODevice::WriteOnly | QIODevice::Text)) {
            actual.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
        }
    }
    QCOMPARE(lines, expected);
}

QTEST_MAIN(ObjectNamesTest)
#include "object_names_test.moc"
