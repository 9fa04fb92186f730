// What one edit of the document changed: its steps in order, each holding what stood there
// before it, so that whoever needs to can tell whether anything changed, which cells and rows
// were touched, and restore the document as it was.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace document {

/// One change of an edit.
struct EditStep {
    enum class Kind : std::uint8_t {
        Cell,          ///< cell (row, col) changed; `code` and `text` are what it held before
        RowsInserted,  ///< `count` empty rows were inserted before `row` (or appended at it)
        RowsRemoved,   ///< `count` rows from `row` on were removed; what their cells held
                       ///< is recorded by the Cell steps before this one
    };
    Kind kind = Kind::Cell;
    int row = 0;
    int col = 0;
    int count = 0;
    std::int32_t code = 0;
    std::string text;
};

/// The changes of one edit. Between two row steps every touched cell is recorded once, with
/// what it held before the edit touched it, so an edit costs memory in proportion to the cells
/// and rows it changed. Taking the steps back in reverse order restores the document.
class EditResult {
public:
    /// Returns true when the edit changed the document; false for a refused edit.
    [[nodiscard]] bool changed() const { return !m_steps.empty(); }
    /// Returns the steps in the order they happened.
    [[nodiscard]] std::span<const EditStep> steps() const { return m_steps; }

private:
    friend class LadderDocument;
    std::vector<EditStep> m_steps;
};

}  // namespace document
