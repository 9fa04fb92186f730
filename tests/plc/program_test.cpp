// The program store and the decoder.
#include "plc/program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plc {
namespace {

std::vector<std::string> texts(const std::vector<ProgramWord>& words) {
    std::vector<std::string> out;
    for (const auto& instruction : decodeProgram(words)) {
        out.push_back(instruction.text);
    }
    return out;
}

TEST(DecoderTest, ContactsCoilAndEnd) {
    EXPECT_EQ(texts({-1, -10, 0, 0, -1, -10, 0, 1, -5, -4, -15, 0, 0, -7, 3, -11, 0, 0, -255}),
              (std::vector<std::string>{"LOAD %I0001", "LOAD %I0002", "OR (S)", "AND NOT %M0001",
                                        "-( )- %Q0001", "END"}));
}

TEST(DecoderTest, EdgeCoilCarriesItsIndex) {
    const auto decoded =
        decodeProgram(std::vector<ProgramWord>{-1, -10, 0, 0, -7, 15, 0, -11, 0, 1, -255});
    ASSERT_EQ(decoded.size(), 3u);
    EXPECT_EQ(decoded[1].text, "-(^)- #0 %Q0002");
    EXPECT_EQ(decoded[1].first, 4u);
    EXPECT_EQ(decoded[1].count, 6u);
}

TEST(DecoderTest, ReferencesFollowTheAreaUnits) {
    EXPECT_EQ(texts({-3, -15, 1, 0, -3, -18, 4, 0, -3, -10, 1, 1, -3, 0, 3, 2}),
              (std::vector<std::string>{"AND %M0009", "AND %R0003", "AND %I0010", "AND ?(0,3,2)"}));
}

TEST(DecoderTest, BlockShowsItsEnableTypeAndOperands) {
    const std::vector<ProgramWord> add{-8,  21, -1,  -10, 0, 0,  -100, -43, -18, 0, 0,
                                       -25, 5,  -18, 4,   0, -7, 3,    -11, 0,   0, -255};
    const auto decoded = decodeProgram(add);
    ASSERT_EQ(decoded.size(), 3u);
    EXPECT_EQ(decoded[0].text, "ADD [LOAD %I0001] INT %R0001 5 %R0003");
    EXPECT_EQ(decoded[0].count, 16u);
    EXPECT_EQ(decoded[1].text, "-( )- %Q0001");
}

TEST(DecoderTest, ConstantsThatLookLikeInstructionsStayValues) {
    const auto decoded =
        decodeProgram(std::vector<ProgramWord>{-8, 27, -100, -43, -25, -1, -25, -255, -255});
    ASSERT_EQ(decoded.size(), 2u);
    EXPECT_EQ(decoded[0].text, "EQ [] INT -1 -255");
    EXPECT_EQ(decoded[1].text, "END");
}

TEST(DecoderTest, ControlsUnknownWordsAndTruncatedPrograms) {
    EXPECT_EQ(texts({-9, 71, 0, -9, 73, 2, 17, -9, 74, 2, -9, 72, 0, -1, -10}),
              (std::vector<std::string>{"MCR 0", "JUMP 2", "WORD 17", "LABEL 2", "ENDMCR 0",
                                        "LOAD %I@-255.-255"}));
    const auto decoded = decodeProgram(std::vector<ProgramWord>{-1, -10});
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(decoded[0].count, 2u) << "an instruction cut off spans only the words there are";
    EXPECT_TRUE(decodeProgram({}).empty());
}

TEST(DecoderTest, FormatNumbersEachInstructionByItsFirstWord) {
    EXPECT_EQ(formatProgram(std::vector<ProgramWord>{-1, -10, 0, 0, -7, 3, -11, 0, 0, -255}),
              "0: LOAD %I0001\n4: -( )- %Q0001\n9: END\n");
}

struct FaultCase {
    std::string name;
    std::vector<ProgramWord> words;
    ProgramFault fault = ProgramFault::None;
    std::size_t index = 0;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class ProgramCheckTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ProgramCheckTest, NamesTheFirstWordAtFault) {
    const FaultCase& c = GetParam();
    // Tables of two edge coils and one timer: indices 0..2 and 0..1 have their entries.
    const ProgramCheck check = checkProgram(Program(c.words, 2, 1));
    EXPECT_EQ(check.fault, c.fault) << programFaultText(check.fault);
    EXPECT_EQ(check.index, c.index);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ProgramCheckTest,
    ::testing::Values(
        FaultCase{"Sound", {-1, -10, 0, 0, -7, 15, 2, -11, 0, 1, -255}},
        // A JUMP may lead past an END in the middle, so the words after it count too.
        FaultCase{"LabelAfterAnEnd", {-1, -12, 0, 6, -9, 73, 4, -255, -9, 74, 4, -255}},
        FaultCase{"UnknownInstruction", {-9999, -255}, ProgramFault::UnknownInstruction, 0},
        FaultCase{"AreaCodeAsInstruction",
                  {-10, 99999, 99999, -255},
                  ProgramFault::UnknownInstruction,
                  0},
        FaultCase{"CutOffBeforeItsEnd", {-1, -10, 0, -255}, ProgramFault::CutOff, 0},
        FaultCase{"LastWordNotAnEnd", {-1, -10, 0, 0}, ProgramFault::MissingEnd, 4},
        FaultCase{"ByteOutsideTheArea", {-1, -10, 64, 0, -255}, ProgramFault::OutsideArea, 2},
        FaultCase{"BitOutsideItsByte", {-1, -18, 0, 8, -255}, ProgramFault::OutsideArea, 3},
        FaultCase{"UnknownArea", {-3, 0, 0, 0, -255}, ProgramFault::UnknownArea, 1},
        FaultCase{"UnknownCoil", {-7, 6, -11, 0, 0, -255}, ProgramFault::UnknownCoil, 1},
        FaultCase{
            "EdgeIndexPastTheTable", {-7, 15, 3, -11, 0, 0, -255}, ProgramFault::TableIndex, 2},
        FaultCase{"UnknownBlock", {-8, 99, -100, -255}, ProgramFault::UnknownBlock, 1},
        FaultCase{"WordInsideAnInput",
                  {-8, 27, -7, -100, -43, -25, 1, -25, 2, -255},
                  ProgramFault::BadInputWord,
                  2},
        FaultCase{"InputCutShortByAnEnd",
                  {-8, 27, -255, -43, -25, 1, -25, 2, -255},
                  ProgramFault::BadInputWord,
                  2},
        FaultCase{"ConstantForAnOutput",
                  {-8, 36, -100, -42, -25, 1, -25, 2, -255},
                  ProgramFault::ConstantAsAddress,
                  6},
        FaultCase{"TimerIndexPastTheTable",
                  {-8, 18,  -100, 2,   -46, -18, 0,   0, -18, 2,   0, -18, 4,
                   0,  -25, 5,    -18, 0,   0,   -18, 2, 0,   -18, 4, 0,   -255},
                  ProgramFault::TableIndex,
                  3},
        FaultCase{"UnknownTimeBase",
                  {-8, 18,  -100, 0,   -45, -18, 0,   0, -18, 2,   0, -18, 4,
                   0,  -25, 5,    -18, 0,   0,   -18, 2, 0,   -18, 4, 0,   -255},
                  ProgramFault::BadTimeBase,
                  4},
        FaultCase{
            "UnknownType", {-8, 27, -100, -45, -25, 1, -25, 2, -255}, ProgramFault::BadType, 3},
        FaultCase{"LengthWithoutItsMarker",
                  {-8, 47, -100, -42, -25, 1, -18, 0, 0, -255},
                  ProgramFault::MissingLength,
                  4},
        FaultCase{"UnknownControl", {-9, 75, 0, -255}, ProgramFault::UnknownControl, 1},
        FaultCase{"JumpWithoutLabel", {-9, 73, 5, -9, 74, 4, -255}, ProgramFault::MissingLabel, 2},
        FaultCase{"Empty", {}, ProgramFault::MissingEnd, 0}),
    [](const auto& p) { return p.param.name; });

TEST(ProgramStoreTest, FilledWordByWordAsTheHandOverDoes) {
    Program program;
    ASSERT_TRUE(program.allocateWords(3));
    program.setWord(0, kLoad);
    program.setWord(2, 7);
    program.setWord(3, 9);  // outside: ignored
    program.setTableSizes(2, 1);
    EXPECT_EQ(std::vector<ProgramWord>(program.words().begin(), program.words().end()),
              (std::vector<ProgramWord>{kLoad, kEnd, 7}));
    EXPECT_EQ(program.edgeCount(), 2);
    EXPECT_EQ(program.timerCount(), 1);
    program.clear();
    EXPECT_TRUE(program.empty());
    EXPECT_EQ(program.edgeCount(), 0);
}

}  // namespace
}  // namespace plc
