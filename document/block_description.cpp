// The one table of function blocks.
#include "document/block_description.h"

#include <algorithm>

namespace document {

namespace {

using operands::DataType;
using C = OperandCheck;

// The operand checks' area sets.
constexpr operands::AreaSet kUserAreas =
    operands::areaSet({"I", "Q", "M", "T", "G", "R", "AI", "AQ"});
constexpr operands::AreaSet kWordAreas = operands::areaSet({"R", "AI", "AQ"});
constexpr operands::AreaSet kSystemParts = operands::areaSet({"SA", "SB", "SC"});
constexpr operands::AreaSet kSystemAreas = operands::unite(kSystemParts, operands::areaSet({"S"}));

// An operand's check: its own, or one the block's data type brings.
struct CheckFrom {
    constexpr CheckFrom(OperandCheck fixed) : check(fixed) {}  // NOLINT: written as a check
    constexpr CheckFrom(CheckSource typed) : source(typed) {}  // NOLINT: written as a source
    OperandCheck check = OperandCheck::Value;
    CheckSource source = CheckSource::Fixed;
};

constexpr CheckSource kFirst = CheckSource::TypeFirst;
constexpr CheckSource kSecond = CheckSource::TypeSecond;

using R = ValueRange;

constexpr BlockItem powerFlow(int row, std::string_view label) {
    return {ItemKind::PowerFlow, row, Side::Left, C::Value, CheckSource::Fixed, label, 0};
}
constexpr BlockItem item(ItemKind kind, int row = 0) {
    return {kind, row, Side::Left, C::Value, CheckSource::Fixed, {}, 0};
}
constexpr BlockItem preset(int row) {
    return {ItemKind::Preset, row, Side::Left, C::Value, CheckSource::Fixed, {}, 0, R::Preset};
}
constexpr BlockItem left(int row, CheckFrom from, std::string_view label,
                         ValueRange range = R::OfType) {
    return {ItemKind::Operand, row, Side::Left, from.check, from.source, label, 0, range};
}
constexpr BlockItem right(int row, CheckFrom from, std::string_view label) {
    return {ItemKind::Operand, row, Side::Right, from.check, from.source, label, 0};
}
constexpr BlockItem optional(int row, OperandCheck check, std::string_view label) {
    return {ItemKind::OptionalOperand, row, Side::Left, check, CheckSource::Fixed, label, 0};
}
constexpr BlockItem output(std::string_view label, int row) {
    return {ItemKind::Output, row, Side::Right, C::Value, CheckSource::Fixed, label, 0};
}

// Items.
constexpr BlockItem kOnDelayTimer[] = {powerFlow(1, "reset"),
                                       item(ItemKind::TimerIndex),
                                       item(ItemKind::TimeBase, 1),
                                       item(ItemKind::Register, 2),
                                       preset(2),
                                       item(ItemKind::RegisterAgain),
                                       output("Q:", 0)};
constexpr BlockItem kTimer[] = {item(ItemKind::TimerIndex),    item(ItemKind::TimeBase, 1),
                                item(ItemKind::Register, 1),   preset(1),
                                item(ItemKind::RegisterAgain), output("Q:", 0)};
constexpr BlockItem kCounter[] = {powerFlow(1, "reset"), item(ItemKind::Register, 2), preset(2),
                                  item(ItemKind::RegisterAgain), output("Q:", 0)};
constexpr BlockItem kArithmetic[] = {item(ItemKind::DataType), left(1, kFirst, "I1"),
                                     left(2, kFirst, "I2"), right(1, kSecond, "Q"),
                                     output("ok:", 0)};
constexpr BlockItem kSquareRoot[] = {item(ItemKind::DataType), left(1, kFirst, "IN"),
                                     right(1, kSecond, "Q"), output("ok:", 0)};
constexpr BlockItem kRelation[] = {item(ItemKind::DataType), left(1, kFirst, "I1"),
                                   left(2, kFirst, "I2"), output("Q:", 1)};
constexpr BlockItem kWordLogic[] = {item(ItemKind::DataType), left(1, C::BitString, "I1"),
                                    left(2, C::BitString, "I2"), right(1, C::BitStringOut, "Q"),
                                    output("ok:", 0)};
constexpr BlockItem kWordNot[] = {item(ItemKind::DataType), left(1, C::BitString, "I1"),
                                  right(1, C::BitStringOut, "Q"), output("ok:", 0)};
constexpr BlockItem kShift[] = {item(ItemKind::DataType),
                                item(ItemKind::Length, 2),
                                left(1, C::BitStringAddress, "IN"),
                                left(2, C::Value, "N", R::ShiftCount),
                                powerFlow(3, "B1"),
                                right(2, C::BitStringOut, "Q"),
                                output("B2:", 1)};
constexpr BlockItem kRotate[] = {
    item(ItemKind::DataType),           item(ItemKind::Length, 2),
    left(1, C::BitStringAddress, "IN"), left(2, C::Value, "N", R::ShiftCount),
    right(1, C::BitStringOut, "Q"),     output("ok:", 0)};
constexpr BlockItem kBitTest[] = {item(ItemKind::DataType), item(ItemKind::Length, 2),
                                  left(1, C::BitStringAddress, "IN"),
                                  left(2, C::Value, "BIT", R::BitNumber), output("Q:", 1)};
constexpr BlockItem kBitWrite[] = {item(ItemKind::DataType), item(ItemKind::Length, 2),
                                   left(1, C::WritableBitString, "IN"),
                                   left(2, C::Value, "BIT", R::BitNumber), output("ok:", 0)};
constexpr BlockItem kBitPosition[] = {item(ItemKind::DataType), item(ItemKind::Length, 2),
                                      left(1, C::BitStringAddress, "IN"),
                                      right(2, C::ValueOut, "POS"), output("ok:", 0)};
constexpr BlockItem kMove[] = {item(ItemKind::DataType), item(ItemKind::Length, 1),
                               left(1, kFirst, "IN"), right(1, kSecond, "Q"), output("ok:", 0)};
constexpr BlockItem kBlockMove[] = {
    item(ItemKind::DataType),
    left(1, C::Constant, "IN1"),
    left(2, C::Constant, "IN2"),
    left(3, C::Constant, "IN3"),
    left(4, C::Constant, "IN4"),
    left(5, C::Constant, "IN5"),
    left(6, C::Constant, "IN6"),
    left(7, C::Constant, "IN7"),
    right(1, kSecond, "Q"),
    {ItemKind::FollowingWords, 1, Side::Right, C::Value, CheckSource::Fixed, {}, 6},
    output("ok:", 0)};
constexpr BlockItem kBlockClear[] = {item(ItemKind::DataType), item(ItemKind::Length, 1),
                                     left(1, C::BitString, "IN"), output("ok:", 0)};
constexpr BlockItem kShiftRegister[] = {item(ItemKind::DataType),
                                        item(ItemKind::Length, 2),
                                        powerFlow(1, "R"),
                                        left(2, C::BitString, "IN"),
                                        left(3, C::WritableBitString, "ST"),
                                        right(1, C::BitStringOut, "Q"),
                                        output("ok:", 0)};
constexpr BlockItem kBitSequencer[] = {item(ItemKind::Register, 4),
                                       powerFlow(1, "R"),
                                       powerFlow(2, "DIR"),
                                       optional(3, C::Value, "STEP"),
                                       optional(4, C::BitStringOut, "ST"),
                                       output("ok:", 0)};
// Each input is read beside the row that is labelled with it: IN, SYSID, TASK.
constexpr BlockItem kCommRequest[] = {left(1, C::WordAddress, "IN"), left(2, C::Value, "SYSID"),
                                      left(3, C::WordValue, "TASK"), output("FT:", 1)};
constexpr BlockItem kSearch[] = {item(ItemKind::DataType), item(ItemKind::Length, 2),
                                 left(1, kFirst, "AR"),    left(2, C::Value, "NXWE", R::Start),
                                 left(3, kSecond, "IN"),   right(2, C::ValueOut, "NXWY"),
                                 output("FD:", 1)};
constexpr BlockItem kArrayMove[] = {item(ItemKind::DataType),
                                    item(ItemKind::Length, 2),
                                    left(1, kFirst, "SR"),
                                    left(2, C::Value, "SNX", R::Index),
                                    left(3, C::Value, "DNX", R::Index),
                                    left(4, C::Value, "N", R::Count),
                                    right(1, kSecond, "DS"),
                                    output("ok:", 0)};
constexpr BlockItem kConversion[] = {item(ItemKind::DataType), left(1, C::Value, "IN", R::Bcd),
                                     right(1, C::ValueOut, "Q"), output("ok:", 0)};
constexpr BlockItem kCall[] = {
    {ItemKind::CallName, 0, Side::Right, C::Value, CheckSource::Fixed, {}, 0}};

// Data types.
constexpr TypeForm kIntOrDint[] = {{DataType::Int, C::Value, C::ValueOut},
                                   {DataType::Dint, C::WordValue, C::WordValueOut}};
constexpr TypeForm kWordOnly[] = {{DataType::Word}};
constexpr TypeForm kMoveTypes[] = {{DataType::Bit, C::BitString, C::BitStringOut},
                                   {DataType::Word, C::BitString, C::BitStringOut},
                                   {DataType::Int, C::Value, C::ValueOut}};
constexpr TypeForm kBlockMoveTypes[] = {{DataType::Word, C::Constant, C::BitStringOut},
                                        {DataType::Int, C::Constant, C::ValueOut}};
constexpr TypeForm kBitOrWord[] = {{DataType::Bit}, {DataType::Word}};
constexpr TypeForm kSearchTypes[] = {{DataType::Byte, C::BitStringAddress, C::BitString},
                                     {DataType::Word, C::BitStringAddress, C::BitString},
                                     {DataType::Int, C::UserAddress, C::Value},
                                     {DataType::Dint, C::WordAddress, C::WordValue}};
constexpr TypeForm kArrayTypes[] = {{DataType::Bit, C::WritableBitString, C::BitStringOut},
                                    {DataType::Byte, C::WritableBitString, C::BitStringOut},
                                    {DataType::Word, C::WritableBitString, C::BitStringOut},
                                    {DataType::Int, C::UserAddress, C::BitStringOut},
                                    {DataType::Dint, C::WordAddress, C::WordValueOut}};
constexpr TypeForm kIntOnly[] = {{DataType::Int}};
constexpr TypeForm kBcd4Only[] = {{DataType::Bcd4}};

// Arithmetic and relations read any text but INT as DINT; the word blocks any text as their
// one type; MOVE, the searches and ARRAY_MOVE have no items for a type they do not take.
constexpr BlockTyping kUntyped{};
constexpr BlockTyping kNumeric{kIntOrDint, 1, true};
constexpr BlockTyping kWordTyped{kWordOnly, 0, true};
constexpr BlockTyping kMoveTyping{kMoveTypes, -1, true};
constexpr BlockTyping kBlockMoveTyping{kBlockMoveTypes, 0, true};
constexpr BlockTyping kShiftRegisterTyping{kBitOrWord, 0, true};
constexpr BlockTyping kSearchTyping{kSearchTypes, -1, true};
constexpr BlockTyping kArrayTyping{kArrayTypes, -1, true};
constexpr BlockTyping kToBcdTyping{kIntOnly, 0, false};
constexpr BlockTyping kToIntTyping{kBcd4Only, 0, false};

constexpr std::span<const BlockItem> kNoItems{};

using K = BlockKind;

constexpr BlockDescription kBlocks[] = {
    {K::Ondtr,
     {17, "ONDTR", 'A', {"#NONDTR#", "#LR#Ttime#", "#LPV#Gaddress#"}},
     "ONDTR",
     kUntyped,
     kOnDelayTimer},
    {K::Tmr, {18, "TMR", 'D', {"#NTMR#", "#LPV#Gaddress#Ttime#"}}, "TMR", kUntyped, kTimer},
    {K::UpCtr,
     {19, "UPCTR", 'A', {"#NUPCTR#", "#LR#", "#LPV#Gaddress#"}},
     "UPCTR",
     kUntyped,
     kCounter},
    {K::DnCtr,
     {20, "DNCTR", 'A', {"#NDNCTR#", "#LR#", "#LPV#Gaddress#"}},
     "DNCTR",
     kUntyped,
     kCounter},
    {K::Add, {21, "ADD", 'B', {"#NADD#", "#LI1#PQ#TINT#", "#LI2#"}}, "ADD", kNumeric, kArithmetic},
    {K::Sub, {22, "SUB", 'B', {"#NSUB#", "#LI1#PQ#TINT#", "#LI2#"}}, "SUB", kNumeric, kArithmetic},
    {K::Mul, {23, "MUL", 'B', {"#NMUL#", "#LI1#PQ#TINT#", "#LI2#"}}, "MUL", kNumeric, kArithmetic},
    {K::Div, {24, "DIV", 'B', {"#NDIV#", "#LI1#PQ#TINT#", "#LI2#"}}, "DIV", kNumeric, kArithmetic},
    {K::Mod, {25, "MOD", 'B', {"#NMOD#", "#LI1#PQ#TINT#", "#LI2#"}}, "MOD", kNumeric, kArithmetic},
    {K::Sqrt, {26, "SQRT", 'C', {"#NSQRT#", "#LIN#PQ#TINT#"}}, "SQRT", kNumeric, kSquareRoot},
    {K::Eq, {27, "EQ", 'E', {"#NEQ#", "#LI1#PQ#TINT#", "#LI2#"}}, "EQ", kNumeric, kRelation},
    {K::Ne, {28, "NE", 'E', {"#NNE#", "#LI1#PQ#TINT#", "#LI2#"}}, "NE", kNumeric, kRelation},
    {K::Gt, {29, "GT", 'E', {"#NGT#", "#LI1#PQ#TINT#", "#LI2#"}}, "GT", kNumeric, kRelation},
    {K::Ge, {30, "GE", 'E', {"#NGE#", "#LI1#PQ#TINT#", "#LI2#"}}, "GE", kNumeric, kRelation},
    {K::Lt, {31, "LT", 'E', {"#NLT#", "#LI1#PQ#TINT#", "#LI2#"}}, "LT", kNumeric, kRelation},
    {K::Le, {32, "LE", 'E', {"#NLE#", "#LI1#PQ#TINT#", "#LI2#"}}, "LE", kNumeric, kRelation},
    {K::And,
     {33, "AND", 'B', {"#NAND#", "#LI1#PQ#TWORD#", "#LI2#"}},
     "AND",
     kWordTyped,
     kWordLogic},
    {K::Or, {34, "OR", 'B', {"#NOR#", "#LI1#PQ#TWORD#", "#LI2#"}}, "OR", kWordTyped, kWordLogic},
    {K::Xor,
     {35, "XOR", 'B', {"#NXOR#", "#LI1#PQ#TWORD#", "#LI2#"}},
     "XOR",
     kWordTyped,
     kWordLogic},
    {K::Not, {36, "NOT", 'C', {"#NNOT#", "#LI1#PQ#TWORD#"}}, "NOT", kWordTyped, kWordNot},
    {K::Shl,
     {37, "SHL", 'H', {"#NSHL#", "#LIN#PB2#TWORD#", "#LN#PQ#D00001#", "#LB1#"}},
     "SHL",
     kWordTyped,
     kShift},
    {K::Shr,
     {38, "SHR", 'H', {"#NSHR#", "#LIN#PB2#TWORD#", "#LN#PQ#D00001#", "#LB1#"}},
     "SHR",
     kWordTyped,
     kShift},
    {K::Rol,
     {39, "ROL", 'B', {"#NROL#", "#LIN#PQ#TWORD#", "#LN#D00001#"}},
     "ROL",
     kWordTyped,
     kRotate},
    {K::Ror,
     {40, "ROR", 'B', {"#NROR#", "#LIN#PQ#TWORD#", "#LN#D00001#"}},
     "ROR",
     kWordTyped,
     kRotate},
    {K::BitTst,
     {41, "BITTST", 'B', {"#NBITTST#", "#LIN#PQ#TWORD#", "#LBIT#D00001#"}},
     "BITTST",
     kWordTyped,
     kBitTest},
    {K::BitSet,
     {42, "BITSET", 'A', {"#NBITSET#", "#LIN#TWORD#", "#LBIT#D00001#"}},
     "BITSET",
     kWordTyped,
     kBitWrite},
    {K::BitClr,
     {43, "BITCLR", 'A', {"#NBITCLR#", "#LIN#TWORD#", "#LBIT#D00001#"}},
     "BITCLR",
     kWordTyped,
     kBitWrite},
    {K::BitPos,
     {44, "BITPOS", 'F', {"#NBITPOS#", "#LIN#TWORD#", "#PPO#D00001#"}},
     "BITPOS",
     kWordTyped,
     kBitPosition},
    {K::Move, {45, "MOVE", 'C', {"#NMOVE#", "#LIN#TINT#PQ#D00001#"}}, "MOVE", kMoveTyping, kMove},
    {K::BlkMv,
     {46,
      "BLKMV",
      'J',
      {"#NBLKMV#", "#LI1#TINT#PQ#", "#LI2#", "#LI3#", "#LI4#", "#LI5#", "#LI6#", "#LI7#"}},
     "BLKMV",
     kBlockMoveTyping,
     kBlockMove},
    {K::BlkClr,
     {47, "BLKCLR", 'D', {"#NBLKCLR#", "#LIN#TWORD#D00001#"}},
     "BLKCLR",
     kWordTyped,
     kBlockClear},
    {K::Shfr,
     {48, "SHFR", 'I', {"#NSHFR#", "#LR#TWORD#PQ#", "#LIN#D00001#", "#LST#"}},
     "SHFR",
     kShiftRegisterTyping,
     kShiftRegister},
    {K::BitSeq,
     {49, "BITSEQ", 'G', {"#NBITSEQ#", "#LR#", "#LDIR#D00001#", "#LSTEP#", "#LST#Gaddress#"}},
     "BITSEQ",
     kUntyped,
     kBitSequencer},
    {K::ComRq,
     {50, "COMRQ", 'I', {"#NCOMRQ#", "#LIN#PFT#", "#LSYSID#", "#LTASK#"}},
     "COMRQ",
     kUntyped,
     kCommRequest},
    {K::SrhEq,
     {51, "SRH EQ", 'H', {"#NSRH EQ#", "#LAR#PFD#TINT#", "#LNX#PNX#D00001#", "#LIN#"}},
     "SRH EQ",
     kSearchTyping,
     kSearch},
    {K::SrhNe,
     {52, "SRH NE", 'H', {"#NSRH NE#", "#LAR#PFD#TINT#", "#LNX#PNX#D00001#", "#LIN#"}},
     "SRH NE",
     kSearchTyping,
     kSearch},
    {K::SrhGt,
     {53, "SRH GT", 'H', {"#NSRH GT#", "#LAR#PFD#TINT#", "#LNX#PNX#D00001#", "#LIN#"}},
     "SRH GT",
     kSearchTyping,
     kSearch},
    {K::SrhGe,
     {54, "SRH GE", 'H', {"#NSRH GE#", "#LAR#PFD#TINT#", "#LNX#PNX#D00001#", "#LIN#"}},
     "SRH GE",
     kSearchTyping,
     kSearch},
    {K::SrhLt,
     {55, "SRH LT", 'H', {"#NSRH LT#", "#LAR#PFD#TINT#", "#LNX#PNX#D00001#", "#LIN#"}},
     "SRH LT",
     kSearchTyping,
     kSearch},
    {K::SrhLe,
     {56, "SRH LE", 'H', {"#NSRH LE#", "#LAR#PFD#TINT#", "#LNX#PNX#D00001#", "#LIN#"}},
     "SRH LE",
     kSearchTyping,
     kSearch},
    {K::ArrMv,
     {57, "ARRMV", 'K', {"#NARRMV#", "#LSR#PDS#TINT#", "#LSNX#D00001#", "#LDNX#", "#LN#"}},
     "ARRAY_MOVE",
     kArrayTyping,
     kArrayMove},
    {K::ToBcd,
     {58, "TO BCD", 'C', {"#NTO BCD#", "#LIN#PQ#TINT#"}},
     "TO BCD",
     kToBcdTyping,
     kConversion},
    {K::ToInt,
     {59, "TO INT", 'C', {"#NTO INT#", "#LIN#PQ#TBCD4#"}},
     "TO INT",
     kToIntTyping,
     kConversion},
    {K::Call,
     {60, "CALL", 'M', {"#NCALL#", "#ZPROC1#", "#XSUBRO#", "#QUTINE#"}},
     "CALL",
     kUntyped,
     kCall},
    {K::DoIo,
     {61, "DO IO", 'L', {"#NDO IO#", "#LST#", "#LEND#", "#LALT#"}},
     "DO IO",
     kUntyped,
     kNoItems},
    {K::SvcRq, {66, "SVCRQ", 'A', {"#NSVCRQ#", "#LFNC#", "#LPARM#"}}, "SVCRQ", kUntyped, kNoItems},
};

// Every kind has its row, in the order of kBlockKinds, and every row names its own number.
constexpr bool tableMatchesKinds() {
    if (std::size(kBlocks) != kBlockKinds.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kBlockKinds.size(); ++i) {
        if (kBlocks[i].kind != kBlockKinds[i] ||
            kBlocks[i].placed.kind != kindNumber(kBlockKinds[i])) {
            return false;
        }
    }
    return true;
}
static_assert(tableMatchesKinds());

}  // namespace

CheckRule checkRule(OperandCheck check) {
    switch (check) {
        case OperandCheck::Value: return {true, false, kUserAreas};
        case OperandCheck::ValueOut: return {false, true, kUserAreas};
        case OperandCheck::WordValue: return {true, false, kWordAreas};
        case OperandCheck::WordValueOut: return {false, true, kWordAreas};
        case OperandCheck::BitString:
            return {true, false, operands::unite(kUserAreas, kSystemAreas)};
        case OperandCheck::BitStringOut:
            return {false, true, operands::unite(kUserAreas, kSystemParts)};
        case OperandCheck::BitStringAddress:
            return {false, false, operands::unite(kUserAreas, kSystemAreas)};
        case OperandCheck::WritableBitString:
            return {false, false, operands::unite(kUserAreas, kSystemParts)};
        case OperandCheck::WordAddress: return {false, false, kWordAreas};
        case OperandCheck::UserAddress: return {false, false, kUserAreas};
        case OperandCheck::Constant: return {true, false, 0};
    }
    return {false, false, 0};
}

ValueLimits typeLimits(operands::DataType type) {
    switch (type) {
        case DataType::Bit: return {0, 1};
        case DataType::Byte: return {0, 255};
        case DataType::Word: return {0, 65535};
        case DataType::Int: return {-32768, 32767};
        case DataType::Dint: return {-2147483648LL, 2147483647LL};
        case DataType::Bcd4: return {0, 9999};
    }
    return {0, 0};
}

ValueLimits constantLimits(const BlockItem& item, const TypeForm* form, std::int64_t length) {
    // Bits, positions and elements are counted in the LEN words or elements the block works on.
    const std::int64_t bits = 16 * length;
    switch (item.range) {
        case ValueRange::OfType: return typeLimits(form == nullptr ? DataType::Int : form->type);
        case ValueRange::Preset: return {0, 32767};
        case ValueRange::BitNumber: return {1, bits};
        case ValueRange::ShiftCount: return {0, bits};
        case ValueRange::Start: return {0, length};
        case ValueRange::Index: return {1, length};
        case ValueRange::Count: return {0, length};
        case ValueRange::Bcd: return typeLimits(DataType::Bcd4);
    }
    return {0, 0};
}

std::span<const BlockDescription> blockDescriptions() {
    return kBlocks;
}

const BlockDescription& describe(BlockKind kind) {
    const auto* it = std::lower_bound(
        std::begin(kBlocks), std::end(kBlocks), kind,
        [](const BlockDescription& d, BlockKind k) { return kindNumber(d.kind) < kindNumber(k); });
    return *it;
}

const TypeForm* typeFormFor(const BlockTyping& typing, std::string_view text) {
    for (const TypeForm& form : typing.forms) {
        if (operands::dataTypeWord(form.type) == text) {
            return &form;
        }
    }
    if (typing.fallback < 0) {
        return nullptr;
    }
    return &typing.forms[static_cast<std::size_t>(typing.fallback)];
}

OperandCheck checkOf(const BlockItem& item, const TypeForm* form) {
    switch (item.source) {
        case CheckSource::Fixed: return item.check;
        case CheckSource::TypeFirst: return form == nullptr ? item.check : form->first;
        case CheckSource::TypeSecond: return form == nullptr ? item.check : form->second;
    }
    return item.check;
}

bool alwaysAddress(const BlockItem& item, const BlockTyping& typing) {
    if (item.source == CheckSource::Fixed) {
        return !checkRule(item.check).constant;
    }
    return std::none_of(typing.forms.begin(), typing.forms.end(), [&item](const TypeForm& form) {
        return checkRule(checkOf(item, &form)).constant;
    });
}

}  // namespace document
