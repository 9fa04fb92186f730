// Undo and redo: long chains of mixed edits come back exactly, the status word follows the
// saved state, a new edit drops the redo steps, and steps cost what they changed.
#include "document/undo_history.h"

#include "document_test_helpers.h"

#include "document/editing.h"
#include "document/element_catalogue.h"
#include "document/operand_entry.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace document {
namespace {

using testing::sameDocument;

bool sameGrid(const LadderDocument& a, const LadderDocument& b) {
    LadderDocument statusAside = b;
    statusAside.setStatus(a.status());
    return sameDocument(a, statusAside);
}

// One of the editor's actions at a random place, as the main window would run it.
EditResult randomEdit(LadderDocument& document, std::mt19937& random) {
    const auto pick = [&random](int below) {
        return static_cast<int>(random() % static_cast<unsigned>(below));
    };
    const int row = pick(document.rowCount());
    const int col = pick(kColumns);
    switch (pick(11)) {
        case 0: return PlaceContact(document, 1 + pick(2), row, col);
        case 1: return PlaceCoil(document, ElementKind::Coil, row, col);
        case 2: return PlaceLink(document, 100 * (1 + pick(3)), row, col);
        case 3: return PlaceBlock(document, kindNumber(BlockKind::Ondtr) + pick(45), row, col);
        case 4: return DeleteElement(document, row, col);
        case 5: return EnterOperand(document, "%m" + std::to_string(pick(300)), row, col);
        case 6: return document.InsertRow(row);
        case 7: return document.DeleteRow(row);
        case 8:
            return CutRange(document, row, 0, std::min(row + pick(4), document.rowCount() - 1),
                            pick(kColumns));
        case 9:
            CopyRange(document, row, 0, row, pick(kColumns));
            return Paste(document, pick(document.rowCount() + 5), 0);
        default: return document.SetField(row, col, '1', "opis" + std::to_string(pick(9)));
    }
}

TEST(UndoHistoryTest, ChainOfMixedEditsUndoesToTheStartAndRedoesToTheEnd) {
    std::mt19937 random(12);
    LadderDocument document;
    PlaceBlock(document, BlockKind::BlkMv, 3, 4);
    document.setStatus(DocumentStatus::Loaded);
    UndoHistory history;
    history.reset(DocumentStatus::Loaded);
    const LadderDocument start = document;

    // Each state along the way, to check the way back step by step.
    std::vector<LadderDocument> states{document};
    while (history.undoCount() < UndoHistory::kGuaranteedSteps) {
        EditResult edit = randomEdit(document, random);
        markEdited(document, edit);
        if (edit.changed()) {
            states.push_back(document);
        }
        history.record(std::move(edit), {0, 0});
    }
    const LadderDocument end = document;

    for (auto state = states.rbegin() + 1; state != states.rend(); ++state) {
        ASSERT_TRUE(history.undo(document).has_value());
        ASSERT_TRUE(sameGrid(*state, document)) << "step " << states.rend() - state;
    }
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.undo(document).has_value());
    EXPECT_TRUE(sameDocument(start, document)) << "back at the loaded state, status included";

    while (history.canRedo()) {
        history.redo(document);
    }
    EXPECT_TRUE(sameGrid(end, document));
    EXPECT_EQ(document.status(), DocumentStatus::Modified);
}

TEST(UndoHistoryTest, StatusWordComesBackWithTheSavedState) {
    LadderDocument document;
    UndoHistory history;
    history.reset(DocumentStatus::New);
    const auto edit = [&](int col) {
        EditResult result = PlaceContact(document, 1, 0, col);
        history.record(std::move(result), {0, col});
    };
    edit(0);
    history.undo(document);
    EXPECT_EQ(document.status(), DocumentStatus::New) << "the empty program as it was created";
    history.redo(document);
    EXPECT_EQ(document.status(), DocumentStatus::Modified);
    edit(1);
    history.markSaved();
    document.setStatus(DocumentStatus::Saved);
    edit(2);

    history.undo(document);
    EXPECT_EQ(document.status(), DocumentStatus::Saved);
    history.undo(document);
    EXPECT_EQ(document.status(), DocumentStatus::Modified);
    history.undo(document);
    EXPECT_EQ(document.status(), DocumentStatus::Modified) << "not what the saved file holds";
    history.redo(document);
    history.redo(document);
    EXPECT_EQ(document.status(), DocumentStatus::Saved);

    // A new edit on the saved state drops the redo step; the saved state stays reachable.
    EXPECT_TRUE(history.canRedo());
    edit(5);
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(history.redo(document).has_value());
    history.undo(document);
    EXPECT_EQ(document.status(), DocumentStatus::Saved);
    EXPECT_EQ(document.CellCode(0, 2), 0);
    EXPECT_EQ(document.CellCode(0, 5), 0);
}

TEST(UndoHistoryTest, UndoAndRedoReturnTheCursorOfTheStepAndSkipRefusedEdits) {
    LadderDocument document;
    UndoHistory history;
    history.reset(DocumentStatus::New);
    history.record(PlaceContact(document, 1, 4, 6), {4, 6});
    history.record(PlaceCoil(document, 3, 4, 0), {4, 0});  // blocked by the contact: refused
    EXPECT_EQ(history.undoCount(), 1u);
    EXPECT_EQ(history.undo(document), (CellPosition{4, 6}));
    EXPECT_EQ(history.redo(document), (CellPosition{4, 6}));
    EXPECT_EQ(document.CellCode(4, 6), 1);
}

TEST(UndoHistoryTest, ANewHistoryForgetsEveryStep) {
    LadderDocument document;
    UndoHistory history;
    history.record(PlaceContact(document, 1, 0, 0), {0, 0});
    history.undo(document);
    history.reset(DocumentStatus::Loaded);
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.memoryUse(), 0u);
}

TEST(UndoHistoryTest, StepsCostWhatTheyChangedNotTheProgramSize) {
    // Every edit touches a few cells of a 5,000-row program; a step that held a copy of the
    // program would take hundreds of kilobytes.
    LadderDocument document;
    document.AddRows(4990);
    UndoHistory history;
    history.reset(DocumentStatus::Loaded);
    for (int i = 0; i < 200; ++i) {
        const int row = (i * 37) % 4990;
        history.record(PlaceContact(document, 1, row, i % kColumns), {row, 0});
        history.record(EnterOperand(document, "%i" + std::to_string(i), row, i % kColumns),
                       {row, 0});
        history.record(document.InsertRow(row), {row, 0});
        history.record(document.DeleteRow(row + 1), {row, 0});
    }
    EXPECT_EQ(history.undoCount(), 800u);
    EXPECT_LT(history.memoryUse(), std::size_t{800} * 200);
}

TEST(UndoHistoryTest, OldestStepsGoBeyondTheLimitAndTheRestStillUndo) {
    LadderDocument document;
    UndoHistory history;
    history.reset(DocumentStatus::New);
    for (std::size_t i = 0; i < UndoHistory::kMaxSteps + 5; ++i) {
        const int col = static_cast<int>(i % 2);
        history.record(PlaceContact(document, col + 1, 0, 0), {0, col});
    }
    EXPECT_EQ(history.undoCount(), UndoHistory::kMaxSteps);
    while (history.canUndo()) {
        history.undo(document);
    }
    // Five steps were forgotten: the oldest state kept is the fifth edit's, not the new program.
    EXPECT_EQ(document.CellCode(0, 0), 1);
    EXPECT_EQ(document.status(), DocumentStatus::Modified);
}

}  // namespace
}  // namespace document
