// Power maps from the controller's trace.
//
// A contact conducts as the scan read its operand, a coil is on as the scan assigned it, a block
// is enabled and on as the scan ran it: all of that is read from the trace at the instructions
// the source map ties to the cells. Along wires and links power flows from left to right as in
// any ladder: a junction (the vertical links joining one column edge over several rows) carries
// the power of every cell on its left that feeds it to every cell on its right that joins it,
// with the translator's own tests of which cells conduct and which links join.
#include "translator/power_map_builder.h"

#include "document/block_description.h"
#include "document/cell_code.h"
#include "document/cell_text.h"
#include "document/ladder_document.h"
#include "operands/memory_area.h"
#include "plc/block_layout.h"
#include "plc/plc.h"
#include "plc/power_trace.h"
#include "translator/cell_rules.h"

#include <algorithm>
#include <numeric>
#include <optional>

namespace translator {

namespace {

using document::ElementKind;
using operands::DataType;

constexpr int kColumns = 10;

DataType typeOfWord(plc::ProgramWord word) {
    switch (word) {
        case plc::kTypeBit: return DataType::Bit;
        case plc::kTypeByte: return DataType::Byte;
        case plc::kTypeWord: return DataType::Word;
        case plc::kTypeDint: return DataType::Dint;
        default: return DataType::Int;
    }
}

// The type a block reads or writes an operand in: the block's data type where the operand
// takes it, a word for bit strings, BCD4 for the coded side of the conversions, else INT.
DataType operandType(document::BlockKind kind, const document::BlockItem& item,
                     plc::ProgramWord typeWord) {
    if ((kind == document::BlockKind::ToBcd && item.side == document::Side::Right) ||
        (kind == document::BlockKind::ToInt && item.side == document::Side::Left)) {
        return DataType::Bcd4;
    }
    if (item.source != document::CheckSource::Fixed) {
        return typeOfWord(typeWord);
    }
    switch (item.check) {
        case document::OperandCheck::BitString:
        case document::OperandCheck::BitStringOut:
        case document::OperandCheck::BitStringAddress:
        case document::OperandCheck::WritableBitString: return DataType::Word;
        case document::OperandCheck::Value:
        case document::OperandCheck::ValueOut:
        case document::OperandCheck::WordValue:
        case document::OperandCheck::WordValueOut:
        case document::OperandCheck::WordAddress:
        case document::OperandCheck::UserAddress:
        case document::OperandCheck::Constant: return DataType::Int;
    }
    return DataType::Int;
}

}  // namespace

PowerMapBuilder::PowerMapBuilder(const document::LadderDocument& document,
                                 std::span<const plc::ProgramWord> words,
                                 const SourceMap& sourceMap)
    : m_rows(std::max(document.rowCount(), 0)) {
    classifyCells(document);
    findBlocks(document);
    pairContinuations();
    joinRungs();
    readProgram(words, sourceMap);
    findOperands(document);

    const auto cells = static_cast<std::size_t>(m_rows) * kColumns;
    m_conducts.assign(cells, -1);
    m_on.assign(cells, 0);
    m_rungState.assign(cells, 0);
    m_blockEnabled.assign(m_blocks.size(), 0);
    m_blockOutput.assign(m_blocks.size(), 0);
    m_left.assign(cells, 0);
    m_right.assign(cells, 0);
}

// ---------------------------------------------------------------------------------------------
// The ladder

void PowerMapBuilder::classifyCells(const document::LadderDocument& document) {
    const auto cells = static_cast<std::size_t>(m_rows) * kColumns;
    m_codes.assign(cells, 0);
    m_roles.assign(cells, Role::Empty);
    m_joins.assign(cells, 0);
    m_fedFrom.assign(cells, 0);
    m_linkDown.assign(cells, 0);
    m_hasLink.assign(cells, 0);
    auto code = [&](int row, int col) {
        return row >= 0 && row < m_rows && col >= 0 && col < kColumns ? document.CellCode(row, col)
                                                                      : 0;
    };
    for (int row = 0; row < m_rows; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            const std::int32_t c = code(row, col);
            const std::int32_t kind = document::kindOf(c);
            const auto i = static_cast<std::size_t>(row * kColumns + col);
            Role role = Role::Other;
            if (c == 0) {
                role = Role::Empty;
            } else if (document::isEmptyOrLinkOnly(c)) {
                role = Role::LinkOnly;
            } else if (document::isBlockCell(c)) {
                role = Role::Block;
            } else if (document::isContact(c)) {
                role = kind == ElementKind::ContactNC ? Role::ContactNot : Role::Contact;
            } else if (kind == ElementKind::HLink || kind == ElementKind::ContinuationCoil) {
                role = Role::Wire;
            } else if (kind == ElementKind::ContinuationContact) {
                role = Role::ContinuationContact;
            } else if (document::isCoil(c)) {
                role = Role::Coil;
            } else if (document::isControl(c)) {
                role = Role::Control;
            }
            m_codes[i] = c;
            m_roles[i] = role;
            // The translator's relations: a cell takes power from the junction at its left edge
            // when it conducts or carries a link, the junction takes it from the left cell when
            // that one conducts, and a link joins two rows only when both cells agree.
            m_hasLink[i] = document::hasLink(c) ? 1 : 0;
            m_joins[i] = isConductor(c) || document::hasLink(c) ? 1 : 0;
            const std::int32_t left = code(row, col - 1);
            m_fedFrom[i] =
                col > 0 && m_joins[i] != 0 && isConductor(left) && !document::isBlockCell(left) ? 1
                                                                                                : 0;
            m_linkDown[i] = row < m_rows - 1 && document::hasDownFlag(c) &&
                                    document::hasUpFlag(code(row + 1, col))
                                ? 1
                                : 0;
        }
    }
}

