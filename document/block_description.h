// One description per function-block kind, holding what every layer needs: the template that
// placement writes (name, role layout, cell texts), the name the program decoder prints, the
// data types the block accepts with the operand checks each brings, and the block's items in
// the order the translator emits them and the controller reads them. The translator's
// emission, the controller's word layout and the parameters window's data types all follow it.
#pragma once

#include "document/block_kind.h"
#include "operands/memory_area.h"
#include "operands/operand_syntax.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace document {

/// Maximum number of cells of one block.
inline constexpr int kMaxBlockCells = 8;

/// A function block's template: its name, role layout and the texts of its cells, cell by
/// cell as its roles are laid out (see "document/element_catalogue.h").
struct BlockTemplate {
    int kind;
    std::string_view name;  ///< ONDTR, SRH EQ, ...
    char layout;
    std::array<std::string_view, kMaxBlockCells> texts;
};

/// What an operand beside a block row may be.
enum class OperandCheck : std::uint8_t {
    Value,              ///< a constant or an address in %I %Q %M %T %G %R %AI %AQ
    ValueOut,           ///< an output address in %I %Q %M %T %G %R %AI %AQ
    WordValue,          ///< a constant or an address in %R %AI %AQ
    WordValueOut,       ///< an output address in %R %AI %AQ
    BitString,          ///< a constant or an address in %I %Q %M %T %G %R %AI %AQ %S %SA %SB %SC
    BitStringOut,       ///< an output address in %I %Q %M %T %G %R %AI %AQ %SA %SB %SC
    BitStringAddress,   ///< an address in %I %Q %M %T %G %R %AI %AQ %S %SA %SB %SC
    WritableBitString,  ///< an address in %I %Q %M %T %G %R %AI %AQ %SA %SB %SC
    WordAddress,        ///< an address in %R %AI %AQ
    UserAddress,        ///< an address in %I %Q %M %T %G %R %AI %AQ
    Constant,           ///< a constant only
};

/// What a check accepts, and whether it checks an output.
struct CheckRule {
    bool constant;            ///< a constant (field S) is accepted
    bool output;              ///< the block writes it: missing or wrong, the output errors apply
    operands::AreaSet areas;  ///< the areas an address (field A) may name
};

/// Returns the rule of a check.
[[nodiscard]] CheckRule checkRule(OperandCheck check);

/// One data type a block accepts, with the checks it brings to the block's typed operands.
struct TypeForm {
    operands::DataType type;
    OperandCheck first = OperandCheck::Value;
    OperandCheck second = OperandCheck::Value;
};

/// The data types of a block, read from the T field of its second row.
struct BlockTyping {
    /// The types the parameters window offers; empty for a block without a data type.
    std::span<const TypeForm> forms;
    /// The form any other T text is read as; -1: with any other text the block has no items
    /// after its type line but its output.
    int fallback = -1;
    /// True when the program carries the type's word after the type line.
    bool typeWord = true;
};

/// The kinds of items a block is made of.
enum class ItemKind : std::uint8_t {
    PowerFlow,        ///< a power-flow input wired to the left of `row`
    TimerIndex,       ///< the timer's number among the program's timers
    TimeBase,         ///< the time base in the T field of `row`
    Register,         ///< the register address in the G field of `row`: three words
    Preset,           ///< the preset, the operand left of `row`
    RegisterAgain,    ///< the register's three words once more
    DataType,         ///< the type line and, as the typing says, the type's word
    Length,           ///< LEN, the D field of `row`
    Operand,          ///< the operand beside `row` on `side`
    OptionalOperand,  ///< an operand left of `row` that may be missing
    FollowingWords,   ///< `count` more addresses after the output operand beside `row`
    CallName,         ///< the name of the called routine, right of `row`
    Output,           ///< where the block's power-flow output leads, from the right of `row`
};

/// Which side of the block an operand stands on.
enum class Side : std::uint8_t { Left, Right };

/// Where an operand item takes its check from.
enum class CheckSource : std::uint8_t {
    Fixed,       ///< the item's own check
    TypeFirst,   ///< the first check of the block's data type
    TypeSecond,  ///< the second check of the block's data type
};

/// What a constant operand may hold beside its item.
enum class ValueRange : std::uint8_t {
    OfType,      ///< the values of the block's data type; INT for a block without one
    Preset,      ///< a timer's or counter's preset: 0 to 32767
    BitNumber,   ///< a bit of the LEN words: 1 to 16 * LEN
    ShiftCount,  ///< positions to shift or rotate the LEN words by: 0 to 16 * LEN
    Start,       ///< the element a search starts after: 0 to LEN
    Index,       ///< an element of an array of LEN: 1 to LEN
    Count,       ///< a number of elements of an array of LEN: 0 to LEN
    Bcd,         ///< a number of four decimal digits: 0 to 9999
};

/// One item of a block.
struct BlockItem {
    ItemKind kind = ItemKind::Output;
    int row = 0;  ///< offset from the block's top row
    Side side = Side::Left;
    OperandCheck check = OperandCheck::Value;
    CheckSource source = CheckSource::Fixed;
    std::string_view label;  ///< as the instruction list names the item
    int count = 0;
    ValueRange range = ValueRange::OfType;  ///< for a constant operand
};

/// The lowest and the highest value a constant may hold.
struct ValueLimits {
    std::int64_t low = 0;
    std::int64_t high = 0;
    /// Returns true when `value` lies between the limits, both included.
    [[nodiscard]] constexpr bool contains(std::int64_t value) const {
        return value >= low && value <= high;
    }
};

/// The values a LEN parameter may hold: a whole number of elements, at least one.
inline constexpr ValueLimits kLengthLimits{1, 32767};

/// Returns the values of a data type: BIT 0 and 1, BYTE 0 to 255, WORD 0 to 65535, INT and
/// DINT their signed 16- and 32-bit ranges, BCD4 0 to 9999.
[[nodiscard]] ValueLimits typeLimits(operands::DataType type);

/// Returns the values a constant of `item` may hold in a block of data type `form` (nullptr:
/// a block without one) whose LEN is `length`.
[[nodiscard]] ValueLimits constantLimits(const BlockItem& item, const TypeForm* form,
                                         std::int64_t length);

/// Everything known of one block kind.
struct BlockDescription {
    BlockKind kind;
    BlockTemplate placed;          ///< what placement writes into the grid
    std::string_view programName;  ///< as the program decoder prints it
    BlockTyping typing;
    std::span<const BlockItem> items;  ///< after the enable input, in program order
};

/// Returns every description, in the order of the kinds' numbers.
[[nodiscard]] std::span<const BlockDescription> blockDescriptions();
/// Returns the description of a kind.
[[nodiscard]] const BlockDescription& describe(BlockKind kind);

/// Returns the form a T text selects: the form of that type's word, else the fallback form, or
/// nullptr when the block has no items for the text.
[[nodiscard]] const TypeForm* typeFormFor(const BlockTyping& typing, std::string_view text);

/// Returns the check an operand item applies under `form` (the block's data type, if any).
[[nodiscard]] OperandCheck checkOf(const BlockItem& item, const TypeForm* form);

/// Returns true when no check the item may apply accepts a constant, so that the operand is
/// always an address.
[[nodiscard]] bool alwaysAddress(const BlockItem& item, const BlockTyping& typing);

}  // namespace document
