// `cmake --install` into a temporary prefix, as a user without root does: the tree it lays out,
// the installed programs at work there, and the file type's rule read by a real MIME database.
#include "document/program_file.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace {

const QString kLadderType = QStringLiteral("application/x-wirtualon-ladder");
const QString kVersion = QStringLiteral(WIRTUALON_VERSION);

struct ProcessRun {
    int status = -1;
    QString out;
    QString err;
};

ProcessRun run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    ProcessRun result;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        result.err = QStringLiteral("did not finish: ") + program;
        return result;
    }
    result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// The paths of the files under `root`, relative to it.
std::set<std::string> filesUnder(const QString& root) {
    std::set<std::string> files;
    const QDir base(root);
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.insert(base.relativeFilePath(it.next()).toStdString());
    }
    return files;
}

class InstallTreeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_prefix = std::make_unique<QTemporaryDir>();
        s_mimeRoot = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(s_prefix->isValid() && s_mimeRoot->isValid());
        const ProcessRun install =
            run(QStringLiteral(WIRTUALON_CMAKE),
                {QStringLiteral("--install"), QStringLiteral(WIRTUALON_BINARY_DIR),
                 QStringLiteral("--prefix"), s_prefix->path()});
        ASSERT_EQ(install.status, 0) << install.err.toStdString();
        // The MIME database the installed definition joins: beside the common definitions
        // (shared-mime-info's, which Qt's library needs), as one database, which is what the
        // system's cache holds once the package is installed. Nothing of the user's own is
        // read. Qt reads these variables once, at its first use of the database.
        const QString packages = s_mimeRoot->filePath(QStringLiteral("mime/packages"));
        ASSERT_TRUE(QDir().mkpath(packages));
        ASSERT_TRUE(QFile::copy(prefix(QStringLiteral("share/mime/packages/wirtualon.xml")),
                                packages + QStringLiteral("/wirtualon.xml")));
        ASSERT_TRUE(QFile::copy(QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml"),
                                packages + QStringLiteral("/freedesktop.org.xml")));
        qputenv("XDG_DATA_HOME", s_mimeRoot->filePath(QStringLiteral("nothing")).toUtf8());
        qputenv("XDG_DATA_DIRS", s_mimeRoot->path().toUtf8());
    }
    static void TearDownTestSuite() {
        s_prefix.reset();
        s_mimeRoot.reset();
    }

    static QString prefix(const QString& relative = {}) {
        return relative.isEmpty() ? s_prefix->path() : s_prefix->filePath(relative);
    }

    static std::unique_ptr<QTemporaryDir> s_prefix;
    static std::unique_ptr<QTemporaryDir> s_mimeRoot;
};

std::unique_ptr<QTemporaryDir> InstallTreeTest::s_prefix;
std::unique_ptr<QTemporaryDir> InstallTreeTest::s_mimeRoot;

