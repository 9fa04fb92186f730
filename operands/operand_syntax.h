// Operand texts typed by the user: memory area names, the address and constant shapes the
// editor accepts, their one stored normal form, and the data-type and time-base words.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace operands {

/// The data types of block operands and watched values, numbered as the watch table numbers
/// them.
enum class DataType : int { Bit = 1, Byte = 2, Word = 3, Int = 4, Dint = 5, Bcd4 = 6 };

/// Every data type, in the order of their numbers.
inline constexpr std::array<DataType, 6> kDataTypes = {
    DataType::Bit, DataType::Byte, DataType::Word, DataType::Int, DataType::Dint, DataType::Bcd4};

/// Returns the word a function block carries in its `T` field for a type: "BIT", "BYTE",
/// "WORD", "INT", "DINT", "BCD4".
[[nodiscard]] constexpr std::string_view dataTypeWord(DataType type) {
    switch (type) {
        case DataType::Bit: return "BIT";
        case DataType::Byte: return "BYTE";
        case DataType::Word: return "WORD";
        case DataType::Int: return "INT";
        case DataType::Dint: return "DINT";
        case DataType::Bcd4: return "BCD4";
    }
    return {};
}

/// Returns the type whose word is `word` (exact, case-sensitive), or nothing.
[[nodiscard]] std::optional<DataType> dataTypeNamed(std::string_view word);

/// Returns the bytes one value of a type takes in memory (a BIT is read from its byte).
[[nodiscard]] std::size_t dataTypeBytes(DataType type);

/// Time-base words of the timer blocks (`T` field of ONDTR and TMR).
inline constexpr std::array<std::string_view, 3> kTimeBaseWords = {"0.01s", "0.10s", "1.00s"};

/// Template placeholder of a timer that has no time base yet.
inline constexpr std::string_view kTimePlaceholder = "time";

/// Template placeholder of a timer, counter or BITSEQ that has no register address yet.
inline constexpr std::string_view kRegisterPlaceholder = "address";

/// Longest label (MCR, ENDMCR, JUMP, LABEL) stored as typed.
inline constexpr std::size_t kMaxLabelLength = 8;

/// Returns true when `name` (already upper case) names a memory area ("operands/memory_area.h").
[[nodiscard]] bool isAreaName(std::string_view name);

/// Returns true when `word` is one of the data-type words (exact, case-sensitive).
[[nodiscard]] bool isDataTypeWord(std::string_view word);

/// Returns true when `word` is one of the time-base words (exact, case-sensitive).
[[nodiscard]] bool isTimeBaseWord(std::string_view word);

/// Returns "%" + area name + the reference number padded with zeros to four digits
/// (%I0001, %R12345). Negative numbers are written as their magnitude.
[[nodiscard]] std::string FormatAddress(std::string_view areaName, std::int64_t number);

/// Returns the sign ("+" for zero and above) and the magnitude padded to five digits
/// (+00012, -00345, +123456).
[[nodiscard]] std::string FormatConstant(std::int64_t number);

/// Returns the normal address form (%Q0012) of a text shaped "%" letters digits, blanks
/// allowed around the parts and any case, or the empty string when it is not such an address.
[[nodiscard]] std::string ParsePrefixedAddress(std::string_view text);

/// Returns the normal address form of a text shaped digits letters without "%" (12q gives
/// %Q0012), or the empty string when it is not such an address.
[[nodiscard]] std::string ParseSuffixedAddress(std::string_view text);

/// Returns the normal constant form (+00012) of a text of at most seven digits and signs,
/// or the empty string when it is not a constant.
[[nodiscard]] std::string ParseConstant(std::string_view text);

/// The three things an operand text can be.
enum class OperandForm : int {
    Address = 0,   ///< an address in its normal form, %Q0012
    Constant = 1,  ///< a constant in its normal form, +00012
    Label = 2,     ///< a label name of MCR, ENDMCR, JUMP and LABEL, stored as typed
};

/// A typed text in its stored form.
struct Operand {
    OperandForm form = OperandForm::Address;
    std::string text;
};

/// Returns what a typed text is in its normal form: an address (prefixed or suffixed), a
/// constant, or, where `labelAllowed`, a label name of at most 8 characters without "#" or
/// control characters. An address or constant wins over a label that reads as one. Returns
/// nothing when the text fits no form.
[[nodiscard]] std::optional<Operand> readOperand(std::string_view typed, bool labelAllowed);

}  // namespace operands
