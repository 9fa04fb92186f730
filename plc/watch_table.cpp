// The watch table's rules and its reading of memory.
#include "plc/watch_table.h"

#include "plc/decimal_text.h"

namespace plc {

namespace {

constexpr std::string_view kBcdError = "błąd";

}  // namespace

int WatchTable::maximum() const {
    const auto bytes = static_cast<int>(areaSize(m_kind));
    return wordArea() ? bytes / 2 : bytes * 8;
}

void WatchTable::selectKind(AreaKind kind) {
    m_kind = kind;
    if (wordArea()) {
        if (m_type == DataType::Bit || m_type == DataType::Byte) {
            m_type = DataType::Int;
        }
    } else if (m_type == DataType::Dint) {
        m_type = DataType::Bit;
    }
    m_start = 1;
    m_byteOffset = 0;
    clearValues();
}

void WatchTable::setType(DataType type) {
    m_type = type;
    clearValues();
}

bool WatchTable::takeStartAddress(std::string_view text) {
    const std::int64_t typed = leadingInteger(text);
    const int max = maximum();
    // A number below 1 names no reference; taking it would put the rows before the area.
    if (typed < 1 || typed > max) {
        return false;
    }
    int start = static_cast<int>(typed);
    if (start + kWatchRows - 1 > max) {
        start = max - (kWatchRows - 1);
    }
    if (wordArea()) {
        m_byteOffset = 2 * start - 2;
    } else {
        start -= (start - 1) % 8;
        m_byteOffset = (start - 1) / 8;
    }
    m_start = start;
    return true;
}

void WatchTable::clearValues() {
    for (std::string& value : m_values) {
        value.clear();
    }
}

void WatchTable::show(int row, const std::optional<std::int32_t>& value) {
    std::string& text = m_values[static_cast<std::size_t>(row)];
    if (value) {
        text = std::to_string(*value);
    } else {
        text.clear();
    }
}

std::optional<OperandRef> WatchTable::rowOperand(int row) const {
    if (row < 0 || row >= kWatchRows) {
        return std::nullopt;
    }
    OperandRef ref{m_kind, m_byteOffset, 0, m_type};
    if (wordArea()) {
        ref.byteOffset += 2 * row;
        switch (m_type) {
            case DataType::Word:
            case DataType::Int:
            case DataType::Dint:
            case DataType::Bcd4: break;
            case DataType::Bit:
            case DataType::Byte: return std::nullopt;  // not offered for a word area
        }
    } else {
        switch (m_type) {
            case DataType::Bit:
                ref.byteOffset += row / 8;
                ref.bit = row % 8;
                break;
            case DataType::Byte:
                if (row != 0 && row != 8) {
                    return std::nullopt;
                }
                ref.byteOffset += row / 8;
                break;
            case DataType::Word:
            case DataType::Int:
            case DataType::Bcd4:
                if (row != 0) {
                    return std::nullopt;
                }
                break;
            case DataType::Dint: return std::nullopt;  // not offered for a bit area
        }
    }
    if (!fitsArea(ref)) {
        return std::nullopt;
    }
    return ref;
}

void WatchTable::refresh(const Plc& plc) {
    const int o = m_byteOffset;
    if (!wordArea()) {
        switch (m_type) {
            case DataType::Bit:
                for (int r = 0; r < kWatchRows; ++r) {
                    show(r, plc.readValue(m_kind, o + r / 8, r % 8, DataType::Bit));
                }
                return;
            case DataType::Byte:
                show(0, plc.readValue(m_kind, o, 0, DataType::Byte));
                show(8, plc.readValue(m_kind, o + 1, 0, DataType::Byte));
                return;
            case DataType::Word:
            case DataType::Int:
            case DataType::Bcd4: show(0, plc.readValue(m_kind, o, 0, m_type)); return;
            case DataType::Dint: return;  // not offered for a bit area
        }
        return;
    }
    for (int i = 0; i < kWatchRows; ++i) {
        const int at = o + 2 * i;
        switch (m_type) {
            case DataType::Word:
            case DataType::Int:
            case DataType::Dint: show(i, plc.readValue(m_kind, at, 0, m_type)); break;
            case DataType::Bcd4: {
                const std::optional<std::int32_t> pattern =
                    plc.readValue(m_kind, at, 0, DataType::Word);
                if (pattern && !isBcd4Digits(static_cast<std::uint16_t>(*pattern))) {
                    m_values[static_cast<std::size_t>(i)] = kBcdError;
                } else {
                    show(i, plc.readValue(m_kind, at, 0, DataType::Bcd4));
                }
                break;
            }
            case DataType::Bit:
            case DataType::Byte: return;  // not offered for a word area
        }
    }
}

}  // namespace plc
