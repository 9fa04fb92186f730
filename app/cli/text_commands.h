// The subcommands between a ladder's two forms: totext writes the text of a program (or, for a
// diff driver, each file of the pair on its own), fromtext writes the program file pair of a text.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

/// `totext PROGRAM [-o FILE] [--textconv]`: the ladder's text on `out`, or in FILE written
/// atomically. With --textconv each file stands on its own, as a diff driver hands them over: a
/// program file gives its elements without the texts, a ".str" its texts by cell, and a ladder in
/// text itself. Returns the exit status; complaints go to `err`, with `usage` after wrong
/// arguments.
[[nodiscard]] int totextCommand(const std::vector<std::string>& args, std::ostream& out,
                                std::ostream& err, std::string_view usage);

/// `fromtext FILE -o PROGRAM`: reads a ladder in text and writes the program file and its text
/// file, both or neither. A line the reader does not take is named with its number and nothing
/// is written. Returns the exit status.
[[nodiscard]] int fromtextCommand(const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err, std::string_view usage);

}  // namespace cli
