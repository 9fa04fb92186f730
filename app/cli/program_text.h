// Interpreter programs written as text: signed decimal words separated by blanks, commas or
// line ends, closed by the end word.
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
/// word is not a 32-bit signed decimal integer or the last word is not the end word -255.
[[nodiscard]] std::optional<plc::Program> parseProgramText(std::string_view text,
                                                           std::string& problem);

}  // namespace cli
