// ui/user_prompts.cpp — the Qt message boxes, file dialogs and modal loops behind UserPrompts.
#include "ui/user_prompts.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {

// Qt ships English button captions; the program speaks Polish everywhere.
void polishButtons(QMessageBox& box) {
    const std::pair<QMessageBox::StandardButton, const char*> captions[] = {
        {QMessageBox::Yes, "Tak"},
        {QMessageBox::No, "Nie"},
        {QMessageBox::Cancel, "Anuluj"},
        {QMessageBox::Ok, "OK"},
    };
    for (const auto& [button, caption] : captions) {
        if (QAbstractButton* control = box.button(button)) {
            control->setText(QString::fromUtf8(caption));
        }
    }
}

}  // namespace

QMessageBox::StandardButton QtUserPrompts::ask(const QString& title, const QString& text,
                                               QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::Question, title, text, buttons);
    box.setWindowModality(Qt::ApplicationModal);
    polishButtons(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void QtUserPrompts::tell(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    polishButtons(box);
    box.exec();
}

QString QtUserPrompts::chooseFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}

int QtUserPrompts::runModal(QDialog& dialog) {
    return dialog.exec();
}

bool QtUserPrompts::choosePrinter(QPrinter& printer, int pageCount) {
    QPrintDialog dialog(&printer);
    dialog.setWindowTitle(QStringLiteral("Drukuj"));
    dialog.setMinMax(1, pageCount);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    return dialog.exec() == QDialog::Accepted;
}
