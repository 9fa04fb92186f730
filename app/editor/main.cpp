// app/editor/main.cpp — starts the editor: the application title, Qt's Polish texts, the main
// window with the program named on the command line, if any, the loop. A program named while
// an editor already runs goes to that editor instead.
#include "ui/app_text.h"
#include "ui/main_window.h"
#include "ui/qt_translations.h"
#include "ui/single_instance.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

constexpr char kUsage[] =
    "Użycie:\n"
    "  wirtualon [PROGRAM.jar | PROGRAM.lad.txt]\n"
    "                            edytor, z programem, jeśli go podano\n"
    "  wirtualon --version       wersja programu\n"
    "  wirtualon --help          ten opis\n";

void showWindow(MainWindow& window) {
    if (window.isMinimized()) {
        window.showNormal();
    }
    window.raise();
    window.activateWindow();
}

}  // namespace

int main(int argc, char* argv[]) {
    // Answered before Qt starts, so that they work without a display.
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs("wirtualon " WIRTUALON_VERSION "\n", stdout);
        return 0;
    }
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(ui::appTitle());
    // The desktop entry's name: panels and docks group the windows under its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("wirtualon"));
    QIcon icon;
    for (const int size : {48, 128, 256}) {
        icon.addFile(QStringLiteral(":/wirtualon/wirtualon-%1.png").arg(size));
    }
    QApplication::setWindowIcon(icon);
    // `wirtualon PROGRAM.jar`, as a file manager starts it: the first argument is the program,
    // in either form.
    const QStringList arguments = QApplication::arguments();
    const QString program = arguments.size() > 1 ? arguments.at(1) : QString();
    SingleInstance instance(SingleInstance::defaultSocketPath());
    if (!program.isEmpty() && instance.handOver(program)) {
        return 0;
    }
    // Without the translations installed Qt's own buttons stay English; the program still runs.
    ui::installQtTranslations(application);
    MainWindow window;
    window.show();
    instance.listen();
    QObject::connect(&instance, &SingleInstance::fileRequested, &window,
                     [&window](const QString& name) {
                         showWindow(window);
                         window.openProgramAsking(name);
                     });
    if (!program.isEmpty()) {
        window.openProgram(program);
    }
    return QApplication::exec();
}