void PowerMapBuilder::findBlocks(const document::LadderDocument& document) {
    const auto cells = static_cast<std::size_t>(m_rows) * kColumns;
    m_blockOf.assign(cells, -1);
    m_feedingBlock.assign(cells, -1);
    for (int row = 0; row < m_rows; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            const std::int32_t top = document.CellCode(row, col);
            if (!document::isBlockTop(top)) {
                continue;
            }
            const auto index = static_cast<int>(m_blocks.size());
            const std::int32_t kind = document::kindOf(top);
            Block block{row * kColumns + col, kNoCell};
            // The block's cells: down its column, and for a CALL the square's right column.
            const auto belongs = [&](int r, int c, bool rightColumn) {
                if (r >= m_rows || c >= kColumns) {
                    return false;
                }
                const std::int32_t code = document.CellCode(r, c);
                const int role = document::blockRole(code);
                const bool right = role == document::BlockRole::CallTopRight ||
                                   role == document::BlockRole::CallBottomRight;
                return document::isBlockCell(code) && !document::isBlockTop(code) &&
                       document::kindOf(code) == kind && right == rightColumn &&
                       m_blockOf[static_cast<std::size_t>(r * kColumns + c)] < 0;
            };
            m_blockOf[static_cast<std::size_t>(block.top)] = index;
            for (int r = row + 1; belongs(r, col, false); ++r) {
                m_blockOf[static_cast<std::size_t>(r * kColumns + col)] = index;
            }
            for (int r = row; belongs(r, col + 1, true); ++r) {
                m_blockOf[static_cast<std::size_t>(r * kColumns + col + 1)] = index;
            }
            if (const auto known = document::blockKindOf(kind)) {
                for (const document::BlockItem& item : document::describe(*known).items) {
                    if (item.kind == document::ItemKind::Output && row + item.row < m_rows) {
                        block.outputCell = (row + item.row) * kColumns + col;
                        break;
                    }
                }
            }
            // The power-flow output goes on where the translator follows it: into the cell
            // right of the output row.
            if (block.outputCell != kNoCell && col + 1 < kColumns) {
                const auto fed = static_cast<std::size_t>(block.outputCell + 1);
                if (m_joins[fed] != 0) {
                    m_feedingBlock[fed] = index;
                }
            }
            m_blocks.push_back(block);
        }
    }
    // A block cell without its top (a damaged ladder) belongs to no block and carries nothing.
    for (std::size_t i = 0; i < m_roles.size(); ++i) {
        if (m_roles[i] == Role::Block && m_blockOf[i] < 0) {
            m_roles[i] = Role::Other;
        }
    }
}

