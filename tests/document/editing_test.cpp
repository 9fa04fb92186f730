// Editing operations: placement, links, deletion and the clipboard, with their refusals.
#include "document/editing.h"

#include "document_test_helpers.h"

#include <gtest/gtest.h>

#include <tuple>

namespace document {
namespace {

using testing::columnCodes;
using testing::rowCodes;
using testing::sameDocument;
using Codes = std::vector<std::int32_t>;

TEST(PlaceContactTest, KeepsLinkFlagsAndTextOfTheCell) {
    LadderDocument document;
    document.SetCellCode(0, 0, 101);
    document.SetCellText(0, 0, "#A%I0001#1opis#");
    PlaceContact(document, ElementKind::ContactNC, 0, 0);
    EXPECT_EQ(document.CellCode(0, 0), 102);
    EXPECT_EQ(document.CellText(0, 0), "#A%I0001#1opis#");
    EXPECT_EQ(document.status(), DocumentStatus::Modified);
}

TEST(PlaceContactTest, OnABlockRowRemovesTheWholeBlockFirst) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Ondtr, 0, 1);
    PlaceContact(document, ElementKind::ContactNO, 1, 1);
    EXPECT_EQ(columnCodes(document, 1, 0, 3), (Codes{0, 1, 0}));
    EXPECT_EQ(document.CellText(1, 1), "");
    EXPECT_EQ(document.CellText(0, 1), "");
}

TEST(PlaceContactTest, NearTheEndGrowsTheDocument) {
    LadderDocument document;
    PlaceContact(document, ElementKind::ContactNO, 9, 0);
    EXPECT_EQ(document.rowCount(), 13);
    EXPECT_EQ(document.CellCode(9, 0), 1);
}

TEST(PlaceCoilTest, WiresAnEmptyRowUpToColumnNine) {
    LadderDocument document;
    document.SetCellCode(0, 5, 100);
    PlaceCoil(document, ElementKind::Coil, 0, 3);
    EXPECT_EQ(rowCodes(document, 0), (Codes{0, 0, 0, 7, 7, 107, 7, 7, 7, 3}));
    EXPECT_EQ(document.status(), DocumentStatus::Modified);
}

TEST(PlaceCoilTest, BlockedPathChangesNothing) {
    LadderDocument document;
    document.SetCellCode(0, 6, 1);
    const LadderDocument before = document;
    PlaceCoil(document, ElementKind::Coil, 0, 3);
    EXPECT_TRUE(sameDocument(before, document));
}

TEST(PlaceCoilTest, InColumnNineReplacesWhateverStoodThere) {
    LadderDocument document;
    document.SetCellCode(0, 9, 301);
    document.SetCellText(0, 9, "#A%Q0001#");
    PlaceCoil(document, ElementKind::CoilS, 0, 9);
    EXPECT_EQ(document.CellCode(0, 9), 13);
    EXPECT_EQ(document.CellText(0, 9), "#A%Q0001#");
}

TEST(PlaceLinkTest, DownwardLinkSetsBothPartnersOnce) {
    LadderDocument document;
    PlaceLink(document, LinkFlag::LinkDown, 2, 4);
    EXPECT_EQ(columnCodes(document, 4, 2, 2), (Codes{100, 200}));
    PlaceLink(document, LinkFlag::LinkDown, 2, 4);
    EXPECT_EQ(columnCodes(document, 4, 2, 2), (Codes{100, 200}));
}

TEST(PlaceLinkTest, UpwardLinkJoinsAContactAbove) {
    LadderDocument document;
    document.SetCellCode(1, 0, 1);
    document.SetCellCode(2, 0, 2);
    PlaceLink(document, LinkFlag::LinkUp, 2, 0);
    EXPECT_EQ(columnCodes(document, 0, 1, 2), (Codes{101, 202}));
}

TEST(PlaceLinkTest, ThroughLinkFlagsTheCellAndBothNeighbours) {
    LadderDocument document;
    document.SetCellCode(2, 3, 7);
    document.SetCellCode(1, 3, 201);
    PlaceLink(document, LinkFlag::LinkBoth, 2, 3);
    EXPECT_EQ(columnCodes(document, 3, 1, 3), (Codes{301, 307, 200}));
}

TEST(PlaceLinkTest, RefusedLinkChangesNothingTheStatusIncluded) {
    LadderDocument document;
    document.SetCellCode(3, 3, 201);
    document.SetCellCode(4, 3, 101);
    PlaceBlock(document, BlockKind::Add, 5, 5);
    document.setStatus(DocumentStatus::Saved);
    const LadderDocument expected = document;

    for (const auto& [link, row, col] :
         {std::tuple{300, 0, 0},                         // row 0 has no cell above
          std::tuple{300, 3, 3},                         // a contact that has a link
          std::tuple{200, 0, 1}, std::tuple{100, 4, 3},  // already has a down flag
          std::tuple{100, 6, 5},                         // block cell
          std::tuple{150, 2, 2}}) {
        EXPECT_FALSE(PlaceLink(document, link, row, col).changed()) << link << " w" << row;
    }

    EXPECT_TRUE(sameDocument(expected, document));
}

