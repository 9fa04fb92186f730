// Remarks on a program that translated: it runs, but a part of it most likely does not do what
// was drawn (blocks sharing working registers, a word tested bit by bit, a jump back).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace translator {

/// One remark, at the cell it is about.
struct TranslationWarning {
    int row = 0;       ///< 0-based
    int col = 0;       ///< 0-based
    std::string text;  ///< UTF-8, without the position

    friend bool operator==(const TranslationWarning&, const TranslationWarning&) = default;
};

/// Returns the line shown for a remark: "Uwaga (w3k5): " and its text (UTF-8).
[[nodiscard]] std::string warningReportText(const TranslationWarning& warning);

/// What the translator noted while it wrote a program, for the remarks on it. Memory spans are
/// bytes [start, end) of one area, named by its area code.
class WarningNotes {
public:
    /// A timer's, counter's or BITSEQ's three working registers from `reg` (a normal-form
    /// address), used by the block whose top cell is `block`.
    void registers(int block, std::string_view blockName, std::string_view reg,
                   std::int32_t areaCode, std::int32_t start, std::int32_t end);
    /// An operand `operand` in cell `cell` that the block at `block` writes: its item `label`,
    /// an output or an input the block writes into.
    void output(int cell, int block, std::string_view blockName, std::string_view label,
                bool isOutput, std::string_view operand, std::int32_t areaCode, std::int32_t start,
                std::int32_t end);
    /// Widens the span of the last output noted by `bytes` (the words a block writes after it).
    void widenLastOutput(std::int32_t bytes);
    /// A contact or coil in `cell` whose operand names a word.
    void wordBit(int cell, bool coil, std::string_view operand);
    /// A JUMP or LABEL (CP1250 `label`) in `cell` written at program word `word`.
    void control(int cell, bool jump, std::string_view label, std::size_t word);

    /// Returns the remarks, ordered by their cells (row, then column).
    [[nodiscard]] std::vector<TranslationWarning> warnings() const;

private:
    struct Span {
        int cell = 0;
        int block = 0;
        std::string blockName;
        std::string label;
        std::string operand;
        std::int32_t areaCode = 0;
        std::int32_t start = 0;
        std::int32_t end = 0;
        bool isOutput = true;
    };
    struct WordBit {
        int cell = 0;
        bool coil = false;
        std::string operand;
    };
    struct Control {
        int cell = 0;
        bool jump = false;
        std::string label;
        std::size_t word = 0;
    };

    std::vector<Span> m_registers;
    std::vector<Span> m_outputs;
    std::vector<WordBit> m_wordBits;
    std::vector<Control> m_controls;
};

}  // namespace translator
