// Function blocks: each block's words for a representative case, their listing, the operand
// checks and their errors, and the walk along a block's output.
#include "tests/translator/ladder_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace translator::testing {
namespace {

using Words = std::vector<std::int32_t>;

struct BlockCase {
    std::string name;
    int kind = 0;
    std::function<void(Ladder&)> setup;  // operands and parameters of the block at (0, 1)
    Words items;                         // the words after the enable input
};

void PrintTo(const BlockCase& c, std::ostream* os) {
    *os << c.name;
}

// The enable contact %I0001 in (0, 0), the block's top cell in (0, 1).
Ladder blockLadder(int kind, const std::function<void(Ladder&)>& setup) {
    Ladder ladder(14);
    ladder.contact(0, 0, "%I0001").block(0, 1, kind);
    setup(ladder);
    return ladder;
}

// The listing lines of a MOVE INT of one word from `in` to `q` with its power flow from
// `enable`, up to `output` (the line of what its ok output drives).
std::vector<std::string> moveLines(const std::string& enable, const std::string& in,
                                   const std::string& q, const std::string& output) {
    return {"FUNKCJA45 - MOVE", "enable: ", enable, "T: INT", "LEN: 00001",
            "IN: " + in,        "Q: " + q,  "ok:",  output};
}

// The listing of %I0001 - MOVE %R0001 to %R0002 - MOVE %R0003 to %R0004 - %Q0001: the second
// block takes the first one's power flow.
std::vector<std::string> chainedMovesListing() {
    std::vector<std::string> lines = moveLines(load("%I0001"), "%R0001", "%R0002", "   >>>>>");
    lines.push_back(kRule);
    const std::vector<std::string> second =
        moveLines("     <<<<<", "%R0003", "%R0004", coilLine(3, "%Q0001"));
    lines.insert(lines.end(), second.begin(), second.end());
    lines.insert(lines.end(), {kRule, kRule});
    return lines;
}

Words withFrame(int kind, const Words& items) {
    Words words = {-8, kind, -1, -10, 0, 0, -100};
    words.insert(words.end(), items.begin(), items.end());
    words.push_back(-255);
    return words;
}

std::vector<BlockCase> blockCases() {
    return {
        {"TmrWithConstantPreset",
         18,
         [](Ladder& l) {
             l.field(1, 1, 'T', "0.01s").field(1, 1, 'G', "%R0005").operand(1, 0, "+00100");
         },
         {0, -46, -18, 8, 0, -18, 10, 0, -18, 12, 0, -25, 100, -18, 8, 0, -18, 10, 0, -18, 12, 0}},
        {"UpCounterWithResetAndRegisterPreset",
         19,
         [](Ladder& l) {
             l.contact(1, 0, "%I0002").field(2, 1, 'G', "%R0001").operand(2, 0, "%R0010");
         },
         {-1, -10, 0,  1, -100, -18, 0, 0,   -18, 2, 0,   -18, 4,
          0,  -18, 18, 0, -18,  0,   0, -18, 2,   0, -18, 4,   0}},
        {"SubInDint",
         22,
         [](Ladder& l) {
             l.field(1, 1, 'T', "DINT")
                 .operand(1, 0, "%R0001")
                 .operand(2, 0, "+00007")
                 .operand(1, 2, "%AQ0002");
         },
         {-44, -18, 0, 0, -25, 7, -17, 2, 0}},
        {"SqrtInInt",
         26,
         [](Ladder& l) { l.operand(1, 0, "%AI0001").operand(1, 2, "%R0004"); },
         {-43, -16, 0, 0, -18, 6, 0}},
        {"GreaterThanInInt",
         29,
         [](Ladder& l) { l.operand(1, 0, "%R0001").operand(2, 0, "+00003"); },
         {-43, -18, 0, 0, -25, 3}},
        {"XorAcceptsSystemBitsAsInput",
         35,
         [](Ladder& l) {
             l.operand(1, 0, "%M0001").operand(2, 0, "%S0001").operand(1, 2, "%Q0017");
         },
         {-42, -15, 0, 0, -12, 0, 0, -11, 2, 0}},
        {"NotWritesToSystemWordSa",
         36,
         [](Ladder& l) { l.operand(1, 0, "+00005").operand(1, 2, "%SA0001"); },
         {-42, -25, 5, -12, 0, 0}},
        {"ShiftLeftWithItsPowerFlowInput",
         37,
         [](Ladder& l) {
             l.field(2, 1, 'D', "00003")
                 .operand(1, 0, "%R0001")
                 .operand(2, 0, "+00002")
                 .contact(3, 0, "%I0003")
                 .operand(2, 2, "%R0002");
         },
         {-42, -26, 3, -18, 0, 0, -25, 2, -1, -10, 0, 2, -100, -18, 2, 0}},
        {"RotateLeft",
         39,
         [](Ladder& l) {
             l.operand(1, 0, "%R0001").operand(2, 0, "+00001").operand(1, 2, "%R0002");
         },
         {-42, -26, 1, -18, 0, 0, -25, 1, -18, 2, 0}},
        {"BitTest",
         41,
         [](Ladder& l) { l.operand(1, 0, "%M0009").operand(2, 0, "+00004"); },
         {-42, -26, 1, -15, 1, 0, -25, 4}},
        {"BitSetOnSystemWordSb",
         42,
         [](Ladder& l) { l.operand(1, 0, "%SB0001").operand(2, 0, "%R0003"); },
         {-42, -26, 1, -12, 0, 0, -18, 4, 0}},
        {"BitPosition",
         44,
         [](Ladder& l) { l.operand(1, 0, "%R0001").operand(2, 2, "%R0002"); },
         {-42, -26, 1, -18, 0, 0, -18, 2, 0}},
        {"MoveWord",
         45,
         [](Ladder& l) {
             l.field(1, 1, 'T', "WORD").operand(1, 0, "%I0009").operand(1, 2, "%Q0001");
         },
         {-42, -26, 1, -10, 1, 0, -11, 0, 0}},
        {"MoveOfAnUntranslatedTypeHasNoOperands",
         45,
         [](Ladder& l) {
             l.field(1, 1, 'T', "DINT").operand(1, 0, "%R0001").operand(1, 2, "%R0002");
         },
         {}},
        {"BlockMoveOfConstants",
         46,
         [](Ladder& l) {
             for (int row = 1; row <= 7; ++row) {
                 l.operand(row, 0, "+0000" + std::to_string(row));
             }
             l.operand(1, 2, "%R0010");
         },
         {-43, -25, 1, -25, 2,  -25, 3,   -25, 4, -25, 5,  -25, 6,   -25, 7, -18, 18, 0,
          -18, 20,  0, -18, 22, 0,   -18, 24,  0, -18, 26, 0,   -18, 28,  0, -18, 30, 0}},
        {"BlockMoveIntoABitAreaWritesTheWordsAfterItsQ",
         46,
         [](Ladder& l) {
             l.field(1, 1, 'T', "WORD");
             for (int row = 1; row <= 7; ++row) {
                 l.operand(row, 0, "+00000");
             }
             l.operand(1, 2, "%M0017");
         },
         {-42, -25, 0, -25, 0, -25, 0,   -25, 0, -25, 0,  -25, 0,   -25, 0, -15, 2,  0,
          -15, 4,   0, -15, 6, 0,   -15, 8,   0, -15, 10, 0,   -15, 12,  0, -15, 14, 0}},
        {"CounterRegisterInABitAreaStartsAtItsByte",
         20,
         [](Ladder& l) { l.field(2, 1, 'G', "%M0017").operand(2, 0, "+00002"); },
         {-100, -15, 2, 0, -15, 4, 0, -15, 6, 0, -25, 2, -15, 2, 0, -15, 4, 0, -15, 6, 0}},
        {"TimerRegisterTypedInAnotherForm",
         18,
         [](Ladder& l) {
             l.field(1, 1, 'T', "1.00s").field(1, 1, 'G', "%r5").operand(1, 0, "%AI0001");
         },
         {0, -48, -18, 8, 0, -18, 10, 0, -18, 12, 0, -16, 0, 0, -18, 8, 0, -18, 10, 0, -18, 12, 0}},
        {"MoveBit",
         45,
         [](Ladder& l) {
             l.field(1, 1, 'T', "BIT")
                 .field(1, 1, 'D', "00004")
                 .operand(1, 0, "%S0003")
                 .operand(1, 2, "%Q0009");
         },
         {-40, -26, 4, -12, 0, 2, -11, 1, 0}},
        {"SearchInDint",
         53,
         [](Ladder& l) {
             l.field(1, 1, 'T', "DINT")
                 .field(2, 1, 'D', "00010")
                 .operand(1, 0, "%R0001")
                 .operand(2, 0, "%R0030")
                 .operand(3, 0, "-00001")
                 .operand(2, 2, "%R0031");
         },
         {-44, -26, 10, -18, 0, 0, -18, 58, 0, -25, -1, -18, 60, 0}},
        {"ArrayMoveOfBytes",
         57,
         [](Ladder& l) {
             l.field(1, 1, 'T', "BYTE")
                 .field(2, 1, 'D', "00002")
                 .operand(1, 0, "%SC0001")
                 .operand(2, 0, "+00001")
                 .operand(3, 0, "+00002")
                 .operand(4, 0, "%R0001")
                 .operand(1, 2, "%M0001");
         },
         {-41, -26, 2, -12, 0, 0, -25, 1, -25, 2, -18, 0, 0, -15, 0, 0}},
        {"BlockClear", 47, [](Ladder& l) { l.operand(1, 0, "%R0001"); }, {-42, -26, 1, -18, 0, 0}},
        {"ShiftRegister",
         48,
         [](Ladder& l) {
             l.field(1, 1, 'T', "WORD")
                 .contact(1, 0, "%I0002")
                 .operand(2, 0, "%M0001")
                 .operand(3, 0, "%M0002")
                 .operand(1, 2, "%R0001");
         },
         {-42, -26, 1, -1, -10, 0, 1, -100, -15, 0, 0, -15, 0, 1, -18, 0, 0}},
        {"BitSequencerWithOptionalStepLeftEmpty",
         49,
         [](Ladder& l) { l.field(4, 1, 'G', "%R0001").operand(4, 0, "%M0001"); },
         {-18, 0, 0, -18, 2, 0, -18, 4, 0, -100, -100, -15, 0, 0}},
        {"CommunicationRequestReadsEachInputBesideItsRow",
         50,
         [](Ladder& l) {
             l.operand(1, 0, "%R0001").operand(2, 0, "+00001").operand(3, 0, "%AI0002");
         },
         {-18, 0, 0, -25, 1, -16, 2, 0}},
        {"SearchEqualInInt",
         51,
         [](Ladder& l) {
             l.operand(1, 0, "%R0001")
                 .operand(2, 0, "+00001")
                 .operand(3, 0, "+00005")
                 .operand(2, 2, "%R0010");
         },
         {-43, -26, 1, -18, 0, 0, -25, 1, -25, 5, -18, 18, 0}},
        {"ArrayMoveInInt",
         57,
         [](Ladder& l) {
             l.field(2, 1, 'D', "00005")
                 .operand(1, 0, "%R0001")
                 .operand(2, 0, "+00001")
                 .operand(3, 0, "+00002")
                 .operand(4, 0, "+00003")
                 .operand(1, 2, "%R0010");
         },
         {-43, -26, 5, -18, 0, 0, -25, 1, -25, 2, -25, 3, -18, 18, 0}},
        {"ToBcd",
         58,
         [](Ladder& l) { l.operand(1, 0, "%R0001").operand(1, 2, "%R0002"); },
         {-18, 0, 0, -18, 2, 0}},
        {"CallHasNoWordsOfItsOwn", 60, [](Ladder&) {}, {}},
        {"DoIoHasOnlyItsHeader", 61, [](Ladder&) {}, {}},
    };
}

class BlockWordsTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(BlockWordsTest, EmitsTheBlocksWords) {
    const BlockCase& c = GetParam();
    const Outcome outcome = translate(blockLadder(c.kind, c.setup));
    ASSERT_EQ(outcome.result, 0) << "error " << outcome.errorCode << " at " << outcome.errorRow
                                 << "," << outcome.errorCol;
    EXPECT_EQ(outcome.words, withFrame(c.kind, c.items));
}

INSTANTIATE_TEST_SUITE_P(Blocks, BlockWordsTest, ::testing::ValuesIn(blockCases()),
                         [](const auto& p) { return p.param.name; });

struct ListingCase {
    std::string name;
    int kind = 0;
    std::function<void(Ladder&)> setup;  // operands and parameters of the block at (0, 1)
    std::vector<std::string> items;      // the lines after the enable's LOAD, rule excluded
};

void PrintTo(const ListingCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<ListingCase> listingCases() {
    return {
        {"TimerWithAnAddressPreset",
         18,
         [](Ladder& l) {
             l.field(1, 1, 'T', "0.01s").field(1, 1, 'G', "%R0001").operand(1, 0, "%R0010");
         },
         {"T: 0.01s", "A: %R0001", "PV: %R0010", "Q:"}},
        {"CounterListsItsEmptyReset",
         19,
         [](Ladder& l) { l.field(2, 1, 'G', "%R0002").operand(2, 0, "+00003"); },
         {"reset: ", "A: %R0002", "PV: +00003", "Q:"}},
        {"RelationOutputsOnItsSecondRow",
         30,
         [](Ladder& l) { l.operand(1, 0, "%AI0001").operand(2, 0, "-00100"); },
         {"T: INT", "I1: %AI0001", "I2: -00100", "Q:"}},
        {"ShiftWithItsPowerFlowInputAndB2",
         38,
         [](Ladder& l) {
             l.operand(1, 0, "%M0001").operand(2, 0, "+00001").operand(2, 2, "%M0017");
         },
         {"T: WORD", "LEN: 00001", "IN: %M0001", "N: +00001", "B1: ", "Q: %M0017", "B2:"}},
        {"BitPositionOutputsPos",
         44,
         [](Ladder& l) { l.operand(1, 0, "%R0001").operand(2, 2, "%R0002"); },
         {"T: WORD", "LEN: 00001", "IN: %R0001", "POS: %R0002", "ok:"}},
        {"ShiftRegisterReset",
         48,
         [](Ladder& l) {
             l.operand(2, 0, "%I0001").operand(3, 0, "%M0001").operand(1, 2, "%Q0001");
         },
         {"T: WORD", "LEN: 00001", "R: ", "IN: %I0001", "ST: %M0001", "Q: %Q0001", "ok:"}},
        {"SequencerListsItsEmptyOptionalInputs",
         49,
         [](Ladder& l) { l.field(4, 1, 'G', "%R0001"); },
         {"A: %R0001", "R: ", "DIR: ", "STEP:", "ST:", "ok:"}},
        {"CommunicationRequest",
         50,
         [](Ladder& l) {
             l.operand(1, 0, "%R0001").operand(2, 0, "+00001").operand(3, 0, "%R0002");
         },
         {"IN: %R0001", "SYSID: +00001", "TASK: %R0002", "FT:"}},
        {"SearchListsItsResult",
         51,
         [](Ladder& l) {
             l.field(1, 1, 'T', "WORD")
                 .operand(1, 0, "%R0001")
                 .operand(2, 0, "+00000")
                 .operand(3, 0, "%M0001")
                 .operand(2, 2, "%R0009");
         },
         {"T: WORD", "LEN: 00001", "AR: %R0001", "NXWE: +00000", "IN: %M0001", "NXWY: %R0009",
          "FD:"}},
        {"ConversionListsItsTypeOnly",
         59,
         [](Ladder& l) { l.operand(1, 0, "%R0001").operand(1, 2, "%R0002"); },
         {"T: BCD4", "IN: %R0001", "Q: %R0002", "ok:"}},
        {"CallNamesItsProcedure", 60, [](Ladder&) {}, {"   ->  CALL PROC1"}},
    };
}

class BlockListingLinesTest : public ::testing::TestWithParam<ListingCase> {};

TEST_P(BlockListingLinesTest, ListsTheBlocksItems) {
    const ListingCase& c = GetParam();
    const Outcome outcome = translate(blockLadder(c.kind, c.setup));
    ASSERT_EQ(outcome.result, 0) << "error " << outcome.errorCode << " at " << outcome.errorRow
                                 << "," << outcome.errorCol;
    ASSERT_GE(outcome.lines.size(), 3u);
    EXPECT_EQ(outcome.lines[1], "enable: ");
    EXPECT_EQ(outcome.lines[2], load("%I0001"));
    std::vector<std::string> items(outcome.lines.begin() + 3, outcome.lines.end());
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.back(), kRule);
    items.pop_back();
    EXPECT_EQ(items, c.items);
}

INSTANTIATE_TEST_SUITE_P(Blocks, BlockListingLinesTest, ::testing::ValuesIn(listingCases()),
                         [](const auto& p) { return p.param.name; });

TEST(BlockListingTest, AddGivesItsLinesAndWords) {
    const Outcome outcome = translate(blockLadder(21, [](Ladder& l) {
        l.operand(1, 0, "%R0001").operand(2, 0, "+00005").operand(1, 2, "%R0003");
    }));
    ASSERT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.lines,
              (std::vector<std::string>{"FUNKCJA21 - ADD", "enable: ", load("%I0001"), "T: INT",
                                        "I1: %R0001", "I2: +00005", "Q: %R0003", "ok:", kRule}));
    EXPECT_EQ(outcome.words,
              (Words{-8, 21, -1, -10, 0, 0, -100, -43, -18, 0, 0, -25, 5, -18, 4, 0, -255}));
}

