// ui/main_window_view.cpp — the main window's view commands: grid lines, the element toolbars,
// hiding and showing the strips, and where the tool windows first appear.
#include "ui/description_window.h"
#include "ui/ladder_grid.h"
#include "ui/main_window.h"
#include "ui/parameters_window.h"

#include <QFrame>
#include <QStatusBar>
#include <QVariant>

void MainWindow::GridLinesClick() {
    const bool on = m_grid->gridLineWidth() != 1;
    m_grid->setGridLineWidth(on ? 1 : 0);
    updateCommandStates();
    repaintGrid();
}

void MainWindow::setElementToolbarShown(int index, bool shown) {
    m_elementToolbars.at(static_cast<std::size_t>(index))->setVisible(shown);
    updateCommandStates();
    repaintGrid();
}

void MainWindow::hideStrips() {
    for (QFrame* toolbar : m_elementToolbars) {
        toolbar->hide();
    }
    m_panel7->hide();
    m_panel1->hide();
    statusBar()->hide();
    m_stripsHidden = true;
    updateCommandStates();
}

void MainWindow::HideAllClick() {
    hideStrips();
}

void MainWindow::FullScreenClick() {
    hideStrips();
    m_parametersWindow->hide();
}

void MainWindow::ShowMainStripsClick() {
    m_panel1->show();
    m_panel7->show();
    statusBar()->show();
    // The element toolbars stay hidden; their menu items can show them again.
    m_stripsHidden = false;
    updateCommandStates();
}

void MainWindow::placeToolWindow(QWidget& tool) {
    // First showing: at the grid's top-right corner, clear of the toolbars; the description
    // window goes below the place of the parameters window, so that the two never cover each
    // other.
    if (tool.property("placed").toBool()) {
        return;
    }
    tool.setProperty("placed", true);
    tool.adjustSize();
    const QPoint corner = m_grid->mapToGlobal(QPoint(m_grid->width(), 0));
    int top = corner.y() + 8;
    if (&tool == m_descriptionWindow) {
        constexpr int kTitleBarAllowance = 40;
        top += m_parametersWindow->sizeHint().height() + kTitleBarAllowance;
    }
    tool.move(corner.x() - tool.frameGeometry().width() - 24, top);
}

void MainWindow::ParametersButtonClick() {
    m_parametersWindow->RefreshParameters(m_grid->Row(), m_grid->Col());
    placeToolWindow(*m_parametersWindow);
    m_parametersWindow->show();
    m_parametersWindow->raise();
    updateCommandStates();
}

void MainWindow::ParametersMenuClick() {
    if (m_parametersWindow->isVisible()) {
        m_parametersWindow->hide();
    } else {
        ParametersButtonClick();
    }
    updateCommandStates();
}
