// The link to other programs as the controller sees it: a broker reached by address, items
// that are topics holding their latest value, and retained values published to them. The
// network side lives elsewhere; tests put a fake behind this interface.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

/// Text naming the broker at `address` without its credentials: `host:port`, or
/// `[v6-address]:port`; what messages show, so that no password ever reaches a screen or log.
[[nodiscard]] std::string brokerAddressText(const BrokerAddress& address);

/// How an attempt to connect ended.
enum class ConnectResult : int {
    Connected = 0,
    BadAddress = 1,    ///< the text names no broker, or the topic prefix is no topic
    NoBroker = 2,      ///< nothing takes connections at that address
    UnknownHost = 3,   ///< the host name does not resolve
    LoginRefused = 4,  ///< the broker refused the user name or password
    TimedOut = 5,      ///< no answer within the time allowed
    Refused = 6,       ///< the broker refused the connection or the subscription otherwise
    Failed = 7,        ///< this machine could not even try (no memory, no thread)
};

/// Returns why, in Polish, for a message after the broker's address: "nieznany host", ...;
/// empty for Connected.
[[nodiscard]] std::string_view connectResultText(ConnectResult result);

/// One connection to a broker. Every call returns at once except `connect`, which waits at
/// most its timeout; none throws.
class LinkTransport {
public:
    virtual ~LinkTransport() = default;
    /// Connects to `address` and subscribes to each of `topics` (topic names, no filters), so
    /// that the latest value of each is known from then on. Returns Connected once the broker
    /// has acknowledged the subscription and the values it retains on `topics` have come in
    /// (or, when the broker does not show that they have, once `timeout` is over); otherwise
    /// the reason, the transport staying closed, when the broker cannot be reached, refuses
    /// the connection or the subscription, or does not answer within `timeout`.
    [[nodiscard]] virtual ConnectResult connect(const BrokerAddress& address,
                                                const std::vector<std::string>& topics,
                                                std::chrono::milliseconds timeout) = 0;
    /// Subscribes to `topics` in place of the topics subscribed so far, without waiting: the
    /// values of topics no longer among them are forgotten, those of new ones come later.
    /// Harmless when not connected.
    virtual void subscribe(const std::vector<std::string>& topics) = 0;
    /// The latest value received on a subscribed `topic`, or nothing if none has come yet (or
    /// the link is closed). Values outlive a lost connection.
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
