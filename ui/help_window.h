// ui/help_window.h — the help viewer: the program's own Polish help page, shipped in its resources.
#pragma once

#include <QWidget>

class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    /// Shows the help's contents page and brings the window to the front.
    void showContents();
    /// Returns the page's plain text (what the user reads).
    QString pageText() const;

private:
    QTextBrowser* m_browser;
};
