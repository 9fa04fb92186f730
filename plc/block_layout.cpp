// Block layouts, derived from the block descriptions the translator emits by.
#include "plc/block_layout.h"

#include "document/block_description.h"

#include <algorithm>
#include <array>
#include <cassert>

namespace plc {
namespace {

using document::ItemKind;
using I = LayoutItem;

// The most items and type words of any block (BLKMV has 15 items, ARRAY_MOVE 5 types).
constexpr std::size_t kMaxItems = 16;
constexpr std::size_t kMaxTypes = operands::kDataTypes.size();

// One kind's items and the type words its TypeOrEnd item accepts, kept for the whole run in
// fixed arrays: deriving them allocates nothing, also when the first scan does it.
struct DerivedLayout {
    std::array<LayoutItem, kMaxItems> items{};
    std::array<std::uint8_t, kMaxItems> sources{};
    std::size_t itemCount = 0;
    std::array<ProgramWord, kMaxTypes> types{};
    std::size_t typeCount = 0;
};

DerivedLayout derive(const document::BlockDescription& block) {
    DerivedLayout layout;
    std::uint8_t source = 0;
    auto add = [&layout, &source](LayoutItem item, int times = 1) {
        for (int i = 0; i < times; ++i) {
            assert(layout.itemCount < kMaxItems);
            layout.sources[layout.itemCount] = source;
            layout.items[layout.itemCount++] = item;
        }
    };
    for (const document::BlockItem& item : block.items) {
        switch (item.kind) {
            case ItemKind::PowerFlow: add(I::Input); break;
            case ItemKind::TimerIndex: add(I::Index); break;
            case ItemKind::TimeBase: add(I::TimeBase); break;
            case ItemKind::Register:
            case ItemKind::RegisterAgain: add(I::Address, 3); break;
            case ItemKind::Preset: add(I::Operand); break;
            case ItemKind::DataType:
                if (!block.typing.typeWord) {
                    break;
                }
                if (block.typing.fallback >= 0) {
                    add(I::Type);
                    break;
                }
                add(I::TypeOrEnd);
                for (const document::TypeForm& form : block.typing.forms) {
                    assert(layout.typeCount < kMaxTypes);
                    layout.types[layout.typeCount++] = typeWordOf(form.type);
                }
                break;
            case ItemKind::Length: add(I::Length); break;
            case ItemKind::Operand:
                add(item.side == document::Side::Right ||
                            document::alwaysAddress(item, block.typing)
                        ? I::Address
                        : I::Operand);
                break;
            case ItemKind::OptionalOperand: add(I::Optional); break;
            case ItemKind::FollowingWords: add(I::Address, item.count); break;
            case ItemKind::CallName:
            case ItemKind::Output: break;
        }
        ++source;
    }
    return layout;
}

// Indexed by kind number; numbers no kind has keep the unknown layout.
struct LayoutTable {
    std::array<DerivedLayout, document::kLastBlockKindNumber + 1> derived;
    std::array<BlockLayout, document::kLastBlockKindNumber + 1> layouts;

    LayoutTable() {
        layouts.fill({"?", {}, {}, {}});
        for (const document::BlockDescription& block : document::blockDescriptions()) {
            const auto number = static_cast<std::size_t>(document::kindNumber(block.kind));
            derived[number] = derive(block);
            const DerivedLayout& d = derived[number];
            layouts[number] = {block.programName,
                               std::span<const LayoutItem>(d.items.data(), d.itemCount),
                               std::span<const ProgramWord>(d.types.data(), d.typeCount),
                               std::span<const std::uint8_t>(d.sources.data(), d.itemCount)};
        }
    }
};

const LayoutTable& layoutTable() {
    static const LayoutTable table;
    return table;
}

const BlockLayout kUnknown{"?", {}, {}, {}};

}  // namespace

const BlockLayout& blockLayout(ProgramWord code) {
    if (code < 0 || code > document::kLastBlockKindNumber) {
        return kUnknown;
    }
    return layoutTable().layouts[static_cast<std::size_t>(code)];
}

bool acceptsType(const BlockLayout& layout, ProgramWord word) {
    return std::find(layout.types.begin(), layout.types.end(), word) != layout.types.end();
}

bool startsOperand(ProgramWord word) {
    return word == kConstant || word == 0 || (word <= kAreaI && word >= kAreaR);
}

std::size_t skipInput(const ProgramWord* words, std::size_t pc) {
    for (;;) {
        const ProgramWord w = words[pc];
        if (w == kEnd) {
            return pc;
        }
        ++pc;
        if (w == kEndOfInput) {
            return pc;
        }
        if (w >= kAndNot && w <= kLoad) {
            pc += 3;
        }
    }
}

std::size_t skipBlockItems(const ProgramWord* words, std::size_t pc, ProgramWord code) {
    const BlockLayout& layout = blockLayout(code);
    for (LayoutItem item : layout.items) {
        switch (item) {
            case LayoutItem::Input: pc = skipInput(words, pc); break;
            case LayoutItem::Operand:
            case LayoutItem::Address: pc = skipOperand(words, pc); break;
            case LayoutItem::Index:
            case LayoutItem::TimeBase:
            case LayoutItem::Type: ++pc; break;
            case LayoutItem::TypeOrEnd:
                if (!acceptsType(layout, words[pc])) {
                    return pc;
                }
                ++pc;
                break;
            case LayoutItem::Length: pc += 2; break;
            case LayoutItem::Optional:
                if (startsOperand(words[pc])) {
                    pc = skipOperand(words, pc);
                }
                break;
        }
    }
    return pc;
}

}  // namespace plc