TEST(PlaceLinkTest, PartnerThatIsABlockCellKeepsItsCode) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Add, 3, 2);
    PlaceLink(document, LinkFlag::LinkDown, 2, 2);
    EXPECT_EQ(columnCodes(document, 2, 2, 2), (Codes{100, 421}));
}

TEST(DeleteElementTest, RemovesBothEndsOfALink) {
    LadderDocument document;
    PlaceContact(document, ElementKind::ContactNO, 1, 0);
    PlaceLink(document, LinkFlag::LinkDown, 1, 0);
    DeleteElement(document, 2, 0);
    EXPECT_EQ(columnCodes(document, 0, 1, 2), (Codes{1, 0}));

    PlaceLink(document, LinkFlag::LinkBoth, 5, 0);
    DeleteElement(document, 5, 0);
    EXPECT_EQ(columnCodes(document, 0, 4, 3), (Codes{0, 0, 0}));
}

TEST(DeleteElementTest, UpFlagBelowABlockLeavesTheBlockCell) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Tmr, 0, 1);
    document.SetCellCode(2, 1, 200);
    DeleteElement(document, 2, 1);
    EXPECT_EQ(columnCodes(document, 1, 0, 3), (Codes{418, 918, 0}));
}

class DeleteBlockTest : public ::testing::TestWithParam<int> {};

TEST_P(DeleteBlockTest, AnyCellRemovesTheWholeBlockAndNothingElse) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::BlkMv, 1, 3);
    PlaceBlock(document, BlockKind::Add, 9, 3);
    PlaceContact(document, ElementKind::ContactNO, 0, 3);
    PlaceContact(document, ElementKind::ContactNO, 4, 2);
    DeleteElement(document, 1 + GetParam(), 3);
    EXPECT_EQ(columnCodes(document, 3, 0, 12), (Codes{1, 0, 0, 0, 0, 0, 0, 0, 0, 421, 621, 921}));
    EXPECT_EQ(document.CellCode(4, 2), 1);
    for (int row = 1; row < 9; ++row)
        EXPECT_EQ(document.CellText(row, 3), "");
}

INSTANTIATE_TEST_SUITE_P(EveryRowOfBlkMv, DeleteBlockTest, ::testing::Range(0, 8));

// A block of each height and each kind of bottom row (800 MOVE, 900, 1000 BITPOS) between an
// ADD directly above it and, directly below it, a TMR or a CALL square: deleting any of its
// rows takes it alone, its neighbours stay whole.
struct NeighbourCase {
    BlockKind kind;
    int row;  // row of the block that is hit, counted from its top
    bool callBelow;
};

class DeleteBetweenNeighboursTest : public ::testing::TestWithParam<NeighbourCase> {};

TEST_P(DeleteBetweenNeighboursTest, LeavesTheBlocksAboveAndBelowWhole) {
    const NeighbourCase c = GetParam();
    const int height = BlockHeight(c.kind);
    LadderDocument document;
    PlaceBlock(document, BlockKind::Add, 0, 4);
    PlaceBlock(document, c.kind, 3, 4);
    const int below = 3 + height;
    PlaceBlock(document, c.callBelow ? BlockKind::Call : BlockKind::Tmr, below, 4);
    const LadderDocument before = document;

    DeleteElement(document, 3 + c.row, 4);

    for (int row = 0; row < document.rowCount(); ++row) {
        for (int col = 0; col < kColumns; ++col) {
            const bool inBlock = col == 4 && row >= 3 && row < below;
            EXPECT_EQ(document.CellCode(row, col), inBlock ? 0 : before.CellCode(row, col))
                << "w" << row << " k" << col;
            EXPECT_EQ(document.CellText(row, col), inBlock ? "" : before.CellText(row, col));
        }
    }
}

