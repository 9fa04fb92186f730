// ui/simulator_panel_cycle.cpp — the simulator panel at work: the scan cycle's ticks, inputs,
// outputs and displays, the watch table, and the analogue input boxes.
#include "plc/decimal_text.h"
#include "ui/app_text.h"
#include "ui/simulator_panel.h"
#include "ui/user_prompts.h"
#include "ui/watch_forcing.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>

#include <algorithm>

using ui::fromUtf8;

// ---------------------------------------------------------------------------------------------
// The scan cycle

void SimulatorPanel::Timer1Timer() {
    // A message box shown from a tick runs its own event loop; the timer must not start a
    // second tick inside it.
    if (m_inTick) {
        return;
    }
    m_inTick = true;
    m_cycle.tick();
    reportFault();
    m_inTick = false;
}

void SimulatorPanel::Button3Click() {
    if (m_inTick) {
        return;
    }
    m_inTick = true;
    m_cycle.nextMode();
    reportFault();
    m_inTick = false;
}

void SimulatorPanel::Button4Click() {
    if (m_inTick) {
        return;
    }
    m_inTick = true;
    m_cycle.runSingleCycle();
    reportFault();
    m_inTick = false;
}

void SimulatorPanel::reportFault() {
    if (!m_faultPending) {
        return;
    }
    m_faultPending = false;
    m_prompts.tell(QMessageBox::Critical, ui::appTitle(),
                   QString::fromUtf8("Cykl programu nie zakończył się w dozwolonym czasie "
                                     "(na przykład skok JUMP wstecz do etykiety LABEL) i "
                                     "został przerwany przez układ watchdog.\n"
                                     "Sterownik został zatrzymany."));
}

void SimulatorPanel::readInputs(plc::Plc& plc) {
    const iolink::PanelInputs inputs = panelInputs();
    plc.setInputWord(inputs.discrete);
    plc.setAnalogInputs(inputs.analog[0], inputs.analog[1]);
}

iolink::PanelInputs SimulatorPanel::panelInputs() const {
    iolink::PanelInputs inputs;
    for (std::size_t i = 0; i < m_inputs.size(); ++i) {
        if (m_inputs[i]->isChecked()) {
            inputs.discrete = static_cast<std::uint16_t>(inputs.discrete | (1u << i));
        }
    }
    for (std::size_t i = 0; i < 2; ++i) {
        inputs.analog[i] = static_cast<std::int16_t>(m_trackBars[i]->value());
    }
    return inputs;
}

void SimulatorPanel::showPanelInputs(const iolink::PanelInputs& inputs) {
    // As if the user had clicked and dragged: the boxes beside the track bars follow them.
    for (std::size_t i = 0; i < m_inputs.size(); ++i) {
        m_inputs[i]->setChecked(((inputs.discrete >> i) & 1u) != 0);
    }
    for (std::size_t i = 0; i < 2; ++i) {
        m_trackBars[i]->setValue(inputs.analog[i]);
    }
}

void SimulatorPanel::writeOutputs(const plc::Plc& plc) {
    // showOutputs: only what changed since the last tick is touched.
    const std::uint16_t word = plc.outputWord();
    if (m_shownOutputs != word) {
        for (std::size_t i = 0; i < m_outputs.size(); ++i) {
            m_outputs[i]->setChecked((word >> i) & 1u);
        }
        m_shownOutputs = word;
    }
    const std::array<std::int16_t, 2> analog = {plc.analogOutput1(), plc.analogOutput2()};
    for (std::size_t i = 0; i < 2; ++i) {
        if (m_shownAnalogOutputs[i] != analog[i]) {
            m_trackBars[i + 2]->setValue(analog[i]);
            m_analogEdits[i + 2]->setText(QString::number(analog[i]));
            m_shownAnalogOutputs[i] = analog[i];
        }
    }
}

void SimulatorPanel::clearOutputs() {
    for (QCheckBox* box : m_outputs) {
        box->setChecked(false);
    }
    for (std::size_t i = 2; i < 4; ++i) {
        m_trackBars[i]->setValue(0);
        m_analogEdits[i]->setText(QStringLiteral("0"));
    }
    m_shownOutputs = 0;
    m_shownAnalogOutputs = {std::int16_t{0}, std::int16_t{0}};
}

void SimulatorPanel::showMode(plc::Mode mode) {
    m_modeCaption->setText(fromUtf8(plc::modeCaption(mode)));
    m_modeButton->setText(fromUtf8(plc::modeButtonCaption(mode)));
    m_cycleButton->setEnabled(mode == plc::Mode::StopIoScan);
}

