// Builds interpreter programs word by word for the controller tests, and a rig that runs them
// through the scan cycle with a fake clock.
#pragma once

#include "document/block_kind.h"
#include "plc/clock.h"
#include "plc/plc.h"
#include "plc/program.h"
#include "plc/scan_cycle.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace plc::test {

using document::BlockKind;

/// An address operand: area code, byte offset, bit number.
struct Address {
    ProgramWord area;
    ProgramWord byteOffset;
    ProgramWord bit;
};

/// Reference n of a bit area.
inline Address bitRef(ProgramWord area, int n) {
    return {area, (n - 1) / 8, (n - 1) % 8};
}
inline Address I(int n) {
    return bitRef(kAreaI, n);
}
inline Address Q(int n) {
    return bitRef(kAreaQ, n);
}
inline Address M(int n) {
    return bitRef(kAreaM, n);
}
inline Address T(int n) {
    return bitRef(kAreaT, n);
}
inline Address S(int n) {
    return bitRef(kAreaS, n);
}
inline Address G(int n) {
    return bitRef(kAreaG, n);
}
/// Reference n of a word area.
inline Address R(int n) {
    return {kAreaR, 2 * (n - 1), 0};
}
inline Address AI(int n) {
    return {kAreaAI, 2 * (n - 1), 0};
}
inline Address AQ(int n) {
    return {kAreaAQ, 2 * (n - 1), 0};
}

/// A block operand: an address or a constant.
struct Operand {
    Operand(Address a) : isConstant(false), address(a) {}  // NOLINT: implicit on purpose
    Operand(int v) : isConstant(true), value(v) {}         // NOLINT: implicit on purpose
    bool isConstant;
    Address address{};
    int value = 0;
};

/// Appends words in the program format.
class Builder {
public:
    Builder& word(ProgramWord w) {
        m_words.push_back(w);
        return *this;
    }
    Builder& words(std::initializer_list<ProgramWord> ws) {
        m_words.insert(m_words.end(), ws);
        return *this;
    }
    Builder& address(Address a) { return words({a.area, a.byteOffset, a.bit}); }
    Builder& operand(Operand o) {
        if (o.isConstant) {
            return words({kConstant, o.value});
        }
        return address(o.address);
    }
    Builder& load(Address a) { return word(kLoad).address(a); }
    Builder& loadNot(Address a) { return word(kLoadNot).address(a); }
    Builder& andBit(Address a) { return word(kAnd).address(a); }
    Builder& andNot(Address a) { return word(kAndNot).address(a); }
    Builder& orStack() { return word(kOrStack); }
    Builder& andStack() { return word(kAndStack); }
    Builder& coil(ProgramWord code, Address a) { return words({kCoil, code}).address(a); }
    Builder& edgeCoil(ProgramWord code, int k, Address a) {
        return words({kCoil, code, k}).address(a);
    }
    Builder& control(ProgramWord code, int n) { return words({kControl, code, n}); }
    /// -8, code, then the enable input: LOAD of `enable`, -100.
    Builder& block(ProgramWord code, Address enable) {
        return words({kBlock, code}).load(enable).word(kEndOfInput);
    }
    Builder& block(document::BlockKind kind, Address enable) {
        return block(document::kindNumber(kind), enable);
    }
    /// -8, code and an empty enable input (power flow of the block before).
    Builder& chainedBlock(ProgramWord code) { return words({kBlock, code, kEndOfInput}); }
    Builder& chainedBlock(document::BlockKind kind) {
        return chainedBlock(document::kindNumber(kind));
    }
    Builder& input(Address a) { return load(a).word(kEndOfInput); }
    Builder& emptyInput() { return word(kEndOfInput); }
    Builder& length(int len) { return words({kLength, len}); }
    /// The nine words of a register block at `ref`, ref + 1, ref + 2.
    Builder& triple(Address ref) {
        return address(ref)
            .address({ref.area, ref.byteOffset + 2, 0})
            .address({ref.area, ref.byteOffset + 4, 0});
    }
    Builder& end() { return word(kEnd); }

    const std::vector<ProgramWord>& build() const { return m_words; }
    std::size_t size() const { return m_words.size(); }

private:
    std::vector<ProgramWord> m_words;
};

/// Inputs set by the test, outputs recorded.
class FakeIo : public IoTransfer {
public:
    void readInputs(Plc& plc) override {
        ++reads;
        plc.setInputWord(inputs);
        plc.setAnalogInputs(analog1, analog2);
    }
    void writeOutputs(const Plc& plc) override {
        ++writes;
        outputs = plc.outputWord();
        analogOut1 = plc.analogOutput1();
        analogOut2 = plc.analogOutput2();
    }
    std::uint16_t inputs = 0;
    std::int16_t analog1 = 0;
    std::int16_t analog2 = 0;
    std::uint16_t outputs = 0;
    std::int16_t analogOut1 = 0;
    std::int16_t analogOut2 = 0;
    int reads = 0;
    int writes = 0;
};

/// A controller, its scan cycle and a panel stand-in, ready to run a program in RUN.
struct Rig {
    FakeClock clock{1000};
    Plc plc{clock};
    ScanCycle cycle{plc, clock};
    FakeIo panel;

    /// Hands `words` over, starts the simulator and presses the mode button once (RUN).
    void run(const Builder& program, int edges = 0, int timers = 0) {
        plc.setProgram(Program(program.build(), edges, timers));
        cycle.setPanel(&panel);
        if (!cycle.startSimulator()) {
            return;
        }
        cycle.nextMode();
    }
    /// `n` ticks, the clock moving `ms` before each.
    void ticks(int n, std::uint32_t ms = 20) {
        for (int i = 0; i < n; ++i) {
            clock.advance(ms);
            cycle.tick();
        }
    }
    /// Sets the inputs and runs one tick.
    void scanWith(std::uint16_t inputs) {
        panel.inputs = inputs;
        ticks(1);
    }
    int bit(Address a) const { return plc.readBit(a.area, a.byteOffset, a.bit); }
    std::int16_t intAt(Address a) const { return plc.readInt(a.area, a.byteOffset); }
    std::uint16_t wordAt(Address a) const { return plc.readWord(a.area, a.byteOffset); }
    std::int32_t dintAt(Address a) const { return plc.readDint(a.area, a.byteOffset); }
    void setInt(Address a, int v) {
        plc.writeInt(a.area, a.byteOffset, static_cast<std::int16_t>(v));
    }
    void setWord(Address a, int v) {
        plc.writeWord(a.area, a.byteOffset, static_cast<std::uint16_t>(v));
    }
    void setDint(Address a, std::int32_t v) { plc.writeDint(a.area, a.byteOffset, v); }
    void setBit(Address a, int v) { plc.writeBit(a.area, a.byteOffset, a.bit, v); }
};

}  // namespace plc::test
