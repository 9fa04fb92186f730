// Entering an operand typed in the main window's entry line into a cell of the document.
#pragma once

#include "document/ladder_document.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace document {

/// Returns the new cell text after `typed` is entered into a cell with code `cellCode` and text
/// `oldText`: the normal form of the typed operand comes first, as field A (an address or, in
/// MCR, ENDMCR, JUMP and LABEL cells, a label name) or field S (a constant); the old A and S
/// fields go and every other field (description lines among them) is kept in order. Returns
/// nothing when the typed text fits no form or the cell is a function-block cell.
[[nodiscard]] std::optional<std::string> enterOperandText(std::int32_t cellCode,
                                                          std::string_view oldText,
                                                          std::string_view typed);

/// Stores the normal form of `text` (code page 1250) as the cell's operand: its old `A` or `S`
/// field gives way to the new one and its description lines stay. Refused when the text fits
/// no form or the cell is a block cell or outside the grid.
EditResult EnterOperand(LadderDocument& document, std::string_view text, int row, int col);

}  // namespace document
