// The live view's power maps: the source map that ties lines and words to cells, the maps of
// hand-made ladders tick by tick, what a cell tells beyond its map character (conduction
// without power, links, coils, blocks, operand values and forced operands), outputs wired
// straight to the rail, and agreement with the scan on random ladders.
#include "translator/power_map.h"

#include "tests/translator/power_cases.h"

#include "plc/clock.h"
#include "plc/force_table.h"
#include "plc/plc.h"
#include "plc/power_trace.h"
#include "plc/scan_cycle.h"
#include "translator/power_map_builder.h"
#include "translator/translation_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>

namespace translator::testing {
namespace {

class Inputs : public plc::IoTransfer {
public:
    void readInputs(plc::Plc& plc) override { plc.setInputWord(word); }
    void writeOutputs(const plc::Plc&) override {}
    std::uint16_t word = 0;
};

// A ladder translated and run as the simulator runs it: RUN from the first tick, the clock
// at tick k reading k * tickMs, a power map after every tick.
class LiveRun {
public:
    explicit LiveRun(const Ladder& ladder, std::uint32_t tickMs = 20)
        : m_tickMs(tickMs), m_translation(translateDocument(ladder.document())) {
        EXPECT_TRUE(m_translation.ok()) << m_translation.report;
        m_builder.emplace(ladder.document(), m_translation.program.words(),
                          m_translation.sourceMap);
        m_plc.setMonitoring(true);
        m_plc.setProgram(m_translation.program);
        m_cycle.setPanel(&m_inputs);
        EXPECT_TRUE(m_cycle.startSimulator());
        m_cycle.nextMode();
    }

