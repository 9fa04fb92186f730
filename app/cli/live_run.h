// What a headless run needs to run live: ticks paced by a clock, and the link of the six
// default items to an MQTT broker.
#pragma once

#include "iolink/mosquitto_transport.h"

#include "plc/clock.h"
#include "plc/link_exchange.h"

#include <cstdint>
#include <functional>
#include <string>

namespace cli {

/// Starts tick k at k × `tickMs` after the first one by `clock`: a wake-up that comes late
/// delays its own tick only, and the ticks whose time passed while one ran long are skipped,
/// not caught up.
class TickPacer {
public:
    TickPacer(std::uint32_t tickMs, plc::Clock& clock) : m_tick(tickMs), m_clock(clock) {}
    /// Sleeps until the next tick is due; returns the milliseconds since the first tick began.
    std::uint64_t waitForTick();
    /// The same, spending the time between two ticks in `wait`, given the clock's time at
    /// which the next tick is due. It is called at least once, even when that time has
    /// passed, so that its work is never starved, and again while the clock is short of it.
    std::uint64_t waitForTick(const std::function<void(std::uint32_t due)>& wait);

private:
    std::uint64_t sinceFirst();

    std::uint32_t m_tick;
    plc::Clock& m_clock;
    bool m_started = false;
    std::uint32_t m_first = 0;    // the clock when the first tick began
    std::uint32_t m_last = 0;     // the clock when last read
    std::uint64_t m_elapsed = 0;  // since the first tick, past the clock's wrap
    std::uint64_t m_next = 0;     // the number of the next tick
};

/// The link with the dialog's default item names, over MQTT.
class LiveLink {
public:
    LiveLink();
    /// Connects to `service` under the topic prefix `topic`; returns Connected or why not.
    [[nodiscard]] plc::ConnectResult connect(const std::string& service, const std::string& topic);
    /// The exchange that takes the panel's place.
    plc::LinkExchange& exchange() { return m_exchange; }

private:
    iolink::MosquittoTransport m_transport;
    plc::LinkExchange m_exchange;
};

}  // namespace cli