void PowerMapBuilder::pairContinuations() {
    // As the translator continues a rung: from a continuation coil in the last column to the
    // first continuation contact below it in the first column that no rung took yet.
    m_continuationOf.assign(static_cast<std::size_t>(m_rows) * kColumns, -1);
    for (int row = 0; row < m_rows; ++row) {
        const int coil = row * kColumns + kColumns - 1;
        if (m_codes[static_cast<std::size_t>(coil)] != ElementKind::ContinuationCoil) {
            continue;
        }
        for (int below = row + 1; below < m_rows; ++below) {
            const auto contact = static_cast<std::size_t>(below * kColumns);
            if (m_codes[contact] == ElementKind::ContinuationContact &&
                m_continuationOf[contact] < 0) {
                m_continuationOf[contact] = coil;
                m_continuationContacts.push_back(static_cast<int>(contact));
                break;
            }
        }
    }
}

int PowerMapBuilder::find(int cell) {
    auto i = static_cast<std::size_t>(cell);
    while (m_rung[i] != static_cast<int>(i)) {
        m_rung[i] = m_rung[static_cast<std::size_t>(m_rung[i])];  // path halving
        i = static_cast<std::size_t>(m_rung[i]);
    }
    return static_cast<int>(i);
}

void PowerMapBuilder::joinRungs() {
    // The cells a rung is made of, joined by wires, links and continuations; a rung takes power
    // from the rail only in a scan that ran it outside an MCR zone.
    const auto cells = static_cast<std::size_t>(m_rows) * kColumns;
    m_rung.resize(cells);
    std::iota(m_rung.begin(), m_rung.end(), 0);
    auto unite = [this](int a, int b) {
        const int ra = find(a);
        const int rb = find(b);
        if (ra != rb) {
            m_rung[static_cast<std::size_t>(std::max(ra, rb))] = std::min(ra, rb);
        }
    };
    for (int i = 0; i < static_cast<int>(cells); ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (m_fedFrom[at] != 0) {
            unite(i, i - 1);
        }
        if (m_linkDown[at] != 0) {
            unite(i, i + kColumns);
        }
        if (m_continuationOf[at] >= 0) {
            unite(i, m_continuationOf[at]);
        }
    }
    for (int i = 0; i < static_cast<int>(cells); ++i) {
        m_rung[static_cast<std::size_t>(i)] = find(i);
    }
}

// ---------------------------------------------------------------------------------------------
// The program

plc::ProgramWord PowerMapBuilder::word(std::size_t index) const {
    return index < m_words.size() ? m_words[index] : plc::kEnd;
}

std::size_t PowerMapBuilder::skipOperand(std::size_t pc) const {
    return pc + (word(pc) == plc::kConstant ? 2u : 3u);
}

