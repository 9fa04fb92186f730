// What edits report: every edit, done or refused, says exactly what it changed, so that taking
// its steps back restores the document, and each touched cell is recorded once.
#include "document/edit_result.h"

#include "document_test_helpers.h"

#include "document/editing.h"
#include "document/operand_entry.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>

namespace document {
namespace {

using testing::sameDocument;

// The document with `count` rows from `row` on taken out, or `count` empty rows put in there.
LadderDocument withRows(const LadderDocument& document, int row, int count, bool insert) {
    LadderDocument result = document;
    result.resetGrid(document.rowCount() + (insert ? count : -count));
    for (int r = 0; r < result.rowCount(); ++r) {
        int from = r;
        if (r >= row) {
            from = insert ? (r < row + count ? -1 : r - count) : r + count;
        }
        for (int col = 0; col < kColumns && from >= 0; ++col) {
            result.SetCellCode(r, col, document.CellCode(from, col));
            result.SetCellText(r, col, document.CellText(from, col));
        }
    }
    return result;
}

// Takes the steps of an edit back, last first.
void takeBack(LadderDocument& document, const EditResult& edit) {
    const auto steps = edit.steps();
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        switch (step->kind) {
            case EditStep::Kind::Cell:
                document.SetCellCode(step->row, step->col, step->code);
                document.SetCellText(step->row, step->col, step->text);
                break;
            case EditStep::Kind::RowsInserted:
                document = withRows(document, step->row, step->count, false);
                break;
            case EditStep::Kind::RowsRemoved:
                document = withRows(document, step->row, step->count, true);
                break;
        }
    }
}

bool sameGrid(const LadderDocument& a, const LadderDocument& b) {
    LadderDocument statusAside = b;
    statusAside.setStatus(a.status());
    return sameDocument(a, statusAside);
}

// Contacts with links and texts, an ONDTR, an ADD right below it, a CALL square, a clipboard.
LadderDocument sample() {
    LadderDocument document;
    PlaceContact(document, ElementKind::ContactNO, 0, 0);
    document.SetField(0, 0, 'A', "%I0001");
    document.SetField(0, 0, '1', "Start");
    PlaceLink(document, LinkFlag::LinkDown, 0, 0);
    PlaceContact(document, ElementKind::ContactNC, 1, 0);
    PlaceBlock(document, BlockKind::Ondtr, 0, 2);
    PlaceBlock(document, BlockKind::Add, 3, 2);
    PlaceBlock(document, BlockKind::Call, 6, 5);
    PlaceCoil(document, ElementKind::Coil, 0, 3);
    CopyRange(document, 0, 0, 4, 2);
    document.setStatus(DocumentStatus::Saved);
    return document;
}

struct EditCase {
    std::string name;
    std::function<EditResult(LadderDocument&)> edit;
};

void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name;
}

class EditResultTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(EditResultTest, TakingTheStepsBackRestoresTheDocument) {
    const LadderDocument before = sample();
    LadderDocument document = before;
    const EditResult edit = GetParam().edit(document);

    EXPECT_EQ(edit.changed(), !sameGrid(before, document));
    if (!edit.changed()) {
        EXPECT_TRUE(sameDocument(before, document)) << "a refused edit keeps the status too";
    }
    takeBack(document, edit);
    EXPECT_TRUE(sameGrid(before, document));
}

TEST_P(EditResultTest, EveryCellIsRecordedOnceBetweenRowSteps) {
    LadderDocument document = sample();
    const EditResult edit = GetParam().edit(document);
    std::set<std::pair<int, int>> seen;
    for (const EditStep& step : edit.steps()) {
        if (step.kind == EditStep::Kind::Cell) {
            EXPECT_TRUE(seen.insert({step.row, step.col}).second)
                << "w" << step.row << " k" << step.col;
        } else {
            seen.clear();
        }
    }
}

