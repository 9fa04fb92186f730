// The simulated controller: its memory image, the tables beside it and the engine that runs
// the interpreter program over that memory, one scan at a time.
#pragma once

#include "document/block_kind.h"
#include "operands/memory_area.h"
#include "operands/operand_syntax.h"
#include "plc/clock.h"
#include "plc/program.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace plc {

/// The areas by the index the watch table uses; 0..5 are bit areas, 6..8 word areas.
enum class AreaKind : int { I = 0, Q = 1, M = 2, S = 3, G = 4, T = 5, AI = 6, AQ = 7, R = 8 };
inline constexpr int kAreaKindCount = 9;

/// Value forms, numbered as the watch table numbers its types.
using DataType = operands::DataType;

/// The area code (-10 .. -18) of a kind.
[[nodiscard]] ProgramWord areaCodeOf(AreaKind kind);
/// The kind an area code names, or nothing for a code the controller has no area for.
[[nodiscard]] std::optional<AreaKind> areaKindOf(ProgramWord areaCode);
/// True for %AI, %AQ and %R, whose references are 16-bit words.
[[nodiscard]] bool isWordArea(AreaKind kind);
/// The size in bytes of an area.
[[nodiscard]] std::size_t areaSize(AreaKind kind);
/// True when all four nibbles of a BCD4 pattern are decimal digits.
[[nodiscard]] bool isBcd4Digits(std::uint16_t pattern);

inline constexpr std::size_t kStackEntries = 50;
inline constexpr std::size_t kWorkBufferWords = 256;
/// A scan that has run this many program words (label searches are free) has looped: the
/// watchdog ends it. No program without a backward JUMP comes near it.
inline constexpr std::uint64_t kWatchdogWords = 1'000'000;

/// The simulated controller. One object lives for the whole run of the application; its
/// memory is zeroed by `allocate` at each simulator start and dropped by `release`.
///
/// Every access checks its address: a read outside an area (or with an unknown area code, or a
/// bit number outside 0..7) gives 0, a write there changes nothing, and a multi-word access that
/// does not fit its area or the work buffer as a whole is refused as a whole.
class Plc {
public:
    /// The bytes of all nine areas together.
    static constexpr std::size_t kMemoryBytes = [] {
        std::size_t bytes = 0;
        for (int kind = 0; kind < kAreaKindCount; ++kind) {
            bytes += operands::kMemoryAreas[static_cast<std::size_t>(kind)].bytes;
        }
        return bytes;
    }();

    /// A controller that takes time from `clock`, which must outlive it.
    explicit Plc(Clock& clock);
    Plc(const Plc&) = delete;
    Plc& operator=(const Plc&) = delete;

    // Program hand-over and lifecycle.

    /// Takes over `program`: the words to run and the sizes of the edge and timer tables
    /// (applied by the next `allocate`, which fails if the program found no memory).
    void setProgram(Program program);
    /// The program last handed over.
    [[nodiscard]] const Program& program() const { return m_program; }
    /// Zeroes every area, retentive copy, table, the work buffer and the engine state, and
    /// sizes the edge and timer tables by the program; returns false if memory cannot be had
    /// (then nothing may be run).
    [[nodiscard]] bool allocate();
    /// Frees the tables and the program.
    void release();
    /// True between a successful `allocate` and `release`.
    [[nodiscard]] bool isAllocated() const { return m_allocated; }
    /// Loss of power at a stop: %T cleared, %M and %Q restored from their retentive copies.
    void powerDown();
    /// The system bits of %S byte 0 and their clocks; `lastScan` clears %S0002.
    void updateSystemBits(bool lastScan);

    // Access by area code (-10 .. -18), byte offset and bit number, as the engine uses it.