std::vector<NeighbourCase> neighbourCases() {
    std::vector<NeighbourCase> cases;
    for (const BlockKind kind : {BlockKind::Tmr, BlockKind::Add, BlockKind::Shl, BlockKind::BitSeq,
                                 BlockKind::BlkMv, BlockKind::Move, BlockKind::BitPos}) {
        for (int row = 0; row < BlockHeight(kind); ++row) {
            cases.push_back({kind, row, false});
            cases.push_back({kind, row, true});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryHeightAndRow, DeleteBetweenNeighboursTest,
                         ::testing::ValuesIn(neighbourCases()));

class DeleteCallTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(DeleteCallTest, AnyQuarterRemovesTheSquare) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Call, 2, 4);
    document.SetCellCode(2, 6, 1);
    DeleteElement(document, 2 + GetParam().first, 4 + GetParam().second);
    EXPECT_EQ(rowCodes(document, 2), (Codes{0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(rowCodes(document, 3), Codes(10, 0));
}

INSTANTIATE_TEST_SUITE_P(Quarters, DeleteCallTest,
                         ::testing::Values(std::pair{0, 0}, std::pair{0, 1}, std::pair{1, 0},
                                           std::pair{1, 1}));

TEST(DeleteElementTest, DamagedSquareAtTheGridEdgeStaysInside) {
    LadderDocument document;
    document.SetCellCode(0, 9, 1160);
    document.SetCellCode(0, 0, 1260);
    document.SetCellCode(0, 5, 1360);
    document.SetCellCode(9, 0, 1460);
    for (const auto& [row, col] : {std::pair{0, 9}, {0, 0}, {0, 5}, {9, 0}}) {
        DeleteElement(document, row, col);
        EXPECT_EQ(document.CellCode(row, col), 0);
    }
    EXPECT_EQ(document.rowCount(), 10);
}

TEST(ClipboardTest, PasteRefusedWhenItWouldPassColumnNine) {
    LadderDocument document;
    document.SetCellCode(0, 0, 1);
    document.SetCellText(1, 2, "#A%I0002#");
    CopyRange(document, 0, 0, 1, 2);
    const LadderDocument before = document;
    Paste(document, 5, 8);
    EXPECT_TRUE(sameDocument(before, document));

    Paste(document, 5, 7);
    EXPECT_EQ(rowCodes(document, 5), (Codes{0, 0, 0, 0, 0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(document.CellText(6, 9), "#A%I0002#");
}

TEST(ClipboardTest, PasteWithoutClipboardChangesNothing) {
    LadderDocument document;
    document.SetCellCode(0, 0, 1);
    const LadderDocument before = document;
    Paste(document, 0, 0);
    EXPECT_TRUE(sameDocument(before, document));
}

TEST(ClipboardTest, CopyOfARectangleOutsideTheGridKeepsTheOldClipboard) {
    LadderDocument document;
    document.SetCellCode(0, 0, 1);
    CopyRange(document, 0, 0, 0, 0);
    CopyRange(document, 0, 0, 0, 10);
    CopyRange(document, 9, 0, 10, 0);
    CopyRange(document, 2, 0, 1, 0);
    EXPECT_EQ(document.clipboard().codes, Codes{1});
}

TEST(ClipboardTest, CutOfTheTopRowOfATimerRemovesTheWholeTimer) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Tmr, 0, 1);
    CutRange(document, 0, 0, 0, 2);
    EXPECT_EQ(columnCodes(document, 1, 0, 2), (Codes{0, 0}));
    EXPECT_EQ(document.clipboard().rows, 1);
    EXPECT_EQ(document.clipboard().codes, (Codes{0, 418, 0}));
    EXPECT_EQ(document.clipboard().texts[1], "#NTMR#");
}

TEST(ClipboardTest, PasteOverPartOfABlockRemovesTheWholeBlock) {
    LadderDocument document;
    PlaceContact(document, ElementKind::ContactNO, 0, 0);
    document.SetCellText(0, 0, "#A%I0001#");
    CopyRange(document, 0, 0, 0, 0);
    PlaceBlock(document, BlockKind::Add, 3, 4);

    Paste(document, 4, 4);

    EXPECT_EQ(columnCodes(document, 4, 3, 3), (Codes{0, 1, 0}));
    EXPECT_EQ(document.CellText(4, 4), "#A%I0001#");
    EXPECT_EQ(document.CellText(3, 4), "");
}

TEST(ClipboardTest, BlockCopiedWholeIsPastedWholeAndGrowsTheDocument) {
    LadderDocument document;
    PlaceBlock(document, BlockKind::Add, 0, 1);
    CopyRange(document, 0, 1, 2, 1);
    Paste(document, 8, 1);
    EXPECT_EQ(document.rowCount(), 14);
    EXPECT_EQ(columnCodes(document, 1, 8, 3), (Codes{421, 621, 921}));
    EXPECT_EQ(document.CellText(9, 1), "#LI1#PQ#TINT#");
    EXPECT_EQ(columnCodes(document, 1, 0, 3), (Codes{421, 621, 921}));
}

TEST(ClipboardTest, ClipboardOperationsLeaveTheStatus) {
    LadderDocument document;
    document.setStatus(DocumentStatus::Saved);
    PlaceBlock(document, BlockKind::Add, 0, 1);
    CopyRange(document, 0, 0, 2, 2);
    Paste(document, 4, 0);
    CutRange(document, 0, 0, 2, 2);
    DeleteElement(document, 4, 1);
    EXPECT_EQ(document.status(), DocumentStatus::Saved);
}

}  // namespace
}  // namespace document
