// The conveyor.
#include "plant/conveyor.h"

#include <algorithm>

namespace plant {

namespace {

constexpr std::array kTerminals = {
    Terminal{TerminalRole::Actuator, false, 0, "silnik taśmy"},
    Terminal{TerminalRole::Actuator, false, 1, "wymiana pojemnika"},
    Terminal{TerminalRole::Sensor, false, 0, "fotokomórka"},
    Terminal{TerminalRole::Sensor, false, 1, "pojemnik pełny"},
};

constexpr std::array<std::string_view, 3> kQuantities = {"w_pojemniku", "dostarczone", "awarie"};

}  // namespace

Conveyor::Conveyor(std::uint64_t seed) : Plant(seed) {
    restart();
}

Sensors Conveyor::sensors() const {
    bool covered = false;
    for (std::size_t i = 0; i < m_boxCount; ++i) {
        covered = covered || (m_boxes[i] >= kEyeUm && m_boxes[i] - kBoxUm < kEyeUm);
    }
    Sensors sensors;
    sensors.inputs =
        static_cast<std::uint16_t>((covered ? 1u : 0u) | (m_bin >= kBinBoxes ? 2u : 0u));
    return sensors;
}

std::span<const Terminal> Conveyor::terminals() const {
    return kTerminals;
}

std::span<const std::string_view> Conveyor::quantityNames() const {
    return kQuantities;
}

std::int64_t Conveyor::ownQuantity(std::size_t index) const {
    return index == 0 ? m_bin : m_delivered;
}

void Conveyor::restart() {
    m_boxCount = 0;
    m_bin = 0;
    m_delivered = 0;
    m_changeHeldMs = 0;
    m_changed = false;
    placeBox(0);
}

bool Conveyor::startFree() const {
    // The newest box stands last; it has cleared the start once its back has.
    return m_boxCount == 0 || m_boxes[m_boxCount - 1] >= kBoxUm;
}

void Conveyor::placeBox(std::uint64_t nowMs) {
    m_boxes[m_boxCount++] = 0;
    m_nextBoxMs = nowMs + kBoxPeriodMs;
}

void Conveyor::settle(std::uint64_t offsetMs, bool changing) {
    const std::uint64_t now = timeMs() + offsetMs;
    // At one instant the bin is changed before a box drops into it, and a box leaves the belt
    // before the next is put on.
    if (changing && !m_changed && m_changeHeldMs >= kBinChangeMs) {
        m_bin = 0;
        m_changed = true;
    }
    std::size_t dropped = 0;
    while (dropped < m_boxCount && m_boxes[dropped] >= kBeltUm) {
        if (m_bin < kBinBoxes) {
            ++m_bin;
            ++m_delivered;
        } else {
            recordFault(offsetMs, "Przepełniony pojemnik");
        }
        ++dropped;
    }
    if (dropped > 0) {
        std::copy(m_boxes.begin() + static_cast<std::ptrdiff_t>(dropped),
                  m_boxes.begin() + static_cast<std::ptrdiff_t>(m_boxCount), m_boxes.begin());
        m_boxCount -= dropped;
    }
    if (now >= m_nextBoxMs && startFree() && m_boxCount < kMaxBoxes) {
        placeBox(now);
    }
}

void Conveyor::advance(std::uint32_t dtMs, const Terminals& terminals) {
    const bool running = terminals.output(0);
    const bool changing = terminals.output(1);
    if (!changing) {
        m_changeHeldMs = 0;
        m_changed = false;
    }
    // From event to event: a box reaching the end, the start clearing for a box that is due, a
    // box falling due, the change of the bin; in between everything moves evenly.
    std::uint64_t done = 0;
    while (done < dtMs) {
        std::uint64_t next = dtMs - done;
        if (running && m_boxCount > 0) {
            next = std::min<std::uint64_t>(
                next, static_cast<std::uint64_t>((kBeltUm - m_boxes[0] + kUmPerMs - 1) / kUmPerMs));
        }
        const std::uint64_t now = timeMs() + done;
        if (now < m_nextBoxMs) {
            next = std::min(next, m_nextBoxMs - now);
        } else if (running && !startFree()) {
            const std::int32_t last = m_boxes[m_boxCount - 1];
            next = std::min<std::uint64_t>(
                next, static_cast<std::uint64_t>((kBoxUm - last + kUmPerMs - 1) / kUmPerMs));
        }
        if (changing && !m_changed) {
            next = std::min(next, kBinChangeMs - std::min(m_changeHeldMs, kBinChangeMs));
        }
        next = std::max<std::uint64_t>(next, 1);
        if (running) {
            for (std::size_t i = 0; i < m_boxCount; ++i) {
                m_boxes[i] += static_cast<std::int32_t>(next) * kUmPerMs;
            }
        }
        if (changing) {
            m_changeHeldMs += next;
        }
        done += next;
        settle(done, changing);
    }
}

}  // namespace plant
