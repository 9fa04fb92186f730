// The simulator panel's watch table without its widgets: the watched area and type, the start
// address and its rules, and the sixteen value texts read from the controller's memory.
#pragma once

#include "plc/force_table.h"
#include "plc/plc.h"

#include <array>
#include <string>
#include <string_view>

namespace plc {

inline constexpr int kWatchRows = 16;

/// Sixteen consecutive references of one area in one type. Reading never leaves the area:
/// a value that would reach past its end shows as an empty text.
class WatchTable {
public:
    /// Watches `kind` from reference 1 and clears the values. A word area turns BIT and BYTE
    /// into INT; a bit area turns DINT into BIT.
    void selectKind(AreaKind kind);
    /// Watches in `type` from now on and clears the values; the start address stays.
    void setType(DataType type);
    /// Takes the start address typed as `text` (its leading integer). Nothing changes for a
    /// number below 1 or above the maximum; otherwise the start is lowered until all sixteen
    /// rows lie inside the area and, in a bit area, until it starts a byte (8m + 1). Returns
    /// true when the text was taken.
    bool takeStartAddress(std::string_view text);
    /// Reads the rows the type shows from `plc`; other rows keep their texts.
    void refresh(const Plc& plc);
    /// Empties every value text.
    void clearValues();
    /// The operand row `row` shows in the current kind, type and start, or nothing for a row
    /// the type leaves empty (a BYTE row other than 0 and 8, a word row past the area's end).
    [[nodiscard]] std::optional<OperandRef> rowOperand(int row) const;

    /// The watched area.
    [[nodiscard]] AreaKind kind() const { return m_kind; }
    /// The watched type.
    [[nodiscard]] DataType type() const { return m_type; }
    /// True for %AI, %AQ and %R.
    [[nodiscard]] bool wordArea() const { return isWordArea(m_kind); }
    /// The reference number shown in row 0.
    [[nodiscard]] int startAddress() const { return m_start; }
    /// The byte offset of the start address within the area.
    [[nodiscard]] int byteOffset() const { return m_byteOffset; }
    /// The number of references in the area: bits of a bit area, words of a word area.
    [[nodiscard]] int maximum() const;
    /// The value text of each row ("" where nothing has been read).
    [[nodiscard]] const std::array<std::string, kWatchRows>& values() const { return m_values; }

private:
    void show(int row, const std::optional<std::int32_t>& value);

    AreaKind m_kind = AreaKind::I;
    DataType m_type = DataType::Bit;
    int m_start = 1;
    int m_byteOffset = 0;
    std::array<std::string, kWatchRows> m_values;
};

}  // namespace plc
