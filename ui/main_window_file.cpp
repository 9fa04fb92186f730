// ui/main_window_file.cpp — the main window's file commands: new, open, save, save as, quit,
// printing and the PDF and picture exports. A ladder is opened in either of its forms and saved
// in the one it came in, or in the one chosen in "Zapisz jako...".
#include "document/editing.h"
#include "document/ladder_file.h"
#include "document/program_file.h"
#include "ui/app_text.h"
#include "ui/description_window.h"
#include "ui/help_window.h"
#include "ui/ladder_file_dialogs.h"
#include "ui/ladder_grid.h"
#include "ui/ladder_printer.h"
#include "ui/main_window.h"
#include "ui/parameters_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>

#include <filesystem>

namespace {

using ui::appTitle;
using ui::fromUtf8;

// Paper of the PDF export and the print dialog's first choice.
const QMarginsF kPageMargins(12, 12, 12, 12);

std::filesystem::path toPath(const QString& fileName) {
    return std::filesystem::path(QFile::encodeName(fileName).toStdString());
}

// The name chosen in an export dialog, with the dialog's extension when it has none.
QString chosenName(UserPrompts& prompts, QFileDialog& dialog) {
    QString name = prompts.chooseFile(dialog);
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty()) {
        name += QLatin1Char('.') + dialog.defaultSuffix();
    }
    return name;
}

}  // namespace

bool MainWindow::hasUnsavedChanges() const {
    return m_document.status() == document::DocumentStatus::Modified;
}

void MainWindow::setFileCaption(const QString& fileName) {
    setWindowTitle(ui::windowCaption(fileName));
}

