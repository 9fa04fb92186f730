// ui/examples_folder.cpp — the lookup of the example programs' folder.
#include "ui/examples_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

namespace {

// Parents of the executable's folder searched for "examples": enough for build/app/ inside
// the source tree and for a build folder one level deeper.
constexpr int kParentsSearched = 3;

bool holdsPrograms(const QDir& folder) {
    return folder.exists() &&
           !folder
                .entryList({QStringLiteral("*.jar"), QStringLiteral("*.lad.txt")},
                           QDir::Files | QDir::Readable)
                .isEmpty();
}

}  // namespace

QString findExamplesFolder(const QString& applicationDir, const QString& sourceDir) {
    QStringList candidates;
    if (!applicationDir.isEmpty()) {
        candidates << applicationDir + QStringLiteral("/../share/wirtualon/examples");
        QDir folder(applicationDir);
        for (int level = 0; level <= kParentsSearched; ++level) {
            candidates << folder.filePath(QStringLiteral("examples"));
            if (!folder.cdUp()) {
                break;
            }
        }
    }
    if (!sourceDir.isEmpty()) {
        candidates << sourceDir + QStringLiteral("/examples");
    }
    for (const QString& candidate : candidates) {
        const QDir folder(candidate);
        if (holdsPrograms(folder)) {
            return folder.canonicalPath();
        }
    }
    return {};
}

QString examplesFolder() {
    return findExamplesFolder(QCoreApplication::applicationDirPath(),
                              QString::fromUtf8(WIRTUALON_SOURCE_DIR));
}
