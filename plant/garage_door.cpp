// The garage door.
#include "plant/garage_door.h"

#include <algorithm>
#include <array>

namespace plant {

namespace {

constexpr std::array kTerminals = {
    Terminal{TerminalRole::Actuator, false, 0, "silnik w górę"},
    Terminal{TerminalRole::Actuator, false, 1, "silnik w dół"},
    Terminal{TerminalRole::Sensor, false, 0, "wyłącznik krańcowy górny"},
    Terminal{TerminalRole::Sensor, false, 1, "wyłącznik krańcowy dolny"},
    Terminal{TerminalRole::Operator, false, 2, "pilot"},
    Terminal{TerminalRole::Operator, false, 3, "fotokomórka przeszkody"},
};

constexpr std::array<std::string_view, 2> kQuantities = {"pozycja", "awarie"};

}  // namespace

Sensors GarageDoor::sensors() const {
    Sensors sensors;
    sensors.inputs =
        static_cast<std::uint16_t>((m_position >= kOpen ? 1u : 0u) | (m_position <= 0 ? 2u : 0u));
    return sensors;
}

std::span<const Terminal> GarageDoor::terminals() const {
    return kTerminals;
}

std::span<const std::string_view> GarageDoor::quantityNames() const {
    return kQuantities;
}

void GarageDoor::restart() {
    m_position = 0;
    m_againstLimitMs = 0;
    m_shorted = false;
    m_crushing = false;
}

void GarageDoor::advance(std::uint32_t dtMs, const Terminals& terminals) {
    const bool up = terminals.output(0);
    const bool down = terminals.output(1);
    const bool obstacle = terminals.input(3);

    const bool shorted = up && down;
    if (shorted && !m_shorted) {
        recordFault(0, "Zwarcie silnika");
    }
    m_shorted = shorted;
    if (!down || !obstacle) {
        m_crushing = false;
    }
    if (shorted || (!up && !down)) {
        m_againstLimitMs = 0;
        return;
    }

    // One motor runs: the door travels to its limit, then the motor pushes against it.
    const std::int64_t room = up ? kOpen - m_position : m_position;
    const std::int64_t travel = std::min<std::int64_t>(room, dtMs);
    const std::int64_t start = m_position;
    m_position += up ? travel : -travel;
    if (down && obstacle && !m_crushing && travel > 0) {
        // The first millisecond that brings the door below the mark with the beam broken.
        const std::int64_t into = std::max<std::int64_t>(1, start - kCrushBelow + 1);
        if (into <= travel) {
            recordFault(static_cast<std::uint64_t>(into), "Przygniecenie");
            m_crushing = true;
        }
    }
    if (travel > 0) {
        m_againstLimitMs = 0;
    }
    const auto pushed = static_cast<std::uint64_t>(dtMs - travel);
    if (pushed > 0 && m_againstLimitMs <= kOverloadMs && m_againstLimitMs + pushed > kOverloadMs) {
        recordFault(static_cast<std::uint64_t>(travel) + kOverloadMs + 1 - m_againstLimitMs,
                    "Przeciążenie");
    }
    m_againstLimitMs += pushed;
}

}  // namespace plant
