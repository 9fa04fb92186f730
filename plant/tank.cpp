// The tank.
#include "plant/tank.h"

#include <algorithm>
#include <array>

namespace plant {

namespace {

constexpr std::array kTerminals = {
    Terminal{TerminalRole::Actuator, false, 0, "pompa"},
    Terminal{TerminalRole::Actuator, false, 1, "zawór spustowy"},
    Terminal{TerminalRole::Sensor, false, 0, "czujnik poziomu dolnego"},
    Terminal{TerminalRole::Sensor, false, 1, "czujnik poziomu górnego"},
    Terminal{TerminalRole::Sensor, true, 0, "przetwornik poziomu"},
};

constexpr std::array<std::string_view, 3> kQuantities = {"poziom_ml", "przelane_ml", "awarie"};

}  // namespace

Sensors Tank::sensors() const {
    Sensors sensors;
    sensors.inputs = static_cast<std::uint16_t>((m_levelMl >= kLowSwitchMl ? 1u : 0u) |
                                                (m_levelMl >= kHighSwitchMl ? 2u : 0u));
    sensors.analogInputs[0] = static_cast<std::int16_t>(m_levelMl * kFullScale / kCapacityMl);
    return sensors;
}

std::span<const Terminal> Tank::terminals() const {
    return kTerminals;
}

std::span<const std::string_view> Tank::quantityNames() const {
    return kQuantities;
}

std::int64_t Tank::ownQuantity(std::size_t index) const {
    return index == 0 ? m_levelMl : m_spilledMl;
}

void Tank::restart() {
    m_levelMl = 0;
    m_spilledMl = 0;
    m_overflowing = false;
}

void Tank::advance(std::uint32_t dtMs, const Terminals& terminals) {
    // With the pump running the drain never empties the tank (2 ml in, 1 ml out), so the level
    // is a straight line over the step, cut off at empty and at full.
    const std::int64_t inflow = terminals.output(0) ? kPumpMlPerMs : 0;
    const std::int64_t outflow = terminals.output(1) ? kDrainMlPerMs : 0;
    const std::int64_t net = inflow - outflow;
    const std::int64_t reached = m_levelMl + net * dtMs;
    if (reached <= kCapacityMl) {
        m_levelMl = std::max<std::int64_t>(reached, 0);
        m_overflowing = false;
        return;
    }
    if (!m_overflowing) {
        // The first millisecond that brings more than the tank holds.
        recordFault(static_cast<std::uint64_t>((kCapacityMl - m_levelMl) / net + 1),
                    "Przelanie zbiornika");
    }
    m_spilledMl += reached - kCapacityMl;
    m_levelMl = kCapacityMl;
    m_overflowing = true;
}

}  // namespace plant
