// The ladder-rule classes the translator tests cells by (on top of the code scheme of
// "document/cell_code.h"), and the operand primitives that turn a cell text into program words.
// Cell texts are code page 1250 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace translator {

/// Returns true for contacts, horizontal wires and both continuation elements.
[[nodiscard]] bool isRunLine(std::int32_t code);
/// Returns true for every cell that carries power along a rung.
[[nodiscard]] bool isConductor(std::int32_t code);
/// Returns true for an element that may begin a rung in the first column.
[[nodiscard]] bool isRungStart(std::int32_t code);

/// Returns the operand address of a contact or coil: the value of its `A` field.
[[nodiscard]] std::string wyluskaj(std::string_view cellText);

/// Returns the area code (-10 to -18) of an address such as %I0001 or %AQ0002; %SA, %SB and
/// %SC give the code of %S; anything else gives 0.
[[nodiscard]] std::int32_t areaCode(std::string_view operand);

/// Returns true for an address in an area whose references count 16-bit words (%AI, %AQ, %R).
[[nodiscard]] bool isWordAddress(std::string_view operand);

/// Returns the reference number of an address, read from at most its first four digits
/// (%R12345 gives 1234); 0 without digits.
[[nodiscard]] std::int32_t operandNumber(std::string_view operand);

/// Returns the byte of a bit reference: (number - 1) / 8.
[[nodiscard]] std::int32_t bitByte(std::string_view operand);
/// Returns the bit within its byte: (number - 1) % 8.
[[nodiscard]] std::int32_t bitIndex(std::string_view operand);
/// Returns the byte offset of a 16-bit register: 2 * number - 2.
[[nodiscard]] std::int32_t wordOffset(std::string_view operand);

/// Returns the signed decimal value of a constant such as +00012 or -345, saturated to 32 bits;
/// 0 when the text has no digits.
[[nodiscard]] std::int32_t constantValue(std::string_view text);

/// Returns the value of a whole number written as an optional sign and decimal digits, blanks
/// around it allowed; nullopt for any other text. Magnitudes beyond 10^12 read as 10^12, which
/// no operand takes.
[[nodiscard]] std::optional<std::int64_t> wholeNumber(std::string_view text);

/// Returns the area name of an address ("I", "AQ", "SA"), or the empty string when the text is
/// not "%" followed by a known area name and a digit.
[[nodiscard]] std::string_view addressArea(std::string_view operand);

}  // namespace translator
