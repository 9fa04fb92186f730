// Where the Modbus TCP server listens: the text `[address:]port` of the panel's port box and the
// command line, and the form in which the state line shows it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace iolink {

inline constexpr std::string_view kDefaultModbusHost = "127.0.0.1";
inline constexpr std::uint16_t kDefaultModbusPort = 1502;

/// An address of this machine (or a name of one) and a port.
struct ModbusEndpoint {
    std::string host{kDefaultModbusHost};
    std::uint16_t port = kDefaultModbusPort;
};

/// Reads `text` (blanks around it ignored): `port`, `address:port` or `[v6-address]:port`; the
/// address defaults to 127.0.0.1, so that only this machine is served unless asked otherwise.
/// Returns nothing for a port that is not a number in 1..65535, an empty address, or an
/// address with blanks or with colons outside brackets.
[[nodiscard]] std::optional<ModbusEndpoint> parseModbusEndpoint(std::string_view text);

/// `address:port`, a v6 address in brackets: "127.0.0.1:1502", "[::1]:1502".
[[nodiscard]] std::string modbusEndpointText(const ModbusEndpoint& endpoint);

}  // namespace iolink
