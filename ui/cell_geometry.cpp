// Pixel geometry of the ladder grid.
#include "ui/cell_geometry.h"

#include "document/cell_code.h"
#include "document/cell_text.h"
#include "document/element_catalogue.h"

#include <algorithm>
#include <limits>
#include <vector>

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

// Which block rows an operand written beside them belongs to, read from the catalogue's roles:
// a row below a block's top whose input stub takes the operand on its left, and one whose output
// stub gives the operand on its right; every code from the two-column square's roles on counts
// as an output.
struct OperandRoles {
    int firstInputCode = 0;  // inclusive range of the codes of rows with an input
    int lastInputCode = -1;
    std::vector<int> outputRoles;
    int firstSquareRole = 0;  // this role and every one after it
};

// A role that stands below the first row of some block.
bool belowTop(int role) {
    for (const document::RoleLayout& layout : document::roleLayouts()) {
        for (int i = layout.width; i < layout.cellCount; ++i) {
            if (layout.roles[static_cast<std::size_t>(i)] == role) {
                return true;
            }
        }
    }
    return false;
}

OperandRoles readOperandRoles() {
    OperandRoles roles;
    int firstInputRole = 0;
    int lastInputRole = 0;
    for (const document::RoleEntry& entry : document::blockRoles()) {
        if (!belowTop(entry.role)) {
            continue;
        }
        if (entry.inputStub) {
            firstInputRole =
                firstInputRole == 0 ? entry.role : std::min(firstInputRole, entry.role);
            lastInputRole = std::max(lastInputRole, entry.role);
        }
        if (entry.outputStub) {
            roles.outputRoles.push_back(entry.role);
        }
    }
    // The first input role counts only with a kind in it: the bare role carries no block.
    roles.firstInputCode = firstInputRole + 1;
    roles.lastInputCode = lastInputRole + 99;
    // The two-column square (CALL) has its outputs in every quarter, from its first role on.
    roles.firstSquareRole = std::numeric_limits<int>::max();
    for (const document::RoleLayout& layout : document::roleLayouts()) {
        if (layout.width > 1) {
            roles.firstSquareRole = std::min(roles.firstSquareRole, layout.roles[0]);
        }
    }
    return roles;
}

const OperandRoles& operandRoles() {
    static const OperandRoles roles = readOperandRoles();
    return roles;
}

bool hasInput(std::int32_t code) {
    const OperandRoles& roles = operandRoles();
    return code >= roles.firstInputCode && code <= roles.lastInputCode;
}

bool hasOutput(std::int32_t code) {
    const OperandRoles& roles = operandRoles();
    const int role = document::blockRole(code);
    return role >= roles.firstSquareRole ||
           std::find(roles.outputRoles.begin(), roles.outputRoles.end(), role) !=
               roles.outputRoles.end();
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
