// Pixel geometry of the ladder grid without any window code: cell size, which cells an exposed
// rectangle touches, where each field of a cell text is written, and how a text splits into
// its fields.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace ui {

/// Width of one grid cell in pixels.
inline constexpr int kCellWidth = 77;
/// Height of one grid cell in pixels.
inline constexpr int kCellHeight = 90;
/// Columns of the grid.
inline constexpr int kGridColumns = 10;

/// Top of the element pictures inside a cell (they are 77 x 50 and end at the cell's bottom).
inline constexpr int kElementPictureTop = 40;
/// Height of the element pictures.
inline constexpr int kElementPictureHeight = 50;
/// First and last cell row of the rung wire (three pixels thick).
inline constexpr int kWireTop = 63;
inline constexpr int kWireBottom = 65;

/// A point inside a cell, counted from the cell's top-left corner.
struct CellPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(CellPoint, CellPoint) = default;
};

/// An inclusive range of cells; empty when first > last in either direction.
struct CellRange {
    int firstRow = 0;
    int lastRow = -1;
    int firstCol = 0;
    int lastCol = -1;
    /// Returns true when the range holds no cell.
    [[nodiscard]] bool isEmpty() const { return firstRow > lastRow || firstCol > lastCol; }
    friend bool operator==(const CellRange&, const CellRange&) = default;
};

/// How the grid lies in its viewport: grid lines, scroll position and size.
struct GridLayout {
    int lineWidth = 1;  // 1 or 0; a line follows every cell on its right and bottom
    int topRow = 0;     // first row shown at the viewport's top
    int leftCol = 0;    // first column shown at the viewport's left
    int rowCount = 10;

    /// Returns the horizontal distance between the left edges of neighbouring cells.
    [[nodiscard]] int columnPitch() const { return kCellWidth + lineWidth; }
    /// Returns the vertical distance between the top edges of neighbouring cells.
    [[nodiscard]] int rowPitch() const { return kCellHeight + lineWidth; }
    /// Returns the viewport x of a column's left edge (negative left of the view).
    [[nodiscard]] int cellLeft(int col) const { return (col - leftCol) * columnPitch(); }
    /// Returns the viewport y of a row's top edge (negative above the view).
    [[nodiscard]] int cellTop(int row) const { return (row - topRow) * rowPitch(); }
    /// Returns the row under a viewport y, not clamped into the grid (a grid line belongs to
    /// the cell above it).
    [[nodiscard]] int rowAt(int y) const;
    /// Returns the column under a viewport x, not clamped into the grid.
    [[nodiscard]] int colAt(int x) const;
    /// Returns the cells of the grid that a viewport rectangle touches, grid lines included.
    [[nodiscard]] CellRange cellsIn(int x, int y, int width, int height) const;
    /// Returns the number of rows that fit whole into a viewport height (at least 1).
    [[nodiscard]] int fullRowsIn(int height) const;
    /// Returns the number of columns that fit whole into a viewport width (at least 1).
    [[nodiscard]] int fullColsIn(int width) const;
};

/// Fixed text positions inside a cell (the text's top-left corner).
namespace textpos {
inline constexpr std::array<CellPoint, 3> kDescription{{{4, 0}, {4, 13}, {4, 26}}};
inline constexpr CellPoint kInputLabel{10, 55};   // L
inline constexpr CellPoint kOutputLabel{50, 55};  // P
inline constexpr CellPoint kType{18, 4};          // T
inline constexpr CellPoint kBlockName{10, 50};    // N
inline constexpr CellPoint kCallQ{0, 20};
inline constexpr CellPoint kCallX{25, 20};
inline constexpr CellPoint kCallZ{0, 50};
inline constexpr CellPoint kLenWord{22, 22};
inline constexpr CellPoint kLenValue{17, 35};
inline constexpr CellPoint kOperandBeforeInput{17, 55};
inline constexpr CellPoint kOperandAfterOutput{3, 55};
inline constexpr CellPoint kOperand{8, 39};
inline constexpr CellPoint kFieldR{17, 55};
inline constexpr CellPoint kFieldW{4, 55};
inline constexpr CellPoint kRegister{8, 74};  // G
inline constexpr CellPoint kConstWord{23, 40};
inline constexpr CellPoint kConstValue{25, 55};
}  // namespace textpos

/// Where the operand field of a cell is written.
enum class OperandPlace : int {
    BeforeBlockInput,  // empty cell left of a block row with an input: at the wire, near the block
    AfterBlockOutput,  // empty cell right of a block row with an output: at the wire, near it
    AboveWire,         // any other cell: just above the wire; R, W, G and S are drawn too
};

/// Returns where a cell's operand goes. `leftCode` and `rightCode` are the codes of the
/// neighbouring cells in the row (pass 0 where there is none). A cell without an operand
/// always counts as AboveWire, so that its other fields (a constant before a block input)
/// are still drawn.
[[nodiscard]] OperandPlace operandPlace(bool hasOperand, std::int32_t code, int col,
                                        std::int32_t leftCode, std::int32_t rightCode);

/// The fields of one cell text, split without copying: views into the text.
class CellFields {
public:
    /// Splits `text` into its fields; the views stay valid as long as `text` does. Only what
    /// can be drawn counts: unknown tags, empty values and an unclosed last field are skipped;
    /// of several drawable fields with one tag the first counts.
    explicit CellFields(std::string_view text);
    /// Returns the value of the field `tag`, empty when the text has none.
    [[nodiscard]] std::string_view operator[](char tag) const;

private:
    static constexpr std::string_view kTags = "123LPTNQXZDARWGS";
    std::array<std::string_view, kTags.size()> m_values{};
};

}  // namespace ui
