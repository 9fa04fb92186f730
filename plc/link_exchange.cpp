// The six items of the link, exchanged as decimal text.
#include "plc/link_exchange.h"

#include "plc/decimal_text.h"

#include <algorithm>
#include <string>
#include <utility>

namespace plc {

namespace {

constexpr std::size_t kMaxTopicBytes = 65535;

// Well-formed UTF-8 without NUL, as a topic must be.
bool isTopicText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0) {
            return false;
        }
        std::size_t extra = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1Fu;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0Fu;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07u;
        } else {
            return false;
        }
        if (i + extra >= text.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[extra] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

bool isPublishTopic(std::string_view topic) {
    return !topic.empty() && topic.size() <= kMaxTopicBytes &&
           topic.find_first_of("+#") == std::string_view::npos && isTopicText(topic);
}

}  // namespace

LinkItems defaultLinkItems() {
    return LinkItems{{"W19K2", "W22K2", "W23K2", "W19K5", "W22K5", "W23K5"}};
}

std::optional<std::string> linkTopic(std::string_view prefix, std::string_view item) {
    if (item.empty()) {
        return std::nullopt;
    }
    std::string topic;
    if (!prefix.empty()) {
        topic.reserve(prefix.size() + 1 + item.size());
        topic.append(prefix);
        topic.push_back('/');
    }
    topic.append(item);
    if (!isPublishTopic(topic)) {
        return std::nullopt;
    }
    return topic;
}

std::uint16_t linkInputValue(std::string_view text) {
    return leadingIntegerLow16(text);
}

LinkExchange::LinkExchange(LinkTransport& transport, std::function<LinkItems()> items)
    : m_transport(transport), m_items(std::move(items)) {}

LinkResult LinkExchange::connect(std::string_view service, std::string_view topic,
                                 std::chrono::milliseconds timeout) {
    m_transport.close();
    m_subscribed.clear();
    m_result = ConnectResult::BadAddress;
    const std::optional<BrokerAddress> address = parseBrokerAddress(service);
    // The prefix must itself be a topic, or no item under it could be one.
    if (!address || (!topic.empty() && !isPublishTopic(topic))) {
        return LinkResult::Failed;
    }
    m_prefix = std::string(topic);
    // Only the items' own topics: other traffic under the prefix never reaches the link.
    m_subscribed = inputTopics(m_items());
    m_result = m_transport.connect(*address, m_subscribed, timeout);
    return m_result == ConnectResult::Connected ? LinkResult::Connected : LinkResult::Failed;
}

void LinkExchange::close() {
    m_transport.close();
    m_subscribed.clear();
}

std::vector<std::string> LinkExchange::inputTopics(const LinkItems& items) const {
    std::vector<std::string> topics;
    for (const LinkItem item :
         {LinkItem::DiscreteInputs, LinkItem::AnalogInput1, LinkItem::AnalogInput2}) {
        std::optional<std::string> name =
            linkTopic(m_prefix, items.names[static_cast<std::size_t>(item)]);
        if (name && std::find(topics.begin(), topics.end(), *name) == topics.end()) {
            topics.push_back(std::move(*name));
        }
    }
    return topics;
}

std::uint16_t LinkExchange::request(const std::string& item) {
    const std::optional<std::string> topic = linkTopic(m_prefix, item);
    if (!topic) {
        return 0;
    }
    const std::optional<std::string> value = m_transport.latest(*topic);
    return value ? linkInputValue(*value) : 0;
}

void LinkExchange::poke(const std::string& item, std::string_view value) {
    if (const std::optional<std::string> topic = linkTopic(m_prefix, item)) {
        m_transport.publishRetained(*topic, value);
    }
}

void LinkExchange::readInputs(Plc& plc) {
    const LinkItems items = m_items();
    if (m_transport.isOpen()) {
        std::vector<std::string> topics = inputTopics(items);
        if (topics != m_subscribed) {
            m_transport.subscribe(topics);
            m_subscribed = std::move(topics);
        }
    }
    const auto name = [&items](LinkItem item) -> const std::string& {
        return items.names[static_cast<std::size_t>(item)];
    };
    plc.setInputWord(request(name(LinkItem::DiscreteInputs)));
    const auto analog2 = static_cast<std::int16_t>(request(name(LinkItem::AnalogInput2)));
    const auto analog1 = static_cast<std::int16_t>(request(name(LinkItem::AnalogInput1)));
    plc.setAnalogInputs(analog1, analog2);
}

void LinkExchange::writeOutputs(const Plc& plc) {
    const LinkItems items = m_items();
    const auto name = [&items](LinkItem item) -> const std::string& {
        return items.names[static_cast<std::size_t>(item)];
    };
    poke(name(LinkItem::DiscreteOutputs), std::to_string(plc.outputWord()));
    poke(name(LinkItem::AnalogOutput1), std::to_string(plc.analogOutput1()));
    poke(name(LinkItem::AnalogOutput2), std::to_string(plc.analogOutput2()));
}

}  // namespace plc
