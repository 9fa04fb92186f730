// The interpreter program: its word constants, the program store handed from the translator to
// the controller, and a decoder that turns the words into readable instructions.
#pragma once

#include "operands/memory_area.h"
#include "operands/operand_syntax.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plc {

using ProgramWord = std::int32_t;

// Instruction codes, read where an instruction is expected.
inline constexpr ProgramWord kLoad = -1;
inline constexpr ProgramWord kLoadNot = -2;
inline constexpr ProgramWord kAnd = -3;
inline constexpr ProgramWord kAndNot = -4;
inline constexpr ProgramWord kOrStack = -5;
inline constexpr ProgramWord kAndStack = -6;
inline constexpr ProgramWord kCoil = -7;
inline constexpr ProgramWord kBlock = -8;
inline constexpr ProgramWord kControl = -9;
inline constexpr ProgramWord kEnd = -255;

// First word of an address operand: the area code, as the area table gives it.
inline constexpr ProgramWord kAreaI = operands::memoryArea("I").code;
inline constexpr ProgramWord kAreaQ = operands::memoryArea("Q").code;
inline constexpr ProgramWord kAreaS = operands::memoryArea("S").code;
inline constexpr ProgramWord kAreaG = operands::memoryArea("G").code;
inline constexpr ProgramWord kAreaT = operands::memoryArea("T").code;
inline constexpr ProgramWord kAreaM = operands::memoryArea("M").code;
inline constexpr ProgramWord kAreaAI = operands::memoryArea("AI").code;
inline constexpr ProgramWord kAreaAQ = operands::memoryArea("AQ").code;
inline constexpr ProgramWord kAreaR = operands::memoryArea("R").code;

inline constexpr ProgramWord kConstant = -25;     ///< followed by the constant's value
inline constexpr ProgramWord kLength = -26;       ///< followed by the LEN value
inline constexpr ProgramWord kEndOfInput = -100;  ///< closes a power-flow input

// Data-type words.
inline constexpr ProgramWord kTypeBit = -40;
inline constexpr ProgramWord kTypeByte = -41;
inline constexpr ProgramWord kTypeWord = -42;
inline constexpr ProgramWord kTypeInt = -43;
inline constexpr ProgramWord kTypeDint = -44;

/// Returns the data-type word of a type; 0 for BCD4, which no program word names.
[[nodiscard]] constexpr ProgramWord typeWordOf(operands::DataType type) {
    switch (type) {
        case operands::DataType::Bit: return kTypeBit;
        case operands::DataType::Byte: return kTypeByte;
        case operands::DataType::Word: return kTypeWord;
        case operands::DataType::Int: return kTypeInt;
        case operands::DataType::Dint: return kTypeDint;
        case operands::DataType::Bcd4: return 0;
    }
    return 0;
}

// Time-base words of the timers.
inline constexpr ProgramWord kTimeBase10ms = -46;
inline constexpr ProgramWord kTimeBase100ms = -47;
inline constexpr ProgramWord kTimeBase1s = -48;

// Coil codes, after kCoil.
inline constexpr ProgramWord kCoilNormal = 3;             ///< -( )-
inline constexpr ProgramWord kCoilSetRetentive = 4;       ///< -(SM)-
inline constexpr ProgramWord kCoilResetRetentive = 5;     ///< -(RM)-
inline constexpr ProgramWord kCoilNegatedRetentive = 10;  ///< -(/M)-
inline constexpr ProgramWord kCoilNegated = 11;           ///< -(/)-
inline constexpr ProgramWord kCoilRetentive = 12;         ///< -(M)-
inline constexpr ProgramWord kCoilSet = 13;               ///< -(S)-
inline constexpr ProgramWord kCoilReset = 14;             ///< -(R)-
inline constexpr ProgramWord kCoilPositive = 15;          ///< -(^)-, followed by its edge index
inline constexpr ProgramWord kCoilNegative = 16;          ///< -(v)-, followed by its edge index

// Control codes, after kControl.
inline constexpr ProgramWord kControlMcr = 71;
inline constexpr ProgramWord kControlEndMcr = 72;
inline constexpr ProgramWord kControlJump = 73;
inline constexpr ProgramWord kControlLabel = 74;

// Function-block codes, after kBlock: the numbers of document::BlockKind
// ("document/block_kind.h").

/// The largest number of words the translator writes, the end marker not counted.
inline constexpr std::size_t kMaxProgramWords = 5000;
/// Edge and timer tables of this many entries are accepted for any program, however short:
/// programs written by hand come with tables of a fixed size.
inline constexpr std::int64_t kMinTableLimit = 64;

