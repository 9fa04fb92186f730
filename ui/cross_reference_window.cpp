// ui/cross_reference_window.cpp — the list of operands and places, its marks and its search.
#include "ui/cross_reference_window.h"

#include "document/cell_code.h"
#include "document/cp1250.h"
#include "document/element_catalogue.h"
#include "document/ladder_document.h"
#include "ui/app_text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <string>

namespace {

enum Column { kOperandColumn, kPlaceColumn, kUseColumn, kAccessColumn, kMarksColumn };
constexpr int kPlaceRole = Qt::UserRole;

const QColor kMarkColour(176, 0, 0);

using ui::fromUtf8;

// Polish counts: 1 miejsce, 2..4 miejsca (not 12..14), otherwise miejsc.
QString counted(qsizetype n, const char* one, const char* few, const char* many) {
    const qsizetype tens = n % 100;
    const char* word = many;
    if (n == 1) {
        word = one;
    } else if (n % 10 >= 2 && n % 10 <= 4 && (tens < 12 || tens > 14)) {
        word = few;
    }
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(word));
}

QString placeText(document::CellPosition place) {
    return QStringLiteral("w%1 k%2").arg(place.row + 1).arg(place.col + 1);
}

// The coil's symbol as its button's hint shows it: -( )-, -(S)-, ...
QString coilSymbol(std::int32_t code) {
    const document::ElementEntry* entry = document::findElement(document::kindOf(code));
    if (entry == nullptr) {
        return {};
    }
    const std::string_view tooltip = document::hintTooltip(entry->hint);
    const std::size_t end = tooltip.find(")-");
    return end == std::string_view::npos ? QString() : fromUtf8(tooltip.substr(0, end + 2));
}

QString useText(const document::OperandUse& use) {
    using document::OperandRole;
    const QString block =
        QStringLiteral("blok %1 (%2)").arg(fromUtf8(use.blockName), placeText(use.block));
    switch (use.role) {
        case OperandRole::Contact:
            return document::kindOf(use.code) == document::ElementKind::ContactNC
                       ? QString::fromUtf8("styk zamknięty")
                       : QStringLiteral("styk otwarty");
        case OperandRole::Coil: return QStringLiteral("cewka ") + coilSymbol(use.code);
        case OperandRole::BlockInput:
            return block + QString::fromUtf8(", wejście ") + fromUtf8(use.label);
        case OperandRole::BlockOutput:
            return block + QString::fromUtf8(", wyjście ") + fromUtf8(use.label);
        case OperandRole::BlockRegister: return block + QStringLiteral(", rejestr");
    }
    return {};
}

QString accessText(document::OperandAccess access) {
    switch (access) {
        case document::OperandAccess::Read: return QStringLiteral("odczyt");
        case document::OperandAccess::Write: return QStringLiteral("zapis");
        case document::OperandAccess::ReadWrite: return QStringLiteral("odczyt i zapis");
    }
    return {};
}

QString marksText(const document::OperandReference& operand) {
    QStringList marks;
    if (operand.multipleCoils) {
        marks << QString::fromUtf8("podwójna cewka");
    }
    if (operand.neverRead) {
        marks << QString::fromUtf8("nigdzie nie odczytywany");
    }
    return marks.join(QStringLiteral(", "));
}

}  // namespace

CrossReferenceWindow::CrossReferenceWindow(const document::LadderDocument& document,
                                           QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_document(document),
      m_reference(std::make_unique<document::CrossReference>(document)) {
    setObjectName(QStringLiteral("CrossReferenceWindow"));
    setWindowTitle(QString::fromUtf8("Odsyłacze"));

    auto* searchLabel = new QLabel(QStringLiteral("&Szukaj:"), this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("SearchEdit"));
    m_search->setPlaceholderText(QStringLiteral("operand, np. %M12"));
    m_search->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_search);
    connect(m_search, &QLineEdit::textChanged, this, &CrossReferenceWindow::applyFilter);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("ReferenceTree"));
    m_tree->setHeaderLabels({QStringLiteral("Operand"), QStringLiteral("Miejsce"),
                             QString::fromUtf8("Użycie"), QString::fromUtf8("Dostęp"),
                             QStringLiteral("Uwagi")});
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->header()->setStretchLastSection(true);
    connect(m_tree, &QTreeWidget::itemActivated, this, &CrossReferenceWindow::itemActivated);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("SummaryLabel"));

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_summary);

    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        m_search->setFocus();
        m_search->selectAll();
    });
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::hide);

    resize(570, 440);
}

