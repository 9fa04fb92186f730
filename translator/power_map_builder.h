// Turns the controller's record of a scan into the live state of the ladder's cells: which
// contacts conducted, which coils and blocks were on and how far power flowed along the rungs,
// and which cells name a forced operand.
// Those states come from the scan itself (the trace of "plc/power_trace.h", placed on the cells
// by the translator's source map); only the flow along wires and links is worked out here, with
// the same cell relations the translator reads a rung by. Block operands show the values their
// memory holds when the map is built, right after the scan.
#pragma once

#include "plc/force_table.h"
#include "plc/program.h"
#include "translator/power_map.h"
#include "translator/source_map.h"

#include <cstdint>
#include <span>
#include <vector>

namespace document {
class LadderDocument;
}

namespace plc {
class Plc;
}

namespace translator {

/// Builds power maps of one translated ladder. Made once per simulation; each `build` reads the
/// last scan of a monitored controller and allocates nothing once the map has its size.
class PowerMapBuilder {
public:
    /// Prepares the maps of `document` as it was translated into `words` with `sourceMap`;
    /// keeps copies of what it needs, so the three may change or go afterwards.
    PowerMapBuilder(const document::LadderDocument& document,
                    std::span<const plc::ProgramWord> words, const SourceMap& sourceMap);

    /// Fills `map` with the state of the last scan `plc` ran while monitoring and with the
    /// current values of the block operands in its memory. Without a trace (not monitoring,
    /// no scan yet) every cell is off, and no operand has a value.
    void build(const plc::Plc& plc, PowerMap& map);

    /// Marks Forced every cell of `map` (as `build` filled it) whose operand shares memory with
    /// an operand of `forces`, and unmarks every other: a contact's or coil's bit, a block's
    /// operand or register as the block reads it.
    void markForced(const plc::ForceTable& forces, PowerMap& map) const;

private:
    /// What a cell does with power, as the translator's element classes tell.
    enum class Role : std::uint8_t {
        Empty,                ///< nothing, or only a text
        LinkOnly,             ///< a vertical link and no element
        Contact,              ///< normally open
        ContactNot,           ///< normally closed
        Wire,                 ///< horizontal wire, continuation coil: passes power on
        ContinuationContact,  ///< takes the power of its continuation coil
        Coil,
        Control,
        Block,
        Other,  ///< codes that carry no power (no element of this number)
    };
    /// An instruction of the program that the trace records, and the cell it came from.
    struct Instruction {
        enum class Kind : std::uint8_t {
            Contact,
            ContactNot,
            Coil,
            EdgeCoil,
            NegatedCoil,
            Block,
            Condition,
            Unconditional,
            Rail,  ///< the always-on bit read for an output wired straight to the rail
        };
        std::size_t word = 0;
        int cell = kNoCell;
        Kind kind = Kind::Contact;
    };
    /// A block operand whose value is shown beside its cell.
    struct ValueSpot {
        int cell = kNoCell;
        plc::ProgramWord area = 0;
        plc::ProgramWord byteOffset = 0;
        plc::ProgramWord bit = 0;
        operands::DataType type = operands::DataType::Int;
    };
    /// A cell whose operand a force may hold: the memory the program reads or writes there.
    struct OperandSpot {
        int cell = kNoCell;
        plc::OperandRef ref;
    };
    /// One function block in the grid.
    struct Block {
        int top = 0;
        int outputCell = kNoCell;  ///< the block's cell on its power-flow output's row
    };

    void classifyCells(const document::LadderDocument& document);
    void findBlocks(const document::LadderDocument& document);
    void pairContinuations();
    void joinRungs();
    void readProgram(std::span<const plc::ProgramWord> words, const SourceMap& sourceMap);
    [[nodiscard]] Instruction::Kind contactKind(int cell, bool negated) const;
    std::size_t readInput(std::size_t pc, const SourceMap& sourceMap);
    std::size_t readBlockItems(std::size_t pc, plc::ProgramWord code, const SourceMap& sourceMap);
    void addSpot(std::size_t pc, operands::DataType type, const SourceMap& sourceMap);
    void findOperands(const document::LadderDocument& document);
    [[nodiscard]] plc::ProgramWord word(std::size_t index) const;
    [[nodiscard]] std::size_t skipOperand(std::size_t pc) const;
    [[nodiscard]] int find(int cell);

    // What the scan did in a rung.
    static constexpr std::uint8_t kRungRan = 0x01;            // ran outside an MCR zone
    static constexpr std::uint8_t kRungReadsContacts = 0x02;  // read a contact or the rail
    static constexpr std::uint8_t kRungGivesFlow = 0x04;      // an output received power

    void takeTrace(const plc::Plc& plc);
    /// The power the left rail gives the rung of `cell` in the scan.
    [[nodiscard]] std::uint8_t rail(std::size_t cell) const;
    void flood(PowerMap& map);

    int m_rows = 0;
    std::vector<std::int32_t> m_codes;     // per cell
    std::vector<Role> m_roles;             // per cell
    std::vector<std::uint8_t> m_joins;     // per cell: takes power from the junction at its left
    std::vector<std::uint8_t> m_fedFrom;   // per cell: the junction takes the left cell's power
    std::vector<std::uint8_t> m_linkDown;  // per cell: its junction goes on into the row below
    std::vector<std::uint8_t> m_hasLink;   // per cell: a link is drawn at its left edge
    std::vector<int> m_blockOf;            // per cell: its block, or -1
    std::vector<int> m_feedingBlock;       // per cell: the block whose output feeds its junction
    std::vector<int> m_continuationOf;     // per continuation contact: its coil's cell, else -1
    std::vector<int> m_rung;               // per cell: its rung (joined cells share one)
    std::vector<Block> m_blocks;
    std::vector<plc::ProgramWord> m_words;
    std::vector<Instruction> m_instructions;
    std::vector<ValueSpot> m_spots;
    std::vector<OperandSpot> m_operands;
    std::vector<int> m_continuationContacts;  // the cells of the paired continuation contacts

    // Scratch of one build.
    std::vector<std::int8_t> m_conducts;    // per cell: -1 not read by the scan, else 0 or 1
    std::vector<std::uint8_t> m_on;         // per cell: a coil or control function was on
    std::vector<std::uint8_t> m_rungState;  // per rung: kRung... bits
    std::vector<std::uint8_t> m_blockEnabled;
    std::vector<std::uint8_t> m_blockOutput;
    std::vector<std::uint8_t> m_left;   // per cell: power at its left end
    std::vector<std::uint8_t> m_right;  // per cell: power at its right end
};

}  // namespace translator
