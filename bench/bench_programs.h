// Programs of the largest sizes the benchmarks measure: ladders of thousands of rows as users
// draw them, and interpreter words up to the controller's limit.
#pragma once

#include "document/ladder_document.h"
#include "plc/program.h"

#include <string>
#include <vector>

namespace bench {

/// Returns a dense ladder of `rows` rows: every row contacts with operands and `descriptions`
/// (cell fields after the operand, "#1opis#") in the first nine columns, and a coil.
document::LadderDocument denseLadder(int rows, const std::string& descriptions);

/// Fills `ladder` up to `rows` rows with rungs four rows apart: contacts with operands and
/// descriptions, a parallel contact and a coil; every eighth rung a timer and an ADD block
/// with their operands instead.
void fillLongLadder(document::LadderDocument& ladder, int rows);

/// Returns program words up to the controller's limit: rungs of contacts and coils over %I, %M
/// and %Q, every fourth one an ADD, enabled by %S0007, that counts up one of %R0001..%R0016.
std::vector<plc::ProgramWord> fullSizeProgram();

}  // namespace bench
