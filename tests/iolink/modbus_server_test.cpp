// The Modbus TCP server against libmodbus's own client on a loopback port, with a simulation
// thread that ticks and serves between ticks: every block of the map both ways, exceptions,
// malformed frames, silent, stalled and vanishing clients, silence timed by a test's clock, the
// ninth client, bursts of connections, a busy port, and eight clients polling a running
// simulation.
#include "iolink/modbus_server.h"

#include "tests/plc/program_builder.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <modbus/modbus.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace iolink {
namespace {

using namespace plc::test;
using namespace std::chrono_literals;

// A controller whose own thread serves requests and, when asked, ticks every 5 ms in RUN.
class ServedController {
public:
    explicit ServedController(const Builder& program = Builder().end()) : m_server() {
        start(program, {});
    }
    /// Silence measured by `clock` and held to `limits`.
    ServedController(ModbusClock clock, const ModbusIdleLimits& limits)
        : m_server(std::move(clock)) {
        start(Builder().end(), limits);
    }
    ~ServedController() {
        m_stop = true;
        m_thread.join();
    }

    ModbusOpenResult opened() const { return m_opened; }
    std::uint16_t port() const { return m_server.port(); }
    std::size_t clientCount() const { return m_server.clientCount(); }
    /// Runs `f` with the controller and the panel to itself, between two ticks.
    template <typename F>
    auto between(F f) {
        const std::lock_guard lock(m_mutex);
        return f(m_rig, m_panel);
    }
    /// Ticks `n` more times, one every 5 ms.
    void tick(int n) { m_ticksLeft += n; }
    bool ticking() const { return m_ticksLeft > 0; }
    int ticksRun() const { return m_ticksRun; }

private:
    void start(const Builder& program, const ModbusIdleLimits& limits) {
        m_rig.run(program);
        m_opened = m_server.open({"127.0.0.1", 0}, limits);
        m_thread = std::thread([this] { simulate(); });
    }

    void simulate() {
        auto next = std::chrono::steady_clock::now();
        while (!m_stop) {
            m_server.waitForRequests(next);
            const std::lock_guard lock(m_mutex);
            m_server.serve(m_rig.plc, m_panel);
            if (std::chrono::steady_clock::now() >= next) {
                if (m_ticksLeft > 0) {
                    m_rig.ticks(1);
                    --m_ticksLeft;
                    ++m_ticksRun;
                }
                next = std::chrono::steady_clock::now() + 5ms;
            }
        }
    }

