// The live state of a ladder's cells.
#include "translator/power_map.h"

#include <cassert>

namespace translator {

void PowerMap::reset(int rows) {
    m_rows = rows > 0 ? rows : 0;
    // Assigning keeps the storage of a map of the same size: a refresh allocates nothing.
    m_cells.assign(static_cast<std::size_t>(m_rows) * 10, CellPower{});
}

const CellPower& PowerMap::at(int row, int col) const {
    static const CellPower kOutside;
    if (row < 0 || row >= m_rows || col < 0 || col >= 10) {
        return kOutside;
    }
    return m_cells[static_cast<std::size_t>(row) * 10 + static_cast<std::size_t>(col)];
}

CellPower& PowerMap::writableAt(int row, int col) {
    assert(row >= 0 && row < m_rows && col >= 0 && col < 10);
    return m_cells[static_cast<std::size_t>(row) * 10 + static_cast<std::size_t>(col)];
}

std::string powerLine(const PowerMap& map, int row) {
    std::string line = "  w" + std::to_string(row + 1) + ": ";
    for (int col = 0; col < 10; ++col) {
        const CellPower& cell = map.at(row, col);
        line += !cell.has(CellPower::Element) ? '.' : cell.has(CellPower::RightPowered) ? '#' : '-';
    }
    return line;
}

}  // namespace translator
