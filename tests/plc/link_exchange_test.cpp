// The link's exchange over a fake transport: the text forms of the six items, their topics,
// names read at every exchange, and the broker address.
#include "plc/link_exchange.h"

#include "tests/plc/program_builder.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace plc::test {
namespace {

class FakeTransport : public LinkTransport {
public:
    ConnectResult connect(const BrokerAddress& address, const std::vector<std::string>& topics,
                          std::chrono::milliseconds) override {
        connectedTo = address;
        subscribed = topics;
        open = reachable;
        return open ? ConnectResult::Connected : ConnectResult::NoBroker;
    }
    void subscribe(const std::vector<std::string>& topics) override {
        subscribed = topics;
        ++resubscriptions;
    }
    std::optional<std::string> latest(std::string_view topic) override {
        const auto found = values.find(std::string(topic));
        if (found == values.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    bool publishRetained(std::string_view topic, std::string_view value) override {
        published.emplace_back(topic, value);
        return open;
    }
    void close() override { open = false; }
    bool isOpen() const override { return open; }

    bool reachable = true;
    bool open = false;
    std::optional<BrokerAddress> connectedTo;
    std::vector<std::string> subscribed;
    int resubscriptions = 0;
    std::map<std::string, std::string> values;
    std::vector<std::pair<std::string, std::string>> published;
};

struct LinkFixture : ::testing::Test {
    LinkFixture() { plc.setProgram(Program(Builder().end().build(), 0, 0)); }
    void SetUp() override { ASSERT_TRUE(plc.allocate()); }

    FakeClock clock;
    Plc plc{clock};
    FakeTransport transport;
    LinkItems items = defaultLinkItems();
    LinkExchange exchange{transport, [this] { return items; }};
};

struct InputCase {
    const char* text;
    std::uint16_t word;
};

class LinkInputTextTest : public ::testing::TestWithParam<InputCase> {};

TEST_P(LinkInputTextTest, ReadsTheLeadingIntegerLow16Bits) {
    EXPECT_EQ(linkInputValue(GetParam().text), GetParam().word) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LinkInputTextTest,
    ::testing::Values(InputCase{"3", 0x0003}, InputCase{"-1", 0xFFFF}, InputCase{"abc", 0},
                      InputCase{"40000", 0x9C40}, InputCase{"  +5x", 5},
                      InputCase{"\t-2 7", 0xFFFE}, InputCase{"", 0}, InputCase{"-", 0},
                      InputCase{"65536", 0}, InputCase{"65537", 1},
                      // Far beyond any integer type, still exactly its low 16 bits: 10^30 is a
                      // multiple of 2^16, and 10^20 - 1 is -1 modulo 2^16, negated 1.
                      InputCase{"1000000000000000000000000000000", 0},
                      InputCase{"-99999999999999999999", 1}));

TEST_F(LinkFixture, InputsAndOutputsTakeTheirTextFormsOnTheItemsTopics) {
    ASSERT_EQ(exchange.connect(" operator:x@plc-host:1884 ", "Arkusz1"), LinkResult::Connected);
    EXPECT_EQ(transport.connectedTo->host, "plc-host");
    EXPECT_EQ(transport.connectedTo->port, 1884);
    EXPECT_EQ(transport.connectedTo->user, "operator");
    // The input items' own topics, and nothing else under the prefix.
    EXPECT_EQ(transport.subscribed,
              (std::vector<std::string>{"Arkusz1/W19K2", "Arkusz1/W22K2", "Arkusz1/W23K2"}));

    transport.values = {
        {"Arkusz1/W19K2", "3"}, {"Arkusz1/W22K2", "40000"}, {"Arkusz1/W23K2", "-7"}};
    exchange.readInputs(plc);
    EXPECT_EQ(plc.readBit(kAreaI, 0, 0), 1);
    EXPECT_EQ(plc.readBit(kAreaI, 0, 1), 1);
    EXPECT_EQ(plc.readBit(kAreaI, 0, 2), 0);
    EXPECT_EQ(plc.readInt(kAreaAI, 0), -25536);
    EXPECT_EQ(plc.readInt(kAreaAI, 2), -7);

    plc.writeBit(kAreaQ, 0, 0, 1);
    plc.writeBit(kAreaQ, 1, 7, 1);
    plc.writeInt(kAreaAQ, 0, -32768);
    plc.writeInt(kAreaAQ, 2, 32767);
    exchange.writeOutputs(plc);
    using Published = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(transport.published, (Published{{"Arkusz1/W19K5", "32769"},
                                              {"Arkusz1/W22K5", "-32768"},
                                              {"Arkusz1/W23K5", "32767"}}));
}

TEST_F(LinkFixture, ItemNamesAreReadAtEveryExchange) {
    ASSERT_EQ(exchange.connect("localhost", "Arkusz1"), LinkResult::Connected);
    transport.values = {{"Arkusz1/W19K2", "-1"}, {"Arkusz1/A1", "2"}};
    exchange.readInputs(plc);
    EXPECT_EQ(plc.readWord(kAreaI, 0), 0xFFFF);

    // Renamed, unset, empty and invalid names: the inputs read 0 or their new topic, and
    // outputs without a valid topic are not published at all.
    items.names = {"A1", "nic", "", "Q/#", "W22+K5", "Wyjście ł"};
    exchange.readInputs(plc);
    EXPECT_EQ(transport.subscribed, (std::vector<std::string>{"Arkusz1/A1", "Arkusz1/nic"}));
    EXPECT_EQ(plc.readWord(kAreaI, 0), 2);
    EXPECT_EQ(plc.readInt(kAreaAI, 0), 0);
    EXPECT_EQ(plc.readInt(kAreaAI, 2), 0);
    // Outputs renamed alone, or the same names again, need no new subscription.
    items.names[static_cast<std::size_t>(LinkItem::DiscreteOutputs)] = "Q/+";
    exchange.readInputs(plc);
    EXPECT_EQ(transport.resubscriptions, 1);
    transport.published.clear();
    exchange.writeOutputs(plc);
    ASSERT_EQ(transport.published.size(), 1u);
    EXPECT_EQ(transport.published[0].first, "Arkusz1/Wyjście ł");
    EXPECT_EQ(transport.published[0].second, "0");
}

TEST_F(LinkFixture, TopicsAndServicesThatNameNothingFailWithoutTrying) {
    EXPECT_EQ(linkTopic("", "W19K2"), "W19K2");
    EXPECT_EQ(linkTopic("a/b", "c"), "a/b/c");
    EXPECT_EQ(linkTopic("Arkusz1", std::string("W\0", 2)), std::nullopt);
    EXPECT_EQ(linkTopic("Arkusz1", "\xC3"), std::nullopt);      // cut UTF-8
    EXPECT_EQ(linkTopic("Arkusz1", "\xC0\xAF"), std::nullopt);  // overlong '/'
    EXPECT_EQ(linkTopic("Arkusz1", std::string(70000, 'x')), std::nullopt);

    for (const char* service : {"", "   ", ":1883", "host:", "host:0", "host:65536", "host:12a",
                                "@host", "[::1", "[::1]x", "a b"}) {
        EXPECT_EQ(exchange.connect(service, "Arkusz1"), LinkResult::Failed) << service;
    }
    EXPECT_FALSE(transport.connectedTo.has_value());
    EXPECT_EQ(exchange.connect("localhost", "Arkusz#"), LinkResult::Failed);
    EXPECT_FALSE(transport.connectedTo.has_value());

    const std::optional<BrokerAddress> v6 = parseBrokerAddress("[::1]:2000");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->host, "::1");
    EXPECT_EQ(v6->port, 2000);
    EXPECT_EQ(parseBrokerAddress("fe80::1")->port, kDefaultBrokerPort);
    EXPECT_EQ(parseBrokerAddress("user@host")->password, "");

    EXPECT_EQ(exchange.connectResult(), ConnectResult::BadAddress);

    transport.reachable = false;
    EXPECT_EQ(exchange.connect("localhost", ""), LinkResult::Failed);
    EXPECT_EQ(transport.subscribed,
              (std::vector<std::string>{"W19K2", "W22K2", "W23K2"}));  // no prefix: the items
    EXPECT_EQ(exchange.connectResult(), ConnectResult::NoBroker);
    EXPECT_FALSE(exchange.isOpen());

    // The address in messages: never the credentials.
    EXPECT_EQ(brokerAddressText(*parseBrokerAddress("operator:Tajne@[::1]:2000")), "[::1]:2000");
    EXPECT_EQ(brokerAddressText(*parseBrokerAddress("u:p@plc-host")), "plc-host:1883");
}

}  // namespace
}  // namespace plc::test
