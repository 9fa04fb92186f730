// The live state of a ladder after one scan of its program: per cell where power flowed, which
// contacts conducted, which coils and blocks were on, and the values beside block operands.
// Built from the controller's trace by "translator/power_map_builder.h"; drawn by the editor's
// grid and printed by the command-line tool.
#pragma once

#include "operands/operand_syntax.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace translator {

/// What the live view shows of one cell.
struct CellPower {
    /// The state bits.
    enum Bit : std::uint16_t {
        /// The cell holds an element, wire, link or block cell (not only text, not nothing).
        Element = 0x0001,
        /// Power from the left rail reached the cell's left end (a block's top: its enable).
        LeftPowered = 0x0002,
        /// Power leaves the cell's right end. A coil: it is on, holding the value its rung
        /// assigned (set and reset coils: the condition was on; -(^)- and -(v)-: the pulse). A
        /// block's cells: its power-flow output is on. A cell holding only a link: the link
        /// carries power.
        RightPowered = 0x0004,
        /// A contact whose operand, as the scan read it, lets power through.
        Conducts = 0x0008,
        /// The vertical link at the cell's left edge carries power.
        LinkPowered = 0x0010,
        /// A cell of a block that was enabled in the scan.
        BlockEnabled = 0x0020,
        /// `value` holds the current value of the word operand this cell names, in `type`.
        HasValue = 0x0040,
        /// A block's cell on the row its power-flow output leaves from, while that output is
        /// on.
        FlowOut = 0x0080,
        /// The operand of the cell (a contact's or coil's, a block operand beside the block, a
        /// register in the block) shares memory with a forced operand.
        Forced = 0x0100,
    };

    std::uint16_t bits = 0;
    operands::DataType type = operands::DataType::Int;
    std::int32_t value = 0;

    /// Returns true when `bit` is set.
    [[nodiscard]] bool has(Bit bit) const { return (bits & bit) != 0; }
    friend bool operator==(const CellPower&, const CellPower&) = default;
};

/// The live state of every cell of a ladder of ten columns.
class PowerMap {
public:
    /// Makes the map `rows` rows high, every cell off.
    void reset(int rows);
    /// Returns the number of rows.
    [[nodiscard]] int rowCount() const { return m_rows; }
    /// Returns a cell; a position outside the map reads as an empty cell.
    [[nodiscard]] const CellPower& at(int row, int col) const;
    /// Returns a cell for writing; the position must lie inside the map.
    [[nodiscard]] CellPower& writableAt(int row, int col);
    /// Returns every cell, row by row.
    [[nodiscard]] std::span<const CellPower> cells() const { return m_cells; }

    friend bool operator==(const PowerMap&, const PowerMap&) = default;

private:
    int m_rows = 0;
    std::vector<CellPower> m_cells;
};

/// Returns row `row` of `map` as the command-line tool prints it: "  w" + the row counted from
/// 1 + ": ", then per column '#' for a cell whose right end is powered (see RightPowered), '-'
/// for an element, wire, link or block cell that is not, '.' for a cell without one.
[[nodiscard]] std::string powerLine(const PowerMap& map, int row);

}  // namespace translator
