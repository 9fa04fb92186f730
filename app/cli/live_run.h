// What a headless run needs to run live: ticks paced by the machine's clock, and the link of
// the six default items to an MQTT broker.
#pragma once

#include "iolink/mosquitto_transport.h"

#include "plc/link_exchange.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace cli {

/// Starts each tick `tickMs` after the one before; a tick that overran delays the next one
/// and is not caught up.
class TickPacer {
public:
    explicit TickPacer(std::uint32_t tickMs) : m_tick(tickMs) {}
    /// Waits until the next tick is due; returns the milliseconds since the first tick began.
    std::uint64_t waitForTick();
    /// The same, spending the time between two ticks in `wait` (given when the next tick is
    /// due; called even when it is overdue, so that its work is never starved).
    std::uint64_t waitForTick(
        const std::function<void(std::chrono::steady_clock::time_point)>& wait);

private:
    std::chrono::milliseconds m_tick;
    std::optional<std::chrono::steady_clock::time_point> m_first;
    std::chrono::steady_clock::time_point m_next;
};

/// The link with the dialog's default item names, over MQTT.
class LiveLink {
public:
    LiveLink();
    /// Connects to `service` under the topic prefix `topic`; false when it cannot.
    [[nodiscard]] bool connect(const std::string& service, const std::string& topic);
    /// The exchange that takes the panel's place.
    plc::LinkExchange& exchange() { return m_exchange; }

private:
    iolink::MosquittoTransport m_transport;
    plc::LinkExchange m_exchange;
};

}  // namespace cli
