// The pieces the translator's listing and trace lines are made of.
#pragma once

#include <string>

namespace translator {

/// The rule of 35 hyphens that closes every rung and block, and the listing headers.
inline const std::string kRule = "-----------------------------------";

/// Returns a number as the listings and the trace write it.
[[nodiscard]] inline std::string number(int value) {
    return std::to_string(value);
}

}  // namespace translator
