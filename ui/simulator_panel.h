// ui/simulator_panel.h — the simulator panel: the field wiring of the simulated controller (input
// and output check boxes, analogue track bars), the mode button, the cycle time and the watch
// table; its timer drives the scan cycle, one scan a tick.
#pragma once

#include "iolink/modbus_map.h"

#include "plc/clock.h"
#include "plc/plc.h"
#include "plc/scan_cycle.h"
#include "plc/steady_clock.h"
#include "plc/watch_table.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTableWidget;
class QTimer;
class ModbusServerControls;
class UserPrompts;
class WatchForcing;

class SimulatorPanel : public QDialog, public plc::IoTransfer, public plc::ScanView {
    Q_OBJECT
public:
    /// The range of the analogue track bars and boxes.
    static constexpr int kAnalogMin = -32768;
    static constexpr int kAnalogMax = 32767;

    /// The panel; `prompts` shows its messages and runs it modally.
    explicit SimulatorPanel(UserPrompts& prompts, QWidget* parent = nullptr);
    ~SimulatorPanel() override;

    /// Runs `program` with the panel's inputs and outputs, modally until "Koniec" or the
    /// window closes. Returns false, after the message, when the controller has no memory.
    bool startSimulator(plc::Program program);
    /// The same with inputs and outputs through `link` and 500 ms ticks; `closeLink` runs at
    /// the end of the simulation.
    bool startSimulatorDde(plc::Program program, plc::IoTransfer& link,
                           std::function<void()> closeLink);
    /// Prepares a simulation without running the window modally: memory, the watch table on
    /// %I as BIT, inputs cleared, STOP NO I/O. Returns false, after the message, when the
    /// controller has no memory.
    bool openSimulation(plc::Program program, plc::IoTransfer* link = nullptr,
                        std::function<void()> closeLink = {});
    /// "Koniec" and closing the window: the link closes, the memory and program are released.
    void endSimulation();

    void Timer1Timer();   ///< one tick of the scan cycle
    void Button3Click();  ///< the mode button
    void Button2Click();  ///< "Koniec"
    void Button4Click();  ///< "Jeden cykl": one RUN cycle in STOP I/O SCAN
    void Button5Click();  ///< "Łącze...": the link's item names, while a linked run is on
    /// What "Łącze..." runs; the button shows only during a run with the link and with this set.
    void setLinkItemsOpener(std::function<void()> open) { m_openLinkItems = std::move(open); }

    /// Returns the simulated controller.
    plc::Plc& controller() { return m_plc; }
    /// Returns the scan cycle.
    plc::ScanCycle& scanCycle() { return m_cycle; }
    /// Returns the panel's timer.
    QTimer& timer() { return *m_timer; }
    /// Returns the row of the Modbus TCP server.
    ModbusServerControls& modbusServer() { return *m_modbus; }
    /// Returns the watch table's forcing: its right-click menu and its marks.
    WatchForcing& watchForcing() { return *m_forcing; }
    /// Takes time from `clock` (tests); the machine's clock again when null.
    void setClock(plc::Clock* clock) { m_clock.target = clock ? clock : &m_steadyClock; }

    // The panel as the scan cycle's inputs and outputs.
    void readInputs(plc::Plc& plc) override;
    void writeOutputs(const plc::Plc& plc) override;
    // The panel as the scan cycle's displays.
    void refreshWatch(const plc::Plc& plc) override;
    void clearOutputs() override;
    void showMode(plc::Mode mode) override;
    void showCycleTime(std::uint32_t cycleMs, std::uint32_t maxMs) override;
    void showWatchdogFault() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The controller reads the clock through this, so that tests can slip a fake one behind.
    struct ForwardingClock final : plc::Clock {
        plc::Clock* target = nullptr;
        std::uint32_t now() override { return target->now(); }
    };

    void buildInputsAndOutputs();
    void buildAnalogues();
    void buildModeAndWatch();
    void selectKind(int index);
    void selectType(int type);
    void takeStartAddress();
    void showReferences();
    void showWatchValues();
    void analogEntry(int index, bool typing);
    void analogStep(int index, int step);
    void reportFault();
    iolink::PanelInputs panelInputs() const;
    void showPanelInputs(const iolink::PanelInputs& inputs);

    UserPrompts& m_prompts;
    plc::SteadyClock m_steadyClock;
    ForwardingClock m_clock;
    plc::Plc m_plc;
    plc::ScanCycle m_cycle;
    plc::WatchTable m_watch;
    std::function<void()> m_closeLink;
    bool m_inTick = false;
    bool m_faultPending = false;
    bool m_ending = false;

    std::array<QCheckBox*, 16> m_inputs{};
    std::array<QCheckBox*, 16> m_outputs{};
    std::array<QSlider*, 4> m_trackBars{};      // TrackBar1 .. TrackBar4
    std::array<QLineEdit*, 4> m_analogEdits{};  // Edit1 .. Edit4
    std::array<QRadioButton*, 9> m_kindButtons{};
    std::array<QRadioButton*, 6> m_typeButtons{};
    QLabel* m_modeCaption = nullptr;       // Label8
    QLabel* m_cycleLabel = nullptr;        // Label9
    QLabel* m_maxLabel = nullptr;          // Label17
    QLineEdit* m_startEdit = nullptr;      // Edit5
    QTableWidget* m_grid = nullptr;        // StringGrid1
    QPushButton* m_modeButton = nullptr;   // Button3
    QPushButton* m_endButton = nullptr;    // Button2
    QPushButton* m_cycleButton = nullptr;  // Button4
    QPushButton* m_linkButton = nullptr;   // Button5
    std::function<void()> m_openLinkItems;
    QTimer* m_timer = nullptr;  // Timer1
    ModbusServerControls* m_modbus = nullptr;
    WatchForcing* m_forcing = nullptr;

    // What the widgets show, so that a tick touches only those whose value changed.
    std::optional<std::uint16_t> m_shownOutputs;
    std::array<std::optional<std::int16_t>, 2> m_shownAnalogOutputs{};
    std::array<std::string, plc::kWatchRows> m_shownValues;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> m_shownCycle;
};
