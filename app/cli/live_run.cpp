// Live runs of the command-line tool: real-time pacing and the MQTT link.
#include "app/cli/live_run.h"

#include <algorithm>
#include <thread>

namespace cli {

std::uint64_t TickPacer::waitForTick() {
    return waitForTick([](std::chrono::steady_clock::time_point until) {
        if (std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_until(until);
        }
    });
}

std::uint64_t TickPacer::waitForTick(
    const std::function<void(std::chrono::steady_clock::time_point)>& wait) {
    const auto now = std::chrono::steady_clock::now();
    if (!m_first) {
        m_first = now;
        m_next = now + m_tick;
        return 0;
    }
    wait(m_next);
    const auto start = std::max(m_next, std::chrono::steady_clock::now());
    m_next = start + m_tick;
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(start - *m_first).count());
}

LiveLink::LiveLink() : m_exchange(m_transport, [] { return plc::defaultLinkItems(); }) {}

bool LiveLink::connect(const std::string& service, const std::string& topic) {
    return m_exchange.connect(service, topic) == plc::LinkResult::Connected;
}

}  // namespace cli
