// The translator: turns the ladder grid into an instruction list and an interpreter program in
// one pass, rung by rung, stopping at the first broken ladder rule with its number and cell.
#pragma once

#include "document/block_description.h"
#include "translator/source_map.h"
#include "translator/translation_error.h"
#include "translator/translation_warning.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace translator {

/// Most listing lines and program words one translation may produce.
inline constexpr int kMaxLines = 5000;
inline constexpr int kMaxWords = 5000;
/// Depth of the two branch stacks.
inline constexpr int kStackSize = 20;
/// Rows and columns of the output table that hold outputs.
inline constexpr int kOutputGroups = 8;

/// The translator's state. Use: setJumpCount, setMcrCount, init, setCell for every cell,
/// Translate, then the error or the outputs, then release. Cell texts and listing lines are code
/// page 1250 bytes; the trace file is UTF-8.
class Translator {
public:
    Translator() = default;
    Translator(const Translator&) = delete;
    Translator& operator=(const Translator&) = delete;

    /// Sets the trace file used by the next `init`; without one (or with an empty path) no trace
    /// is written.
    void setTracePath(std::filesystem::path path) { m_tracePath = std::move(path); }
    /// Number of JUMP cells in the document (sizes the label table; more are accepted).
    void setJumpCount(int count) { m_jumpCount = count; }
    /// Number of MCR cells in the document.
    void setMcrCount(int count) { m_mcrCount = count; }
    /// Prepares an empty grid of `rowCount` rows, clears every output and opens the trace file.
    void init(int rowCount);
    /// Copies the code and text of one cell; positions outside the grid are ignored.
    void setCell(int row, int col, std::int32_t code, std::string_view text);
    /// Translates the grid; returns 0 on success and 1 on the first error.
    [[nodiscard]] int Translate();
    /// Frees the working state and closes the trace file.
    void release();
    /// Returns why the trace file of the last translation could not be opened or written in
    /// full; empty when it was, or when none was asked for.
    [[nodiscard]] std::error_code traceError() const { return m_traceError; }

    /// Returns the error number of the failed translation (0 when none).
    [[nodiscard]] int errorCode() const { return m_errorCode; }
    /// Returns the position (row * 10 + column) the error refers to.
    [[nodiscard]] int errorPos() const { return m_errorPos; }
    /// Returns listing line `i`, empty past the last one.
    [[nodiscard]] std::string line(int i) const;
    /// Returns the number of listing lines.
    [[nodiscard]] int lineCount() const { return static_cast<int>(m_lines.size()); }
    /// Returns the number of program words before the end word.
    [[nodiscard]] int wordCount() const { return static_cast<int>(m_words.size()); }
    /// Returns program word `i`; index `wordCount()` holds the end word -255.
    [[nodiscard]] std::int32_t word(int i) const;
    /// Returns the words 0 to `wordCount()`, the end word included.
    [[nodiscard]] std::vector<std::int32_t> programWords() const;
    /// Returns the listing lines.
    [[nodiscard]] const std::vector<std::string>& lines() const { return m_lines; }
    /// Returns the number of edge-triggered coils emitted.
    [[nodiscard]] std::int32_t edgeCount() const { return m_edgeCount; }
    /// Returns the number of ONDTR and TMR blocks emitted.
    [[nodiscard]] std::int32_t timerCount() const { return m_timerCount; }
    /// Returns the remarks on a program that translated, ordered by their cells; none after an
    /// error.
    [[nodiscard]] std::vector<TranslationWarning> warnings() const;
    /// Returns the cells the listing lines and the program words (the end word included) came
    /// from.
    [[nodiscard]] SourceMap sourceMap() const;

    // The node and segment analysis (translator/node_analysis.h) walks the same loaded grid with
    // the same cell relations; these are all it uses of the translator.