    /// The bit, 0 or 1.
    [[nodiscard]] int readBit(ProgramWord area, ProgramWord byteOffset, ProgramWord bit) const;
    /// Writes one bit (0 or nonzero) into the area only.
    void writeBit(ProgramWord area, ProgramWord byteOffset, ProgramWord bit, int value);
    /// Writes one bit into the area and, for %M and %Q, into its retentive copy.
    void writeBitRetentive(ProgramWord area, ProgramWord byteOffset, ProgramWord bit, int value);
    /// One byte.
    [[nodiscard]] std::uint8_t readByte(ProgramWord area, ProgramWord byteOffset) const;
    /// Two bytes, low first, unsigned.
    [[nodiscard]] std::uint16_t readWord(ProgramWord area, ProgramWord byteOffset) const;
    /// Two bytes, low first, signed.
    [[nodiscard]] std::int16_t readInt(ProgramWord area, ProgramWord byteOffset) const;
    /// Four bytes, low first, signed.
    [[nodiscard]] std::int32_t readDint(ProgramWord area, ProgramWord byteOffset) const;
    /// The value d3*1000 + d2*100 + d1*10 + d0 of a word's nibbles, unchecked.
    [[nodiscard]] std::int32_t readBcd4(ProgramWord area, ProgramWord byteOffset) const;
    // Single-value writes, each also into the retentive copy of %M and %Q.
    void writeByte(ProgramWord area, ProgramWord byteOffset, std::uint8_t value);
    void writeWord(ProgramWord area, ProgramWord byteOffset, std::uint16_t value);
    void writeInt(ProgramWord area, ProgramWord byteOffset, std::int16_t value);
    void writeDint(ProgramWord area, ProgramWord byteOffset, std::int32_t value);
    /// Packs `value` (0..9999) as four BCD digits; any other value is refused.
    void writeBcd4(ProgramWord area, ProgramWord byteOffset, std::int32_t value);
    /// Copies `count` words from the area into the work buffer; returns false (and copies
    /// nothing) if they do not all fit the area and the buffer.
    [[nodiscard]] bool copyWordsOut(ProgramWord area, ProgramWord byteOffset, std::int32_t count);
    /// Copies `count` words from the work buffer into the area (not the retentive copy);
    /// returns false (and copies nothing) if they do not all fit.
    [[nodiscard]] bool copyWordsIn(ProgramWord area, ProgramWord byteOffset, std::int32_t count);
    /// The 256-word scratch buffer of multi-word blocks.
    [[nodiscard]] std::span<std::uint16_t, kWorkBufferWords> workBuffer() { return m_work; }

    // Access by the scan cycle, the panel, the link and tools.

    /// %I0001 .. %I0016 = bits 0..15 of `w`.
    void setInputWord(std::uint16_t w);
    /// %AI0001 = a1, %AI0002 = a2.
    void setAnalogInputs(std::int16_t a1, std::int16_t a2);
    /// %Q0001 .. %Q0016 as bits 0..15.
    [[nodiscard]] std::uint16_t outputWord() const;
    /// %AQ0001, signed.
    [[nodiscard]] std::int16_t analogOutput1() const;
    /// %AQ0002, signed.
    [[nodiscard]] std::int16_t analogOutput2() const;
    /// The bytes of the area with kind index 0..8; empty for any other index.
    [[nodiscard]] std::span<const std::uint8_t> area(int kind) const;
    /// The size of the area with kind index 0..8; 0 for any other index.
    [[nodiscard]] std::size_t areaBytes(int kind) const;
    /// The retentive copy of %M or %Q; empty for other kinds.
    [[nodiscard]] std::span<const std::uint8_t> retentiveCopy(AreaKind kind) const;
    /// One value as the watch table reads it: `byteOffset` from the area's first byte, `bit`
    /// for BIT only; WORD and BYTE unsigned, INT and DINT signed, BCD4 the value of its nibbles.
    /// Nothing if the value does not lie wholly inside the area.
    [[nodiscard]] std::optional<std::int32_t> readValue(AreaKind kind, int byteOffset, int bit,
                                                        DataType type) const;
    /// Writes one value where `readValue` would read it, into the area only (never into the
    /// retentive copies): BYTE, WORD and INT take the low bits of `value`, BIT any nonzero as
    /// 1, BCD4 only 0..9999. Returns false, writing nothing, for a value outside the area or a
    /// BCD4 value it cannot pack.
    bool writeValue(AreaKind kind, int byteOffset, int bit, DataType type, std::int32_t value);

