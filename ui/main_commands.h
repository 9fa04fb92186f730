// ui/main_commands.h — the main window's commands as one table: each command's menu item and
// toolbar button, text, keys, hint, handler and when it is enabled. The window builds its menus,
// its main toolbar, the shortcuts and the enabling from this table and from nothing else.
#pragma once

#include "ui/toolbar_glyphs.h"

#include <QKeySequence>
#include <QList>

#include <span>
#include <string_view>

class MainWindow;

/// The menus of the main window's menu bar, left to right.
enum class MainMenu : int { None, File, Edit, View, Program, Help };

/// One menu of the menu bar.
struct MainMenuEntry {
    MainMenu menu;
    std::string_view objectName;  ///< "Plik1", ...
    std::string_view title;       ///< "Plik", ... (UTF-8)
};

/// When a command's menu item and button can be used.
enum class CommandEnabled : int {
    Always,
    WhileToolbarHidden,     ///< the button that shows an element toolbar
    WhileParametersHidden,  ///< the button that shows the parameters window
    WhileStripsShown,       ///< items "Ukryj wszystko" hides away
    WhileStripsHidden,      ///< "Odkryj"
    WhileUndoable,
    WhileRedoable,
};

/// What the check mark of a menu item follows; None for an item without one.
enum class CommandCheck : int { None, ToolbarShown, ParametersShown, GridLines };

/// Where a command stands in the menus.
struct MenuPlace {
    MainMenu menu = MainMenu::None;
    int position = -1;  ///< index among the menu's items, separators not counted
    bool separatorBefore = false;
};

/// The command's button on the main toolbar.
struct ToolbarPlace {
    std::string_view button;  ///< object name; empty for a command without a button
    std::string_view hint;    ///< "tooltip|status-bar text" (UTF-8)
    CommandGlyph glyph = CommandGlyph::New;
    int position = -1;  ///< index among the toolbar's buttons, left to right
    bool gapBefore = false;
};

/// One command of the main window.
struct MainCommand {
    using Handler = void (MainWindow::*)();

    std::string_view objectName;  ///< of the menu item; empty for a command only on the toolbar
    std::string_view text;        ///< the menu item's text (UTF-8)
    QList<QKeySequence> keys;     ///< the menu item's shortcuts, the first one shown
    MenuPlace menu;
    ToolbarPlace toolbar;
    /// Runs on the menu item and the button; null for the element toolbar switches.
    Handler handler = nullptr;
    /// 0..3 for the switches of the element toolbars in the order of the "Widok" menu: the button
    /// shows that toolbar, the menu item shows or hides it. -1 for every other command.
    int elementToolbar = -1;
    CommandEnabled enabled = CommandEnabled::Always;
    CommandCheck check = CommandCheck::None;
};

/// Returns the menus of the menu bar, left to right.
[[nodiscard]] std::span<const MainMenuEntry> mainMenus();
/// Returns every command of the main window.
[[nodiscard]] std::span<const MainCommand> mainCommands();
