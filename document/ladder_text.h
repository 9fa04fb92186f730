// A ladder as text (".lad.txt", UTF-8) for version control and review: a header line, the row
// count, then one line for every cell that holds anything, row by row, with its place as the
// status bar names it, its element in words and its fields. Exact both ways: every code and
// every byte of every cell text comes back.
#pragma once

#include "document/ladder_document.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace document {

/// The first line of every ladder in text; the number is the version of the format.
inline constexpr std::string_view kLadderTextHeader = "Wirtualon! drabina 1";

/// Returns true when `bytes` begin as a ladder in text does (its header, of any version, after
/// an optional UTF-8 byte order mark), so that the file is one whatever its name.
[[nodiscard]] bool hasLadderTextHeader(std::string_view bytes);

/// Returns the text of `document`. The same document always gives the same bytes; a change of
/// one cell changes only that cell's line.
[[nodiscard]] std::string ladderText(const LadderDocument& document);

/// Returns the line (without its line feed) that the text holds for a cell with `code` and
/// `text` at (row, col), counted from 0; empty for an empty cell (code 0, no text).
[[nodiscard]] std::string cellLine(int row, int col, std::int32_t code, std::string_view text);

/// A line that the reader does not take.
struct LadderTextProblem {
    std::size_t line = 0;  ///< counted from 1
    std::string what;      ///< Polish, UTF-8: what is wrong and what was expected
    /// Returns "linia N: " followed by `what`.
    [[nodiscard]] std::string message() const;
};

/// Reads a ladder in text into `document`, which becomes a grid of the text's row count holding
/// its cells, with status Loaded; the clipboard survives. Returns nothing on success, or the
/// first line it cannot take, leaving the document unchanged. What it takes, ladderText writes
/// back to a text that reads to the same document.
[[nodiscard]] std::optional<LadderTextProblem> readLadderText(LadderDocument& document,
                                                              std::string_view text);

/// Returns a program's text file (the bytes of a ".str") on its own, for comparing two versions
/// of it: one line per cell text, row by row, with the cell's place and its fields as the text
/// of a ladder shows them.
[[nodiscard]] std::string textFileView(std::string_view textFile);

}  // namespace document
