// Pixel geometry of the ladder grid.
#include "ui/cell_geometry.h"

#include "document/cell_code.h"
#include "document/cell_text.h"

#include <algorithm>

namespace ui {
namespace {

// Division rounding towards minus infinity, so that points left of or above the view map to
// negative cells instead of cell 0.
int floorDiv(int value, int divisor) {
    int quotient = value / divisor;
    if (value % divisor != 0 && value < 0) {
        --quotient;
    }
    return quotient;
}

using document::BlockRole;

// A block row below the top whose input takes an operand: inner and bottom rows with an input
// stub, from the first such code that carries a kind.
bool hasInput(std::int32_t code) {
    return code > BlockRole::BlockMid && code < BlockRole::BlockBottomNoIn;
}

// A block row below the top whose output gives an operand, and every cell of the CALL square.
bool hasOutput(std::int32_t code) {
    const int role = document::blockRole(code);
    return role == BlockRole::BlockMid || role == BlockRole::BlockBottom ||
           role >= BlockRole::BlockBottomNoIn;
}

}  // namespace

int GridLayout::rowAt(int y) const {
    return topRow + floorDiv(y, rowPitch());
}

int GridLayout::colAt(int x) const {
    return leftCol + floorDiv(x, columnPitch());
}

CellRange GridLayout::cellsIn(int x, int y, int width, int height) const {
    if (width <= 0 || height <= 0) {
        return {};
    }
    CellRange range;
    range.firstRow = std::max(rowAt(y), 0);
    range.lastRow = std::min(rowAt(y + height - 1), rowCount - 1);
    range.firstCol = std::max(colAt(x), 0);
    range.lastCol = std::min(colAt(x + width - 1), kGridColumns - 1);
    return range;
}

int GridLayout::fullRowsIn(int height) const {
    // The line after the last visible row may be cut off without hiding any of the row.
    return std::max((height + lineWidth) / rowPitch(), 1);
}

int GridLayout::fullColsIn(int width) const {
    return std::max((width + lineWidth) / columnPitch(), 1);
}

OperandPlace operandPlace(bool hasOperand, std::int32_t code, int col, std::int32_t leftCode,
                          std::int32_t rightCode) {
    if (hasOperand && code == 0) {
        if (col < kGridColumns - 1 && hasInput(rightCode)) {
            return OperandPlace::BeforeBlockInput;
        }
        if (col > 0 && hasOutput(leftCode)) {
            return OperandPlace::AfterBlockOutput;
        }
    }
    return OperandPlace::AboveWire;
}

CellFields::CellFields(std::string_view text) {
    document::forEachField(text, [this](const document::CellField& field) {
        const std::size_t slot = kTags.find(field.tag);
        if (field.closed && !field.value.empty() && slot != std::string_view::npos &&
            m_values[slot].empty()) {
            m_values[slot] = field.value;
        }
        return true;
    });
}

std::string_view CellFields::operator[](char tag) const {
    const std::size_t slot = kTags.find(tag);
    return slot == std::string_view::npos ? std::string_view{} : m_values[slot];
}

}  // namespace ui
