// Blanks around text that a user types or a file holds: one way of cutting them off for every
// reader of operands, addresses, values and statements.
#pragma once

#include <string_view>

namespace operands {

/// The blanks a typed operand or value may carry around it.
inline constexpr std::string_view kBlanks = " \t";

/// Returns `text` without the leading and trailing characters of `blanks`.
[[nodiscard]] constexpr std::string_view trimmed(std::string_view text,
                                                 std::string_view blanks = kBlanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace operands
