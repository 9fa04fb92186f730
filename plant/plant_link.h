// The wiring between a machine and the simulated controller: the scan cycle moves the machine
// on by the simulation's clock and lets its sensors override the inputs they own.
#pragma once

#include "plant/plant.h"

#include "plc/plant_port.h"

#include <cstdint>

namespace plant {

/// Attaches `plant` to a scan cycle (plc::ScanCycle::setPlant). The first tick after the
/// link is made, or after restart(), moves the machine by nothing; every later one by the
/// clock's time since the tick before.
class PlantLink : public plc::PlantPort {
public:
    /// A link to `plant`, which must outlive it.
    explicit PlantLink(Plant& plant) : m_plant(plant) {}

    void advance(const plc::Plc& plc, std::uint32_t nowMs, bool outputsConnected,
                 bool running) override;
    void driveInputs(plc::Plc& plc) override;

    /// Counts time afresh from the next tick (after the machine was reset or the clock jumped).
    void restart() { m_started = false; }
    /// The machine.
    [[nodiscard]] Plant& plant() { return m_plant; }

private:
    Plant& m_plant;
    std::uint32_t m_lastMs = 0;
    bool m_started = false;
};

}  // namespace plant
