// Where the translated program came from in the grid: the cell of every listing line and of
// every program word, so that a listing line leads back to its cell and the controller's record
// of a scan can be shown on the cells that made each instruction.
#pragma once

#include <cstddef>
#include <vector>

namespace translator {

/// A cell position as the translator counts it, row * 10 + column; kNoCell for none.
inline constexpr int kNoCell = -1;

/// The cells a translation's outputs came from. A contact's instruction comes from the contact,
/// a coil's from the coil, a block's header, enable and parameters from the block's own cells,
/// its operands from the operand cells beside it; rules come from no cell.
struct SourceMap {
    std::vector<int> lineCells;  ///< per listing line of the translator
    std::vector<int> wordCells;  ///< per program word, the end word included

    /// Returns the cell of program word `index`; kNoCell outside the program.
    [[nodiscard]] int wordCell(std::size_t index) const {
        return index < wordCells.size() ? wordCells[index] : kNoCell;
    }
};

/// Returns the cell of every line of the instruction-list view: none for its header lines,
/// then the cells of the translator's listing lines.
[[nodiscard]] std::vector<int> instructionViewCells(const SourceMap& map);

/// Returns the cell of every line of the interpreter-program view: none for its header, the
/// cell of each word, none for the closing lines.
[[nodiscard]] std::vector<int> programViewCells(const SourceMap& map);

}  // namespace translator