TEST(BlockListingTest, EveryAddressOperandIsTracedAsTaken) {
    // The enable contact and the two address operands are taken; the constant is not.
    const std::filesystem::path path = uniqueTempPath("emu-block");
    const Outcome outcome = translate(
        blockLadder(21,
                    [](Ladder& l) {
                        l.operand(1, 0, "%R0001").operand(2, 0, "+00005").operand(1, 2, "%R0003");
                    }),
        path);
    ASSERT_EQ(outcome.result, 0);
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int taken = 0;
    while (std::getline(in, line)) {
        taken += line == "f.wyluskaj" ? 1 : 0;
    }
    in.close();
    std::filesystem::remove(path);
    EXPECT_EQ(taken, 3);
}

TEST(BlockListingTest, OnDelayTimerDrivesACoilThroughItsOutput) {
    const Outcome outcome = translate(blockLadder(17, [](Ladder& l) {
        l.contact(1, 0, "%I0002")
            .field(1, 1, 'T', "0.10s")
            .field(2, 1, 'G', "%R0001")
            .operand(2, 0, "+00010")
            .wires(0, 2, 8)
            .coil(0, "%Q0001");
    }));
    ASSERT_EQ(outcome.result, 0) << outcome.errorCode;
    EXPECT_EQ(outcome.lines,
              (std::vector<std::string>{"FUNKCJA17 - ONDTR", "enable: ", load("%I0001"),
                                        "reset: ", load("%I0002"), "T: 0.10s", "A: %R0001",
                                        "PV: +00010", "Q:", coilLine(3, "%Q0001"), kRule, kRule}));
    EXPECT_EQ(outcome.words, (Words{-8,  17, -1, -10, 0, 0, -100, -1, -10, 0,   1,  -100, 0, -47,
                                    -18, 0,  0,  -18, 2, 0, -18,  4,  0,   -25, 10, -18,  0, 0,
                                    -18, 2,  0,  -18, 4, 0, -7,   3,  -11, 0,   0,  -255}));
    EXPECT_EQ(outcome.timerCount, 1);
}

