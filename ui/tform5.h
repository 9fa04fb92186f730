// ui/tform5.h — the listing window: the translated program as an instruction list and as the
// interpreter's numbered words, one view at a time.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);

    /// Replaces both views' contents: the instruction list and the interpreter program.
    void setListings(const QString& instructionList, const QString& interpreterProgram);
    /// Returns the instruction-list view's text.
    QString instructionListText() const;
    /// Returns the interpreter-program view's text.
    QString interpreterProgramText() const;

    void Button2Click();
    void Button3Click();
    /// Returns true when the window was last closed with "START!".
    bool startRequested() const { return m_startRequested; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* m_memo1;
    QPlainTextEdit* m_memo2;
    QPushButton* m_ok;
    QPushButton* m_otherForm;
    QPushButton* m_start;
    bool m_startRequested = false;
};
