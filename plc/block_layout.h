// The word layout of every function block after its enable input, derived from the block
// descriptions the translator emits by ("document/block_description.h"): the engine (to pass
// over blocks it does not execute and to know the types a block takes) and the decoder follow
// it, so that none of them can disagree about where an instruction ends.
#pragma once

#include "plc/program.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace plc {

/// One item of a block's layout.
enum class LayoutItem : std::uint8_t {
    Input,      ///< a power-flow input closed by -100
    Operand,    ///< a constant (-25, value) or an address (area, byte offset, bit)
    Address,    ///< an address; read by its first word like an operand, so a constant is 2 words
    Index,      ///< one word: a timer index
    TimeBase,   ///< one word: -46, -47 or -48
    Type,       ///< one data-type word, always present
    TypeOrEnd,  ///< a data-type word if it is one the block accepts; otherwise the block ends
    Length,     ///< two words: -26 and the LEN value
    Optional,   ///< an operand that is present only if the next word starts one
};

/// A block code's name and layout; `types` lists the words a TypeOrEnd item accepts, `sources`
/// the item of the block's description (`document::BlockDescription::items`) each layout item
/// comes from: a register's three addresses share one.
struct BlockLayout {
    std::string_view name;
    std::span<const LayoutItem> items;
    std::span<const ProgramWord> types;
    std::span<const std::uint8_t> sources;
};

/// The layout of a block code; unknown codes have a name "?" and no items.
[[nodiscard]] const BlockLayout& blockLayout(ProgramWord code);

/// True when `word` is one of the data-type words the layout's TypeOrEnd item accepts.
[[nodiscard]] bool acceptsType(const BlockLayout& layout, ProgramWord word);

/// True for a word that can begin an operand in an optional position: a constant marker, an
/// area code or the area code 0 of an operand without a known area.
[[nodiscard]] bool startsOperand(ProgramWord word);

// Walkers over a program padded with end markers (a fixed-length item never runs past the
// padding; variable-length ones stop at an end marker).

/// The index after the power-flow input starting at `pc` (after its -100, or at an end marker).
[[nodiscard]] std::size_t skipInput(const ProgramWord* words, std::size_t pc);
/// The index after the operand starting at `pc`: 2 words for a constant, else 3.
[[nodiscard]] inline std::size_t skipOperand(const ProgramWord* words, std::size_t pc) {
    return pc + (words[pc] == kConstant ? 2u : 3u);
}
/// The index after the block items of `code` starting at `pc` (just after the enable input).
[[nodiscard]] std::size_t skipBlockItems(const ProgramWord* words, std::size_t pc,
                                         ProgramWord code);

}  // namespace plc
