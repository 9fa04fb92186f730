// Operand entry: what a typed text becomes in a cell, and what leaves the cell alone.
#include "document/operand_entry.h"

#include "document_test_helpers.h"

#include "document/editing.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace document {
namespace {

constexpr int kContact = 1;
constexpr int kJump = 73;

struct EntryCase {
    int code;
    std::string typed;
    std::string stored;  // empty: the cell stays unchanged
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << "code " << c.code << " typed \"" << c.typed << "\"";
}

class OperandEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(OperandEntryTest, TypedTextGivesItsNormalFormOrNothing) {
    const EntryCase& c = GetParam();
    const std::optional<std::string> text = enterOperandText(c.code, "", c.typed);
    if (c.stored.empty()) {
        EXPECT_FALSE(text.has_value()) << *text;
    } else {
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(*text, c.stored);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, OperandEntryTest,
    ::testing::Values(
        EntryCase{kContact, "%i1", "#A%I0001#"}, EntryCase{kContact, "  % I  1  ", "#A%I0001#"},
        EntryCase{kContact, "1i", "#A%I0001#"}, EntryCase{kContact, "12 q", "#A%Q0012#"},
        EntryCase{kContact, "%I0001", "#A%I0001#"}, EntryCase{kContact, "%I00001", "#A%I0001#"},
        EntryCase{kContact, "%AI3", "#A%AI0003#"}, EntryCase{kContact, "%r12345", "#A%R12345#"},
        EntryCase{kContact, "%I1234567", "#A%I1234567#"}, EntryCase{kContact, "7sc", "#A%SC0007#"},
        EntryCase{kContact, "%ABC1", ""}, EntryCase{kContact, "%X1", ""},
        EntryCase{kContact, "%I12345678", ""}, EntryCase{kContact, "12a", ""},
        EntryCase{kContact, "abc", ""}, EntryCase{kContact, "%", ""}, EntryCase{kContact, "%I", ""},
        EntryCase{kContact, "I1", ""}, EntryCase{kContact, "%I1x", ""},
        EntryCase{kContact, "%AIQ1", ""}, EntryCase{kContact, "1 2", ""},
        EntryCase{kContact, "   ", ""}));

INSTANTIATE_TEST_SUITE_P(Constants, OperandEntryTest,
                         ::testing::Values(EntryCase{kContact, "0", "#S+00000#"},
                                           EntryCase{kContact, "-7", "#S-00007#"},
                                           EntryCase{kContact, "123456", "#S+123456#"},
                                           EntryCase{kContact, "9999999", "#S+9999999#"},
                                           EntryCase{kContact, "-5-3", "#S-00005#"},
                                           EntryCase{kContact, "+-5", "#S+00000#"},
                                           EntryCase{kContact, " 42 ", "#S+00042#"},
                                           EntryCase{kContact, "12345678", ""}));

INSTANTIATE_TEST_SUITE_P(
    Labels, OperandEntryTest,
    ::testing::Values(EntryCase{kJump, "Koniec", "#AKoniec#"}, EntryCase{kJump, "Koniec123", ""},
                      EntryCase{kJump, "%M5", "#A%M0005#"}, EntryCase{kJump, "12", "#S+00012#"},
                      EntryCase{71, "a b", "#Aa b#"},
                      // A label with vertical-link flags is still a label.
                      EntryCase{174, "Start", "#AStart#"},
                      // '#' would split the field; control bytes would split the text file line.
                      EntryCase{kJump, "ab#1", ""}, EntryCase{kJump, "ab\n", ""},
                      EntryCase{kContact, "Koniec", ""}));

INSTANTIATE_TEST_SUITE_P(BlockCells, OperandEntryTest,
                         ::testing::Values(EntryCase{421, "%I1", ""}, EntryCase{621, "5", ""},
                                           EntryCase{1460, "%Q1", ""}));

TEST(OperandEntryTextTest, NewOperandReplacesOnlyTheOldOperandField) {
    EXPECT_EQ(enterOperandText(kContact, "#1opis#A%I0001#2linia#", "%q2"),
              "#A%Q0002#1opis#2linia#");
    EXPECT_EQ(enterOperandText(kContact, "#S+00001##3trzy#", "%m4"), "#A%M0004#3trzy#");
    EXPECT_EQ(enterOperandText(kContact, "#A%I0001#1x#", "5"), "#S+00005#1x#");
    // A damaged text holding both operand forms ends with one.
    EXPECT_EQ(enterOperandText(kContact, "#A%I0001#S+00002#", "%I3"), "#A%I0003#");
}

TEST(OperandEntryTextTest, RefusedTextLeavesNoNewText) {
    EXPECT_FALSE(enterOperandText(kContact, "#1opis#A%I0001#", "%X1").has_value());
}

TEST(EnterOperandTest, KeepsTheDescriptionLinesOfTheCell) {
    LadderDocument document;
    PlaceContact(document, ElementKind::ContactNO, 0, 0);
    document.SetField(0, 0, '1', "Pompa");
    document.SetField(0, 0, 'A', "%I0001");
    EXPECT_TRUE(EnterOperand(document, "%q3", 0, 0).changed());
    EXPECT_EQ(document.CellText(0, 0), "#A%Q0003#1Pompa#");
    EXPECT_TRUE(EnterOperand(document, "-12", 0, 0).changed());
    EXPECT_EQ(document.CellText(0, 0), "#S-00012#1Pompa#");
}

TEST(EnterOperandTest, BlockCellsInvalidTextAndOutsidePositionsChangeNothing) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Add, 0, 1);
    document.SetCellText(1, 0, "#A%R0001#");
    const LadderDocument before = document;
    EXPECT_FALSE(EnterOperand(document, "%R2", 1, 1).changed());
    EXPECT_FALSE(EnterOperand(document, "%X1", 1, 0).changed());
    EXPECT_FALSE(EnterOperand(document, "%R2", 10, 0).changed());
    EXPECT_FALSE(EnterOperand(document, "%R2", 0, -1).changed());
    EXPECT_TRUE(testing::sameDocument(before, document));
    EXPECT_TRUE(EnterOperand(document, "%R2", 1, 0).changed())
        << "the empty cell beside a block input";
    EXPECT_EQ(document.CellText(1, 0), "#A%R0002#");
}

}  // namespace
}  // namespace document