TEST_P(EditResultTest, RevertingRestoresTheDocumentAndRevertingThatRedoesTheEdit) {
    const LadderDocument before = sample();
    LadderDocument document = before;
    const EditResult edit = GetParam().edit(document);
    const LadderDocument after = document;

    const EditResult undo = document.revert(edit);
    EXPECT_TRUE(sameGrid(before, document));
    EXPECT_EQ(undo.changed(), edit.changed());
    document.revert(undo);
    EXPECT_TRUE(sameGrid(after, document));
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EditResultTest,
    ::testing::Values(
        EditCase{"ContactOnAnInnerBlockRow",
                 [](LadderDocument& d) { return PlaceContact(d, 1, 1, 2); }},
        EditCase{"ContactNearTheEnd", [](LadderDocument& d) { return PlaceContact(d, 2, 9, 4); }},
        EditCase{"SameContactAgain", [](LadderDocument& d) { return PlaceContact(d, 2, 1, 0); }},
        EditCase{"ContactOutsideTheColumns",
                 [](LadderDocument& d) { return PlaceContact(d, 1, 0, 10); }},
        EditCase{"CoilWiringARow", [](LadderDocument& d) { return PlaceCoil(d, 13, 2, 4); }},
        EditCase{"CoilWithABlockedPath", [](LadderDocument& d) { return PlaceCoil(d, 3, 3, 0); }},
        EditCase{"ThroughLink", [](LadderDocument& d) { return PlaceLink(d, 300, 2, 7); }},
        EditCase{"RefusedLink", [](LadderDocument& d) { return PlaceLink(d, 100, 0, 0); }},
        EditCase{"BlockOverTwoBlocks",
                 [](LadderDocument& d) { return PlaceBlock(d, BlockKind::BlkMv, 2, 2); }},
        EditCase{"CallSquareOverAnAdd",
                 [](LadderDocument& d) { return PlaceBlock(d, BlockKind::Call, 4, 1); }},
        EditCase{"UnknownBlockGrowsOnly",
                 [](LadderDocument& d) { return PlaceBlock(d, 62, 9, 3); }},
        EditCase{"BlockInColumnNine",
                 [](LadderDocument& d) { return PlaceBlock(d, BlockKind::Add, 0, 9); }},
        EditCase{"DeleteALinkEnd", [](LadderDocument& d) { return DeleteElement(d, 1, 0); }},
        EditCase{"DeleteACallQuarter", [](LadderDocument& d) { return DeleteElement(d, 7, 6); }},
        EditCase{"DeleteAnEmptyCell", [](LadderDocument& d) { return DeleteElement(d, 9, 9); }},
        EditCase{"CutAcrossBlocks", [](LadderDocument& d) { return CutRange(d, 1, 1, 4, 6); }},
        EditCase{"PasteThatGrows", [](LadderDocument& d) { return Paste(d, 8, 4); }},
        EditCase{"PasteTooWide", [](LadderDocument& d) { return Paste(d, 0, 8); }},
        EditCase{"InsertAboveABlock", [](LadderDocument& d) { return d.InsertRow(3); }},
        EditCase{"InsertInsideABlock", [](LadderDocument& d) { return d.InsertRow(4); }},
        EditCase{"InsertAcrossALink", [](LadderDocument& d) { return d.InsertRow(1); }},
        EditCase{"DeleteARowThroughBlocksAndLinks",
                 [](LadderDocument& d) { return d.DeleteRow(0); }},
        EditCase{"DeleteTheLowerRowOfTheSquare", [](LadderDocument& d) { return d.DeleteRow(7); }},
        EditCase{"DescriptionLine",
                 [](LadderDocument& d) { return d.SetField(0, 0, '2', "Pompa"); }},
        EditCase{"ParameterOfAContact",
                 [](LadderDocument& d) { return d.SetBlockField(0, 0, 'A', "%I0002"); }},
        EditCase{"BlockType", [](LadderDocument& d) { return d.SetBlockField(4, 2, 'T', "DINT"); }},
        EditCase{"Operand", [](LadderDocument& d) { return EnterOperand(d, "%q7", 0, 9); }},
        EditCase{"SameOperandAgain", [](LadderDocument& d) { return EnterOperand(d, "1i", 0, 0); }},
        EditCase{"OperandThatFitsNoForm",
                 [](LadderDocument& d) { return EnterOperand(d, "%X1", 0, 0); }}),
    [](const ::testing::TestParamInfo<EditCase>& param) { return param.param.name; });

TEST(EditResultTest, RemovedRowsAreRecordedWithTheirCells) {
    LadderDocument document = sample();
    const LadderDocument before = document;
    LadderDocument::Recording recording(document);
    document.RemoveLastRows(8);
    const EditResult edit = recording.finish();
    ASSERT_TRUE(edit.changed());
    EXPECT_EQ(edit.steps().back().kind, EditStep::Kind::RowsRemoved);
    takeBack(document, edit);
    EXPECT_TRUE(sameDocument(before, document));
}

TEST(EditResultTest, StatusFollowsTheOneRule) {
    LadderDocument document = sample();
    markEdited(document, EditResult());
    EXPECT_EQ(document.status(), DocumentStatus::Saved);
    markEdited(document, document.SetField(0, 0, '3', "x"));
    EXPECT_EQ(document.status(), DocumentStatus::Modified);
}

}  // namespace
}  // namespace document
