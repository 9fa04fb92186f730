// ui/parameters_window.h — the parameters window: data type or time base, LEN value and register
// address of one remembered function-block cell.
#pragma once

#include <QWidget>

#include <array>
#include <functional>

namespace document {
class EditResult;
class LadderDocument;
}  // namespace document

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class ParametersWindow : public QWidget {
    Q_OBJECT
public:
    /// `edited` runs after every write with what it changed.
    ParametersWindow(document::LadderDocument& document,
                     std::function<void(const document::EditResult&)> edited,
                     QWidget* parent = nullptr);

    /// Remembers the cell and loads the controls from its block fields.
    void RefreshParameters(int row, int col);
    /// Returns the remembered row.
    int row() const { return m_row; }
    /// Returns the remembered column.
    int col() const { return m_col; }

private:
    void writeField(char tag, const QString& value);

    document::LadderDocument& m_document;
    std::function<void(const document::EditResult&)> m_edited;
    int m_row = 0;
    int m_col = 0;
    QGroupBox* m_dataTypes;
    QGroupBox* m_timeBases;
    std::array<QRadioButton*, 9> m_radios{};
    QLabel* m_lenLabel;
    QLineEdit* m_lenEdit;
    QLabel* m_registerLabel;
    QLineEdit* m_registerEdit;
};
