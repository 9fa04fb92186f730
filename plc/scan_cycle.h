// The scan cycle: the three controller modes, what one timer tick runs in each, the mode
// button, the start and end of a simulation, and the cycle time.
#pragma once

#include "plc/clock.h"
#include "plc/force_table.h"
#include "plc/plant_port.h"
#include "plc/plc.h"

#include <cstdint>
#include <string>

namespace plc {

/// The simulator's modes; Closed while no simulation runs.
enum class Mode : int { Closed = 0, StopNoIo = 1, StopIoScan = 2, Run = 3 };

/// Where inputs come from and outputs go: the simulator panel, the link to another program or
/// a tool's own source.
class IoTransfer {
public:
    virtual ~IoTransfer() = default;
    /// Writes the current inputs into the controller (`setInputWord`, `setAnalogInputs`).
    virtual void readInputs(Plc& plc) = 0;
    /// Takes the outputs from the controller (`outputWord`, `analogOutput1`, `analogOutput2`).
    virtual void writeOutputs(const Plc& plc) = 0;
};

/// What a tick shows besides the outputs; every function has an empty default.
class ScanView {
public:
    virtual ~ScanView() = default;
    /// The watch table reads the memory again (end of every tick in every open mode).
    virtual void refreshWatch(const Plc& plc);
    /// The output displays of the panel go blank (on entering STOP NO I/O and at the end).
    virtual void clearOutputs();
    /// The mode changed: captions follow (`modeCaption`, `modeButtonCaption`).
    virtual void showMode(Mode mode);
    /// A RUN tick measured `cycleMs`; `maxMs` is the largest so far (`cycleTimeText`).
    virtual void showCycleTime(std::uint32_t cycleMs, std::uint32_t maxMs);
    /// The watchdog ended a scan and the controller stopped.
    virtual void showWatchdogFault();
};

/// Tick intervals of the panel's timer.
inline constexpr std::uint32_t kTickMs = 20;
inline constexpr std::uint32_t kDdeTickMs = 500;

/// The big mode caption: "Tryb RUN", "Tryb STOP I/O SCAN", "Tryb STOP NO I/O".
[[nodiscard]] std::string modeCaption(Mode mode);
/// The mode button's caption: the mode the next press selects.
[[nodiscard]] std::string modeButtonCaption(Mode mode);
/// "Czas wykonania cyklu: " + dt + "ms" + " max:" + max + "ms".
[[nodiscard]] std::string cycleTimeText(std::uint32_t cycleMs, std::uint32_t maxMs);

/// Drives one controller through the modes. Lives as long as the application: the maximum
/// cycle time is never reset.
class ScanCycle {
public:
    /// A cycle for `plc`, timed by `clock`; both must outlive it.
    ScanCycle(Plc& plc, Clock& clock);

    /// The panel's inputs and outputs; also used for the last scan of a DDE simulation.
    void setPanel(IoTransfer* panel) { m_panel = panel; }
    /// The link's inputs and outputs, used while the DDE flag is set.
    void setDde(IoTransfer* dde) { m_dde = dde; }
    /// The displays to notify; may be null.
    void setView(ScanView* view) { m_view = view; }
    /// The machine wired to the terminals, moved on at every tick of an open simulation; may be
    /// null. Its inputs override the transfer's, forces override both.
    void setPlant(PlantPort* plant) { m_plant = plant; }

    /// Allocates the controller memory (zeroed) and enters STOP NO I/O; returns false, and
    /// stays closed, if the memory cannot be had.
    [[nodiscard]] bool startSimulator();
    /// The same with the DDE flag set (inputs and outputs through the link, 500 ms ticks).
    [[nodiscard]] bool startSimulatorDde();
    /// One timer tick: the cycle of the current mode. A RUN scan ended by the watchdog drops the
    /// controller to STOP NO I/O (outputs not transferred, displays cleared) until the mode
    /// button starts it again.
    void tick();
    /// The mode button: STOP NO I/O -> RUN -> (last scan, power-down) STOP I/O SCAN ->
    /// STOP NO I/O. Does nothing while closed.
    void nextMode();
    /// "Jeden cykl": in STOP I/O SCAN only, one cycle as a RUN tick runs it (system bits,
    /// inputs, one scan, outputs, watch refresh, cycle time), staying in STOP I/O SCAN unless
    /// the watchdog stops the controller. Returns false, running nothing, in any other mode.
    bool runSingleCycle();
    /// Ends the simulation: no last scan, no power-down; the memory and program are released
    /// and every force ends.
    void endSimulation();

    /// Forces `ref` to `value` (ForceTable::force); while a simulation is open the memory takes
    /// it at once. Forced values are written after every input transfer and again after every
    /// scan, and stay in place through the power-down of leaving RUN.
    [[nodiscard]] ForceResult force(const OperandRef& ref, std::int32_t value);
    /// Releases the forces that share memory with `ref`; the memory keeps the forced value
    /// until an input transfer or the program writes it. Returns how many were released.
    int release(const OperandRef& ref) { return m_forces.release(ref); }
    /// Releases every force.
    void releaseAll() { m_forces.releaseAll(); }
    /// The forced operands (the watch table and the ladder's live view mark them).
    [[nodiscard]] const ForceTable& forces() const { return m_forces; }

    /// The current mode.
    [[nodiscard]] Mode mode() const { return m_mode; }
    /// True while a simulation started through the link runs.
    [[nodiscard]] bool ddeFlag() const { return m_ddeFlag; }
    /// The interval the panel's timer should run at.
    [[nodiscard]] std::uint32_t tickInterval() const { return m_ddeFlag ? kDdeTickMs : kTickMs; }
    /// The cycle time of the last RUN tick, in milliseconds.
    [[nodiscard]] std::uint32_t cycleTime() const { return m_cycleTime; }
    /// The largest cycle time measured so far.
    [[nodiscard]] std::uint32_t maxCycleTime() const { return m_maxCycleTime; }
    /// True when the watchdog stopped the program; cleared when RUN is entered again.
    [[nodiscard]] bool watchdogFault() const { return m_plc.watchdogFault(); }
    /// The number of scans run since the simulation started (last scans included).
    [[nodiscard]] std::uint64_t scanCount() const { return m_scanCount; }

private:
    void setMode(Mode mode);
    void runScan();
    void runCycle(IoTransfer* io);
    void applyForces();
    void advancePlant(bool outputsConnected);
    void readInputs(IoTransfer* io);
    IoTransfer* transfer() const { return m_ddeFlag ? m_dde : m_panel; }
    [[nodiscard]] bool start(bool dde);

    Plc& m_plc;
    Clock& m_clock;
    IoTransfer* m_panel = nullptr;
    IoTransfer* m_dde = nullptr;
    ScanView* m_view = nullptr;
    PlantPort* m_plant = nullptr;
    ForceTable m_forces;
    Mode m_mode = Mode::Closed;
    bool m_ddeFlag = false;
    std::uint32_t m_cycleTime = 0;
    std::uint32_t m_maxCycleTime = 0;
    std::uint64_t m_scanCount = 0;
};

}  // namespace plc
