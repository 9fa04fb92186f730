// The function-block kinds: the numbers a block cell carries beside its role and a block
// instruction of the interpreter program carries after its block code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace document {

/// Every function-block kind with its fixed number. A `switch` over it has no `default:`, so
/// that a new kind stops the build wherever a layer has not decided what to do with it.
enum class BlockKind : int {
    Ondtr = 17,
    Tmr = 18,
    UpCtr = 19,
    DnCtr = 20,
    Add = 21,
    Sub = 22,
    Mul = 23,
    Div = 24,
    Mod = 25,
    Sqrt = 26,
    Eq = 27,
    Ne = 28,
    Gt = 29,
    Ge = 30,
    Lt = 31,
    Le = 32,
    And = 33,
    Or = 34,
    Xor = 35,
    Not = 36,
    Shl = 37,
    Shr = 38,
    Rol = 39,
    Ror = 40,
    BitTst = 41,
    BitSet = 42,
    BitClr = 43,
    BitPos = 44,
    Move = 45,
    BlkMv = 46,
    BlkClr = 47,
    Shfr = 48,
    BitSeq = 49,
    ComRq = 50,
    SrhEq = 51,
    SrhNe = 52,
    SrhGt = 53,
    SrhGe = 54,
    SrhLt = 55,
    SrhLe = 56,
    ArrMv = 57,
    ToBcd = 58,
    ToInt = 59,
    Call = 60,
    DoIo = 61,
    SvcRq = 66,
};

/// Every kind, in the order of their numbers; a new kind is added here as well.
inline constexpr std::array kBlockKinds = {
    BlockKind::Ondtr,  BlockKind::Tmr,    BlockKind::UpCtr,  BlockKind::DnCtr, BlockKind::Add,
    BlockKind::Sub,    BlockKind::Mul,    BlockKind::Div,    BlockKind::Mod,   BlockKind::Sqrt,
    BlockKind::Eq,     BlockKind::Ne,     BlockKind::Gt,     BlockKind::Ge,    BlockKind::Lt,
    BlockKind::Le,     BlockKind::And,    BlockKind::Or,     BlockKind::Xor,   BlockKind::Not,
    BlockKind::Shl,    BlockKind::Shr,    BlockKind::Rol,    BlockKind::Ror,   BlockKind::BitTst,
    BlockKind::BitSet, BlockKind::BitClr, BlockKind::BitPos, BlockKind::Move,  BlockKind::BlkMv,
    BlockKind::BlkClr, BlockKind::Shfr,   BlockKind::BitSeq, BlockKind::ComRq, BlockKind::SrhEq,
    BlockKind::SrhNe,  BlockKind::SrhGt,  BlockKind::SrhGe,  BlockKind::SrhLt, BlockKind::SrhLe,
    BlockKind::ArrMv,  BlockKind::ToBcd,  BlockKind::ToInt,  BlockKind::Call,  BlockKind::DoIo,
    BlockKind::SvcRq,
};

/// Returns the fixed number of a kind.
[[nodiscard]] constexpr int kindNumber(BlockKind kind) {
    return static_cast<int>(kind);
}

/// The largest number a block kind has.
inline constexpr int kLastBlockKindNumber = [] {
    int last = 0;
    for (const BlockKind kind : kBlockKinds) {
        last = kindNumber(kind) > last ? kindNumber(kind) : last;
    }
    return last;
}();

namespace detail {
// Indexed by number: true where a kind has it, so that a number read from a program or a file
// is checked in one step.
inline constexpr std::array<bool, kLastBlockKindNumber + 1> kIsKindNumber = [] {
    std::array<bool, kLastBlockKindNumber + 1> table{};
    for (const BlockKind kind : kBlockKinds) {
        table[static_cast<std::size_t>(kindNumber(kind))] = true;
    }
    return table;
}();
}  // namespace detail

/// Returns the kind with number `number`, or nothing when no block kind has it.
[[nodiscard]] constexpr std::optional<BlockKind> blockKindOf(std::int32_t number) {
    if (number < 0 || number > kLastBlockKindNumber ||
        !detail::kIsKindNumber[static_cast<std::size_t>(number)]) {
        return std::nullopt;
    }
    return static_cast<BlockKind>(number);
}

}  // namespace document
