// The exchange of the six link items at every tick: three inputs read from the latest values
// of their topics into the controller, three outputs published from it, all as decimal text.
#pragma once

#include "plc/link_transport.h"
#include "plc/scan_cycle.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plc {

/// The six item names in the dialog's order: discrete inputs, analogue input 1, analogue
/// input 2, discrete outputs, analogue output 1, analogue output 2.
struct LinkItems {
    std::array<std::string, 6> names;
};

/// Index of each item in `LinkItems::names`.
enum class LinkItem : int {
    DiscreteInputs = 0,
    AnalogInput1 = 1,
    AnalogInput2 = 2,
    DiscreteOutputs = 3,
    AnalogOutput1 = 4,
    AnalogOutput2 = 5,
};

/// The names the dialog starts with, cells of a sheet in row/column notation.
[[nodiscard]] LinkItems defaultLinkItems();
inline constexpr std::string_view kDefaultLinkService = "localhost";
inline constexpr std::string_view kDefaultLinkTopic = "Arkusz1";
inline constexpr std::chrono::milliseconds kLinkConnectTimeout{3000};

/// The topic of `item` under `prefix`: `prefix/item`, or `item` alone for an empty prefix.
/// Nothing when the item is empty or the result is no topic one may publish to (a `+` or `#`,
/// a NUL, text that is not UTF-8, or longer than 65535 bytes).
[[nodiscard]] std::optional<std::string> linkTopic(std::string_view prefix, std::string_view item);

/// The value an input item's text stands for: its leading decimal integer, low 16 bits.
[[nodiscard]] std::uint16_t linkInputValue(std::string_view text);

/// Result of connecting.
enum class LinkResult : int { Connected = 0, Failed = 1 };

/// The link's side of the scan cycle. The item names are asked for at every exchange, so a
/// name changed during a run takes effect at the next tick.
class LinkExchange final : public IoTransfer {
public:
    /// An exchange over `transport` (which must outlive it), taking the item names from
    /// `items` at every exchange.
    LinkExchange(LinkTransport& transport, std::function<LinkItems()> items);

    /// Connects to the broker named by `service` and subscribes to the input items' topics
    /// under the prefix `topic`, their retained values read before this returns; a service
    /// text that names no broker or a prefix that is no topic fails without trying.
    [[nodiscard]] LinkResult connect(std::string_view service, std::string_view topic,
                                     std::chrono::milliseconds timeout = kLinkConnectTimeout);
    /// How the last `connect` ended: Connected, or why it failed.
    [[nodiscard]] ConnectResult connectResult() const { return m_result; }
    /// Closes the connection.
    void close();
    /// True while connected.
    [[nodiscard]] bool isOpen() const { return m_transport.isOpen(); }

    /// The discrete inputs and then analogue inputs 2 and 1 from their items' latest values;
    /// an item without a value, or with a name that makes no topic, reads as 0. A renamed
    /// input item is subscribed to here, its value read from a later exchange on.
    void readInputs(Plc& plc) override;
    /// The discrete outputs as unsigned decimal text, the analogue outputs as signed decimal
    /// text, each published retained to its item; an item without a topic is skipped.
    void writeOutputs(const Plc& plc) override;

private:
    std::vector<std::string> inputTopics(const LinkItems& items) const;
    std::uint16_t request(const std::string& item);
    void poke(const std::string& item, std::string_view value);

    LinkTransport& m_transport;
    std::function<LinkItems()> m_items;
    std::string m_prefix;
    std::vector<std::string> m_subscribed;
    ConnectResult m_result = ConnectResult::BadAddress;
};

}  // namespace plc
