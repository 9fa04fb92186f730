// The cell-code scheme: the kind and link flag of a code, the role of a block cell, the element
// classes every folder tests cells by, and the fields of a cell text.
#include "document/cell_code.h"

#include "document/cell_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace document {
namespace {

struct CodeCase {
    std::int32_t code;
    int baseKind;
    int linkPart;
};

class CodeSchemeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(CodeSchemeTest, SplitsCodeIntoKindAndLink) {
    EXPECT_EQ(pictureKind(GetParam().code), GetParam().baseKind);
    EXPECT_EQ(linkPart(GetParam().code), GetParam().linkPart);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CodeSchemeTest,
    ::testing::Values(CodeCase{0, 0, 0}, CodeCase{1, 1, 0}, CodeCase{16, 16, 0}, CodeCase{17, 0, 0},
                      CodeCase{63, 0, 0}, CodeCase{64, 64, 0}, CodeCase{65, 65, 0},
                      CodeCase{66, 0, 0}, CodeCase{70, 70, 0}, CodeCase{74, 74, 0},
                      CodeCase{75, 0, 0}, CodeCase{99, 0, 0}, CodeCase{100, 0, 100},
                      CodeCase{101, 1, 100}, CodeCase{117, 17, 100}, CodeCase{199, 99, 100},
                      CodeCase{200, 0, 200}, CodeCase{207, 7, 200}, CodeCase{300, 0, 300},
                      CodeCase{374, 74, 300}, CodeCase{400, 0, 0}, CodeCase{421, 400, 0},
                      CodeCase{599, 500, 0}, CodeCase{1000, 0, 0}, CodeCase{1044, 1000, 0},
                      CodeCase{1460, 1400, 0}, CodeCase{1500, 0, 0}, CodeCase{-1, 0, 0},
                      CodeCase{-101, 0, 0}));

TEST(CellCodeTest, KindOfStripsLinkAndRoleHundredsButKeepsPureLinks) {
    EXPECT_EQ(kindOf(107), 7);
    EXPECT_EQ(kindOf(207), 7);
    EXPECT_EQ(kindOf(307), 7);
    EXPECT_EQ(kindOf(300), 100);
    EXPECT_EQ(kindOf(417), 17);
    EXPECT_EQ(kindOf(1160), 60);
    EXPECT_EQ(kindOf(2147483647), 47);
    EXPECT_FALSE(isContact(300));
    EXPECT_TRUE(isContact(201));
    EXPECT_TRUE(isCoil(316));
    EXPECT_FALSE(isCoil(8));
    EXPECT_TRUE(isBlockTop(527));
    EXPECT_FALSE(isBlockTop(621));
    EXPECT_TRUE(isBlockTop(1160));
    EXPECT_FALSE(isBlockTop(1161));
    EXPECT_EQ(blockRole(1160), 1100);
    EXPECT_EQ(blockRole(399), 0);
}

TEST(CellTextTest, FieldsAreReadWhole) {
    EXPECT_EQ(fieldOf("#A%I0001#", 'A'), "%I0001");
    EXPECT_EQ(fieldOf("#NADD#", 'N'), "ADD");
    EXPECT_EQ(fieldOf("#LI1#PQ#TINT#", 'A'), "");
    // Description lines after the operand, and letters inside other fields, lend it nothing.
    EXPECT_EQ(fieldOf("#A%I0001##1Pompa#", 'A'), "%I0001");
    EXPECT_EQ(fieldOf("#1Alarm A%Q0009##A%I0001#", 'A'), "%I0001");
    EXPECT_EQ(fieldOf("#A%SA0001#", 'S'), "");
    EXPECT_EQ(fieldOf("#1Stop#S+00012#", 'S'), "+00012");
    EXPECT_EQ(fieldOf("#LPV#Gaddress##A%R0005#", 'A'), "%R0005");
    EXPECT_EQ(fieldOf("#A#", 'A'), "");
    EXPECT_EQ(fieldOf("A%I0001#", 'A'), "");
}

TEST(CellTextTest, EveryFieldIsVisitedInOrderWithItsEnd) {
    std::string seen;
    forEachField("x#LI1#PQ##A%R1", [&seen](const CellField& field) {
        seen += field.tag;
        seen += '=';
        seen += field.value;
        seen += field.closed ? ';' : '.';
        return true;
    });
    EXPECT_EQ(seen, "L=I1;P=Q;A=%R1.");
}

}  // namespace
}  // namespace document
