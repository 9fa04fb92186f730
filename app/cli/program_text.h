// Interpreter programs written as text: signed decimal words separated by blanks, commas or
// line ends, closed by the end word; or the interpreter-program view that `program` prints
// (its header lines, then "i:  word" lines numbered from 0, then its closing rule).
#pragma once

#include "plc/program.h"

#include <optional>
#include <string>
#include <string_view>

namespace cli {

/// Edge and timer table sizes given to a program read from text: it carries no counts of its
/// own, so it gets tables of the fixed size the controller accepts for any program.
inline constexpr int kTextProgramTables = 64;
static_assert(kTextProgramTables <= plc::kMinTableLimit);

/// Returns the program written in `text`, or nothing with `problem` set (Polish, UTF-8) when a
/// word is not a 32-bit signed decimal integer, a view's header or numbering is broken, the
/// last word is not the end word -255, or the program checker finds a fault in the words
/// (the problem then names the word's index and what is wrong). Problems quote the text only
/// as a short excerpt with every byte that is not printable ASCII escaped.
[[nodiscard]] std::optional<plc::Program> parseProgramText(std::string_view text,
                                                           std::string& problem);

/// Returns at most the first 16 bytes of `text` for a message in quotes: printable ASCII as it
/// is, every other byte, a quote and a backslash as \xNN, "..." after a longer text.
[[nodiscard]] std::string excerpt(std::string_view text);

}  // namespace cli
