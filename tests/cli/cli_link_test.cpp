// wirtualon-cli run with the link and in real time, against a private broker: the items in
// both directions at every tick, the topic prefix, retained inputs at the first scan, the
// refusals and their reasons, and a broker that dies.
#include "tests/cli/cli_test_helpers.h"
#include "tests/support/test_broker.h"

#include "app/cli/cli_runner.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace cli {
namespace {

using testsupport::TestBroker;

using testing::lines;
using testing::runTool;
using testing::ToolRun;

class CliLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_broker.running()) << m_broker.problem();
        // %I1 -> %Q1 and %I2 -> %Q16.
        std::vector<testing::LadderCell> cells = testing::rungCells(0, "%I0001", "%Q0001");
        const std::vector<testing::LadderCell> second = testing::rungCells(1, "%I0002", "%Q0016");
        cells.insert(cells.end(), second.begin(), second.end());
        m_program = testing::saveLadder(m_folder.path() / "rungs.jar", cells);
        ASSERT_FALSE(HasFailure());
    }

    TestBroker m_broker;
    const testing::TempFolder m_folder{"wirtualon-cli-link"};
    std::string m_program;
};

TEST_F(CliLinkTest, ItemsTravelBothWaysAtEveryTick) {
    ASSERT_TRUE(m_broker.publish("Arkusz1/W19K2", "3"));
    ASSERT_TRUE(m_broker.publish("Arkusz1/W22K2", "40000"));
    const ToolRun run = runTool({"run", m_program, "--link", m_broker.service(), "--scans", "4",
                                 "--tick", "30", "--watch", "%AI1"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const std::vector<std::string> printed = lines(run.out);
    ASSERT_EQ(printed.size(), 4u);
    EXPECT_NE(printed.back().find(" Q=32769 AQ1=0 AQ2=0 %AI0001=-25536"), std::string::npos)
        << printed.back();
    EXPECT_EQ(m_broker.retainedValue("Arkusz1/W19K5"), "32769");
    EXPECT_EQ(m_broker.retainedValue("Arkusz1/W22K5"), "0");

    // Another prefix: the same items under it, nothing from the default one.
    ASSERT_TRUE(m_broker.publish("Linia/2/W19K2", "1"));
    const ToolRun other = runTool(
        {"run", m_program, "--link=" + m_broker.service(), "--topic", "Linia/2", "--scans", "2"});
    ASSERT_EQ(other.status, kExitOk) << other.err;
    EXPECT_NE(other.out.find(" Q=1 "), std::string::npos) << other.out;
    EXPECT_EQ(m_broker.retainedValue("Linia/2/W19K5"), "1");
}

TEST_F(CliLinkTest, WrongCombinationsAndAMissingBrokerAreBadInput) {
    const std::string nowhere = "127.0.0.1:" + std::to_string(TestBroker::freePort());
    const std::vector<std::vector<std::string>> calls = {
        {"run", m_program, "--link", m_broker.service(), "--set", "0:%I1=1"},
        {"run", m_program, "--link", m_broker.service(), "--set", "0:%AI1=5"},
        {"run", m_program, "--link", m_broker.service(), "--set", "0:%I100=1"},
        {"run", m_program, "--link", m_broker.service(), "--set", "0:%AI9=5"},
        {"run", m_program, "--topic", "Arkusz1"},
        {"run", m_program, "--link", "host:99999"},
        {"run", m_program, "--link", m_broker.service(), "--topic", "A/#"},
        {"run", m_program, "--link"},
        {"run", m_program, "--link", nowhere},
    };
    for (const auto& args : calls) {
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, kExitBadInput) << args[2] << ' ' << args.back();
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(runTool({"run", m_program, "--link", nowhere}).err,
              "Nie można połączyć się z brokerem MQTT " + nowhere +
                  ": pod tym adresem nie działa żaden broker\n");
}

// Retained values come in after the subscription is acknowledged, behind everything else
// retained under the prefix: the first scan must still see the item's value.
TEST_F(CliLinkTest, RetainedInputsAreReadByTheFirstScan) {
    std::vector<std::pair<std::string, std::string>> retained;
    for (int i = 0; i < 3000; ++i) {
        retained.emplace_back("Arkusz1/zapis/" + std::to_string(i), "0");
    }
    retained.emplace_back("Arkusz1/W19K2", "3");
    ASSERT_TRUE(m_broker.publishAll(retained, true));
    const ToolRun run = runTool({"run", m_program, "--link", m_broker.service(), "--scans", "1"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, "0 t=0 Q=32769 AQ1=0 AQ2=0\n");
}

TEST_F(CliLinkTest, RefusedConnectionsSayWhyAndNeverShowThePassword) {
    TestBroker guarded("operator", "Tajne123");
    ASSERT_TRUE(guarded.running()) << guarded.problem();
    // A port that takes connections and never answers them.
    const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(silent, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(silent, 4), 0);
    socklen_t size = sizeof address;
    ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &size), 0);
    const std::string silentService = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    const std::string nowhere = "127.0.0.1:" + std::to_string(TestBroker::freePort());

    struct Case {
        std::string service;
        std::string shown;
        std::string reason;
    };
    const Case cases[] = {
        {"operator:Tajne124@" + guarded.service(), guarded.service(),
         "broker odrzucił logowanie (nazwa użytkownika lub hasło)"},
        {guarded.service(), guarded.service(),
         "broker odrzucił logowanie (nazwa użytkownika lub hasło)"},
        {"operator:Tajne123@" + nowhere, nowhere, "pod tym adresem nie działa żaden broker"},
        {"operator:Tajne123@broker.invalid", "broker.invalid:1883", "nieznany host"},
        {"operator:Tajne123@" + silentService, silentService,
         "broker nie odpowiedział w wyznaczonym czasie"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool({"run", m_program, "--link", c.service});
        EXPECT_EQ(run.status, kExitBadInput) << c.service;
        EXPECT_EQ(run.err,
                  "Nie można połączyć się z brokerem MQTT " + c.shown + ": " + c.reason + "\n");
        EXPECT_EQ(run.out, "");
    }
    // Nor when the address itself is wrong.
    const ToolRun bad = runTool({"run", m_program, "--link", "operator:Tajne123@host:99999"});
    EXPECT_EQ(bad.status, kExitBadInput);
    EXPECT_EQ(bad.err.find("Tajne123"), std::string::npos) << bad.err;
    ::close(silent);

    // The right password still gets in.
    ASSERT_TRUE(guarded.publish("Arkusz1/W19K2", "1"));
    const ToolRun admitted =
        runTool({"run", m_program, "--link", "operator:Tajne123@" + guarded.service()});
    EXPECT_EQ(admitted.status, kExitOk) << admitted.err;
    EXPECT_EQ(admitted.out, "0 t=0 Q=1 AQ1=0 AQ2=0\n");
}

TEST_F(CliLinkTest, RealTimeTicksFollowTheClockAndSurviveTheBrokersDeath) {
    ASSERT_TRUE(m_broker.publish("Arkusz1/W19K2", "1"));
    ToolRun run;
    std::thread tool([&] {
        run = runTool(
            {"run", m_program, "--link", m_broker.service(), "--scans", "15", "--tick", "20"});
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    m_broker.kill();
    tool.join();
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const std::vector<std::string> printed = lines(run.out);
    ASSERT_EQ(printed.size(), 15u);
    // Each tick starts a tick after the one before (never sooner), and the inputs keep the
    // value they had when the broker went.
    EXPECT_EQ(printed.front().rfind("0 t=0 ", 0), 0u) << printed.front();
    const std::string last = printed.back();
    const long t = std::stol(last.substr(last.find("t=") + 2));
    EXPECT_GE(t, 14 * 20);
    EXPECT_NE(last.find(" Q=1 "), std::string::npos) << last;

    const ToolRun offline =
        runTool({"run", m_program, "--realtime", "--scans", "3", "--tick", "40"});
    ASSERT_EQ(offline.status, kExitOk) << offline.err;
    const std::vector<std::string> paced = lines(offline.out);
    ASSERT_EQ(paced.size(), 3u);
    EXPECT_GE(std::stol(paced[2].substr(paced[2].find("t=") + 2)), 80);
}

}  // namespace
}  // namespace cli
