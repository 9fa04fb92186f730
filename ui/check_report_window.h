// ui/check_report_window.h — the verdict of a check whose program translated with remarks:
// "Program poprawny", then each remark as "Uwaga (wXkY): ..."; a double click on a remark takes
// the grid's cursor to its cell.
#pragma once

#include "translator/translation_warning.h"

#include <QWidget>

#include <vector>

class QListWidget;
class QListWidgetItem;

class CheckReportWindow : public QWidget {
    Q_OBJECT
public:
    explicit CheckReportWindow(QWidget* parent = nullptr);

    /// Fills the list with the verdict and `warnings`, and shows the window in front.
    void showReport(const std::vector<translator::TranslationWarning>& warnings);

signals:
    /// A remark was double-clicked (or chosen with Enter): the cell it is about.
    void cellActivated(int row, int col);

private:
    void itemActivated(QListWidgetItem* item);

    QListWidget* m_list;
};
