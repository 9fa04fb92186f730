// The pedestrian crossing.
#include "plant/crossing.h"

#include <algorithm>
#include <array>

namespace plant {

namespace {

constexpr std::array kTerminals = {
    Terminal{TerminalRole::Actuator, false, 0, "samochody: czerwone"},
    Terminal{TerminalRole::Actuator, false, 1, "samochody: żółte"},
    Terminal{TerminalRole::Actuator, false, 2, "samochody: zielone"},
    Terminal{TerminalRole::Actuator, false, 3, "piesi: czerwone"},
    Terminal{TerminalRole::Actuator, false, 4, "piesi: zielone"},
    Terminal{TerminalRole::Operator, false, 0, "przycisk dla pieszych"},
};

constexpr std::array<std::string_view, 5> kQuantities = {"kolejka_aut", "czekajacy_piesi",
                                                         "przejechalo", "przeszlo", "awarie"};

}  // namespace

std::span<const Terminal> Crossing::terminals() const {
    return kTerminals;
}

std::span<const std::string_view> Crossing::quantityNames() const {
    return kQuantities;
}

std::int64_t Crossing::ownQuantity(std::size_t index) const {
    switch (index) {
        case 0: return m_queue;
        case 1: return m_waiting;
        case 2: return m_passed;
        default: return m_crossed;
    }
}

void Crossing::restart() {
    m_queue = 0;
    m_waiting = 0;
    m_passed = 0;
    m_crossed = 0;
    m_nextCarMs = kCarPeriodMs;
    m_nextPedestrianMs = kPedestrianPeriodMs;
    m_passingMs = 0;
    m_darkMs = 0;
    m_colliding = false;
}

void Crossing::advance(std::uint32_t dtMs, const Terminals& terminals) {
    const bool carYellow = terminals.output(1);
    const bool carGreen = terminals.output(2);
    const bool walkGreen = terminals.output(4);
    const bool carLamp = terminals.output(0) || carYellow || carGreen;

    // The lamps hold still over the step: a collision is there from its first millisecond.
    const bool colliding = walkGreen && (carGreen || carYellow);
    if (colliding && !m_colliding) {
        recordFault(0, "Kolizja");
    }
    m_colliding = colliding;

    if (terminals.running && !carLamp) {
        if (m_darkMs < kDarkLimitMs && m_darkMs + dtMs >= kDarkLimitMs) {
            recordFault(kDarkLimitMs - m_darkMs, "Brak sygnału");
        }
        m_darkMs += dtMs;
    } else {
        m_darkMs = 0;
    }

    if (!carGreen) {
        m_passingMs = 0;
    }
    std::uint64_t done = 0;
    while (true) {
        // At one instant a car passes before another arrives, and pedestrians cross last, so
        // that one arriving on green crosses at once.
        if (carGreen && m_queue > 0 && m_passingMs >= kCarPassMs) {
            --m_queue;
            ++m_passed;
            m_passingMs = 0;
        }
        const std::uint64_t now = timeMs() + done;
        if (now >= m_nextCarMs) {
            ++m_queue;
            m_nextCarMs += kCarPeriodMs;
        }
        if (now >= m_nextPedestrianMs) {
            ++m_waiting;
            m_nextPedestrianMs += kPedestrianPeriodMs;
        }
        if (walkGreen) {
            m_crossed += m_waiting;
            m_waiting = 0;
        }
        if (done == dtMs) {
            break;
        }
        std::uint64_t next = std::min({dtMs - done, m_nextCarMs - now, m_nextPedestrianMs - now});
        if (carGreen && m_queue > 0) {
            next = std::min(next, kCarPassMs - m_passingMs);
            m_passingMs += next;
        }
        done += next;
    }
}

}  // namespace plant
