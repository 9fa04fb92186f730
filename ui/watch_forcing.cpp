// ui/watch_forcing.cpp — the watch table's forcing menu and the marks of forced operands.
#include "ui/watch_forcing.h"

#include "ui/app_text.h"
#include "ui/force_value_dialog.h"
#include "ui/user_prompts.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPainter>
#include <QTableWidget>

#include <utility>

namespace {

// The colours of forcing, the same on the watch table and on the boxes.
const QColor kForcedBackground(255, 205, 196);
const QColor kForcedInk(176, 0, 0);

using ui::fromUtf8;

// The letter F that stands left of a forced value (which keeps its right alignment).
const QIcon& forcedIcon() {
    static const QIcon icon = [] {
        QPixmap picture(12, 14);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(12);
        painter.setFont(font);
        painter.setPen(kForcedInk);
        painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("F"));
        return QIcon(picture);
    }();
    return icon;
}

plc::OperandRef bitOf(plc::AreaKind kind, int index) {
    return {kind, index / 8, index % 8, plc::DataType::Bit};
}

}  // namespace

WatchForcing::WatchForcing(QWidget& panel, QTableWidget& grid, const plc::WatchTable& watch,
                           const plc::Plc& plc, plc::ScanCycle& cycle, UserPrompts& prompts,
                           const std::array<QCheckBox*, 16>& inputs,
                           const std::array<QCheckBox*, 16>& outputs, std::function<void()> refresh)
    : QObject(&panel),
      m_panel(panel),
      m_grid(grid),
      m_watch(watch),
      m_plc(plc),
      m_cycle(cycle),
      m_prompts(prompts),
      m_inputs(inputs),
      m_outputs(outputs),
      m_refresh(std::move(refresh)) {
    m_menu = new QMenu(&m_grid);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    m_grid.setContextMenuPolicy(Qt::CustomContextMenu);
    m_grid.setIconSize(QSize(12, 14));
    connect(&m_grid, &QWidget::customContextMenuRequested, this,
            &WatchForcing::StringGrid1ContextPopup);
}

void WatchForcing::StringGrid1ContextPopup(const QPoint& pos) {
    const int row = m_grid.rowAt(pos.y());
    if (row < 0) {
        return;
    }
    menuForRow(row).exec(m_grid.viewport()->mapToGlobal(pos));
}

QMenu& WatchForcing::menuForRow(int row) {
    m_menu->clear();
    const plc::ForceTable& forces = m_cycle.forces();
    if (const std::optional<plc::OperandRef> ref = m_watch.rowOperand(row)) {
        const plc::OperandRef operand = *ref;
        if (operand.type == plc::DataType::Bit) {
            m_menu->addAction(QString::fromUtf8("Wymuś 1"), this,
                              [this, operand] { force(operand, 1); });
            m_menu->addAction(QString::fromUtf8("Wymuś 0"), this,
                              [this, operand] { force(operand, 0); });
        } else {
            m_menu->addAction(QString::fromUtf8("Wymuś wartość..."), this,
                              [this, operand] { forceValue(operand); });
        }
        QAction* release = m_menu->addAction(QStringLiteral("Zwolnij"), this, [this, operand] {
            m_cycle.release(operand);
            m_refresh();
        });
        release->setEnabled(forces.covers(operand));
        m_menu->addSeparator();
    }
    QAction* all = m_menu->addAction(QStringLiteral("Zwolnij wszystko"), this, [this] {
        m_cycle.releaseAll();
        m_refresh();
    });
    all->setEnabled(!forces.empty());
    return *m_menu;
}

void WatchForcing::force(const plc::OperandRef& ref, std::int32_t value) {
    switch (m_cycle.force(ref, value)) {
        case plc::ForceResult::Forced: m_refresh(); return;
        case plc::ForceResult::TableFull:
            m_prompts.tell(QMessageBox::Warning, ui::appTitle(),
                           QString::fromUtf8("Naraz można wymusić najwyżej %1 operandy. "
                                             "Zwolnij któryś z nich, aby wymusić %2.")
                               .arg(plc::kMaxForcedOperands)
                               .arg(fromUtf8(plc::operandName(ref))));
            return;
        // The menu offers only operands of the watch table, and the dialog only values in range.
        case plc::ForceResult::OutsideArea:
        case plc::ForceResult::ValueOutOfRange: return;
    }
}

void WatchForcing::forceValue(const plc::OperandRef& ref) {
    ForceValueDialog dialog(m_prompts, &m_panel);
    dialog.prepare(fromUtf8(plc::operandName(ref)), ref.type,
                   m_plc.readValue(ref.kind, ref.byteOffset, ref.bit, ref.type));
    if (m_prompts.runModal(dialog) != QDialog::Accepted || !dialog.value()) {
        return;
    }
    force(ref, *dialog.value());
}

void WatchForcing::showMarks() {
    const plc::ForceTable& forces = m_cycle.forces();
    for (int row = 0; row < plc::kWatchRows; ++row) {
        const std::optional<plc::OperandRef> ref = m_watch.rowOperand(row);
        const bool marked = ref && forces.covers(*ref);
        bool& shown = m_markedRows[static_cast<std::size_t>(row)];
        if (marked == shown) {
            continue;
        }
        shown = marked;
        for (int col = 0; col < 2; ++col) {
            m_grid.item(row, col)->setBackground(marked ? QBrush(kForcedBackground) : QBrush());
        }
        QTableWidgetItem* value = m_grid.item(row, 1);
        value->setIcon(marked ? forcedIcon() : QIcon());
        value->setToolTip(marked ? QString::fromUtf8("Wymuszony") : QString());
    }
    // A forced input may disagree with its box, and a forced output holds whatever the program
    // says: the boxes of both say that they are forced.
    for (std::size_t i = 0; i < 32; ++i) {
        const bool input = i < 16;
        QCheckBox* box = input ? m_inputs[i] : m_outputs[i - 16];
        const plc::OperandRef ref =
            bitOf(input ? plc::AreaKind::I : plc::AreaKind::Q, static_cast<int>(i % 16));
        const bool marked = forces.covers(ref);
        if (marked == m_markedBoxes[i]) {
            continue;
        }
        m_markedBoxes[i] = marked;
        box->setStyleSheet(
            marked ? QStringLiteral("QCheckBox { color: %1; }").arg(kForcedInk.name()) : QString());
        box->setToolTip(marked ? QString::fromUtf8("Wymuszony") : QString());
    }
}
