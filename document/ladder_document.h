// The ladder grid document: rows of ten cells, each an element code and a tagged cell text,
// with the clipboard of the editing operations and the status word shown to the user.
#pragma once

#include "document/cell_code.h"
#include "document/cell_text.h"
#include "document/edit_result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace document {

/// Number of cells in every row.
inline constexpr int kColumns = 10;
/// Rows of a new document.
inline constexpr int kNewDocumentRows = 10;
/// Empty rows that every placement keeps below the lowest edited row.
inline constexpr int kSpareRows = 3;

/// A cell of the grid, counted from 0 (the user sees both counted from 1).
struct CellPosition {
    int row = 0;
    int col = 0;
    friend bool operator==(CellPosition, CellPosition) = default;
};

/// What last happened to the document; only shown, never decides anything.
enum class DocumentStatus : int { Modified = 0, Loaded = 1, New = 2, Saved = 3 };

/// Returns the status-bar word of a status ("zmieniony", "wczytany", "nowy", "zapisany").
[[nodiscard]] std::string_view statusWord(DocumentStatus status);

/// The clipboard of copy, cut and paste: `rows` × `cols` codes and texts, row by row.
struct Clipboard {
    int rows = 0;
    int cols = 0;
    std::vector<std::int32_t> codes;
    std::vector<std::string> texts;
    /// Returns true while nothing has been copied.
    [[nodiscard]] bool empty() const { return rows <= 0 || cols <= 0; }
};

/// The one document of the editor. Cell texts are code page 1250 bytes.
/// Positions outside the grid are harmless: reads give 0 or the empty text, writes do nothing.
/// The editing operations are free functions in "document/editing.h" and
/// "document/element_catalogue.h"; the program file in "document/program_file.h". Every edit
/// returns what it changed (an EditResult); a refused edit changes nothing and returns an empty
/// one.
class LadderDocument {
public:
    /// A new document: 10 empty rows, no clipboard, status New.
    LadderDocument();

    /// Returns the element code of a cell, 0 outside the grid.
    [[nodiscard]] std::int32_t CellCode(int row, int col) const;
    /// Returns a copy of the cell text, empty outside the grid.
    [[nodiscard]] std::string CellText(int row, int col) const;
    /// Returns the cell text without copying (for drawing); empty outside the grid.
    [[nodiscard]] const std::string& cellTextRef(int row, int col) const;
    /// Returns the number of rows.
    [[nodiscard]] int rowCount() const { return m_rowCount; }
    /// Returns what last happened to the document.
    [[nodiscard]] DocumentStatus status() const { return m_status; }
    /// Sets the status word (edits set it through markEdited in "document/editing.h").
    void setStatus(DocumentStatus status) { m_status = status; }
    /// Returns true when (row, col) lies inside the grid.
    [[nodiscard]] bool contains(int row, int col) const;

    /// Returns the value of the first field with `tag`, or the empty string.
    [[nodiscard]] std::string GetField(int row, int col, char tag) const;
    /// Returns GetField for block cells (code 400 or more), the empty string for the others.
    [[nodiscard]] std::string GetBlockField(int row, int col, char tag) const;

    // Primitives: they change the grid as told. While an edit is recorded (see Recording), every
    // change they make is recorded with what stood there before.

    /// Replaces the cell text.
    void SetCellText(int row, int col, std::string text);
    /// Stores a code as it is.
    void SetCellCode(int row, int col, std::int32_t code);
    /// Appends n empty rows (n <= 0 does nothing).
    void AddRows(int n);
    /// Drops the last n rows; never fewer than 0 rows remain.
    void RemoveLastRows(int n);
    /// Grows the document to at least row + height + 3 rows; never shrinks.
    void EnsureRows(int row, int height);

    // Edits of one cell or row.

    /// Replaces the value of the first field with `tag`, or appends "#" tag value "#".
    /// '#' and control characters are dropped from `value`, so it cannot split the field.
    EditResult SetField(int row, int col, char tag, std::string_view value);
    /// SetField on a block cell whose text already has the tag; refused otherwise.
    EditResult SetBlockField(int row, int col, char tag, std::string_view value);
    /// Inserts an empty row before `row`; refused when the row holds an inner or bottom part of
    /// a block (or lies outside the grid). A vertical link that joined the rows on both sides of
    /// the new one runs on through it (the new cell holds a through-link), so no rung is cut.
    EditResult InsertRow(int row);
    /// Deletes the elements of `row` (whole blocks, both ends of links) and removes the row.
    /// Refused when it is the only row or lies outside the grid.
    EditResult DeleteRow(int row);

    /// Takes an edit back: restores what its steps recorded, last step first, and returns what
    /// that changed, which takes the taking back back in turn. The edit must be the latest one
    /// of the document not taken back yet (edits are undone in the reverse order of doing).
    /// Leaves the status as it is.
    EditResult revert(const EditResult& edit);

    /// Makes the document 10 empty rows with status New; the clipboard is kept.
    void NewDocument();

    /// Returns the clipboard (empty until the first copy).
    [[nodiscard]] const Clipboard& clipboard() const { return m_clipboard; }
    /// Replaces the clipboard.
    void setClipboard(Clipboard clipboard) { m_clipboard = std::move(clipboard); }

    /// Replaces the whole grid with `rows` empty rows (at least 1) and keeps the clipboard and
    /// the status; used by the loader, which fills the cells afterwards. Never recorded.
    void resetGrid(int rows);

    /// Records one edit: every change the document takes while it lives. Recordings nest: an
    /// inner one adds its changes to the outermost.
    class Recording {
    public:
        explicit Recording(LadderDocument& document);
        ~Recording();
        Recording(const Recording&) = delete;
        Recording& operator=(const Recording&) = delete;
        /// Ends the recording; returns the changes of the whole edit for the outermost
        /// recording, an empty result for an inner one.
        [[nodiscard]] EditResult finish();

    private:
        LadderDocument& m_document;
        bool m_finished = false;
    };

private:
    [[nodiscard]] std::size_t index(int row, int col) const;
    // Records what cell (row, col) holds before its first change in this part of the edit.
    void recordCell(int row, int col);
    // Records rows inserted before `row`, or removed from `row` on (their cells first).
    void recordRowsInserted(int row, int count);
    void recordRowsRemoved(int row, int count);
    // Inserts `count` empty rows before `row` (at rowCount: appends), or removes `count` rows
    // from `row` on; both recorded.
    void insertRows(int row, int count);
    void removeRows(int row, int count);

    // The edit being recorded: how deep recordings nest, what they collected, and the cells
    // recorded since the last row step (the rows below it have moved since).
    struct Journal {
        int depth = 0;
        EditResult result;
        std::unordered_set<std::size_t> recorded;
    };

    // Row-major: cell (row, col) at row * kColumns + col.
    std::vector<std::int32_t> m_cells;
    std::vector<std::string> m_texts;
    Clipboard m_clipboard;
    int m_rowCount = 0;
    DocumentStatus m_status = DocumentStatus::New;
    Journal m_journal;
};

}  // namespace document