void PowerMapBuilder::readProgram(std::span<const plc::ProgramWord> words,
                                  const SourceMap& sourceMap) {
    m_words.assign(words.begin(), words.end());
    using Kind = Instruction::Kind;
    std::size_t pc = 0;
    while (pc < m_words.size()) {
        const plc::ProgramWord w = m_words[pc];
        const int cell = sourceMap.wordCell(pc);
        switch (w) {
            case plc::kLoad:
            case plc::kAnd:
                m_instructions.push_back({pc, cell, contactKind(cell, false)});
                pc += 4;
                break;
            case plc::kLoadNot:
            case plc::kAndNot:
                m_instructions.push_back({pc, cell, contactKind(cell, true)});
                pc += 4;
                break;
            case plc::kCoil: {
                const plc::ProgramWord code = word(pc + 1);
                const bool edge = code == plc::kCoilPositive || code == plc::kCoilNegative;
                const bool negated =
                    code == plc::kCoilNegated || code == plc::kCoilNegatedRetentive;
                m_instructions.push_back({pc, cell,
                                          edge      ? Kind::EdgeCoil
                                          : negated ? Kind::NegatedCoil
                                                    : Kind::Coil});
                pc += edge ? 6 : 5;
                break;
            }
            case plc::kBlock: {
                const plc::ProgramWord code = word(pc + 1);
                m_instructions.push_back({pc, cell, Kind::Block});
                pc = readInput(pc + 2, sourceMap);
                pc = readBlockItems(pc, code, sourceMap);
                break;
            }
            case plc::kControl: {
                const plc::ProgramWord code = word(pc + 1);
                const bool conditional = code == plc::kControlMcr || code == plc::kControlJump;
                m_instructions.push_back(
                    {pc, cell, conditional ? Kind::Condition : Kind::Unconditional});
                pc += 3;
                break;
            }
            case plc::kEnd:
                // The END element; the end word that closes the program comes from no cell.
                if (cell != kNoCell) {
                    m_instructions.push_back({pc, cell, Kind::Unconditional});
                }
                ++pc;
                break;
            default: ++pc; break;
        }
    }
}

PowerMapBuilder::Instruction::Kind PowerMapBuilder::contactKind(int cell, bool negated) const {
    // A contact instruction that comes from an output (a coil, a control function, a block's
    // top) is the rail's own bit, read for an output with nothing but wires before it.
    const bool fromContact = cell >= 0 && cell < m_rows * kColumns &&
                             (m_roles[static_cast<std::size_t>(cell)] == Role::Contact ||
                              m_roles[static_cast<std::size_t>(cell)] == Role::ContactNot);
    if (cell != kNoCell && !fromContact) {
        return Instruction::Kind::Rail;
    }
    return negated ? Instruction::Kind::ContactNot : Instruction::Kind::Contact;
}

std::size_t PowerMapBuilder::readInput(std::size_t pc, const SourceMap& sourceMap) {
    for (;;) {
        const plc::ProgramWord w = word(pc);
        if (w == plc::kEnd) {
            return pc;
        }
        if (w == plc::kEndOfInput) {
            return pc + 1;
        }
        if (w >= plc::kAndNot && w <= plc::kLoad) {
            const bool negated = w == plc::kLoadNot || w == plc::kAndNot;
            const int cell = sourceMap.wordCell(pc);
            m_instructions.push_back({pc, cell, contactKind(cell, negated)});
            pc += 4;
        } else {
            ++pc;
        }
    }
}

std::size_t PowerMapBuilder::readBlockItems(std::size_t pc, plc::ProgramWord code,
                                            const SourceMap& sourceMap) {
    // The block's words item by item, as the controller's layout of the block reads them.
    const std::optional<document::BlockKind> kind = document::blockKindOf(code);
    if (!kind) {
        return pc;
    }
    const document::BlockDescription& block = document::describe(*kind);
    const plc::BlockLayout& layout = plc::blockLayout(code);
    plc::ProgramWord typeWord = 0;
    using document::ItemKind;
    for (const document::BlockItem& item : block.items) {
        switch (item.kind) {
            case ItemKind::PowerFlow: pc = readInput(pc, sourceMap); break;
            case ItemKind::TimerIndex:
            case ItemKind::TimeBase: ++pc; break;
            case ItemKind::Register:
                addSpot(pc, DataType::Int, sourceMap);  // the current value, first of three
                [[fallthrough]];
            case ItemKind::RegisterAgain:
                for (int i = 0; i < 3; ++i) {
                    pc = skipOperand(pc);
                }
                break;
            case ItemKind::Preset:
                addSpot(pc, DataType::Int, sourceMap);
                pc = skipOperand(pc);
                break;
            case ItemKind::DataType:
                if (!block.typing.typeWord) {
                    break;
                }
                if (block.typing.fallback < 0 && !plc::acceptsType(layout, word(pc))) {
                    return pc;  // a type the block takes no operands in: it ends here
                }
                typeWord = word(pc++);
                break;
            case ItemKind::Length: pc += 2; break;
            case ItemKind::Operand:
                addSpot(pc, operandType(*kind, item, typeWord), sourceMap);
                pc = skipOperand(pc);
                break;
            case ItemKind::OptionalOperand:
                if (plc::startsOperand(word(pc))) {
                    addSpot(pc, operandType(*kind, item, typeWord), sourceMap);
                    pc = skipOperand(pc);
                }
                break;
            case ItemKind::FollowingWords:
                for (int i = 0; i < item.count; ++i) {
                    pc = skipOperand(pc);
                }
                break;
            case ItemKind::CallName:
            case ItemKind::Output: break;
        }
    }
    return pc;
}

