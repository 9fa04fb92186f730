// Leading decimal integers of text.
#include "plc/decimal_text.h"

namespace plc {

namespace {

constexpr std::int64_t kBound = 1'000'000'000'000'000;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips the blanks and the sign; returns true for a minus.
bool readSign(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        return text[pos++] == '-';
    }
    return false;
}

}  // namespace

std::int64_t leadingInteger(std::string_view text) {
    std::size_t pos = 0;
    const bool negative = readSign(text, pos);
    std::int64_t value = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > kBound) {
            value = kBound;
        }
    }
    return negative ? -value : value;
}

std::uint16_t leadingIntegerLow16(std::string_view text) {
    std::size_t pos = 0;
    const bool negative = readSign(text, pos);
    // Arithmetic modulo 2^16 keeps the low bits of any length of digits.
    std::uint32_t value = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        value = (value * 10u + static_cast<std::uint32_t>(text[pos] - '0')) & 0xFFFFu;
    }
    if (negative) {
        value = (0x10000u - value) & 0xFFFFu;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace plc
