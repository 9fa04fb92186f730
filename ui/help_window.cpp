// ui/help_window.cpp — a text browser on the help page compiled into the program.
#include "ui/help_window.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The resource lives in a static library: register it explicitly so the linker keeps it. The
// registration macro declares a global function, so this helper cannot sit in a namespace.
static void registerHelpResource() {
    Q_INIT_RESOURCE(help);
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    registerHelpResource();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Wirtualon! - Pomoc"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(640, 560);
}

void HelpWindow::showContents() {
    m_browser->setSource(QUrl(QStringLiteral("qrc:/help/pomoc.html")));
    show();
    raise();
    activateWindow();
}

QString HelpWindow::pageText() const {
    return m_browser->toPlainText();
}
