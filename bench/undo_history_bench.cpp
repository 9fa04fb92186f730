// Undo and redo on a 5,000-row program: taking 200 mixed edits back and making them again, one
// row insertion at the top (the most rows moved), and the memory that 200 recorded edits hold.
#include "bench/bench_programs.h"

#include "document/editing.h"
#include "document/element_catalogue.h"
#include "document/operand_entry.h"
#include "document/undo_history.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <string>

namespace {

constexpr int kRows = 5000;
constexpr int kEdits = 200;

// Every row a rung of contacts with operands and descriptions, and a coil.
document::LadderDocument bigProgram() {
    return bench::denseLadder(kRows, "#1opis#");
}

// What a user does in an editing session, spread over the program: placements, operands,
// descriptions, deletions, rows in and out, blocks and pastes of a few rows.
void editSession(document::LadderDocument& program, document::UndoHistory& history) {
    document::CopyRange(program, 10, 0, 12, 9);
    for (int i = 0; i < kEdits; ++i) {
        const int row = (i * 997) % (kRows - 20);
        const int col = i % 9;
        document::EditResult edit;
        switch (i % 8) {
            case 0: edit = document::PlaceContact(program, 2, row, col); break;
            case 1:
                edit = document::EnterOperand(program, "%m" + std::to_string(i), row, col);
                break;
            case 2: edit = program.SetField(row, col, '2', "linia"); break;
            case 3: edit = document::DeleteElement(program, row, col); break;
            case 4: edit = program.InsertRow(row); break;
            case 5: edit = program.DeleteRow(row); break;
            case 6: edit = document::PlaceBlock(program, document::BlockKind::Add, row, 4); break;
            default: edit = document::Paste(program, row, 0); break;
        }
        document::markEdited(program, edit);
        history.record(std::move(edit), {row, col});
    }
}

void BM_UndoAndRedo200EditsOf5000Rows(benchmark::State& state) {
    document::LadderDocument program = bigProgram();
    document::UndoHistory history;
    history.reset(document::DocumentStatus::Loaded);
    editSession(program, history);
    for (auto _ : state) {
        while (history.canUndo()) {
            history.undo(program);
        }
        while (history.canRedo()) {
            history.redo(program);
        }
    }
    state.counters["steps"] = static_cast<double>(history.undoCount());
}
BENCHMARK(BM_UndoAndRedo200EditsOf5000Rows)->Unit(benchmark::kMillisecond);

void BM_UndoAndRedoRowInsertedAtTheTopOf5000Rows(benchmark::State& state) {
    document::LadderDocument program = bigProgram();
    document::UndoHistory history;
    history.record(program.InsertRow(0), {0, 0});
    for (auto _ : state) {
        history.undo(program);
        history.redo(program);
    }
}
BENCHMARK(BM_UndoAndRedoRowInsertedAtTheTopOf5000Rows)->Unit(benchmark::kMicrosecond);

// What 200 recorded edits hold: the history's own count, and the heap it gives back when it is
// cleared (measured outside the timing).
void BM_MemoryOf200EditsOf5000Rows(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        document::LadderDocument program = bigProgram();
        document::UndoHistory history;
        history.reset(document::DocumentStatus::Loaded);
        state.ResumeTiming();
        editSession(program, history);
        state.PauseTiming();
        const std::size_t recorded = history.memoryUse();
        const std::size_t heapWith = mallinfo2().uordblks;
        history.reset(document::DocumentStatus::Loaded);
        const std::size_t heapWithout = mallinfo2().uordblks;
        state.counters["history_bytes"] = static_cast<double>(recorded);
        state.counters["heap_bytes"] =
            static_cast<double>(heapWith > heapWithout ? heapWith - heapWithout : 0);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MemoryOf200EditsOf5000Rows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
