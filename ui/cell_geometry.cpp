// Pixel geometry of the ladder grid.
#include "ui/cell_geometry.h"

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

bool hasInput(std::int32_t code) {
    return code >= 601 && code <= 999;
}

bool hasOutput(std::int32_t code) {
    return code >= 1000 || (code >= 600 && code <= 699) || (code >= 800 && code <= 899);
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
    // Fields share their "#" separators: the text between every two consecutive "#" is one
    // field, its first character the tag.
    std::size_t start = text.find('#');
    while (start != std::string_view::npos) {
        const std::size_t end = text.find('#', start + 1);
        if (end == std::string_view::npos) {
            break;
        }
        if (end - start > 2) {
            const std::size_t slot = kTags.find(text[start + 1]);
            if (slot != std::string_view::npos && m_values[slot].empty()) {
                m_values[slot] = text.substr(start + 2, end - start - 2);
            }
        }
        start = end;
    }
}

std::string_view CellFields::operator[](char tag) const {
    const std::size_t slot = kTags.find(tag);
    return slot == std::string_view::npos ? std::string_view{} : m_values[slot];
}

}  // namespace ui
