// ui/user_prompts.h — everything a window asks of the user outside its own controls: questions,
// messages, file dialogs and modal runs. Tests replace the Qt implementation with scripted answers.
#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QFileDialog;
class QPrinter;

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    /// Asks a question with the given buttons; returns the button the user chose.
    virtual QMessageBox::StandardButton ask(const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons) = 0;
    /// Shows a message with one OK button and waits until it is closed.
    virtual void tell(QMessageBox::Icon icon, const QString& title, const QString& text) = 0;
    /// Runs a file dialog; returns the confirmed file name, or an empty string when cancelled.
    virtual QString chooseFile(QFileDialog& dialog) = 0;
    /// Shows a window modally and waits; returns its result code.
    virtual int runModal(QDialog& dialog) = 0;
    /// Lets the user set up `printer` for a document of `pageCount` pages (the print dialog);
    /// returns false when printing was cancelled.
    virtual bool choosePrinter(QPrinter& printer, int pageCount) = 0;
};

/// The real prompts: task-modal message boxes without an owner, with Polish button captions.
class QtUserPrompts final : public UserPrompts {
public:
    QMessageBox::StandardButton ask(const QString& title, const QString& text,
                                    QMessageBox::StandardButtons buttons) override;
    void tell(QMessageBox::Icon icon, const QString& title, const QString& text) override;
    QString chooseFile(QFileDialog& dialog) override;
    int runModal(QDialog& dialog) override;
    bool choosePrinter(QPrinter& printer, int pageCount) override;
};