    // The engine.

    /// One scan of the program from word 0 to the first end marker (or a watchdog stop).
    void runProgram();
    /// Evaluates the power-flow input at the program counter into the accumulator, up to and
    /// past its -100 (or up to the end marker).
    void runInput();
    /// True once a scan has been ended by the watchdog; stays until cleared or `allocate`.
    [[nodiscard]] bool watchdogFault() const { return m_watchdogFault; }
    /// Forgets a watchdog fault (the controller is started again).
    void clearWatchdogFault() { m_watchdogFault = false; }
    /// The power flow, 0 or 1.
    [[nodiscard]] int accumulator() const { return m_accumulator; }
    /// True while an MCR zone is active.
    [[nodiscard]] bool mcrActive() const { return m_mcr != 0; }
    /// The index of the next program word to read.
    [[nodiscard]] std::size_t programCounter() const { return m_pc; }
    /// Places the program counter (for running a single input).
    void setProgramCounter(std::size_t pc);
    /// Sets the power flow (nonzero is 1).
    void setAccumulator(int value) { m_accumulator = value != 0 ? 1 : 0; }
    /// The program words the last scan ran (the watchdog's measure).
    [[nodiscard]] std::uint64_t wordsRun() const { return m_wordsRun; }
    /// Number of entries on the stack.
    [[nodiscard]] std::size_t stackDepth() const { return m_stackCount; }
    /// The edge table: per -(^)-/-(v)- coil the power flow it saw in the previous scan.
    [[nodiscard]] std::span<const std::int32_t> edgeTable() const { return m_edges; }
    /// The timer start table: per timer block the clock value its next increment counts from.
    [[nodiscard]] std::span<const std::uint32_t> timerTable() const { return m_timerStarts; }

    // Monitoring.

    /// Makes every scan record what it did at each instruction (TraceBit, "plc/power_trace.h")
    /// into a trace of one byte per program word. The trace is sized here and whenever a
    /// program is handed over, never by a scan; a scan without monitoring records nothing and
    /// runs as fast as before.
    void setMonitoring(bool on);
    /// True while scans record their trace.
    [[nodiscard]] bool monitoring() const { return m_monitoring; }
    /// True once a scan has recorded its trace since the program was handed over or the
    /// memory allocated.
    [[nodiscard]] bool hasTrace() const { return tracing() && m_traceEpoch != 0; }
    /// What the last monitored scan did at the instruction whose first word is `word`
    /// (TraceBit); 0 for an instruction it did not run, for any other word and without a trace.
    [[nodiscard]] std::uint8_t traceAt(std::size_t word) const;

private:
    struct Operand {
        bool constant = false;
        ProgramWord value = 0;  // the constant
        ProgramWord area = 0;
        ProgramWord byteOffset = 0;
        ProgramWord bit = 0;
    };

    /// The register block of a timer or counter as its words name it: CV, PV copy and control
    /// word read at the start, the preset, and the same three words again as outputs.
    struct RegisterBlock {
        Operand cvIn;
        Operand pvCopyIn;
        Operand controlIn;
        std::int16_t pv = 0;
        Operand cv;
        Operand pvCopy;
        Operand control;
    };

