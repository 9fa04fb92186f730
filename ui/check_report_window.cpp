// ui/check_report_window.cpp — the list of a check's verdict and remarks.
#include "ui/check_report_window.h"

#include <QFont>
#include <QKeySequence>
#include <QListWidget>
#include <QPoint>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kCellRole = Qt::UserRole;

}  // namespace

CheckReportWindow::CheckReportWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("CheckReportWindow"));
    setWindowTitle(QStringLiteral("Translator"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ReportList"));
    m_list->setWordWrap(true);
    connect(m_list, &QListWidget::itemActivated, this, &CheckReportWindow::itemActivated);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);

    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::hide);

    resize(800, 200);
}

void CheckReportWindow::showReport(const std::vector<translator::TranslationWarning>& warnings) {
    m_list->clear();
    auto* verdict = new QListWidgetItem(style()->standardIcon(QStyle::SP_MessageBoxInformation),
                                        QStringLiteral("Program poprawny"), m_list);
    QFont bold = m_list->font();
    bold.setBold(true);
    verdict->setFont(bold);
    const QIcon remark = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const translator::TranslationWarning& warning : warnings) {
        auto* item = new QListWidgetItem(
            remark, QString::fromStdString(translator::warningReportText(warning)), m_list);
        item->setData(kCellRole, QPoint(warning.col, warning.row));
    }
    m_list->setCurrentRow(warnings.empty() ? 0 : 1);
    if (!isVisible() && !property("placed").toBool() && parentWidget() != nullptr) {
        // First showing: low in the main window's right-hand corner, where the ladder's first
        // rows and the toolbars stay in view.
        setProperty("placed", true);
        const QWidget* main = parentWidget();
        const QPoint corner = main->mapToGlobal(QPoint(main->width(), main->height()));
        move(std::max(corner.x() - frameGeometry().width() - 24, 0),
             std::max(corner.y() - frameGeometry().height() - 48, 0));
    }
    show();
    raise();
    activateWindow();
}

void CheckReportWindow::itemActivated(QListWidgetItem* item) {
    const QVariant cell = item->data(kCellRole);
    if (cell.isValid()) {
        emit cellActivated(cell.toPoint().y(), cell.toPoint().x());
    }
}
