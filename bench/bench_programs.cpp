#include "bench/bench_programs.h"

#include "document/block_kind.h"
#include "document/editing.h"
#include "document/element_catalogue.h"

namespace bench {

document::LadderDocument denseLadder(int rows, const std::string& descriptions) {
    document::LadderDocument program;
    program.AddRows(rows - program.rowCount());
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < 9; ++col) {
            program.SetCellCode(row, col, col % 3 == 0 ? 101 : 1);
            program.SetCellText(row, col, "#A%I" + std::to_string(1000 + col) + descriptions);
        }
        program.SetCellCode(row, 9, 3);
        program.SetCellText(row, 9, "#A%Q0001#");
    }
    return program;
}

void fillLongLadder(document::LadderDocument& ladder, int rows) {
    ladder.AddRows(rows - ladder.rowCount());
    for (int row = 0; row + 4 <= rows; row += 4) {
        const std::string number = std::to_string(row % 1000 + 1);
        if ((row / 4) % 8 == 7) {
            document::PlaceBlock(ladder, document::BlockKind::Ondtr, row, 2);
            document::PlaceBlock(ladder, document::BlockKind::Add, row, 5);
            ladder.SetCellCode(row, 0, 1);
            ladder.SetField(row, 0, 'A', "%I" + number);
            ladder.SetField(row + 1, 1, 'A', "%I0002");
            ladder.SetField(row + 2, 1, 'A', "%R0010");
            ladder.SetField(row + 1, 4, 'A', "%R0001");
            ladder.SetField(row + 2, 4, 'S', "+00012");
            ladder.SetField(row + 1, 6, 'A', "%R0003");
            continue;
        }
        ladder.SetCellCode(row, 0, 1);
        ladder.SetField(row, 0, 'A', "%I" + number);
        ladder.SetField(row, 0, '1', "Start");
        ladder.SetCellCode(row, 1, 2 + 100);
        ladder.SetField(row, 1, 'A', "%M" + number);
        for (int col = 2; col < 9; ++col) {
            ladder.SetCellCode(row, col, 7);
        }
        ladder.SetCellCode(row, 9, 3);
        ladder.SetField(row, 9, 'A', "%Q" + number);
        ladder.SetCellCode(row + 1, 1, 1 + 200);
        ladder.SetField(row + 1, 1, 'A', "%Q" + number);
    }
}

std::vector<plc::ProgramWord> fullSizeProgram() {
    std::vector<plc::ProgramWord> w;
    int n = 0;
    while (w.size() + 40 < plc::kMaxProgramWords) {
        if (n % 4 == 3) {
            const int reg = (n / 4) % 16;
            w.insert(w.end(),
                     {plc::kBlock, document::kindNumber(document::BlockKind::Add), plc::kLoad,
                      plc::kAreaS, 0, 6, plc::kEndOfInput, plc::kTypeInt, plc::kAreaR, 2 * reg, 0,
                      plc::kConstant, 1, plc::kAreaR, 2 * reg, 0});
        } else {
            w.insert(w.end(), {plc::kLoad, plc::kAreaI, 0, n % 8, plc::kAndNot, plc::kAreaM, n % 64,
                               n % 8, plc::kLoad, plc::kAreaQ, 1, n % 8, plc::kOrStack, plc::kCoil,
                               plc::kCoilNormal, plc::kAreaQ, n % 2, (n / 2) % 8});
        }
        ++n;
    }
    w.push_back(plc::kEnd);
    return w;
}

}  // namespace bench
