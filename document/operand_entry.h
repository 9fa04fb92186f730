// Entering an operand typed in the main window's entry line into a cell of the document.
#pragma once

#include "document/ladder_document.h"

#include <string_view>

namespace document {

/// Stores the normal form of `text` (code page 1250) as the cell's operand: its old `A` or `S`
/// field gives way to the new one and its description lines stay. Returns true when stored,
/// false when the text fits no form or the cell is a block cell (the cell is unchanged).
bool EnterOperand(LadderDocument& document, std::string_view text, int row, int col);

}  // namespace document
