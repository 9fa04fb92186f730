// Editing operations: placing elements and links, deleting, the rectangle clipboard, and the
// status rule.
#include "document/editing.h"

#include <utility>

namespace document {

namespace {

void clearCell(LadderDocument& document, int row, int col) {
    if (!document.contains(row, col))
        return;
    document.SetCellCode(row, col, 0);
    document.SetCellText(row, col, std::string());
}

void addToCode(LadderDocument& document, int row, int col, int amount) {
    document.SetCellCode(row, col, document.CellCode(row, col) + amount);
}

// A cell that may take a down flag: no down flag yet and no block.
bool acceptsDownFlag(std::int32_t code) {
    return code >= 0 && !isBlockCell(code) && !hasDownFlag(code);
}

// A cell that may take an up flag: no up flag yet and no block.
bool acceptsUpFlag(std::int32_t code) {
    return code >= 0 && !isBlockCell(code) && !hasUpFlag(code);
}

// A row below a one-column block's top: inner rows and bottom rows.
bool isBelowBlockTop(std::int32_t code) {
    const int role = blockRole(code);
    return role >= BlockRole::BlockMid && role <= BlockRole::BlockBottomNoIn;
}

// A row above a one-column block's bottom: top rows and inner rows.
bool isAboveBlockBottom(std::int32_t code) {
    const int role = blockRole(code);
    return role >= BlockRole::BlockTop && role <= BlockRole::BlockMidNoOut;
}

// Clears the cells of a one-column block from (row, col) downward while they continue it: inner
// rows, then the bottom row, which ends the block. A block or CALL square standing right below
// begins with a top role and is never entered.
void clearDownward(LadderDocument& document, int row, int col) {
    clearCell(document, row, col);
    for (int r = row + 1; document.contains(r, col); ++r) {
        const std::int32_t code = document.CellCode(r, col);
        if (!isBelowBlockTop(code))
            break;
        clearCell(document, r, col);
        if (blockRole(code) >= BlockRole::BlockBottom)
            break;
    }
}

// Clears the cells above (row, col) while they are the top or inner rows of a block, stopping
// after the top row so that a block standing right above is left whole.
void clearUpward(LadderDocument& document, int row, int col) {
    for (int r = row - 1; document.contains(r, col); --r) {
        const std::int32_t code = document.CellCode(r, col);
        if (!isAboveBlockBottom(code))
            break;
        clearCell(document, r, col);
        if (blockRole(code) <= BlockRole::BlockTopNoOut)
            break;
    }
}

void clearSquare(LadderDocument& document, int top, int left) {
    clearCell(document, top, left);
    clearCell(document, top, left + 1);
    clearCell(document, top + 1, left);
    clearCell(document, top + 1, left + 1);
}

// Clears a cell: a whole block wherever it was hit, both ends of a vertical link.
void deleteElement(LadderDocument& document, int row, int col) {
    if (!document.contains(row, col))
        return;
    const std::int32_t code = document.CellCode(row, col);
    switch (blockRole(code)) {
        case 0:
            // The partner flags go with the link, so no half link is left behind.
            if (hasDownFlag(code) && hasUpFlag(document.CellCode(row + 1, col))) {
                addToCode(document, row + 1, col, -LinkFlag::LinkUp);
            }
            if (hasUpFlag(code) && hasDownFlag(document.CellCode(row - 1, col))) {
                addToCode(document, row - 1, col, -LinkFlag::LinkDown);
            }
            break;
        case BlockRole::CallTopLeft: clearSquare(document, row, col); break;
        case BlockRole::CallTopRight: clearSquare(document, row, col - 1); break;
        case BlockRole::CallBottomLeft: clearSquare(document, row - 1, col); break;
        case BlockRole::CallBottomRight: clearSquare(document, row - 1, col - 1); break;
        case BlockRole::BlockTop:
        case BlockRole::BlockTopNoOut: clearDownward(document, row, col); break;
        case BlockRole::BlockMid:
        case BlockRole::BlockMidNoOut:
            clearDownward(document, row, col);
            clearUpward(document, row, col);
            break;
        default:
            // Bottom rows, and codes beyond the roles that no editor writes.
            clearUpward(document, row, col);
            break;
    }
    clearCell(document, row, col);
}

void addLink(LadderDocument& document, int link, int row, int col) {
    if (row < 0 || col < 0 || col >= kColumns)
        return;
    document.EnsureRows(row, 1);
    const std::int32_t code = document.CellCode(row, col);
    const bool aboveLast = row < document.rowCount() - 1;
    switch (link) {
        case LinkFlag::LinkDown:
            if (!aboveLast || !acceptsDownFlag(code))
                return;
            addToCode(document, row, col, LinkFlag::LinkDown);
            if (acceptsUpFlag(document.CellCode(row + 1, col)))
                addToCode(document, row + 1, col, LinkFlag::LinkUp);
            return;
        case LinkFlag::LinkUp:
            if (row == 0 || !acceptsUpFlag(code))
                return;
            addToCode(document, row, col, LinkFlag::LinkUp);
            if (acceptsDownFlag(document.CellCode(row - 1, col))) {
                addToCode(document, row - 1, col, LinkFlag::LinkDown);
            }
            return;
        case LinkFlag::LinkBoth:
            if (row == 0 || !aboveLast || code < 0 || code >= LinkFlag::LinkDown)
                return;
            if (acceptsDownFlag(document.CellCode(row - 1, col))) {
                addToCode(document, row - 1, col, LinkFlag::LinkDown);
            }
            if (acceptsUpFlag(document.CellCode(row + 1, col)))
                addToCode(document, row + 1, col, LinkFlag::LinkUp);
            addToCode(document, row, col, LinkFlag::LinkBoth);
            return;
        default: return;
    }
}

void addCoil(LadderDocument& document, int code, int row, int col) {
    if (row < 0 || col < 0 || col >= kColumns)
        return;
    document.EnsureRows(row, 1);
    constexpr int kCoilColumn = kColumns - 1;
    if (col != kCoilColumn) {
        for (int c = col; c < kColumns; ++c) {
            if (!isEmptyOrLinkOnly(document.CellCode(row, c)))
                return;
        }
        for (int c = col; c < kCoilColumn; ++c)
            addToCode(document, row, c, ElementKind::HLink);
    }
    document.SetCellCode(row, kCoilColumn, code);
}

// Ends the recording of a placement and marks the document by its result.
EditResult finishPlacement(LadderDocument& document, LadderDocument::Recording& edit) {
    EditResult result = edit.finish();
    markEdited(document, result);
    return result;
}

}  // namespace

void markEdited(LadderDocument& document, const EditResult& edit) {
    if (edit.changed())
        document.setStatus(DocumentStatus::Modified);
}

EditResult PlaceContact(LadderDocument& document, int code, int row, int col) {
    LadderDocument::Recording edit(document);
    if (row >= 0 && col >= 0 && col < kColumns) {
        document.EnsureRows(row, 1);
        if (isBlockCell(document.CellCode(row, col)))
            deleteElement(document, row, col);
        document.SetCellCode(row, col, code + linkPart(document.CellCode(row, col)));
    }
    return finishPlacement(document, edit);
}

EditResult PlaceLink(LadderDocument& document, int link, int row, int col) {
    LadderDocument::Recording edit(document);
    addLink(document, link, row, col);
    return finishPlacement(document, edit);
}

EditResult PlaceCoil(LadderDocument& document, int code, int row, int col) {
    LadderDocument::Recording edit(document);
    addCoil(document, code, row, col);
    return finishPlacement(document, edit);
}

EditResult PlaceBlock(LadderDocument& document, int kind, int row, int col) {
    LadderDocument::Recording edit(document);
    // Blocks keep column 0 free for the rail side and column 9 for coils.
    if (row < 0 || col < 1 || col > 8)
        return edit.finish();
    const BlockTemplate* block = findBlockTemplate(kind);
    const RoleLayout* layout = block == nullptr ? nullptr : findLayout(block->layout);
    // The spare rows below the cursor come first, also for a kind that has no block (height 0).
    document.EnsureRows(row, layout == nullptr ? 0 : layout->height);
    if (block == nullptr || layout == nullptr)
        return edit.finish();
    // Every old block under the new one goes whole, so no stray part of it remains; for the
    // two-column block this includes its second column.
    for (int dc = 0; dc < layout->width; ++dc) {
        for (int dr = 0; dr < layout->height; ++dr) {
            if (isBlockCell(document.CellCode(row + dr, col + dc))) {
                DeleteElement(document, row + dr, col + dc);
            }
        }
    }
    for (int i = 0; i < layout->cellCount; ++i) {
        const auto cell = static_cast<std::size_t>(i);
        const int r = row + i / layout->width;
        const int c = col + i % layout->width;
        document.SetCellCode(r, c, kind + layout->roles[cell]);
        document.SetCellText(r, c, std::string(block->texts[cell]));
    }
    return edit.finish();
}

EditResult DeleteElement(LadderDocument& document, int row, int col) {
    LadderDocument::Recording edit(document);
    deleteElement(document, row, col);
    return edit.finish();
}

void CopyRange(LadderDocument& document, int top, int left, int bottom, int right) {
    if (top > bottom || left > right || !document.contains(top, left) ||
        !document.contains(bottom, right)) {
        return;
    }
    Clipboard clip;
    clip.rows = bottom - top + 1;
    clip.cols = right - left + 1;
    const auto cells = static_cast<std::size_t>(clip.rows) * static_cast<std::size_t>(clip.cols);
    clip.codes.reserve(cells);
    clip.texts.reserve(cells);
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c) {
            clip.codes.push_back(document.CellCode(r, c));
            clip.texts.push_back(document.CellText(r, c));
        }
    }
    document.setClipboard(std::move(clip));
}

