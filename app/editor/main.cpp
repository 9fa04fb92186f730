// app/editor/main.cpp — starts the editor: the application title, Qt's Polish texts, the main
// window with the program named on the command line, if any, the loop.
#include "ui/app_text.h"
#include "ui/main_window.h"
#include "ui/qt_translations.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(ui::appTitle());
    // Without the translations installed Qt's own buttons stay English; the program still runs.
    ui::installQtTranslations(application);
    MainWindow window;
    window.show();
    // `wirtualon PROGRAM.jar`, as a file manager starts it: the first argument is the program.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        window.openProgram(arguments.at(1));
    }
    return QApplication::exec();
}
