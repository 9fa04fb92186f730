// The cross-reference: one pass over the grid, blocks read through their descriptions.
#include "document/cross_reference.h"

#include "document/block_description.h"
#include "document/cell_code.h"
#include "document/cell_text.h"
#include "operands/memory_area.h"
#include "operands/operand_syntax.h"
#include "operands/text_blanks.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

namespace document {

namespace {

// The normal form of an address as a cell stores it; empty for anything else. Operands typed
// into the entry line are stored normalised already; registers are stored as typed, and files
// may hold any text.
std::string addressOf(std::string_view text) {
    std::string address = operands::ParsePrefixedAddress(text);
    if (address.empty()) {
        address = operands::ParseSuffixedAddress(text);
    }
    return address;
}

// Sorting key of a normal-form address: the area's row in the table, then the number.
std::tuple<std::size_t, std::uint64_t, std::string_view> orderOf(std::string_view address) {
    const operands::MemoryArea* area = operands::areaOfAddress(address);
    const std::size_t row =
        area == nullptr ? operands::kMemoryAreas.size() : operands::areaIndex(area->name);
    std::uint64_t number = 0;
    for (const char c : address) {
        if (c >= '0' && c <= '9' && number < UINT64_MAX / 10) {
            number = number * 10 + static_cast<std::uint64_t>(c - '0');
        }
    }
    return {row, number, address};
}

// The addresses of the two words after the register word `reg` (a normal form): the next
// references of a word area, the references of the words two and four bytes on in a bit area.
// Words outside the area are left out.
std::vector<std::string> followingRegisters(std::string_view reg) {
    std::vector<std::string> next;
    const std::optional<operands::AreaReference> reference = operands::readAddress(reg);
    if (!reference) {
        return next;
    }
    const operands::MemoryArea& area = *reference->area;
    for (std::int64_t word = 1; word <= 2; ++word) {
        const std::int64_t number = area.wordArea
                                        ? reference->number + word
                                        : ((reference->number - 1) / 8 + 2 * word) * 8 + 1;
        if (number <= operands::referenceCount(area)) {
            next.push_back(operands::FormatAddress(area.name, number));
        }
    }
    return next;
}

bool isLatchingCoil(std::int32_t code) {
    const std::int32_t kind = kindOf(code);
    return kind == ElementKind::CoilSM || kind == ElementKind::CoilRM ||
           kind == ElementKind::CoilS || kind == ElementKind::CoilR;
}

// What a block does with the operand of one of its items under the check that applies.
OperandAccess blockAccess(BlockKind kind, OperandCheck check) {
    if (checkRule(check).output) {
        return OperandAccess::Write;
    }
    // BLKCLR clears the words its IN names; a shift register keeps its state in ST.
    if (kind == BlockKind::BlkClr) {
        return OperandAccess::Write;
    }
    return check == OperandCheck::WritableBitString ? OperandAccess::ReadWrite
                                                    : OperandAccess::Read;
}

class Collector {
public:
    explicit Collector(const LadderDocument& document) : m_document(document) {}

    void collect() {
        for (int row = 0; row < m_document.rowCount(); ++row) {
            for (int col = 0; col < kColumns; ++col) {
                const std::int32_t code = m_document.CellCode(row, col);
                if (isContact(code) || isCoil(code)) {
                    OperandUse use;
                    use.place = {row, col};
                    use.code = code;
                    if (isCoil(code)) {
                        use.role = OperandRole::Coil;
                        use.access = OperandAccess::Write;
                        use.latching = isLatchingCoil(code);
                    }
                    add(fieldValue(m_document.cellTextRef(row, col), 'A'), use);
                } else if (isBlockTop(code)) {
                    collectBlock(row, col, code);
                }
            }
        }
    }

    std::vector<OperandReference> result() {
        std::vector<OperandReference> operands;
        operands.reserve(m_found.size());
        for (auto& [address, reference] : m_found) {
            reference.operand = address;
            std::sort(reference.uses.begin(), reference.uses.end(),
                      [](const OperandUse& a, const OperandUse& b) {
                          return std::pair(a.place.row, a.place.col) <
                                 std::pair(b.place.row, b.place.col);
                      });
            mark(reference);
            operands.push_back(std::move(reference));
        }
        std::sort(operands.begin(), operands.end(),
                  [](const OperandReference& a, const OperandReference& b) {
                      return orderOf(a.operand) < orderOf(b.operand);
                  });
        return operands;
    }

private:
    void add(std::string_view text, const OperandUse& use) {
        const std::string address = addressOf(text);
        if (!address.empty()) {
            m_found[address].uses.push_back(use);
        }
    }

