// The pieces the translator's listing and trace lines are made of.
#pragma once

#include <string>

namespace translator {

/// The rule of 35 hyphens that closes every rung and block, and the listing headers.
inline const std::string kRule = "-----------------------------------";

/// Both listing views open with this many header lines, the rule included.
inline constexpr int kViewHeaderLines = 5;
/// The interpreter-program view closes with this many lines after the words.
inline constexpr int kProgramViewClosingLines = 2;

/// Returns a number as the listings and the trace write it.
[[nodiscard]] inline std::string number(int value) {
    return std::to_string(value);
}

}  // namespace translator