TEST(BlockListingTest, TimersAreNumberedInEmissionOrder) {
    Ladder ladder(14);
    for (int top : {0, 4}) {
        ladder.contact(top, 0, "%I0001")
            .block(top, 1, 18)
            .field(top + 1, 1, 'T', "1.00s")
            .field(top + 1, 1, 'G', "%R0001")
            .operand(top + 1, 0, "+00001");
    }
    const Outcome outcome = translate(ladder);
    ASSERT_EQ(outcome.result, 0) << outcome.errorCode;
    ASSERT_EQ(outcome.words.size(), 2 * 29u + 1);
    EXPECT_EQ(outcome.words[7], 0);
    EXPECT_EQ(outcome.words[29 + 7], 1);
    EXPECT_EQ(outcome.timerCount, 2);
}

TEST(BlockListingTest, ChainedBlockTakesTheFirstBlocksPowerFlow) {
    Ladder ladder(6);
    ladder.contact(0, 0, "%I0001")
        .block(0, 1, 45)
        .operand(1, 0, "%R0001")
        .operand(1, 2, "%R0002")
        .wires(0, 2, 3)
        .block(0, 4, 45)
        .operand(1, 3, "%R0003")
        .operand(1, 5, "%R0004")
        .wires(0, 5, 8)
        .coil(0, "%Q0001");
    const Outcome outcome = translate(ladder);
    ASSERT_EQ(outcome.result, 0) << outcome.errorCode;
    EXPECT_EQ(outcome.lines, chainedMovesListing());
    EXPECT_EQ(outcome.words,
              (Words{-8, 45,   -1,  -10, 0, 0,   -100, -43, -26, 1, -18, 0,  0, -18, 2, 0, -8,
                     45, -100, -43, -26, 1, -18, 4,    0,   -18, 6, 0,   -7, 3, -11, 0, 0, -255}));
}

