// ui/main_window_program.cpp — the main window's program commands: checking, the listing,
// running the simulator with the panel or the link, the node analysis and the cross-reference.
#include "translator/node_analysis.h"
#include "translator/translation_driver.h"
#include "translator/translation_error.h"
#include "ui/check_report_window.h"
#include "ui/cross_reference_window.h"
#include "ui/description_window.h"
#include "ui/ladder_grid.h"
#include "ui/link_dialog.h"
#include "ui/listing_window.h"
#include "ui/live_monitor.h"
#include "ui/main_window.h"
#include "ui/parameters_window.h"
#include "ui/simulator_panel.h"
#include "ui/translation_progress_window.h"

#include <QLabel>
#include <QVariant>

#include <algorithm>
#include <utility>

namespace {

// The translator's trace, rewritten at every translation in the working directory.
constexpr const char* kTraceFile = "EMU.txt";

}  // namespace

int MainWindow::TranslateProgram() {
    m_parametersWindow->hide();
    m_descriptionWindow->hide();
    m_progressWindow->showNow();
    translator::TranslationResult result =
        translator::translateDocument(m_document, {.tracePath = kTraceFile});
    showTraceNote(result.traceProblem);
    if (!result.ok()) {
        m_progressWindow->hide();
        ReportTranslationError(result.errorCode, result.errorRow, result.errorCol);
        return 1;
    }
    m_listingWindow->setListings(
        QString::fromStdString(translator::joinLines(result.instructionList)),
        QString::fromStdString(translator::joinLines(result.programListing)));
    m_listingWindow->setLineCells(translator::instructionViewCells(result.sourceMap),
                                  translator::programViewCells(result.sourceMap));
    m_programStore = std::move(result.program);
    m_sourceMap = std::move(result.sourceMap);
    m_warnings = std::move(result.warnings);
    m_progressWindow->hide();
    return 0;
}

void MainWindow::showTraceNote(const std::string& problem) {
    // A trace that could not be written is worth a word, never a failed translation. The word
    // stays in the hint panel whenever no hint is shown, until a trace is written again.
    m_traceNote = QString::fromStdString(problem);
    if (!m_traceNote.isEmpty()) {
        m_statusPanels[3]->setText(m_traceNote);
    }
}

void MainWindow::ReportTranslationError(int code, int row, int col) {
    m_grid->setCursorCell(row, col);
    m_prompts->tell(QMessageBox::Critical, QStringLiteral("Translator"),
                    QString::fromStdString(translator::errorReportText(code, row, col)));
}

void MainWindow::CheckProgram() {
    // Remarks of an earlier check no longer hold.
    if (m_checkReport != nullptr) {
        m_checkReport->hide();
    }
    if (TranslateProgram() != 0) {
        return;
    }
    if (m_warnings.empty()) {
        m_prompts->tell(QMessageBox::Information, QStringLiteral("Translator"),
                        QStringLiteral("Program poprawny"));
    } else {
        // The remarks stay in view beside the grid while the user goes from one to the next.
        if (m_checkReport == nullptr) {
            m_checkReport = new CheckReportWindow(this);
            connect(m_checkReport, &CheckReportWindow::cellActivated, this,
                    [this](int row, int col) { m_grid->setCursorCell(row, col); });
        }
        m_checkReport->showReport(m_warnings);
    }
    m_programStore.clear();
}

void MainWindow::ShowInstructionList() {
    if (TranslateProgram() != 0) {
        return;
    }
    m_prompts->runModal(*m_listingWindow);
    // "START!" hands the program to the simulator; "Ok" and the title bar free it.
    plc::Program program = std::exchange(m_programStore, plc::Program{});
    if (m_listingWindow->startRequested()) {
        m_live->begin(m_document, program, m_sourceMap);
        m_simulatorPanel->startSimulator(std::move(program));
        m_live->end();
    }
}

void MainWindow::RunSimulator() {
    if (TranslateProgram() != 0) {
        return;
    }
    // The grid shows the running program until the simulation ends.
    plc::Program program = std::exchange(m_programStore, plc::Program{});
    m_live->begin(m_document, program, m_sourceMap);
    m_simulatorPanel->startSimulator(std::move(program));
    m_live->end();
}

void MainWindow::RunSimulatorWithDde() {
    if (TranslateProgram() != 0) {
        return;
    }
    // Only OK after a successful connection starts the simulation; otherwise the program goes.
    plc::Program program = std::exchange(m_programStore, plc::Program{});
    if (m_prompts->runModal(*m_linkDialog) != QDialog::Accepted ||
        !m_linkDialog->exchange().isOpen()) {
        return;
    }
    m_live->begin(m_document, program, m_sourceMap);
    m_linkDialog->linkRunStarted();
    if (!m_simulatorPanel->startSimulatorDde(std::move(program), m_linkDialog->exchange(),
                                             [this] { m_linkDialog->closeDdeLink(); })) {
        // No run to serve: the connection goes as at the end of one.
        m_linkDialog->closeDdeLink();
    }
    m_live->end();
}

void MainWindow::SpeedButton16Click() {
    // The analysis neither changes the document nor makes a program: the program store is left
    // as it is. The rung search it shares with the translator writes its lines to the trace, as
    // a translation does.
    const translator::NodeAnalysisResult result =
        translator::AnalyseNodesAndSegments(m_document, {.tracePath = kTraceFile});
    showTraceNote(result.traceProblem);
    // The window stays open while the user edits on, so on its first showing it goes to the
    // grid's top-right corner, beside the rungs rather than over them.
    if (!m_listingWindow->property("placed").toBool()) {
        m_listingWindow->setProperty("placed", true);
        const QPoint corner = m_grid->mapToGlobal(QPoint(m_grid->width(), 0));
        m_listingWindow->move(corner.x() - m_listingWindow->frameGeometry().width() - 24,
                              corner.y() + 8);
    }
    m_listingWindow->showAnalysis(QString::fromStdString(translator::joinLines(result.firstView)),
                                  QString::fromStdString(translator::joinLines(result.secondView)));
}

void MainWindow::CrossReferenceClick() {
    // First showing: low beside the ladder's last column when the window has room there (the
    // two small tool windows stand at the top), else at the grid's bottom-right corner.
    if (!m_crossReference->property("placed").toBool()) {
        m_crossReference->setProperty("placed", true);
        const int width = m_crossReference->frameGeometry().width();
        const int height = m_crossReference->frameGeometry().height();
        const QPoint corner = m_grid->mapToGlobal(QPoint(m_grid->width(), m_grid->height()));
        const int cellsRight =
            m_grid->viewport()
                ->mapToGlobal(QPoint(m_grid->cellRect(0, document::kColumns - 1).right(), 0))
                .x();
        m_crossReference->move(std::min(cellsRight + 16, corner.x() - width - 24),
                               std::max(corner.y() - height - 24, 0));
    }
    m_crossReference->showAndSearch();
}
