// Reading a number out of text the way the panel's edit boxes and the link's items read it:
// leading blanks and a sign allowed, reading stops at the first character that is no digit,
// text without digits reads as 0.
#pragma once

#include <cstdint>
#include <string_view>

namespace plc {

/// The leading decimal integer of `text`; values beyond +-10^15 are held at that bound, which
/// lies outside every range a caller accepts.
[[nodiscard]] std::int64_t leadingInteger(std::string_view text);

/// The low 16 bits of the leading decimal integer of `text`, exactly, however long it is:
/// "40000" gives 0x9C40, "-1" gives 0xFFFF.
[[nodiscard]] std::uint16_t leadingIntegerLow16(std::string_view text);

}  // namespace plc
