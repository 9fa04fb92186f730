// Block layouts as the translator emits them.
#include "plc/block_layout.h"

#include <array>

namespace plc {
namespace {

using I = LayoutItem;

constexpr std::array kTimerOnDelay{I::Input,   I::Index,   I::TimeBase, I::Address, I::Address,
                                   I::Address, I::Operand, I::Address,  I::Address, I::Address};
constexpr std::array kTimer{I::Index,   I::TimeBase, I::Address, I::Address, I::Address,
                            I::Operand, I::Address,  I::Address, I::Address};
constexpr std::array kCounter{I::Input,   I::Address, I::Address, I::Address,
                              I::Operand, I::Address, I::Address, I::Address};
constexpr std::array kBinaryWithResult{I::Type, I::Operand, I::Operand, I::Address};
constexpr std::array kUnaryWithResult{I::Type, I::Operand, I::Address};
constexpr std::array kRelation{I::Type, I::Operand, I::Operand};
constexpr std::array kShift{I::Type, I::Length, I::Address, I::Operand, I::Input, I::Address};
constexpr std::array kRotate{I::Type, I::Length, I::Address, I::Operand, I::Address};
constexpr std::array kBitOperation{I::Type, I::Length, I::Address, I::Operand};
constexpr std::array kBitPosition{I::Type, I::Length, I::Address, I::Address};
constexpr std::array kMove{I::TypeOrEnd, I::Length, I::Operand, I::Address};
constexpr std::array kBlockMoveLayout{I::Type,    I::Operand, I::Operand, I::Operand, I::Operand,
                                      I::Operand, I::Operand, I::Operand, I::Address, I::Address,
                                      I::Address, I::Address, I::Address, I::Address, I::Address};
constexpr std::array kBlockClearLayout{I::Type, I::Length, I::Address};
constexpr std::array kShiftRegister{I::Type,    I::Length,  I::Input,
                                    I::Operand, I::Address, I::Address};
constexpr std::array kBitSequencer{I::Address, I::Address,  I::Address, I::Input,
                                   I::Input,   I::Optional, I::Optional};
constexpr std::array kCommRequest{I::Address, I::Operand, I::Operand};
constexpr std::array kSearch{I::TypeOrEnd, I::Length,  I::Address,
                             I::Operand,   I::Operand, I::Address};
constexpr std::array kArrayMove{I::TypeOrEnd, I::Length,  I::Address, I::Operand,
                                I::Operand,   I::Operand, I::Address};
constexpr std::array kConversion{I::Operand, I::Address};

constexpr std::array kMoveTypes{kTypeBit, kTypeWord, kTypeInt};
constexpr std::array kSearchTypes{kTypeByte, kTypeWord, kTypeInt, kTypeDint};
constexpr std::array kArrayTypes{kTypeBit, kTypeByte, kTypeWord, kTypeInt, kTypeDint};

constexpr std::span<const LayoutItem> kNoItems{};

constexpr ProgramWord kFirstCode = kBlockOndtr;
constexpr ProgramWord kLastCode = kBlockSvcRq;

// Indexed by code - kFirstCode.
const std::array<BlockLayout, kLastCode - kFirstCode + 1> kLayouts = [] {
    std::array<BlockLayout, kLastCode - kFirstCode + 1> table{};
    for (auto& layout : table) {
        layout = {"?", kNoItems, {}};
    }
    auto set = [&table](ProgramWord code, std::string_view name, std::span<const LayoutItem> items,
                        std::span<const ProgramWord> types = {}) {
        table[static_cast<std::size_t>(code - kFirstCode)] = {name, items, types};
    };
    set(kBlockOndtr, "ONDTR", kTimerOnDelay);
    set(kBlockTmr, "TMR", kTimer);
    set(kBlockUpctr, "UPCTR", kCounter);
    set(kBlockDnctr, "DNCTR", kCounter);
    set(kBlockAdd, "ADD", kBinaryWithResult);
    set(kBlockSub, "SUB", kBinaryWithResult);
    set(kBlockMul, "MUL", kBinaryWithResult);
    set(kBlockDiv, "DIV", kBinaryWithResult);
    set(kBlockMod, "MOD", kBinaryWithResult);
    set(kBlockSqrt, "SQRT", kUnaryWithResult);
    set(kBlockEq, "EQ", kRelation);
    set(kBlockNe, "NE", kRelation);
    set(kBlockGt, "GT", kRelation);
    set(kBlockGe, "GE", kRelation);
    set(kBlockLt, "LT", kRelation);
    set(kBlockLe, "LE", kRelation);
    set(kBlockAndWord, "AND", kBinaryWithResult);
    set(kBlockOrWord, "OR", kBinaryWithResult);
    set(kBlockXorWord, "XOR", kBinaryWithResult);
    set(kBlockNotWord, "NOT", kUnaryWithResult);
    set(kBlockShl, "SHL", kShift);
    set(kBlockShr, "SHR", kShift);
    set(kBlockRol, "ROL", kRotate);
    set(kBlockRor, "ROR", kRotate);
    set(kBlockBitTst, "BITTST", kBitOperation);
    set(kBlockBitSet, "BITSET", kBitOperation);
    set(kBlockBitClr, "BITCLR", kBitOperation);
    set(kBlockBitPos, "BITPOS", kBitPosition);
    set(kBlockMove, "MOVE", kMove, kMoveTypes);
    set(kBlockBlkMv, "BLKMV", kBlockMoveLayout);
    set(kBlockBlkClr, "BLKCLR", kBlockClearLayout);
    set(kBlockShfr, "SHFR", kShiftRegister);
    set(kBlockBitSeq, "BITSEQ", kBitSequencer);
    set(kBlockComRq, "COMRQ", kCommRequest);
    set(kBlockSrhEq, "SRH EQ", kSearch, kSearchTypes);
    set(kBlockSrhNe, "SRH NE", kSearch, kSearchTypes);
    set(kBlockSrhGt, "SRH GT", kSearch, kSearchTypes);
    set(kBlockSrhGe, "SRH GE", kSearch, kSearchTypes);
    set(kBlockSrhLt, "SRH LT", kSearch, kSearchTypes);
    set(kBlockSrhLe, "SRH LE", kSearch, kSearchTypes);
    set(kBlockArrayMove, "ARRAY_MOVE", kArrayMove, kArrayTypes);
    set(kBlockToBcd, "TO BCD", kConversion);
    set(kBlockToInt, "TO INT", kConversion);
    set(kBlockCall, "CALL", kNoItems);
    set(kBlockDoIo, "DO IO", kNoItems);
    set(kBlockSvcRq, "SVCRQ", kNoItems);
    return table;
}();

const BlockLayout kUnknown{"?", kNoItems, {}};

bool accepts(std::span<const ProgramWord> types, ProgramWord word) {
    for (ProgramWord type : types) {
        if (type == word) {
            return true;
        }
    }
    return false;
}

}  // namespace

const BlockLayout& blockLayout(ProgramWord code) {
    if (code < kFirstCode || code > kLastCode) {
        return kUnknown;
    }
    return kLayouts[static_cast<std::size_t>(code - kFirstCode)];
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
                if (!accepts(layout.types, words[pc])) {
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
