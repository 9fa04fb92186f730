// Random ladders dense in contacts, wires and vertical links, with a contact in the first cell
// and a coil closing the first row, so that the analysis of the first rung walks a real network
// most of the time. On every grid it must end, close an orderly stop with its line and nothing
// after it, keep within its tables, and leave segments that name existing nodes.
#include "document/cp1250.h"
#include "document/ladder_document.h"
#include "translator/node_analysis.h"
#include "translator/translation_driver.h"
#include "translator/translator.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace {

// Empty cells weigh double so that branches end; with link hundreds an empty cell becomes a
// pure vertical connection.
constexpr std::array<int, 10> kKinds = {0, 0, 1, 2, 7, 7, 3, 4, 8, 9};
constexpr std::array<const char*, 5> kOperands = {"#A%I0001#", "#A%I0002#", "#A%MOTOR#", "#A#", ""};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    document::LadderDocument ladder;
    const int rows = input.ConsumeIntegralInRange(1, 64);
    if (rows > ladder.rowCount()) {
        ladder.AddRows(rows - ladder.rowCount());
    } else {
        ladder.RemoveLastRows(ladder.rowCount() - rows);
    }
    ladder.SetCellCode(0, 0, 1);
    ladder.SetCellText(0, 0, "#A%I0009#");
    ladder.SetCellCode(0, 9, 3 + 100 * input.ConsumeIntegralInRange(0, 3));
    ladder.SetCellText(0, 9, "#A%Q0001#");
    for (int cell = 1; cell < rows * 10 - 1 && input.remaining_bytes() > 0; ++cell) {
        if (cell == 9) {
            continue;
        }
        const int kind = input.PickValueInArray(kKinds);
        ladder.SetCellCode(cell / 10, cell % 10, kind + 100 * input.ConsumeIntegralInRange(0, 3));
        ladder.SetCellText(cell / 10, cell % 10, input.PickValueInArray(kOperands));
    }

    translator::Translator loaded;
    loaded.setTracePath({});
    translator::loadDocument(loaded, ladder);
    translator::NodeAnalysis analysis(loaded);
    const translator::AnalysisEnd end = analysis.run();
    const std::string stopLine = document::utf8ToCp1250(translator::analysisStopLine(end));
    const std::vector<std::string>& tables = analysis.tableLines();
    const std::vector<std::string>& trace = analysis.traceLines();
    const bool formatted =
        std::find(trace.begin(), trace.end(), document::utf8ToCp1250(" - Postać sformatowana -")) !=
        trace.end();
    const int nodes = static_cast<int>(analysis.nodes().size());
    if (tables.empty() || formatted != stopLine.empty() ||
        (!stopLine.empty() && tables.back() != stopLine) || nodes < 1 ||
        nodes > translator::kMaxNodes ||
        analysis.segments().size() > std::size_t{translator::kMaxSegments}) {
        std::abort();
    }
    for (const translator::Segment& segment : analysis.segments()) {
        if (segment.start < 0 || segment.start >= nodes ||
            segment.end < translator::kUnrecordedBranchPoint || segment.end >= nodes) {
            std::abort();
        }
    }
    loaded.release();
    return 0;
}
