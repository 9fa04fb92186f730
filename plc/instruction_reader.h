// Reads the words of an interpreter program the way the controller runs them: where each
// instruction begins and ends, the logic instructions of a power-flow input, and the parts of a
// function block as its layout ("plc/block_layout.h") lays them out. The decoder, the program
// checker and the live view's map all walk a program through it, so that none of them can
// disagree with another about where an instruction ends.
#pragma once

#include "plc/block_layout.h"
#include "plc/program.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>

namespace plc {

/// What an instruction is, by its first word.
enum class InstructionKind : std::uint8_t {
    Contact,  ///< LOAD, LOAD NOT, AND, AND NOT (-1 .. -4): the code and an address
    Stack,    ///< OR (S), AND (S) (-5, -6): the code alone
    Coil,     ///< -7, the coil code, an edge index for -(^)- and -(v)-, an address
    Block,    ///< -8, the block code, the enable input and the parts of the block's layout
    Control,  ///< -9, the control code and its number
    End,      ///< the end marker alone
    Unknown,  ///< any other word, read alone
};

/// One instruction, or one logic instruction of a power-flow input.
struct Instruction {
    InstructionKind kind = InstructionKind::Unknown;
    ProgramWord code = 0;     ///< its first word
    std::size_t first = 0;    ///< the index of its first word
    std::size_t end = 0;      ///< the index after its last word; past the words for one cut off
    std::size_t operand = 0;  ///< contacts and coils: the index of their address; else `end`
};

/// A power-flow input: logic instructions up to a closing -100, or up to an end marker that
/// cuts it short (the end marker is not part of it).
struct Input {
    std::size_t first = 0;  ///< the index of its first word
    std::size_t end = 0;    ///< the index after its -100, or of the end marker that cut it short
    bool cutShort = false;  ///< an end marker stands where the -100 should
};

/// One part of a function block after its enable input.
struct BlockPart {
    LayoutItem item = LayoutItem::Operand;  ///< how its words are read
    std::size_t first = 0;                  ///< the index of its first word
    std::size_t end = 0;                    ///< the index after its last word
    std::uint8_t source = 0;                ///< the item of the block's description it belongs to
    std::uint8_t repeat = 0;                ///< which of that item's parts it is, 0 for the first
};

/// Reads instructions from a program's words. Past the last word every word reads as an end
/// marker, as the controller's padded copy reads: an instruction cut off by the end of the
/// words still has its full length. Holds the words by reference; they must outlive it.
class InstructionReader {
public:
    explicit InstructionReader(std::span<const ProgramWord> words) : m_words(words) {}

    /// The word at `index`; the end marker past the last word.
    [[nodiscard]] ProgramWord word(std::size_t index) const {
        return index < m_words.size() ? m_words[index] : kEnd;
    }
    /// The number of words.
    [[nodiscard]] std::size_t size() const { return m_words.size(); }

    /// The instruction whose first word is at `first`, as the scan reads it.
    [[nodiscard]] Instruction instructionAt(std::size_t first) const;
    /// The logic instruction of a power-flow input at `first`: a contact, OR (S), AND (S), or
    /// any other word alone as Unknown (a coil code among them reads as one word).
    [[nodiscard]] Instruction stepAt(std::size_t first) const;
    /// The power-flow input that starts at `first`.
    [[nodiscard]] Input inputAt(std::size_t first) const;
    /// The enable input of a block instruction.
    [[nodiscard]] Input enableInput(const Instruction& block) const {
        return inputAt(block.first + 2);
    }
    /// The index after the operand at `first`: a constant is two words, an address three.
    [[nodiscard]] std::size_t operandEnd(std::size_t first) const {
        return first + (word(first) == kConstant ? 2u : 3u);
    }

    template <typename Cursor>
    class Range;
    class InstructionCursor;
    class StepCursor;
    class PartCursor;

