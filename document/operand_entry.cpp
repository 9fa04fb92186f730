// Operand entry into a document cell.
#include "document/operand_entry.h"

#include "operands/operand_syntax.h"

namespace document {

std::optional<std::string> enterOperandText(std::int32_t cellCode, std::string_view oldText,
                                            std::string_view typed) {
    if (isBlockCell(cellCode)) {
        return std::nullopt;
    }
    const std::optional<operands::Operand> operand =
        operands::readOperand(typed, takesLabel(cellCode));
    if (!operand) {
        return std::nullopt;
    }
    std::string text = "#";
    text += operand->form == operands::OperandForm::Constant ? 'S' : 'A';
    text += operand->text;
    text += '#';
    // Every closed field of the old text except its operand.
    forEachField(oldText, [&text](const CellField& field) {
        if (field.closed && field.tag != 'A' && field.tag != 'S') {
            text += field.tag;
            text += field.value;
            text += '#';
        }
        return true;
    });
    return text;
}

EditResult EnterOperand(LadderDocument& document, std::string_view text, int row, int col) {
    LadderDocument::Recording edit(document);
    if (document.contains(row, col)) {
        std::optional<std::string> newText =
            enterOperandText(document.CellCode(row, col), document.cellTextRef(row, col), text);
        if (newText)
            document.SetCellText(row, col, std::move(*newText));
    }
    return edit.finish();
}

}  // namespace document
