// ui/main_window_commands.cpp — the main window's undo and redo, printing and export, the
// cross-reference window, and the keyboard shortcuts of its menu commands.
#include "ui/cross_reference_window.h"
#include "ui/description_window.h"
#include "ui/examples_folder.h"
#include "ui/ladder_grid.h"
#include "ui/ladder_printer.h"
#include "ui/main_window.h"
#include "ui/parameters_window.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>

namespace {

const QString kAppTitle = QStringLiteral("Wirtualon!");
// Paper of the PDF export and the print dialog's first choice.
const QMarginsF kPageMargins(12, 12, 12, 12);

QFileDialog* makeExportDialog(QWidget* parent, const char* name, const char* filter,
                              const char* suffix) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setWindowTitle(QStringLiteral("Eksportuj"));
    dialog->setNameFilter(QString::fromUtf8(filter));
    dialog->setDefaultSuffix(QString::fromLatin1(suffix));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Zapisz"));
    dialog->setLabelText(QFileDialog::Reject, QStringLiteral("Anuluj"));
    dialog->setLabelText(QFileDialog::FileName, QStringLiteral("Nazwa pliku:"));
    dialog->setLabelText(QFileDialog::FileType, QStringLiteral("Pliki typu:"));
    dialog->setLabelText(QFileDialog::LookIn, QStringLiteral("Szukaj w:"));
    return dialog;
}

// The name chosen in an export dialog, with the dialog's extension when it has none.
QString chosenName(UserPrompts& prompts, QFileDialog& dialog) {
    QString name = prompts.chooseFile(dialog);
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty()) {
        name += QLatin1Char('.') + dialog.defaultSuffix();
    }
    return name;
}

