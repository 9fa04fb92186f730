// ui/help_window.cpp — a text browser on the help page compiled into the program.
#include "ui/help_window.h"

#include "ui/app_text.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
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
    setWindowTitle(ui::windowCaption(QStringLiteral("Pomoc")));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(false);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close =
        buttons->addButton(QStringLiteral("Zamknij"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Esc closes the help as it closes any dialog.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->addWidget(m_browser);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(6, 0, 6, 0);
    buttonRow->addWidget(buttons);
    layout->addLayout(buttonRow);
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
