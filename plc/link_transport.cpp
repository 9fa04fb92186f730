// Reading the broker's address, and the texts that name a broker and a failed connection.
#include "plc/link_transport.h"

#include "operands/text_blanks.h"

namespace plc {

namespace {

std::optional<std::uint16_t> parsePort(std::string_view text) {
    if (text.empty() || text.size() > 5) {
        return std::nullopt;
    }
    std::uint32_t port = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        port = port * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (port < 1 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(port);
}

}  // namespace

std::optional<BrokerAddress> parseBrokerAddress(std::string_view text) {
    text = operands::trimmed(text, " \t\r\n");
    BrokerAddress address;
    // The last '@' ends the credentials, so a password may hold one.
    if (const std::size_t at = text.rfind('@'); at != std::string_view::npos) {
        const std::string_view credentials = text.substr(0, at);
        text = text.substr(at + 1);
        const std::size_t colon = credentials.find(':');
        address.user = std::string(credentials.substr(0, colon));
        if (colon != std::string_view::npos) {
            address.password = std::string(credentials.substr(colon + 1));
        }
        if (address.user.empty()) {
            return std::nullopt;
        }
    }
    std::string_view host = text;
    std::string_view port;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') {
                return std::nullopt;
            }
            port = rest.substr(1);
            if (port.empty()) {
                return std::nullopt;
            }
        }
    } else if (const std::size_t colon = text.find(':');
               colon != std::string_view::npos &&
               text.find(':', colon + 1) == std::string_view::npos) {
        // One colon separates the port; more are a bare IPv6 address on the default port.
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (port.empty()) {
            return std::nullopt;
        }
    }
    if (host.empty() || host.find_first_of(" \t/@") != std::string_view::npos) {
        return std::nullopt;
    }
    address.host = std::string(host);
    if (!port.empty()) {
        const std::optional<std::uint16_t> number = parsePort(port);
        if (!number) {
            return std::nullopt;
        }
        address.port = *number;
    }
    return address;
}

std::string brokerAddressText(const BrokerAddress& address) {
    const bool v6 = address.host.find(':') != std::string::npos;
    return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

std::string_view connectResultText(ConnectResult result) {
    switch (result) {
        case ConnectResult::Connected: return "";
        case ConnectResult::BadAddress: return "nieprawidłowy adres brokera lub przedrostek tematu";
        case ConnectResult::NoBroker: return "pod tym adresem nie działa żaden broker";
        case ConnectResult::UnknownHost: return "nieznany host";
        case ConnectResult::LoginRefused:
            return "broker odrzucił logowanie (nazwa użytkownika lub hasło)";
        case ConnectResult::TimedOut: return "broker nie odpowiedział w wyznaczonym czasie";
        case ConnectResult::Refused: return "broker odrzucił połączenie lub subskrypcję";
        case ConnectResult::Failed: return "brak zasobów do nawiązania połączenia";
    }
    return "";
}

}  // namespace plc