EditResult CutRange(LadderDocument& document, int top, int left, int bottom, int right) {
    LadderDocument::Recording edit(document);
    if (top > bottom || left > right || !document.contains(top, left) ||
        !document.contains(bottom, right)) {
        return edit.finish();
    }
    CopyRange(document, top, left, bottom, right);
    for (int r = top; r <= bottom; ++r) {
        for (int c = left; c <= right; ++c)
            deleteElement(document, r, c);
    }
    return edit.finish();
}

EditResult Paste(LadderDocument& document, int row, int col) {
    LadderDocument::Recording edit(document);
    const Clipboard& clip = document.clipboard();
    if (clip.empty() || row < 0 || col < 0 || col + clip.cols > kColumns)
        return edit.finish();
    // The clipboard holds exactly rows × cols cells; anything else was never copied by us.
    const auto cells = static_cast<std::size_t>(clip.rows) * static_cast<std::size_t>(clip.cols);
    if (clip.codes.size() != cells || clip.texts.size() != cells)
        return edit.finish();
    document.EnsureRows(row, clip.rows);
    std::size_t i = 0;
    for (int r = 0; r < clip.rows; ++r) {
        for (int c = 0; c < clip.cols; ++c, ++i) {
            deleteElement(document, row + r, col + c);
            document.SetCellCode(row + r, col + c, clip.codes[i]);
            document.SetCellText(row + r, col + c, clip.texts[i]);
        }
    }
    return edit.finish();
}

Refresh refreshAfter(EditCommand command) {
    switch (command) {
        case EditCommand::Cut:
        case EditCommand::Paste: return Refresh::AfterClipboard;
        case EditCommand::Copy: return Refresh::None;
        case EditCommand::NewDocument:
        case EditCommand::Load: return Refresh::AfterLoading;
    }
    return Refresh::None;
}

}  // namespace document
