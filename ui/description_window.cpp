// ui/description_window.cpp — the description window's edits and its OK button.
#include "ui/description_window.h"

#include "document/cp1250.h"
#include "document/ladder_document.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// One description line: nine characters, one code-page byte each.
constexpr int kLineLength = 9;
constexpr std::array<char, 3> kLineTags = {'1', '2', '3'};

}  // namespace

DescriptionWindow::DescriptionWindow(document::LadderDocument& document,
                                     std::function<void(const document::EditResult&)> edited,
                                     QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_document(document),
      m_edited(std::move(edited)) {
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Opis"));

    auto* layout = new QGridLayout(this);
    auto* title = new QLabel(QString::fromUtf8("Wprowadź opis"), this);
    title->setObjectName(QStringLiteral("Label4"));
    layout->addWidget(title, 0, 0, 1, 2);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        auto* label = new QLabel(QStringLiteral("Linia%1").arg(row), this);
        label->setObjectName(QStringLiteral("Label%1").arg(row));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("Edit%1").arg(row));
        edit->setMaxLength(kLineLength);
        layout->addWidget(label, row, 0);
        layout->addWidget(edit, row, 1);
        m_lines[i] = edit;
    }
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("Button1"));
    layout->addWidget(m_ok, 4, 0, 1, 2, Qt::AlignCenter);
    connect(m_ok, &QPushButton::clicked, this, &DescriptionWindow::Button1Click);
    setFixedSize(sizeHint());
}

void DescriptionWindow::RefreshDescription(int row, int col) {
    m_row = row;
    m_col = col;
    const bool editable = !document::isBlockCell(m_document.CellCode(row, col));
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        m_lines[i]->setEnabled(editable);
        m_lines[i]->setText(QString::fromStdString(
            document::cp1250ToUtf8(m_document.GetField(row, col, kLineTags[i]))));
    }
    update();
}

void DescriptionWindow::Button1Click() {
    if (document::isBlockCell(m_document.CellCode(m_row, m_col))) {
        return;
    }
    document::LadderDocument::Recording edit(m_document);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const QString text = m_lines[i]->text();
        // An empty line leaves the stored one as it is: lines cannot be cleared here.
        if (!text.isEmpty()) {
            m_document.SetField(m_row, m_col, kLineTags[i],
                                document::utf8ToCp1250(text.toStdString()));
        }
    }
    const document::EditResult result = edit.finish();
    if (m_edited) {
        m_edited(result);
    }
}
