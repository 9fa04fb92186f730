// wirtualon-cli run --force and --release, in process: forced inputs, outputs and registers in
// the printed lines, forces through --stop, the 65th force and every malformed setting.
#include "tests/cli/cli_test_helpers.h"
#include "tests/plc/program_builder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace cli {
namespace {

using namespace plc::test;

using testing::runTool;
using testing::ToolRun;

class CliForceTest : public ::testing::Test {
protected:
    // Writes `program` as interpreter text and runs it with `options`.
    ToolRun run(const Builder& program, const std::vector<std::string>& options) {
        std::ostringstream text;
        for (const plc::ProgramWord word : program.build()) {
            text << word << ' ';
        }
        std::vector<std::string> args = {"run", m_folder.write("program.txt", text.str())};
        args.insert(args.end(), options.begin(), options.end());
        return runTool(args);
    }

    const testing::TempFolder m_folder{"wirtualon-force"};
};

TEST_F(CliForceTest, AForcedInputSetsASealInThatHoldsAfterTheRelease) {
    // %Q0001 = (%I0001 OR %Q0001) AND NOT %I0002.
    Builder b;
    b.load(I(1)).load(Q(1)).orStack().andNot(I(2)).coil(plc::kCoilNormal, Q(1)).end();
    const ToolRun r =
        run(b, {"--scans", "5", "--force", "1:%I1=1", "--release", "2:%I1", "--set", "3:%I2=1",
                "--force", "3:%I2=0", "--release", "4:%I2", "--watch", "%I1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "0 t=0 Q=0 AQ1=0 AQ2=0 %I0001=0\n"
              "1 t=20 Q=1 AQ1=0 AQ2=0 %I0001=1\n"
              "2 t=40 Q=1 AQ1=0 AQ2=0 %I0001=0\n"
              "3 t=60 Q=1 AQ1=0 AQ2=0 %I0001=0\n"
              "4 t=80 Q=0 AQ1=0 AQ2=0 %I0001=0\n");
}

TEST_F(CliForceTest, AForcedOutputShowsUntilTheLineOfItsRelease) {
    // %Q0001 = %I0001; %AQ0001 = %AI0001 + 1.
    Builder b;
    b.load(I(1)).coil(plc::kCoilNormal, Q(1));
    b.block(BlockKind::Add, I(1)).word(plc::kTypeInt).operand(AI(1)).operand(1).address(AQ(1));
    b.end();
    const ToolRun r =
        run(b, {"--scans", "4", "--set", "0:%I1=1", "--force", "1:%Q1=0", "--force", "1:%AQ1=-7",
                "--release", "3:%Q1", "--release", "3:%AQ1", "--watch", "%Q1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "0 t=0 Q=1 AQ1=1 AQ2=0 %Q0001=1\n"
              "1 t=20 Q=0 AQ1=-7 AQ2=0 %Q0001=0\n"
              "2 t=40 Q=0 AQ1=-7 AQ2=0 %Q0001=0\n"
              "3 t=60 Q=1 AQ1=1 AQ2=0 %Q0001=1\n");
}

TEST_F(CliForceTest, AForcedRegisterIsReadByAddAndHoldsThroughTheStop) {
    // %R0002 = %R0001 + 1; %M0001 = %I0001 (a plain coil, lost at the stop's power-down).
    Builder b;
    b.block(BlockKind::Add, S(7)).word(plc::kTypeInt).operand(R(1)).operand(1).address(R(2));
    b.load(I(1)).coil(plc::kCoilNormal, M(1)).end();
    const ToolRun r = run(
        b, {"--scans", "3", "--force", "0:%r1=41", "--force", "0:%R10:DINT=-100000", "--force",
            "0:%M1=1", "--stop", "1", "--watch", "%R2", "--watch", "%R10:DINT", "--watch", "%M1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "0 t=0 Q=0 AQ1=0 AQ2=0 %R0002=42 %R0010=-100000 %M0001=1\n"
              "1 t=20 Q=0 AQ1=0 AQ2=0 %R0002=42 %R0010=-100000 %M0001=1\n"
              "2 t=40 Q=0 AQ1=0 AQ2=0 %R0002=42 %R0010=-100000 %M0001=1\n");
}

TEST_F(CliForceTest, TheSixtyFifthForceAtOnceIsRefused) {
    std::vector<std::string> options;
    for (int n = 1; n <= 64; ++n) {
        options.insert(options.end(), {"--force", "2:%G" + std::to_string(n) + "=1"});
    }
    // Forcing an operand again, or after a release, leaves room.
    options.insert(options.end(), {"--force", "2:%G64=0", "--release", "3:%G1", "--force",
                                   "3:%G65=1", "--watch", "%G64", "--watch", "%G65"});
    ToolRun r = run(Builder().end(), options);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 t=0 Q=0 AQ1=0 AQ2=0 %G0064=0 %G0065=0\n");

    options.insert(options.end(), {"--force", "2:%G66=1"});
    r = run(Builder().end(), options);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "wirtualon-cli run: w cyklu 2 nie można wymusić %G0066: naraz można wymusić "
              "najwyżej 64 operandy");
}

TEST_F(CliForceTest, MalformedSettingsAreRefusedWithStatusTwo) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--force", "0:%X1=1"}, "nieznany operand w --force: %X1"},
        {{"--force", "0:%M1=2"}, "wartość poza zakresem 0..1 dla %M0001 (BIT) w --force: 2"},
        {{"--force", "0:%R1:BCD4=10000"},
         "wartość poza zakresem 0..9999 dla %R0001 (BCD4) w --force: 10000"},
        {{"--force", "0:%R1=1.5"},
         "wartość poza zakresem -32768..32767 dla %R0001 (INT) w "
         "--force: 1.5"},
        {{"--force", "0:%R513=1"}, "operand poza obszarem pamięci: %R0513"},
        {{"--force", "0:%R1:REAL=1"},
         "nieznany typ w --force (BIT, BYTE, WORD, INT, DINT, BCD4): REAL"},
        {{"--force", "x:%M1=1"}, "nieprawidłowy numer cyklu w --force: x:%M1=1"},
        {{"--force", "0:%M1"}, "--force wymaga postaci T:OPERAND=WARTOŚĆ: 0:%M1"},
        {{"--release", "0:%M1=1"}, "--release wymaga postaci T:OPERAND: 0:%M1=1"},
        {{"--release", "-1:%M1"}, "nieprawidłowy numer cyklu w --release: -1:%M1"},
        {{"--release", "0:M"}, "nieznany operand w --release: M"},
    };
    for (const auto& [options, message] : cases) {
        const ToolRun r = run(Builder().end(), options);
        EXPECT_EQ(r.status, 2) << options[1];
        EXPECT_EQ(r.out, "") << options[1];
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "wirtualon-cli run: " + message);
    }
}

}  // namespace
}  // namespace cli
