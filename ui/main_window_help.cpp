// ui/main_window_help.cpp — the main window's help commands: the About box, the help page and
// the example programs.
#include "ui/about_box.h"
#include "ui/app_text.h"
#include "ui/examples_folder.h"
#include "ui/help_window.h"
#include "ui/ladder_file_dialogs.h"
#include "ui/main_window.h"

#include <QFileDialog>

void MainWindow::AboutClick() {
    m_prompts->runModal(*m_aboutBox);
}

void MainWindow::HelpClick() {
    m_help->showContents();
}

void MainWindow::ExamplesClick() {
    const QString folder = examplesFolder();
    if (folder.isEmpty()) {
        m_prompts->tell(QMessageBox::Warning, ui::appTitle(),
                        QString::fromUtf8("Nie znaleziono folderu z przykładowymi programami."));
        return;
    }
    // The open command as "Otwórz" runs it, only starting in the examples' folder and showing
    // each example in both its forms.
    m_openDialog->setDirectory(folder);
    ui::showBothForms(*m_openDialog);
    Open1Click();
}
