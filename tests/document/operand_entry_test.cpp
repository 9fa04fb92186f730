// Operand entry into document cells.
#include "document/operand_entry.h"

#include "document_test_helpers.h"

#include "document/editing.h"

#include <gtest/gtest.h>

namespace document {
namespace {

TEST(EnterOperandTest, KeepsTheDescriptionLinesOfTheCell) {
    LadderDocument document;
    PlaceContact(document, ElementKind::ContactNO, 0, 0);
    document.SetField(0, 0, '1', "Pompa");
    document.SetField(0, 0, 'A', "%I0001");
    EXPECT_TRUE(EnterOperand(document, "%q3", 0, 0));
    EXPECT_EQ(document.CellText(0, 0), "#A%Q0003#1Pompa#");
    EXPECT_TRUE(EnterOperand(document, "-12", 0, 0));
    EXPECT_EQ(document.CellText(0, 0), "#S-00012#1Pompa#");
}

TEST(EnterOperandTest, BlockCellsInvalidTextAndOutsidePositionsChangeNothing) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Add, 0, 1);
    document.SetCellText(1, 0, "#A%R0001#");
    const LadderDocument before = document;
    EXPECT_FALSE(EnterOperand(document, "%R2", 1, 1));
    EXPECT_FALSE(EnterOperand(document, "%X1", 1, 0));
    EXPECT_FALSE(EnterOperand(document, "%R2", 10, 0));
    EXPECT_FALSE(EnterOperand(document, "%R2", 0, -1));
    EXPECT_TRUE(testing::sameDocument(before, document));
    EXPECT_TRUE(EnterOperand(document, "%R2", 1, 0)) << "the empty cell beside a block input";
    EXPECT_EQ(document.CellText(1, 0), "#A%R0002#");
}

}  // namespace
}  // namespace document
