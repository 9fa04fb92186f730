// ui/main_window.h — the main window: menus, toolbars, operand entry line, ladder grid and status
// bar; it owns the document and turns every command into one document operation and a refresh.
// The window is built and wired in main_window.cpp from the command table (ui/main_commands.h);
// the commands' handlers live by theme in main_window_file.cpp, main_window_editing.cpp,
// main_window_view.cpp, main_window_program.cpp and main_window_help.cpp.
#pragma once

#include "document/element_catalogue.h"
#include "document/ladder_document.h"
#include "document/ladder_file.h"
#include "document/undo_history.h"
#include "plc/program.h"
#include "translator/source_map.h"
#include "translator/translation_warning.h"
#include "ui/user_prompts.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <vector>

class AboutBox;
class CheckReportWindow;
class CrossReferenceWindow;
class DescriptionWindow;
class HelpWindow;
class LadderGrid;
class LadderPrinter;
class LinkDialog;
class ListingWindow;
class LiveMonitor;
class ParametersWindow;
class SimulatorPanel;
class TranslationProgressWindow;
struct MainCommand;
class QAction;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    /// Builds the window and its tool windows; `prompts` answers every question (the Qt message
    /// boxes and file dialogs when null).
    explicit MainWindow(std::unique_ptr<UserPrompts> prompts = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Returns the one document.
    document::LadderDocument& ladderDocument() { return m_document; }
    /// Returns the grid.
    LadderGrid& grid() { return *m_grid; }
    /// Returns the parameters window.
    ParametersWindow& parametersWindow() { return *m_parametersWindow; }
    /// Returns the description window.
    DescriptionWindow& descriptionWindow() { return *m_descriptionWindow; }
    /// Returns the listing window.
    ListingWindow& listingWindow() { return *m_listingWindow; }
    /// Returns the translation progress window.
    TranslationProgressWindow& progressWindow() { return *m_progressWindow; }
    /// Returns the simulator panel.
    SimulatorPanel& simulatorPanel() { return *m_simulatorPanel; }
    /// Returns the link dialog.
    LinkDialog& linkDialog() { return *m_linkDialog; }
    /// Returns the About box.
    AboutBox& aboutBox() { return *m_aboutBox; }
    /// Returns the help viewer.
    HelpWindow& helpWindow() { return *m_help; }
    /// Returns the live view of a running simulation on the grid.
    LiveMonitor& liveMonitor() { return *m_live; }
    /// Returns the open dialog (it keeps the last confirmed name).
    QFileDialog& openDialog() { return *m_openDialog; }
    /// Returns the save dialog (it keeps the last confirmed name).
    QFileDialog& saveDialog() { return *m_saveDialog; }
    /// Returns the text of status panel 0 to 3.
    QString statusPanelText(int panel) const;
    /// Returns the interpreter program of the last successful translation that no command has taken
    /// over or freed yet (empty otherwise).
    const plc::Program& programStore() const { return m_programStore; }

    // File commands (main_window_file.cpp).
    void SpeedButton1Click();  ///< "Nowy" on the toolbar: always the save question first
    void New1Click();          ///< "Nowy" in the menu: the save question only with unsaved changes
    void Open1Click();
    /// Loads the program named (the editor's command-line argument, or the open dialog's
    /// choice), a program file or a ladder in text as its content says: a file that cannot be
    /// read gets its message and leaves the document as it was. Returns true when the program
    /// was loaded.
    bool openProgram(const QString& name);
    /// Opens the program named as "Otwórz" does once its dialog is confirmed (a file handed
    /// over by a file manager): unsaved work gets the save question first, and Cancel there
    /// keeps everything. Returns true when the program was loaded.
    bool openProgramAsking(const QString& name);
    void Save1Click();
    void SaveAsClick();  ///< "Zapisz jako...": save under a name chosen in the dialog
    void Quit1Click();
    void PrintClick();        ///< "Drukuj...": the print dialog, then the pages
    void ExportPdfClick();    ///< "Eksportuj do PDF...": the pages into a PDF file
    void ExportImageClick();  ///< "Eksportuj obraz...": the whole ladder as one PNG

    // Editing (main_window_editing.cpp).
    /// Places the element of one catalogue entry at the cursor and runs its refresh.
    void placeElement(const document::ElementEntry& entry);
    void CutClick();
    void CopyClick();
    void PasteClick();
    void InsertRowClick();
    void DeleteRowClick();
    void UndoClick();           ///< "Cofnij": takes the latest edit back
    void RedoClick();           ///< "Ponów": makes the latest undone edit again
    void DeleteElementClick();  ///< Delete: the element at the cursor, as the right button does
    /// Moves the cursor to the next contact or coil after it and empties the entry line.
    void NextOperandCell();

    // The view (main_window_view.cpp).
    void GridLinesClick();
    void HideAllClick();
    void FullScreenClick();
    void ShowMainStripsClick();
    void ParametersButtonClick();
    void ParametersMenuClick();

    // Checking, listing and simulation (main_window_program.cpp).
    /// Translates the document; returns 0 when the listings and the program store are filled, 1
    /// when an error has been reported.
    int TranslateProgram();
    /// Moves the cursor to the offending cell and shows the numbered message.
    void ReportTranslationError(int code, int row, int col);
    /// Translates and says "Program poprawny" when the program is sound, in the check window
    /// with its remarks when it has any.
    void CheckProgram();
    /// Translates and shows the listing window; its "START!" runs the simulator.
    void ShowInstructionList();
    /// Translates and runs the program in the simulator panel.
    void RunSimulator();
    /// Translates, asks for the link in its dialog and runs the program with it.
    void RunSimulatorWithDde();
    /// Shows the node and segment analysis of the first rung in the listing window, not modally.
    void SpeedButton16Click();
    void CrossReferenceClick();  ///< "Odsyłacze": the cross-reference window, search box ready

    // Help (main_window_help.cpp).
    void AboutClick();
    void HelpClick();
    void ExamplesClick();  ///< "Przykłady": the open dialog in the example programs' folder

    /// Returns the undo history of the present program.
    const document::UndoHistory& history() const { return m_history; }
    /// Returns the cross-reference window.
    CrossReferenceWindow& crossReferenceWindow() { return *m_crossReference; }
    /// Returns the file dialog of "Eksportuj do PDF...".
    QFileDialog& exportPdfDialog() { return *m_exportPdfDialog; }
    /// Returns the file dialog of "Eksportuj obraz...".
    QFileDialog& exportImageDialog() { return *m_exportImageDialog; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Answer { Proceed, Stop };

    // Construction (main_window.cpp).
    void buildMenus();
    void buildMainToolbar();
    void buildElementToolbars();
    QToolButton* addButton(QFrame* panel, const QString& name, std::string_view hint,
                           const QIcon& icon);
    QFrame* makeStrip(const QString& name, int height);
    /// Shows why the trace file could not be written, when it could not, in the status bar.
    void showTraceNote(const std::string& problem);
    /// Enables the menu items and buttons of the command table, and sets the check marks, as
    /// their rows say for the window's present state.
    void updateCommandStates();
    bool commandEnabled(const MainCommand& command) const;
    bool commandChecked(const MainCommand& command) const;

    // Refreshes after a command (main_window.cpp).
    /// Runs one of the refreshes after a command.
    void refresh(document::Refresh kind);
    /// Makes the grid's row count follow the document.
    void followRowCount();
    void showStatusWord();
    void repaintGrid();
    /// Sets the document's status from what an edit changed (markEdited), records the edit in
    /// the undo history and shows the status.
    void noteEdit(document::EditResult edit);
    void updateCursorPanels();

    // Files (main_window_file.cpp).
    /// The save question; Proceed when the program was saved or may be discarded.
    Answer saveQuestion();
    /// Runs the save dialog and saves; returns true when the program was written.
    bool saveCommand();
    /// Saves under the program's name, or through the save dialog when it has none yet.
    bool saveCurrent();
    /// Writes the program to `name` in `form`; returns true when it was written.
    bool saveTo(const QString& name, document::LadderForm form);
    /// Makes a new document, the caption "Wirtualon! - Program1" and refreshes.
    void startNewProgram();
    void setFileCaption(const QString& fileName);
    bool hasUnsavedChanges() const;
    /// Returns what the header of printed pages shows.
    QString programTitle() const;
    /// Returns the print layout of the present program.
    LadderPrinter ladderPrinter() const;

    // Editing (main_window_editing.cpp).
    void gridCellSelected(int row, int col);
    void gridRightClicked(int row, int col);
    void gridDoubleClicked(int row, int col);
    void gridCharacterTyped(const QString& text);
    void entryLineReturn();
    /// Lets Ctrl+Z and Ctrl+Y reach the program's history once the entry line is empty.
    void watchEntryLineKeys();
    /// Brings the grid, cursor, status and tool windows to the state after an undo or redo.
    void afterHistoryStep(document::CellPosition cursor);
    /// Follows a change of the history: the undo and redo items, the cross-reference.
    void historyChanged();

    // The view (main_window_view.cpp).
    /// Shows or hides element toolbar `index` (in the order of the "Widok" menu).
    void setElementToolbarShown(int index, bool shown);
    void placeToolWindow(QWidget& tool);
    void hideStrips();

    document::LadderDocument m_document;
    std::unique_ptr<UserPrompts> m_prompts;
    plc::Program m_programStore;
    translator::SourceMap m_sourceMap;  // of the program in the store
    bool m_quitConfirmed = false;
    document::UndoHistory m_history;
    QString m_fileName;  // the program's file; empty until it is opened or saved
    document::LadderForm m_fileForm = document::LadderForm::ProgramFile;  // m_fileName's form

    LadderGrid* m_grid = nullptr;
    QFrame* m_panel1 = nullptr;
    QFrame* m_panel7 = nullptr;
    QLineEdit* m_edit1 = nullptr;
    std::array<QLabel*, 4> m_statusPanels{};
    QString m_traceNote;  ///< why the last trace could not be written; empty when it was

    // Element toolbars in the order of the "Widok" menu: Panel6, Panel5, Panel3, Panel4.
    std::array<QFrame*, 4> m_elementToolbars{};
    bool m_stripsHidden = false;  // "Ukryj wszystko" or "Pełny ekran" until "Odkryj"

    // The menu item and the button of each row of the command table, null where it has none.
    std::vector<QAction*> m_commandItems;
    std::vector<QToolButton*> m_commandButtons;

    QFileDialog* m_openDialog = nullptr;
    QFileDialog* m_saveDialog = nullptr;
    QFileDialog* m_exportPdfDialog = nullptr;
    QFileDialog* m_exportImageDialog = nullptr;
    ParametersWindow* m_parametersWindow = nullptr;
    AboutBox* m_aboutBox = nullptr;
    ListingWindow* m_listingWindow = nullptr;
    DescriptionWindow* m_descriptionWindow = nullptr;
    TranslationProgressWindow* m_progressWindow = nullptr;
    SimulatorPanel* m_simulatorPanel = nullptr;
    LinkDialog* m_linkDialog = nullptr;
    HelpWindow* m_help = nullptr;
    CrossReferenceWindow* m_crossReference = nullptr;
    LiveMonitor* m_live = nullptr;
    // The remarks of the last translation, and the window a check shows them in (made when
    // first needed).
    std::vector<translator::TranslationWarning> m_warnings;
    CheckReportWindow* m_checkReport = nullptr;
};
