// The simulated controller as a Modbus TCP server. A thread of its own accepts clients and reads
// their frames without ever waiting on one of them; the simulation answers the complete requests
// between two scans, on its own thread, so that no client sees a value the scan is halfway
// through and no client can hold the scan up.
#pragma once

#include "iolink/modbus_endpoint.h"
#include "iolink/modbus_map.h"

#include "plc/plc.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace iolink {

/// Result of opening the server.
enum class ModbusOpenResult : int {
    Listening = 0,           ///< the port is open
    PortInUse = 1,           ///< another program listens on the port
    AddressUnavailable = 2,  ///< the address is no address of this machine, or no address at all
    Failed = 3,              ///< any other refusal (a port reserved for the administrator, ...)
};

/// The panel's state line: "nasłuch 127.0.0.1:1502", "port zajęty", "adres niedostępny",
/// "nie można otworzyć portu".
[[nodiscard]] std::string modbusStateText(ModbusOpenResult result, const ModbusEndpoint& endpoint);

/// Clients served at once; a further one is disconnected as soon as it connects, unless it
/// can take the place of one that has been silent (see ModbusIdleLimits).
inline constexpr std::size_t kModbusMaxClients = 8;

/// How long clients may stay silent: a cable pulled out must not hold a place for good.
struct ModbusIdleLimits {
    /// A client that has sent nothing for this long, and is owed no answer, is disconnected.
    std::chrono::milliseconds close = std::chrono::seconds(60);
    /// With every place taken, a newcomer takes the place of the client silent longest if that
    /// one has been silent longer than this.
    std::chrono::milliseconds displace = std::chrono::seconds(10);
};

/// The time by which the server measures silence: the machine's monotonic clock, or a test's.
using ModbusClock = std::function<std::chrono::steady_clock::time_point()>;

/// The server. `open`, `close` and `serve` belong to the simulation's thread; the network work
/// runs on the server's own thread. A malformed frame closes its client's connection once the
/// answers to the requests before it are sent; a client that sends half a frame, or never
/// reads its answers, only stops being read, until its silence ends its connection.
class ModbusServer {
public:
    /// A closed server, measuring silence by the machine's monotonic clock.
    ModbusServer();
    /// A closed server measuring silence by `clock`.
    explicit ModbusServer(ModbusClock clock);
    /// Closes the server.
    ~ModbusServer();
    ModbusServer(const ModbusServer&) = delete;
    ModbusServer& operator=(const ModbusServer&) = delete;

    /// Listens on `endpoint` (closing first if open), its clients held to `limits`; returns
    /// Listening or why not. Port 0 takes any free port (`port` tells which).
    [[nodiscard]] ModbusOpenResult open(const ModbusEndpoint& endpoint,
                                        const ModbusIdleLimits& limits = {});
    /// Disconnects every client and stops listening; harmless when closed.
    void close();
    /// True between a successful `open` and `close`.
    [[nodiscard]] bool isOpen() const;
    /// The port listened on; 0 when closed.
    [[nodiscard]] std::uint16_t port() const;
    /// A descriptor that is readable while requests wait to be served, for the simulation's
    /// event loop to watch; -1 when closed.
    [[nodiscard]] int readyDescriptor() const;
    /// Answers every complete request received so far against `plc` and `panel`, in the order
    /// received; returns how many. Call it between scans only. Never waits on the network.
    std::size_t serve(plc::Plc& plc, PanelInputs& panel);
    /// Waits until requests wait to be served or `until` has come, whichever is first.
    void waitForRequests(std::chrono::steady_clock::time_point until) const;
    /// The clients connected now.
    [[nodiscard]] std::size_t clientCount() const;
    /// The complete requests that wait for `serve`.
    [[nodiscard]] std::size_t waitingRequests() const;

    /// The network side; shared with the server's thread.
    class Worker;

private:
    ModbusClock m_clock;
    std::unique_ptr<Worker> m_worker;
};

}  // namespace iolink
