// The editor's main window as the window tests drive it: scripted prompts, controls found by
// their object names, menu commands and toolbar buttons, and cells written straight into the
// document.
#pragma once

#include "tests/ui/scripted_prompts.h"

#include "document/ladder_document.h"
#include "ui/main_window.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <string>

class LadderGrid;
class QAction;
class QLineEdit;

/// Returns the control named `name` inside `window`; a missing control ends the test program.
template <typename T = QWidget>
T* child(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control %s", qPrintable(name));
    }
    return found;
}

template <typename T = QWidget>
T* child(QWidget& window, const char* name) {
    return child<T>(window, QString::fromLatin1(name));
}

/// Returns the text that the label, line edit or button named `name` inside `window` shows.
QString shownText(QWidget& window, const char* name);

/// The main window with scripted prompts.
struct EditorFixture {
    ScriptedPrompts* prompts;
    std::unique_ptr<MainWindow> window;

    EditorFixture();

    document::LadderDocument& doc() { return window->ladderDocument(); }
    LadderGrid& grid() { return window->grid(); }
    /// Returns the window's child named `name`, or null.
    template <typename T>
    T* find(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    /// Returns the menu command named `name`, or null.
    QAction* action(const char* name);
    /// Runs the menu command named `name` (a missing one fails the test).
    void trigger(const char* name);
    /// Clicks the toolbar button named `name`.
    void click(const char* name);
    /// Returns the entry line: the tool windows own controls named "Edit1" too.
    QLineEdit* entryLine();
    /// Shows the window and waits until it is active.
    void showAndActivate();
    /// Makes the window active again and waits until it is.
    void activate();

    /// Writes `code` into a cell, with `operand` ("%I0001") as its text unless empty.
    void put(int row, int col, int code, const std::string& operand = {});
    /// Writes horizontal wires into the cells `from`..`to` of `row`.
    void wires(int row, int from, int to);
    /// Writes a rung on `row`: a contact on `input`, wires, a coil of `kind` on `output`.
    void rung(int row, const std::string& input, const std::string& output, int kind = 3);
    /// Writes a seal-in on `row` and the row below: (`start` or `output`) and not `stop`
    /// drives `output`.
    void sealIn(int row, const std::string& start, const std::string& stop,
                const std::string& output);
};