void SimulatorPanel::showCycleTime(std::uint32_t cycleMs, std::uint32_t maxMs) {
    const std::pair<std::uint32_t, std::uint32_t> shown{cycleMs, maxMs};
    if (m_shownCycle != shown) {
        m_cycleLabel->setText(fromUtf8(plc::cycleTimeText(cycleMs, maxMs)));
        m_shownCycle = shown;
    }
}

void SimulatorPanel::showWatchdogFault() {
    // Told after the tick, outside the scan cycle's own work.
    m_faultPending = true;
}

// ---------------------------------------------------------------------------------------------
// Watch table

void SimulatorPanel::refreshWatch(const plc::Plc& plc) {
    m_watch.refresh(plc);
    showWatchValues();
}

void SimulatorPanel::showWatchValues() {
    const auto& values = m_watch.values();
    for (int row = 0; row < plc::kWatchRows; ++row) {
        const std::string& value = values[static_cast<std::size_t>(row)];
        std::string& shown = m_shownValues[static_cast<std::size_t>(row)];
        if (shown != value) {
            m_grid->item(row, 1)->setText(fromUtf8(value));
            shown = value;
        }
    }
    m_forcing->showMarks();
}

void SimulatorPanel::showReferences() {
    for (int row = 0; row < plc::kWatchRows; ++row) {
        m_grid->item(row, 0)->setText(QString::number(m_watch.startAddress() + row));
    }
    if (m_forcing != nullptr) {
        m_forcing->showMarks();
    }
}

void SimulatorPanel::selectKind(int index) {
    m_watch.selectKind(static_cast<plc::AreaKind>(index));
    const bool wordArea = m_watch.wordArea();
    // Check the type the table switched to before the buttons of other types go grey.
    m_typeButtons[static_cast<std::size_t>(m_watch.type()) - 1]->setEnabled(true);
    m_typeButtons[static_cast<std::size_t>(m_watch.type()) - 1]->setChecked(true);
    m_typeButtons[0]->setEnabled(!wordArea);
    m_typeButtons[1]->setEnabled(!wordArea);
    m_typeButtons[4]->setEnabled(wordArea);
    m_maxLabel->setText(QStringLiteral("max: %1").arg(m_watch.maximum()));
    m_startEdit->setText(QStringLiteral("1"));
    showReferences();
    showWatchValues();
}

void SimulatorPanel::selectType(int type) {
    m_watch.setType(static_cast<plc::DataType>(type));
    showWatchValues();
}

void SimulatorPanel::takeStartAddress() {
    if (m_watch.takeStartAddress(m_startEdit->text().toStdString())) {
        showReferences();
    }
    m_startEdit->setText(QString::number(m_watch.startAddress()));
}

bool SimulatorPanel::eventFilter(QObject* watched, QEvent* event) {
    // Edit5Enter: entering the box empties it for a new address.
    if (watched == m_startEdit && event->type() == QEvent::FocusIn) {
        m_startEdit->clear();
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Analogue inputs

void SimulatorPanel::analogEntry(int index, bool typing) {
    QLineEdit* edit = m_analogEdits[static_cast<std::size_t>(index)];
    QSlider* bar = m_trackBars[static_cast<std::size_t>(index)];
    const QString text = edit->text();
    const std::int64_t value = plc::leadingInteger(text.toStdString());
    if (value == 0) {
        if (text == QStringLiteral("0")) {
            bar->setValue(0);
            return;
        }
        // A box being emptied or a sign waiting for its digits is left alone while typing;
        // Enter settles it like any other text without a number.
        const bool unfinished =
            text.isEmpty() || text == QStringLiteral("-") || text == QStringLiteral("+");
        if (typing && unfinished) {
            return;
        }
        edit->setText(QString::number(bar->value()));
        return;
    }
    // The ends of the bar's range are not taken from the box.
    if (value >= kAnalogMin + 1 && value <= kAnalogMax - 1) {
        bar->setValue(static_cast<int>(value));
    }
}

void SimulatorPanel::analogStep(int index, int step) {
    QLineEdit* edit = m_analogEdits[static_cast<std::size_t>(index)];
    const std::int64_t current = plc::leadingInteger(edit->text().toStdString());
    const std::int64_t next = std::clamp<std::int64_t>(current + step, kAnalogMin, kAnalogMax);
    edit->setText(QString::number(next));
}
