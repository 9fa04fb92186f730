// Live runs of the command-line tool: pacing by a clock and the MQTT link.
#include "app/cli/live_run.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace cli {

std::uint64_t TickPacer::waitForTick() {
    return waitForTick([this](std::uint32_t due) {
        const auto left = static_cast<std::int32_t>(due - m_clock.now());
        if (left > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(left));
        }
    });
}

std::uint64_t TickPacer::waitForTick(const std::function<void(std::uint32_t due)>& wait) {
    if (!m_started) {
        m_started = true;
        m_first = m_clock.now();
        m_last = m_first;
        m_next = 1;
        return 0;
    }
    // Each tick's time is counted from the first, so that late wake-ups never add up.
    const std::uint64_t dueAfter = m_next * m_tick;
    const auto due = static_cast<std::uint32_t>(m_first + dueAfter);  // wraps as the clock does
    std::uint64_t elapsed = 0;
    do {
        wait(due);
        elapsed = sinceFirst();
    } while (elapsed < dueAfter);
    m_next = std::max(m_next + 1, elapsed / m_tick + 1);
    return elapsed;
}

std::uint64_t TickPacer::sinceFirst() {
    const std::uint32_t now = m_clock.now();
    // Read at least once a tick (at most a minute apart), so one wrap at most lies between.
    m_elapsed += static_cast<std::uint32_t>(now - m_last);
    m_last = now;
    return m_elapsed;
}

LiveLink::LiveLink() : m_exchange(m_transport, [] { return plc::defaultLinkItems(); }) {}

plc::ConnectResult LiveLink::connect(const std::string& service, const std::string& topic) {
    static_cast<void>(m_exchange.connect(service, topic));
    return m_exchange.connectResult();
}

}  // namespace cli