    /// The two byte flags per cell that the analysis keeps its direction marks in.
    enum class Mark : int { Emitted, Explored };
    /// Runs the rung search once from the first row; returns 0 when it found an output (or no
    /// rung), 1 on a broken rule. The output found is `firstOutput()`.
    [[nodiscard]] int findFirstRung() { return findBlockStart(); }
    /// Returns the position of the first output the rung search found, 0 when it found none.
    [[nodiscard]] int firstOutput() const;
    /// Returns the current position, row * 10 + column.
    [[nodiscard]] int position() const { return m_row * 10 + m_col; }
    /// Makes `pos` (row * 10 + column) the current cell.
    void setPosition(int pos);
    /// Returns the code of a cell; 0 outside the grid.
    [[nodiscard]] std::int32_t codeAt(int row, int col) const;
    /// Returns the text of a cell; empty outside the grid.
    [[nodiscard]] const std::string& textAt(int row, int col) const;
    /// Returns true when the current cell's vertical link joins the cell above.
    [[nodiscard]] bool linkUp() const;
    /// Returns true when the current cell's vertical link joins the cell below.
    [[nodiscard]] bool linkDown() const;
    /// Returns true when the current cell takes power from the cell on its left.
    [[nodiscard]] bool connectedLeft() const;
    /// Returns true when the current cell is a branch point; traces which kind.
    [[nodiscard]] bool rozgalezienie();
    /// Returns a cell's flag byte; 0 outside the grid.
    [[nodiscard]] std::uint8_t mark(Mark which, int row, int col) const;
    /// Sets a cell's flag byte; cells outside the grid are ignored.
    void setMark(Mark which, int row, int col, std::uint8_t value);

private:
    struct LabelEntry {
        std::string label;
        int pos = 0;
        bool matched = false;
    };
    enum class Move : int { Side = 0, Down = 1, Up = 2 };

    // Grid access; every reader treats cells outside the grid as empty.
    [[nodiscard]] bool inGrid(int row, int col) const;
    [[nodiscard]] std::int32_t code() const { return codeAt(m_row, m_col); }
    [[nodiscard]] const std::string& text() const { return textAt(m_row, m_col); }
    [[nodiscard]] std::size_t cellIndex(int row, int col) const;

    // Relations of the current cell.
    [[nodiscard]] bool connectedRight() const;

    // Outputs, trace and errors. Every line and word is noted as coming from the source cell.
    void trace(std::string_view text);
    void noteTraceFailure();
    void traceOutputTable();
    void addLine(std::string text);
    /// The rule that closes a rung or block; it comes from no cell.
    void addRule();
    void addWord(std::int32_t value);
    void addAddressWords(std::string_view operand);
    void fail(int code, int pos);
    void fail(int code) { fail(code, position()); }
    [[nodiscard]] bool failed() const { return m_errorCode != 0; }
    [[nodiscard]] int stepLimit() const;

    // Stacks; an empty stack reads 0 at its top.
    [[nodiscard]] std::int32_t topS() const;
    [[nodiscard]] std::int32_t topP() const;
    void pushS(std::int32_t value);
    void pushP(std::int32_t value);
    void popS();
    void popP();

    // Output table; an empty entry holds kNoOutput.
    static constexpr int kNoOutput = -1;
    [[nodiscard]] int& output(int group, int index) {
        return m_outputTable[static_cast<std::size_t>(group)][static_cast<std::size_t>(index)];
    }
    void clearOutputTable();

    // Translation steps.
    [[nodiscard]] int checkOperands();
    [[nodiscard]] int resolveLabels();
    [[nodiscard]] int findBlockStart();
    /// Fails at the first coil, block or control function that no rung led to: it would be
    /// left out of the program without a word. Notes the program's contacts and coils on words.
    [[nodiscard]] int checkWrittenOutputs();
    /// One step towards the rung's output: up a link, right, or down a link, never reversing
    /// the last vertical move; returns false when no step leads on.
    bool stepRightward(Move& last);
    int PrzeniesDoStyku();
    int PrzeniesDoPrzekaznika();
    [[nodiscard]] int walkNetwork();
    /// The condition of output group 0 (coils, MCR, JUMP, an unchained block's enable): its
    /// network, or the always-on system bit when the network holds no contact.
    [[nodiscard]] int emitCondition();
    void Zapisz();
    void emitContact();
    [[nodiscard]] int crossing();
    [[nodiscard]] int popBranch();
    [[nodiscard]] bool probeUp();
    void GoraPrawo();
    [[nodiscard]] int Pozostale();
    [[nodiscard]] int followBranch(Move& last, bool& inGroup);
    [[nodiscard]] bool CzyWiecej();
    void emitCoils();
    [[nodiscard]] int emitControl();
    [[nodiscard]] int labelIndex(const std::vector<LabelEntry>& table,
                                 std::string_view label) const;