/// The interpreter program store: the words (the last one normally the end marker) and the
/// sizes of the controller's edge and timer tables. Filled by the translation driver and handed
/// on by value to whoever runs or lists it.
class Program {
public:
    Program() = default;
    /// A store holding `words` and the two counts as given.
    Program(std::vector<ProgramWord> words, std::int32_t edgeCount, std::int32_t timerCount);

    /// Makes room for `count` words, all kEnd; returns false if the memory cannot be had.
    [[nodiscard]] bool allocateWords(std::size_t count);
    /// Stores `word` at `index`; an index outside the store is ignored.
    void setWord(std::size_t index, ProgramWord word);
    /// Records the number of edge-triggered coils and of timer blocks.
    void setTableSizes(std::int32_t edgeCount, std::int32_t timerCount);
    /// Frees the words; the counts return to 0.
    void clear();

    /// The words, in order.
    [[nodiscard]] std::span<const ProgramWord> words() const { return m_words; }
    /// The number of words.
    [[nodiscard]] std::size_t size() const { return m_words.size(); }
    /// True when the store holds no words.
    [[nodiscard]] bool empty() const { return m_words.empty(); }
    /// The number of -(^)- and -(v)- coils (`edgeCount`).
    [[nodiscard]] std::int32_t edgeCount() const { return m_edgeCount; }
    /// The number of ONDTR and TMR blocks (`timerCount`).
    [[nodiscard]] std::int32_t timerCount() const { return m_timerCount; }

private:
    std::vector<ProgramWord> m_words;
    std::int32_t m_edgeCount = 0;
    std::int32_t m_timerCount = 0;
};

/// One instruction of a decoded program.
struct DecodedInstruction {
    std::size_t first = 0;  ///< index of its first word
    std::size_t count = 0;  ///< number of words it spans
    std::string text;       ///< readable form, e.g. "LOAD %I0001" or "ADD INT %R0001, 5 -> %R0003"
};

/// Decodes `words` from word 0 the way the engine reads them, to the first end marker or the
/// end of the words; the end marker is the last instruction, text "END". Operands read as
/// addresses print as references ("%M0017", "%R0003"); an area code the controller does not
/// know prints as "?" followed by the code, byte offset and bit. A power-flow input inside a
/// block prints as its instructions in brackets.
[[nodiscard]] std::vector<DecodedInstruction> decodeProgram(std::span<const ProgramWord> words);

/// The decoded program, one instruction a line: index, a colon, a blank and the text.
[[nodiscard]] std::string formatProgram(std::span<const ProgramWord> words);

/// What can be wrong with the words of a program.
enum class ProgramFault : int {
    None = 0,
    UnknownInstruction,  ///< an instruction begins with a word that is no instruction code
    UnknownCoil,         ///< a coil code no coil has
    UnknownBlock,        ///< a block code no function block has
    UnknownControl,      ///< a control code other than MCR, ENDMCR, JUMP and LABEL
    UnknownArea,         ///< an address begins with a word that is no area code
    OutsideArea,         ///< an address's byte offset or bit number lies outside its area
    ConstantAsAddress,   ///< a constant where the block writes or reads an address
    BadInputWord,        ///< a power-flow input holds a word that is no logic instruction
    BadType,             ///< a data-type word the block does not take
    BadTimeBase,         ///< a time-base word other than -46, -47 and -48
    MissingLength,       ///< no length marker -26 where the block's LEN stands
    TableIndex,          ///< an edge or timer index outside the program's table
    MissingLabel,        ///< a JUMP to a label number no LABEL carries
    CutOff,              ///< an instruction whose words run past the program's end marker
    MissingEnd,          ///< the program's last instruction is not the end marker
};

/// The first fault of a program and the index of the word at fault.
struct ProgramCheck {
    ProgramFault fault = ProgramFault::None;
    std::size_t index = 0;  ///< the word at fault; the number of words for MissingEnd
};

/// Reads every instruction of `program` as the decoder and the engine read them, from word 0
/// to the last word (past an end marker in the middle, which a JUMP may lead beyond), and
/// returns the first fault: each word an instruction code where one begins, every code known,
/// every address inside its area, every edge and timer index inside the program's tables, a
/// LABEL for every JUMP, and the end marker as the last instruction. A program the translator
/// wrote has no fault.
[[nodiscard]] ProgramCheck checkProgram(const Program& program);

/// Returns what a fault means, in Polish (UTF-8): "nieznany kod instrukcji"; empty for None.
[[nodiscard]] std::string_view programFaultText(ProgramFault fault);

}  // namespace plc
