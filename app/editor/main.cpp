// app/editor/main.cpp — starts the editor: the application title, Qt's Polish texts, the main
// window, the loop.
#include "ui/qt_translations.h"
#include "ui/tform1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wirtualon!"));
    // Without the translations installed Qt's own buttons stay English; the program still runs.
    ui::installQtTranslations(application);
    TForm1 window;
    window.show();
    return QApplication::exec();
}
