// Conversion between the single-byte code page 1250 that cell texts are kept in (byte for byte
// as in the program's text file) and the UTF-8 that windows and terminals show.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace document {

/// Returns `text` (code page 1250 bytes) as UTF-8. The five bytes the code page leaves
/// unassigned (0x81, 0x83, 0x88, 0x90, 0x98) become the C1 controls U+0081 ... so that they
/// come back unchanged from utf8ToCp1250.
[[nodiscard]] std::string cp1250ToUtf8(std::string_view text);

/// Returns `text` (UTF-8) as code page 1250 bytes; characters the code page lacks, and malformed
/// UTF-8 sequences, become '?'.
[[nodiscard]] std::string utf8ToCp1250(std::string_view text);

/// Returns the code page 1250 byte of a Unicode code point, or -1 when the code page has none
/// (the C1 controls U+0081, U+0083, U+0088, U+0090 and U+0098 give the bytes left unassigned).
[[nodiscard]] int cp1250ByteOf(std::uint32_t codePoint);

}  // namespace document
