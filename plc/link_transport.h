// The link to other programs as the controller sees it: a broker reached by address, items
// that are topics holding their latest value, and retained values published to them. The
// network side lives elsewhere; tests put a fake behind this interface.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plc {

/// Where the broker is and who connects: the text `[user:password@]host[:port]`.
struct BrokerAddress {
    std::string host;
    std::uint16_t port = 1883;
    std::string user;      ///< empty: connect without credentials
    std::string password;  ///< only with a user
};

inline constexpr std::uint16_t kDefaultBrokerPort = 1883;

/// Reads `text` (blanks around it ignored): `host`, `host:port`, `[v6-address]:port`, each
/// optionally after `user:password@` or `user@`. Returns nothing for an empty host, a port
/// that is not a number in 1..65535, or an empty user before the `@`.
[[nodiscard]] std::optional<BrokerAddress> parseBrokerAddress(std::string_view text);

/// One connection to a broker. Every call returns at once except `connect`, which waits at
/// most its timeout; none throws.
class LinkTransport {
public:
    virtual ~LinkTransport() = default;
    /// Connects to `address` and subscribes to `filter` (a topic filter such as
    /// `Arkusz1/#`), so that the latest value of every matching topic, retained values
    /// included, is known from then on. Returns false, and stays closed, when the broker
    /// cannot be reached, refuses the connection or does not answer within `timeout`.
    [[nodiscard]] virtual bool connect(const BrokerAddress& address, std::string_view filter,
                                       std::chrono::milliseconds timeout) = 0;
    /// The latest value received on `topic`, or nothing if none has come yet (or the link is
    /// closed). Values outlive a lost connection.
    [[nodiscard]] virtual std::optional<std::string> latest(std::string_view topic) = 0;
    /// Publishes `value` to `topic` as a retained message; returns false when it could not be
    /// sent (not connected, connection lost); the value is then lost.
    virtual bool publishRetained(std::string_view topic, std::string_view value) = 0;
    /// Ends the connection and forgets every value; harmless when not connected.
    virtual void close() = 0;
    /// True between a successful `connect` and `close`.
    [[nodiscard]] virtual bool isOpen() const = 0;
};

}  // namespace plc