void PowerMapBuilder::addSpot(std::size_t pc, DataType type, const SourceMap& sourceMap) {
    // A constant shows its value already; an operand without a known area has none.
    const int cell = sourceMap.wordCell(pc);
    if (cell == kNoCell || cell >= m_rows * kColumns || word(pc) == plc::kConstant ||
        !plc::areaKindOf(word(pc))) {
        return;
    }
    m_spots.push_back({cell, word(pc), word(pc + 1), word(pc + 2), type});
}

void PowerMapBuilder::findOperands(const document::LadderDocument& document) {
    // Contacts and coils name one bit each, however the address is written (%i1 is %I0001);
    // the bit lies where the translator's words put it: a bit reference in its byte, a word
    // reference at its word's first bit.
    for (int row = 0; row < m_rows; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            const std::int32_t code = document.CellCode(row, col);
            if (!document::isContact(code) && !document::isCoil(code)) {
                continue;
            }
            const std::optional<operands::AreaReference> reference =
                operands::readAddress(document::fieldOf(document.CellText(row, col), 'A'));
            const std::optional<plc::AreaKind> kind =
                reference ? plc::areaKindOf(reference->area->code) : std::nullopt;
            if (!kind) {
                continue;
            }
            const int n = reference->number;
            const bool wordArea = reference->area->wordArea;
            m_operands.push_back({row * kColumns + col,
                                  {*kind, wordArea ? 2 * (n - 1) : (n - 1) / 8,
                                   wordArea ? 0 : (n - 1) % 8, DataType::Bit}});
        }
    }
    // Block operands and registers span the bytes of the type the block reads them in.
    for (const ValueSpot& spot : m_spots) {
        if (const std::optional<plc::AreaKind> kind = plc::areaKindOf(spot.area)) {
            m_operands.push_back({spot.cell,
                                  {*kind, static_cast<int>(spot.byteOffset),
                                   static_cast<int>(spot.bit), spot.type}});
        }
    }
}

// ---------------------------------------------------------------------------------------------
// One map

void PowerMapBuilder::build(const plc::Plc& plc, PowerMap& map) {
    map.reset(m_rows);
    takeTrace(plc);
    flood(map);
    if (!plc.hasTrace()) {
        return;
    }
    for (const ValueSpot& spot : m_spots) {
        const std::optional<plc::AreaKind> kind = plc::areaKindOf(spot.area);
        const std::optional<std::int32_t> value =
            kind ? plc.readValue(*kind, spot.byteOffset, spot.bit, spot.type) : std::nullopt;
        if (!value) {
            continue;
        }
        CellPower& cell = map.writableAt(spot.cell / kColumns, spot.cell % kColumns);
        cell.bits |= CellPower::HasValue;
        cell.type = spot.type;
        cell.value = *value;
    }
}

