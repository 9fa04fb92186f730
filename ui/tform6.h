// ui/tform6.h — the small window that says a translation is running.
#pragma once

#include <QDialog>

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);

    /// Shows the window centred on the screen and paints it before the caller starts working.
    void showNow();
};