CrossReferenceWindow::~CrossReferenceWindow() = default;

void CrossReferenceWindow::documentChanged() {
    m_stale = true;
    if (isVisible()) {
        rebuild();
    }
}

void CrossReferenceWindow::showAndSearch() {
    show();
    raise();
    activateWindow();
    m_search->setFocus();
    m_search->selectAll();
}

void CrossReferenceWindow::showEvent(QShowEvent* event) {
    if (m_stale) {
        rebuild();
    }
    QWidget::showEvent(event);
}

void CrossReferenceWindow::rebuild() {
    m_stale = false;
    m_reference = std::make_unique<document::CrossReference>(m_document);
    // The open branches and the chosen operand stay as they were while the user edits on.
    QString current;
    if (const QTreeWidgetItem* item = m_tree->currentItem()) {
        current = (item->parent() ? item->parent() : item)->text(kOperandColumn);
    }
    m_tree->setUpdatesEnabled(false);
    m_tree->clear();
    QList<QTreeWidgetItem*> items;
    QFont markFont = m_tree->font();
    markFont.setBold(true);
    for (const document::OperandReference& operand : m_reference->operands()) {
        auto* top = new QTreeWidgetItem;
        top->setText(kOperandColumn, fromUtf8(operand.operand));
        top->setText(kPlaceColumn, counted(static_cast<qsizetype>(operand.uses.size()), "miejsce",
                                           "miejsca", "miejsc"));
        top->setData(kOperandColumn, kPlaceRole,
                     QPoint(operand.uses.front().place.col, operand.uses.front().place.row));
        const QString marks = marksText(operand);
        if (!marks.isEmpty()) {
            top->setText(kMarksColumn, marks);
            top->setForeground(kMarksColumn, kMarkColour);
            top->setFont(kMarksColumn, markFont);
        }
        for (const document::OperandUse& use : operand.uses) {
            auto* child = new QTreeWidgetItem(top);
            child->setText(kPlaceColumn, placeText(use.place));
            child->setText(kUseColumn, useText(use));
            child->setText(kAccessColumn, accessText(use.access));
            child->setData(kOperandColumn, kPlaceRole, QPoint(use.place.col, use.place.row));
        }
        items << top;
    }
    m_tree->addTopLevelItems(items);
    m_tree->expandAll();
    for (int column = 0; column < kMarksColumn; ++column) {
        m_tree->resizeColumnToContents(column);
    }
    for (QTreeWidgetItem* item : items) {
        if (item->text(kOperandColumn) == current) {
            m_tree->setCurrentItem(item);
        }
    }
    m_tree->setUpdatesEnabled(true);
    applyFilter();
}

void CrossReferenceWindow::applyFilter() {
    const std::string query = document::utf8ToCp1250(m_search->text().toStdString());
    int shown = 0;
    int places = 0;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_tree->topLevelItem(i);
        const bool match = document::CrossReference::matches(
            document::utf8ToCp1250(item->text(kOperandColumn).toStdString()), query);
        item->setHidden(!match);
        if (match) {
            ++shown;
            places += item->childCount();
        }
    }
    const int total = m_tree->topLevelItemCount();
    QString summary = counted(shown, "operand", "operandy", "operandów") + QStringLiteral(", ") +
                      counted(places, "miejsce", "miejsca", "miejsc");
    if (shown != total) {
        summary += QStringLiteral(" (z %1)").arg(total);
    }
    m_summary->setText(summary);
}

void CrossReferenceWindow::itemActivated(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    const QPoint place = item->data(kOperandColumn, kPlaceRole).toPoint();
    emit placeActivated(place.y(), place.x());
}
