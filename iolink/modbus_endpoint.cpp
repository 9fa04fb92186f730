// The text form of the Modbus server's address.
#include "iolink/modbus_endpoint.h"

#include "operands/text_blanks.h"

#include <charconv>

namespace iolink {

namespace {

std::optional<std::uint16_t> portOf(std::string_view text) {
    unsigned value = 0;
    const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || next != text.data() + text.size() || value < 1 ||
        value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<ModbusEndpoint> parseModbusEndpoint(std::string_view text) {
    text = operands::trimmed(text);
    ModbusEndpoint endpoint;
    std::string_view portText = text;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            return std::nullopt;
        }
        endpoint.host = std::string(text.substr(1, close - 1));
        portText = text.substr(close + 2);
    } else if (const auto colon = text.find(':'); colon != std::string_view::npos) {
        endpoint.host = std::string(text.substr(0, colon));
        portText = text.substr(colon + 1);
    }
    const std::optional<std::uint16_t> port = portOf(portText);
    if (!port || endpoint.host.empty() ||
        endpoint.host.find_first_of(" \t[]") != std::string::npos) {
        return std::nullopt;
    }
    endpoint.port = *port;
    return endpoint;
}

std::string modbusEndpointText(const ModbusEndpoint& endpoint) {
    const bool v6 = endpoint.host.find(':') != std::string::npos;
    return (v6 ? "[" + endpoint.host + "]" : endpoint.host) + ":" + std::to_string(endpoint.port);
}

}  // namespace iolink
