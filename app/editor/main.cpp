// app/editor/main.cpp — starts the editor: the application title, the main window, the loop.
#include "ui/tform1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wirtualon!"));
    TForm1 window;
    window.show();
    return QApplication::exec();
}