    // Engine helpers (engine.cpp). The scan and the power-flow inputs come in two builds:
    // with the trace and without it, so that the unmonitored scan carries no test of its own.
    template <bool kMonitor>
    void scan();
    template <bool kMonitor>
    void runInputWith();
    [[nodiscard]] bool tracing() const { return m_trace.size() >= m_words.size(); }
    void sizeTrace();
    /// Starts the trace of a new scan. A trace byte keeps the epoch of the scan that wrote it
    /// in its top three bits, so that a scan need not clear what it does not run: only when
    /// the epochs come round again is the whole trace cleared.
    void nextTraceEpoch();
    [[nodiscard]] std::uint8_t traceEpochBits() const {
        return static_cast<std::uint8_t>(m_traceEpoch << kTraceEpochShift);
    }
    static constexpr int kTraceEpochShift = 5;
    static constexpr std::uint8_t kLastTraceEpoch = 7;
    void runBlock(ProgramWord code);
    Operand fetchOperand();
    void skipOperand();
    std::int16_t fetchInt();
    std::int32_t fetchDint();
    std::uint8_t fetchByte();
    std::uint16_t fetchWord();
    std::int32_t fetchBcd4();
    std::size_t findLabel(ProgramWord number) const;
    void indexLabels();

    // Function blocks (blocks.cpp); each starts after the enable input with the enable in
    // the accumulator and leaves the power-flow output there.
    RegisterBlock fetchRegisterBlock();
    void runTimer(bool onDelay);
    void runCounter(bool up);
    void runArithmetic(document::BlockKind kind);
    void runSqrt();
    void runRelation(document::BlockKind kind);
    void runWordLogic(document::BlockKind kind);
    void runShift(document::BlockKind kind);
    void runBitOperation(document::BlockKind kind);
    void runMove();
    void runBlockMove();
    void runBlockClear();
    void runSearch();
    void runArrayMove();
    void runToBcd();
    void runToInt();
    int runInnerInput();
    // Writers of an address read by its first word: a constant there names no memory.
    void storeInt(const Operand& q, std::int16_t value);
    void storeDint(const Operand& q, std::int32_t value);
    void storeWord(const Operand& q, std::uint16_t value);

    // Memory helpers (plc.cpp).
    std::uint8_t* at(ProgramWord area, ProgramWord byteOffset, std::size_t bytes);
    const std::uint8_t* at(ProgramWord area, ProgramWord byteOffset, std::size_t bytes) const;
    std::uint8_t* retentiveAt(ProgramWord area, ProgramWord byteOffset, std::size_t bytes);
    void storeBytes(ProgramWord area, ProgramWord byteOffset, const std::uint8_t* bytes,
                    std::size_t count);

    static constexpr std::size_t kStackSlots = 64;  // ring; only kStackEntries are kept
    // Reads may run this far past the last program word: the program is padded with end
    // markers, so no fixed-length instruction ever reads outside it.
    static constexpr std::size_t kProgramPadding = 64;

    Clock& m_clock;
    Program m_program;
    std::vector<ProgramWord> m_words;                           // the program, padded
    std::vector<std::pair<ProgramWord, std::size_t>> m_labels;  // label number, first position
    bool m_allocated = false;
    bool m_programLost = false;  // the last hand-over found no memory for the program

    std::array<std::uint8_t, kMemoryBytes> m_memory{};
    std::array<std::uint8_t, operands::memoryArea("M").bytes> m_retentiveM{};
    std::array<std::uint8_t, operands::memoryArea("Q").bytes> m_retentiveQ{};
    std::array<std::uint16_t, kWorkBufferWords> m_work{};
    std::vector<std::int32_t> m_edges;
    std::vector<std::uint32_t> m_timerStarts;

    // System-bit state lives as long as the application.
    bool m_firstUpdateDone = false;
    std::array<std::uint32_t, 4> m_clockStamps{};

    // Engine state.
    std::size_t m_pc = 0;
    int m_accumulator = 0;
    int m_mcr = 0;
    std::array<int, kStackSlots> m_stack{};
    std::size_t m_stackTop = 0;  // slot of the newest entry
    std::size_t m_stackCount = 0;
    std::uint64_t m_wordsRun = 0;
    bool m_watchdogFault = false;

    bool m_monitoring = false;
    std::vector<std::uint8_t> m_trace;  // beside m_words while monitoring, else empty
    std::uint8_t m_traceEpoch = 0;      // 1 .. kLastTraceEpoch; 0 before the first scan
};

}  // namespace plc
