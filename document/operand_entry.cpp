// Operand entry into a document cell.
#include "document/operand_entry.h"

#include "operands/operand_syntax.h"

#include <optional>
#include <string>

namespace document {

bool EnterOperand(LadderDocument& document, std::string_view text, int row, int col) {
    if (!document.contains(row, col))
        return false;
    std::optional<std::string> newText = operands::enterOperandText(
        document.CellCode(row, col), document.cellTextRef(row, col), text);
    if (!newText)
        return false;
    document.SetCellText(row, col, std::move(*newText));
    return true;
}

}  // namespace document
