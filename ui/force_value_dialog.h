// ui/force_value_dialog.h — the small window in which a value is typed for a forced word: it
// names the operand and its type's range and refuses a value outside that range.
#pragma once

#include "plc/plc.h"

#include <QDialog>

#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class UserPrompts;

class ForceValueDialog : public QDialog {
    Q_OBJECT
public:
    /// The dialog; `prompts` tells the user why a value was refused.
    explicit ForceValueDialog(UserPrompts& prompts, QWidget* parent = nullptr);

    /// Asks for a value of `type` for the operand `name` (%R0001), offering `current`.
    void prepare(const QString& name, plc::DataType type, std::optional<std::int32_t> current);
    /// The value taken by OK; nothing before OK or after Cancel.
    [[nodiscard]] std::optional<std::int32_t> value() const { return m_value; }

    void Button1Click();  ///< OK: takes a value in range, or says why not and stays open

private:
    UserPrompts& m_prompts;
    QString m_name;
    plc::DataType m_type = plc::DataType::Int;
    std::optional<std::int32_t> m_value;
    QLabel* m_label = nullptr;        // Label1
    QLineEdit* m_edit = nullptr;      // Edit1
    QPushButton* m_ok = nullptr;      // Button1
    QPushButton* m_cancel = nullptr;  // Button2
};
