// The ladder grid document: rows of ten cells, each an element code and a tagged cell text,
// with the clipboard of the editing operations and the status word shown to the user.
#pragma once

#include "document/cell_code.h"
#include "document/cell_text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace document {

/// Number of cells in every row.
inline constexpr int kColumns = 10;
/// Rows of a new document.
inline constexpr int kNewDocumentRows = 10;
/// Empty rows that every placement keeps below the lowest edited row.
inline constexpr int kSpareRows = 3;

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
/// "document/element_catalogue.h"; the program file in "document/program_file.h".
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
    /// Sets the status word (the window marks the document Modified after its edits).
    void setStatus(DocumentStatus status) { m_status = status; }
    /// Returns true when (row, col) lies inside the grid.
    [[nodiscard]] bool contains(int row, int col) const;

    /// Returns the value of the first field with `tag`, or the empty string.
    [[nodiscard]] std::string GetField(int row, int col, char tag) const;
    /// Returns GetField for block cells (code 400 or more), the empty string for the others.
    [[nodiscard]] std::string GetBlockField(int row, int col, char tag) const;

    /// Replaces the cell text.
    void SetCellText(int row, int col, std::string text);
    /// Replaces the value of the first field with `tag`, or appends "#" tag value "#".
    /// '#' and control characters are dropped from `value`, so it cannot split the field.
    void SetField(int row, int col, char tag, std::string_view value);
    /// SetField on a block cell whose text already has the tag; otherwise does nothing.
    void SetBlockField(int row, int col, char tag, std::string_view value);
    /// Stores a code as it is.
    void SetCellCode(int row, int col, std::int32_t code);

    /// Makes the document 10 empty rows with status New; the clipboard is kept.
    void NewDocument();
    /// Appends n empty rows (n <= 0 does nothing).
    void AddRows(int n);
    /// Drops the last n rows; never fewer than 0 rows remain.
    void RemoveLastRows(int n);
    /// Grows the document to at least row + height + 3 rows; never shrinks.
    void EnsureRows(int row, int height);
    /// Inserts an empty row before `row`; returns 0 when done, 1 when refused because the row
    /// holds an inner or bottom part of a block (or lies outside the grid).
    [[nodiscard]] int InsertRow(int row);
    /// Deletes the elements of `row` (whole blocks, both ends of links) and removes the row.
    /// Refused when it is the only row or lies outside the grid.
    void DeleteRow(int row);

    /// Returns the clipboard (empty until the first copy).
    [[nodiscard]] const Clipboard& clipboard() const { return m_clipboard; }
    /// Replaces the clipboard.
    void setClipboard(Clipboard clipboard) { m_clipboard = std::move(clipboard); }

    /// Replaces the whole grid with `rows` empty rows (at least 1) and keeps the clipboard and
    /// the status; used by the loader, which fills the cells afterwards.
    void resetGrid(int rows);

private:
    [[nodiscard]] std::size_t index(int row, int col) const;

    // Row-major: cell (row, col) at row * kColumns + col.
    std::vector<std::int32_t> m_cells;
    std::vector<std::string> m_texts;
    Clipboard m_clipboard;
    int m_rowCount = 0;
    DocumentStatus m_status = DocumentStatus::New;
};

}  // namespace document