// Undo and redo belong to the entry line while it holds text of its own; once it is empty (as
// after an operand was entered), Ctrl+Z takes back the last edit of the program instead.
class EntryLineKeys final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            auto* line = qobject_cast<QLineEdit*>(watched);
            auto* key = static_cast<QKeyEvent*>(event);
            if (line != nullptr && line->text().isEmpty() &&
                (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))) {
                // Not accepted: the window's shortcut runs.
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void MainWindow::buildCommandExtras() {
    const auto action = [this](const char* name) {
        return findChild<QAction*>(QString::fromLatin1(name));
    };
    const auto item = [this](QMenu* menu, const char* name, const char* caption,
                             void (MainWindow::*handler)(), QList<QKeySequence> keys) {
        QAction* added = menu->addAction(QString::fromUtf8(caption));
        added->setObjectName(QString::fromLatin1(name));
        added->setShortcuts(keys);
        connect(added, &QAction::triggered, this, handler);
        return added;
    };

    // Keys of the commands that are already in the menus; the menus show them.
    const std::pair<const char*, QList<QKeySequence>> keys[] = {
        {"New1", {QKeySequence::New}},
        {"Open1", {QKeySequence::Open}},
        {"Save1", {QKeySequence::Save}},
        {"Kopiuj1", {QKeySequence::Copy}},
        {"Wytnij1", {QKeySequence::Cut}},
        {"Wstaw1", {QKeySequence::Paste}},
        {"Testujprogram1", {QKeySequence(Qt::Key_F7)}},
        {"Listainstrukcji1", {QKeySequence(Qt::Key_F8)}},
        {"UruchomSymulator1", {QKeySequence(Qt::Key_F9)}},
        {"DDE1", {QKeySequence(Qt::SHIFT | Qt::Key_F9)}},
        {"Pomoc2", {QKeySequence(Qt::Key_F1)}},
    };
    for (const auto& [name, sequence] : keys) {
        if (QAction* existing = action(name)) {
            existing->setShortcuts(sequence);
        }
    }

    QMenu* file = menuBar()->findChild<QMenu*>(QStringLiteral("Plik1"));
    file->addSeparator();
    item(file, "SaveAs1", "Zapisz jako...", &MainWindow::SaveAsClick,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    file->addSeparator();
    item(file, "Drukuj1", "Drukuj...", &MainWindow::PrintClick, {QKeySequence::Print});
    item(file, "EksportujdoPDF1", "Eksportuj do PDF...", &MainWindow::ExportPdfClick, {});
    item(file, "Eksportujobraz1", "Eksportuj obraz...", &MainWindow::ExportImageClick, {});

    QMenu* edit = menuBar()->findChild<QMenu*>(QStringLiteral("Edycja1"));
    edit->addSeparator();
    m_undoItem = item(edit, "Cofnij1", "Cofnij", &MainWindow::UndoClick, {QKeySequence::Undo});
    m_redoItem =
        item(edit, "Ponow1", "Ponów", &MainWindow::RedoClick,
             {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    item(edit, "Usunelement1", "Usuń element", &MainWindow::DeleteElementClick,
         {QKeySequence(Qt::Key_Delete)});

    QMenu* program = menuBar()->findChild<QMenu*>(QStringLiteral("Program1"));
    program->addSeparator();
    item(program, "Odsylacze1", "Odsyłacze", &MainWindow::CrossReferenceClick,
         {QKeySequence::Find});

    QMenu* help = menuBar()->findChild<QMenu*>(QStringLiteral("Pomoc1"));
    help->addSeparator();
    item(help, "Przyklady1", "Przykłady", &MainWindow::ExamplesClick, {});

    m_exportPdfDialog = makeExportDialog(this, "ExportPdfDialog", "Dokument PDF (*.pdf)", "pdf");
    m_exportImageDialog = makeExportDialog(this, "ExportImageDialog", "Obraz PNG (*.png)", "png");

    m_crossReference = new CrossReferenceWindow(m_document, this);
    connect(m_crossReference, &CrossReferenceWindow::placeActivated, this,
            [this](int row, int col) { m_grid->setCursorCell(row, col); });

    m_edit1->installEventFilter(new EntryLineKeys(this));
}

void MainWindow::historyChanged() {
    m_undoItem->setEnabled(m_history.canUndo());
    m_redoItem->setEnabled(m_history.canRedo());
    m_crossReference->documentChanged();
}

void MainWindow::afterHistoryStep(document::CellPosition cursor) {
    followRowCount();
    // The cursor goes where the edit was made; moving it there also shows that cell in the
    // parameters and description windows.
    m_grid->setCursorCell(cursor.row, cursor.col);
    showStatusWord();
    repaintGrid();
    historyChanged();
}

void MainWindow::UndoClick() {
    if (const std::optional<document::CellPosition> cursor = m_history.undo(m_document)) {
        afterHistoryStep(*cursor);
    }
}

void MainWindow::RedoClick() {
    if (const std::optional<document::CellPosition> cursor = m_history.redo(m_document)) {
        afterHistoryStep(*cursor);
    }
}

void MainWindow::DeleteElementClick() {
    gridRightClicked(m_grid->Row(), m_grid->Col());
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
        m_prompts->tell(QMessageBox::Critical, kAppTitle,
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
    writer.setCreator(kAppTitle);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, kPageMargins,
                                     QPageLayout::Millimeter));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = ladderPrinter().print(writer);
    QApplication::restoreOverrideCursor();
    if (!written) {
        m_prompts->tell(QMessageBox::Critical, kAppTitle,
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
        m_prompts->tell(QMessageBox::Critical, kAppTitle,
                        QString::fromUtf8("Nie można zapisać pliku %1.").arg(name));
    }
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

void MainWindow::ExamplesClick() {
    const QString folder = examplesFolder();
    if (folder.isEmpty()) {
        m_prompts->tell(QMessageBox::Warning, kAppTitle,
                        QString::fromUtf8("Nie znaleziono folderu z przykładowymi programami."));
        return;
    }
    // The open command as "Otwórz" runs it, only starting in the examples' folder.
    m_openDialog->setDirectory(folder);
    Open1Click();
}
