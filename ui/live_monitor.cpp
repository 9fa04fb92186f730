// The running program on the editor's grid.
#include "ui/live_monitor.h"

#include "plc/program.h"
#include "plc/scan_cycle.h"
#include "translator/source_map.h"
#include "ui/element_pictures.h"
#include "ui/ladder_grid.h"
#include "ui/simulator_panel.h"

#include <QTimer>

#include <algorithm>
#include <span>

namespace {

// 25 refreshes a second at most: the eye sees no more, and the scans keep their time.
constexpr int kRefreshMs = 40;

}  // namespace

LiveMonitor::LiveMonitor(LadderGrid& grid, SimulatorPanel& panel, QObject* parent)
    : QObject(parent), m_grid(grid), m_panel(panel), m_overlay(ui::ElementPictures::shared()) {
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("LiveTimer"));
    m_timer->setInterval(kRefreshMs);
    connect(m_timer, &QTimer::timeout, this, &LiveMonitor::refresh);
    m_shownForces.reserve(plc::kMaxForcedOperands);
}

LiveMonitor::~LiveMonitor() {
    end();
}

void LiveMonitor::begin(const document::LadderDocument& document, const plc::Program& program,
                        const translator::SourceMap& sourceMap) {
    end();
    m_builder.emplace(document, program.words(), sourceMap);
    m_panel.controller().setMonitoring(true);
    m_shownScans = 0;
    m_shownForces.clear();
    m_grid.setLiveOverlay(&m_overlay);
    m_timer->start();
}

void LiveMonitor::end() {
    if (!m_builder) {
        return;
    }
    m_timer->stop();
    m_panel.controller().setMonitoring(false);
    m_builder.reset();
    m_next.reset(0);
    m_overlay.show(m_next, false, [](int, int) {});
    m_grid.setLiveOverlay(nullptr);
}

void LiveMonitor::refresh() {
    const plc::ScanCycle& cycle = m_panel.scanCycle();
    if (!m_builder || cycle.mode() == plc::Mode::Closed) {
        return;
    }
    const bool dimmed = cycle.mode() != plc::Mode::Run;
    const std::span<const plc::ForcedOperand> forces = cycle.forces().entries();
    const bool forcesChanged =
        !std::equal(forces.begin(), forces.end(), m_shownForces.begin(), m_shownForces.end(),
                    [](const plc::ForcedOperand& force, const plc::OperandRef& shown) {
                        return force.ref == shown;
                    });
    if (cycle.scanCount() != m_shownScans || (forcesChanged && m_overlay.map().rowCount() == 0)) {
        // A new scan, or a force before the first one: the map of the last scan (none yet
        // reads as all off).
        m_builder->build(m_panel.controller(), m_next);
        m_shownScans = cycle.scanCount();
    } else if (forcesChanged || dimmed != m_overlay.dimmed()) {
        m_next = m_overlay.map();
    } else {
        return;
    }
    m_builder->markForced(cycle.forces(), m_next);
    m_shownForces.clear();
    for (const plc::ForcedOperand& force : forces) {
        m_shownForces.push_back(force.ref);
    }
    QWidget* view = m_grid.viewport();
    const QRect shown = view->rect();
    m_overlay.show(m_next, dimmed, [&](int row, int col) {
        const QRect cell = m_grid.cellRect(row, col).intersected(shown);
        if (!cell.isEmpty()) {
            view->update(cell);
        }
    });
}
