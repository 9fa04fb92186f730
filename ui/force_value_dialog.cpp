// ui/force_value_dialog.cpp — the value of a forced word: the operand, the type's range, OK and
// Cancel.
#include "ui/force_value_dialog.h"

#include "plc/force_table.h"
#include "ui/app_text.h"
#include "ui/user_prompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString rangeText(plc::DataType type) {
    const plc::ValueRange range = plc::valueRange(type);
    return QStringLiteral("od %1 do %2").arg(range.min).arg(range.max);
}

QString typeWord(plc::DataType type) {
    const std::string_view word = operands::dataTypeWord(type);
    return QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
}

}  // namespace

ForceValueDialog::ForceValueDialog(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_prompts(prompts) {
    setObjectName(QStringLiteral("ForceValueDialog"));
    setWindowTitle(QString::fromUtf8("Wymuś wartość"));
    // Wide enough for the longest label, a DINT register with both ends of its range.
    setFixedSize(420, 104);
    setModal(true);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setGeometry(12, 10, 396, 20);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("Edit1"));
    m_edit->setGeometry(12, 34, 396, 24);
    m_edit->setAlignment(Qt::AlignRight);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("Button1"));
    m_ok->setGeometry(238, 68, 82, 28);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Anuluj"), this);
    m_cancel->setObjectName(QStringLiteral("Button2"));
    m_cancel->setGeometry(326, 68, 82, 28);
    m_cancel->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &ForceValueDialog::Button1Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ForceValueDialog::prepare(const QString& name, plc::DataType type,
                               std::optional<std::int32_t> current) {
    m_name = name;
    m_type = type;
    m_value.reset();
    m_label->setText(
        QString::fromUtf8("Wartość %1 (%2) %3:").arg(name, typeWord(type), rangeText(type)));
    m_edit->setText(current ? QString::number(*current) : QString());
    m_edit->selectAll();
    m_edit->setFocus();
    setResult(QDialog::Rejected);
}

void ForceValueDialog::Button1Click() {
    const std::optional<std::int32_t> value =
        plc::parseForceValue(m_edit->text().toStdString(), m_type);
    if (!value) {
        m_prompts.tell(QMessageBox::Warning, ui::appTitle(),
                       QString::fromUtf8("Wartość %1 (%2) musi być liczbą całkowitą %3.")
                           .arg(m_name, typeWord(m_type), rangeText(m_type)));
        m_edit->selectAll();
        m_edit->setFocus();
        return;
    }
    m_value = value;
    accept();
}
