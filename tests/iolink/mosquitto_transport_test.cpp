// The MQTT transport against a private broker: connecting and its failures, retained values
// in both directions, and a broker that dies or falls silent under a connected client.
#include "iolink/mosquitto_transport.h"

#include "tests/plc/program_builder.h"
#include "tests/support/test_broker.h"

#include "plc/link_exchange.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace iolink {
namespace {

using namespace std::chrono_literals;
using testsupport::TestBroker;

using plc::ConnectResult;

const std::vector<std::string> kTopics = {"Arkusz1/W19K2", "Arkusz1/W22K2"};

plc::BrokerAddress addressOf(const std::string& service) {
    return plc::parseBrokerAddress(service).value();
}

// The network thread delivers in its own time: poll for up to two seconds.
std::optional<std::string> awaitValue(MosquittoTransport& transport, const std::string& topic,
                                      const std::string& expected) {
    std::optional<std::string> value;
    for (int i = 0; i < 200; ++i) {
        value = transport.latest(topic);
        if (value == expected) {
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    return value;
}

TEST(MosquittoTransportTest, RetainedValuesTravelBothWaysOnTheSubscribedTopics) {
    TestBroker broker;
    ASSERT_TRUE(broker.running()) << broker.problem();
    ASSERT_TRUE(broker.publish("Arkusz1/W19K2", "3"));
    ASSERT_TRUE(broker.publish("Inny/W19K2", "7"));

    MosquittoTransport transport;
    ASSERT_EQ(transport.connect(addressOf(broker.service()), kTopics, 3s),
              ConnectResult::Connected);
    EXPECT_TRUE(transport.isOpen());
    // A value retained before the connection is known; later ones replace it.
    EXPECT_EQ(awaitValue(transport, "Arkusz1/W19K2", "3"), "3");
    ASSERT_TRUE(broker.publish("Arkusz1/W19K2", "-1", false));
    EXPECT_EQ(awaitValue(transport, "Arkusz1/W19K2", "-1"), "-1");
    // Topics not subscribed to are not received; nothing yet is nothing.
    EXPECT_EQ(transport.latest("Inny/W19K2"), std::nullopt);
    EXPECT_EQ(transport.latest("Arkusz1/W22K2"), std::nullopt);

    // A client that subscribes later still sees the published value.
    EXPECT_TRUE(transport.publishRetained("Arkusz1/W19K5", "32769"));
    EXPECT_EQ(broker.retainedValue("Arkusz1/W19K5"), "32769");

    transport.close();
    EXPECT_FALSE(transport.isOpen());
    EXPECT_EQ(transport.latest("Arkusz1/W19K2"), std::nullopt);
    EXPECT_FALSE(transport.publishRetained("Arkusz1/W19K5", "1"));
}

TEST(MosquittoTransportTest, NoBrokerOrARefusalFailsWithinTheTimeout) {
    MosquittoTransport transport;
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(transport.connect(addressOf("127.0.0.1:" + std::to_string(TestBroker::freePort())),
                                kTopics, 3s),
              ConnectResult::NoBroker);
    EXPECT_FALSE(transport.isOpen());

    TestBroker guarded("operator", "tajne:has@lo");
    ASSERT_TRUE(guarded.running()) << guarded.problem();
    EXPECT_EQ(transport.connect(addressOf(guarded.service()), kTopics, 3s),
              ConnectResult::LoginRefused);
    EXPECT_EQ(transport.connect(addressOf("operator:zle@" + guarded.service()), kTopics, 3s),
              ConnectResult::LoginRefused);
    // Generous: a hang would take the test's whole time limit, a bug in the timeout seconds.
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);

    // The right credentials, the password holding a colon and an '@', are let in.
    ASSERT_EQ(
        transport.connect(addressOf("operator:tajne:has@lo@" + guarded.service()), kTopics, 3s),
        ConnectResult::Connected);
    ASSERT_TRUE(guarded.publish("Arkusz1/W22K2", "40000"));
    EXPECT_EQ(awaitValue(transport, "Arkusz1/W22K2", "40000"), "40000");
}

TEST(MosquittoTransportTest, ABrokerThatDiesKeepsTheValuesAndNeverBlocks) {
    TestBroker broker;
    ASSERT_TRUE(broker.running()) << broker.problem();
    ASSERT_TRUE(broker.publish("Arkusz1/W19K2", "5"));
    MosquittoTransport transport;
    ASSERT_EQ(transport.connect(addressOf(broker.service()), kTopics, 3s),
              ConnectResult::Connected);
    ASSERT_EQ(awaitValue(transport, "Arkusz1/W19K2", "5"), "5");

    broker.kill();
    const auto before = std::chrono::steady_clock::now();
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(transport.latest("Arkusz1/W19K2"), "5");
        transport.publishRetained("Arkusz1/W19K5", std::to_string(i));
        std::this_thread::sleep_for(10ms);
    }
    transport.close();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
}

// Other traffic under the prefix, or on a shared broker, can be of any size: none of it may
// keep an item's value from being read, and a renamed item reads its new topic.
TEST(MosquittoTransportTest, AFloodOfOtherTopicsDoesNotDisplaceAnItem) {
    TestBroker broker;
    ASSERT_TRUE(broker.running()) << broker.problem();
    MosquittoTransport transport;
    plc::LinkItems items = plc::defaultLinkItems();
    plc::LinkExchange exchange(transport, [&items] { return items; });
    ASSERT_EQ(exchange.connect(broker.service(), "Arkusz1"), plc::LinkResult::Connected);
    plc::test::Rig rig;
    rig.run(plc::test::Builder().end());

    std::vector<std::pair<std::string, std::string>> flood;
    for (int i = 0; i <= 10000; ++i) {
        flood.emplace_back("Arkusz1/zalew/" + std::to_string(i), "1");
    }
    flood.emplace_back("Arkusz1/W19K2", "5");  // last, so it reaches the link after the rest
    ASSERT_TRUE(broker.publishAll(flood, false));
    const auto inputsRead = [&](std::uint16_t expected) {
        for (int i = 0; i < 1000; ++i) {
            exchange.readInputs(rig.plc);
            if (rig.plc.readWord(plc::kAreaI, 0) == expected) {
                return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    };
    EXPECT_TRUE(inputsRead(5));

    ASSERT_TRUE(broker.publish("Arkusz1/Nowa", "9"));
    items.names[static_cast<std::size_t>(plc::LinkItem::DiscreteInputs)] = "Nowa";
    EXPECT_TRUE(inputsRead(9));
}

// A broker whose host stops answering: the port still takes connection attempts but never
// answers them, so the client's reconnection waits in connect() for minutes.
TEST(MosquittoTransportTest, ABrokerThatFallsSilentDoesNotHoldTheClose) {
    TestBroker broker;
    ASSERT_TRUE(broker.running()) << broker.problem();
    MosquittoTransport transport;
    ASSERT_EQ(transport.connect(addressOf(broker.service()), kTopics, 3s),
              ConnectResult::Connected);
    const std::uint16_t port = broker.port();
    broker.kill();

    // A listener whose one-place queue is already full drops every later attempt unanswered.
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    const int reuse = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    const int filler = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(::connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    // The network thread notices the loss and tries again after its one-second delay.
    std::this_thread::sleep_for(2500ms);

    const auto before = std::chrono::steady_clock::now();
    transport.close();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    EXPECT_FALSE(transport.isOpen());
    ::close(filler);
    ::close(listener);
}

}  // namespace
}  // namespace iolink
