// ui/description_window.h — the description window: three short description lines of one remembered
// cell.
#pragma once

#include <QWidget>

#include <array>
#include <functional>

namespace document {
class EditResult;
class LadderDocument;
}  // namespace document

class QLineEdit;
class QPushButton;

class DescriptionWindow : public QWidget {
    Q_OBJECT
public:
    /// `edited` runs after "OK" with what it changed.
    DescriptionWindow(document::LadderDocument& document,
                      std::function<void(const document::EditResult&)> edited,
                      QWidget* parent = nullptr);

    /// Remembers the cell and shows its description lines.
    void RefreshDescription(int row, int col);
    /// Writes the non-empty lines into the remembered cell (not into block cells).
    void Button1Click();
    /// Returns the remembered row.
    int row() const { return m_row; }
    /// Returns the remembered column.
    int col() const { return m_col; }

private:
    document::LadderDocument& m_document;
    std::function<void(const document::EditResult&)> m_edited;
    int m_row = 0;
    int m_col = 0;
    std::array<QLineEdit*, 3> m_lines{};
    QPushButton* m_ok;
};
