// Random ladders from the element vocabulary (contacts, wires, links, coils, control functions,
// blocks with their parameters, random operands and a few raw codes) are translated; every
// program that translates must pass the program checker and runs a few scans in the controller.
// Every ladder also gets the node and segment analysis, and every program that runs gets the power
// map of each scan, with the cells of a few forced operands marked.
#include "document/editing.h"
#include "document/element_catalogue.h"
#include "document/ladder_document.h"
#include "plc/clock.h"
#include "plc/plc.h"
#include "plc/program.h"
#include "plc/scan_cycle.h"
#include "translator/node_analysis.h"
#include "translator/power_map_builder.h"
#include "translator/translation_driver.h"

#include <array>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

// The element kinds, and a block's top cell of a kind no block has (a damaged file's).
constexpr std::array<int, 19> kSingleKinds = {1,  2,  3,  4,  5,  7,  8,  9,  10, 11,
                                              12, 13, 14, 15, 16, 64, 72, 74, 462};
constexpr std::array<int, 2> kColumnNineKinds = {71, 73};
constexpr std::array<const char*, 24> kOperands = {
    "#A%I0001#",  "#A%I0002#",  "#A%Q0001#", "#A%M0017#", "#A%R0001#",  "#A%R0003#",
    "#A%AI0001#", "#A%AQ0002#", "#S+00005#", "#S-00001#", "#A%SA0001#", "#A%S0007#",
    "#AL1#",      "#AL2#",      "",          "#A%T9999#", "#A%I0512#",  "#A%R0512#",
    "#A%G1280#",  "#A%i0003#",  "#A%X0001#", "#A%I0000#", "#A%I 1#",    "#A%R0507#"};
constexpr std::array<const char*, 9> kTypes = {"INT",  "DINT",  "WORD",  "BYTE", "BIT",
                                               "BCD4", "0.01s", "1.00s", "time"};
constexpr std::array<const char*, 7> kRegisters = {"%R0001", "%R0510", "address", "%M0001",
                                                   "%R0511", "%M1024", "%X1"};

class Panel : public plc::IoTransfer {
public:
    explicit Panel(std::uint16_t inputs) : m_inputs(inputs) {}
    void readInputs(plc::Plc& plc) override {
        plc.setInputWord(m_inputs);
        plc.setAnalogInputs(static_cast<std::int16_t>(m_inputs), -7);
    }
    void writeOutputs(const plc::Plc&) override {}

private:
    std::uint16_t m_inputs;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    document::LadderDocument ladder;
    const int rows = input.ConsumeIntegralInRange(1, 24);
    if (rows > ladder.rowCount()) {
        ladder.AddRows(rows - ladder.rowCount());
    } else {
        ladder.RemoveLastRows(ladder.rowCount() - rows);
    }
    while (input.remaining_bytes() > 0) {
        const int row = input.ConsumeIntegralInRange(0, rows - 1);
        const int col = input.ConsumeIntegralInRange(0, 9);
        const int link = 100 * input.ConsumeIntegralInRange(0, 3);
        switch (input.ConsumeIntegralInRange(0, 10)) {
            case 0:
            case 1:
            case 2:
                ladder.SetCellCode(row, col, input.PickValueInArray(kSingleKinds) + link);
                ladder.SetCellText(row, col, input.PickValueInArray(kOperands));
                break;
            case 3:
                ladder.SetCellCode(row, 9, input.PickValueInArray(kColumnNineKinds) + link);
                ladder.SetCellText(row, 9, input.PickValueInArray(kOperands));
                break;
            case 4: ladder.SetCellCode(row, col, 7 + link); break;
            case 5: ladder.SetCellCode(row, col, link); break;
            case 6:
                document::PlaceBlock(ladder, input.PickValueInArray(document::kBlockKinds), row,
                                     col);
                break;
            case 7:
                ladder.SetField(row, col, 'T', input.PickValueInArray(kTypes));
                ladder.SetField(row, col, 'G', input.PickValueInArray(kRegisters));
                break;
            case 8: ladder.SetCellText(row, col, input.PickValueInArray(kOperands)); break;
            case 9: {
                // A JUMP and its LABEL, the LABEL wherever it falls.
                ladder.SetCellCode(row, 9, 73);
                ladder.SetCellText(row, 9, "#AL1#");
                const int labelRow = input.ConsumeIntegralInRange(0, rows - 1);
                ladder.SetCellCode(labelRow, col, 74 + link);
                ladder.SetCellText(labelRow, col, "#AL1#");
                break;
            }
            default:
                ladder.SetCellCode(row, col, input.ConsumeIntegral<std::int32_t>());
                ladder.SetCellText(row, col, input.ConsumeRandomLengthString(16));
                break;
        }
    }

    // The node and segment analysis reports nothing, so every ladder gets it; it must end and
    // stay inside the grid whatever the grid holds (node_analysis_fuzz checks its results).
    static_cast<void>(translator::AnalyseNodesAndSegments(ladder, {{}}));

    const translator::TranslationResult result = translator::translateDocument(ladder, {{}});
    if (!result.ok()) {
        return 0;
    }
    // Every program the translator accepts reads back through the checker of text programs
    // without a fault: a JUMP's LABEL written, every block of a known kind, every word in place.
    if (plc::checkProgram(result.program).fault != plc::ProgramFault::None) {
        __builtin_trap();
    }
    plc::FakeClock clock;
    plc::Plc plc(clock);
    plc.setMonitoring(true);
    plc.setProgram(result.program);
    translator::PowerMapBuilder builder(ladder, result.program.words(), result.sourceMap);
    translator::PowerMap map;
    plc::ScanCycle cycle(plc, clock);
    Panel panel(static_cast<std::uint16_t>(size * 2654435761u));
    cycle.setPanel(&panel);
    if (!cycle.startSimulator()) {
        return 0;
    }
    // A bit, a word spanning two bit references and a double word over two registers.
    static_cast<void>(cycle.force({plc::AreaKind::I, 0, 0, plc::DataType::Bit}, 1));
    static_cast<void>(cycle.force({plc::AreaKind::M, 1, 0, plc::DataType::Word}, 0));
    static_cast<void>(cycle.force({plc::AreaKind::R, 2, 0, plc::DataType::Dint}, 7));
    cycle.nextMode();
    for (int tick = 0; tick < 3; ++tick) {
        clock.advance(20);
        cycle.tick();
        builder.build(plc, map);
        builder.markForced(cycle.forces(), map);
    }
    cycle.nextMode();
    cycle.tick();
    builder.build(plc, map);
    builder.markForced(cycle.forces(), map);
    cycle.endSimulation();
    return 0;
}
