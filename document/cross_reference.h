// Where each operand of a program is used: every address that a contact, a coil or a function
// block names, with each place, what it does there, and two warnings: an output written by more
// than one coil, and a coil's operand that nothing reads.
#pragma once

#include "document/ladder_document.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace document {

/// What an element does with the operand at one place.
enum class OperandRole : int {
    Contact = 0,        ///< a contact reads it
    Coil = 1,           ///< a coil writes it
    BlockInput = 2,     ///< a function block takes it beside an input
    BlockOutput = 3,    ///< a function block writes it beside an output
    BlockRegister = 4,  ///< a timer's, counter's or BITSEQ's working register (its G field)
};

/// Whether a place reads the operand, writes it or both.
enum class OperandAccess : int { Read = 0, Write = 1, ReadWrite = 2 };

/// One place where an operand stands.
struct OperandUse {
    CellPosition place;  ///< the cell holding the operand
    OperandRole role = OperandRole::Contact;
    OperandAccess access = OperandAccess::Read;
    std::int32_t code = 0;       ///< the element's code, or the code of the block's top cell
    CellPosition block;          ///< the block's top-left cell (block roles only)
    std::string_view blockName;  ///< ADD, ONDTR, ... (block roles only)
    std::string_view label;      ///< the block item's name: I1, PV, Q, ... (empty for the rest)
    bool latching = false;       ///< a set or reset coil (SM, RM, S, R)
};

/// One operand with all its places.
struct OperandReference {
    std::string operand;           ///< in its normal form: %M0012
    std::vector<OperandUse> uses;  ///< in grid order: by row, then by column
    bool multipleCoils = false;    ///< two or more coils write it, not only set and reset coils
    bool neverRead = false;        ///< a coil writes it, and no contact or block reads it
};

/// The cross-reference of one program, built once from the document.
class CrossReference {
public:
    /// Collects every address operand of `document`: contact and coil operands (field A) and
    /// the operands and registers of function blocks, at the cells where the translator takes
    /// them. Constants, labels and texts that are no address are left out.
    explicit CrossReference(const LadderDocument& document);

    /// Returns the operands sorted by area (in the order of the area table: %I, %Q, %S, %G, %T,
    /// %M, %AI, %AQ, %R, ...) and number.
    [[nodiscard]] const std::vector<OperandReference>& operands() const { return m_operands; }

    /// Returns true when `operand` (a normal form) answers a search text: a text in any form the
    /// entry line accepts (%m12, %M 12, 12m) or without its "%" (m12) finds exactly that
    /// address; any other text finds the addresses that contain it, in any case; an empty or
    /// blank text finds every one.
    [[nodiscard]] static bool matches(std::string_view operand, std::string_view query);

private:
    std::vector<OperandReference> m_operands;
};

}  // namespace document