void PowerMapBuilder::markForced(const plc::ForceTable& forces, PowerMap& map) const {
    const int cells = map.rowCount() * kColumns;
    // Unmark first: a cell may name two operands (one block's output, the next one's input).
    for (const OperandSpot& spot : m_operands) {
        if (spot.cell < cells) {
            map.writableAt(spot.cell / kColumns, spot.cell % kColumns).bits &=
                static_cast<std::uint16_t>(~CellPower::Forced);
        }
    }
    if (forces.empty()) {
        return;
    }
    for (const OperandSpot& spot : m_operands) {
        if (spot.cell < cells && forces.covers(spot.ref)) {
            map.writableAt(spot.cell / kColumns, spot.cell % kColumns).bits |= CellPower::Forced;
        }
    }
}

void PowerMapBuilder::takeTrace(const plc::Plc& plc) {
    std::fill(m_conducts.begin(), m_conducts.end(), std::int8_t{-1});
    std::fill(m_on.begin(), m_on.end(), std::uint8_t{0});
    std::fill(m_rungState.begin(), m_rungState.end(), std::uint8_t{0});
    std::fill(m_blockEnabled.begin(), m_blockEnabled.end(), std::uint8_t{0});
    std::fill(m_blockOutput.begin(), m_blockOutput.end(), std::uint8_t{0});
    using Kind = Instruction::Kind;
    for (const Instruction& instruction : m_instructions) {
        if (instruction.cell == kNoCell || instruction.cell >= m_rows * kColumns) {
            continue;
        }
        const std::uint8_t bits = plc.traceAt(instruction.word);
        if ((bits & plc::TraceBit::Ran) == 0) {
            continue;
        }
        const auto cell = static_cast<std::size_t>(instruction.cell);
        const bool flow = (bits & plc::TraceBit::Flow) != 0;
        const bool live = (bits & plc::TraceBit::ZoneOff) == 0;
        std::uint8_t& rung = m_rungState[static_cast<std::size_t>(m_rung[cell])];
        if (live) {
            rung |= kRungRan;
        }
        const bool contact = instruction.kind == Kind::Contact ||
                             instruction.kind == Kind::ContactNot || instruction.kind == Kind::Rail;
        rung |= contact ? kRungReadsContacts : flow ? kRungGivesFlow : 0;
        switch (instruction.kind) {
            case Kind::Rail: break;  // the rail's power, which the rung takes anyway
            case Kind::Contact:
            case Kind::ContactNot:
                // A contact that several outputs share is read once per output; the first read
                // of the scan is the one shown.
                if (m_conducts[cell] < 0) {
                    const bool operand = (bits & plc::TraceBit::Operand) != 0;
                    m_conducts[cell] = operand != (instruction.kind == Kind::ContactNot) ? 1 : 0;
                }
                break;
            case Kind::Coil:
            case Kind::Condition: m_on[cell] = flow ? 1 : 0; break;
            case Kind::NegatedCoil: m_on[cell] = flow ? 0 : 1; break;
            case Kind::EdgeCoil: m_on[cell] = (bits & plc::TraceBit::Output) != 0 ? 1 : 0; break;
            case Kind::Unconditional: m_on[cell] = 1; break;  // END, ENDMCR, LABEL: ran
            case Kind::Block: {
                const int block = m_blockOf[cell];
                if (block >= 0) {
                    const auto b = static_cast<std::size_t>(block);
                    m_blockEnabled[b] = flow ? 1 : 0;
                    m_blockOutput[b] = (bits & plc::TraceBit::Output) != 0 ? 1 : 0;
                }
                break;
            }
        }
    }
}

std::uint8_t PowerMapBuilder::rail(std::size_t cell) const {
    const std::uint8_t rung = m_rungState[static_cast<std::size_t>(m_rung[cell])];
    // A rung the scan ran takes power from the rail: it read a contact, or the always-on bit
    // that stands for the rail before an output wired straight to it. A rung that read
    // neither (control functions without a condition) shows the power its outputs received.
    if ((rung & kRungRan) == 0) {
        return 0;
    }
    return (rung & (kRungReadsContacts | kRungGivesFlow)) != 0 ? 1 : 0;
}

