// The grid document: tagged fields, growing, row insertion and deletion.
#include "document/ladder_document.h"

#include "document_test_helpers.h"

#include "document/editing.h"
#include "document/element_catalogue.h"

#include <gtest/gtest.h>

namespace document {
namespace {

using testing::columnCodes;
using testing::rowCodes;
using testing::sameDocument;

TEST(LadderDocumentTest, NewDocumentIsTenEmptyRowsWithStatusNew) {
    LadderDocument document;
    document.AddRows(15);
    document.SetCellCode(20, 3, 101);
    document.SetCellText(0, 0, "#A%I0001#");
    document.setStatus(DocumentStatus::Saved);
    CopyRange(document, 20, 3, 20, 3);

    document.NewDocument();

    EXPECT_TRUE(sameDocument(LadderDocument(), document));
    EXPECT_EQ(statusWord(document.status()), "nowy");
    // The clipboard survives, so a fragment can move into the next program.
    EXPECT_EQ(document.clipboard().codes, std::vector<std::int32_t>{101});
}

struct EnsureCase {
    int row;
    int height;
    int rows;
};

class EnsureRowsTest : public ::testing::TestWithParam<EnsureCase> {};

TEST_P(EnsureRowsTest, KeepsThreeSpareRowsBelowTheEditedOnes) {
    LadderDocument document;
    document.EnsureRows(GetParam().row, GetParam().height);
    EXPECT_EQ(document.rowCount(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(Cases, EnsureRowsTest,
                         ::testing::Values(EnsureCase{8, 1, 12}, EnsureCase{0, 8, 11},
                                           EnsureCase{2, 1, 10}, EnsureCase{6, 1, 10},
                                           EnsureCase{-50, 1, 10}));

struct FieldCase {
    std::string text;
    char tag;
    std::string value;
    std::string written;  // text after SetField
    std::string read;     // GetField of the tag before writing
};

class FieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldTest, ReadsAndWritesTheFirstFieldWithTheTag) {
    const FieldCase& c = GetParam();
    LadderDocument document;
    document.SetCellText(1, 2, c.text);
    EXPECT_EQ(document.GetField(1, 2, c.tag), c.read);
    document.SetField(1, 2, c.tag, c.value);
    EXPECT_EQ(document.CellText(1, 2), c.written);
    EXPECT_EQ(document.GetField(1, 2, c.tag), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldTest,
    ::testing::Values(FieldCase{"#LPV#Gaddress#", 'G', "%R0005", "#LPV#G%R0005#", "address"},
                      FieldCase{"#LPV#Gaddress#", 'A', "%R0005", "#LPV#Gaddress##A%R0005#", ""},
                      FieldCase{"#LI2#", 'A', "%R0001", "#LI2##A%R0001#", ""},
                      // An empty value: the new one goes before the second "#", later fields stay.
                      FieldCase{"#A##1opis#", 'A', "%I0001", "#A%I0001##1opis#", ""},
                      FieldCase{"#1x#1y#", '1', "z", "#1z#1y#", "x"},
                      FieldCase{"", '2', "linia", "#2linia#", ""},
                      FieldCase{"#TINT", 'T', "WORD", "#TWORD#", "INT"},
                      FieldCase{"#TINT#", 'T', "", "#T#", "INT"}));

TEST(FieldTest, ValueCannotSplitTheTextIntoMoreFields) {
    LadderDocument document;
    document.SetField(0, 0, '1', "a#Sb\r\n");
    EXPECT_EQ(document.CellText(0, 0), "#1aSb#");
    EXPECT_EQ(document.GetField(0, 0, 'S'), "");
}

TEST(FieldTest, BlockFieldsAreReadAndWrittenOnlyInBlockCells) {
    LadderDocument document;
    document.SetCellCode(0, 1, 1);
    document.SetCellText(0, 1, "#TINT#");
    EXPECT_EQ(document.GetBlockField(0, 1, 'T'), "");
    document.SetBlockField(0, 1, 'T', "WORD");
    EXPECT_EQ(document.CellText(0, 1), "#TINT#");

    PlaceBlock(document, BlockKind::Add, 0, 2);
    EXPECT_EQ(document.GetBlockField(1, 2, 'T'), "INT");
    document.SetBlockField(1, 2, 'T', "DINT");
    document.SetBlockField(1, 2, 'G', "%R0001");  // the ADD row has no G field
    EXPECT_EQ(document.CellText(1, 2), "#LI1#PQ#TDINT#");
}

TEST(LadderDocumentTest, PositionsOutsideTheGridReadEmptyAndIgnoreWrites) {
    LadderDocument document;
    const LadderDocument before;
    for (const auto& [row, col] : {std::pair{-1, 0}, {0, -1}, {10, 0}, {0, 10}}) {
        EXPECT_EQ(document.CellCode(row, col), 0);
        EXPECT_EQ(document.CellText(row, col), "");
        document.SetCellCode(row, col, 5);
        document.SetCellText(row, col, "#Ax#");
        document.SetField(row, col, 'A', "y");
        DeleteElement(document, row, col);
    }
    EXPECT_TRUE(sameDocument(before, document));
}

TEST(LadderDocumentTest, RowsGrowAndShrinkWithEmptyCells) {
    LadderDocument document;
    document.SetCellText(9, 9, "#1last#");
    document.AddRows(2);
    EXPECT_EQ(document.rowCount(), 12);
    EXPECT_EQ(document.CellText(9, 9), "#1last#");
    EXPECT_EQ(document.CellText(11, 9), "");
    document.RemoveLastRows(3);
    EXPECT_EQ(document.rowCount(), 9);
    document.AddRows(1);
    EXPECT_EQ(document.CellText(9, 9), "") << "a removed row must not come back";
}

TEST(InsertRowTest, OnTheTopRowOfABlockMovesTheWholeBlockDown) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Ondtr, 2, 4);
    document.SetCellText(2, 0, "#A%I0001#");
    ASSERT_TRUE(document.InsertRow(2).changed());
    EXPECT_EQ(document.rowCount(), 11);
    EXPECT_EQ(columnCodes(document, 4, 2, 4), (std::vector<std::int32_t>{0, 417, 717, 917}));
    EXPECT_EQ(document.CellText(3, 0), "#A%I0001#");
    EXPECT_EQ(document.CellText(2, 0), "");
}

TEST(InsertRowTest, InsideABlockIsRefusedAndChangesNothing) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Ondtr, 2, 4);
    PlaceBlock(document, BlockKind::Call, 5, 1);
    const LadderDocument before = document;
    EXPECT_FALSE(document.InsertRow(3).changed());
    EXPECT_FALSE(document.InsertRow(4).changed());
    EXPECT_FALSE(document.InsertRow(6).changed()) << "lower half of the two-by-two block";
    EXPECT_FALSE(document.InsertRow(-1).changed());
    EXPECT_FALSE(document.InsertRow(document.rowCount()).changed());
    EXPECT_TRUE(sameDocument(before, document));
    EXPECT_TRUE(document.InsertRow(5).changed()) << "upper half of the two-by-two block";
}

TEST(InsertRowTest, AVerticalLinkAcrossTheNewRowRunsOnThroughIt) {
    LadderDocument document;
    // Column 0: a branch joined to the next row; column 3: a through link over two rows;
    // column 5: a down flag whose partner was lost (nothing to continue); column 7: a link
    // that ends above the new row.
    PlaceContact(document, ElementKind::ContactNO, 2, 0);
    PlaceLink(document, LinkFlag::LinkDown, 2, 0);
    PlaceLink(document, LinkFlag::LinkBoth, 2, 3);
    document.SetCellCode(2, 5, LinkFlag::LinkDown);
    PlaceLink(document, LinkFlag::LinkDown, 1, 7);
    const LadderDocument before = document;

    EditResult edit = document.InsertRow(3);
    EXPECT_EQ(rowCodes(document, 3), (std::vector<std::int32_t>{300, 0, 0, 300, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(columnCodes(document, 0, 2, 3), (std::vector<std::int32_t>{101, 300, 200}));
    EXPECT_EQ(columnCodes(document, 3, 1, 5), (std::vector<std::int32_t>{100, 300, 300, 200, 0}));
    EXPECT_EQ(columnCodes(document, 7, 1, 3), (std::vector<std::int32_t>{100, 200, 0}));
    document.revert(edit);
    EXPECT_TRUE(sameDocument(before, document));
}

TEST(DeleteRowTest, RemovesWholeBlocksAndLinkPartnersOutsideTheRow) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Ondtr, 1, 4);
    PlaceLink(document, LinkFlag::LinkDown, 2, 0);
    document.SetCellText(5, 0, "#1stays#");
    document.DeleteRow(2);
    EXPECT_EQ(document.rowCount(), 9);
    EXPECT_EQ(columnCodes(document, 4, 0, 4), (std::vector<std::int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(columnCodes(document, 0, 0, 4), (std::vector<std::int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(document.CellText(4, 0), "#1stays#");
}

TEST(DeleteRowTest, TheOnlyRowIsNeverDeleted) {
    LadderDocument document;
    document.RemoveLastRows(9);
    document.SetCellCode(0, 0, 1);
    document.DeleteRow(0);
    EXPECT_EQ(document.rowCount(), 1);
    EXPECT_EQ(document.CellCode(0, 0), 1);
}

}  // namespace
}  // namespace document
