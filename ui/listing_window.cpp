// ui/listing_window.cpp — the listing window's views and buttons.
#include "ui/listing_window.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPlainTextEdit* makeMemo(const char* name, bool readOnly, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setReadOnly(readOnly);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    memo->setFont(font);
    return memo;
}

}  // namespace

ListingWindow::ListingWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Translator"));
    resize(420, 520);

    m_memo1 = makeMemo("Memo1", true, this);
    // The interpreter view accepts typing; nothing reads it back.
    m_memo2 = makeMemo("Memo2", false, this);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    m_ok = new QPushButton(QStringLiteral("Ok"), panel);
    m_ok->setObjectName(QStringLiteral("Button1"));
    m_otherForm = new QPushButton(QString::fromUtf8("Inna postać"), panel);
    m_otherForm->setObjectName(QStringLiteral("Button2"));
    m_start = new QPushButton(QStringLiteral("START!"), panel);
    m_start->setObjectName(QStringLiteral("Button3"));

    auto* buttons = new QHBoxLayout(panel);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_otherForm);
    buttons->addWidget(m_start);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_memo1, 1);
    layout->addWidget(m_memo2, 1);
    layout->addWidget(panel);

    // Lines are chosen by a double click in a view or by Enter on the line of its cursor.
    for (QPlainTextEdit* memo : {m_memo1, m_memo2}) {
        memo->installEventFilter(this);
        memo->viewport()->installEventFilter(this);
    }

    connect(m_ok, &QPushButton::clicked, this, &ListingWindow::Button1Click);
    connect(m_otherForm, &QPushButton::clicked, this, &ListingWindow::Button2Click);
    connect(m_start, &QPushButton::clicked, this, &ListingWindow::Button3Click);
}

void ListingWindow::setListings(const QString& instructionList, const QString& interpreterProgram) {
    if (m_analysis) {
        m_analysis = false;
        m_start->setEnabled(m_startEnabled);
        hide();
    }
    m_memo1->setPlainText(instructionList);
    m_memo2->setPlainText(interpreterProgram);
    m_cells1.clear();
    m_cells2.clear();
}

void ListingWindow::setLineCells(std::vector<int> instructionList,
                                 std::vector<int> interpreterProgram) {
    m_cells1 = std::move(instructionList);
    m_cells2 = std::move(interpreterProgram);
}

bool ListingWindow::chooseLine(const QPlainTextEdit* memo, int line) {
    const std::vector<int>& cells = memo == m_memo1 ? m_cells1 : m_cells2;
    if (line < 0 || line >= static_cast<int>(cells.size())) {
        return false;
    }
    const int cell = cells[static_cast<std::size_t>(line)];
    if (cell < 0) {
        return false;
    }
    emit cellRequested(cell / 10, cell % 10);
    return true;
}

bool ListingWindow::eventFilter(QObject* watched, QEvent* event) {
    for (QPlainTextEdit* memo : {m_memo1, m_memo2}) {
        if (event->type() == QEvent::MouseButtonDblClick && watched == memo->viewport()) {
            const auto* click = static_cast<QMouseEvent*>(event);
            if (click->button() == Qt::LeftButton) {
                chooseLine(memo,
                           memo->cursorForPosition(click->position().toPoint()).blockNumber());
            }
        } else if (event->type() == QEvent::KeyPress && watched == memo) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // Enter on a listing line never closes the window; on a line of a cell it shows
            // the cell, on any other it does nothing (the views of an analysis keep theirs).
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
                !(m_cells1.empty() && m_cells2.empty())) {
                chooseLine(memo, memo->textCursor().blockNumber());
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString ListingWindow::instructionListText() const {
    return m_memo1->toPlainText();
}

QString ListingWindow::interpreterProgramText() const {
    return m_memo2->toPlainText();
}

void ListingWindow::showAnalysis(const QString& trace, const QString& tables) {
    if (!m_analysis) {
        m_startEnabled = m_start->isEnabled();
        m_analysis = true;
    }
    m_start->setEnabled(false);
    m_memo1->setPlainText(trace);
    m_memo2->setPlainText(tables);
    m_cells1.clear();
    m_cells2.clear();
    // Shown again while still open, the window gets no show event: start on the trace here too.
    m_memo1->setVisible(true);
    m_memo2->setVisible(false);
    show();
    raise();
    activateWindow();
}

void ListingWindow::Button1Click() {
    if (m_analysis) {
        hide();
        return;
    }
    accept();
}

void ListingWindow::Button2Click() {
    const bool firstShown = !m_memo1->isHidden();
    m_memo1->setVisible(!firstShown);
    m_memo2->setVisible(firstShown);
}

void ListingWindow::Button3Click() {
    // An analysis has no program to run.
    if (m_analysis) {
        return;
    }
    // The window goes at once; the caller then hands the program to the simulator.
    m_startRequested = true;
    hide();
    accept();
}

void ListingWindow::showEvent(QShowEvent* event) {
    m_startRequested = false;
    m_memo1->setVisible(true);
    m_memo2->setVisible(false);
    QDialog::showEvent(event);
}