    Rig m_rig;
    PanelInputs m_panel;
    ModbusServer m_server;
    ModbusOpenResult m_opened = ModbusOpenResult::Failed;
    std::mutex m_mutex;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_ticksLeft{0};
    std::atomic<int> m_ticksRun{0};
};

// libmodbus's client, connected to the loopback port.
class Client {
public:
    explicit Client(std::uint16_t port) : m_context(modbus_new_tcp("127.0.0.1", port)) {
        modbus_set_response_timeout(m_context, 2, 0);
        m_connected = modbus_connect(m_context) == 0;
    }
    ~Client() {
        modbus_close(m_context);
        modbus_free(m_context);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool connected() const { return m_connected; }
    modbus_t* operator*() const { return m_context; }

private:
    modbus_t* m_context;
    bool m_connected = false;
};

// A plain socket, for what libmodbus's client would never send.
int rawConnect(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    const timeval limit{2, 0};  // no read in a test waits longer than this
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    return fd;
}

bool sendBytes(int fd, const std::vector<std::uint8_t>& bytes) {
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
}

// True when the server closes the connection within two seconds.
bool closedByServer(int fd) {
    pollfd polled{fd, POLLIN, 0};
    if (::poll(&polled, 1, 2000) != 1) {
        return false;
    }
    std::uint8_t byte = 0;
    return ::recv(fd, &byte, 1, 0) <= 0;
}

// Reads %R0001 over `fd` as transaction `id`; true when the answer comes.
bool ask(int fd, std::uint8_t id) {
    if (!sendBytes(fd, {0, id, 0, 0, 0, 6, 1, 3, 0, 0, 0, 1})) {
        return false;
    }
    std::vector<std::uint8_t> answer(11);
    return ::recv(fd, answer.data(), answer.size(), MSG_WAITALL) == 11 && answer[1] == id;
}

// A clock that moves only when a test moves it.
struct TestClock {
    std::atomic<std::int64_t> ms{1'000'000};
    ModbusClock clock() {
        return
            [this] { return std::chrono::steady_clock::time_point(std::chrono::milliseconds(ms)); };
    }
    void advance(std::chrono::milliseconds by) { ms += by.count(); }
};

bool waitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 200 && !condition(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    return condition();
}

enum class Table { Coils, DiscreteInputs, HoldingRegisters, InputRegisters };

struct Place {
    const char* name;
    Table table;
    int address;
    bool panel;         // the panel's inputs rather than memory
    Address reference;  // in memory; for the panel, byteOffset/bit give the index
    bool writable;
};

class ModbusServerMapTest : public ::testing::TestWithParam<Place> {};

TEST_P(ModbusServerMapTest, ClientReadsAndWritesWhatTheControllerAndPanelHold) {
    const Place& place = GetParam();
    ServedController controller;
    ASSERT_EQ(controller.opened(), ModbusOpenResult::Listening);
    Client client(controller.port());
    ASSERT_TRUE(client.connected());

    const bool bits = place.table == Table::Coils || place.table == Table::DiscreteInputs;
    const int panelIndex = place.reference.byteOffset;
    // A negative INT shows its two's complement.
    const std::uint16_t held = bits ? 1 : static_cast<std::uint16_t>(-12345 + place.address);
    controller.between([&](Rig& rig, PanelInputs& panel) {
        if (!place.panel && bits) {
            rig.setBit(place.reference, 1);
        } else if (!place.panel) {
            rig.setWord(place.reference, held);
        } else if (bits) {
            panel.discrete = static_cast<std::uint16_t>(1u << panelIndex);
        } else {
            panel.analog[static_cast<std::size_t>(panelIndex)] = static_cast<std::int16_t>(held);
        }
    });

    std::uint8_t bit = 0;
    std::uint16_t value = 0;
    switch (place.table) {
        case Table::Coils: ASSERT_EQ(modbus_read_bits(*client, place.address, 1, &bit), 1); break;
        case Table::DiscreteInputs:
            ASSERT_EQ(modbus_read_input_bits(*client, place.address, 1, &bit), 1);
            break;
        case Table::HoldingRegisters:
            ASSERT_EQ(modbus_read_registers(*client, place.address, 1, &value), 1);
            break;
        case Table::InputRegisters:
            ASSERT_EQ(modbus_read_input_registers(*client, place.address, 1, &value), 1);
            break;
    }
    EXPECT_EQ(bits ? bit : value, held);
    if (!place.writable) {
        return;  // the protocol has no function that writes these tables
    }

    const std::uint16_t written = 0x7FFE;
    ASSERT_EQ(bits ? modbus_write_bit(*client, place.address, 0)
                   : modbus_write_register(*client, place.address, written),
              1);
    controller.between([&](Rig& rig, PanelInputs& panel) {
        if (!place.panel && bits) {
            EXPECT_EQ(rig.bit(place.reference), 0);
        } else if (!place.panel) {
            EXPECT_EQ(rig.wordAt(place.reference), written);
        } else if (bits) {
            EXPECT_EQ(panel.discrete, 0);
        } else {
            EXPECT_EQ(panel.analog[static_cast<std::size_t>(panelIndex)], 0x7FFE);
        }
    });
}

// The first and the last address of every block of the map.
INSTANTIATE_TEST_SUITE_P(
    EveryBlock, ModbusServerMapTest,
    ::testing::Values(
        Place{"DiscreteInputI0001", Table::DiscreteInputs, 0, false, I(1), false},
        Place{"DiscreteInputI0512", Table::DiscreteInputs, 511, false, I(512), false},
        Place{"CoilQ0001", Table::Coils, 0, false, Q(1), true},
        Place{"CoilQ0512", Table::Coils, 511, false, Q(512), true},
        Place{"CoilM0001", Table::Coils, 1000, false, M(1), true},
        Place{"CoilM1024", Table::Coils, 2023, false, M(1024), true},
        Place{"CoilPanelI0001", Table::Coils, 3000, true, {0, 0, 0}, true},
        Place{"CoilPanelI0016", Table::Coils, 3015, true, {0, 15, 0}, true},
        Place{"InputRegisterAI0001", Table::InputRegisters, 0, false, AI(1), false},
        Place{"InputRegisterAI0064", Table::InputRegisters, 63, false, AI(64), false},
        Place{"HoldingR0001", Table::HoldingRegisters, 0, false, R(1), true},
        Place{"HoldingR0512", Table::HoldingRegisters, 511, false, R(512), true},
        Place{"HoldingAQ0001", Table::HoldingRegisters, 1000, false, AQ(1), true},
        Place{"HoldingAQ0032", Table::HoldingRegisters, 1031, false, AQ(32), true},
        Place{"HoldingPanelAI0001", Table::HoldingRegisters, 3000, true, {0, 0, 0}, true},
        Place{"HoldingPanelAI0002", Table::HoldingRegisters, 3001, true, {0, 1, 0}, true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ModbusServerTest, ExceptionsAnswerWithoutClosingTheConnection) {
    ServedController controller;
    ASSERT_EQ(controller.opened(), ModbusOpenResult::Listening);
    Client client(controller.port());
    ASSERT_TRUE(client.connected());

    std::uint16_t registers[2] = {};
    EXPECT_EQ(modbus_read_registers(*client, 511, 2, registers), -1);
    EXPECT_EQ(errno, EMBXILADD);
    std::uint8_t bits[8] = {};
    EXPECT_EQ(modbus_read_bits(*client, 600, 1, bits), -1);
    EXPECT_EQ(errno, EMBXILADD);
    // Read exception status, a function this server does not have.
    const std::uint8_t request[] = {0xFF, 0x07};
    ASSERT_GT(modbus_send_raw_request(*client, request, sizeof request), 0);
    std::uint8_t response[MODBUS_TCP_MAX_ADU_LENGTH];
    ASSERT_EQ(modbus_receive_confirmation(*client, response), 9);
    EXPECT_EQ(response[7], 0x87);
    EXPECT_EQ(response[8], MODBUS_EXCEPTION_ILLEGAL_FUNCTION);

    EXPECT_EQ(modbus_read_registers(*client, 0, 2, registers), 2);
}

TEST(ModbusServerTest, MalformedFrameClosesOnlyItsOwnConnection) {
    ServedController controller;
    ASSERT_EQ(controller.opened(), ModbusOpenResult::Listening);
    Client good(controller.port());
    ASSERT_TRUE(good.connected());

    // A protocol other than Modbus in the header.
    const int otherProtocol = rawConnect(controller.port());
    ASSERT_TRUE(sendBytes(otherProtocol, {0, 1, 0, 1, 0, 6, 1, 3, 0, 0, 0, 1}));
    EXPECT_TRUE(closedByServer(otherProtocol));
    // A read of registers one byte longer than the function allows; the good read before it
    // on the same connection is still answered.
    const int surplus = rawConnect(controller.port());
    ASSERT_TRUE(sendBytes(surplus, {0, 1, 0, 0, 0, 6, 1, 3, 0, 0, 0, 1,  //
                                    0, 2, 0, 0, 0, 7, 1, 3, 0, 0, 0, 1, 0}));
    std::vector<std::uint8_t> answer(11);
    ASSERT_EQ(::recv(surplus, answer.data(), answer.size(), MSG_WAITALL), 11);
    EXPECT_EQ(answer, (std::vector<std::uint8_t>{0, 1, 0, 0, 0, 5, 1, 3, 2, 0, 0}));
    EXPECT_TRUE(closedByServer(surplus));
    ::close(otherProtocol);
    ::close(surplus);

    std::uint16_t value = 0;
    EXPECT_EQ(modbus_read_registers(*good, 0, 1, &value), 1);
}

TEST(ModbusServerTest, AnswersOwedBeforeAMalformedHeaderAreSentBeforeTheClose) {
    ServedController controller;
    ASSERT_EQ(controller.opened(), ModbusOpenResult::Listening);
    // In one packet: write 7 to %R0001, read it back, then a header of another protocol.
    const int fd = rawConnect(controller.port());
    ASSERT_TRUE(sendBytes(fd, {0, 1, 0, 0, 0, 6, 1, 6, 0, 0, 0, 7,  //
                               0, 2, 0, 0, 0, 6, 1, 3, 0, 0, 0, 1,  //
                               0, 3, 0, 1, 0, 6, 1, 3, 0, 0, 0, 1}));
    std::vector<std::uint8_t> answers(23);
    ASSERT_EQ(::recv(fd, answers.data(), answers.size(), MSG_WAITALL), 23);
    EXPECT_EQ(answers, (std::vector<std::uint8_t>{0, 1, 0, 0, 0, 6, 1, 6, 0, 0, 0, 7,  //
                                                  0, 2, 0, 0, 0, 5, 1, 3, 2, 0, 7}));
    EXPECT_TRUE(closedByServer(fd));
    ::close(fd);
}

TEST(ModbusServerTest, SilentStalledAndVanishingClientsHoldNothingUp) {
    ServedController controller;
    ASSERT_EQ(controller.opened(), ModbusOpenResult::Listening);
    const int silent = rawConnect(controller.port());
    const int stalled = rawConnect(controller.port());
    ASSERT_TRUE(sendBytes(stalled, {0, 1, 0, 0, 0, 6, 1, 3}));  // half a request, then nothing
    // Gone halfway through a request, and gone before its answer could be sent.
    const int halfway = rawConnect(controller.port());
    ASSERT_TRUE(sendBytes(halfway, {0, 1, 0, 0, 0, 6, 1}));
    const int impatient = rawConnect(controller.port());
    ASSERT_TRUE(sendBytes(impatient, {0, 1, 0, 0, 0, 6, 1, 3, 0, 0, 0, 100}));
    ASSERT_TRUE(waitFor([&] { return controller.clientCount() == 4; }));
    ::close(halfway);
    ::close(impatient);
    EXPECT_TRUE(waitFor([&] { return controller.clientCount() == 2; }));

    controller.tick(20);
    Client client(controller.port());
    ASSERT_TRUE(client.connected());
    std::uint16_t value = 0;
    EXPECT_EQ(modbus_read_registers(*client, 0, 1, &value), 1);
    EXPECT_TRUE(waitFor([&] { return !controller.ticking(); }));
    EXPECT_EQ(controller.ticksRun(), 20);
    ::close(silent);
    ::close(stalled);
}

TEST(ModbusServerTest, NinthClientIsTurnedAwayUntilOneLeaves) {
    ServedController controller;
    ASSERT_EQ(controller.opened(), ModbusOpenResult::Listening);
    std::vector<std::unique_ptr<Client>> clients;
    for (std::size_t i = 0; i < kModbusMaxClients; ++i) {
        clients.push_back(std::make_unique<Client>(controller.port()));
        ASSERT_TRUE(clients.back()->connected());
    }
    ASSERT_TRUE(waitFor([&] { return controller.clientCount() == kModbusMaxClients; }));
    std::uint16_t value = 0;
    Client ninth(controller.port());
    EXPECT_EQ(modbus_read_registers(*ninth, 0, 1, &value), -1);
    EXPECT_EQ(modbus_read_registers(**clients.back(), 0, 1, &value), 1);

    clients.pop_back();
    ASSERT_TRUE(waitFor([&] { return controller.clientCount() == kModbusMaxClients - 1; }));
    Client next(controller.port());
    EXPECT_EQ(modbus_read_registers(*next, 0, 1, &value), 1);
}

// Clients that connect and go at once may still stand in the queue of connections when the
// next one arrives: their places are free, and the next one is served.
TEST(ModbusServerTest, ABurstOfConnectionsThatCloseAtOnceLeavesTheSlotsFree) {
    ServedController controller;
    ASSERT_EQ(controller.opened(), ModbusOpenResult::Listening);
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<int> burst;
        for (std::size_t i = 0; i < kModbusMaxClients; ++i) {
            burst.push_back(rawConnect(controller.port()));
        }
        for (const int fd : burst) {
            ::close(fd);
        }
        Client next(controller.port());
        std::uint16_t value = 0;
        EXPECT_EQ(modbus_read_registers(*next, 0, 1, &value), 1) << "trial " << trial;
    }
}

// The server notices silence whenever it wakes; here a request of another client wakes it
// after the test's clock has moved.
TEST(ModbusServerTest, AClientSilentForItsIdleTimeIsClosedAndOneThatSpeaksStays) {
    TestClock time;
    ServedController controller(time.clock(), {5s, 10s});
    ASSERT_EQ(controller.opened(), ModbusOpenResult::Listening);
    const int silent = rawConnect(controller.port());
    const int talking = rawConnect(controller.port());
    const int waiting = rawConnect(controller.port());
    ASSERT_TRUE(waitFor([&] { return controller.clientCount() == 3; }));
    // Half a request: it waits on nothing the server owes, so it is as silent as the first. The
    // answer to the other client shows the server has read it before the clock moves.
    ASSERT_TRUE(sendBytes(waiting, {0, 9, 0, 0, 0, 6, 1}));
    ASSERT_TRUE(ask(talking, 0));

    time.advance(4s);
    ASSERT_TRUE(ask(talking, 1));
    EXPECT_EQ(controller.clientCount(), 3u);
    time.advance(2s);  // the first silent for 6 s, the last for 6 s since its half request
    ASSERT_TRUE(ask(talking, 2));
    EXPECT_TRUE(closedByServer(silent));
    EXPECT_TRUE(closedByServer(waiting));
    time.advance(4s);  // the talking one silent for 4 s only
    ASSERT_TRUE(ask(talking, 3));
    EXPECT_TRUE(waitFor([&] { return controller.clientCount() == 1; }));
    ::close(silent);
    ::close(talking);
    ::close(waiting);
}

TEST(ModbusServerTest, NinthClientTakesThePlaceOfTheLongestSilentOnlyAfterTenSeconds) {
    TestClock time;
    ServedController controller(time.clock(), ModbusIdleLimits{});
    ASSERT_EQ(controller.opened(), ModbusOpenResult::Listening);
    std::vector<int> clients;
    for (std::size_t i = 0; i < kModbusMaxClients; ++i) {
        clients.push_back(rawConnect(controller.port()));
    }
    ASSERT_TRUE(waitFor([&] { return controller.clientCount() == kModbusMaxClients; }));
    time.advance(3s);
    ASSERT_TRUE(ask(clients[7], 1));  // the last silent since 3 s
    time.advance(9s);
    for (std::size_t i = 1; i < 7; ++i) {
        ASSERT_TRUE(ask(clients[i], 2));
    }
    // The first has been silent 12 s, the last 9 s: the first gives its place up.
    std::uint16_t value = 0;
    Client ninth(controller.port());
    EXPECT_EQ(modbus_read_registers(*ninth, 0, 1, &value), 1);
    EXPECT_TRUE(closedByServer(clients[0]));
    // Nobody else has been silent for more than 10 s: the next newcomer is turned away.
    Client tenth(controller.port());
    EXPECT_EQ(modbus_read_registers(*tenth, 0, 1, &value), -1);
    EXPECT_TRUE(ask(clients[7], 3));

    time.advance(11s);  // the ninth silent since it was let in; the others speak now
    for (std::size_t i = 1; i < 8; ++i) {
        ASSERT_TRUE(ask(clients[i], 4));
    }
    Client eleventh(controller.port());
    EXPECT_EQ(modbus_read_registers(*eleventh, 0, 1, &value), 1);
    EXPECT_EQ(modbus_read_registers(*ninth, 0, 1, &value), -1);
    for (const int fd : clients) {
        ::close(fd);
    }
}

TEST(ModbusServerTest, PortInUseIsReportedAndLeavesTheServerClosed) {
    ModbusServer first;
    ASSERT_EQ(first.open({"127.0.0.1", 0}), ModbusOpenResult::Listening);
    ModbusServer second;
    EXPECT_EQ(second.open({"127.0.0.1", first.port()}), ModbusOpenResult::PortInUse);
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(second.readyDescriptor(), -1);
    EXPECT_EQ(modbusStateText(ModbusOpenResult::PortInUse, {}), "port zajęty");
    EXPECT_EQ(second.open({"192.0.2.1", 1502}), ModbusOpenResult::AddressUnavailable);

    // Once the first closes, the port is free again at once.
    const std::uint16_t port = first.port();
    first.close();
    EXPECT_EQ(second.open({"127.0.0.1", port}), ModbusOpenResult::Listening);
    EXPECT_EQ(modbusStateText(ModbusOpenResult::Listening, {"127.0.0.1", port}),
              "nasłuch 127.0.0.1:" + std::to_string(port));
}

TEST(ModbusServerTest, EightClientsPollARunningSimulationThatMissesNoTick) {
    // Each scan counts itself in %R0001 and copies the count to %R0002, so a read of both that
    // came in the middle of a scan would see them differ.
    Builder program;
    program.block(document::BlockKind::Add, S(7))
        .word(plc::kTypeInt)
        .operand(R(1))
        .operand(1)
        .address(R(1));
    program.block(document::BlockKind::Add, S(7))
        .word(plc::kTypeInt)
        .operand(R(1))
        .operand(0)
        .address(R(2));
    ServedController controller(program.end());
    ASSERT_EQ(controller.opened(), ModbusOpenResult::Listening);

    constexpr int kTicks = 200;
    std::atomic<int> polls{0};
    std::atomic<int> failures{0};
    std::atomic<int> torn{0};
    std::atomic<int> backwards{0};
    std::vector<std::thread> clients;
    std::atomic<int> connected{0};
    std::atomic<bool> done{false};
    for (std::size_t i = 0; i < kModbusMaxClients; ++i) {
        clients.emplace_back([&] {
            Client client(controller.port());
            if (!client.connected()) {
                ++failures;
                return;
            }
            ++connected;
            std::uint16_t last = 0;
            std::uint16_t registers[100];
            while (!done) {
                if (modbus_read_registers(*client, 0, 100, registers) != 100) {
                    ++failures;
                    continue;
                }
                ++polls;
                torn += registers[0] != registers[1] ? 1 : 0;
                backwards += registers[0] < last ? 1 : 0;
                last = registers[0];
            }
        });
    }
    ASSERT_TRUE(waitFor([&] { return connected == static_cast<int>(kModbusMaxClients); }));
    controller.tick(kTicks);
    for (int i = 0; i < 3000 && controller.ticking(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    done = true;
    for (std::thread& client : clients) {
        client.join();
    }

    EXPECT_EQ(failures, 0);
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(backwards, 0);
    EXPECT_GT(polls, static_cast<int>(kModbusMaxClients));
    EXPECT_EQ(controller.ticksRun(), kTicks);
    controller.between([&](Rig& rig, PanelInputs&) {
        EXPECT_EQ(rig.cycle.scanCount(), static_cast<std::uint64_t>(kTicks));
        EXPECT_EQ(rig.wordAt(R(1)), kTicks);
    });
}

}  // namespace
}  // namespace iolink