MainWindow::Answer MainWindow::saveQuestion() {
    const QMessageBox::StandardButton answer =
        m_prompts->ask(appTitle(), QString::fromUtf8("Czy chcesz zapisać obecny program?"),
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    switch (answer) {
        case QMessageBox::Yes: return saveCurrent() ? Answer::Proceed : Answer::Stop;
        case QMessageBox::No: return Answer::Proceed;
        default: return Answer::Stop;
    }
}

bool MainWindow::saveCommand() {
    // A program with a file is offered again in the form it is kept in.
    if (!m_fileName.isEmpty()) {
        ui::proposeForm(*m_saveDialog, m_fileForm);
    }
    const QString name = m_prompts->chooseFile(*m_saveDialog);
    if (name.isEmpty()) {
        return false;
    }
    const ui::SaveTarget target = ui::saveTarget(name, m_saveDialog->selectedNameFilter());
    return saveTo(target.name, target.form);
}

bool MainWindow::saveCurrent() {
    return m_fileName.isEmpty() ? saveCommand() : saveTo(m_fileName, m_fileForm);
}

bool MainWindow::saveTo(const QString& name, document::LadderForm form) {
    const document::LadderFileOutcome saved = document::saveLadder(m_document, toPath(name), form);
    if (saved.result != document::FileResult::Success) {
        m_prompts->tell(QMessageBox::Critical, appTitle(), fromUtf8(saved.message));
        return false;
    }
    m_saveDialog->selectFile(name);
    setFileCaption(name);
    m_fileName = name;
    m_fileForm = form;
    m_history.markSaved();
    return true;
}

void MainWindow::startNewProgram() {
    m_document.NewDocument();
    m_history.reset(document::DocumentStatus::New);
    m_fileName.clear();
    m_fileForm = document::LadderForm::ProgramFile;
    setWindowTitle(ui::newProgramCaption());
    refresh(document::Refresh::AfterLoading);
    historyChanged();
}

void MainWindow::SpeedButton1Click() {
    if (saveQuestion() == Answer::Proceed) {
        startNewProgram();
    }
}

void MainWindow::New1Click() {
    if (hasUnsavedChanges() && saveQuestion() == Answer::Stop) {
        return;
    }
    startNewProgram();
}

void MainWindow::Open1Click() {
    // Opening replaces the document: unsaved work gets the same question as "Nowy".
    if (hasUnsavedChanges() && saveQuestion() == Answer::Stop) {
        return;
    }
    const QString name = m_prompts->chooseFile(*m_openDialog);
    if (name.isEmpty()) {
        return;
    }
    openProgram(name);
}

bool MainWindow::openProgramAsking(const QString& name) {
    if (hasUnsavedChanges() && saveQuestion() == Answer::Stop) {
        return false;
    }
    return openProgram(name);
}

bool MainWindow::openProgram(const QString& name) {
    // The content tells the forms apart, so a text under any name opens as text and a program
    // file named *.lad.txt as a program.
    const document::LadderFileOutcome opened = document::openLadder(m_document, toPath(name));
    if (!opened.loaded()) {
        m_prompts->tell(QMessageBox::Critical, appTitle(), fromUtf8(opened.message));
        return false;
    }
    m_openDialog->selectFile(name);
    setFileCaption(name);
    m_fileName = name;
    m_fileForm = opened.form;
    m_history.reset(m_document.status());
    refresh(document::refreshAfter(document::EditCommand::Load));
    historyChanged();
    if (opened.result != document::FileResult::Success) {
        m_prompts->tell(QMessageBox::Warning, appTitle(), fromUtf8(opened.message));
    }
    return true;
}

void MainWindow::Save1Click() {
    saveCurrent();
    showStatusWord();
}

void MainWindow::Quit1Click() {
    if (saveQuestion() == Answer::Stop) {
        return;
    }
    m_quitConfirmed = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    bool closing = m_quitConfirmed;
    if (!closing) {
        if (hasUnsavedChanges()) {
            closing = saveQuestion() == Answer::Proceed;
        } else {
            closing = m_prompts->ask(appTitle(),
                                     QString::fromUtf8("Czy na pewno chcesz wyjść z programu?"),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
        }
    }
    m_quitConfirmed = false;
    if (!closing) {
        event->ignore();
        return;
    }
    m_parametersWindow->hide();
    m_descriptionWindow->hide();
    m_help->hide();
    event->accept();
}

void MainWindow::SaveAsClick() {
    saveCommand();
    showStatusWord();
}

QString MainWindow::programTitle() const {
    return m_fileName.isEmpty() ? QStringLiteral("Program1") : QFileInfo(m_fileName).fileName();
}

LadderPrinter MainWindow::ladderPrinter() const {
    return LadderPrinter(
        m_document,
        {programTitle(), QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
         m_grid->gridLineWidth() > 0});
}

void MainWindow::PrintClick() {
    const LadderPrinter ladder = ladderPrinter();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(programTitle());
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, kPageMargins,
                                      QPageLayout::Millimeter));
    if (!m_prompts->choosePrinter(printer, ladder.pageCount(printer))) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool printed = ladder.print(printer, printer.fromPage(), printer.toPage());
    QApplication::restoreOverrideCursor();
    if (!printed) {
        m_prompts->tell(QMessageBox::Critical, appTitle(),
                        QString::fromUtf8("Nie można wydrukować programu."));
    }
}

void MainWindow::ExportPdfClick() {
    const QString name = chosenName(*m_prompts, *m_exportPdfDialog);
    if (name.isEmpty()) {
        return;
    }
    QPdfWriter writer(name);
    writer.setTitle(programTitle());
    writer.setCreator(appTitle());
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, kPageMargins,
                                     QPageLayout::Millimeter));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = ladderPrinter().print(writer);
    QApplication::restoreOverrideCursor();
    if (!written) {
        m_prompts->tell(QMessageBox::Critical, appTitle(),
                        QString::fromUtf8("Nie można zapisać pliku %1.").arg(name));
    }
}

void MainWindow::ExportImageClick() {
    const QString name = chosenName(*m_prompts, *m_exportImageDialog);
    if (name.isEmpty()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = ladderPrinter().writeImage(name);
    QApplication::restoreOverrideCursor();
    if (!written) {
        m_prompts->tell(QMessageBox::Critical, appTitle(),
                        QString::fromUtf8("Nie można zapisać pliku %1.").arg(name));
    }
}
