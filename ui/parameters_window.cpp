// ui/parameters_window.cpp — the parameters window's controls and the block fields they write.
#include "ui/parameters_window.h"

#include "document/block_description.h"
#include "document/cp1250.h"
#include "document/ladder_document.h"
#include "operands/operand_syntax.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <optional>
#include <span>
#include <string_view>

namespace {

struct RadioWord {
    const char* caption;
    std::string_view word;  // stored in the T field
};

// RadioButton1..6 are data types, RadioButton7..9 time bases.
constexpr std::size_t kDataTypeRadios = 6;
using operands::DataType;
using operands::dataTypeWord;
using operands::kTimeBaseWords;
constexpr std::array<RadioWord, 9> kRadios = {{
    {"bit", dataTypeWord(DataType::Bit)},
    {"bajt", dataTypeWord(DataType::Byte)},
    {"word", dataTypeWord(DataType::Word)},
    {"bcd4", dataTypeWord(DataType::Bcd4)},
    {"int", dataTypeWord(DataType::Int)},
    {"dint", dataTypeWord(DataType::Dint)},
    {"0,01s", kTimeBaseWords[0]},
    {"0,1s", kTimeBaseWords[1]},
    {"1s", kTimeBaseWords[2]},
}};

// The data types the block of a cell takes, as its description lists them.
std::span<const document::TypeForm> allowedDataTypes(std::int32_t code) {
    const std::optional<document::BlockKind> kind = document::blockKindOf(document::kindOf(code));
    if (!kind) {
        return {};
    }
    return document::describe(*kind).typing.forms;
}

void uncheck(QRadioButton* radio) {
    // An exclusive radio button refuses to be unchecked directly.
    radio->setAutoExclusive(false);
    radio->setChecked(false);
    radio->setAutoExclusive(true);
}

}  // namespace

ParametersWindow::ParametersWindow(document::LadderDocument& document,
                                   std::function<void(const document::EditResult&)> edited,
                                   QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_document(document),
      m_edited(std::move(edited)) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Parametry"));

    m_dataTypes = new QGroupBox(QStringLiteral("Typy danych"), this);
    m_dataTypes->setObjectName(QStringLiteral("GroupBox1"));
    m_timeBases = new QGroupBox(QString::fromUtf8("Stałe czasowe"), this);
    m_timeBases->setObjectName(QStringLiteral("GroupBox2"));
    auto* typeLayout = new QGridLayout(m_dataTypes);
    auto* timeLayout = new QVBoxLayout(m_timeBases);
    for (std::size_t i = 0; i < kRadios.size(); ++i) {
        const bool isType = i < kDataTypeRadios;
        auto* radio = new QRadioButton(QString::fromUtf8(kRadios[i].caption),
                                       isType ? m_dataTypes : m_timeBases);
        radio->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        if (isType) {
            typeLayout->addWidget(radio, static_cast<int>(i % 3), static_cast<int>(i / 3));
        } else {
            timeLayout->addWidget(radio);
        }
        const std::string_view word = kRadios[i].word;
        connect(radio, &QRadioButton::pressed, this,
                [this, word] { writeField('T', QString::fromLatin1(word.data(), word.size())); });
        m_radios[i] = radio;
    }

    m_lenLabel = new QLabel(QString::fromUtf8("Wartość LEN"), this);
    m_lenLabel->setObjectName(QStringLiteral("Label1"));
    m_lenEdit = new QLineEdit(QStringLiteral("00001"), this);
    m_lenEdit->setObjectName(QStringLiteral("Edit1"));
    m_registerLabel = new QLabel(QStringLiteral("Rejestr R"), this);
    m_registerLabel->setObjectName(QStringLiteral("Label2"));
    m_registerEdit = new QLineEdit(QStringLiteral("%R0001"), this);
    m_registerEdit->setObjectName(QStringLiteral("Edit2"));
    // Stored exactly as typed: the translator judges the text, not this window.
    connect(m_lenEdit, &QLineEdit::returnPressed, this,
            [this] { writeField('D', m_lenEdit->text()); });
    connect(m_registerEdit, &QLineEdit::returnPressed, this,
            [this] { writeField('G', m_registerEdit->text()); });

    auto* edits = new QGridLayout;
    edits->addWidget(m_lenLabel, 0, 0);
    edits->addWidget(m_lenEdit, 0, 1);
    edits->addWidget(m_registerLabel, 1, 0);
    edits->addWidget(m_registerEdit, 1, 1);

    auto* groups = new QHBoxLayout;
    groups->addWidget(m_dataTypes);
    groups->addWidget(m_timeBases);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(edits);

    RefreshParameters(0, 0);
}

void ParametersWindow::RefreshParameters(int row, int col) {
    m_row = row;
    m_col = col;
    m_dataTypes->setEnabled(false);
    m_timeBases->setEnabled(false);
    for (QRadioButton* radio : m_radios) {
        radio->setEnabled(false);
        uncheck(radio);
    }

    const std::string type = m_document.GetBlockField(row, col, 'T');
    if (!type.empty()) {
        const bool timeBase = operands::isTimeBaseWord(type) || type == operands::kTimePlaceholder;
        if (timeBase) {
            m_timeBases->setEnabled(true);
            for (std::size_t i = kDataTypeRadios; i < m_radios.size(); ++i) {
                m_radios[i]->setEnabled(true);
            }
        } else {
            m_dataTypes->setEnabled(true);
            for (const document::TypeForm& form : allowedDataTypes(m_document.CellCode(row, col))) {
                for (std::size_t i = 0; i < kDataTypeRadios; ++i) {
                    if (kRadios[i].word == operands::dataTypeWord(form.type)) {
                        m_radios[i]->setEnabled(true);
                    }
                }
            }
        }
        for (std::size_t i = 0; i < kRadios.size(); ++i) {
            if (kRadios[i].word == type) {
                m_radios[i]->setChecked(true);
            }
        }
    }

    const std::string len = m_document.GetBlockField(row, col, 'D');
    m_lenEdit->setEnabled(!len.empty());
    m_lenLabel->setEnabled(!len.empty());
    if (!len.empty()) {
        m_lenEdit->setText(QString::fromStdString(document::cp1250ToUtf8(len)));
    }

    // The template placeholder is not shown: the edit keeps a useful example address instead.
    const std::string reg = m_document.GetBlockField(row, col, 'G');
    m_registerEdit->setEnabled(!reg.empty());
    m_registerLabel->setEnabled(!reg.empty());
    if (!reg.empty() && reg != operands::kRegisterPlaceholder) {
        m_registerEdit->setText(QString::fromStdString(document::cp1250ToUtf8(reg)));
    }
}

void ParametersWindow::writeField(char tag, const QString& value) {
    const document::EditResult result =
        m_document.SetBlockField(m_row, m_col, tag, document::utf8ToCp1250(value.toStdString()));
    if (m_edited) {
        m_edited(result);
    }
}
