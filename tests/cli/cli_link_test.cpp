// wirtualon-cli run with the link and in real time, against a private broker: the items in
// both directions at every tick, the topic prefix, the refusals, and a broker that dies.
#include "tests/support/test_broker.h"

#include "app/cli/cli_runner.h"
#include "document/ladder_document.h"
#include "document/program_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace cli {
namespace {

namespace fs = std::filesystem;
using testsupport::TestBroker;

struct ToolRun {
    int status = 0;
    std::string out;
    std::string err;
};

ToolRun runTool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    ToolRun run;
    run.status = runCli(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

class CliLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_broker.running()) << m_broker.problem();
        m_dir = fs::temp_directory_path() / ("wirtualon-cli-link-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        // %I1 -> %Q1 and %I2 -> %Q16.
        document::LadderDocument doc;
        for (const auto& [row, input, output] :
             {std::tuple{0, "%I0001", "%Q0001"}, std::tuple{1, "%I0002", "%Q0016"}}) {
            doc.SetCellCode(row, 0, 1);
            doc.SetCellText(row, 0, std::string("#A") + input + "#");
            for (int col = 1; col <= 8; ++col) {
                doc.SetCellCode(row, col, 7);
            }
            doc.SetCellCode(row, 9, 3);
            doc.SetCellText(row, 9, std::string("#A") + output + "#");
        }
        m_program = (m_dir / "rungs.jar").string();
        ASSERT_EQ(document::SaveProgram(doc, m_program), document::FileResult::Success);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    TestBroker m_broker;
    fs::path m_dir;
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
              "Nie można połączyć się z brokerem MQTT " + nowhere + "\n");
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
