// Operand syntax: the three typed shapes (prefixed address, suffixed address, constant), their
// normal forms, and label names.
#include "operands/operand_syntax.h"

#include "operands/memory_area.h"
#include "operands/text_blanks.h"

#include <algorithm>
#include <cstddef>

namespace operands {

namespace {

constexpr std::size_t kMaxAreaLetters = 3;
constexpr std::size_t kMaxDigits = 7;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

// Upper case (ASCII letters only: other bytes are code page 1250 and stay) and trimmed.
std::string normalised(std::string_view text) {
    std::string s(trimmed(text));
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

// Takes at most `limit` leading characters of `s` that satisfy `accept`.
template <typename Accept>
std::string_view takeWhile(std::string_view s, std::size_t limit, Accept accept) {
    std::size_t n = 0;
    while (n < s.size() && n < limit && accept(s[n]))
        ++n;
    return s.substr(0, n);
}

std::int64_t toNumber(std::string_view digits) {
    std::int64_t value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

std::string padded(std::uint64_t magnitude, std::size_t width) {
    std::string digits = std::to_string(magnitude);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

std::uint64_t magnitudeOf(std::int64_t n) {
    // Negating the most negative value would overflow; unsigned arithmetic does not.
    return n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
}

// A label name stays as typed, so it may hold neither '#' nor a control character: no stored
// operand text can carry them.
bool isStorableLabel(std::string_view typed) {
    return !typed.empty() && typed.size() <= kMaxLabelLength &&
           std::none_of(typed.begin(), typed.end(),
                        [](char c) { return c == '#' || static_cast<unsigned char>(c) < 32; });
}

}  // namespace

std::optional<DataType> dataTypeNamed(std::string_view word) {
    for (const DataType type : kDataTypes) {
        if (dataTypeWord(type) == word) {
            return type;
        }
    }
    return std::nullopt;
}

std::size_t dataTypeBytes(DataType type) {
    switch (type) {
        case DataType::Bit:
        case DataType::Byte: return 1;
        case DataType::Word:
        case DataType::Int:
        case DataType::Bcd4: return 2;
        case DataType::Dint: return 4;
    }
    return 1;
}

bool isAreaName(std::string_view name) {
    return findArea(name) != nullptr;
}

bool isDataTypeWord(std::string_view word) {
    return dataTypeNamed(word).has_value();
}

bool isTimeBaseWord(std::string_view word) {
    return std::find(kTimeBaseWords.begin(), kTimeBaseWords.end(), word) != kTimeBaseWords.end();
}

std::string FormatAddress(std::string_view areaName, std::int64_t number) {
    std::string result = "%";
    result.append(areaName);
    result += padded(magnitudeOf(number), 4);
    return result;
}

std::string FormatConstant(std::int64_t number) {
    std::string result(1, number < 0 ? '-' : '+');
    result += padded(magnitudeOf(number), 5);
    return result;
}

std::string ParsePrefixedAddress(std::string_view text) {
    const std::string upper = normalised(text);
    std::string_view s = upper;
    if (s.empty() || s.front() != '%')
        return {};
    s = trimmed(s.substr(1));
    const std::string_view area = takeWhile(s, kMaxAreaLetters, isLetter);
    if (area.empty())
        return {};
    s = trimmed(s.substr(area.size()));
    const std::string_view digits = takeWhile(s, kMaxDigits, isDigit);
    if (digits.empty())
        return {};
    s = trimmed(s.substr(digits.size()));
    if (!s.empty() || !isAreaName(area))
        return {};
    return FormatAddress(area, toNumber(digits));
}

std::string ParseSuffixedAddress(std::string_view text) {
    const std::string upper = normalised(text);
    std::string_view s = upper;
    const std::string_view digits = takeWhile(s, kMaxDigits, isDigit);
    if (digits.empty())
        return {};
    s = trimmed(s.substr(digits.size()));
    const std::string_view area = takeWhile(s, kMaxAreaLetters, isLetter);
    if (area.empty())
        return {};
    s = trimmed(s.substr(area.size()));
    if (!s.empty() || !isAreaName(area))
        return {};
    return FormatAddress(area, toNumber(digits));
}

std::string ParseConstant(std::string_view text) {
    const std::string upper = normalised(text);
    std::string_view s = upper;
    const auto isConstantChar = [](char c) { return isDigit(c) || c == '+' || c == '-'; };
    const std::string_view taken = takeWhile(s, kMaxDigits, isConstantChar);
    if (taken.empty())
        return {};
    if (!trimmed(s.substr(taken.size())).empty())
        return {};
    // Optional sign, then digits up to the first character that is not one.
    std::string_view rest = taken;
    bool negative = false;
    if (rest.front() == '+' || rest.front() == '-') {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    const std::int64_t value = toNumber(takeWhile(rest, rest.size(), isDigit));
    return FormatConstant(negative ? -value : value);
}

std::optional<Operand> readOperand(std::string_view typed, bool labelAllowed) {
    std::optional<Operand> operand;
    if (labelAllowed && isStorableLabel(typed)) {
        operand = Operand{OperandForm::Label, std::string(typed)};
    }
    // An address or number wins over a label that reads as one.
    if (std::string a = ParsePrefixedAddress(typed); !a.empty()) {
        operand = Operand{OperandForm::Address, std::move(a)};
    } else if (std::string b = ParseSuffixedAddress(typed); !b.empty()) {
        operand = Operand{OperandForm::Address, std::move(b)};
    } else if (std::string k = ParseConstant(typed); !k.empty()) {
        operand = Operand{OperandForm::Constant, std::move(k)};
    }
    return operand;
}

}  // namespace operands
