// wirtualon-cli run --modbus: a libmodbus client presses a panel input of a headless run in real
// time and reads the output the scan made of it; a silent client is closed after --modbus-idle;
// a bad port text and a busy port are bad input.
#include "iolink/modbus_server.h"
#include "tests/cli/cli_test_helpers.h"
#include "tests/support/test_broker.h"

#include "app/cli/cli_runner.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <modbus/modbus.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace cli {
namespace {

using namespace std::chrono_literals;

using testing::runTool;
using testing::ToolRun;

class CliModbusTest : public ::testing::Test {
protected:
    const testing::TempFolder m_folder{"wirtualon-cli-modbus"};
    // %I0001 -> %Q0001.
    const std::string m_program = m_folder.write("program.txt", "-1 -10 0 0 -7 3 -11 0 0 -255\n");
};

TEST_F(CliModbusTest, ClientPressesAPanelInputOfARealTimeRunAndReadsTheOutput) {
    const std::uint16_t port = testsupport::TestBroker::freePort();
    ToolRun run;
    std::thread tool([&] {
        run = runTool(
            {"run", m_program, "--modbus", std::to_string(port), "--scans", "60", "--tick", "10"});
    });
    modbus_t* client = modbus_new_tcp("127.0.0.1", port);
    bool connected = false;
    for (int i = 0; i < 100 && !connected; ++i) {
        connected = modbus_connect(client) == 0;
        if (!connected) {
            std::this_thread::sleep_for(10ms);
        }
    }
    EXPECT_TRUE(connected);
    EXPECT_EQ(modbus_write_bit(client, 3000, 1), 1);
    std::uint8_t q1 = 0;
    for (int i = 0; i < 100 && q1 == 0 && modbus_read_bits(client, 0, 1, &q1) == 1; ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(q1, 1);
    modbus_close(client);
    modbus_free(client);
    tool.join();

    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.err, "Serwer Modbus TCP: nasłuch 127.0.0.1:" + std::to_string(port) + "\n");
    // Real time: the last of 60 ticks of 10 ms starts no sooner than 590 ms after the first.
    const std::string last = run.out.substr(run.out.rfind("59 t="));
    EXPECT_GE(std::stol(last.substr(5)), 590);
    EXPECT_NE(last.find(" Q=1 "), std::string::npos) << last;
}

TEST_F(CliModbusTest, AClientSilentForTheIdleTimeIsClosedWhileTheRunGoesOn) {
    const std::uint16_t port = testsupport::TestBroker::freePort();
    std::atomic<bool> finished{false};
    ToolRun run;
    std::thread tool([&] {
        run = runTool({"run", m_program, "--modbus", std::to_string(port), "--modbus-idle", "1",
                       "--scans", "500", "--tick", "10"});
        finished = true;
    });
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int silent = -1;
    for (int i = 0; i < 500 && silent < 0 && !finished; ++i) {
        silent = ::socket(AF_INET, SOCK_STREAM, 0);
        if (::connect(silent, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            ::close(silent);
            silent = -1;
            std::this_thread::sleep_for(10ms);
        }
    }
    ASSERT_GE(silent, 0);
    // Closed after a second of silence, well before the five seconds of the run are over.
    pollfd polled{silent, POLLIN, 0};
    EXPECT_EQ(::poll(&polled, 1, 4000), 1);
    std::uint8_t byte = 0;
    EXPECT_EQ(::recv(silent, &byte, 1, 0), 0);
    EXPECT_FALSE(finished);
    ::close(silent);
    tool.join();
    EXPECT_EQ(run.status, kExitOk) << run.err;
}

TEST_F(CliModbusTest, BadPortTextAndBusyPortAreBadInput) {
    const ToolRun bad = runTool({"run", m_program, "--modbus", "localhost:70000"});
    EXPECT_EQ(bad.status, kExitBadInput);
    EXPECT_EQ(bad.err.rfind("wirtualon-cli run: nieprawidłowy port w --modbus (PORT lub "
                            "ADRES:PORT): localhost:70000\n",
                            0),
              0u)
        << bad.err;

    iolink::ModbusServer other;
    ASSERT_EQ(other.open({"127.0.0.1", 0}), iolink::ModbusOpenResult::Listening);
    const std::string taken = "127.0.0.1:" + std::to_string(other.port());
    const ToolRun busy = runTool({"run", m_program, "--modbus", taken});
    EXPECT_EQ(busy.status, kExitBadInput);
    EXPECT_TRUE(busy.out.empty());
    EXPECT_EQ(busy.err, "Nie można otworzyć serwera Modbus TCP na " + taken + ": port zajęty\n");
}

}  // namespace
}  // namespace cli
