// Forced operands: values the technician holds in memory whatever the inputs and the program
// say, written by the scan cycle after the input transfer and again after the scan.
#pragma once

#include "plc/plc.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace plc {

/// One value in memory as the watch table names it: an area, a byte offset from its first byte,
/// the bit for BIT, and the type, which gives the bytes it spans.
struct OperandRef {
    AreaKind kind = AreaKind::I;
    int byteOffset = 0;
    int bit = 0;  ///< 0..7, BIT only
    DataType type = DataType::Bit;

    friend bool operator==(const OperandRef&, const OperandRef&) = default;
};

/// True when `a` and `b` share memory: the same bit, or bytes in common where either spans
/// whole bytes.
[[nodiscard]] bool overlaps(const OperandRef& a, const OperandRef& b);

/// True when `ref` lies wholly inside its area (and a BIT names a bit 0..7).
[[nodiscard]] bool fitsArea(const OperandRef& ref);

/// The address of `ref` in its normal form (%M0009): the reference of its bit, or of the first
/// bit or word of its bytes.
[[nodiscard]] std::string operandName(const OperandRef& ref);

/// The values a type can hold: BIT 0..1, BYTE 0..255, WORD 0..65535, INT -32768..32767, DINT
/// the signed 32-bit range, BCD4 0..9999.
struct ValueRange {
    std::int64_t min = 0;
    std::int64_t max = 0;
};
[[nodiscard]] ValueRange valueRange(DataType type);

/// Returns the value of `text` (an optional sign and decimal digits, blanks around them allowed)
/// when it lies in the range of `type`; nothing otherwise.
[[nodiscard]] std::optional<std::int32_t> parseForceValue(std::string_view text, DataType type);

/// One forced operand and the value it holds.
struct ForcedOperand {
    OperandRef ref;
    std::int32_t value = 0;
};

/// Why a force was refused, or that it was taken.
enum class ForceResult : int {
    Forced = 0,           ///< the operand holds the value from now on
    TableFull = 1,        ///< already kMaxForcedOperands other operands are forced
    OutsideArea = 2,      ///< the operand does not lie wholly inside its area
    ValueOutOfRange = 3,  ///< the value does not fit the operand's type
};

/// The most operands forced at once.
inline constexpr std::size_t kMaxForcedOperands = 64;

/// The forced operands of one simulation. No two entries share memory: a new force replaces
/// every entry it overlaps, so the order in which they are written never matters.
class ForceTable {
public:
    /// Forces `ref` to `value`, replacing the forces it overlaps. A refused force changes
    /// nothing. Returns Forced or why not.
    [[nodiscard]] ForceResult force(const OperandRef& ref, std::int32_t value);
    /// Releases every force that shares memory with `ref`; returns how many were released.
    int release(const OperandRef& ref);
    /// Releases every force.
    void releaseAll() { m_count = 0; }
    /// Writes every forced value into the areas of `plc` (never into the retentive copies).
    void apply(Plc& plc) const;

    /// True when some force shares memory with `ref` (a watch row, a contact of the grid).
    [[nodiscard]] bool covers(const OperandRef& ref) const;
    /// The forces in the order they were made.
    [[nodiscard]] std::span<const ForcedOperand> entries() const {
        return {m_entries.data(), m_count};
    }
    /// True when nothing is forced.
    [[nodiscard]] bool empty() const { return m_count == 0; }

private:
    std::array<ForcedOperand, kMaxForcedOperands> m_entries{};
    std::size_t m_count = 0;
};

}  // namespace plc