TEST_F(InstallTreeTest, PrefixHoldsExactlyTheProgramsDesktopFilesManualsAndExamples) {
    std::set<std::string> expected = {
        "bin/wirtualon",
        "bin/wirtualon-cli",
        "share/applications/wirtualon.desktop",
        "share/icons/hicolor/scalable/apps/wirtualon.svg",
        "share/icons/hicolor/48x48/apps/wirtualon.png",
        "share/icons/hicolor/128x128/apps/wirtualon.png",
        "share/icons/hicolor/256x256/apps/wirtualon.png",
        "share/mime/packages/wirtualon.xml",
        "share/metainfo/pl.wirtualon.wirtualon.metainfo.xml",
        "share/man/man1/wirtualon.1.gz",
        "share/man/man1/wirtualon-cli.1.gz",
        "share/bash-completion/completions/wirtualon-cli",
        "share/doc/wirtualon/copyright",
        "share/doc/wirtualon/changelog.gz",
    };
    const QDir examples(QStringLiteral(WIRTUALON_SOURCE_DIR "/examples"));
    for (const QString& name : examples.entryList(QDir::Files)) {
        expected.insert("share/wirtualon/examples/" + name.toStdString());
    }
    EXPECT_EQ(filesUnder(prefix()), expected);

    for (const char* program : {"bin/wirtualon", "bin/wirtualon-cli"}) {
        EXPECT_TRUE(QFileInfo(prefix(QString::fromLatin1(program))).isExecutable()) << program;
    }
    // Each PNG is the size its theme folder names: bytes 16..23 of a PNG are its width and
    // height, big-endian.
    for (const int size : {48, 128, 256}) {
        const QByteArray png = readAll(
            prefix(QStringLiteral("share/icons/hicolor/%1x%1/apps/wirtualon.png").arg(size)));
        ASSERT_GE(png.size(), 24);
        const auto word = [&png](int at) {
            return (static_cast<quint8>(png[at]) << 24) | (static_cast<quint8>(png[at + 1]) << 16) |
                   (static_cast<quint8>(png[at + 2]) << 8) | static_cast<quint8>(png[at + 3]);
        };
        EXPECT_EQ(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        EXPECT_EQ(word(16), size);
        EXPECT_EQ(word(20), size);
    }
}

TEST_F(InstallTreeTest, InstalledProgramsTellTheProjectVersionAndRunTheInstalledExamples) {
    for (const char* program : {"bin/wirtualon", "bin/wirtualon-cli"}) {
        const ProcessRun version =
            run(prefix(QString::fromLatin1(program)), {QStringLiteral("--version")});
        EXPECT_EQ(version.status, 0) << program;
        EXPECT_EQ(version.out, QStringLiteral("wirtualon ") + kVersion + QLatin1Char('\n'))
            << program;
    }
    const QString examples = prefix(QStringLiteral("share/wirtualon/examples"));
    const ProcessRun check =
        run(prefix(QStringLiteral("bin/wirtualon-cli")),
            {QStringLiteral("check"), examples + QStringLiteral("/start_stop.jar")});
    EXPECT_EQ(check.status, 0) << check.err.toStdString();
    EXPECT_EQ(check.out, QStringLiteral("Program poprawny\n"));
    // Every scenario finds its program, with the program's texts, where the install put them.
    QStringList scenarios = {QStringLiteral("test")};
    for (const QString& name : QDir(examples).entryList({QStringLiteral("*.scenario")})) {
        scenarios << examples + QLatin1Char('/') + name;
    }
    ASSERT_GE(scenarios.size(), 2);
    const ProcessRun test = run(prefix(QStringLiteral("bin/wirtualon-cli")), scenarios);
    EXPECT_EQ(test.status, 0) << test.out.toStdString() << test.err.toStdString();

    // The hand-written release records name the version being installed.
    const QString metainfo = QString::fromUtf8(
        readAll(prefix(QStringLiteral("share/metainfo/pl.wirtualon.wirtualon.metainfo.xml"))));
    const QRegularExpressionMatch release =
        QRegularExpression(QStringLiteral("<release version=\"([^\"]*)\"")).match(metainfo);
    EXPECT_EQ(release.captured(1), kVersion);
    const ProcessRun changelog =
        run(QStringLiteral("gzip"),
            {QStringLiteral("-dc"), prefix(QStringLiteral("share/doc/wirtualon/changelog.gz"))});
    EXPECT_TRUE(
        changelog.out.startsWith(QStringLiteral("wirtualon (") + kVersion + QStringLiteral(") ")))
        << changelog.out.toStdString();
}

TEST_F(InstallTreeTest, MenuEntryNamesTheInstalledTypeIconAndEditor) {
    const QString entry =
        QString::fromUtf8(readAll(prefix(QStringLiteral("share/applications/wirtualon.desktop"))));
    const QStringList lines = entry.split(QLatin1Char('\n'));
    EXPECT_TRUE(lines.contains(QStringLiteral("Exec=wirtualon %f")));
    EXPECT_TRUE(lines.contains(QStringLiteral("MimeType=") + kLadderType + QLatin1Char(';')));
    EXPECT_TRUE(lines.contains(QStringLiteral("Icon=wirtualon")));
    EXPECT_TRUE(QMimeDatabase().mimeTypeForName(kLadderType).isValid());
    const QString metainfo = QString::fromUtf8(
        readAll(prefix(QStringLiteral("share/metainfo/pl.wirtualon.wirtualon.metainfo.xml"))));
    EXPECT_TRUE(metainfo.contains(
        QStringLiteral("<launchable type=\"desktop-id\">wirtualon.desktop</launchable>")));
    EXPECT_TRUE(metainfo.contains(QStringLiteral("<mediatype>") + kLadderType));
}

TEST_F(InstallTreeTest, FileTypeMatchesEveryProgramHeaderAndNoOtherFile) {
    const QMimeDatabase mime;
    std::set<QString> files;
    for (const std::string& relative : filesUnder(prefix())) {
        files.insert(prefix(QString::fromStdString(relative)));
    }
    // Java archives share the name: a real one stays Java's. Only the header counts, not the
    // name and not a header cut short.
    QTemporaryDir made;
    ASSERT_TRUE(made.isValid());
    const QByteArray header = readAll(QStringLiteral(WIRTUALON_SOURCE_DIR "/examples/migacz.jar"));
    ASSERT_GE(header.size(), 16);
    const QByteArray zip("PK\x03\x04\x14\x00\x00\x00\x00\x00", 10);
    const std::pair<const char*, QByteArray> cases[] = {
        {"biblioteka.jar", zip + QByteArray(64, '\0')},     {"program bez rozszerzenia", header},
        {"Taśma załadunkowa.jar", header.left(16)},         {"ucięty.jar", header.left(15)},
        {"tekst.jar", QByteArray("EMU! to nie program\n")},
    };
    for (const auto& [name, bytes] : cases) {
        writeFile(made.filePath(QString::fromUtf8(name)), bytes);
        files.insert(made.filePath(QString::fromUtf8(name)));
    }
    EXPECT_EQ(mime.mimeTypeForFile(made.filePath(QStringLiteral("biblioteka.jar"))).name(),
              QStringLiteral("application/x-java-archive"));

    int programs = 0;
    for (const QString& file : files) {
        const QByteArray bytes = readAll(file);
        const bool program =
            document::hasProgramFileHeader(std::string_view(bytes.constData(), bytes.size()));
        programs += program ? 1 : 0;
        EXPECT_EQ(mime.mimeTypeForFile(file).name() == kLadderType, program)
            << file.toStdString() << " is " << mime.mimeTypeForFile(file).name().toStdString();
    }
    // The examples and the two made here.
    EXPECT_EQ(programs, static_cast<int>(QDir(QStringLiteral(WIRTUALON_SOURCE_DIR "/examples"))
                                             .entryList({QStringLiteral("*.jar")})
                                             .size()) +
                            2);
}

}  // namespace