    void collectBlock(int row, int col, std::int32_t code) {
        const std::optional<BlockKind> kind = blockKindOf(kindOf(code));
        if (!kind) {
            return;
        }
        const BlockDescription& block = describe(*kind);
        // The data type stands in the block's second row, as the translator reads it.
        const TypeForm* form =
            typeFormFor(block.typing, fieldValue(m_document.cellTextRef(row + 1, col), 'T'));
        for (const BlockItem& item : block.items) {
            OperandUse use;
            use.code = code;
            use.block = {row, col};
            use.blockName = block.placed.name;
            use.label = item.label;
            const int itemRow = row + item.row;
            switch (item.kind) {
                case ItemKind::Operand:
                case ItemKind::OptionalOperand:
                case ItemKind::Preset: {
                    const bool left = item.kind != ItemKind::Operand || item.side == Side::Left;
                    const OperandCheck check =
                        item.kind == ItemKind::Preset ? OperandCheck::Value : checkOf(item, form);
                    use.place = {itemRow, left ? col - 1 : col + 1};
                    use.access = blockAccess(*kind, check);
                    use.role = use.access == OperandAccess::Read ? OperandRole::BlockInput
                                                                 : OperandRole::BlockOutput;
                    if (item.kind == ItemKind::Preset) {
                        use.label = "PV";
                    }
                    if (m_document.contains(use.place.row, use.place.col)) {
                        add(fieldValue(m_document.cellTextRef(use.place.row, use.place.col), 'A'),
                            use);
                    }
                    break;
                }
                case ItemKind::Register: {
                    use.place = {itemRow, col};
                    use.role = OperandRole::BlockRegister;
                    use.access = OperandAccess::ReadWrite;
                    const std::string_view reg =
                        fieldValue(m_document.cellTextRef(itemRow, col), 'G');
                    add(reg, use);
                    // The block keeps its current value, preset copy and control word in three
                    // words from its register on: the two after it are its as well.
                    for (const std::string& next : followingRegisters(addressOf(reg))) {
                        add(next, use);
                    }
                    break;
                }
                case ItemKind::PowerFlow:
                case ItemKind::TimerIndex:
                case ItemKind::TimeBase:
                case ItemKind::RegisterAgain:
                case ItemKind::DataType:
                case ItemKind::Length:
                case ItemKind::FollowingWords:
                case ItemKind::CallName:
                case ItemKind::Output: break;
            }
        }
    }

    static void mark(OperandReference& reference) {
        int coils = 0;
        bool plainCoil = false;
        bool read = false;
        for (const OperandUse& use : reference.uses) {
            if (use.role == OperandRole::Coil) {
                ++coils;
                plainCoil = plainCoil || !use.latching;
            }
            read = read || use.access != OperandAccess::Write;
        }
        // Set and reset coils of one output are meant to come in several places; a plain coil
        // beside any other coil of the same output is overwritten within the scan.
        reference.multipleCoils = coils > 1 && plainCoil;
        reference.neverRead = coils > 0 && !read;
    }

    const LadderDocument& m_document;
    std::map<std::string, OperandReference, std::less<>> m_found;
};

std::string upperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

}  // namespace

CrossReference::CrossReference(const LadderDocument& document) {
    Collector collector(document);
    collector.collect();
    m_operands = collector.result();
}

bool CrossReference::matches(std::string_view operand, std::string_view query) {
    query = operands::trimmed(query);
    if (query.empty()) {
        return true;
    }
    std::string address = addressOf(query);
    if (address.empty() && query.front() != '%') {
        address = operands::ParsePrefixedAddress("%" + std::string(query));
    }
    if (!address.empty()) {
        return operand == address;
    }
    return upperCase(operand).find(upperCase(query)) != std::string::npos;
}

}  // namespace document
