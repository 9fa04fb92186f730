// The running program on the editor's grid: while a simulation runs, the grid shows what the
// last scan computed (the controller monitors its scans, a power map is built from them) and
// which operands are forced, at most 25 times a second and only where the state changed;
// dimmed while the controller is stopped; and nothing once the simulation has ended.
#pragma once

#include "plc/force_table.h"
#include "translator/power_map.h"
#include "translator/power_map_builder.h"
#include "ui/live_overlay.h"

#include <QObject>

#include <cstdint>
#include <optional>
#include <vector>

class LadderGrid;
class QTimer;
class SimulatorPanel;

namespace plc {
class Program;
}

namespace translator {
struct SourceMap;
}

class LiveMonitor : public QObject {
    Q_OBJECT
public:
    /// Shows the simulations of `panel` on `grid`; both must outlive the monitor.
    LiveMonitor(LadderGrid& grid, SimulatorPanel& panel, QObject* parent = nullptr);
    ~LiveMonitor() override;

    /// Starts showing the simulation of `program`, translated from `document` with
    /// `sourceMap`: from now on the panel's controller records its scans.
    void begin(const document::LadderDocument& document, const plc::Program& program,
               const translator::SourceMap& sourceMap);
    /// Stops showing: the controller records nothing more and the grid draws as before.
    void end();
    /// Shows the last scan when a new one has run, dimmed unless the controller is in RUN, and
    /// the forced operands when they changed (in any mode); its timer calls it every 40 ms
    /// while a simulation is shown.
    void refresh();

    /// Returns true between begin and end.
    [[nodiscard]] bool active() const { return m_builder.has_value(); }
    /// Returns what the grid is shown.
    [[nodiscard]] const ui::LiveOverlay& overlay() const { return m_overlay; }

private:
    LadderGrid& m_grid;
    SimulatorPanel& m_panel;
    QTimer* m_timer = nullptr;
    std::optional<translator::PowerMapBuilder> m_builder;
    ui::LiveOverlay m_overlay;
    translator::PowerMap m_next;
    std::uint64_t m_shownScans = 0;
    std::vector<plc::OperandRef> m_shownForces;  // the forces the marks shown were made from
};
