// ui/translation_progress_window.h — the small window that says a translation is running.
#pragma once

#include <QDialog>

class TranslationProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit TranslationProgressWindow(QWidget* parent = nullptr);

    /// Shows the window centred on the screen and paints it before the caller starts working.
    void showNow();
};
