// Element classes and operand primitives.
#include "translator/cell_rules.h"

#include "document/cell_code.h"
#include "document/cell_text.h"
#include "operands/memory_area.h"
#include "operands/text_blanks.h"

#include <algorithm>
#include <limits>

namespace translator {

namespace {

using document::ElementKind;

}  // namespace

bool isRunLine(std::int32_t code) {
    const std::int32_t kind = document::kindOf(code);
    return document::isContact(code) || kind == ElementKind::HLink ||
           kind == ElementKind::ContinuationCoil || kind == ElementKind::ContinuationContact;
}

bool isConductor(std::int32_t code) {
    return isRunLine(code) || document::isCoil(code) || document::isBlockTop(code) ||
           document::isControl(code);
}

bool isRungStart(std::int32_t code) {
    const std::int32_t kind = document::kindOf(code);
    return document::isContact(code) || kind == ElementKind::HLink || kind == ElementKind::End ||
           kind == ElementKind::EndMcr || kind == ElementKind::Label;
}

std::string wyluskaj(std::string_view cellText) {
    return document::fieldOf(cellText, 'A');
}

std::string_view addressArea(std::string_view operand) {
    const operands::MemoryArea* area = operands::areaOfAddress(operand);
    return area == nullptr ? std::string_view() : area->name;
}

std::int32_t areaCode(std::string_view operand) {
    const operands::MemoryArea* area = operands::areaOfAddress(operand);
    return area == nullptr ? 0 : area->code;
}

bool isWordAddress(std::string_view operand) {
    const operands::MemoryArea* area = operands::areaOfAddress(operand);
    return area != nullptr && area->wordArea;
}

std::int32_t operandNumber(std::string_view operand) {
    std::size_t pos = 0;
    while (pos < operand.size() && !(operand[pos] >= '0' && operand[pos] <= '9')) {
        ++pos;
    }
    std::int32_t number = 0;
    for (int digits = 0; digits < 4 && pos < operand.size(); ++digits, ++pos) {
        const char c = operand[pos];
        if (c < '0' || c > '9') {
            break;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

std::int32_t bitByte(std::string_view operand) {
    return (operandNumber(operand) - 1) / 8;
}

std::int32_t bitIndex(std::string_view operand) {
    return (operandNumber(operand) - 1) % 8;
}

std::int32_t wordOffset(std::string_view operand) {
    return 2 * operandNumber(operand) - 2;
}

std::int32_t constantValue(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        if (value > kLimit + 1) {
            value = kLimit + 1;
        }
        ++pos;
    }
    if (negative) {
        value = -value;
    }
    if (value > kLimit) {
        value = kLimit;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<std::int64_t> wholeNumber(std::string_view text) {
    constexpr std::int64_t kCeiling = 1'000'000'000'000;
    text = operands::trimmed(text);
    std::size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        ++pos;
    }
    if (pos == text.size()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (; pos < text.size(); ++pos) {
        if (text[pos] < '0' || text[pos] > '9') {
            return std::nullopt;
        }
        value = std::min(kCeiling, value * 10 + (text[pos] - '0'));
    }
    return negative ? -value : value;
}

}  // namespace translator
