// The forced operands and the rules of their values.
#include "plc/force_table.h"

#include "operands/text_blanks.h"
#include "plc/memory_layout.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace plc {

bool overlaps(const OperandRef& a, const OperandRef& b) {
    if (a.kind != b.kind) {
        return false;
    }
    if (a.type == DataType::Bit && b.type == DataType::Bit) {
        return a.byteOffset == b.byteOffset && a.bit == b.bit;
    }
    const auto aEnd = a.byteOffset + static_cast<int>(operands::dataTypeBytes(a.type));
    const auto bEnd = b.byteOffset + static_cast<int>(operands::dataTypeBytes(b.type));
    return a.byteOffset < bEnd && b.byteOffset < aEnd;
}

bool fitsArea(const OperandRef& ref) {
    if (ref.type == DataType::Bit && (ref.bit < 0 || ref.bit > 7)) {
        return false;
    }
    return ref.byteOffset >= 0 &&
           static_cast<std::size_t>(ref.byteOffset) + operands::dataTypeBytes(ref.type) <=
               areaSize(ref.kind);
}

std::string operandName(const OperandRef& ref) {
    const operands::MemoryArea& area = areaOf(ref.kind);
    const int bit = ref.type == DataType::Bit ? ref.bit : 0;
    const int reference = area.wordArea ? ref.byteOffset / 2 + 1 : ref.byteOffset * 8 + bit + 1;
    return operands::FormatAddress(area.name, reference);
}

ValueRange valueRange(DataType type) {
    switch (type) {
        case DataType::Bit: return {0, 1};
        case DataType::Byte: return {0, 255};
        case DataType::Word: return {0, 65535};
        case DataType::Int: return {-32768, 32767};
        case DataType::Dint:
            return {std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max()};
        case DataType::Bcd4: return {0, 9999};
    }
    return {};
}

std::optional<std::int32_t> parseForceValue(std::string_view text, DataType type) {
    text = operands::trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Digits only from here: from_chars would take a second sign.
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t magnitude = 0;
    const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || next != text.data() + text.size()) {
        return std::nullopt;  // more digits than any type holds
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    const ValueRange range = valueRange(type);
    if (value < range.min || value > range.max) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

ForceResult ForceTable::force(const OperandRef& ref, std::int32_t value) {
    if (!fitsArea(ref)) {
        return ForceResult::OutsideArea;
    }
    const ValueRange range = valueRange(ref.type);
    if (value < range.min || value > range.max) {
        return ForceResult::ValueOutOfRange;
    }
    const std::span<const ForcedOperand> held = entries();
    const bool replaces = std::any_of(held.begin(), held.end(), [&](const ForcedOperand& entry) {
        return overlaps(entry.ref, ref);
    });
    if (!replaces && m_count == kMaxForcedOperands) {
        return ForceResult::TableFull;
    }
    release(ref);
    m_entries[m_count++] = {ref, value};
    return ForceResult::Forced;
}

int ForceTable::release(const OperandRef& ref) {
    const auto begin = m_entries.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(m_count);
    const auto kept = std::remove_if(
        begin, end, [&](const ForcedOperand& entry) { return overlaps(entry.ref, ref); });
    const auto released = static_cast<int>(end - kept);
    m_count = static_cast<std::size_t>(kept - begin);
    return released;
}

void ForceTable::apply(Plc& plc) const {
    for (const ForcedOperand& entry : entries()) {
        plc.writeValue(entry.ref.kind, entry.ref.byteOffset, entry.ref.bit, entry.ref.type,
                       entry.value);
    }
}

bool ForceTable::covers(const OperandRef& ref) const {
    const std::span<const ForcedOperand> held = entries();
    return std::any_of(held.begin(), held.end(),
                       [&](const ForcedOperand& entry) { return overlaps(entry.ref, ref); });
}

}  // namespace plc