TEST(BlockOutputTest, CoilRightAtTheOutputIsNotPassedBy) {
    // A coil in the block's output cell, linked to a coil below with nothing left of it: the
    // output is judged as the same coils after a contact are, never by skipping the first one.
    Ladder afterBlock(4);
    afterBlock.contact(0, 0, "%I0001")
        .wires(0, 1, 7)
        .block(0, 8, 47)
        .operand(1, 7, "%R0001")
        .put(0, 9, 3 + kDown, "#A%Q0001#")
        .put(1, 9, 3 + kUp, "#A%Q0002#");
    Ladder afterContact(4);
    afterContact.contact(0, 0, "%I0001")
        .wires(0, 1, 8)
        .put(0, 9, 3 + kDown, "#A%Q0001#")
        .put(1, 9, 3 + kUp, "#A%Q0002#");
    for (const Ladder* ladder : {&afterBlock, &afterContact}) {
        const Outcome outcome = translate(*ladder);
        EXPECT_EQ(outcome.result, 1);
        EXPECT_EQ(outcome.errorCode, 2);
        EXPECT_EQ(outcome.errorRow, 1);
        EXPECT_EQ(outcome.errorCol, 9);
    }
}

TEST(BlockOutputTest, OutputContinuesThroughAContinuationCoil) {
    Ladder ladder(6);
    ladder.contact(0, 0, "%I0001")
        .block(0, 1, 45)
        .operand(1, 0, "%R0001")
        .operand(1, 2, "%R0002")
        .wires(0, 2, 8)
        .put(0, 9, 8)
        .put(3, 0, 9)
        .wires(3, 1, 8)
        .coil(3, "%Q0004");
    const Outcome outcome = translate(ladder);
    ASSERT_EQ(outcome.result, 0) << outcome.errorCode;
    const Words coil(outcome.words.end() - 6, outcome.words.end());
    EXPECT_EQ(coil, (Words{-7, 3, -11, 0, 3, -255}));
}