    /// Notes what follows as coming from the cell `pos` until the scope ends.
    class SourceScope {
    public:
        SourceScope(Translator& translator, int pos)
            : m_translator(translator), m_saved(translator.m_sourceCell) {
            translator.m_sourceCell = pos;
        }
        ~SourceScope() { m_translator.m_sourceCell = m_saved; }
        SourceScope(const SourceScope&) = delete;
        SourceScope& operator=(const SourceScope&) = delete;

    private:
        Translator& m_translator;
        int m_saved;
    };
    /// The cell a block item's lines and words come from: its operand's cell, the block's own
    /// cell on the item's row, or the block's top.
    [[nodiscard]] int itemSource(const document::BlockDescription& block,
                                 const document::BlockItem& item) const;

    // Function blocks.
    [[nodiscard]] int emitBlock();
    [[nodiscard]] int emitBlockItems(const document::BlockDescription& block);
    /// Notes the span an output operand of the block is written over, for the remarks.
    void noteOutput(const document::BlockItem& item, document::OperandCheck check,
                    const document::TypeForm* form);
    [[nodiscard]] int blockOperand(int rowOffset, document::Side side, document::OperandCheck check,
                                   std::string_view label, document::ValueLimits limits);
    [[nodiscard]] int optionalOperand(int rowOffset, document::OperandCheck check,
                                      std::string_view label, document::ValueLimits limits);
    [[nodiscard]] int powerFlowInput(int rowOffset, std::string_view label);
    [[nodiscard]] int blockParameter(int rowOffset, char key, std::string_view placeholder,
                                     std::string_view label, TranslationError missingError);
    void registerTriple();
    [[nodiscard]] int presetValue(int rowOffset, document::ValueLimits limits);
    [[nodiscard]] int lengthParameter(int rowOffset);
    [[nodiscard]] std::string blockType();
    [[nodiscard]] int followOutput(std::string_view label, int rowOffset);
    [[nodiscard]] int WyjscieBloku();
    [[nodiscard]] int chainBlock();

    // Grid.
    int m_rowCount = 0;
    std::vector<std::int32_t> m_cellCode;
    std::vector<std::string> m_cellText;
    std::vector<std::uint8_t> m_emitted;
    std::vector<std::uint8_t> m_explored;
    std::vector<std::uint8_t> m_visited;
    std::vector<std::uint8_t> m_written;  // coils, blocks and controls whose output was emitted

    // Walk state.
    int m_row = 0;
    int m_col = 0;
    std::array<std::int32_t, kStackSize> m_StosS{};
    int m_IndexS = 0;
    std::array<std::int32_t, kStackSize> m_StosP{};
    int m_IndexP = 0;
    bool m_BylStyk = false;
    bool m_newLoad = false;
    std::array<std::array<int, 10>, 10> m_outputTable{};
    int m_coilCount = 0;
    int m_groupIndex = 0;
    bool m_foundAny = false;
    bool m_blockChained = false;
    std::int32_t m_regArea = 0;
    std::int32_t m_regOffset = 0;
    std::int64_t m_length = 0;     // LEN of the block being emitted
    std::string_view m_blockName;  // name of the block being emitted
    int m_headPos = 0;
    int m_errorCode = 0;
    int m_errorPos = 0;

    // Outputs.
    std::vector<std::string> m_lines;
    std::vector<std::int32_t> m_words;
    int m_sourceCell = kNoCell;
    std::vector<int> m_lineCells;  // beside m_lines
    std::vector<int> m_wordCells;  // beside m_words
    std::int32_t m_edgeCount = 0;
    std::int32_t m_timerCount = 0;

    // Labels.
    int m_jumpCount = 0;
    int m_mcrCount = 0;
    std::vector<LabelEntry> m_jumps;
    std::vector<LabelEntry> m_mcrs;

    WarningNotes m_notes;

    std::filesystem::path m_tracePath;
    std::ofstream m_trace;
    std::error_code m_traceError;
};

}  // namespace translator
