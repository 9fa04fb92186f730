// Editing operations, as free functions taking the document first: placing contacts, links,
// coils and function blocks, deleting elements, and copy, cut and paste through the document's
// clipboard; and the one rule that sets the document's status from what an edit changed. (Rows
// and fields are edited by the document.) Every edit returns what it changed; a refused edit
// changes nothing and returns an empty result.
#pragma once

#include "document/element_catalogue.h"
#include "document/ladder_document.h"

namespace document {

/// The one status rule: an edit that changed something marks the document Modified; a refused
/// edit leaves it as it was, the status included.
void markEdited(LadderDocument& document, const EditResult& edit);

/// Places a contact-type element: deletes a block under the cell, keeps the cell's link flags
/// and text, grows the document and marks it by markEdited.
EditResult PlaceContact(LadderDocument& document, int code, int row, int col);

/// Adds a vertical link (100 down, 200 up, 300 through) and its partner flags when the cells
/// allow it, growing the document first; marks it by markEdited.
EditResult PlaceLink(LadderDocument& document, int link, int row, int col);

/// Places a coil-type element in column 9, wiring columns col..8 when they are empty (or hold
/// only links); a blocked path changes nothing. Marks the document by markEdited.
EditResult PlaceCoil(LadderDocument& document, int code, int row, int col);

/// Lays block `kind` with its top-left cell at (row, col): grows the document, deletes whole
/// blocks standing in the block's cells, writes codes and template texts. Blocks stand in
/// columns 1 to 8 (CALL in 1 to 9): any other column changes nothing; an unknown kind only
/// grows the document to at least row + 3 rows. Leaves the status as it is.
EditResult PlaceBlock(LadderDocument& document, int kind, int row, int col);
/// PlaceBlock with a kind named in code.
inline EditResult PlaceBlock(LadderDocument& document, BlockKind kind, int row, int col) {
    return PlaceBlock(document, kindNumber(kind), row, col);
}

/// Clears a cell: a whole block wherever it was hit, both ends of a vertical link.
EditResult DeleteElement(LadderDocument& document, int row, int col);

/// Copies the rectangle (all bounds inclusive) into the clipboard; refused when it does not lie
/// inside the grid.
void CopyRange(LadderDocument& document, int top, int left, int bottom, int right);

/// Copies the rectangle, then deletes every element in it (blocks partly inside go whole).
EditResult CutRange(LadderDocument& document, int top, int left, int bottom, int right);

/// Writes the clipboard with its top-left corner at (row, col), deleting what stood there;
/// refused without a clipboard or when it would pass column 9.
EditResult Paste(LadderDocument& document, int row, int col);

/// Commands of the main toolbar and menu that edit the document.
enum class EditCommand : int {
    Cut = 0,
    Copy = 1,
    Paste = 2,
    NewDocument = 3,  ///< the menu's "Nowy"
    Load = 4,         ///< after LoadProgram, whatever its result
};

/// Returns the refresh the main window runs after a command. (Element buttons take theirs from
/// the catalogue; row insertion and deletion add or remove one grid row and keep the cursor.)
[[nodiscard]] Refresh refreshAfter(EditCommand command);

}  // namespace document
