// ui/translation_progress_window.cpp — the translation progress window.
#include "ui/translation_progress_window.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

TranslationProgressWindow::TranslationProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QStringLiteral("Translator"));
    auto* label = new QLabel(QString::fromUtf8("Trwa translacja programu z postaci "
                                               "drabinkowej na listę instrukcji ..."),
                             this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    setFixedSize(300, 90);
}

void TranslationProgressWindow::showNow() {
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    show();
    raise();
    // The translation runs on this thread: paint the window before it starts.
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