TEST(BlockOutputTest, ChainedBlockKeepsTheRungsOtherGroups) {
    // %I0001 - MOVE - MOVE - %Q0001, and a branch %I0009 - %Q0003 below the first contact.
    Ladder ladder(6);
    ladder.contact(0, 0, "%I0001")
        .wire(0, 1, kDown)
        .wire(0, 2)
        .block(0, 3, 45)
        .operand(1, 2, "%R0001")
        .operand(1, 4, "%R0002")
        .wires(0, 4, 5)
        .block(0, 6, 45)
        .operand(1, 5, "%R0003")
        .operand(1, 7, "%R0004")
        .wires(0, 7, 8)
        .coil(0, "%Q0001")
        .wire(1, 1, kBoth)
        .wire(2, 1, kUp)
        .contact(2, 2, "%I0009")
        .wires(2, 3, 8)
        .coil(2, "%Q0003");
    const Outcome outcome = translate(ladder);
    ASSERT_EQ(outcome.result, 0) << outcome.errorCode;
    // The second block takes the first one's power flow; the branch group follows both.
    std::vector<std::string> expected = chainedMovesListing();
    expected.insert(expected.end(),
                    {load("%I0009"), andLine("%I0001"), coilLine(3, "%Q0003"), kRule});
    EXPECT_EQ(outcome.lines, expected);
}