void PowerMapBuilder::flood(PowerMap& map) {
    std::fill(m_left.begin(), m_left.end(), std::uint8_t{0});
    std::fill(m_right.begin(), m_right.end(), std::uint8_t{0});
    // Power moves left to right column by column; only a continuation contact takes power from
    // further on (its coil, in the last column of a row above), so each continuation may need
    // one more pass.
    const auto passes = m_continuationContacts.size() + 1;
    for (std::size_t pass = 0; pass < passes; ++pass) {
        for (int col = 0; col < kColumns; ++col) {
            int row = 0;
            while (row < m_rows) {
                // The junction at the column's left edge: rows joined by links.
                int last = row;
                while (m_linkDown[static_cast<std::size_t>(last * kColumns + col)] != 0) {
                    ++last;
                }
                std::uint8_t junction = 0;
                bool fed = false;
                for (int r = row; r <= last && col > 0; ++r) {
                    const auto i = static_cast<std::size_t>(r * kColumns + col);
                    if (m_feedingBlock[i] >= 0) {
                        junction |= m_blockOutput[static_cast<std::size_t>(m_feedingBlock[i])];
                        fed = true;
                    } else if (m_fedFrom[i] != 0) {
                        junction |= m_right[i - 1];
                        fed = true;
                    }
                }
                if (!fed) {
                    // Nothing on the left: the translator's walk back from an output ends here
                    // and reads the chain as starting at the rail.
                    const auto i = static_cast<std::size_t>(row * kColumns + col);
                    junction = rail(i);
                }
                for (int r = row; r <= last; ++r) {
                    const auto i = static_cast<std::size_t>(r * kColumns + col);
                    std::uint8_t left = 0;
                    if (m_roles[i] == Role::ContinuationContact && col == 0) {
                        const int coil = m_continuationOf[i];
                        left = coil >= 0 ? m_left[static_cast<std::size_t>(coil)] : 0;
                    } else if (m_joins[i] != 0) {
                        left = col == 0 ? rail(i) : junction;
                    }
                    m_left[i] = left;
                    std::uint8_t right = 0;
                    switch (m_roles[i]) {
                        case Role::Contact:
                        case Role::ContactNot:
                            right = left != 0 && m_conducts[i] == 1 ? 1 : 0;
                            break;
                        case Role::Wire:
                        case Role::ContinuationContact:
                        case Role::LinkOnly: right = left; break;
                        case Role::Coil:
                        case Role::Control: right = m_on[i]; break;
                        case Role::Block:
                            right = m_blockOutput[static_cast<std::size_t>(m_blockOf[i])];
                            break;
                        case Role::Empty:
                        case Role::Other: break;
                    }
                    m_right[i] = right;
                }
                row = last + 1;
            }
        }
        const bool settled = std::all_of(
            m_continuationContacts.begin(), m_continuationContacts.end(), [this](int contact) {
                const auto i = static_cast<std::size_t>(contact);
                return m_left[i] == m_left[static_cast<std::size_t>(m_continuationOf[i])];
            });
        if (settled) {
            break;
        }
    }

    for (int row = 0; row < m_rows; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            const auto i = static_cast<std::size_t>(row * kColumns + col);
            CellPower& cell = map.writableAt(row, col);
            std::uint16_t bits = 0;
            if (m_roles[i] != Role::Empty) {
                bits |= CellPower::Element;
            }
            if (m_left[i] != 0) {
                bits |= CellPower::LeftPowered;
                if (m_hasLink[i] != 0) {
                    bits |= CellPower::LinkPowered;
                }
            }
            if (m_right[i] != 0) {
                bits |= CellPower::RightPowered;
            }
            if (m_conducts[i] == 1) {
                bits |= CellPower::Conducts;
            }
            if (m_roles[i] == Role::Block) {
                const auto block = static_cast<std::size_t>(m_blockOf[i]);
                if (m_blockEnabled[block] != 0) {
                    bits |= CellPower::BlockEnabled;
                }
                if (m_blockOutput[block] != 0 &&
                    m_blocks[block].outputCell == static_cast<int>(i)) {
                    bits |= CellPower::FlowOut;
                }
            }
            cell.bits = bits;
        }
    }
}

}  // namespace translator