    /// Every instruction from word 0 on, each starting where the one before ended, until one
    /// would start past the last word; an end marker in the middle does not stop them.
    [[nodiscard]] Range<InstructionCursor> instructions() const;
    /// The logic instructions of `input`, its closing -100 not among them.
    [[nodiscard]] Range<StepCursor> steps(const Input& input) const;
    /// The parts of the block instruction `block` after its enable input, in its layout's
    /// order. An optional operand that is absent has no part, and after a data-type word the
    /// block does not take (a TypeOrEnd item) there are none: the block ends there.
    [[nodiscard]] Range<PartCursor> parts(const Instruction& block) const;
    /// The index after the block instruction's last part.
    [[nodiscard]] std::size_t blockEnd(std::size_t first) const;

private:
    std::span<const ProgramWord> m_words;
};

/// A forward range over what a cursor reads, for range-for.
template <typename Cursor>
class InstructionReader::Range {
public:
    explicit Range(Cursor start) : m_start(start) {}

    class iterator {
    public:
        using value_type = typename Cursor::value_type;
        using difference_type = std::ptrdiff_t;

        iterator() = default;
        explicit iterator(Cursor cursor) : m_cursor(cursor) {}
        const value_type& operator*() const { return m_cursor.current(); }
        const value_type* operator->() const { return &m_cursor.current(); }
        iterator& operator++() {
            m_cursor.advance();
            return *this;
        }
        iterator operator++(int) {
            iterator before = *this;
            m_cursor.advance();
            return before;
        }
        friend bool operator==(const iterator& it, std::default_sentinel_t) {
            return it.m_cursor.done();
        }

    private:
        Cursor m_cursor;
    };

    [[nodiscard]] iterator begin() const { return iterator(m_start); }
    [[nodiscard]] std::default_sentinel_t end() const { return {}; }

private:
    Cursor m_start;
};

/// Steps through the instructions of a program.
class InstructionReader::InstructionCursor {
public:
    using value_type = Instruction;
    InstructionCursor() = default;
    explicit InstructionCursor(const InstructionReader& reader);
    [[nodiscard]] const Instruction& current() const { return m_current; }
    [[nodiscard]] bool done() const { return m_reader == nullptr; }
    void advance();

private:
    const InstructionReader* m_reader = nullptr;
    Instruction m_current;
};

/// Steps through the logic instructions of one input.
class InstructionReader::StepCursor {
public:
    using value_type = Instruction;
    StepCursor() = default;
    StepCursor(const InstructionReader& reader, const Input& input);
    [[nodiscard]] const Instruction& current() const { return m_current; }
    [[nodiscard]] bool done() const { return m_reader == nullptr; }
    void advance();

private:
    void readAt(std::size_t first);

    const InstructionReader* m_reader = nullptr;
    std::size_t m_stop = 0;
    Instruction m_current;
};

/// Steps through the parts of one block.
class InstructionReader::PartCursor {
public:
    using value_type = BlockPart;
    PartCursor() = default;
    PartCursor(const InstructionReader& reader, ProgramWord code, std::size_t first);
    [[nodiscard]] const BlockPart& current() const { return m_current; }
    [[nodiscard]] bool done() const { return m_reader == nullptr; }
    void advance();

private:
    const InstructionReader* m_reader = nullptr;
    const BlockLayout* m_layout = nullptr;
    std::size_t m_item = 0;  // the layout item to read next
    std::size_t m_next = 0;  // the index of its first word
    BlockPart m_current;
};

inline InstructionReader::Range<InstructionReader::InstructionCursor>
InstructionReader::instructions() const {
    return Range<InstructionCursor>(InstructionCursor(*this));
}

inline InstructionReader::Range<InstructionReader::StepCursor> InstructionReader::steps(
    const Input& input) const {
    return Range<StepCursor>(StepCursor(*this, input));
}

inline InstructionReader::Range<InstructionReader::PartCursor> InstructionReader::parts(
    const Instruction& block) const {
    return Range<PartCursor>(PartCursor(*this, word(block.first + 1), enableInput(block).end));
}

}  // namespace plc