struct BlockErrorCase {
    std::string name;
    int kind = 0;
    std::function<void(Ladder&)> setup;
    int error = 0;
    int row = 0;
    int col = 0;
};

void PrintTo(const BlockErrorCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<BlockErrorCase> blockErrorCases() {
    auto addOperands = [](Ladder& l) {
        l.operand(1, 0, "%R0001").operand(2, 0, "+00005").operand(1, 2, "%R0003");
    };
    return {
        {"EmptyInputIs19", 21, [](Ladder& l) { l.operand(1, 0, "%R0001").operand(1, 2, "%R0003"); },
         19, 2, 0},
        {"BitAreaInputOfDintIs20", 21,
         [=](Ladder& l) {
             addOperands(l);
             l.field(1, 1, 'T', "DINT").operand(1, 0, "%M0001");
         },
         20, 1, 0},
        {"LabelTextAsInputIs20", 21,
         [=](Ladder& l) {
             addOperands(l);
             l.put(2, 0, 0, "#AKoniec#");
         },
         20, 2, 0},
        {"EmptyOutputIs25", 21,
         [](Ladder& l) { l.operand(1, 0, "%R0001").operand(2, 0, "+00005"); }, 25, 1, 2},
        {"ConstantOutputIs26AtTheBlock", 21,
         [=](Ladder& l) {
             addOperands(l);
             l.operand(1, 2, "+00001");
         },
         26, 0, 1},
        {"TimerWithoutTimeBaseIs23", 17,
         [](Ladder& l) { l.field(2, 1, 'G', "%R0001").operand(2, 0, "+00010"); }, 23, 1, 1},
        {"TimerWithoutRegisterIs24", 17,
         [](Ladder& l) { l.field(1, 1, 'T', "0.10s").operand(2, 0, "+00010"); }, 24, 2, 1},
        {"RegisterThatIsNoAddressIs24", 19,
         [](Ladder& l) { l.field(2, 1, 'G', "R1").operand(2, 0, "+00010"); }, 24, 2, 1},
        {"TimerWithoutPresetIs19", 18,
         [](Ladder& l) { l.field(1, 1, 'T', "0.10s").field(1, 1, 'G', "%R0001"); }, 19, 1, 0},
        {"SequencerWithoutRegisterIs24AtItsRegisterRow", 49, [](Ladder&) {}, 24, 4, 1},
        {"SequencerOptionalInputRejectsConstant", 49,
         [](Ladder& l) { l.field(4, 1, 'G', "%R0001").operand(4, 0, "+00001"); }, 20, 4, 0},
        {"BlockMoveInputMustBeConstant", 46,
         [](Ladder& l) {
             for (int row = 1; row <= 7; ++row) {
                 l.operand(row, 0, "+00001");
             }
             l.operand(3, 0, "%R0001").operand(1, 2, "%R0010");
         },
         20, 3, 0},
        {"BlockMoveOutputWhoseSevenWordsLeaveTheAreaIs26", 46,
         [](Ladder& l) {
             for (int row = 1; row <= 7; ++row) {
                 l.operand(row, 0, "+00001");
             }
             l.operand(1, 2, "%R0507");
         },
         26, 0, 1},
        {"OutputIntoCoilBeforeLastColumnIs11", 21,
         [=](Ladder& l) {
             addOperands(l);
             l.wire(0, 2).wire(0, 3).put(0, 4, 3, "#A%Q0001#");
         },
         11, 0, 4},
        {"SystemBitAsWordOutputIs26AtTheBlock", 35,
         [](Ladder& l) {
             l.operand(1, 0, "%R0001").operand(2, 0, "%R0002").operand(1, 2, "%S0001");
         },
         26, 0, 1},
        {"BitAreaOutputOfDintIs26", 21,
         [](Ladder& l) {
             l.field(1, 1, 'T', "DINT")
                 .operand(1, 0, "%R0001")
                 .operand(2, 0, "%R0002")
                 .operand(1, 2, "%M0001");
         },
         26, 0, 1},
        {"PlainSystemBitIntoBitSetIs20", 42,
         [](Ladder& l) { l.operand(1, 0, "%S0001").operand(2, 0, "+00001"); }, 20, 1, 0},
        {"ConstantToShiftIs20", 39,
         [](Ladder& l) {
             l.operand(1, 0, "+00001").operand(2, 0, "+00001").operand(1, 2, "%R0001");
         },
         20, 1, 0},
        {"BitAreaAsCommunicationInputIs20", 50,
         [](Ladder& l) {
             l.operand(1, 0, "%M0001").operand(2, 0, "+00001").operand(3, 0, "%R0001");
         },
         20, 1, 0},
        {"CommunicationTaskReadBesideItsRow", 50,
         [](Ladder& l) { l.operand(1, 0, "%R0001").operand(2, 0, "+00001"); }, 19, 3, 0},
        {"ConstantAsSearchArrayIs20", 51,
         [](Ladder& l) {
             l.operand(1, 0, "+00001")
                 .operand(2, 0, "+00000")
                 .operand(3, 0, "+00001")
                 .operand(2, 2, "%R0001");
         },
         20, 1, 0},
        {"DescriptionAloneIsNoOperand", 26,
         [](Ladder& l) { l.put(1, 0, 0, "#1Pompa#").operand(1, 2, "%R0001"); }, 19, 1, 0},
        {"TimeBaseWithoutAKnownUnitIs23", 18,
         [](Ladder& l) {
             l.field(1, 1, 'T', "5s").field(1, 1, 'G', "%R0001").operand(1, 0, "+00001");
         },
         23, 1, 1},
        {"OutputEndingOnAWireInTheLastColumnIs14", 21,
         [=](Ladder& l) {
             addOperands(l);
             l.wires(0, 2, 9);
         },
         14, 0, 9},
        {"OutputIntoNothingIs2", 21,
         [=](Ladder& l) {
             addOperands(l);
             l.wire(0, 2);
         },
         2, 0, 2},
    };
}

class BlockErrorTest : public ::testing::TestWithParam<BlockErrorCase> {};

TEST_P(BlockErrorTest, StopsAtTheOffendingCell) {
    const BlockErrorCase& c = GetParam();
    const Outcome outcome = translate(blockLadder(c.kind, c.setup));
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.errorCode, c.error);
    EXPECT_EQ(outcome.errorRow, c.row);
    EXPECT_EQ(outcome.errorCol, c.col);
}

INSTANTIATE_TEST_SUITE_P(Blocks, BlockErrorTest, ::testing::ValuesIn(blockErrorCases()),
                         [](const auto& p) { return p.param.name; });

}  // namespace
}  // namespace translator::testing