    const PowerMap& tick(std::uint16_t inputs) {
        m_clock.set(static_cast<std::uint32_t>(m_ticks++ * m_tickMs));
        m_inputs.word = inputs;
        m_cycle.tick();
        m_builder->build(m_plc, m_map);
        return m_map;
    }
    const CellPower& at(int row, int col) const { return m_map.at(row, col); }
    std::uint16_t outputs() const { return m_plc.outputWord(); }

private:
    std::uint32_t m_tickMs;
    std::uint64_t m_ticks = 0;
    TranslationResult m_translation;
    plc::FakeClock m_clock;
    plc::Plc m_plc{m_clock};
    plc::ScanCycle m_cycle{m_plc, m_clock};
    Inputs m_inputs;
    std::optional<PowerMapBuilder> m_builder;
    PowerMap m_map;
};

Ladder caseLadder(const std::string& name) {
    for (const PowerCase& c : powerCases()) {
        if (c.name == name) {
            return c.ladder();
        }
    }
    ADD_FAILURE() << "no case " << name;
    return Ladder();
}

// The grid as codes and operands, for a failure message.
std::string dump(const document::LadderDocument& document) {
    std::string text;
    for (int row = 0; row < document.rowCount(); ++row) {
        for (int col = 0; col < 10; ++col) {
            text += std::to_string(document.CellCode(row, col)) + document.CellText(row, col) + ' ';
        }
        text += '\n';
    }
    return text;
}

bool has(const CellPower& cell, CellPower::Bit bit) {
    return cell.has(bit);
}

// ---------------------------------------------------------------------------------------------

class PowerMapCaseTest : public ::testing::TestWithParam<PowerCase> {};

TEST_P(PowerMapCaseTest, MapsFollowTheScansTickByTick) {
    const PowerCase& c = GetParam();
    const Ladder ladder = c.ladder();
    LiveRun run(ladder, c.tickMs);
    for (std::size_t k = 0; k < c.ticks.size(); ++k) {
        const PowerMap& map = run.tick(c.ticks[k].inputs);
        std::vector<std::string> lines;
        for (int row = 0; row < map.rowCount(); ++row) {
            lines.push_back(powerLine(map, row));
        }
        EXPECT_EQ(lines, expectedLines(c.ticks[k], ladder.document().rowCount())) << "tick " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Ladders, PowerMapCaseTest, ::testing::ValuesIn(powerCases()),
                         [](const ::testing::TestParamInfo<PowerCase>& c) { return c.param.name; });

// ---------------------------------------------------------------------------------------------

TEST(SourceMapTest, BlockLinesAndWordsLeadToTheCellsTheyCameFrom) {
    const TranslationResult result = translateDocument(caseLadder("AddWithItsOperands").document());
    ASSERT_TRUE(result.ok());
    const std::vector<int> cells = instructionViewCells(result.sourceMap);
    ASSERT_EQ(cells.size(), result.instructionList.size());
    std::vector<std::pair<std::string, int>> listed;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        listed.emplace_back(result.instructionList[i], cells[i]);
    }
    const std::vector<std::pair<std::string, int>> expected = {
        {"  POSTAĆ PROGRAMU", kNoCell},
        {"  W FORMACIE LISTY", kNoCell},
        {"     INSTRUKCJI", kNoCell},
        {"", kNoCell},
        {kRule, kNoCell},
        {"FUNKCJA21 - ADD", 2},
        {"enable: ", 2},
        {load("%I0001"), 0},
        {"T: INT", 12},
        {"I1: %R0003", 11},
        {"I2: +00005", 21},
        {"Q: %R0003", 13},
        {"ok:", 2},
        {coilLine(3, "%Q0001"), 9},
        {kRule, kNoCell},
        {kRule, kNoCell},
    };
    EXPECT_EQ(listed, expected);

    // Words: -8 21 from the block, the enable's LOAD from the contact, -100 from the block
    // again, the type from its row, each operand from its cell, the coil from the coil.
    const std::vector<int> words = {2,  2,  0,  0,  0,  0, 2, 12, 11, 11, 11,
                                    21, 21, 13, 13, 13, 9, 9, 9,  9,  9,  kNoCell};
    EXPECT_EQ(result.sourceMap.wordCells, words);
    const std::vector<int> view = programViewCells(result.sourceMap);
    ASSERT_EQ(view.size(), result.programListing.size());
    EXPECT_EQ(view[5], 2);
    EXPECT_EQ(view[5 + 8], 11);
}

TEST(SourceMapTest, StackInstructionsComeFromTheJunctionThatClosesTheirBranches) {
    const TranslationResult result =
        translateDocument(caseLadder("ContactsInSeriesAndParallel").document());
    ASSERT_TRUE(result.ok());
    // LOAD %I0002, LOAD %I0003, LOAD %I0001, OR (S), AND (S), coil, rule.
    EXPECT_EQ(result.sourceMap.lineCells, (std::vector<int>{2, 10, 0, 0, 0, 9, kNoCell}));
}

// ---------------------------------------------------------------------------------------------

TEST(PowerMapTest, ConductionWithoutPowerIsToldFromPowerThatIsNotLetThrough) {
    LiveRun run(caseLadder("ContactsInSeriesAndParallel"));
    run.tick(0x0002);  // %I0002 conducts, nothing reaches it
    EXPECT_TRUE(has(run.at(0, 2), CellPower::Conducts));
    EXPECT_FALSE(has(run.at(0, 2), CellPower::LeftPowered));
    EXPECT_FALSE(has(run.at(0, 2), CellPower::RightPowered));
    EXPECT_FALSE(has(run.at(0, 1), CellPower::LinkPowered));

    run.tick(0x0001);  // power reaches %I0002, which does not conduct
    EXPECT_FALSE(has(run.at(0, 2), CellPower::Conducts));
    EXPECT_TRUE(has(run.at(0, 2), CellPower::LeftPowered));
    EXPECT_FALSE(has(run.at(0, 2), CellPower::RightPowered));
    // Both cells beside the junction carry its power up and down the link.
    EXPECT_TRUE(has(run.at(0, 1), CellPower::LinkPowered));
    EXPECT_TRUE(has(run.at(1, 1), CellPower::LinkPowered));
    EXPECT_FALSE(has(run.at(1, 0), CellPower::Conducts));
}

TEST(PowerMapTest, ContactsInAnMcrZoneConductWithoutPower) {
    LiveRun run(caseLadder("McrZoneSwitchedOff"));
    run.tick(0x0003);
    EXPECT_TRUE(has(run.at(1, 0), CellPower::Conducts));
    EXPECT_FALSE(has(run.at(1, 0), CellPower::LeftPowered));
    EXPECT_FALSE(has(run.at(1, 9), CellPower::RightPowered));
}

TEST(PowerMapTest, CoilsShowTheValueTheirRungAssigned) {
    const Ladder ladder = Ladder()
                              .contact(0, 0, "%I0001")
                              .wires(0, 1, 8)
                              .coil(0, "%Q0001", 11)
                              .contact(1, 0, "%I0001")
                              .wires(1, 1, 8)
                              .coil(1, "%Q0002", 15);
    LiveRun run(ladder);
    run.tick(0);
    EXPECT_TRUE(has(run.at(0, 9), CellPower::RightPowered));  // -(/)- assigns 1
    EXPECT_FALSE(has(run.at(0, 9), CellPower::LeftPowered));
    EXPECT_FALSE(has(run.at(1, 9), CellPower::RightPowered));
    run.tick(0x0001);
    EXPECT_FALSE(has(run.at(0, 9), CellPower::RightPowered));
    EXPECT_TRUE(has(run.at(0, 9), CellPower::LeftPowered));
    EXPECT_TRUE(has(run.at(1, 9), CellPower::RightPowered));  // the pulse
    run.tick(0x0001);
    EXPECT_TRUE(has(run.at(1, 9), CellPower::LeftPowered));
    EXPECT_FALSE(has(run.at(1, 9), CellPower::RightPowered));  // the pulse is over
}

TEST(PowerMapTest, TimerShowsItsCurrentValueAndIsEnabledBeforeItsOutputComesOn) {
    LiveRun run(caseLadder("TimerBeforeAndAfterItsPreset"), 100);
    run.tick(0);
    EXPECT_FALSE(has(run.at(0, 1), CellPower::BlockEnabled));
    for (int cv = 0; cv <= 3; ++cv) {
        run.tick(0x0001);
        for (int row = 0; row < 2; ++row) {
            EXPECT_TRUE(has(run.at(row, 1), CellPower::BlockEnabled)) << cv;
            EXPECT_EQ(has(run.at(row, 1), CellPower::RightPowered), cv == 3) << cv;
        }
        // The current value beside the register, which the second row names.
        ASSERT_TRUE(has(run.at(1, 1), CellPower::HasValue));
        EXPECT_EQ(run.at(1, 1).value, cv);
        EXPECT_EQ(run.at(1, 1).type, operands::DataType::Int);
    }
    EXPECT_TRUE(has(run.at(0, 1), CellPower::LeftPowered));
    // The preset is a constant, shown as such.
    EXPECT_FALSE(has(run.at(1, 0), CellPower::HasValue));
}

TEST(PowerMapTest, AddShowsItsOperandValuesInItsType) {
    LiveRun run(caseLadder("AddWithItsOperands"));
    for (int sum = 5; sum <= 10; sum += 5) {
        run.tick(0x0001);
        for (const auto& [row, col] : {std::pair{1, 1}, std::pair{1, 3}}) {
            ASSERT_TRUE(has(run.at(row, col), CellPower::HasValue)) << row << col;
            EXPECT_EQ(run.at(row, col).value, sum);
            EXPECT_EQ(run.at(row, col).type, operands::DataType::Int);
        }
        EXPECT_FALSE(has(run.at(2, 1), CellPower::HasValue));
    }
}

TEST(PowerMapTest, WithoutATraceNothingIsPowered) {
    const Ladder ladder = caseLadder("SealInLatchSetAndReleased");
    const TranslationResult result = translateDocument(ladder.document());
    plc::FakeClock clock;
    plc::Plc plc(clock);
    plc.setProgram(result.program);
    ASSERT_TRUE(plc.allocate());
    plc.setInputWord(0x0001);
    plc.runProgram();
    PowerMapBuilder builder(ladder.document(), result.program.words(), result.sourceMap);
    PowerMap map;
    builder.build(plc, map);
    for (const CellPower& cell : map.cells()) {
        EXPECT_EQ(cell.bits & ~CellPower::Element, 0);
    }
}

TEST(PowerMapTest, ForcedOperandsMarkTheCellsThatShareTheirMemory) {
    // Addresses as typed (%m10 is %M0010, %q1 is %Q0001), an ADD reading %R0003 as INT and
    // writing %R0005.
    const Ladder ladder = Ladder()
                              .contact(0, 0, "%m10")
                              .wires(0, 1, 8)
                              .coil(0, "%q1")
                              .contact(1, 0, "%M0001")
                              .wires(1, 1, 8)
                              .coil(1, "%Q0002")
                              .contact(2, 0, "%I0001")
                              .wire(2, 1)
                              .block(2, 2, 21)
                              .operand(3, 1, "%R0003")
                              .operand(4, 1, "+00005")
                              .operand(3, 3, "%R0005")
                              .wires(2, 3, 8)
                              .coil(2, "%Q0003");
    const TranslationResult result = translateDocument(ladder.document());
    ASSERT_TRUE(result.ok()) << result.report;
    plc::FakeClock clock;
    plc::Plc plc(clock);
    plc.setProgram(result.program);
    ASSERT_TRUE(plc.allocate());
    PowerMapBuilder builder(ladder.document(), result.program.words(), result.sourceMap);
    PowerMap map;
    builder.build(plc, map);

    using plc::AreaKind;
    using plc::DataType;
    const struct {
        std::vector<plc::OperandRef> forced;
        std::set<int> marked;
    } cases[] = {
        {{{AreaKind::M, 1, 0, DataType::Word}}, {0}},  // %M0009..%M0024 hold %M0010
        {{{AreaKind::M, 1, 0, DataType::Bit}}, {}},    // %M0009 is the bit beside it
        {{{AreaKind::M, 1, 1, DataType::Bit}}, {0}},
        {{{AreaKind::Q, 0, 0, DataType::Bit}}, {9}},
        {{{AreaKind::I, 0, 0, DataType::Bit}}, {20}},
        {{{AreaKind::R, 4, 0, DataType::Int}}, {31}},   // %R0003
        {{{AreaKind::R, 6, 0, DataType::Int}}, {}},     // %R0004, between the two operands
        {{{AreaKind::R, 2, 0, DataType::Dint}}, {31}},  // %R0002 and %R0003
        {{{AreaKind::Q, 0, 1, DataType::Bit}, {AreaKind::R, 8, 0, DataType::Byte}}, {19, 33}},
        {{}, {}},
    };
    // One map throughout: each marking also takes back the marks of the forces before.
    for (const auto& c : cases) {
        plc::ForceTable forces;
        for (const plc::OperandRef& ref : c.forced) {
            ASSERT_EQ(forces.force(ref, 0), plc::ForceResult::Forced);
        }
        builder.markForced(forces, map);
        std::set<int> marked;
        for (int cell = 0; cell < map.rowCount() * 10; ++cell) {
            if (map.at(cell / 10, cell % 10).has(CellPower::Forced)) {
                marked.insert(cell);
            }
        }
        EXPECT_EQ(marked, c.marked)
            << plc::operandName(c.forced.empty() ? plc::OperandRef{} : c.forced.front());
    }
}

// ---------------------------------------------------------------------------------------------

// An output with nothing but wires between it and the rail reads the always-on bit %S0007, from
// the output's own cell; wires from the rail before a parallel block leave the block as the whole
// condition; a chained block and a rung with a contact read as before.
struct RailCase {
    std::string name;
    std::function<Ladder()> ladder;
    std::vector<std::string> lines;
    std::vector<std::int32_t> words;  ///< the end word included
    std::vector<int> railCells;       ///< the cell of each LOAD of %S0007, in order
    std::uint16_t inputs = 0;         ///< one tick in RUN with these inputs
    std::uint16_t outputs = 0;        ///< gives these outputs
    std::vector<std::string> rows;    ///< and this map
};

void PrintTo(const RailCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string kRailLoad = "   LOAD        %S0007";

// A MOVE of +00042 to %R0001 wired straight to the rail.
Ladder railMove() {
    return Ladder().wire(0, 0).block(0, 1, 45).operand(1, 0, "+00042").operand(1, 2, "%R0001");
}

const std::vector<RailCase>& railCases() {
    static const std::vector<RailCase> cases = {
        {"CoilAfterARungThatIsOff",
         [] {
             return Ladder()
                 .contact(0, 0, "%I0001")
                 .wires(0, 1, 8)
                 .coil(0, "%Q0001")
                 .wires(1, 0, 8)
                 .coil(1, "%Q0002");
         },
         {load("%I0001"), coilLine(3, "%Q0001"), kRule, kRailLoad, coilLine(3, "%Q0002"), kRule},
         {-1, -10, 0, 0, -7, 3, -11, 0, 0, -1, -12, 0, 6, -7, 3, -11, 0, 1, -255},
         {19},
         0,
         0x0002,
         {"----------", "##########"}},
        {"JumpOverARung",
         [] {
             return Ladder()
                 .wires(0, 0, 8)
                 .put(0, 9, 73, "#AL1#")
                 .contact(1, 0, "%I0001")
                 .wires(1, 1, 8)
                 .coil(1, "%Q0001")
                 .put(2, 0, 74, "#AL1#");
         },
         {kRailLoad, "   ->  JUMP L1", kRule, load("%I0001"), coilLine(3, "%Q0001"), kRule,
          "   ->  LABEL L1", kRule},
         {-1, -12, 0, 6, -9, 73, 0, -1, -10, 0, 0, -7, 3, -11, 0, 0, -9, 74, 0, -255},
         {9},
         0x0001,
         0,
         {"##########", "----------", "#"}},
        {"BlockEnabledFromTheRail",
         [] { return railMove().wires(0, 2, 8).coil(0, "%Q0001"); },
         {"FUNKCJA45 - MOVE", "enable: ", kRailLoad, "T: INT", "LEN: 00001", "IN: +00042",
          "Q: %R0001", "ok:", coilLine(3, "%Q0001"), kRule, kRule},
         {-8, 45, -1, -12, 0, 6, -100, -43, -26, 1, -25, 42, -18, 0, 0, -7, 3, -11, 0, 0, -255},
         {1},
         0,
         0x0001,
         {"##########", ".#"}},
        {"BlockChainedAfterABlockReadsNothing",
         [] {
             return railMove()
                 .wires(0, 2, 3)
                 .block(0, 4, 45)
                 .operand(1, 3, "%R0001")
                 .operand(1, 5, "%R0002")
                 .wires(0, 5, 8)
                 .coil(0, "%Q0001");
         },
         {"FUNKCJA45 - MOVE",
          "enable: ",
          kRailLoad,
          "T: INT",
          "LEN: 00001",
          "IN: +00042",
          "Q: %R0001",
          "ok:",
          "   >>>>>",
          kRule,
          "FUNKCJA45 - MOVE",
          "enable: ",
          "     <<<<<",
          "T: INT",
          "LEN: 00001",
          "IN: %R0001",
          "Q: %R0002",
          "ok:",
          coilLine(3, "%Q0001"),
          kRule,
          kRule},
         {-8,   45,  -1,  -12, 0,   6, -100, -43, -26, 1, -25, 42, -18, 0, 0, -8,  45,
          -100, -43, -26, 1,   -18, 0, 0,    -18, 2,   0, -7,  3,  -11, 0, 0, -255},
         {1},
         0,
         0x0001,
         {"##########", ".#..#"}},
        {"CounterResetStaysUnwired",
         [] {
             return Ladder()
                 .wire(0, 0)
                 .block(0, 1, 19)
                 .field(2, 1, 'G', "%R0001")
                 .operand(2, 0, "+00001")
                 .wires(0, 2, 8)
                 .coil(0, "%Q0001");
         },
         {"FUNKCJA19 - UPCTR", "enable: ", kRailLoad, "reset: ", "A: %R0001", "PV: +00001",
          "Q:", coilLine(3, "%Q0001"), kRule, kRule},
         {-8,  19, -1,  -12, 0, 6,   -100, -100, -18, 0, 0, -18, 2, 0,   -18, 4, 0,
          -25, 1,  -18, 0,   0, -18, 2,    0,    -18, 4, 0, -7,  3, -11, 0,   0, -255},
         {1},
         0,
         0x0001,
         {"##########", ".#", ".#"}},
        {"WireFromTheRailBeforeTwoContactsInParallel",
         [] {
             return Ladder()
                 .wire(0, 0)
                 .contact(0, 1, "%I0001", kDown)
                 .wire(0, 2, kDown)
                 .wires(0, 3, 8)
                 .coil(0, "%Q0001")
                 .contact(1, 1, "%I0002", kUp)
                 .wire(1, 2, kUp);
         },
         {load("%I0002"), load("%I0001"), kOrS, coilLine(3, "%Q0001"), kRule},
         {-1, -10, 0, 1, -1, -10, 0, 0, -5, -7, 3, -11, 0, 0, -255},
         {},
         0x0002,
         0x0001,
         {"#-########", ".##"}},
        {"TwoCoilsStackedOnWiresFromTheRail",
         [] {
             return Ladder()
                 .wires(0, 0, 7)
                 .wire(0, 8, kDown)
                 .coil(0, "%Q0001")
                 .wire(1, 8, kUp)
                 .coil(1, "%Q0002");
         },
         {kRailLoad, coilLine(3, "%Q0001"), coilLine(3, "%Q0002"), kRule},
         {-1, -12, 0, 6, -7, 3, -11, 0, 0, -7, 3, -11, 0, 1, -255},
         {9},
         0,
         0x0003,
         {"##########", "........##"}},
        {"RungWithAContactIsUnchanged",
         [] { return Ladder().contact(0, 0, "%I0001").wires(0, 1, 8).coil(0, "%Q0001"); },
         {load("%I0001"), coilLine(3, "%Q0001"), kRule},
         {-1, -10, 0, 0, -7, 3, -11, 0, 0, -255},
         {},
         0,
         0,
         {"----------"}},
    };
    return cases;
}

class RailConditionTest : public ::testing::TestWithParam<RailCase> {};

TEST_P(RailConditionTest, OutputWiredToTheRailReadsTheAlwaysOnBit) {
    const RailCase& c = GetParam();
    const Ladder ladder = c.ladder();
    const Outcome outcome = translate(ladder);
    ASSERT_EQ(outcome.result, 0) << outcome.errorCode;
    EXPECT_EQ(outcome.lines, c.lines);
    EXPECT_EQ(outcome.words, c.words);

    // The LOAD's line and its four words come from the output they serve.
    const TranslationResult result = translateDocument(ladder.document());
    ASSERT_TRUE(result.ok());
    std::vector<int> lineCells;
    for (std::size_t i = 0; i < outcome.lines.size(); ++i) {
        if (outcome.lines[i] == kRailLoad) {
            lineCells.push_back(result.sourceMap.lineCells[i]);
        }
    }
    EXPECT_EQ(lineCells, c.railCells);
    std::vector<int> wordCells;
    const std::vector<std::int32_t> railWords = {plc::kLoad, plc::kAreaS, 0, 6};
    for (auto at = outcome.words.begin();
         (at = std::search(at, outcome.words.end(), railWords.begin(), railWords.end())) !=
         outcome.words.end();
         at += 4) {
        const auto w = static_cast<std::size_t>(at - outcome.words.begin());
        for (std::size_t k = 0; k < 4; ++k) {
            wordCells.push_back(result.sourceMap.wordCell(w + k));
        }
    }
    std::vector<int> expectedWordCells;
    for (const int cell : c.railCells) {
        expectedWordCells.insert(expectedWordCells.end(), 4, cell);
    }
    EXPECT_EQ(wordCells, expectedWordCells);

    LiveRun run(ladder);
    const PowerMap& map = run.tick(c.inputs);
    EXPECT_EQ(run.outputs(), c.outputs);
    std::vector<std::string> lines;
    for (int row = 0; row < map.rowCount(); ++row) {
        lines.push_back(powerLine(map, row));
    }
    EXPECT_EQ(lines, expectedLines({c.inputs, c.rows}, ladder.document().rowCount()));
    for (const int cell : c.railCells) {
        EXPECT_FALSE(run.at(cell / 10, cell % 10).has(CellPower::Conducts)) << "not a contact";
    }
}

INSTANTIATE_TEST_SUITE_P(Rungs, RailConditionTest, ::testing::ValuesIn(railCases()),
                         [](const ::testing::TestParamInfo<RailCase>& c) { return c.param.name; });

// ---------------------------------------------------------------------------------------------

// Random rungs as users draw them: series and parallel blocks of contacts nested at random,
// laid out the editor's way (a parallel block's branches one under the other, joined by links
// at the left edges of the columns where the block starts and ends, short branches filled with
// wires), with one or two coils.
class RungDrawer {
public:
    RungDrawer(std::mt19937& random, Ladder& ladder) : m_random(random), m_ladder(ladder) {}

    // Draws a rung from row 0, its contacts from column `first` on behind wires from the rail;
    // returns false when it does not fit.
    bool draw(int first = 0) {
        const Size size = element(0, first, 3);
        m_width = size.width;
        if (first + size.width > 8 || size.height > 6) {
            return false;
        }
        for (int col = 0; col < first; ++col) {
            place(0, col, 7);
        }
        for (int col = first + size.width; col < 9; ++col) {
            place(0, col, 7);
        }
        place(0, 9, 3, "%Q0001");
        if (m_random() % 2 == 0) {
            // A second coil under the same condition, joined in column 8.
            const int row = size.height;
            flag(0, 8, kDown);
            for (int r = 1; r < row; ++r) {
                flag(r, 8, kBoth);
            }
            place(row, 8, 7);
            flag(row, 8, kUp);
            place(row, 9, 3, "%Q0002");
        }
        for (const auto& [at, code] : m_codes) {
            const int flags = m_flags.count(at) != 0 ? m_flags.at(at) : 0;
            m_ladder.put(at.first, at.second, code + flags, m_texts[at]);
        }
        for (const auto& [at, flags] : m_flags) {
            if (m_codes.count(at) == 0) {
                m_ladder.put(at.first, at.second, flags);
            }
        }
        return true;
    }

    /// The rung drawn, for a failure message: c a contact, S(...) series, P(...) parallel.
    [[nodiscard]] const std::string& tree() const { return m_tree; }
    /// The number of columns the rung's contacts take.
    [[nodiscard]] int width() const { return m_width; }

private:
    struct Size {
        int width = 0;
        int height = 0;
    };
    using Cell = std::pair<int, int>;

    void place(int row, int col, int code, const std::string& operand = {}) {
        m_codes[{row, col}] = code;
        m_texts[{row, col}] = operand.empty() ? std::string() : "#A" + operand + "#";
    }
    void flag(int row, int col, int flags) {
        int& cell = m_flags[{row, col}];
        const bool down = cell == kDown || cell == kBoth || flags == kDown || flags == kBoth;
        const bool up = cell == kUp || cell == kBoth || flags == kUp || flags == kBoth;
        cell = down && up ? kBoth : down ? kDown : kUp;
    }

    Size element(int row, int col, int depth) {
        const unsigned pick = depth == 0 ? 0 : m_random() % 3;
        if (pick == 0) {
            m_tree += "c";
            const std::string operand = "%I000" + std::to_string(1 + m_random() % 6);
            place(row, col, m_random() % 3 == 0 ? 2 : 1, operand);
            return {1, 1};
        }
        const int parts = 2 + static_cast<int>(m_random() % 2);
        if (pick == 1) {  // series
            m_tree += "S(";
            Size size;
            for (int i = 0; i < parts; ++i) {
                const Size part = element(row, col + size.width, depth - 1);
                size.width += part.width;
                size.height = std::max(size.height, part.height);
            }
            m_tree += ")";
            return size;
        }
        // Parallel: branches below each other, all as wide as the widest.
        m_tree += "P(";
        std::vector<std::pair<int, Size>> branches;
        Size size;
        for (int i = 0; i < parts; ++i) {
            const Size part = element(row + size.height, col, depth - 1);
            branches.emplace_back(row + size.height, part);
            size.width = std::max(size.width, part.width);
            size.height += part.height;
        }
        const int lastRow = branches.back().first;
        for (const auto& [branchRow, part] : branches) {
            for (int c = col + part.width; c < col + size.width; ++c) {
                place(branchRow, c, 7);
            }
            if (branchRow != row) {
                place(branchRow, col + size.width, 7);  // the stub that joins on the right
            }
        }
        for (const int edge : {col, col + size.width}) {
            flag(row, edge, kDown);
            for (int r = row + 1; r < lastRow; ++r) {
                flag(r, edge, kBoth);
            }
            flag(lastRow, edge, kUp);
        }
        m_tree += ")";
        return size;
    }

    std::mt19937& m_random;
    Ladder& m_ladder;
    std::map<Cell, int> m_codes;
    std::map<Cell, std::string> m_texts;
    std::map<Cell, int> m_flags;
    std::string m_tree;  // c contact, S(...) series, P(...) parallel
    int m_width = 0;
};

// Wherever the scan ran a -( )- coil of a random rung, the power the map brings to the coil's
// left end is the condition the scan assigned to it.
TEST(PowerMapTest, MapAgreesWithTheScanAtEveryCoilOfRandomRungs) {
    std::mt19937 random(20240611);
    int checked = 0;
    for (int n = 0; n < 1500; ++n) {
        Ladder ladder(8);
        RungDrawer drawer(random, ladder);
        if (!drawer.draw()) {
            continue;
        }
        const TranslationResult result = translateDocument(ladder.document());
        ASSERT_TRUE(result.ok()) << result.report << "\n" << dump(ladder.document());
        plc::FakeClock clock;
        plc::Plc plc(clock);
        plc.setMonitoring(true);
        plc.setProgram(result.program);
        ASSERT_TRUE(plc.allocate());
        PowerMapBuilder builder(ladder.document(), result.program.words(), result.sourceMap);
        PowerMap map;
        const auto words = result.program.words();
        for (int scan = 0; scan < 8; ++scan) {
            plc.setInputWord(static_cast<std::uint16_t>(random() & 0x3F));
            plc.runProgram();
            builder.build(plc, map);
            for (std::size_t w = 0; w + 1 < words.size(); ++w) {
                if (words[w] != plc::kCoil || (plc.traceAt(w) & plc::TraceBit::Ran) == 0) {
                    continue;
                }
                ++checked;
                const int cell = result.sourceMap.wordCell(w);
                const CellPower& coil = map.at(cell / 10, cell % 10);
                ASSERT_EQ(coil.has(CellPower::LeftPowered), coil.has(CellPower::RightPowered))
                    << drawer.tree() << " rung " << n << " scan " << scan << " coil w"
                    << cell / 10 + 1 << "\n"
                    << dump(ladder.document()) << joinLines(result.instructionList);
            }
        }
    }
    EXPECT_GT(checked, 5000);
}

// Wires from the rail conduct: a random rung drawn behind a wire translates to the very words
// and lines of the same rung drawn at the rail.
TEST(RailWireTest, RungBehindAWireFromTheRailTranslatesAsAtTheRail) {
    std::mt19937 random(20240917);
    int compared = 0;
    for (int n = 0; n < 600; ++n) {
        std::mt19937 again = random;
        Ladder atRail(8);
        Ladder behindWire(8);
        RungDrawer plain(random, atRail);
        RungDrawer shifted(again, behindWire);
        // Shifted, a parallel block reaching the column of the second coil's link would join its
        // branches on that link: a different circuit.
        if (!plain.draw() || plain.width() > 6 || !shifted.draw(1)) {
            continue;
        }
        const Outcome expected = translate(atRail);
        const Outcome outcome = translate(behindWire);
        ASSERT_EQ(expected.result, 0) << plain.tree();
        ASSERT_EQ(outcome.result, 0) << shifted.tree() << " error " << outcome.errorCode << " w"
                                     << outcome.errorRow + 1 << "k" << outcome.errorCol + 1 << "\n"
                                     << dump(behindWire.document());
        EXPECT_EQ(outcome.lines, expected.lines) << shifted.tree();
        EXPECT_EQ(outcome.words, expected.words) << shifted.tree();
        ++compared;
    }
    EXPECT_GT(compared, 200);
}

}  // namespace
}  // namespace translator::testing
