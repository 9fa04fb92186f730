// Test double for the windows' prompts: answers questions and file dialogs from a script and
// records every message, so tests can drive the main window without modal loops.
#pragma once

#include "ui/user_prompts.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QString>

#include <deque>
#include <functional>
#include <vector>

class ScriptedPrompts final : public UserPrompts {
public:
    struct Message {
        QMessageBox::Icon icon;
        QString title;
        QString text;
    };

    /// Answers for the next questions; a question without an answer gets Cancel (and No where
    /// Cancel is not offered) and is still recorded.
    std::deque<QMessageBox::StandardButton> answers;
    /// File names for the next file dialogs; an empty name cancels the dialog.
    std::deque<QString> fileNames;
    /// PDF files the next print dialogs send their pages to; none cancels the dialog.
    std::deque<QString> printFiles;
    /// Runs while a modal window is "open"; the window is shown meanwhile.
    std::function<void(QDialog&)> whileModal;
    /// Runs while a file dialog is "open", before its name is given (a filter being chosen).
    std::function<void(QFileDialog&)> whileChoosingFile;

    std::vector<Message> questions;
    std::vector<Message> messages;
    std::vector<QString> fileDialogs;  ///< object names of the dialogs run
    std::vector<QString> modals;       ///< object names of the windows run modally
    std::vector<int> printDialogs;     ///< the page counts the print dialogs were shown

    QMessageBox::StandardButton ask(const QString& title, const QString& text,
                                    QMessageBox::StandardButtons buttons) override {
        questions.push_back({QMessageBox::Question, title, text});
        if (answers.empty()) {
            return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::No;
        }
        const QMessageBox::StandardButton answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void tell(QMessageBox::Icon icon, const QString& title, const QString& text) override {
        messages.push_back({icon, title, text});
    }

    QString chooseFile(QFileDialog& dialog) override {
        fileDialogs.push_back(dialog.objectName());
        if (whileChoosingFile) {
            whileChoosingFile(dialog);
        }
        if (fileNames.empty()) {
            return {};
        }
        const QString name = fileNames.front();
        fileNames.pop_front();
        return name;
    }

    bool choosePrinter(QPrinter& printer, int pageCount) override {
        printDialogs.push_back(pageCount);
        if (printFiles.empty()) {
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printFiles.front());
        printFiles.pop_front();
        return true;
    }

    int runModal(QDialog& dialog) override {
        modals.push_back(dialog.objectName());
        dialog.show();
        if (whileModal) {
            whileModal(dialog);
        }
        const int result = dialog.result();
        dialog.hide();
        return result;
    }
};
