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
