// ui/listing_window.h — the listing window: the translated program as an instruction list and as
// the interpreter's numbered words, one view at a time.
#pragma once

#include <QDialog>

#include <vector>

class QPlainTextEdit;
class QPushButton;

class ListingWindow : public QDialog {
    Q_OBJECT
public:
    explicit ListingWindow(QWidget* parent = nullptr);

    /// Replaces both views' contents: the instruction list and the interpreter program. Ends a
    /// shown analysis (the window is hidden so that it can be shown modally again).
    void setListings(const QString& instructionList, const QString& interpreterProgram);
    /// Shows a node and segment analysis without making the window modal: its trace in the first
    /// view, its tables in the second. Until the next listings "START!" is disabled and "Ok"
    /// only closes the window, as no translated program belongs to it.
    void showAnalysis(const QString& trace, const QString& tables);
    /// Returns true while the window holds an analysis rather than listings.
    bool showsAnalysis() const { return m_analysis; }
    /// Returns the instruction-list view's text.
    QString instructionListText() const;
    /// Returns the interpreter-program view's text.
    QString interpreterProgramText() const;

    void Button1Click();
    void Button2Click();
    void Button3Click();
    /// Returns true when the window was last closed with "START!".
    bool startRequested() const { return m_startRequested; }

    /// Ties every line of the two views to the cell it came from (row * 10 + column, -1 for a
    /// line of no cell): a double click or Enter on such a line asks for its cell. The next
    /// listings or analysis drop the ties.
    void setLineCells(std::vector<int> instructionList, std::vector<int> interpreterProgram);

signals:
    /// A line that came from a cell was chosen: the grid is to show that cell.
    void cellRequested(int row, int col);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Asks for the cell of line `line` of `memo`; returns false for a line of no cell.
    bool chooseLine(const QPlainTextEdit* memo, int line);

    QPlainTextEdit* m_memo1;
    QPlainTextEdit* m_memo2;
    QPushButton* m_ok;
    QPushButton* m_otherForm;
    QPushButton* m_start;
    bool m_startRequested = false;
    bool m_analysis = false;
    bool m_startEnabled = false;  ///< "START!"'s state before the analysis disabled it
    std::vector<int> m_cells1;    ///< per line of Memo1, its cell
    std::vector<int> m_cells2;    ///< per line of Memo2, its cell
};
